// Recovery after a crash: a program that edits a design and is killed leaves
// a copy that the next start offers, even a start with the same process id,
// before it opens the design named on its command line; Open, Discard and
// Later do what they say; a save removes the copy; a normal end leaves none;
// a copy that cannot be made is said and tried again.

#include "MainFormFixture.h"

#include "app/RecoveryKeeper.h"
#include "app/UndoHistory.h"
#include "io/DesignFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>

#include <csignal>
#include <cstdlib>
#include <thread>

namespace testing_app {
namespace {

using model::TreeId;

constexpr const char* kChildVariable = "TESSARIC_RECOVERY_CHILD";

bool exists(const QString& path) { return QFile::exists(path); }

// The user's data folder of this test, for the forms made in it.
class UserData {
public:
    explicit UserData(const QString& folder) : m_old(qgetenv("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", folder.toLocal8Bit());
    }
    ~UserData() { qputenv("XDG_DATA_HOME", m_old); }

private:
    QByteArray m_old;
};

// Edits a design saved as `name` in the working folder, and waits for the
// recovery copy of the edit.
void editSavedDesign(TestWindow& window, FakePrompter& prompter, const char* name)
{
    loadOutline(window.workspace->design(), {"Pump", "  Drive"});
    prompter.savePaths.push_back(QString::fromLatin1(name)); // relative, as `tessaric pump.vok` opens it
    window.files->save();
    window.features->recovery->setDelay(20);
    window.features->columns->selectRow(1);
    window.editing->addChild();
    ASSERT_TRUE(eventually([&] { return exists(window.features->recovery->ownCopyPath()); }, 10000));
    window.features->recovery->waitForWriter();
}

// Runs in the child: edits pump.vok, says so, and waits to be killed.
TEST_F(MainFormTest, RecoveryChildEditsAndWaitsToBeKilled)
{
    if (!std::getenv(kChildVariable))
        GTEST_SKIP() << "runs in the child process of the recovery tests";
    ASSERT_NO_FATAL_FAILURE(editSavedDesign(*this, *prompter, "pump.vok"));
    std::printf("READY\n");
    std::fflush(stdout);
    for (;;)
        QTest::qWait(1000);
}

// Runs in the child: offers what it finds (answered Later), edits valve.vok
// and ends normally without saving.
TEST_F(MainFormTest, RecoveryChildOffersEditsAndEnds)
{
    if (!std::getenv(kChildVariable))
        GTEST_SKIP() << "runs in the child process of the recovery tests";
    files->startUp();
    ASSERT_NO_FATAL_FAILURE(editSavedDesign(*this, *prompter, "valve.vok"));
    prompter->answers = {FakePrompter::Answer::No};
    form->close();
    std::printf("OFFERED %zu\nREADY\n", prompter->recoveryQuestions.size());
    std::fflush(stdout);
}

// Whether a run can be process 1 of a PID namespace of its own, as every run
// inside a sandbox or container is.
bool canRunAsPidOne()
{
    QProcess probe;
    probe.start(QStringLiteral("unshare"), {"--pid", "--fork", "--mount-proc", "true"});
    return probe.waitForFinished(10000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
}

// Runs the child test `test` with `folder` as its user data and working
// folder (`workFolder` when given) until it says READY or ends; its output.
// `asPidOne` runs it as process 1 of a new PID namespace, which goes with
// unshare when that is killed.
QByteArray startChild(QProcess& child, const QString& folder, const char* test, bool asPidOne,
                      const QString& workFolder = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildVariable), QStringLiteral("1"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), folder);
    env.insert(QStringLiteral("TESSARIC_KEEP_XDG_DATA_HOME"), QStringLiteral("1"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(workFolder.isEmpty() ? folder : workFolder);
    QStringList command{QCoreApplication::applicationFilePath(),
                        QStringLiteral("--gtest_filter=MainFormTest.") + QString::fromLatin1(test)};
    if (asPidOne)
        command = QStringList{"unshare", "--pid", "--fork", "--mount-proc", "--kill-child"} + command;
    child.start(command.takeFirst(), command);
    QByteArray out;
    eventually([&] {
        out += child.readAllStandardOutput();
        return out.contains("READY") || child.state() == QProcess::NotRunning;
    }, 30000);
    return out + child.readAllStandardOutput() + child.readAllStandardError();
}

// A child that edits pump.vok in `workFolder` (by default `folder`, its user
// data) and is killed once its copy is written.
void crashAfterAnEdit(const QString& folder, bool asPidOne = false, const QString& workFolder = {})
{
    QProcess child;
    const QByteArray out = startChild(child, folder, "RecoveryChildEditsAndWaitsToBeKilled", asPidOne, workFolder);
    ASSERT_TRUE(out.contains("READY")) << out.toStdString();
    ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
    ASSERT_TRUE(child.waitForFinished(10000));
}

class RecoveryTest : public ::testing::Test, protected TestWindow {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        userData = std::make_unique<UserData>(dir.path());
    }
    // A new run of the program in the test's folder; the last one ends without closing.
    void startProgram()
    {
        build(prompter, dir.path().toStdString());
        form->show();
    }
    QStringList copies() const
    {
        return QDir(dir.filePath(QCoreApplication::applicationName() + "/recovery"))
            .entryList({"*.vok", "*.info"}, QDir::Files);
    }

    QTemporaryDir dir;
    std::unique_ptr<UserData> userData;
    std::shared_ptr<FakePrompter> prompter = std::make_shared<FakePrompter>();
};

TEST_F(RecoveryTest, AKilledProgramsEditIsOfferedAndOpensWhereItWasSaved)
{
    ASSERT_NO_FATAL_FAILURE(crashAfterAnEdit(dir.path()));
    const QString pump = dir.filePath("pump.vok");

    prompter->recoveryAnswers = {FakePrompter::RecoveryAnswer::Later};
    startProgram();
    files->startUp();
    destroy();
    ASSERT_EQ(prompter->recoveryQuestions.size(), 1u);
    EXPECT_TRUE(prompter->recoveryQuestions[0].startsWith("Unsaved changes to " + pump + " from "))
        << prompter->recoveryQuestions[0].toStdString();
    EXPECT_TRUE(prompter->recoveryQuestions[0].endsWith(" were recovered. Open them?"));
    EXPECT_EQ(copies().size(), 2); // Later keeps it

    prompter->recoveryAnswers = {FakePrompter::RecoveryAnswer::Open};
    startProgram();
    files->startUp();
    ASSERT_EQ(prompter->recoveryQuestions.size(), 2u);
    ASSERT_EQ(workspace->design().rowCount(), 3); // the edit came back
    EXPECT_EQ(rowTags(workspace->design(), 2), "1.1.1 __________|1.1.1 __________|1.1.1 __________");
    EXPECT_TRUE(workspace->design().modified());
    EXPECT_EQ(workspace->files().filePath(), pump.toStdString());
    EXPECT_FALSE(workspace->history().canUndo());

    files->save(); // where the user expects, and the copy goes
    features->recovery->waitForWriter();
    EXPECT_TRUE(copies().isEmpty()) << copies().join(' ').toStdString();
    EXPECT_EQ(io::readDesignFile(pump.toStdString()).trees[0].size(), 3);
    EXPECT_TRUE(prompter->errors.empty());
}

// Inside a sandbox every run is process 1: the next run offers the killed
// run's copy, and its own save, copy and normal end leave that copy alone.
TEST_F(RecoveryTest, ARunWithTheSameProcessIdOffersTheKilledRunsCopyAndKeepsIt)
{
    if (!canRunAsPidOne())
        GTEST_SKIP() << "unshare --pid is not permitted here";
    ASSERT_NO_FATAL_FAILURE(crashAfterAnEdit(dir.path(), true));
    QProcess next;
    const QByteArray out = startChild(next, dir.path(), "RecoveryChildOffersEditsAndEnds", true);
    next.waitForFinished(30000); // false too when it has already ended
    ASSERT_EQ(next.state(), QProcess::NotRunning);
    EXPECT_TRUE(out.contains("OFFERED 1\n")) << out.toStdString();

    prompter->recoveryAnswers = {FakePrompter::RecoveryAnswer::Open};
    startProgram();
    files->startUp();
    ASSERT_EQ(prompter->recoveryQuestions.size(), 1u) << copies().join(' ').toStdString();
    EXPECT_EQ(workspace->files().filePath(), dir.filePath("pump.vok").toStdString());
    EXPECT_EQ(workspace->design().rowCount(), 3);
}

TEST_F(RecoveryTest, DiscardDeletesTheCopyAndNothingIsOfferedAgain)
{
    ASSERT_NO_FATAL_FAILURE(crashAfterAnEdit(dir.path()));
    prompter->recoveryAnswers = {FakePrompter::RecoveryAnswer::Discard};
    startProgram();
    files->startUp();
    EXPECT_EQ(prompter->recoveryQuestions.size(), 1u);
    EXPECT_EQ(workspace->design().rowCount(), 0);
    EXPECT_TRUE(copies().isEmpty());
    startProgram();
    files->startUp();
    destroy();
    EXPECT_EQ(prompter->recoveryQuestions.size(), 1u);
}

// `tessaric FILE` after a crash: the recovery question comes first and is the
// only one. Open on a copy of FILE (named here through a link to its folder)
// shows it under its path; Discard and Later open FILE as it is on disk; Open
// on another design's copy keeps that on screen and says FILE was not opened.
TEST_F(RecoveryTest, StartingOnADesignAsksOnlyTheRecoveryQuestion)
{
    using Answer = FakePrompter::RecoveryAnswer;
    const struct {
        const char* named; // beside the killed run's pump.vok
        Answer answer;
        bool recovered;    // the recovered design is on screen, else the named file as on disk
        const char* status;
    } cases[] = {
        {"alias/pump.vok", Answer::Open, true, ""},
        {"alias/pump.vok", Answer::Discard, false, ""},
        {"alias/pump.vok", Answer::Later, false, ""},
        {"valve.vok", Answer::Open, true, "%1 was not opened: the recovered changes to pump.vok are on screen"},
        {"valve.vok", Answer::Later, false, ""},
    };
    int run = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.named) + ", answer " + std::to_string(static_cast<int>(c.answer)));
        const QString folder = dir.filePath(QString::number(run++));
        ASSERT_TRUE(QDir().mkpath(folder));
        UserData data(folder);
        ASSERT_NO_FATAL_FAILURE(crashAfterAnEdit(folder));
        ASSERT_TRUE(QFile::link(folder, folder + "/alias"));
        ASSERT_TRUE(QFile::copy(folder + "/pump.vok", folder + "/valve.vok"));
        const QString named = folder + '/' + c.named;

        prompter = std::make_shared<FakePrompter>();
        prompter->recoveryAnswers = {c.answer};
        startProgram();
        files->startUp(QFile::encodeName(named).toStdString());
        ASSERT_EQ(prompter->recoveryQuestions.size(), 1u);
        const QRegularExpression question("^Unsaved changes to " + QRegularExpression::escape(folder + "/pump.vok")
                                          + " from \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d were recovered\\. Open them\\?$");
        EXPECT_TRUE(question.match(prompter->recoveryQuestions[0]).hasMatch())
            << prompter->recoveryQuestions[0].toStdString();
        EXPECT_TRUE(prompter->questions.empty()) << prompter->questions[0].toStdString();
        EXPECT_EQ(workspace->design().rowCount(), c.recovered ? 3 : 2);
        EXPECT_EQ(workspace->design().modified(), c.recovered);
        const QString shown = c.recovered ? folder + "/pump.vok" : named;
        EXPECT_EQ(workspace->files().filePath(), QFile::encodeName(shown).toStdString());
        const QString status = *c.status ? QString::fromLatin1(c.status).arg(named) : QString();
        EXPECT_EQ(form->statusBar()->currentMessage().toStdString(), status.toStdString());
    }
}

// Of two designs' copies, the one of the design the program was started on
// is asked about first, though the other is newer.
TEST_F(RecoveryTest, TheCopyOfTheNamedDesignIsAskedAboutFirst)
{
    const QString older = dir.filePath("older"), newer = dir.filePath("newer");
    ASSERT_TRUE(QDir().mkpath(older) && QDir().mkpath(newer));
    ASSERT_NO_FATAL_FAILURE(crashAfterAnEdit(dir.path(), false, older));
    ASSERT_EQ(copies().size(), 2);
    const QString info = dir.filePath(QCoreApplication::applicationName() + "/recovery/")
                         + copies().filter(".info").first();
    // Older by far: by time alone it would be asked about last.
    QString text = QString::fromLatin1(readBytes(info));
    text.replace(QRegularExpression("time=[^\n]*"), "time=2000-01-01T00:00:00Z");
    QFile file(info);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text.toLatin1()) == text.size());
    file.close();
    ASSERT_NO_FATAL_FAILURE(crashAfterAnEdit(dir.path(), false, newer));

    startProgram();
    files->startUp(QFile::encodeName(older + "/pump.vok").toStdString());
    ASSERT_EQ(prompter->recoveryQuestions.size(), 2u);
    EXPECT_TRUE(prompter->recoveryQuestions[0].startsWith("Unsaved changes to " + older + "/pump.vok from "))
        << prompter->recoveryQuestions[0].toStdString();
}

TEST_F(RecoveryTest, ARunningProgramKeepsACopyOnlyWhileChangesAreUnsaved)
{
    startProgram();
    features->recovery->setDelay(10);
    loadOutline(workspace->design(), {"Pump"});
    features->columns->selectRow(0);
    editing->addChild();
    ASSERT_TRUE(eventually([&] { return exists(features->recovery->ownCopyPath()); }));
    TestWindow other; // a second program at the same time offers nothing of the first's
    other.build(prompter, dir.path().toStdString());
    other.form->show();
    other.files->startUp();
    EXPECT_TRUE(prompter->recoveryQuestions.empty());

    editing->undo(); // back to the state of the open: nothing to recover
    features->recovery->waitForWriter();
    EXPECT_TRUE(eventually([&] { return !exists(features->recovery->ownCopyPath()); }));
    editing->redo();
    ASSERT_TRUE(eventually([&] { return exists(features->recovery->ownCopyPath()); }));
    prompter->answers = {FakePrompter::Answer::No};
    form->close(); // ends normally after "No": the copy goes
    EXPECT_TRUE(copies().isEmpty()) << copies().join(' ').toStdString();
}

TEST_F(RecoveryTest, ACopyThatCannotBeMadeIsSaidAndMadeAtTheNextChange)
{
    model::Design design;
    loadOutline(design, {"Pump"});
    bool outOfMemory = true;
    app::ReaderGate readers(design);
    app::RecoveryKeeper keeper(
        design, readers,
        [&](const std::atomic<bool>*) {
            if (std::exchange(outOfMemory, false))
                throw std::bad_alloc();
            return std::string("copy");
        },
        [] { return std::string(); });
    keeper.setFolder(dir.filePath("recovery"));
    keeper.setDelay(0);
    QStringList failures;
    QObject::connect(&keeper, &app::RecoveryKeeper::writeFailed, [&](const QString& copy) { failures << copy; });

    design.editText(TreeId::FR, 0, "Motor");
    ASSERT_TRUE(eventually([&] { return !failures.isEmpty(); }));
    EXPECT_EQ(failures, QStringList{keeper.ownCopyPath()});
    design.editText(TreeId::FR, 0, "Valve");
    ASSERT_TRUE(eventually([&] { return exists(keeper.ownCopyPath()); }));
    keeper.waitForWriter();
    EXPECT_EQ(readBytes(keeper.ownCopyPath()), "copy");
}

// Undoing a matrix cell changes the matrices alone, and the flags not at all:
// that too is a change the copy must follow.
TEST_F(RecoveryTest, UndoingAMatrixCellMakesANewCopy)
{
    model::Design design;
    loadOutline(design, {"Pump", "  Motor", "  Valve"});
    app::ReaderGate readers(design);
    std::atomic<int> copiesMade = 0; // counted on the writer thread
    app::RecoveryKeeper keeper(design, readers, [&](const std::atomic<bool>*) { return std::to_string(++copiesMade); },
                               [] { return std::string(); });
    keeper.setFolder(dir.filePath("recovery"));
    keeper.setDelay(0);
    design.startRecording();
    ASSERT_TRUE(design.setMatrixCell(0, model::MatrixKind::FrDp, 0, 1, model::CellValue::X));
    const std::unique_ptr<model::EditRecord> step = design.stopRecording();
    ASSERT_TRUE(eventually([&] { return copiesMade == 1; }));
    step->undo();
    EXPECT_TRUE(eventually([&] { return copiesMade == 2; }, 500));
    keeper.waitForWriter();
}

// The copy is the design as it is open, with the blocks of its file it did
// not take in, so that the design recovered still asks before a save leaves
// them out.
TEST_F(RecoveryTest, ACopyHoldsTheBlocksTheDesignKeptFromItsFile)
{
    model::Design design;
    loadOutline(design, {"Pump"});
    const std::string unknown = std::string("ABCD") + std::string(12, '\0'); // empty payload, CRC 0
    const QString pump = dir.filePath("pump.vok");
    QFile file(pump);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(io::encodeDesignFile(design) + unknown));
    file.close();

    startProgram();
    features->recovery->setDelay(10);
    files->openAtStart(QFile::encodeName(pump).toStdString());
    features->columns->selectRow(0);
    editing->addChild();
    ASSERT_TRUE(eventually([&] { return exists(features->recovery->ownCopyPath()); }));
    features->recovery->waitForWriter();
    const io::DesignFileContents copy = io::readDesignFile(QFile::encodeName(features->recovery->ownCopyPath()).toStdString());
    EXPECT_EQ(copy.trees[0].size(), 2);
    ASSERT_EQ(copy.kept.size(), 1u);
    EXPECT_EQ(copy.kept[0].bytes, unknown);
}

} // namespace
} // namespace testing_app
