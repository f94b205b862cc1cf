#include "FileDialog.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QRegularExpression>

namespace tembrook {

namespace {

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

// Qt's own save dialog gives the typed name the extension of a newly chosen
// filter ("list.txt" becomes "list.*" under "*.*", "list.dat" becomes
// "list.txt"), and would then return that name. The filter box is wired to
// choose the filter through the dialog's public call instead, with the name
// put back as it stood; the default extension still comes on accept. A
// desktop dialog (no widgets of Qt's own) is left as it is.
void KeepNameOnFilterChange(QFileDialog& dialog)
{
    auto* const kinds = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    auto* const name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (kinds == nullptr || name == nullptr)
        return;
    QObject::disconnect(kinds, &QComboBox::activated, &dialog, nullptr);
    QObject::connect(kinds, &QComboBox::activated, &dialog, [&dialog, kinds, name](int index) {
        const QString typed = name->text();
        dialog.selectNameFilter(kinds->itemText(index));
        if (name->text() != typed)
            name->setText(typed);
    });
}

}  // namespace

void ListEveryFileUnderAllFiles(QFileDialog& dialog)
{
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) { ApplyAllFilesPattern(dialog, filter); });
    ApplyAllFilesPattern(dialog, dialog.selectedNameFilter());
}

void ConfigureFileDialog(QFileDialog& dialog, const QString& title, const QStringList& nameFilters,
                         const QString& lastName)
{
    dialog.setWindowTitle(title);
    dialog.setNameFilters(nameFilters);
    dialog.selectNameFilter(nameFilters.value(0));
    ListEveryFileUnderAllFiles(dialog);
    KeepNameOnFilterChange(dialog);
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

}  // namespace tembrook
