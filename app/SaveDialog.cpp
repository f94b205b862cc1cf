#include "SaveDialog.h"

#include <QFileInfo>
#include <QFileSystemModel>
#include <QRegularExpression>
#include <utility>

#include "MessageBoxes.h"

namespace tembrook {

namespace {
TFileDialogHook& Hook()
{
    static TFileDialogHook hook;
    return hook;
}
// The wildcards of a filter such as "テキストファイル(*.txt)": the words
// between its last parentheses.
QStringList FilterPatterns(const QString& filter)
{
    static const QRegularExpression inParentheses(QStringLiteral("\\(([^()]*)\\)\\s*$"));
    const QRegularExpressionMatch match = inParentheses.match(filter);
    return match.hasMatch() ? match.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts) : QStringList();
}

// "*.*" means every file to the user, but Qt's wildcard would ask for a dot
// in the name; the dialog's file model is told "*" instead.
void ApplyAllFilesPattern(QFileDialog& dialog, const QString& filter)
{
    auto* const files = dialog.findChild<QFileSystemModel*>();
    if (files && FilterPatterns(filter).contains(QStringLiteral("*.*")))
        files->setNameFilters({QStringLiteral("*")});
}

// Why a name cannot be saved to, or an empty text when it can: the folder
// must exist and an existing file must be writable. A file without any write
// permission counts as read-only even for a user who could override that.
QString SaveRefusal(const QString& name)
{
    const QFileInfo file(name);
    if (file.isDir())
        return {};  // the dialog opens the folder
    if (!QFileInfo(file.absolutePath()).isDir())
        return name + QStringLiteral("\nパスが存在しません。\nパスが正しいかどうかを確認してください。");
    // (WriteUser says what this user may do, so it is not among the bits.)
    constexpr QFile::Permissions anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (file.exists() && (!file.isWritable() || !(file.permissions() & anyWrite)))
        return name + QStringLiteral("\nこのファイルは読み取り専用です。\n別の名前を指定してください。");
    return {};
}

// The save dialog refuses, and stays open for, a name that the save could
// only fail on: a folder that does not exist or a read-only file.
class TCheckedSaveDialog final : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList files = selectedFiles();
        const QString refusal = files.isEmpty() ? QString() : SaveRefusal(files.constFirst());
        if (!refusal.isEmpty()) {
            ShowErrorMessage(this, refusal);
            return;
        }
        QFileDialog::accept();
    }
};
}  // namespace

void ListEveryFileUnderAllFiles(QFileDialog& dialog)
{
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) { ApplyAllFilesPattern(dialog, filter); });
    ApplyAllFilesPattern(dialog, dialog.selectedNameFilter());
}

TSaveDialog::TSaveDialog()
    : TSaveDialog(QStringLiteral("リストを保存"),
                  {QStringLiteral("テキストファイル(*.txt)"), QStringLiteral("すべてのファイル(*.*)")},
                  QStringLiteral("txt"))
{
}

TSaveDialog::TSaveDialog(QString title, QStringList nameFilters, QString defaultSuffix)
    : FTitle(std::move(title)), FNameFilters(std::move(nameFilters)),
      FDefaultSuffix(std::move(defaultSuffix)),
      // Overwriting asks first (no DontConfirmOverwrite). Qt's own dialog,
      // not the desktop's, so that its checks of the chosen name and its
      // listing of every file under "all files" hold.
      FOptions(QFileDialog::DontUseNativeDialog)
{
}

void ConfigureFileDialog(QFileDialog& dialog, const QString& title, const QStringList& nameFilters,
                         const QString& lastName)
{
    dialog.setWindowTitle(title);
    dialog.setNameFilters(nameFilters);
    dialog.selectNameFilter(nameFilters.value(0));
    ListEveryFileUnderAllFiles(dialog);
    dialog.setSizeGripEnabled(true);
    if (!lastName.isEmpty()) {
        const QFileInfo last(lastName);
        dialog.setDirectory(last.absolutePath());
        dialog.selectFile(last.fileName());
    }
}

bool RunFileDialog(QFileDialog& dialog, const TFileDialogHook& hook, QString& fileName)
{
    std::optional<QString> chosen;
    if (hook) {
        chosen = hook(dialog);
    } else if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        chosen = dialog.selectedFiles().constFirst();
    }
    if (!chosen || chosen->isEmpty())
        return false;
    fileName = *chosen;
    return true;
}

void TSaveDialog::Configure(QFileDialog& dialog) const
{
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOptions(FOptions);
    dialog.setDefaultSuffix(FDefaultSuffix);
    ConfigureFileDialog(dialog, FTitle, FNameFilters, FFileName);
}

bool TSaveDialog::Execute(QWidget* parent)
{
    TCheckedSaveDialog dialog(parent);
    Configure(dialog);
    return RunFileDialog(dialog, Hook(), FFileName);
}

TFileDialogHook TSaveDialog::SetExecuteHook(TFileDialogHook hook)
{
    return std::exchange(Hook(), std::move(hook));
}

}  // namespace tembrook
