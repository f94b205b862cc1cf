#include "ImportRoad.h"

#include <exception>
#include <utility>
#include <vector>

#include "RoadTexts.h"

namespace tembrook {

using namespace roadtext;

namespace {

// " (HTTP 500)" for a page the server refused, else " (" + why + ")" when
// the transfer said why it broke.
std::string ErrorSuffix(const TTransferResult& result)
{
    if (result.HttpFailed())
        return " (HTTP " + std::to_string(result.HttpStatus) + ")";
    if (result.ErrorMessage.empty())
        return {};
    std::string suffix(" (");
    suffix.append(result.ErrorMessage).append(")");
    return suffix;
}

// The line for an encoding the page declared and this program does not read.
std::string UnreadEncodingLine(const char* prefix, const TTransferResult& result, const std::string& url)
{
    std::string line(prefix);
    line.append(result.UnreadEncoding).append(kLogEncodingUnread).append(url);
    return line;
}

// Progress reports come from worker threads; they reach the sink through this
// relay, which the road's destructor empties under the lock, so no report can
// run into a sink that is gone.
struct TProgressRelay {
    std::mutex Lock;
    TImportSink* Sink = nullptr;
};

}  // namespace

// Everything the completions need. They hold it by weak pointer: once the
// road is destroyed, they find nothing and do nothing. A running completion
// holds it by shared pointer, so the road may even be destroyed from inside
// one (a modal dialog in a sink call spins the event loop); the sink is then
// simply no longer called.
struct TImportRoad::TState {
    TImportSink* Sink;
    TTransferStarter* Starter;
    TBookDataInportOption Option;
    std::recursive_mutex ImportLock;
    TImportOutcome Outcome;
    std::uint64_t Generation = 0;  // counts StartImport calls; the outcome is per generation
    std::size_t Running = 0;
    int TableStepDepth = 0;  // table steps in progress (more than one only when nested)
    std::shared_ptr<TProgressRelay> Progress = std::make_shared<TProgressRelay>();

    TState(TImportSink& sink, TTransferStarter& starter) : Sink(&sink), Starter(&starter)
    {
        Progress->Sink = &sink;
    }

    void Status(const std::string& text)
    {
        if (Sink != nullptr)
            Sink->ShowStatus(text);
    }
    void Log(const std::string& line)
    {
        if (Sink != nullptr)
            Sink->AppendLog(line);
    }
    void ClearProgress()
    {
        if (Sink != nullptr)
            Sink->ClearProgress();
    }

    // The outcome a completion of generation `generation` counts into; one of
    // an earlier import counts into a scratch record.
    TImportOutcome& OutcomeOf(std::uint64_t generation, TImportOutcome& scratch)
    {
        return generation == Generation ? Outcome : scratch;
    }

    void ReportCaught(const std::string& message) noexcept
    {
        ++Outcome.Errors;
        try {
            if (Sink != nullptr)
                Sink->ReportError(message);
        } catch (...) {
            // Nothing is left to report to.
        }
    }

    void ReportCurrentException() noexcept
    {
        try {
            throw;
        } catch (const std::exception& error) {
            ReportCaught(error.what());
        } catch (...) {
            ReportCaught("Unknown error");
        }
    }
};

namespace {

using TStatePtr = std::shared_ptr<TImportRoad::TState>;
using TStep = void (*)(const TStatePtr&, const TTransferResult&, const TTablePageRef&, std::uint64_t);

void TransferEnded(TImportRoad::TState& s) noexcept
{
    if (s.Running > 0)
        --s.Running;
    if (s.Running == 0 && s.Sink != nullptr) {
        try {
            s.Sink->ImportIdle();
        } catch (...) {
            s.ReportCurrentException();
        }
    }
}

// Starts one transfer whose completion runs `step`. A start that throws is
// reported and counts as ended at once.
void StartStep(const TStatePtr& state, TTablePageRef page, TStep step)
{
    TImportRoad::TState& s = *state;
    if (s.Sink == nullptr || s.Starter == nullptr)
        return;  // the road is gone
    const std::uint64_t generation = s.Generation;
    const std::weak_ptr<TImportRoad::TState> weak = state;
    const std::shared_ptr<TProgressRelay> relay = s.Progress;
    const std::string url = page.URL;
    ++s.Running;
    try {
        s.Starter->StartTransfer(
            url,
            [relay](std::int64_t bytes) {
                std::lock_guard<std::mutex> guard(relay->Lock);
                if (relay->Sink != nullptr)
                    relay->Sink->ShowProgress(bytes);
            },
            [weak, page = std::move(page), step, generation](const TTransferResult& result) {
                const TStatePtr held = weak.lock();
                if (!held)
                    return;  // the road is gone
                try {
                    step(held, result, page, generation);
                } catch (...) {
                    held->ReportCurrentException();
                }
                TransferEnded(*held);
            });
    } catch (...) {
        s.ReportCurrentException();
        TransferEnded(s);
    }
}

void TablePageStep(const TStatePtr& state, const TTransferResult& result, const TTablePageRef& page,
                   std::uint64_t generation);

void TopPageStep(const TStatePtr& state, const TTransferResult& result, const TTablePageRef& page,
                 std::uint64_t generation)
{
    TImportRoad::TState& s = *state;
    TImportOutcome scratch;
    TImportOutcome& outcome = s.OutcomeOf(generation, scratch);
    outcome.TopPageDone = true;
    s.ClearProgress();
    if (result.Outcome == TTransferOutcome::toFailed) {
        outcome.TopPageFailed = true;
        s.Status(kStatusError);
        s.Log(kLogTopPageFailed);
        return;
    }
    if (result.HttpFailed()) {
        // The server's error page is no top page: nothing is read from it.
        outcome.TopPageFailed = true;
        outcome.TopPageHttpError = result.HttpStatus;
        s.Status(kStatusError);
        s.Log(kLogTopPageFailed + std::string(" : ") + page.URL + ErrorSuffix(result));
        return;
    }
    s.Status(kStatusSuccess);
    s.Log(kLogTopPageReceived);
    if (!result.UnreadEncoding.empty())
        s.Log(UnreadEncodingLine(kLogTopPageEncoding, result, page.URL));
    const bool whole = result.Outcome == TTransferOutcome::toReceived;
    if (!whole) {
        // What arrived is still used, as for a whole page, but it is not whole.
        outcome.TopPageFailed = true;
        s.Log(kLogTopPageReadError + page.URL + ErrorSuffix(result));
    }

    s.Option.ParseTopPage(result.ReceivedText);
    // A copy: a later top page (a second Start while a dialog spins the event
    // loop) may refill the option's list while these transfers are started.
    const std::vector<std::string> urls = s.Option.TablePageURLs;
    outcome.LinkCount += urls.size();
    if (urls.empty() && whole && !page.URL.empty())
        s.Log(kLogTopPageNoLink + page.URL);  // else the list stays empty unexplained
    for (std::size_t i = 0; i < urls.size(); ++i) {
        s.Log(kLogListImport + urls[i]);
        if (s.Sink == nullptr)
            return;  // the road was destroyed meanwhile
        StartStep(state, TTablePageRef{i, urls[i]}, &TablePageStep);
    }
}

void TablePageStep(const TStatePtr& state, const TTransferResult& result, const TTablePageRef& page,
                   std::uint64_t generation)
{
    TImportRoad::TState& s = *state;
    TImportOutcome scratch;
    TImportOutcome& outcome = s.OutcomeOf(generation, scratch);
    ++outcome.PagesDone;
    s.ClearProgress();
    if (result.Outcome == TTransferOutcome::toFailed || result.HttpFailed()) {
        ++outcome.PagesFailed;
        if (result.HttpFailed()) {
            ++outcome.PagesHttpFailed;
            if (outcome.PageHttpError == 0)
                outcome.PageHttpError = result.HttpStatus;
        }
        s.Status(kStatusError);
        s.Log(kLogTablePageFailed + page.URL + ErrorSuffix(result));
        return;
    }

    const std::lock_guard<std::recursive_mutex> lock(s.ImportLock);
    s.Status(kStatusSuccess);
    s.Log(kLogTablePageReceived);
    if (!result.UnreadEncoding.empty())
        s.Log(UnreadEncodingLine(kLogTablePageEncoding, result, page.URL));
    if (result.Outcome == TTransferOutcome::toCutShort) {
        ++outcome.PagesFailed;
        s.Log(kLogTablePageReadError + page.URL + ErrorSuffix(result));
    }

    // A page that completes while another page's records are being handed over
    // (a modal dialog spinning the event loop inside the sink) must not empty
    // the list the outer hand-over is reading: it gets an option object of its own.
    std::unique_ptr<TBookDataInportOption> nested;
    TBookDataInportOption* option = &s.Option;
    if (s.TableStepDepth > 0) {
        nested = std::make_unique<TBookDataInportOption>();
        nested->SourceURL = s.Option.SourceURL;
        option = nested.get();
    }
    struct TDepth {
        int& Depth;
        explicit TDepth(int& depth) : Depth(depth) { ++Depth; }
        ~TDepth() { --Depth; }
    } depth(s.TableStepDepth);

    const bool readable = option->ParseTablePage(result.ReceivedText, true);
    if (s.Sink != nullptr)
        s.Sink->TakeBookSaleList(option->BookSaleList, page);
    if (!readable) {
        ++outcome.PagesUnreadable;
        s.Log(kLogTableUnreadable + page.URL);
    }
    for (const TDroppedRow& row : option->DroppedRows()) {
        ++outcome.RowsDropped;
        s.Log(TImportRoad::DroppedRowLogLine(page.URL, row));
    }
}

}  // namespace

TImportRoad::TImportRoad(TImportSink& sink, TTransferStarter& starter)
    : FState(std::make_shared<TState>(sink, starter))
{
}

TImportRoad::~TImportRoad()
{
    {
        const std::lock_guard<std::mutex> guard(FState->Progress->Lock);
        FState->Progress->Sink = nullptr;
    }
    FState->Sink = nullptr;
    FState->Starter = nullptr;
}

void TImportRoad::StartImport(const std::string& url)
{
    const TStatePtr state = FState;  // kept alive even if a sink call destroys the road
    TState& s = *state;
    ++s.Generation;
    s.Outcome = TImportOutcome{};
    try {
        s.Option.SourceURL = url;
        s.Status(kStatusTopPageLoading);
        if (s.Sink != nullptr)
            s.Sink->ClearLog();
    } catch (...) {
        s.ReportCurrentException();
        return;
    }
    if (s.Sink == nullptr)
        return;
    StartStep(state, TTablePageRef{0, url}, &TopPageStep);
}

TBookDataInportOption& TImportRoad::InportOption() noexcept
{
    return FState->Option;
}

std::recursive_mutex& TImportRoad::ImportLock() noexcept
{
    return FState->ImportLock;
}

const TImportOutcome& TImportRoad::Outcome() const noexcept
{
    return FState->Outcome;
}

std::size_t TImportRoad::RunningTransfers() const noexcept
{
    return FState->Running;
}

std::string TImportRoad::DroppedRowLogLine(const std::string& url, const TDroppedRow& row)
{
    std::string line(kLogRowDropped);
    line.append(url)
        .append(kRowOfTable)
        .append(std::to_string(row.RowNumber))
        .append(kRowLineOfPage)
        .append(std::to_string(row.LineNumber))
        .append(kRowLineEnd)
        .append(row.Message);
    return line;
}

}  // namespace tembrook
