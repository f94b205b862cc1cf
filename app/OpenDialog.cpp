#include "OpenDialog.h"

#include <utility>

namespace tembrook {

namespace {
TFileDialogHook& Hook()
{
    static TFileDialogHook hook;
    return hook;
}
}  // namespace

TOpenDialog::TOpenDialog()
    : FTitle(QStringLiteral("保存リストを開く")),
      FNameFilters({QStringLiteral("テキストファイル(*.txt)"), QStringLiteral("すべてのファイル(*.*)")})
{
}

void TOpenDialog::Configure(QFileDialog& dialog) const
{
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    ConfigureFileDialog(dialog, FTitle, FNameFilters, FFileName);
}

bool TOpenDialog::Execute(QWidget* parent)
{
    QFileDialog dialog(parent);
    Configure(dialog);
    return RunFileDialog(dialog, Hook(), FFileName);
}

TFileDialogHook TOpenDialog::SetExecuteHook(TFileDialogHook hook)
{
    return std::exchange(Hook(), std::move(hook));
}

}  // namespace tembrook
