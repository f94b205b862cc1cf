#pragma once
// What the program's file dialogs (TSaveDialog, TOpenDialog) share: their
// settings on a QFileDialog, their run, and a test hook per dialog class.
//
// A dialog class derives from TFileDialog<itself> and gives Configure, which
// fills a QFileDialog with its settings; TFileDialog remembers the last
// chosen name, offers it again on the next Execute and runs the dialog. A
// class that needs its own QFileDialog subclass gives NewDialog as well.
//
// Tests install a hook for a dialog class (TScopedFileDialogHook): Execute
// then builds and configures the same QFileDialog and hands it to the hook
// instead of running it, so a test reads the dialog's real properties and
// answers with a name (or cancels) without any click.

#include "ScopedOverride.h"

#include <QFileDialog>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QWidget;

namespace tembrook {

// Gets the configured QFileDialog; returns the chosen name, or nothing for
// Cancel.
using TFileDialogHook = std::function<std::optional<QString>(QFileDialog&)>;

// The title, the name filters (the first one selected, "all files" listing
// every file), the size grip and the last chosen name offered again. A
// change of filter keeps the name in the name box as it stands.
void ConfigureFileDialog(QFileDialog& dialog, const QString& title, const QStringList& nameFilters,
                         const QString& lastName);

// Runs the configured dialog modally, or hands it to hook when one is set.
// True when a name was chosen; fileName then holds it.
bool RunFileDialog(QFileDialog& dialog, const TFileDialogHook& hook, QString& fileName);

// Lets a name filter whose pattern is "*.*" list every file, names without
// a dot included, whenever the user selects it.
void ListEveryFileUnderAllFiles(QFileDialog& dialog);

template <class TDialog>
class TFileDialog {
public:
    // The last chosen name; offered again by the next Execute.
    QString FileName() const { return FFileName; }
    void SetFileName(const QString& name) { FFileName = name; }

    // True when the user chose a name (then FileName() holds it).
    bool Execute(QWidget* parent)
    {
        const TDialog& self = static_cast<const TDialog&>(*this);
        const std::unique_ptr<QFileDialog> dialog = self.NewDialog(parent);
        self.Configure(*dialog);
        return RunFileDialog(*dialog, Hook(), FFileName);
    }

    // Installs the test hook of the dialog class (an empty one restores the
    // real dialog); returns the previous one.
    static TFileDialogHook SetExecuteHook(TFileDialogHook hook)
    {
        return std::exchange(Hook(), std::move(hook));
    }

    // The Qt dialog that Execute configures and runs.
    static std::unique_ptr<QFileDialog> NewDialog(QWidget* parent)
    {
        return std::make_unique<QFileDialog>(parent);
    }

private:
    static TFileDialogHook& Hook()
    {
        static TFileDialogHook hook;
        return hook;
    }

    QString FFileName;
};

// Installs a dialog class's test hook for a scope.
template <class TDialog>
using TScopedFileDialogHook = platform::TScopedOverride<TFileDialogHook, &TDialog::SetExecuteHook>;

}  // namespace tembrook
