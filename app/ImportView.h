#pragma once
// TImportView is where the main window's imports report: it is the import
// road's sink (ImportRoad.h) and holds the road itself.
//
// What the road reports lands in the window's widgets: the status in status
// panel 0, the log lines in the log memo, the received bytes in status panel
// 1 (carried over from the transfers' worker threads by a progress hand-over,
// ProgressHandOver.h) and the records of every table page as rows of the
// release list model. An error caught at a completion is shown in an error
// box over the window once that completion has returned.
//
// The window makes one after its layout, with the widgets and the model it
// updates; they must outlive it. The road exists between OpenRoad and
// CloseRoad (the window's first show and its close).

#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "ImportRoad.h"

class QLabel;
class QPlainTextEdit;
class QWidget;

namespace tembrook {

class TBookListModel;
class TProgressHandOver;

class TImportView : public TImportSink {
public:
    // window is the receiver of the progress updates and the parent of the
    // error boxes.
    TImportView(QWidget& window, TBookListModel& bookList, QLabel& statusPanel, QLabel& progressPanel,
                QPlainTextEdit& log);
    // Drops the road (and with it every pending completion) while the
    // widgets it reports to still exist.
    ~TImportView() override;
    TImportView(const TImportView&) = delete;
    TImportView& operator=(const TImportView&) = delete;

    // Status panel 1's text for a byte count: kilobytes rounded, thousands
    // grouped, "Kbyte" after them (1,263,616 bytes give "1,234Kbyte").
    static QString ProgressPanelText(std::int64_t receivedBytes, std::string_view thousandsSeparator);

    // The rows the imports fill.
    TBookListModel& BookList() const { return FBookList; }
    // The road of the imports; null before OpenRoad and after CloseRoad.
    TImportRoad* Road() const { return FRoad.get(); }
    // starter must outlive the road.
    void OpenRoad(TTransferStarter& starter);
    // Safe to call more than once.
    void CloseRoad() noexcept;

    // TImportSink. ShowProgress runs on a transfer's worker thread.
    void ShowStatus(const std::string& text) override;
    void AppendLog(const std::string& line) override;
    void ClearLog() override;
    void ShowProgress(std::int64_t receivedBytes) override;
    void ClearProgress() override;
    void AddBookSaleList(const TBookSaleList& list, const TTablePageRef& page) override;
    void ReportError(const std::string& message) override;

private:
    QWidget& FWindow;
    TBookListModel& FBookList;
    QLabel& FStatusPanel;
    QLabel& FProgressPanel;
    QPlainTextEdit& FLog;
    std::shared_ptr<TProgressHandOver> FProgress;
    std::unique_ptr<TImportRoad> FRoad;
};

}  // namespace tembrook
