// Disks that refuse: saving into a folder that does not exist, under a
// "folder" that is a regular file, onto a folder, onto a read-only file, and
// onto a full device. Through the window's Save (SaveListToFile behind the
// Save action) and through tembrook-export --output. Each shows its message,
// never the completion message, and leaves whatever stood at that name
// exactly as it was; a device stays a device.
//
// Root may write any file whatever its mode, so the read-only cases run the
// save in a child process that has dropped root's privileges (uid and gid
// 65534): the window through tembrook_hostile_save_helper, the exporter as
// the real binary. A full device is a private node of /dev/full made in the
// test folder where the test may make device nodes (so that a save that went
// wrong could only ever replace that node), else /dev/full itself.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <grp.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "BookDataInportOptionUnit.h"
#include "BookListModel.h"
#include "Clock.h"
#include "ExportCommand.h"
#include "HTTPTransferThreadUnit.h"
#include "HostileTestSupport.h"
#include "LocaleSettings.h"
#include "MessageBoxes.h"
#include "SaveDialog.h"
#include "TembrookMainWindow.h"
#include "TestHttpServer.h"

namespace tembrook::test {
namespace {

constexpr int kNoPrivilegeDrop = 77;

std::optional<std::string> ReadBytes(const QString& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const QString& path, const std::string& bytes)
{
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

bool IsCharacterDevice(const QString& path)
{
    struct stat info {};
    return ::stat(path.toLocal8Bit().constData(), &info) == 0 && S_ISCHR(info.st_mode);
}

// Runs in the child between fork and exec: become an ordinary user.
void DropRootPrivileges()
{
    if (::geteuid() != 0)
        return;
    if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
        ::_exit(kNoPrivilegeDrop);
}

struct ChildRun {
    int ExitCode = -1;
    QString Out;
    QString Err;
};

// Whether others may read and run the file at `path` and pass through every
// folder above it: what the user the child becomes needs to start it.
bool OpenToOthers(const QString& path)
{
    struct stat info {};
    const QFileInfo file(path);
    if (::stat(file.absoluteFilePath().toLocal8Bit().constData(), &info) != 0 ||
        (info.st_mode & (S_IROTH | S_IXOTH)) != (S_IROTH | S_IXOTH))
        return false;
    for (QDir folder = file.absoluteDir();; folder.cdUp()) {
        if (::stat(folder.absolutePath().toLocal8Bit().constData(), &info) != 0 ||
            (info.st_mode & S_IXOTH) == 0)
            return false;
        if (folder.isRoot())
            return true;
    }
}

ChildRun RunUnprivileged(const QString& program, const QStringList& arguments, const QString& home,
                         const std::string& input = {})
{
    ChildRun run;
    // A build in a private folder (mktemp -d makes them 0700) is closed to the
    // user the child becomes: that child runs a copy from a folder open to all.
    QTemporaryDir copies;
    QString runnable = program;
    if (::geteuid() == 0 && !OpenToOthers(program)) {
        runnable = copies.filePath(QFileInfo(program).fileName());
        if (!copies.isValid() || ::chmod(copies.path().toLocal8Bit().constData(), 0755) != 0 ||
            !QFile::copy(program, runnable)) {
            run.Err = QStringLiteral("cannot copy ") + program + QStringLiteral(" where others may run it");
            return run;
        }
    }
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("no_proxy"), QStringLiteral("127.0.0.1,localhost"));
    process.setProcessEnvironment(environment);
    process.setChildProcessModifier(&DropRootPrivileges);
    process.start(runnable, arguments);
    const bool started = process.waitForStarted(10000);
    if (started) {
        process.write(input.data(), static_cast<qint64>(input.size()));
        process.closeWriteChannel();
    }
    if (!started || !process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(5000);
        return run;
    }
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = QString::fromUtf8(process.readAllStandardOutput());
    run.Err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

class HostileDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        FOption.ParseTablePage(ReadFixture("site/table1.html"), true);
        FWindow.ImportView().BookList().Clear();
        FWindow.ImportView().BookList().AddBookSaleList(FOption.BookSaleList);
        FWindow.ImportView().BookList().SetChecked(0, true);
    }

    QString Path(const QString& name) const { return FDir.filePath(name); }

    // A private character device with the numbers of /dev/<name>, or that
    // device itself where the test may not make nodes.
    QString Device(const char* name, unsigned minor)
    {
        const QString node = Path(QString::fromLatin1(name));
        if (::mknod(node.toLocal8Bit().constData(), S_IFCHR | 0666, makedev(1, minor)) == 0)
            return node;
        if (::geteuid() == 0)
            return {};  // root without CAP_MKNOD: do not aim a save at the real device
        return QStringLiteral("/dev/") + QString::fromLatin1(name);
    }

    // Saves through the Save action as the user would, answering the dialog
    // with fileName; returns the messages the window showed.
    std::vector<TShownMessage> SaveAs(const QString& fileName)
    {
        std::vector<TShownMessage> shown;
        const TScopedMessageHook messages([&](const TShownMessage& message) { shown.push_back(message); });
        const TScopedSaveDialogHook dialog([&](QFileDialog&) { return std::optional<QString>(fileName); });
        FWindow.SaveListAsActionExecute();
        return shown;
    }

    static void ExpectOnlyError(const std::vector<TShownMessage>& shown, const QString& text)
    {
        ASSERT_EQ(shown.size(), 1u) << "one error box and no completion message";
        EXPECT_EQ(shown[0].Kind, TMessageKind::mkError);
        EXPECT_EQ(shown[0].Text, text);
    }

    platform::TScopedToday FToday{{2026, 3, 20}};
    platform::TScopedLocaleSeparators FSeparators{{"/", ","}};
    QTemporaryDir FDir;
    TBookDataInportOption FOption;
    TTembrookMainForm FWindow;
};

// --- the window's Save -----------------------------------------------------------

TEST_F(HostileDisk, WindowSaveIntoAFolderThatIsMissingOrNoFolder)
{
    const std::string earlier = "the list saved last week\r\n";
    WriteBytes(Path(QStringLiteral("plain.txt")), earlier);
    ASSERT_TRUE(QDir(FDir.path()).mkdir(QStringLiteral("taken")));

    for (const QString& name : {Path(QStringLiteral("missing/list.txt")),
                                Path(QStringLiteral("plain.txt/list.txt")), Path(QStringLiteral("taken"))}) {
        SCOPED_TRACE(name.toStdString());
        ExpectOnlyError(SaveAs(name), QStringLiteral("Cannot create file ") + name);
    }
    EXPECT_FALSE(QDir(Path(QStringLiteral("missing"))).exists());
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("plain.txt"))), earlier);
    EXPECT_TRUE(QDir(Path(QStringLiteral("taken"))).isEmpty());
    EXPECT_EQ(QDir(FDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("plain.txt"), QStringLiteral("taken")}))
        << "no temporary file left behind";
}

TEST_F(HostileDisk, WindowSaveOntoAFullDeviceIsStreamWriteErrorAndTheDeviceStays)
{
    const QString full = Device("full", 7);
    if (full.isEmpty())
        GTEST_SKIP() << "may not make a private device node";
    ExpectOnlyError(SaveAs(full), QStringLiteral("Stream write error"));
    EXPECT_TRUE(IsCharacterDevice(full));

    // A device that takes the bytes is written to, and stays a device too.
    const QString null = Device("null", 3);
    ASSERT_FALSE(null.isEmpty());
    const std::vector<TShownMessage> shown = SaveAs(null);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Kind, TMessageKind::mkInformation);
    EXPECT_EQ(shown[0].Text, QStringLiteral("保存が完了しました。"));
    EXPECT_TRUE(IsCharacterDevice(null));
}

TEST_F(HostileDisk, WindowSaveOntoAReadOnlyFileLeavesItByteForByte)
{
    const QString name = Path(QStringLiteral("readonly.txt"));
    const std::string earlier = "\x81\x9A\x81\x9A\x81\x9A old list\r\n\r\n\r\n";  // ★★★ old list
    WriteBytes(name, earlier);
    ASSERT_TRUE(QFile::setPermissions(name, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    // The folder is open to everyone: only the file's own mode can refuse.
    ::chmod(FDir.path().toLocal8Bit().constData(), 0777);

    const ChildRun run = RunUnprivileged(QStringLiteral(TEMBROOK_SAVE_HELPER), {name}, FDir.path(),
                                         ReadFixture("site/table1.html"));
    if (run.ExitCode == kNoPrivilegeDrop)
        GTEST_SKIP() << "cannot drop root's privileges here";
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Out, QStringLiteral("error\tCannot create file ") + name + QStringLiteral("\nrows\t5\n"));
    EXPECT_EQ(ReadBytes(name), earlier);
    EXPECT_EQ(QFile::permissions(name) & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther),
              QFileDevice::Permissions());
    EXPECT_EQ(QDir(FDir.path()).entryList(QDir::Files), QStringList{QStringLiteral("readonly.txt")});
}

// --- tembrook-export --output ------------------------------------------------------

class HostileExportOutput : public HostileDisk {
protected:
    void SetUp() override
    {
        HostileDisk::SetUp();
        InitializeTransfers();
        FServer.ServeFiles("/comic/", std::string(TEMBROOK_FIXTURE_DIR) + "/site");
    }

    struct Run {
        int Status = -1;
        QByteArray Out;
        QString Err;
    };
    Run Export(const QString& output)
    {
        QBuffer out;
        QBuffer err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        Run run;
        run.Status =
            cli::RunExport({QStringLiteral("tembrook-export"), QStringLiteral("--output"), output, SiteUrl()},
                           out, err, "UTF-8");
        run.Out = out.data();
        run.Err = QString::fromUtf8(err.data());
        return run;
    }
    QString SiteUrl() const { return QString::fromStdString(FServer.Url("/comic/index.html")); }

    platform::TScopedConnectionState FOnline{std::make_shared<OnlineState>()};
    TestHttpServer FServer;
};

TEST_F(HostileExportOutput, AFolderThatIsMissingOrNoFolderOrAFolderFailsBeforeAnyDownload)
{
    const std::string earlier = "kept\r\n";
    WriteBytes(Path(QStringLiteral("plain.txt")), earlier);
    ASSERT_TRUE(QDir(FDir.path()).mkdir(QStringLiteral("taken")));
    for (const QString& name : {Path(QStringLiteral("missing/out.txt")),
                                Path(QStringLiteral("plain.txt/out.txt")), Path(QStringLiteral("taken"))}) {
        SCOPED_TRACE(name.toStdString());
        const Run run = Export(name);
        EXPECT_EQ(run.Status, cli::ecFailed);
        EXPECT_TRUE(run.Err.startsWith(QStringLiteral("tembrook-export: cannot create file ") + name))
            << run.Err.toStdString();
        EXPECT_TRUE(run.Out.isEmpty());
    }
    EXPECT_TRUE(FServer.Requests().empty());
    EXPECT_EQ(ReadBytes(Path(QStringLiteral("plain.txt"))), earlier);
    EXPECT_TRUE(QDir(Path(QStringLiteral("taken"))).isEmpty());
}

TEST_F(HostileExportOutput, AFullDeviceFailsAndStaysADevice)
{
    const QString full = Device("full", 7);
    if (full.isEmpty())
        GTEST_SKIP() << "may not make a private device node";
    const Run run = Export(full);
    EXPECT_EQ(run.Status, cli::ecFailed);
    EXPECT_TRUE(run.Err.contains(QStringLiteral("cannot write the output: No space left on device")))
        << run.Err.toStdString();
    EXPECT_TRUE(IsCharacterDevice(full));

    // A device that takes the bytes is written to (the fixture site's
    // dropped rows still make the status 1), and stays a device.
    const QString null = Device("null", 3);
    const Run written = Export(null);
    EXPECT_FALSE(written.Err.contains(QStringLiteral("cannot create"))) << written.Err.toStdString();
    EXPECT_FALSE(written.Err.contains(QStringLiteral("cannot write"))) << written.Err.toStdString();
    EXPECT_TRUE(IsCharacterDevice(null));
}

TEST_F(HostileExportOutput, AReadOnlyFileIsLeftByteForByte)
{
    const QString name = Path(QStringLiteral("readonly.txt"));
    const std::string earlier = "03/05 old 580 P\r\n";
    WriteBytes(name, earlier);
    ASSERT_TRUE(QFile::setPermissions(name, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    ::chmod(FDir.path().toLocal8Bit().constData(), 0777);

    const ChildRun run = RunUnprivileged(QStringLiteral(TEMBROOK_EXPORT_BINARY),
                                         {QStringLiteral("--output"), name, SiteUrl()}, FDir.path());
    if (run.ExitCode == kNoPrivilegeDrop)
        GTEST_SKIP() << "cannot drop root's privileges here";
    EXPECT_EQ(run.ExitCode, cli::ecFailed);
    EXPECT_TRUE(run.Err.contains(QStringLiteral("cannot create file ") + name)) << run.Err.toStdString();
    EXPECT_TRUE(run.Out.isEmpty());
    EXPECT_TRUE(FServer.Requests().empty()) << "refused before anything was downloaded";
    EXPECT_EQ(ReadBytes(name), earlier);
}

}  // namespace
}  // namespace tembrook::test
