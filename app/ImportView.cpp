#include "ImportView.h"

#include <QLabel>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QWidget>

#include "AssistiveNames.h"
#include "BookListModel.h"
#include "Cp932Codec.h"
#include "LocaleSettings.h"
#include "MessageBoxes.h"
#include "NumberFormat.h"
#include "ProgressHandOver.h"

namespace tembrook {

TImportView::TImportView(QWidget& window, TBookListModel& bookList, QLabel& statusPanel,
                         QLabel& progressPanel, QPlainTextEdit& log)
    : FWindow(window), FBookList(bookList), FStatusPanel(statusPanel), FProgressPanel(progressPanel),
      FLog(log), FProgress(std::make_shared<TProgressHandOver>(&window, [this](std::int64_t bytes) {
          SetStatusPanelText(FProgressPanel, ProgressPanelText(bytes, platform::ThousandsSeparator()));
      }))
{
}

TImportView::~TImportView()
{
    FProgress->Detach();
    CloseRoad();
}

QString TImportView::ProgressPanelText(std::int64_t receivedBytes, std::string_view thousandsSeparator)
{
    return FromCP932(FormatFloatN0(static_cast<double>(receivedBytes) / 1024.0, thousandsSeparator) +
                     "Kbyte");
}

void TImportView::OpenRoad(TTransferStarter& starter)
{
    FRoad = std::make_unique<TImportRoad>(*this, starter);
}

void TImportView::CloseRoad() noexcept
{
    try {
        FRoad.reset();
    } catch (...) {
    }
}

void TImportView::ShowStatus(const std::string& text)
{
    SetStatusPanelText(FStatusPanel, FromCP932(text));
}

void TImportView::AppendLog(const std::string& line)
{
    FLog.appendPlainText(FromCP932(line));
}

void TImportView::ClearLog()
{
    FLog.clear();
}

void TImportView::ShowProgress(std::int64_t receivedBytes)
{
    FProgress->Report(receivedBytes);
}

void TImportView::ClearProgress()
{
    SetStatusPanelText(FProgressPanel, QString());
}

void TImportView::AddBookSaleList(const TBookSaleList& list, const TTablePageRef& /*page*/)
{
    FBookList.AddBookSaleList(list);
}

void TImportView::ReportError(const std::string& message)
{
    // Shown once the completion that caught it has returned, so that its
    // transfer's worker is not held by a modal box.
    const QString text = FromCP932(message);
    QPointer<QWidget> window(&FWindow);
    QMetaObject::invokeMethod(
        window,
        [window, text] {
            if (window)
                ShowErrorMessage(window, text);
        },
        Qt::QueuedConnection);
}

}  // namespace tembrook
