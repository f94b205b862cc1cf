#pragma once
// The list's save dialog: the standard file-save dialog with the settings the
// Save action needs, remembering the last chosen name for the next time.
//
//   TSaveDialog dialog;                       // settings below
//   if (dialog.Execute(window)) save(dialog.FileName());
//
// Execute builds a QFileDialog from the settings and runs it modally. Tests
// install an execute hook (TScopedSaveDialogHook): Execute then builds the
// same QFileDialog and hands it to the hook instead of running it, so a test
// reads the dialog's real properties and answers with a name (or cancels)
// without any click.
//
// The dialog refuses a name in a folder that does not exist and an existing
// file that cannot be written: it says why and stays open.

#include <QFileDialog>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

namespace tembrook {

// What the program's file dialogs share. Tests answer a dialog through a
// hook that gets the configured QFileDialog and returns the chosen name, or
// nothing for Cancel.
using TFileDialogHook = std::function<std::optional<QString>(QFileDialog&)>;

// The title, the name filters (the first one selected, "all files" listing
// every file), the size grip and the last chosen name offered again.
void ConfigureFileDialog(QFileDialog& dialog, const QString& title, const QStringList& nameFilters,
                         const QString& lastName);

// Runs the configured dialog modally, or hands it to hook when one is set.
// True when a name was chosen; fileName then holds it.
bool RunFileDialog(QFileDialog& dialog, const TFileDialogHook& hook, QString& fileName);

class TSaveDialog {
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
    // The last chosen name; offered again by the next Execute.
    QString FileName() const { return FFileName; }
    void SetFileName(const QString& name) { FFileName = name; }

    // True when the user chose a name (then FileName() holds it).
    bool Execute(QWidget* parent);

    // Installs the test hook (an empty one restores the real dialog);
    // returns the previous one.
    static TFileDialogHook SetExecuteHook(TFileDialogHook hook);

    // Fills a dialog with the settings (what Execute shows).
    void Configure(QFileDialog& dialog) const;

private:
    QString FTitle;
    QStringList FNameFilters;
    QString FDefaultSuffix;
    QFileDialog::Options FOptions;
    QString FFileName;
};

// Lets a name filter whose pattern is "*.*" list every file, names without
// a dot included, whenever the user selects it.
void ListEveryFileUnderAllFiles(QFileDialog& dialog);

// Installs a dialog class's test hook for a scope.
template <class TDialog>
class TScopedFileDialogHook {
public:
    explicit TScopedFileDialogHook(TFileDialogHook hook) : FPrevious(TDialog::SetExecuteHook(std::move(hook)))
    {
    }
    ~TScopedFileDialogHook() { TDialog::SetExecuteHook(std::move(FPrevious)); }
    TScopedFileDialogHook(const TScopedFileDialogHook&) = delete;
    TScopedFileDialogHook& operator=(const TScopedFileDialogHook&) = delete;

private:
    TFileDialogHook FPrevious;
};

using TScopedSaveDialogHook = TScopedFileDialogHook<TSaveDialog>;

}  // namespace tembrook
