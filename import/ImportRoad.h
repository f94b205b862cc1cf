#pragma once
// TImportRoad runs one import from the top page to the records, the same way
// for the main window and for the command-line exporter:
//
//   1. StartImport(url): SourceURL := url, status "トップリスト取込中..", the
//      log emptied, the top page's transfer started.
//   2. Top page done: status "取得エラー" + log "Topページ取得失敗" when the
//      transfer failed (" : " + URL + " (HTTP 503)" after it when the server
//      answered with an error status); otherwise status "取得成功", log
//      "Topページ取得成功", ParseTopPage, then for every link in page order
//      the log line "リスト取り込み : " + URL and its transfer started (all
//      at once).
//   3. Each table page done, under the import lock: status "取得成功", log
//      "‥‥リスト取得成功", ParseTablePage(text, true), the page's
//      BookSaleList handed to the sink, then one log line per dropped row.
//      A page the server answered with an error status is never parsed.
//
// It talks to the outside only through the two interfaces below: a sink that
// shows what happens (the window's status bar, log and list; the exporter's
// stderr and output) and a starter that runs transfers (TImportTransferStarter
// in net/ImportTransferStarter.h on THTTPDataTransfer; a fake in tests).
//
// How the main window uses it (its sink is TImportView, app/ImportView.h):
//
//   class TImportView : public tembrook::TImportSink {
//     std::unique_ptr<tembrook::TImportRoad> FRoad;       // OpenRoad at the first show, CloseRoad at close
//     void ShowStatus(const std::string& text) override;   // status panel 0 (CP932 -> QString)
//     void AppendLog(const std::string& line) override;    // Memo1
//     void ClearLog() override;
//     void ShowProgress(std::int64_t bytes) override;      // WORKER THREAD: queue to panel 1
//     void ClearProgress() override;                        // panel 1 emptied
//     void AddBookSaleList(const TBookSaleList& list, const TTablePageRef& page) override;  // rows
//     void ReportError(const std::string& message) override;
//   };
//   window:    tembrook::TImportTransferStarter FStarter{this, &DecodePageToCP932};  // skipped once the window is gone
//   OpenRoad:  FRoad = std::make_unique<TImportRoad>(*this, starter);
//   Start:     road->StartImport(cp932UrlText);
//
// The road owns the import option object (InportOption()) and the import
// lock (ImportLock()). Exceptions that escape a parser or a sink call inside
// a completion are caught there, counted and passed to ReportError; the lock
// is released on every path. Destroying the road while transfers are still
// running is safe: their completions and progress reports are then dropped.
//
// Threads: every member and every sink call except ShowProgress runs on the
// thread that completes the transfers (the user-interface thread).
// ShowProgress runs on the transfers' worker threads; it must return quickly
// and never wait for the user-interface thread. The import lock is taken on
// the user-interface thread only (it is recursive, because a completion may
// run inside another one while a modal dialog spins the event loop).
//
// All texts passed to the sink are CP932 bytes.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "BookDataInportOptionUnit.h"

namespace tembrook {

// How a transfer ended.
enum class TTransferOutcome {
    toReceived,  // the whole body arrived
    toCutShort,  // a read broke (refused, reset, cut short, limit hit): the text
                 // holds only what arrived before
    toFailed,    // no page at all (no connection, stopped); the text is empty
};

// What a finished transfer hands back.
struct TTransferResult {
    TTransferOutcome Outcome = TTransferOutcome::toReceived;
    // The status of the final response after redirects; 0 when no response
    // came. A status of 400 or above makes the page a failed one, whatever
    // else happened to it: its body is an error page, never a release page.
    int HttpStatus = 0;
    // That response's Content-Type header value (may be empty).
    std::string_view ContentType;
    // The page as the parsers read it, CP932 (a page in another encoding has
    // been converted on its way in); valid during the completion call only.
    std::string_view ReceivedText;
    // Why it failed or broke (ASCII, may be empty); valid during the call only.
    std::string_view ErrorMessage;
    // A character encoding the page declared that is not read here, as
    // declared (printable ASCII, at most 40 characters); empty when none.
    std::string_view UnreadEncoding;

    bool HttpFailed() const noexcept { return HttpStatus >= 400; }
};

// Starts transfers. The real one is TImportTransferStarter (net/).
class TTransferStarter {
public:
    // Bytes received so far; called on a worker thread, possibly often.
    using TProgressHandler = std::function<void(std::int64_t receivedBytes)>;
    // Called exactly once per started transfer, on the user-interface thread.
    using TCompletionHandler = std::function<void(const TTransferResult& result)>;

    virtual ~TTransferStarter() = default;
    // Starts one transfer of url (CP932 bytes as typed) and returns at once.
    // May throw when no transfer can be started; onComplete is then not called.
    virtual void StartTransfer(const std::string& url, TProgressHandler onProgress,
                               TCompletionHandler onComplete) = 0;
};

// Which table page a hand-over comes from.
struct TTablePageRef {
    std::size_t LinkIndex = 0;  // 0-based position of its link on the top page
    std::string URL;
};

// Where the road reports. All texts are CP932 bytes.
class TImportSink {
public:
    virtual ~TImportSink() = default;
    // Status panel 0: the state of the last step.
    virtual void ShowStatus(const std::string& text) = 0;
    // One log line (without line break).
    virtual void AppendLog(const std::string& line) = 0;
    virtual void ClearLog() = 0;
    // Bytes received by the transfer that reported last. Worker thread!
    virtual void ShowProgress(std::int64_t receivedBytes) = 0;
    // Every completion empties the progress display first.
    virtual void ClearProgress() = 0;
    // The records of one table page, in page order, under the import lock.
    // The list stays owned by the road; copy what you keep.
    virtual void AddBookSaleList(const TBookSaleList& list, const TTablePageRef& page) = 0;
    // What the road calls for each table page: the same hand-over, with the
    // list open to the sink. The default copies (AddBookSaleList); a sink that
    // keeps every record anyway may take them out of the list instead
    // (TCustomDataList::Clear leaves the objects alive, and the sink then owns
    // them), so that a page's records are neither copied nor freed twice.
    virtual void TakeBookSaleList(TBookSaleList& list, const TTablePageRef& page)
    {
        AddBookSaleList(list, page);
    }
    // An error caught at a completion handler (the exception's text).
    virtual void ReportError(const std::string& message) = 0;
    // No transfer started by the road is running any more.
    virtual void ImportIdle() {}
};

// What happened since the last StartImport (completions of an earlier import
// that arrive later count here too).
struct TImportOutcome {
    bool TopPageDone = false;         // the top page's transfer has completed
    bool TopPageFailed = false;       // ... failed, its read broke, or HTTP said no
    int TopPageHttpError = 0;         // the top page's status when 400 or above, else 0
    std::size_t LinkCount = 0;        // table-page links found on the top page
    std::size_t PagesDone = 0;        // table-page transfers completed
    std::size_t PagesFailed = 0;      // ... failed, their read broke, or HTTP said no
    std::size_t PagesHttpFailed = 0;  // ... of those, answered with a status of 400 or above
    int PageHttpError = 0;            // the status of the first of them, else 0
    std::size_t PagesUnreadable = 0;  // received, but the table was not laid out as expected
    std::size_t RowsDropped = 0;      // table rows that did not become records
    std::size_t Errors = 0;           // exceptions caught at a handler or a start

    // The top page and every linked page arrived whole and every row was read.
    bool Complete() const noexcept
    {
        return TopPageDone && !TopPageFailed && PagesDone == LinkCount && PagesFailed == 0 &&
            PagesUnreadable == 0 && RowsDropped == 0 && Errors == 0;
    }
};

class TImportRoad {
public:
    // sink and starter must outlive the road.
    TImportRoad(TImportSink& sink, TTransferStarter& starter);
    // Pending completions and progress reports are dropped from here on.
    ~TImportRoad();
    TImportRoad(const TImportRoad&) = delete;
    TImportRoad& operator=(const TImportRoad&) = delete;

    // Step 1 of the road (see the top of this file). url: CP932 bytes, taken as
    // given (empty included). Earlier transfers are left running.
    void StartImport(const std::string& url);

    TBookDataInportOption& InportOption() noexcept;
    std::recursive_mutex& ImportLock() noexcept;
    const TImportOutcome& Outcome() const noexcept;
    // Transfers started by this road whose completion has not run yet.
    std::size_t RunningTransfers() const noexcept;

    // Log lines besides those of the steps above:
    //   a table page's transfer failed   "‥‥リスト取得失敗 : " + URL (status "取得エラー"),
    //                                    then " (HTTP 500)" or " (" + error + ")"
    //   a page declared an encoding that is not read (after the page's success line)
    //                                    "Topページの文字コード " + label + " は読めません : " + URL
    //                                    "‥‥リストの文字コード " + label + " は読めません : " + URL
    //   the whole top page has no table-page link (and the URL is not empty)
    //                                    "Topページの発売日順(テーブル表示)の下にリストへのリンクがありません : " + URL
    //   the top page's read broke        "Topページ受信エラー : " + URL + " (" + error + ")"
    //                                    (after "Topページ取得成功"; the page is still parsed)
    //   a table page's read broke        "‥‥リスト受信エラー : " + URL + " (" + error + ")"
    //                                    (after "‥‥リスト取得成功"; the page is still parsed)
    //   a table page without a readable table  "‥‥リストの表を読み取れません : " + URL
    //   a row that did not become a record     DroppedRowLogLine below
    // "‥‥行を読み飛ばしました : " + URL + " 表の" + row + "行目 (ページ" + line + "行目) : " + message
    static std::string DroppedRowLogLine(const std::string& url, const TDroppedRow& row);

    // The shared state behind the road (opaque; defined in ImportRoad.cpp).
    struct TState;

private:
    std::shared_ptr<TState> FState;
};

}  // namespace tembrook
