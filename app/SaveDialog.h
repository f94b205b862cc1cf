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

    // Receives the configured dialog; returns the chosen name, or nothing for Cancel.
    using TExecuteHook = std::function<std::optional<QString>(QFileDialog&)>;
    static TExecuteHook SetExecuteHook(TExecuteHook hook);

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

class TScopedSaveDialogHook {
public:
    explicit TScopedSaveDialogHook(TSaveDialog::TExecuteHook hook)
        : FPrevious(TSaveDialog::SetExecuteHook(std::move(hook)))
    {
    }
    ~TScopedSaveDialogHook() { TSaveDialog::SetExecuteHook(std::move(FPrevious)); }
    TScopedSaveDialogHook(const TScopedSaveDialogHook&) = delete;
    TScopedSaveDialogHook& operator=(const TScopedSaveDialogHook&) = delete;

private:
    TSaveDialog::TExecuteHook FPrevious;
};

}  // namespace tembrook
