#include "TembrookMainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QShowEvent>
#include <QStatusBar>
#include <QTreeView>
#include <QVBoxLayout>
#include <exception>
#include <stdexcept>

#include "AboutForm.h"
#include "AboutValues.h"
#include "AssistiveNames.h"
#include "BookListModel.h"
#include "BookListView.h"
#include "BoxLabels.h"
#include "Cp932Codec.h"
#include "HTMLTextWindow.h"
#include "HTTPTransferThreadUnit.h"
#include "ListFileExport.h"
#include "ListOutput.h"
#include "MessageBoxes.h"
#include "MouseUpEvent.h"
#include "PageDecoder.h"
#include "SavedListFile.h"
#include "UiBase.h"
#include "WindowGeometry.h"

namespace tembrook {

namespace {

// Status texts that the window itself writes, and the initial texts.
const QString kInitialStatus = QStringLiteral("取込中");
const QString kInitialProgress = QStringLiteral("999,999,999Kbyte");

// Binds a push button to an action: the button shows the action's text and
// enabled state and triggers the action when clicked.
void BindButtonToAction(QPushButton* button, QAction* action)
{
    const auto sync = [button, action] {
        button->setText(action->text());
        button->setEnabled(action->isEnabled());
        button->setVisible(action->isVisible());
    };
    sync();
    QObject::connect(action, &QAction::changed, button, sync);
    QObject::connect(button, &QPushButton::clicked, action, [action] { action->trigger(); });
}

// The framed caption in front of the URL field. The name comes first: the
// caption follows it while the two are equal, and is then set on its own.
TBoxLabel* CreateBoxLabel1(QWidget* parent)
{
    auto* label = new TBoxLabel(parent);
    label->SetName(QStringLiteral("BoxLabel1"));
    label->SetCaption(QStringLiteral("TembrookURL"));
    label->SetAlignment(taCenter);
    label->SetBackColor(clBtnFace);
    label->setGeometry(4, 8, 77, 17);
    return label;
}

QLabel* CreateStatusPanel(QStatusBar* bar, const char* name, int width, Qt::Alignment alignment,
                          const QString& text)
{
    auto* panel = new QLabel(text, bar);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFixedWidth(width);
    panel->setAlignment(alignment | Qt::AlignVCenter);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    bar->addWidget(panel);
    return panel;
}

QString ExceptionText(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return FromCP932(e.what());
    } catch (...) {
        return QStringLiteral("不明なエラーが発生しました。");
    }
}

}  // namespace

QString TTembrookMainForm::DefaultSourceURL()
{
    return QStringLiteral("http://www.example.com/comic/index.html");
}

QRect TTembrookMainForm::DefaultOuterGeometry()
{
    return QRect(66, 143, 813, 681);
}

TTembrookMainForm::TTembrookMainForm(QWidget* parent)
    : QMainWindow(parent),
      FCalendarDialog(QStringLiteral("カレンダーに書き出す"),
                      {QStringLiteral("iCalendarファイル(*.ics)"), QStringLiteral("すべてのファイル(*.*)")},
                      QStringLiteral("ics")),
      FStarter(this, &DecodePageToCP932)
{
    BuildLayout();
    FImportView =
        std::make_unique<TImportView>(*this, *FBookList, *FStatusPanels[0], *FStatusPanels[1], *FMemo1);
}

TTembrookMainForm::~TTembrookMainForm()
{
    // The view drops the road (and with it every pending completion) while
    // the widgets that it reports to still exist.
    FImportView.reset();
}

void TTembrookMainForm::BuildLayout()
{
    setObjectName(QStringLiteral("TembrookMainForm"));
    setWindowTitle(QStringLiteral("Tembrook取得"));
    setFont(UiFont(12));
    SetOuterGeometry(*this, DefaultOuterGeometry());

    auto* client = new QWidget(this);
    client->setBackgroundRole(QPalette::Button);
    client->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // The list view is the first component; the panel above it holds the
    // caption, the URL field and the buttons.
    BuildListView(client);
    BuildPanel(client);
    FMemo1 = new QPlainTextEdit(client);
    FMemo1->setObjectName(QStringLiteral("Memo1"));
    FMemo1->setReadOnly(true);
    FMemo1->setFixedHeight(89);
    FMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FMemo1->setPlainText(QStringLiteral("Memo1"));
    // The buttons come after the log, so that the tab order runs from the
    // URL field through the log to the buttons.
    BuildActions();
    BuildListMenu();
    BuildButtons();

    layout->addWidget(FPanel1);
    layout->addWidget(FInportBookListView, 1);
    layout->addWidget(FMemo1);
    setCentralWidget(client);

    BuildStatusBar();
    NameForAssistiveTechnology(
        {*FBoxLabel1, *FSourceURLEdit, *FInportBookListView, *FMemo1, *FStatusPanels[0], *FStatusPanels[1]});

    // The About box takes its stored position from the window's geometry, so
    // it comes after the window has its place.
    FAboutForm1 = CreateTembrookAboutForm(this);
    SetOnMouseUp(FStartInportButton,
                 [this](QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
                     StartInportButtonMouseUp(sender, button, shift, x, y);
                 });

    // The row the window's design holds until the first Start.
    FBookList->AddTextRow(
        {QString(), QStringLiteral("03/14"), QStringLiteral("あああああ"), QString(), QString(), QString()});
}

void TTembrookMainForm::BuildListView(QWidget* client)
{
    FBookList = new TBookListModel(this);
    FInportBookListView = new TBookListView(client);
    FInportBookListView->setObjectName(QStringLiteral("InportBookListView"));
    FInportBookListView->setModel(FBookList);
    FInportBookListView->setRootIsDecorated(false);
    FInportBookListView->setItemsExpandable(false);
    FInportBookListView->setUniformRowHeights(true);
    FInportBookListView->setAllColumnsShowFocus(true);
    FInportBookListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    FInportBookListView->setSelectionMode(QAbstractItemView::SingleSelection);
    FInportBookListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FInportBookListView->setSortingEnabled(false);
    QHeaderView* header = FInportBookListView->header();
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    header->setSectionsClickable(true);
    header->setMinimumSectionSize(1);
    for (int column = 0; column < TBookListModel::kColumnCount; ++column)
        header->resizeSection(column, TBookListModel::ColumnWidth(column));
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int column) { InportBookListViewColumnClick(column); });
}

void TTembrookMainForm::BuildActions()
{
    FTransTestAction = new QAction(QStringLiteral("取り込みテスト"), this);  // no handler, used by no control
    FTransTestAction->setObjectName(QStringLiteral("TransTestAction"));
    FStartInportAction = new QAction(QStringLiteral("開始(&R)"), this);
    FStartInportAction->setObjectName(QStringLiteral("StartInportAction"));
    FSaveListAsAction = new QAction(QStringLiteral("保存(&S)"), this);
    FSaveListAsAction->setObjectName(QStringLiteral("SaveListAsAction"));
    FMakeHTMLSectionAction = new QAction(QStringLiteral("HTML(&H)"), this);
    FMakeHTMLSectionAction->setObjectName(QStringLiteral("MakeHTMLSectionAction"));
    connect(FStartInportAction, &QAction::triggered, this, [this] { StartInportActionExecute(); });
    connect(FSaveListAsAction, &QAction::triggered, this, [this] { SaveListAsActionExecute(); });
    connect(FMakeHTMLSectionAction, &QAction::triggered, this, [this] { MakeHTMLSectionActionExecute(); });
}

void TTembrookMainForm::BuildPanel(QWidget* client)
{
    FPanel1 = new QFrame(client);
    FPanel1->setObjectName(QStringLiteral("Panel1"));
    FPanel1->setFixedHeight(41);
    FPanel1->setFrameShape(QFrame::Panel);
    FPanel1->setFrameShadow(QFrame::Sunken);
    FPanel1->setLineWidth(1);

    FBoxLabel1 = CreateBoxLabel1(FPanel1);

    FSourceURLEdit = new QLineEdit(DefaultSourceURL(), FPanel1);
    FSourceURLEdit->setObjectName(QStringLiteral("SourceURLEdit"));
    FSourceURLEdit->setGeometry(84, 8, 453, 20);
}

void TTembrookMainForm::BuildButtons()
{
    const auto makeButton = [this](const char* name, int left, QAction* action) {
        auto* button = new QPushButton(FPanel1);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(left, 4, 75, 25);
        button->setAutoDefault(false);
        BindButtonToAction(button, action);
        return button;
    };
    FStartInportButton = makeButton("StartInportButton", 540, FStartInportAction);
    FSaveListAsButton = makeButton("SaveListAsButton", 644, FSaveListAsAction);
    FMakeHTMLSectionButton = makeButton("MakeHTMLSectionButton", 724, FMakeHTMLSectionAction);
}

void TTembrookMainForm::BuildListMenu()
{
    const auto makeMenuAction = [this](const char* name, const QString& text,
                                       void (TTembrookMainForm::*handler)()) {
        auto* action = new QAction(text, this);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };
    FCheckFromSavedListAction =
        makeMenuAction("CheckFromSavedListAction", QStringLiteral("前回の保存リストからチェック(&L)…"),
                       &TTembrookMainForm::CheckFromSavedListActionExecute);
    FCheckAllAction = makeMenuAction("CheckAllAction", QStringLiteral("すべてチェック(&A)"),
                                     &TTembrookMainForm::CheckAllActionExecute);
    FUncheckAllAction = makeMenuAction("UncheckAllAction", QStringLiteral("すべてのチェックを外す(&U)"),
                                       &TTembrookMainForm::UncheckAllActionExecute);
    FExportCalendarAction =
        makeMenuAction("ExportCalendarAction", QStringLiteral("カレンダーに書き出す(&C)…"),
                       &TTembrookMainForm::ExportCalendarActionExecute);
    FListMenu = new QMenu(this);
    FListMenu->setObjectName(QStringLiteral("ListMenu"));
    FListMenu->addAction(FCheckFromSavedListAction);
    FListMenu->addAction(FCheckAllAction);
    FListMenu->addAction(FUncheckAllAction);
    FListMenu->addSeparator();
    FListMenu->addAction(FExportCalendarAction);
    FInportBookListView->SetContextMenu(FListMenu);
}

void TTembrookMainForm::BuildStatusBar()
{
    FStatusBar = new QStatusBar(this);
    FStatusBar->setObjectName(QStringLiteral("StatusBar"));
    FStatusBar->setFixedHeight(19);
    FStatusPanels[0] = CreateStatusPanel(FStatusBar, "StatusPanel0", 70, Qt::AlignHCenter, kInitialStatus);
    FStatusPanels[1] = CreateStatusPanel(FStatusBar, "StatusPanel1", 100, Qt::AlignRight, kInitialProgress);
    FStatusPanels[2] = CreateStatusPanel(FStatusBar, "StatusPanel2", 50, Qt::AlignRight, QString());
    setStatusBar(FStatusBar);
}

THTMLTextForm* TTembrookMainForm::HTMLTextForm()
{
    if (FHTMLTextForm == nullptr) {
        FOwnHTMLTextForm = std::make_unique<THTMLTextForm>();
        FOwnHTMLTextForm->setAttribute(Qt::WA_QuitOnClose, false);
        FHTMLTextForm = FOwnHTMLTextForm.get();
    }
    return FHTMLTextForm;
}

template <class THandler>
void TTembrookMainForm::RunHandler(THandler&& handler) noexcept
{
    try {
        handler();
    } catch (...) {
        const QString text = ExceptionText(std::current_exception());
        try {
            ShowErrorMessage(this, text);
        } catch (...) {
            // Nothing sensible is left to do; the event loop must not see it.
        }
    }
}

void TTembrookMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!FShown) {
        FShown = true;
        RunHandler([this] { FormShow(); });
    }
}

void TTembrookMainForm::closeEvent(QCloseEvent* event)
{
    RunHandler([this] { FormClose(); });
    QMainWindow::closeEvent(event);
}

void TTembrookMainForm::FormShow()
{
    FImportView->OpenRoad(FStarter);
    FBookList->SetSortState(1, false);
}

void TTembrookMainForm::FormClose()
{
    StopTransfers();
}

void TTembrookMainForm::StopTransfers() noexcept
{
    FImportView->CloseRoad();
    // The transfers belong to this window; none may keep running (or keep
    // the program from ending) once it is closed or the event loop is over.
    try {
        StopAllTransfers();
    } catch (...) {
    }
}

void TTembrookMainForm::StartInportActionExecute()
{
    RunHandler([this] {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        const auto restoreCursor = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
        FBookList->Clear();
        StartImport(ToCP932(FSourceURLEdit->text()));
    });
}

void TTembrookMainForm::StartImport(const std::string& url)
{
    TImportRoad* road = FImportView->Road();
    if (road == nullptr)
        throw std::logic_error("The import is not ready: the window has not been shown or is closed.");
    road->StartImport(url);
}

void TTembrookMainForm::SaveListAsActionExecute()
{
    RunHandler([this] {
        if (FSaveDialog.Execute(this))
            SaveListToFile(FSaveDialog.FileName());
    });
}

void TTembrookMainForm::SaveListToFile(const QString& fileName)
{
    WriteFileReplacing(fileName, BuildListFileText(*FBookList));
    ShowInformationMessage(this, QStringLiteral("保存が完了しました。"));
}

void TTembrookMainForm::MakeHTMLSectionActionExecute()
{
    RunHandler([this] { HTMLTextForm()->ShowHTMLText(*FBookList); });
}

void TTembrookMainForm::CheckFromSavedListActionExecute()
{
    RunHandler([this] {
        if (FSavedListDialog.Execute(this))
            CheckFromSavedList(FSavedListDialog.FileName());
    });
}

void TTembrookMainForm::CheckFromSavedList(const QString& fileName)
{
    const TSavedListTicks ticks(ReadSavedListFile(fileName));
    const int matched =
        FBookList->CheckMatching([&ticks](const THtmlBookSaleData& record) { return ticks.Matches(record); });
    FMemo1->appendPlainText(SavedListTickedLine(matched));
}

void TTembrookMainForm::CheckAllActionExecute()
{
    RunHandler([this] { FBookList->SetAllChecked(true); });
}

void TTembrookMainForm::UncheckAllActionExecute()
{
    RunHandler([this] { FBookList->SetAllChecked(false); });
}

void TTembrookMainForm::ExportCalendarActionExecute()
{
    RunHandler([this] {
        if (FCalendarDialog.Execute(this))
            ExportCalendarToFile(FCalendarDialog.FileName());
    });
}

void TTembrookMainForm::ExportCalendarToFile(const QString& fileName)
{
    const TOutput calendar = BuildCalendarFileText(*FBookList);
    WriteFileReplacing(fileName, calendar.Bytes);
    FMemo1->appendPlainText(QStringLiteral("カレンダーに %1 件を書き出しました").arg(calendar.Events));
    if (calendar.Undated > 0)
        FMemo1->appendPlainText(
            QStringLiteral("発売日が不明の %1 件は書き出していません").arg(calendar.Undated));
    if (calendar.Repeated > 0)
        FMemo1->appendPlainText(QStringLiteral("重複した %1 件は書き出していません").arg(calendar.Repeated));
}

void TTembrookMainForm::InportBookListViewColumnClick(int column)
{
    RunHandler([this, column] { FBookList->ColumnClick(column); });
}

void TTembrookMainForm::StartInportButtonMouseUp(QObject* /*Sender*/, Qt::MouseButton Button,
                                                 Qt::KeyboardModifiers /*Shift*/, int /*X*/, int /*Y*/)
{
    if (Button != Qt::RightButton)
        return;
    RunHandler([this] { FAboutForm1->Execute(); });
}

}  // namespace tembrook
