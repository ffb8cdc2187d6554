// A design file with an FR section so large that the reader cuts it in two
// at a top-level line and reads each half, on a thread of its own, into
// memory on huge pages. The outcome must be the one a front-to-back read of
// each tree text gives: the same trees, titles and level records, or the
// same error; and the huge pages go back when the trees or the error do.
#include "io/DesignFile.h"
#include "io/HeaderCodec.h"
#include "io/TreeText.h"
#include "IoTestSupport.h"
#include "model/HugeBlock.h"
#include "model/UserError.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string_view>

namespace {

// Both halves of the cut FR section must reach 8 MB, where a piece goes on
// huge pages; a half is at least half the section less the 64 KB in which
// the cut is looked for.
constexpr std::size_t kFrBytes = 17 * 1024 * 1024;
// Depths of the lines of each top-level group: a cut falls only before a
// top-level line, so the line at the middle is most likely a deeper one.
constexpr int kGroupLevels[] = {0, 1, 2, 3, 2, 1, 2, 1};
constexpr const char* kBadLine = "\t\t\tTwo levels too deep\r\n";

struct Sections {
    std::string fr, dp, pv;
};

// FR lines of a few kilobytes each (any byte but CR, LF and NUL, behind
// every kind of line end); DP and PV of the same shape with short lines.
// `badLineAt`: a fraction of FR behind which a line two levels too deep follows a top-level line.
Sections largeSections(double badLineAt = 2.0)
{
    std::mt19937 rng(7);
    std::string pool(64 * 1024, 'x'); // lines are slices of it: 17 MB of random bytes would take a while
    for (char& c : pool)
        do
            c = static_cast<char>(std::uniform_int_distribution<int>(1, 255)(rng));
        while (c == '\r' || c == '\n');
    static const char* kEnds[] = {"\r\n", "\n", "\r"};
    Sections s;
    s.fr.reserve(kFrBytes + 8 * 1024);
    for (std::size_t i = 0; s.fr.size() < kFrBytes; ++i) {
        const int level = kGroupLevels[i % std::size(kGroupLevels)];
        const std::size_t length = std::uniform_int_distribution<std::size_t>(1000, 7000)(rng);
        const std::size_t from = std::uniform_int_distribution<std::size_t>(0, pool.size() - length)(rng);
        s.fr.append(static_cast<std::size_t>(level), '\t');
        s.fr += "Node " + std::to_string(i) + " ";
        s.fr.append(pool, from, length);
        s.fr += kEnds[rng() % std::size(kEnds)];
        if (level == 0 && static_cast<double>(s.fr.size()) >= badLineAt * kFrBytes) {
            s.fr += kBadLine;
            badLineAt = 2.0;
        }
        const std::string tabs(static_cast<std::size_t>(level), '\t');
        s.dp += tabs + "D" + std::to_string(i) + "\r\n";
        s.pv += tabs + "P" + std::to_string(i) + "\r\n";
    }
    return s;
}

model::HeaderRecord headerFor(const Sections& s)
{
    static const char* kFaces[model::kLevelCount] = {"Tahoma", "Arial", "Verdana", "Courier New", "Georgia", "Times",
                                                     "Segoe UI", "Calibri", "Cambria", "Consolas", "Wingdings"};
    model::HeaderRecord h;
    h.magic = model::kDesignMagic;
    model::setFieldText(h.titles[0], "Functional requirements");
    model::setFieldText(h.titles[1], "Design parameters \xE9");
    model::setFieldText(h.titles[2], std::string(32, 'V')); // no room for a NUL
    const auto fr = static_cast<std::uint32_t>(s.fr.size()), dp = static_cast<std::uint32_t>(s.dp.size());
    h.starts = {model::kHeaderSize, model::kHeaderSize + fr, model::kHeaderSize + fr + dp};
    h.lengths = {fr, dp, static_cast<std::uint32_t>(s.pv.size())};
    for (std::size_t i = 0; i < h.levels.size(); ++i) {
        model::LevelRecord& r = h.levels[i];
        r.charset = static_cast<std::uint8_t>(i);
        r.colour = 0x00102030u * static_cast<std::uint32_t>(i + 1);
        model::setFieldText(r.name, kFaces[i]);
        r.size = -8 - static_cast<std::int32_t>(i);
        r.style = static_cast<std::uint8_t>(i % 16);
    }
    return h;
}

// The row at which two trees first differ in text, level, parent or place
// among siblings, or "" when they are the same.
std::string firstDifference(const model::DesignTree& got, const model::DesignTree& want)
{
    if (got.size() != want.size())
        return std::to_string(got.size()) + " rows instead of " + std::to_string(want.size());
    const auto parentRow = [](const model::DesignTree& t, const model::Node* n) {
        const model::Node* p = t.parentOf(n);
        return p ? t.rowOf(p) : -1;
    };
    for (int r = 0; r < want.size(); ++r) {
        const model::Node* g = got.nodeAt(r);
        const model::Node* w = want.nodeAt(r);
        if (g->text().view() != w->text().view() || got.levelOf(g) != want.levelOf(w) ||
            parentRow(got, g) != parentRow(want, w) || g->siblingIndex != w->siblingIndex ||
            g->children.size() != w->children.size())
            return "row " + std::to_string(r);
    }
    return "";
}

bool everyTextBorrowed(const model::DesignTree& tree)
{
    for (const model::Node* n : tree.preorder())
        if (n->text().owned())
            return false;
    return true;
}

class HugeSection : public testing::Test {
protected:
    std::string write(const Sections& s, const model::HeaderRecord& header)
    {
        const std::string path = m_dir.filePath("huge.vok").toStdString();
        QFile f(QString::fromStdString(path));
        if (!f.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write " + path);
        const std::string head = io::encodeHeader(header);
        for (std::string_view bytes : {std::string_view(head), std::string_view(s.fr), std::string_view(s.dp),
                                       std::string_view(s.pv)})
            if (f.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()))
                throw std::runtime_error("cannot write " + path);
        return path;
    }

    QTemporaryDir m_dir;
};

TEST_F(HugeSection, IsCutInTwoOnHugePagesAndReadsAsFrontToBack)
{
    const Sections s = largeSections();
    const model::HeaderRecord header = headerFor(s);
    const std::string path = write(s, header);
    std::array<model::DesignTree, 3> expected;
    std::array<io::TreeLevels, 3> levels;
    for (std::size_t i = 0; i < 3; ++i)
        expected[i] = io::readTreeText(i == 0 ? s.fr : i == 1 ? s.dp : s.pv, levels[i]);
    ASSERT_TRUE(levels[1] == levels[0] && levels[2] == levels[0]);

    const std::size_t hugeBefore = model::hugeBlockBytes();
    {
        io::ReadReport report;
        const io::DesignFileContents c = io::readDesignFile(path, &report);
        EXPECT_TRUE(report.parallel);
        EXPECT_EQ(report.cut, (std::array{true, false, false})); // DP and PV are too short to cut
        EXPECT_EQ(report.pieces, 4u);
        EXPECT_EQ(report.hugePieces, 2u);
        EXPECT_GE(model::hugeBlockBytes() - hugeBefore, s.fr.size()); // both halves are still borrowed from

        EXPECT_EQ(c.header, header);
        EXPECT_EQ(c.titles, (std::array<std::string, 3>{"Functional requirements", "Design parameters \xE9",
                                                         std::string(32, 'V')}));
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(firstDifference(c.trees[i], expected[i]), "") << "tree " << i;
            EXPECT_TRUE(everyTextBorrowed(c.trees[i])) << "tree " << i;
        }
    }
    EXPECT_EQ(model::hugeBlockBytes(), hugeBefore);
}

TEST_F(HugeSection, ErrorInTheSecondHalfIsTheFrontToBackErrorAndFreesThePages)
{
    const Sections s = largeSections(0.75);
    const std::string path = write(s, headerFor(s));
    std::string expected = "<no error>";
    try {
        io::readTreeText(s.fr);
    } catch (const model::UserError& e) {
        expected = e.what();
    }
    ASSERT_NE(expected.find("Invalid level (3) for item \"Two levels too deep\""), std::string::npos) << expected;

    const std::size_t hugeBefore = model::hugeBlockBytes();
    io::ReadReport report;
    std::string got = "<no error>";
    try {
        io::readDesignFile(path, &report);
    } catch (const model::UserError& e) {
        got = e.what();
    }
    EXPECT_EQ(got, expected);
    EXPECT_TRUE(report.cut[0]);
    EXPECT_EQ(report.hugePieces, 2u);
    EXPECT_EQ(model::hugeBlockBytes(), hugeBefore);
}

} // namespace
