// `--check` on designs with cross cells: where the levels disagree (each line
// after its row, a pair of top-level rows after the top level), the full
// matrices' lines, the exit status, and a cross-cell block that cannot be read.
#include "ExportTestSupport.h"

#include "export/DesignCheck.h"
#include "io/DesignFile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <memory>
#include <sstream>

using namespace exporttest;
using model::CellValue;
using model::MatrixKind;

namespace {

constexpr MatrixKind kFrDp = MatrixKind::FrDp;
constexpr MatrixKind kDpPv = MatrixKind::DpPv;
constexpr int kTop = model::kNoRow;

struct CheckResult {
    int status;
    std::string out, err;
};

class FullMatrixCheck : public ::testing::Test {
protected:
    CheckResult check(const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        std::ostringstream out, err;
        const int status = exporting::runDesignCheck({path}, out, err);
        return {status, out.str(), err.str()};
    }

    QTemporaryDir dir;
    const std::string path = dir.filePath("d.vok").toStdString();
};

// 1 Pump       rows 0..2
//   1.1 Seal
//   1.2 Shaft
// 2 Motor      rows 3..4
//   2.1 Rotor
TEST_F(FullMatrixCheck, FindingsFollowTheirRowAndTheFullMatricesTheRows)
{
    model::Design design;
    fillDesign(design, {{0, "Pump"}, {1, "Seal"}, {1, "Shaft"}, {0, "Motor"}, {1, "Rotor"}});
    for (MatrixKind kind : model::kMatrixKinds) {
        design.setMatrixCell(0, kind, 0, 1, CellValue::O);
        design.setMatrixCell(0, kind, 1, 0, CellValue::O);
    }
    design.setMatrixCell(kTop, kDpPv, 0, 1, CellValue::O);
    design.setMatrixCell(kTop, kDpPv, 1, 0, CellValue::O);
    // FR 2 depends on DP 1, yet every leaf pair below says O: not borne out.
    design.setMatrixCell(kTop, kFrDp, 1, 0, CellValue::X);
    design.setCrossCell(kFrDp, 4, 1, CellValue::O);
    design.setCrossCell(kFrDp, 4, 2, CellValue::O);
    // The same for a top-level row against a row below the other.
    design.setCrossCell(kFrDp, 3, 1, CellValue::X);
    // An X first, then an O one level up over it.
    design.setCrossCell(kFrDp, 2, 4, CellValue::X);
    design.setMatrixCell(kTop, kFrDp, 0, 1, CellValue::O);

    const CheckResult r = check(io::encodeDesignFile(design));
    EXPECT_EQ(r.status, exporting::kCheckFindings);
    EXPECT_EQ(r.out, "top FR-DP: decoupled; order 1, 2\n"
                     "top DP-PV: uncoupled\n"
                     "2 FR-DP 1: X not borne out below\n"
                     "1 FR-DP: uncoupled\n"
                     "1 DP-PV: uncoupled\n"
                     "1.2 FR-DP 2.1: X below an O\n"
                     "2 FR-DP 1.1: X not borne out below\n"
                     "full FR-DP: decoupled; order 1.1, 2.1, 1.2\n"
                     "full DP-PV: uncoupled\n");
    EXPECT_EQ(r.err, "");
}

// 1 Pump, 1.1 Seal, 2 Motor: the leaves 1.1 and 2 are a cross pair. The top
// level's DP-PV cells are O; the FR-DP cells are FR 1 on DP 2, 2 on 1 (top
// level), then 1.1 on 2, 2 on 1.1 (cross), each left out when not assessed.
std::unique_ptr<model::Design> pumpSealMotor(const std::array<CellValue, 4>& frDp)
{
    auto design = std::make_unique<model::Design>();
    fillDesign(*design, {{0, "Pump"}, {1, "Seal"}, {0, "Motor"}});
    const int cells[][2] = {{0, 1}, {1, 0}, {1, 2}, {2, 1}}; // sibling positions, then rows
    for (std::size_t i = 0; i < frDp.size(); ++i) {
        if (frDp[i] == CellValue::NotAssessed)
            continue;
        if (i < 2)
            design->setMatrixCell(kTop, kFrDp, cells[i][0], cells[i][1], frDp[i]);
        else
            design->setCrossCell(kFrDp, cells[i][0], cells[i][1], frDp[i]);
    }
    design->setMatrixCell(kTop, kDpPv, 0, 1, CellValue::O);
    design->setMatrixCell(kTop, kDpPv, 1, 0, CellValue::O);
    return design;
}

struct FullCase {
    const char* name;
    std::array<CellValue, 4> frDp;
    std::string fullFrDp;
    int status; // the full matrices' alone, but for Coupled (the top level's is coupled too)
};
void PrintTo(const FullCase& c, std::ostream* os) { *os << c.name; }

constexpr CellValue X = CellValue::X, O = CellValue::O, NA = CellValue::NotAssessed;
const FullCase kFullCases[] = {
    {"DecoupledInItsOwnOrder", {X, O, X, NA}, "decoupled; order 2, 1.1", exporting::kCheckPassed},
    {"CoupledGroup", {X, X, X, X}, "coupled: 1.1 2", exporting::kCheckFindings},
    {"IncompleteCountsLeafPairs", {O, X, O, NA}, "incomplete: 1 of 2 not assessed", exporting::kCheckFindings},
};

class FullMatrixLines : public FullMatrixCheck, public ::testing::WithParamInterface<FullCase> {};

TEST_P(FullMatrixLines, FollowTheRowsAndSetTheExitStatus)
{
    const CheckResult r = check(io::encodeDesignFile(*pumpSealMotor(GetParam().frDp)));
    EXPECT_EQ(r.status, GetParam().status);
    const std::size_t full = r.out.find("full ");
    ASSERT_NE(full, std::string::npos) << r.out;
    EXPECT_EQ(r.out.substr(full), "full FR-DP: " + GetParam().fullFrDp + "\nfull DP-PV: uncoupled\n");
}

INSTANTIATE_TEST_SUITE_P(Cases, FullMatrixLines, ::testing::ValuesIn(kFullCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FullMatrixCheck, ACrossCellBlockLeftOutIsSaidAndTheRestChecked)
{
    std::string bytes = io::encodeDesignFile(*pumpSealMotor({O, O, O, NA}));
    bytes.back() ^= 0x01; // the last block is the cross cells': its payload no longer matches its CRC
    const CheckResult r = check(bytes);
    EXPECT_EQ(r.status, exporting::kCheckFindings);
    EXPECT_EQ(r.err, "The cross-level cells in " + path + " could not be read and are left out\n");
    EXPECT_EQ(r.out, "top FR-DP: uncoupled\ntop DP-PV: uncoupled\n");
}

} // namespace
