// Saving the list: the exact bytes of the file, and what a failed save
// leaves behind (the previous file, untouched).

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

#include "AppTestSupport.h"
#include "BookListModel.h"
#include "Errors.h"
#include "ListFileExport.h"
#include "LocaleSettings.h"
#include "SavedListFile.h"

namespace tembrook::test {
namespace {

std::string ReadAll(const QString& name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable>";
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void WriteAll(const QString& name, const std::string& bytes)
{
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())), static_cast<qint64>(bytes.size()));
}

class ListFileText : public testing::Test {
protected:
    platform::TScopedLocaleSeparators FSeparators{{"/", ","}};
    TBookListModel FModel;

    void Add(const std::vector<RecordFields>& rows)
    {
        OwnedBookSaleList list(rows);
        FModel.AddBookSaleList(list.List);
    }
};

TEST_F(ListFileText, AnEmptyListIsThreeEmptyLines)
{
    EXPECT_EQ(BuildListFileText(FModel), "\r\n\r\n\r\n");
    // A row without a record is left out as well.
    FModel.AddTextRow(
        {QString(), QStringLiteral("03/14"), QStringLiteral("あああああ"), QString(), QString(), QString()});
    EXPECT_EQ(BuildListFileText(FModel), "\r\n\r\n\r\n");
}

TEST_F(ListFileText, NothingTickedStartsWithTwoEmptyLines)
{
    Add({{.Title = "T", .Volume = 3, .Author = "A", .Price = 1200, .Publisher = "P"},
         {.Title = "U",
          .Author = "B",
          .Price = -1,
          .Publisher = "Q",
          .Kind = TSaleDateKind::dkLateMonth,
          .Month = 2,
          .Day = 28}});
    // 下旬 = 0x89 0xBA 0x8F 0x7B
    EXPECT_EQ(BuildListFileText(FModel),
              "\r\n\r\n"
              "03/14 T(3) A 1,200 P\r\n"
              "02\x89\xBA\x8F\x7B U B -1 Q\r\n"
              "\r\n");
}

TEST_F(ListFileText, TickedRowsComeFirstWithThreeStars)
{
    Add({{.Title = "T", .Author = "A", .Price = 420, .Publisher = "P"},
         {.Title = "U", .Volume = 2, .Author = "B", .Price = 0, .Publisher = "Q", .Month = 12, .Day = 1}});
    FModel.SetChecked(1, true);
    // ★★★ = 0x81 0x9A three times, then a blank
    EXPECT_EQ(BuildListFileText(FModel),
              "\x81\x9A\x81\x9A\x81\x9A 12/01 U(2) B 0 Q\r\n"
              "\r\n"
              "\r\n"
              "03/14 T A 420 P\r\n"
              "12/01 U(2) B 0 Q\r\n"
              "\r\n");
}

TEST_F(ListFileText, BothBlocksFollowTheCurrentSort)
{
    Add({{.Title = "c", .Price = 1}, {.Title = "a", .Price = 2}, {.Title = "b", .Price = 3}});
    FModel.SetChecked(0, true);  // c
    FModel.SetChecked(1, true);  // a
    FModel.ColumnClick(2);
    EXPECT_EQ(BuildListFileText(FModel),
              "\x81\x9A\x81\x9A\x81\x9A 03/14 a  2 \r\n"
              "\x81\x9A\x81\x9A\x81\x9A 03/14 c  1 \r\n"
              "\r\n\r\n"
              "03/14 a  2 \r\n"
              "03/14 b  3 \r\n"
              "03/14 c  1 \r\n"
              "\r\n");
}

// Last month's list as Save writes it, read back to tick next month's rows.
TEST_F(ListFileText, ASavedListTicksTheRowsOfTheSeriesItFollows)
{
    Add({{.Title = "SKY BLUE", .Volume = 2, .Author = "A B", .Price = 450, .Publisher = "P Q"},
         {.Title = "T", .Volume = 3, .Author = "A", .Price = 1200, .Publisher = "P"},
         {.Title = "Plain(7)", .Author = "D", .Price = -1, .Publisher = "P"},
         {.Title = "Untick", .Volume = 1, .Author = "C", .Price = 500, .Publisher = "P"}});
    for (int row : {0, 1, 2})
        FModel.SetChecked(row, true);
    const std::string saved = BuildListFileText(FModel);
    std::string savedWithLF = saved;
    for (std::size_t at = savedWithLF.find("\r\n"); at != std::string::npos;
         at = savedWithLF.find("\r\n", at))
        savedWithLF.erase(at, 1);
    FModel.SetAllChecked(false);

    struct Case {
        RecordFields Row;
        bool Matches;
        const char* Why;
    };
    const Case cases[] = {
        {{.Title = "SKY BLUE", .Volume = 3, .Author = "A B"}, true, "the next volume"},
        {{.Title = "SKY BLUE", .Author = "A B"}, true, "no volume"},
        {{.Title = "T", .Volume = 4, .Author = "A", .Publisher = "Other"}, true, "another publisher"},
        {{.Title = "T", .Volume = 4, .Author = "B"}, false, "the same title by another author"},
        {{.Title = "SKY", .Volume = 2, .Author = "A B"}, false, "a prefix of a followed title"},
        {{.Title = "SKY BLUE 2", .Author = "A B"}, false, "a followed title is a prefix of it"},
        {{.Title = "T", .Volume = 4, .Author = "A B"}, false, "the author is longer"},
        {{.Title = "Plain(7)", .Author = "D"}, true, "a title ending in digits in parentheses"},
        {{.Title = "Plain", .Volume = 8, .Author = "D"}, true, "the same read as a volume"},
        {{.Title = "Untick", .Volume = 2, .Author = "C"}, false, "only in the lines without the marker"},
        {{.Title = "", .Author = "A"}, false, "an empty title"},
    };
    for (const std::string& text : {saved, savedWithLF}) {
        const TSavedListTicks ticks(text);
        EXPECT_EQ(ticks.MarkedLineCount(), 3u);
        for (const Case& c : cases) {
            const std::unique_ptr<THtmlBookSaleData> row(MakeRecord(c.Row));
            EXPECT_EQ(ticks.Matches(*row), c.Matches) << c.Why;
        }
    }
    // A list saved with nothing ticked follows nothing.
    const TSavedListTicks none(BuildListFileText(FModel));
    EXPECT_EQ(FModel.CheckMatching([&](const THtmlBookSaleData& r) { return none.Matches(r); }), 0);
    const TSavedListTicks some(saved);
    EXPECT_EQ(FModel.CheckMatching([&](const THtmlBookSaleData& r) { return some.Matches(r); }), 3);
    EXPECT_EQ(BuildListFileText(FModel), saved) << "the same rows ticked again";
}

class FileReplacing : public testing::Test {
protected:
    QTemporaryDir FDir;
    QString Path(const QString& name) const { return FDir.filePath(name); }
};

TEST_F(FileReplacing, WritesExactlyTheBytesAndReplacesAnOldFile)
{
    const QString name = Path(QStringLiteral("list.txt"));
    WriteAll(name, std::string(5000, 'x'));
    const std::string bytes("\x81\x9A\0\r\nabc", 8);
    WriteFileReplacing(name, bytes);
    EXPECT_EQ(ReadAll(name), bytes);
    EXPECT_EQ(QDir(FDir.path()).entryList(QDir::Files), QStringList{QStringLiteral("list.txt")})
        << "no temporary left";
}

TEST_F(FileReplacing, AMissingFolderIsCannotCreateFile)
{
    const QString name = Path(QStringLiteral("missing/list.txt"));
    try {
        WriteFileReplacing(name, "abc");
        FAIL() << "expected EFCreateError";
    } catch (const EFCreateError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file " + name.toStdString());
    }
    EXPECT_FALSE(QFile::exists(name));
}

TEST_F(FileReplacing, AFolderInPlaceOfTheFileIsCannotCreateFile)
{
    ASSERT_TRUE(QDir(FDir.path()).mkdir(QStringLiteral("taken")));
    EXPECT_THROW(WriteFileReplacing(Path(QStringLiteral("taken")), "abc"), EFCreateError);
}

// Root may write anything, so the check runs with the effective user
// switched to nobody where the test runs as root.
class EffectiveUser {
public:
    explicit EffectiveUser(uid_t user) : FSwitched(geteuid() == 0 && user != 0)
    {
        if (FSwitched && seteuid(user) != 0)
            FSwitched = false;
    }
    ~EffectiveUser()
    {
        if (FSwitched && seteuid(0) != 0)
            std::abort();
    }
    bool Unprivileged() const { return geteuid() != 0; }

private:
    bool FSwitched;
};

TEST_F(FileReplacing, AReadOnlyFileIsCannotCreateFileAndStaysAsItWas)
{
    const QString name = Path(QStringLiteral("readonly.txt"));
    WriteAll(name, "old contents");
    ASSERT_TRUE(QFile::setPermissions(name, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    ASSERT_TRUE(QFile::setPermissions(FDir.path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther));
    {
        EffectiveUser nobody(65534);
        if (!nobody.Unprivileged())
            GTEST_SKIP() << "runs with privileges that ignore file permissions";
        EXPECT_THROW(WriteFileReplacing(name, "new contents"), EFCreateError);
    }
    EXPECT_EQ(ReadAll(name), "old contents");
}

// A file size limit makes the write fail part-way, like a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &FOld);
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = FOld;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }

private:
    rlimit FOld{};
    void (*FOldHandler)(int) = nullptr;
};

TEST_F(FileReplacing, AWriteThatFailsPartWayIsStreamWriteErrorAndKeepsTheOldFile)
{
    const QString name = Path(QStringLiteral("list.txt"));
    const std::string old = "the list saved before\r\n";
    WriteAll(name, old);
    try {
        FileSizeLimit limit(4096);
        WriteFileReplacing(name, std::string(100000, 'y'));
        FAIL() << "expected EWriteError";
    } catch (const EWriteError& error) {
        EXPECT_STREQ(error.what(), "Stream write error");
    }
    EXPECT_EQ(ReadAll(name), old);
    EXPECT_EQ(QDir(FDir.path()).entryList(QDir::Files), QStringList{QStringLiteral("list.txt")})
        << "no temporary left";
}

}  // namespace
}  // namespace tembrook::test
