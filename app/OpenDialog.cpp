#include "OpenDialog.h"

namespace tembrook {

TOpenDialog::TOpenDialog()
    : FTitle(QStringLiteral("保存リストを開く")),
      FNameFilters({QStringLiteral("テキストファイル(*.txt)"), QStringLiteral("すべてのファイル(*.*)")})
{
}

void TOpenDialog::Configure(QFileDialog& dialog) const
{
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    ConfigureFileDialog(dialog, FTitle, FNameFilters, FileName());
}

}  // namespace tembrook
