#pragma once
// Helpers shared by the hostile-input tests: CP932 page builders, the
// fixture site, a connection state that is always online, an event-loop
// wait, a sink that records what the import road reports, and the process's
// peak memory.

#include <sys/resource.h>

#include <QCoreApplication>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "ConnectionState.h"
#include "ImportRoad.h"
#include "RoadTexts.h"

namespace tembrook::test {

// 発売日順(テーブル表示): the heading above the table-page links.
inline const std::string kHeading(roadtext::kTopPageHeading);
// ア (katakana A), a double-byte character whose trail byte is ASCII 'A'.
inline const std::string kKatakanaA = "\x83\x41";

// One release row in the layout the table parser expects: the row marker,
// five cells on lines of their own, CR LF after each.
inline std::string Row(const std::string& date, const std::string& title, const std::string& price = "580",
                       const std::string& author = "A", const std::string& publisher = "P")
{
    return "<tr><td width=50 bgcolor=#efefef>" + date + "</td>\r\n  <td>" + publisher + "</td>\r\n  <td>" +
        title + "</td>\r\n  <td>" + author + "</td>\r\n  <td>" + price + "</td></tr>\r\n";
}

// A table page: a header row, then the rows, each followed by a blank line.
inline std::string TablePage(const std::vector<std::string>& rows)
{
    std::string page = "<html><body>\r\n<table border=1>\r\n<tr><td>date</td><td>title</td></tr>\r\n";
    for (const std::string& row : rows)
        page += row + "\r\n";
    return page + "</table>\r\n</body></html>\r\n";
}

// A top page whose heading is followed by links to the two given addresses.
inline std::string TopPage(const std::string& first, const std::string& second)
{
    return "<html><body>\r\n<h3>" + kHeading + "</h3>\r\n<a href=\"" + first + "\">1</a><br>\r\n<a href=\"" +
        second + "\">2</a><br>\r\n</body></html>\r\n";
}

inline std::string ReadFixture(const std::string& relative)
{
    std::ifstream in(std::string(TEMBROOK_FIXTURE_DIR) + "/" + relative, std::ios::binary);
    if (!in)
        throw std::runtime_error("missing test data: " + relative);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The largest resident size the process has had so far, in bytes.
inline std::uint64_t PeakResidentBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::uint64_t>(usage.ru_maxrss) * 1024;
}

class OnlineState : public platform::TConnectionState {
public:
    bool IsOfflineByUser() override { return false; }
    bool IsConnected() override { return true; }
    bool AttemptConnect() override { return true; }
};

// How long a test waits for an event before it gives up: a guard against a
// hang, never reached by a passing run, however loaded the machine.
inline constexpr std::chrono::seconds kGuard{300};

// Runs the Qt event loop until done() holds or the timeout passes.
inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return done();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Runs the Qt event loop for the given time.
inline void PumpFor(std::chrono::milliseconds period)
{
    WaitUntil([] { return false; }, period);
}

// What the import road reported, in order (CP932 bytes as given).
class RecordingSink : public TImportSink {
public:
    std::vector<std::string> Log;
    std::vector<std::string> Errors;
    std::size_t Records = 0;
    std::vector<std::string> Titles;
    bool Idle = false;

    void ShowStatus(const std::string&) override {}
    void AppendLog(const std::string& line) override { Log.push_back(line); }
    void ClearLog() override { Log.clear(); }
    void ShowProgress(std::int64_t) override {}
    void ClearProgress() override {}
    void AddBookSaleList(const TBookSaleList& list, const TTablePageRef&) override
    {
        for (std::int32_t i = 0; i < list.Count(); ++i) {
            if (const auto* record = dynamic_cast<const THtmlBookSaleData*>(list.Items(i))) {
                ++Records;
                if (Titles.size() < 16)
                    Titles.push_back(record->Title());
            }
        }
    }
    void ReportError(const std::string& message) override { Errors.push_back(message); }
    void ImportIdle() override { Idle = true; }

    bool LogHasLineStartingWith(const std::string& prefix) const
    {
        for (const std::string& line : Log)
            if (line.compare(0, prefix.size(), prefix) == 0)
                return true;
        return false;
    }
};

}  // namespace tembrook::test
