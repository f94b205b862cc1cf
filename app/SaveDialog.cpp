#include "SaveDialog.h"

#include <QFileInfo>
#include <utility>

#include "MessageBoxes.h"

namespace tembrook {

namespace {

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

void TSaveDialog::Configure(QFileDialog& dialog) const
{
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOptions(FOptions);
    dialog.setDefaultSuffix(FDefaultSuffix);
    ConfigureFileDialog(dialog, FTitle, FNameFilters, FileName());
}

std::unique_ptr<QFileDialog> TSaveDialog::NewDialog(QWidget* parent)
{
    return std::make_unique<TCheckedSaveDialog>(parent);
}

}  // namespace tembrook
