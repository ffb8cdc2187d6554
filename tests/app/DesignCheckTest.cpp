// `tessaric --check DESIGN.vok` run as the real program, without a display:
// the lines, their order and the exit status.
#include "MainFormFixture.h"

#include "io/DesignFile.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <optional>

namespace testing_app {
namespace {

using model::CellValue;
using model::MatrixKind;
using model::TreeId;

struct CheckRun {
    int exitCode = -1;
    QByteArray out, err;
};

CheckRun run(const QString& program, const QStringList& arguments, const QString& folder = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

CheckRun check(const QString& path)
{
    return run(QStringLiteral(TESSARIC_BINARY), {"--check", path});
}

std::string saved(const model::Design& design)
{
    return io::encodeDesignFile(design);
}

void writeFile(const QString& path, const std::string& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

class DesignCheckRun : public ::testing::Test {
protected:
    QString file(const std::string& bytes)
    {
        const QString path = dir.filePath(QString("d%1.vok").arg(++m_files));
        writeFile(path, bytes);
        return path;
    }

    QTemporaryDir dir;
    int m_files = 0;
};

// 1 Pump           top level: Pump and Motor
//   1.1 ________   no FR label; no DP label either
//   1.2 Seal       (its FR text says "9 Seal": numbers come from positions)
//     1.2.1 Lip
//     1.2.2 Spring
// 2 Motor
TEST_F(DesignCheckRun, PrintsEveryFindingInRowOrderAndExitsWithTwo)
{
    model::Design design;
    loadOutline(design, {"1 Pump", "  1.1 __________", "  9 Seal", "    1.2.1 Lip", "    1.2.2 Spring", "2 Motor"});
    design.editText(TreeId::DP, 1, "1.1 ");
    const int top = model::kNoRow;
    design.setMatrixCell(top, MatrixKind::FrDp, 0, 1, CellValue::O);
    design.setMatrixCell(top, MatrixKind::FrDp, 1, 0, CellValue::O);
    design.setMatrixCell(top, MatrixKind::DpPv, 0, 1, CellValue::X);
    design.setMatrixCell(top, MatrixKind::DpPv, 1, 0, CellValue::O);
    design.setMatrixCell(0, MatrixKind::FrDp, 0, 1, CellValue::X);
    design.setMatrixCell(0, MatrixKind::FrDp, 1, 0, CellValue::X);
    design.setMatrixCell(0, MatrixKind::DpPv, 1, 0, CellValue::O);
    design.setMatrixCell(2, MatrixKind::FrDp, 0, 1, CellValue::O);
    design.setMatrixCell(2, MatrixKind::FrDp, 1, 0, CellValue::O);

    const CheckRun run = check(file(saved(design)));
    EXPECT_EQ(run.exitCode, 2) << run.err.toStdString();
    EXPECT_EQ(run.out.toStdString(), "top FR-DP: uncoupled\n"
                                     "top DP-PV: decoupled; order 2, 1\n"
                                     "1 FR-DP: coupled: 1.1 1.2\n"
                                     "1 DP-PV: incomplete: 1 of 2 not assessed\n"
                                     "1.1 FR: no label\n"
                                     "1.1 DP: no label\n"
                                     "1.2 FR-DP: uncoupled\n"
                                     "1.2 DP-PV: incomplete: 2 of 2 not assessed\n");
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
}

TEST_F(DesignCheckRun, ExitsWithZeroWhenEveryMatrixIsUncoupledOrDecoupled)
{
    model::Design design;
    loadOutline(design, {"1 Pump", "  1.1 Seal", "  1.2 Shaft", "  1.3 Bearing"});
    // Within Pump: DP 1.3 before 1.1 before 1.2, both kinds.
    for (MatrixKind kind : model::kMatrixKinds)
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                if (i != j)
                    design.setMatrixCell(0, kind, i, j, (i == 0 && j == 2) || (i == 1 && j != 1) ? CellValue::X : CellValue::O);
    const CheckRun run = check(file(saved(design)));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.toStdString(), "1 FR-DP: decoupled; order 1.3, 1.1, 1.2\n"
                                     "1 DP-PV: decoupled; order 1.3, 1.1, 1.2\n");
}

TEST_F(DesignCheckRun, AFileThatCannotBeReadExitsWithOneAndSaysWhy)
{
    const QString missing = dir.filePath("missing.vok");
    const CheckRun run = check(missing);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(run.err.toStdString(), "Cannot open file " + missing.toStdString() + "\n");
}

TEST_F(DesignCheckRun, AFileNameThatIsNotUtf8IsOpenedByItsOwnBytes)
{
    model::Design design;
    loadOutline(design, {"1 Pump"});
    const std::string name = "caf\xe9.vok"; // Latin-1, as older systems name files
    const std::string path = QFile::encodeName(dir.path()).toStdString() + '/' + name;
    std::ofstream(path, std::ios::binary) << saved(design);
    // QProcess takes arguments as text, so the shell passes the byte.
    const CheckRun result = run(QStringLiteral("/bin/sh"), {"-c", "exec \"$0\" --check \"$(printf 'caf\\351.vok')\"",
                                                            QStringLiteral(TESSARIC_BINARY)}, dir.path());
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_TRUE(result.err.isEmpty()) << result.err.toStdString();
    std::remove(path.c_str()); // QTemporaryDir cannot name it either
}

TEST_F(DesignCheckRun, AMatrixBlockLeftOutIsSaidAndTheRestChecked)
{
    model::Design design;
    loadOutline(design, {"1 Pump", "2 Motor"});
    design.setMatrixCell(model::kNoRow, MatrixKind::FrDp, 0, 1, CellValue::O);
    std::string bytes = saved(design);
    bytes.back() ^= 0x01; // the payload no longer matches its CRC
    const QString path = file(bytes);
    const CheckRun run = check(path);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err.toStdString(),
              "The design matrices in " + path.toStdString() + " could not be read and are left out\n");
    EXPECT_EQ(run.out.toStdString(), "top FR-DP: incomplete: 2 of 2 not assessed\n"
                                     "top DP-PV: incomplete: 2 of 2 not assessed\n");
}

model::FrRanges uniformRanges(std::optional<double> lower, std::optional<double> upper, double a, double b)
{
    model::FrRanges r;
    r.design = {lower.has_value(), upper.has_value(), lower.value_or(0), upper.value_or(0), "l/min"};
    r.system = {model::SystemKind::Uniform, a, b};
    return r;
}

// 1 Pump      p 1, not counted in the total: its children are
//   1.1 Seal  p 0.75
//   1.2 Shaft p 0.25
// The total is exact while Pump's FR-DP matrix is uncoupled; the figures
// leave the exit status alone either way.
TEST_F(DesignCheckRun, PrintsPAndIAfterEachRowAndTheTotalLast)
{
    for (const bool decoupled : {false, true}) {
        model::Design design;
        loadOutline(design, {"1 Pump", "  1.1 Seal", "  1.2 Shaft"});
        for (MatrixKind kind : model::kMatrixKinds) {
            design.setMatrixCell(0, kind, 0, 1, CellValue::O);
            design.setMatrixCell(0, kind, 1, 0, decoupled && kind == MatrixKind::FrDp ? CellValue::X : CellValue::O);
        }
        design.setRanges(0, uniformRanges(0, std::nullopt, 1, 2));
        design.setRanges(1, uniformRanges(5, 12, 6, 14));
        design.setRanges(2, uniformRanges(std::nullopt, 10, 0, 40));

        const CheckRun run = check(file(saved(design)));
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.out.toStdString(),
                  std::string(decoupled ? "1 FR-DP: decoupled; order 1.1, 1.2\n" : "1 FR-DP: uncoupled\n") +
                      "1 DP-PV: uncoupled\n"
                      "1 FR: p 1.000, I 0.000 bits\n"
                      "1.1 FR: p 0.750, I 0.415 bits\n"
                      "1.2 FR: p 0.250, I 2.000 bits\n"
                      "total: I 2.415 bits over 2 FRs" +
                      (decoupled ? " (sum over FRs that are not independent)\n" : "\n"));
    }
}

TEST_F(DesignCheckRun, ARangeThatCannotBeMetGivesInfiniteBitsAndExitsWithTwo)
{
    model::Design design;
    loadOutline(design, {"1 Pump"});
    design.setRanges(0, uniformRanges(std::nullopt, 3, 4, 5));
    const CheckRun run = check(file(saved(design)));
    EXPECT_EQ(run.exitCode, 2) << run.err.toStdString();
    EXPECT_EQ(run.out.toStdString(), "1 FR: p 0.000, I inf bits\n"
                                     "total: I inf bits over 1 FR\n");
}

TEST_F(DesignCheckRun, ARangeBlockLeftOutIsSaidAndTheDesignCheckedWithoutRanges)
{
    model::Design design;
    loadOutline(design, {"1 Pump"});
    design.setRanges(0, uniformRanges(5, 12, 6, 14));
    std::string bytes = saved(design);
    bytes.back() ^= 0x01; // the payload no longer matches its CRC
    const QString path = file(bytes);
    const CheckRun run = check(path);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err.toStdString(),
              "The information ranges in " + path.toStdString() + " could not be read and are left out\n");
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
}

// A design with nothing to check but a block the check could not look into:
// the block is the finding.
struct UnreadBlock {
    const char* name;
    std::string block;
    std::string said; // behind the path
};
void PrintTo(const UnreadBlock& c, std::ostream* os) { *os << c.name; }

const UnreadBlock kUnreadBlocks[] = {
    {"RefusedMatrixBlock", std::string("TDMX") + std::string(4, '\0') + std::string(8, '\0'),
     " could not be read and are left out\n"},
    {"UnknownBlock", std::string("ABCD") + std::string(12, '\0'), " holds data this version does not know (block ABCD)\n"},
};

class DesignCheckUnreadBlock : public DesignCheckRun, public ::testing::WithParamInterface<UnreadBlock> {};

TEST_P(DesignCheckUnreadBlock, IsAFindingWhenNothingElseIs)
{
    model::Design design;
    loadOutline(design, {"1 Pump", "  1.1 Motor"}); // no parent of two children: no matrix
    const QString path = file(saved(design) + GetParam().block);
    const CheckRun run = check(path);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.endsWith(QByteArray::fromStdString(GetParam().said))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(path.toLocal8Bit()));
}

INSTANTIATE_TEST_SUITE_P(Cases, DesignCheckUnreadBlock, ::testing::ValuesIn(kUnreadBlocks),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace testing_app
