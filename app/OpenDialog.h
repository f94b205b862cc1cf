#pragma once
// The dialog that picks a saved list to tick rows from: the standard
// file-open dialog for an existing file, remembering the last chosen name
// for the next time.
//
//   TOpenDialog dialog;
//   if (dialog.Execute(window)) read(dialog.FileName());
//
// As with TSaveDialog, tests install an execute hook (TScopedOpenDialogHook):
// Execute then hands the configured QFileDialog to the hook instead of
// running it, and the hook answers with a name or cancels.

#include <QFileDialog>
#include <QString>
#include <QStringList>

#include "SaveDialog.h"

class QWidget;

namespace tembrook {

class TOpenDialog {
public:
    TOpenDialog();

    QString Title() const { return FTitle; }
    QStringList NameFilters() const { return FNameFilters; }
    QString FileName() const { return FFileName; }

    // True when the user chose a file (then FileName() holds it).
    bool Execute(QWidget* parent);

    static TFileDialogHook SetExecuteHook(TFileDialogHook hook);

    void Configure(QFileDialog& dialog) const;

private:
    QString FTitle;
    QStringList FNameFilters;
    QString FFileName;
};

using TScopedOpenDialogHook = TScopedFileDialogHook<TOpenDialog>;

}  // namespace tembrook
