#pragma once
// TTembrookMainForm is the program's main window: the URL field with the
// Start, Save and HTML buttons, the release list, the log and the status bar.
//
// Start clears the list and hands the URL to the import road (ImportRoad.h),
// which downloads the top page and its table pages and reports back through
// the window's import view (ImportView.h): status panel 0, the log memo, the
// progress in status panel 1, and the records of every table page, which
// become rows of the list. Save writes the list to a text file; HTML shows the ticked
// rows as one line of text in the HTML text window. A right-button release
// over Start opens the About box (AboutForm1) instead of starting an import.
//
// The list's menu (right button or menu key over the list) ticks the rows of
// the series the user followed in a saved list ("前回の保存リストからチェック…",
// SavedListFile.h), ticks or unticks every row, and saves the ticked rows as
// a calendar file ("カレンダーに書き出す…", CalendarExport.h). Nothing of it
// is kept between runs.
//
// The URL field, the list, the log and the status panels carry names for
// screen readers (AssistiveNames.h), never drawn.
//
// Every handler catches what is thrown inside it and shows the message in an
// error box titled with the application's title (MessageBoxes.h), so no
// exception reaches the Qt event loop. The road and its import lock exist
// from the first show of the window to its close; closing the window stops
// every transfer still running.

#include <QMainWindow>
#include <QRect>
#include <QString>
#include <memory>
#include <string>

#include "ImportTransferStarter.h"
#include "ImportView.h"
#include "OpenDialog.h"
#include "SaveDialog.h"

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTreeView;

namespace tembrook {

class TAboutForm;
class TBoxLabel;
class TBookListModel;
class TBookListView;
class THTMLTextForm;

class TTembrookMainForm : public QMainWindow {
public:
    // The address the URL field starts with.
    static QString DefaultSourceURL();
    // The window's outer rectangle, frame included.
    static QRect DefaultOuterGeometry();

    explicit TTembrookMainForm(QWidget* parent = nullptr);
    ~TTembrookMainForm() override;

    // The window that the HTML action fills and shows (created by main after
    // this window). Without one, the window makes its own on first use.
    void SetHTMLTextForm(THTMLTextForm* form) { FHTMLTextForm = form; }
    THTMLTextForm* HTMLTextForm();

    // Where the imports report: the rows of the list and the road.
    TImportView& ImportView() const { return *FImportView; }
    // The file dialogs of Save, of the list's menu's saved list and of its
    // calendar file.
    TSaveDialog& SaveDialog() { return FSaveDialog; }
    TOpenDialog& SavedListDialog() { return FSavedListDialog; }
    TSaveDialog& CalendarDialog() { return FCalendarDialog; }

    // Set-up on the first show, tear-down on close.
    void FormShow();
    void FormClose();
    // Drops the road and stops every transfer still running: on close, and
    // by main once the event loop has ended (a way out that never closes
    // the window). Safe to call more than once.
    void StopTransfers() noexcept;

    // Action and header handlers. Each shows what it catches.
    void StartInportActionExecute();
    void SaveListAsActionExecute();
    void MakeHTMLSectionActionExecute();
    void CheckFromSavedListActionExecute();
    void CheckAllActionExecute();
    void UncheckAllActionExecute();
    void ExportCalendarActionExecute();
    void InportBookListViewColumnClick(int column);
    // Mouse-up over Start: the right button opens the About box; any other
    // button does nothing here (a left click still runs the Start action).
    void StartInportButtonMouseUp(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X,
                                  int Y);

    // Writes the list to fileName and reports completion; throws
    // EFCreateError / EWriteError (the file is then left as it was).
    void SaveListToFile(const QString& fileName);
    // Ticks the rows that the saved list at fileName follows and logs how
    // many; throws what ReadSavedListFile throws.
    void CheckFromSavedList(const QString& fileName);
    // Writes the ticked rows as a calendar file and logs how many; throws
    // EFCreateError / EWriteError (the file is then left as it was).
    void ExportCalendarToFile(const QString& fileName);
    // Starts an import of url (CP932 bytes, as typed).
    void StartImport(const std::string& url);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    template <class THandler>
    void RunHandler(THandler&& handler) noexcept;
    // The window's parts, built once by the constructor.
    void BuildLayout();
    void BuildListView(QWidget* client);
    void BuildActions();
    void BuildPanel(QWidget* client);
    void BuildButtons();
    void BuildListMenu();
    void BuildStatusBar();

    TBookListView* FInportBookListView = nullptr;
    TBookListModel* FBookList = nullptr;
    QFrame* FPanel1 = nullptr;
    QStatusBar* FStatusBar = nullptr;
    QLabel* FStatusPanels[3] = {nullptr, nullptr, nullptr};
    TBoxLabel* FBoxLabel1 = nullptr;
    QLineEdit* FSourceURLEdit = nullptr;
    QPlainTextEdit* FMemo1 = nullptr;
    QAction* FTransTestAction = nullptr;
    QAction* FStartInportAction = nullptr;
    QAction* FSaveListAsAction = nullptr;
    QAction* FMakeHTMLSectionAction = nullptr;
    QPushButton* FStartInportButton = nullptr;
    QPushButton* FSaveListAsButton = nullptr;
    QPushButton* FMakeHTMLSectionButton = nullptr;
    TSaveDialog FSaveDialog;
    QMenu* FListMenu = nullptr;
    QAction* FCheckFromSavedListAction = nullptr;
    QAction* FCheckAllAction = nullptr;
    QAction* FUncheckAllAction = nullptr;
    QAction* FExportCalendarAction = nullptr;
    TOpenDialog FSavedListDialog;
    TSaveDialog FCalendarDialog;
    TAboutForm* FAboutForm1 = nullptr;  // a child object of the window

    THTMLTextForm* FHTMLTextForm = nullptr;
    std::unique_ptr<THTMLTextForm> FOwnHTMLTextForm;

    bool FShown = false;
    // The starter must outlive the road, which refers to it.
    TImportTransferStarter FStarter;
    std::unique_ptr<TImportView> FImportView;
};

}  // namespace tembrook
