// `tessaric --diff` run as the real program: its lines, its exit statuses,
// and git calling it as a diff driver.
#include "MainFormFixture.h"

#include "io/DesignFile.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace testing_app {
namespace {

struct ProgramRun {
    int exitCode = -1;
    std::string out, err;
};

ProgramRun run(const QString& program, const QStringList& arguments, const QString& folder = {})
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString()};
}

class DesignDiffRun : public ::testing::Test {
protected:
    QString save(const QString& name, const std::vector<std::string>& outline)
    {
        model::Design design;
        loadOutline(design, outline);
        const std::string bytes = io::encodeDesignFile(design);
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return path;
    }
    QTemporaryDir dir;
};

const std::vector<std::string> kPump = {"1 Pump", "  1.1 Seal", "  1.2 Shaft", "2 Motor"};
// (loadOutline gives DP and PV the FR labels with one and two primes.)
// A row at the top, the seal relabelled, the motor moved under the pump.
const std::vector<std::string> kPumpEdited = {"1 Frame", "2 Pump", "  2.1 Lip seal", "  2.2 Shaft", "  2.3 Motor"};
const char* const kEditedLines = "+ 1 Frame (1 row)\n"
                                 "2.1 FR: \"Seal\" → \"Lip seal\"\n"
                                 "2.1 DP: \"Seal'\" → \"Lip seal'\"\n"
                                 "2.1 PV: \"Seal''\" → \"Lip seal''\"\n"
                                 "moved 2 → 2.3 Motor\n";

TEST_F(DesignDiffRun, PrintsTheChangesAndExitsAsDiffDoes)
{
    const QString pump = save("pump.vok", kPump);
    const QString edited = save("edited.vok", kPumpEdited);
    const QString missing = dir.filePath("missing.vok");
    struct Case {
        QStringList args;
        int exitCode;
        std::string out, err;
    };
    const Case cases[] = {
        {{pump, pump}, 0, "", ""},
        {{pump, edited}, 1, kEditedLines, ""},
        {{pump, missing}, 2, "", "Cannot open file " + missing.toStdString() + "\n"},
        {{pump}, 2, "", "Usage: tessaric --diff OLD.vok NEW.vok\n"},
        // git's seven arguments: a head line, exit 0, /dev/null an empty design.
        {{"d.vok", "/dev/null", "0", "0", pump, "1", "100644"}, 0,
         "diff d.vok\n+ 1 Pump (3 rows)\n+ 2 Motor (1 row)\n", ""},
    };
    for (const Case& c : cases) {
        const ProgramRun r = run(QStringLiteral(TESSARIC_BINARY), QStringList{"--diff"} << c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.out, c.out) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.err, c.err) << c.args.join(' ').toStdString();
    }
}

// The two lines of the README, in a repository: `git diff` and `git log -p
// --ext-diff` show the design's changes.
TEST_F(DesignDiffRun, GitShowsTheChangesThroughTheDiffDriver)
{
    const QString git = QStandardPaths::findExecutable(QStringLiteral("git"));
    if (git.isEmpty())
        GTEST_SKIP() << "no git";
    auto inRepo = [&](const QStringList& args) {
        const ProgramRun r = run(git, QStringList{"-c", "user.name=t", "-c", "user.email=t@t"} << args, dir.path());
        EXPECT_EQ(r.exitCode, 0) << args.join(' ').toStdString() << ": " << r.err;
        return r.out;
    };
    inRepo({"init", "-q"});
    QFile attributes(dir.filePath(".gitattributes"));
    ASSERT_TRUE(attributes.open(QIODevice::WriteOnly));
    attributes.write("*.vok diff=tessaric\n");
    attributes.close();
    inRepo({"config", "diff.tessaric.command", QStringLiteral(TESSARIC_BINARY) + " --diff"});
    save("pump.vok", kPump);
    inRepo({"add", "."});
    inRepo({"commit", "-qm", "pump"});
    save("pump.vok", kPumpEdited);
    EXPECT_EQ(inRepo({"diff"}), std::string("diff pump.vok\n") + kEditedLines);
    inRepo({"commit", "-qam", "edited"});
    const std::string log = inRepo({"log", "-p", "--ext-diff", "-1"});
    EXPECT_NE(log.find(std::string("diff pump.vok\n") + kEditedLines), std::string::npos) << log;
}

} // namespace
} // namespace testing_app
