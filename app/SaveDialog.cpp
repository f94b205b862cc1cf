#include "SaveDialog.h"

#include <QFileInfo>

namespace tembrook {

namespace {
TSaveDialog::TExecuteHook& Hook()
{
    static TSaveDialog::TExecuteHook hook;
    return hook;
}
}  // namespace

TSaveDialog::TSaveDialog()
    : TSaveDialog(QStringLiteral("リストを保存"),
                  {QStringLiteral("テキストファイル (*.txt)"), QStringLiteral("すべてのファイル (*.*)")},
                  QStringLiteral("txt"))
{
}

TSaveDialog::TSaveDialog(QString title, QStringList nameFilters, QString defaultSuffix)
    : FTitle(std::move(title)), FNameFilters(std::move(nameFilters)),
      FDefaultSuffix(std::move(defaultSuffix)),
      // Overwriting asks first (no DontConfirmOverwrite); a save dialog only
      // accepts names in folders that exist, and it can be resized.
      FOptions()
{
}

void TSaveDialog::Configure(QFileDialog& dialog) const
{
    dialog.setWindowTitle(FTitle);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOptions(FOptions);
    dialog.setNameFilters(FNameFilters);
    dialog.selectNameFilter(FNameFilters.value(0));
    dialog.setDefaultSuffix(FDefaultSuffix);
    dialog.setSizeGripEnabled(true);
    if (!FFileName.isEmpty()) {
        const QFileInfo last(FFileName);
        dialog.setDirectory(last.absolutePath());
        dialog.selectFile(last.fileName());
    }
}

bool TSaveDialog::Execute(QWidget* parent)
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

TSaveDialog::TExecuteHook TSaveDialog::SetExecuteHook(TExecuteHook hook)
{
    TExecuteHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

}  // namespace tembrook
