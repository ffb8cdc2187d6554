// git shows a design's text form in diffs and logs with the two lines the
// README gives: a .gitattributes entry and a textconv driver.
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

QString run(const QString& dir, const QStringList& args)
{
    QProcess git;
    git.setWorkingDirectory(dir);
    git.start(QStringLiteral("git"), args);
    git.waitForFinished(30000);
    EXPECT_EQ(git.exitCode(), 0) << git.readAllStandardError().toStdString();
    return QString::fromUtf8(git.readAllStandardOutput());
}

// Each version through --import text, so the commits hold real design files.
void commitDesign(const QString& dir, const std::string& text, const char* message)
{
    std::ofstream(dir.toStdString() + "/d.txt") << "tessaric design text 1\ntitle FR: Needs\n" << text;
    QProcess::execute(QStringLiteral(TESSARIC_BINARY),
                      {QStringLiteral("--import"), QStringLiteral("text"), dir + "/d.txt", dir + "/pump.vok"});
    run(dir, {"add", "pump.vok", ".gitattributes"});
    run(dir, {"commit", "-q", "-m", message});
}

TEST(GitTextconv, DiffAndLogShowRelabelledRowsAsLines)
{
    if (QStandardPaths::findExecutable(QStringLiteral("git")).isEmpty())
        GTEST_SKIP() << "git is not installed";
    QTemporaryDir dir;
    const QString d = dir.path();
    run(d, {"init", "-q"});
    run(d, {"config", "user.email", "t@example.com"});
    run(d, {"config", "user.name", "T"});
    std::ofstream(d.toStdString() + "/.gitattributes") << "*.vok diff=tessaric\n";
    run(d, {"config", "diff.tessaric.textconv",
            QStringLiteral("sh -c '\"%1\" --export text \"$0\" -'").arg(QStringLiteral(TESSARIC_BINARY))});
    commitDesign(d, "1 Pump | Pump set | Assembly\n  1.1 Draw | Suction | Layout\n", "first");
    commitDesign(d, "1 Pump | Pump set | Assembly\n  1.1 Draw water | Suction | Layout\n", "relabel");
    commitDesign(d, "1 Pump | Pump set | Assembly\n  1.1 Draw water | Suction | Layout\n  @note FR: why\n", "note");

    const QString diff = run(d, {"diff", "HEAD~2", "HEAD~1"});
    EXPECT_TRUE(diff.contains("\n-  1.1 Draw | Suction | Layout\n+  1.1 Draw water | Suction | Layout\n")) << diff.toStdString();
    EXPECT_FALSE(diff.contains("Binary")) << diff.toStdString();
    const QString log = run(d, {"log", "-p", "--format=%s"});
    EXPECT_TRUE(log.contains("+    @note FR: why\n")) << log.toStdString();
    EXPECT_TRUE(log.contains("-  1.1 Draw | Suction | Layout\n")) << log.toStdString();
}

} // namespace
