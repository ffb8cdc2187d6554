// Export from the main window: where the RTF file goes, that the word
// processor gets it, that nothing of the design changes, and the
// `tessaric --export-rtf` command line end to end.
#include "MainFormFixture.h"

#include "app/CommandLine.h"
#include "export/TableFormat.h"
#include "io/DesignFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStatusBar>
#include <QTemporaryDir>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testing_app {
namespace {

using model::TreeId;

// Remembers every document it was asked to open.
class RecordingOpener : public exporting::DocumentOpener {
public:
    explicit RecordingOpener(std::vector<std::string>& opened, bool starts = true)
        : m_opened(opened), m_starts(starts) {}
    bool open(const std::string& path) override
    {
        m_opened.push_back(path);
        return m_starts;
    }

private:
    std::vector<std::string>& m_opened;
    bool m_starts;
};

class ExportCommandTest : public ::testing::Test, protected TestWindow {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        prompter = std::make_shared<FakePrompter>();
        build(prompter, dir.path().toStdString());
        files->setDocumentOpener(std::make_unique<RecordingOpener>(opened));
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        // 1 Pump
        //   1.1 Motor
        loadOutline(workspace->design(), {"1 Pump", "  1.1 Motor"});
    }

    QString inDir(const QString& name) const { return dir.filePath(name); }

    void saveAs(const QString& path)
    {
        prompter->savePaths.push_back(path);
        files->actions().saveAs->trigger();
    }

    QTemporaryDir dir;
    std::vector<std::string> opened;
    std::shared_ptr<FakePrompter> prompter;
};

TEST_F(ExportCommandTest, WritesNextToTheDesignFileAndHandsItToTheWordProcessor)
{
    saveAs(inDir("pump.vok"));
    files->actions().exportRtf->trigger();
    const QString rtf = inDir("pump.rtf");
    EXPECT_EQ(opened, std::vector<std::string>{rtf.toStdString()});
    const QByteArray bytes = readBytes(rtf);
    EXPECT_TRUE(bytes.startsWith("{\\rtf1")) << bytes.left(40).toStdString();
    for (const char* text : {"Functional Requirements", "1.1 Motor'", "Process Variables", "1.1 Motor''"})
        EXPECT_TRUE(bytes.contains(text)) << text;
    EXPECT_FALSE(QFile::exists(inDir("Output.rtf")));
    EXPECT_TRUE(prompter->errors.empty());
}

TEST_F(ExportCommandTest, DesignWithoutAFileExportsToOutputRtfInTheStartUpFolder)
{
    files->actions().exportRtf->trigger();
    const QString rtf = inDir("Output.rtf");
    EXPECT_EQ(opened, std::vector<std::string>{rtf.toStdString()});
    EXPECT_TRUE(readBytes(rtf).contains("1 Pump"));
    EXPECT_EQ(workspace->files().filePath(), ""); // a later Save still asks for a name
    EXPECT_EQ(prompter->saveDialogs, 0);
}

TEST_F(ExportCommandTest, LeavesTheModifiedFlagPathAndDesignAsTheyWere)
{
    const QString pump = inDir("pump.vok");
    saveAs(pump);
    features->columns->selectRow(0);
    editing->actions().addChild->trigger(); // unsaved change: exported as it is on screen
    const QByteArray onDisk = readBytes(pump);
    std::vector<std::string> before;
    for (int row = 0; row < workspace->design().rowCount(); ++row)
        before.push_back(rowTags(workspace->design(), row));

    files->actions().exportRtf->trigger();

    EXPECT_TRUE(workspace->design().modified());
    EXPECT_FALSE(workspace->design().backedUp());
    EXPECT_EQ(workspace->files().filePath(), pump.toStdString());
    std::vector<std::string> after;
    for (int row = 0; row < workspace->design().rowCount(); ++row)
        after.push_back(rowTags(workspace->design(), row));
    EXPECT_EQ(after, before);
    EXPECT_EQ(readBytes(pump), onDisk);
    EXPECT_TRUE(readBytes(inDir("pump.rtf")).contains("1.2 __________"));
}

TEST_F(ExportCommandTest, FileThatCannotBeWrittenIsReportedAndNothingIsOpened)
{
    // A folder where the export file should go stands in for a file held open elsewhere.
    ASSERT_TRUE(QDir(dir.path()).mkdir("Output.rtf"));
    files->actions().exportRtf->trigger();
    EXPECT_EQ(prompter->errors, std::vector<QString>{"Cannot create file " + inDir("Output.rtf") + "."});
    EXPECT_TRUE(opened.empty());
    EXPECT_FALSE(workspace->design().modified());
}

TEST_F(ExportCommandTest, TheStatusBarSaysWhereTheDocumentWentAndWhetherItCouldBeOpened)
{
    saveAs(inDir("pump.vok"));
    files->actions().exportRtf->trigger();
    EXPECT_EQ(form->statusBar()->currentMessage(), "Exported to " + inDir("pump.rtf"));

    files->setDocumentOpener(std::make_unique<RecordingOpener>(opened, false)); // no program for RTF
    files->actions().exportRtf->trigger();
    EXPECT_EQ(form->statusBar()->currentMessage(),
              "Exported to " + inDir("pump.rtf") + "; no application could be started to open it");
    EXPECT_TRUE(prompter->errors.empty()); // the export itself succeeded
}

TEST_F(ExportCommandTest, SaveMenuEntriesRunBackupAndExport)
{
    const QString pump = inDir("pump.vok");
    saveAs(pump);
    files->actions().backup->trigger();
    EXPECT_EQ(readBytes(inDir("BackedUp_pump.vok")), readBytes(pump));
    files->actions().exportRtf->trigger();
    EXPECT_EQ(opened, std::vector<std::string>{inDir("pump.rtf").toStdString()});
}

// --- the command line ------------------------------------------------------------------

struct ProcessResult {
    int exitCode = -1; // -1: killed by a signal, or did not end in time
    QByteArray out;
    QByteArray err;
};

// Runs the program as a shell would: no display unless asked for, default
// signal handling, and whatever limits `limit` sets in the child.
ProcessResult runTessaric(const QStringList& args, std::function<void()> limit = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(env);
    process.setChildProcessModifier([limit] {
        std::signal(SIGXFSZ, SIG_DFL);
        if (limit)
            limit();
    });
    process.start(QStringLiteral(TESSARIC_BINARY), args);
    if (!process.waitForFinished(30000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

QString examplePump()
{
    const QByteArray source = qgetenv("TESSARIC_SOURCE_DIR");
    return source.isEmpty() ? QString() : QDir(QString::fromLocal8Bit(source)).filePath("examples/pump.vok");
}

TEST(TessaricCommandLine, ExportsTheExampleDesign)
{
    const QString pump = examplePump();
    ASSERT_FALSE(pump.isEmpty()) << "TESSARIC_SOURCE_DIR is not set (ctest sets it to the source folder)";
    QTemporaryDir dir;
    const QString out = dir.filePath("pump.rtf");
    const ProcessResult result = runTessaric({"--export-rtf", pump, out});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QByteArray rtf = readBytes(out);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    // Every node of the example's FR tree is in the document.
    const io::DesignFileContents design = io::readDesignFile(pump.toStdString());
    ASSERT_GT(design.trees[0].size(), 0);
    for (const model::Node* node : design.trees[0].preorder())
        EXPECT_TRUE(rtf.contains(QByteArray::fromStdString(node->text().str()))) << node->text();
}

TEST(TessaricCommandLine, HelpAndVersionPrintWithoutADisplay)
{
    for (const char* option : {"--help", "-h"}) {
        const ProcessResult help = runTessaric({option});
        EXPECT_EQ(help.exitCode, 0) << option << help.err.toStdString();
        EXPECT_TRUE(help.out.startsWith("Usage: tessaric")) << help.out.toStdString();
        EXPECT_TRUE(help.out.contains("--export-rtf"));
    }
    const ProcessResult version = runTessaric({"--version"});
    EXPECT_EQ(version.exitCode, 0) << version.err.toStdString();
    EXPECT_EQ(version.out, "tessaric " TESSARIC_VERSION "\n");
}

// A file name is bytes: what is UTF-8 reads as such, and every name comes back whole.
TEST(TessaricCommandLine, ArgumentsGiveBackTheBytesOfEveryFileName)
{
    const struct {
        std::string bytes;
        bool utf8;
    } cases[] = {
        {"pump.vok", true},       {"caf\xc3\xa9 \xf0\x9f\x98\x80.vok", true},
        {"caf\xe9.vok", false},   {"\xc0\xaf overlong", false},
        {"\xed\xa0\x80 surrogate", false}, {"cut \xe2\x82", false},
        {"\xf8\x88\x80\x80\x80 five", false}, {"\xf4\x90\x80\x80 past U+10FFFF", false},
    };
    for (const auto& c : cases) {
        std::string copy = c.bytes;
        char* argv[] = {copy.data()};
        const QString argument = app::argumentsOf(1, argv).first();
        EXPECT_EQ(app::fileNameOf(argument), c.bytes);
        EXPECT_EQ(argument == QString::fromUtf8(c.bytes), c.utf8) << c.bytes;
    }
}

// The document goes beside the design under the design's own bytes, not
// under a name Qt made of them with U+FFFD in place of the byte.
TEST(TessaricCommandLine, ADesignNamedInBytesThatAreNotUtf8ExportsUnderTheSameBytes)
{
    const QString pump = examplePump();
    ASSERT_FALSE(pump.isEmpty());
    QTemporaryDir dir;
    const std::filesystem::path folder = QFile::encodeName(dir.path()).toStdString();
    std::filesystem::copy_file(QFile::encodeName(pump).toStdString(), folder / "caf\xe9.vok");
    // QProcess takes arguments as text, so the shell passes the byte.
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(QStringLiteral("/bin/sh"),
                  {"-c", "exec \"$0\" --export-rtf \"$(printf 'caf\\351.vok')\"", QStringLiteral(TESSARIC_BINARY)});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();

    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"caf\xe9.rtf", "caf\xe9.vok"}));
    std::ifstream rtf(folder / "caf\xe9.rtf", std::ios::binary);
    std::string start(6, '\0');
    rtf.read(start.data(), 6);
    EXPECT_EQ(start, "{\\rtf1");
    std::filesystem::remove_all(folder); // QTemporaryDir cannot name these files
}

TEST(TessaricCommandLine, AnUnknownOptionGivesOneLineAndTheUsageAndExitsWithTwo)
{
    const ProcessResult result = runTessaric({"--frobnicate", "pump.vok"});
    EXPECT_EQ(result.exitCode, 2);
    const QList<QByteArray> lines = result.err.split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], "tessaric: Unknown option 'frobnicate'.");
    EXPECT_TRUE(lines[1].startsWith("Usage: tessaric")) << result.err.toStdString();
    EXPECT_TRUE(result.out.isEmpty());
}

TEST(TessaricCommandLine, AWritePastTheFileSizeLimitIsReportedNotFatal)
{
    const QString pump = examplePump();
    ASSERT_FALSE(pump.isEmpty());
    QTemporaryDir dir;
    const QString out = dir.filePath("pump.rtf");
    const ProcessResult result = runTessaric({"--export-rtf", pump, out}, [] {
        rlimit small{1000, 1000}; // the document is larger: the write runs into the limit
        setrlimit(RLIMIT_FSIZE, &small);
    });
    EXPECT_EQ(result.exitCode, 1) << "killed by SIGXFSZ?";
    EXPECT_TRUE(result.err.contains(("Cannot create file " + out).toUtf8())) << result.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));
}

TEST(TessaricCommandLine, MissingDesignFileExitsWithOneAndAMessage)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("missing.vok");
    const ProcessResult result = runTessaric({"--export-rtf", missing, dir.filePath("out.rtf")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains(("Cannot open file " + missing).toUtf8())) << result.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("out.rtf")));
}

// A folder for one refused export: three copies of the example design (two
// named like an export), a symlink and a hard link to d.vok, a FIFO and a
// symlink to it.
void makeExportTraps(const QTemporaryDir& dir, const QString& pump)
{
    auto local = [&](const char* name) { return QFile::encodeName(dir.filePath(QString::fromLatin1(name))); };
    for (const char* name : {"d.vok", "d.md", "x.rtf"})
        ASSERT_TRUE(QFile::copy(pump, dir.filePath(QString::fromLatin1(name)))) << name;
    ASSERT_EQ(symlink(local("d.vok").constData(), local("link.csv").constData()), 0);
    ASSERT_EQ(link(local("d.vok").constData(), local("hard.odt").constData()), 0);
    ASSERT_EQ(mkfifo(local("pipe.csv").constData(), 0600), 0);
    ASSERT_EQ(symlink(local("pipe.csv").constData(), local("pipelink.pdf").constData()), 0);
}

struct RefusedExport {
    QStringList args; // an argument with a dot and no leading "--" names a file in the folder
    const char* out;  // the OUT the message names
    bool itself;      // "onto itself", or else "Cannot create file"
};

// An OUT that is the design under any name, or that is not a regular file,
// is refused before anything is written: the design keeps its bytes, links
// and the FIFO stay what they were, and no file appears. Each case gets a
// folder of its own, so one export that went through cannot hide the next.
TEST(TessaricCommandLine, ExportOntoTheDesignOrOntoAFifoIsRefusedAndTouchesNothing)
{
    const QString pump = examplePump();
    ASSERT_FALSE(pump.isEmpty()) << "TESSARIC_SOURCE_DIR is not set (ctest sets it to the source folder)";
    const QByteArray designBytes = readBytes(pump);
    std::vector<RefusedExport> cases = {
        {{"--export-rtf", "d.vok", "d.vok"}, "d.vok", true},
        {{"--export", "csv", "d.vok", "link.csv"}, "link.csv", true},
        {{"--export", "odt", "d.vok", "hard.odt"}, "hard.odt", true},
        {{"--export", "md", "d.md"}, "d.md", true}, // the default OUT
        {{"--export-rtf", "x.rtf"}, "x.rtf", true},
        {{"--export", "csv", "d.vok", "pipe.csv"}, "pipe.csv", false},
        {{"--export-rtf", "d.vok", "pipelink.pdf"}, "pipelink.pdf", false},
    };
    for (exporting::TableFormat format : exporting::kTableFormats)
        cases.push_back({{"--export", QString::fromLatin1(exporting::formatName(format)), "d.vok", "d.vok"}, "d.vok", true});
    cases.push_back({{"--export", "svg", "d.vok", "hard.odt"}, "hard.odt", true});

    for (const RefusedExport& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        QTemporaryDir dir;
        makeExportTraps(dir, pump);
        const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        QStringList args;
        for (const QString& arg : c.args)
            args << (arg.contains('.') && !arg.startsWith("--") ? dir.filePath(arg) : arg);
        const QString out = dir.filePath(QString::fromLatin1(c.out));

        const ProcessResult result = runTessaric(args);

        EXPECT_EQ(result.exitCode, 1);
        const QString message = c.itself ? "Cannot export " + out + " onto itself\n" : "Cannot create file " + out + "\n";
        EXPECT_TRUE(result.err.contains(message.toLocal8Bit())) << result.err.toStdString();
        for (const char* name : {"d.vok", "d.md", "x.rtf"})
            EXPECT_EQ(readBytes(dir.filePath(QString::fromLatin1(name))), designBytes) << name;
        struct stat status {};
        EXPECT_TRUE(lstat(QFile::encodeName(dir.filePath("pipe.csv")).constData(), &status) == 0
                    && S_ISFIFO(status.st_mode));
        EXPECT_TRUE(QFileInfo(dir.filePath("link.csv")).isSymLink());
        EXPECT_TRUE(QFileInfo(dir.filePath("pipelink.pdf")).isSymLink());
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot), before);
    }
}

} // namespace
} // namespace testing_app
