#pragma once
// The dialog that picks a saved list to tick rows from: the standard
// file-open dialog for an existing file, remembering the last chosen name
// for the next time.
//
//   TOpenDialog dialog;
//   if (dialog.Execute(window)) read(dialog.FileName());
//
// Tests answer it through TScopedOpenDialogHook (FileDialog.h).

#include <QFileDialog>
#include <QString>
#include <QStringList>

#include "FileDialog.h"

namespace tembrook {

class TOpenDialog : public TFileDialog<TOpenDialog> {
public:
    TOpenDialog();

    QString Title() const { return FTitle; }
    QStringList NameFilters() const { return FNameFilters; }

    void Configure(QFileDialog& dialog) const;

private:
    QString FTitle;
    QStringList FNameFilters;
};

using TScopedOpenDialogHook = TScopedFileDialogHook<TOpenDialog>;

}  // namespace tembrook
