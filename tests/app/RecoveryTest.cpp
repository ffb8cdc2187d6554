// Recovery after a crash: a program that edits a design and is killed leaves
// a copy that the next start offers; Open, Discard and Later do what they
// say; a save removes the copy; a normal end leaves none.

#include "MainFormFixture.h"

#include "app/RecoveryKeeper.h"
#include "app/UndoHistory.h"
#include "io/DesignFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
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

// Runs in the child: saves a design, changes it, waits for its recovery copy,
// says so, and waits to be killed.
TEST_F(MainFormTest, RecoveryChildEditsAndWaitsToBeKilled)
{
    const char* folder = std::getenv(kChildVariable);
    if (!folder)
        GTEST_SKIP() << "runs in the child process of the recovery tests";
    loadOutline(form->design(), {"Pump", "  Drive"});
    prompter->savePaths.push_back(QDir(QString::fromLocal8Bit(folder)).filePath("pump.vok"));
    form->SaveBtnClick();
    form->recovery().setDelay(20);
    form->columns().selectRow(1);
    form->AddChildBtnClick();
    ASSERT_TRUE(eventually([&] { return exists(form->recovery().ownCopyPath()); }, 10000));
    form->recovery().waitForWriter();
    std::printf("READY\n");
    std::fflush(stdout);
    for (;;)
        QTest::qWait(1000);
}

// A child that edits `folder`/pump.vok and is killed once its copy is written.
void crashAfterAnEdit(const QString& folder)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildVariable), folder);
    env.insert(QStringLiteral("XDG_DATA_HOME"), folder);
    env.insert(QStringLiteral("TESSARIC_KEEP_XDG_DATA_HOME"), QStringLiteral("1"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=MainFormTest.RecoveryChildEditsAndWaitsToBeKilled")});
    QByteArray out;
    ASSERT_TRUE(eventually([&] {
        out += child.readAllStandardOutput();
        return out.contains("READY") || child.state() == QProcess::NotRunning;
    }, 30000));
    ASSERT_TRUE(out.contains("READY")) << out.toStdString() << child.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
    ASSERT_TRUE(child.waitForFinished(10000));
}

class RecoveryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        userData = std::make_unique<UserData>(dir.path());
    }
    std::unique_ptr<app::TMainForm> startProgram()
    {
        auto form = std::make_unique<app::TMainForm>(dir.path().toStdString());
        form->setPrompter(prompter);
        form->show();
        return form;
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
    startProgram()->offerRecovery();
    ASSERT_EQ(prompter->recoveryQuestions.size(), 1u);
    EXPECT_TRUE(prompter->recoveryQuestions[0].startsWith("Unsaved changes to " + pump + " from "))
        << prompter->recoveryQuestions[0].toStdString();
    EXPECT_TRUE(prompter->recoveryQuestions[0].endsWith(" were recovered. Open them?"));
    EXPECT_EQ(copies().size(), 2); // Later keeps it

    prompter->recoveryAnswers = {FakePrompter::RecoveryAnswer::Open};
    auto form = startProgram();
    form->offerRecovery();
    ASSERT_EQ(prompter->recoveryQuestions.size(), 2u);
    ASSERT_EQ(form->design().rowCount(), 3); // the edit came back
    EXPECT_EQ(rowTags(form->design(), 2), "1.1.1 __________|1.1.1 __________|1.1.1 __________");
    EXPECT_TRUE(form->design().modified());
    EXPECT_EQ(form->files().filePath(), pump.toStdString());
    EXPECT_FALSE(form->history().canUndo());

    form->SaveBtnClick(); // where the user expects, and the copy goes
    form->recovery().waitForWriter();
    EXPECT_TRUE(copies().isEmpty()) << copies().join(' ').toStdString();
    EXPECT_EQ(io::readDesignFile(pump.toStdString()).trees[0].size(), 3);
    EXPECT_TRUE(prompter->errors.empty());
}

TEST_F(RecoveryTest, DiscardDeletesTheCopyAndNothingIsOfferedAgain)
{
    ASSERT_NO_FATAL_FAILURE(crashAfterAnEdit(dir.path()));
    prompter->recoveryAnswers = {FakePrompter::RecoveryAnswer::Discard};
    auto form = startProgram();
    form->offerRecovery();
    EXPECT_EQ(prompter->recoveryQuestions.size(), 1u);
    EXPECT_EQ(form->design().rowCount(), 0);
    EXPECT_TRUE(copies().isEmpty());
    startProgram()->offerRecovery();
    EXPECT_EQ(prompter->recoveryQuestions.size(), 1u);
}

TEST_F(RecoveryTest, ARunningProgramKeepsACopyOnlyWhileChangesAreUnsaved)
{
    auto form = startProgram();
    form->recovery().setDelay(10);
    loadOutline(form->design(), {"Pump"});
    form->columns().selectRow(0);
    form->AddChildBtnClick();
    ASSERT_TRUE(eventually([&] { return exists(form->recovery().ownCopyPath()); }));
    auto other = startProgram(); // a second program at the same time offers nothing of the first's
    other->offerRecovery();
    EXPECT_TRUE(prompter->recoveryQuestions.empty());

    form->UndoBtnClick(); // back to the state of the open: nothing to recover
    form->recovery().waitForWriter();
    EXPECT_TRUE(eventually([&] { return !exists(form->recovery().ownCopyPath()); }));
    form->RedoBtnClick();
    ASSERT_TRUE(eventually([&] { return exists(form->recovery().ownCopyPath()); }));
    prompter->answers = {FakePrompter::Answer::No};
    form->close(); // ends normally after "No": the copy goes
    EXPECT_TRUE(copies().isEmpty()) << copies().join(' ').toStdString();
}

// The copy is the design as it is open, with the blocks of its file it did
// not take in, so that the design recovered still asks before a save leaves
// them out.
TEST_F(RecoveryTest, ACopyHoldsTheBlocksTheDesignKeptFromItsFile)
{
    model::Design design;
    loadOutline(design, {"Pump"});
    model::HeaderRecord header;
    const std::string unknown = std::string("ABCD") + std::string(12, '\0'); // empty payload, CRC 0
    const QString pump = dir.filePath("pump.vok");
    QFile file(pump);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(io::encodeDesignFile(design, header, {}) + unknown));
    file.close();

    auto form = startProgram();
    form->recovery().setDelay(10);
    form->openAtStart(QFile::encodeName(pump).toStdString());
    form->columns().selectRow(0);
    form->AddChildBtnClick();
    ASSERT_TRUE(eventually([&] { return exists(form->recovery().ownCopyPath()); }));
    form->recovery().waitForWriter();
    const io::DesignFileContents copy = io::readDesignFile(QFile::encodeName(form->recovery().ownCopyPath()).toStdString());
    EXPECT_EQ(copy.trees[0].size(), 2);
    ASSERT_EQ(copy.kept.size(), 1u);
    EXPECT_EQ(copy.kept[0].bytes, unknown);
}

} // namespace
} // namespace testing_app
