#include "FileDialog.h"

#include <QFileInfo>
#include <QFileSystemModel>
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
