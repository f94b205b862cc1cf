#include "OpenDialog.h"

#include <QFileInfo>

#include "SaveDialog.h"

namespace tembrook {

namespace {
TOpenDialog::TExecuteHook& Hook()
{
    static TOpenDialog::TExecuteHook hook;
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
    dialog.setWindowTitle(FTitle);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(FNameFilters);
    dialog.selectNameFilter(FNameFilters.value(0));
    ListEveryFileUnderAllFiles(dialog);
    dialog.setSizeGripEnabled(true);
    if (!FFileName.isEmpty()) {
        const QFileInfo last(FFileName);
        dialog.setDirectory(last.absolutePath());
        dialog.selectFile(last.fileName());
    }
}

bool TOpenDialog::Execute(QWidget* parent)
{
    QFileDialog dialog(parent);
    Configure(dialog);
    std::optional<QString> chosen;
    if (Hook()) {
        chosen = Hook()(dialog);
    } else if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        chosen = dialog.selectedFiles().constFirst();
    }
    if (!chosen || chosen->isEmpty())
        return false;
    FFileName = *chosen;
    return true;
}

TOpenDialog::TExecuteHook TOpenDialog::SetExecuteHook(TExecuteHook hook)
{
    TExecuteHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

}  // namespace tembrook
