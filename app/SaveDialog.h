#pragma once
// The list's save dialog: the standard file-save dialog with the settings the
// Save action needs, remembering the last chosen name for the next time.
//
//   TSaveDialog dialog;                       // settings below
//   if (dialog.Execute(window)) save(dialog.FileName());
//
// Execute builds a QFileDialog from the settings and runs it modally; tests
// answer it through TScopedSaveDialogHook (FileDialog.h).
//
// The dialog refuses a name in a folder that does not exist and an existing
// file that cannot be written: it says why and stays open.

#include <QFileDialog>
#include <QString>
#include <QStringList>
#include <memory>

#include "FileDialog.h"

class QWidget;

namespace tembrook {

class TSaveDialog : public TFileDialog<TSaveDialog> {
public:
    // The list's settings: "リストを保存", text files, "txt".
    TSaveDialog();
    // Another file kind: the title, the name filters (the first one
    // selected) and the extension added to a name without one.
    TSaveDialog(QString title, QStringList nameFilters, QString defaultSuffix);

    QString Title() const { return FTitle; }
    // Name filters in Qt's syntax, the first one selected.
    QStringList NameFilters() const { return FNameFilters; }
    // Added by the dialog when the typed name has no extension.
    QString DefaultSuffix() const { return FDefaultSuffix; }
    QFileDialog::Options Options() const { return FOptions; }

    // Fills a dialog with the settings (what Execute shows).
    void Configure(QFileDialog& dialog) const;
    // A QFileDialog that refuses a name the save could only fail on.
    static std::unique_ptr<QFileDialog> NewDialog(QWidget* parent);

private:
    QString FTitle;
    QStringList FNameFilters;
    QString FDefaultSuffix;
    QFileDialog::Options FOptions;
};

using TScopedSaveDialogHook = TScopedFileDialogHook<TSaveDialog>;

}  // namespace tembrook
