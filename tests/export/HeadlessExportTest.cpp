// `tessaric --export-rtf DESIGN.vok [OUT.rtf]` with a design loader of the test's own.
#include "ExportTestSupport.h"
#include "RtfReadBack.h"

#include "export/AtomicFileWriter.h"
#include "export/HeadlessExport.h"
#include "model/UserError.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

using namespace exporttest;

namespace {

class HeadlessExport : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    std::string inDir(const char* name) const { return m_dir.filePath(name).toStdString(); }

    // A design with one node per tree; level 0 stored as window text, level 1 as a system colour.
    exporting::DesignLoader loader()
    {
        return [this](const std::string& path) {
            loadedFrom.push_back(path);
            exporting::LoadedDesign design;
            design.titles = {"FR", "DP", "PV"};
            for (auto& tree : design.trees)
                fillTree(tree, {{0, "1 Pump"}, {1, "1.1 Seal"}});
            design.levelColours[0] = model::kWindowTextColour;
            design.levelColours[1] = model::kSystemColour + 13;
            return design;
        };
    }

    int run(const std::vector<std::string>& args)
    {
        exporting::ColourResolver resolver = [](std::uint32_t) { return 0x00D77800u; };
        return exporting::runHeadlessExport(args, m_err, resolver, loader(), m_writer);
    }

    readback::Document written(const char* name) const
    {
        QFile file(QString::fromStdString(inDir(name)));
        return file.open(QIODevice::ReadOnly) ? readback::read(file.readAll().toStdString()) : readback::Document{};
    }

    QTemporaryDir m_dir;
    std::ostringstream m_err;
    exporting::AtomicFileWriter m_writer;
    std::vector<std::string> loadedFrom;
};

TEST_F(HeadlessExport, WritesNextToTheDesignFileWithTheStoredLevelColours)
{
    EXPECT_EQ(run({inDir("pump.vok")}), 0);

    EXPECT_EQ(m_err.str(), "");
    EXPECT_EQ(loadedFrom, std::vector<std::string>{inDir("pump.vok")});
    const readback::Document doc = written("pump.rtf");
    ASSERT_EQ(doc.paragraphs.size(), 9u);
    EXPECT_EQ(doc.paragraphs[3].text, "DP");
    EXPECT_EQ(doc.paragraphs[4].colour, readback::Colour());            // window text: automatic
    EXPECT_EQ(doc.paragraphs[5].colour, readback::Colour(0xD77800u));   // resolved system colour
}

TEST_F(HeadlessExport, WritesToTheGivenOutputPath)
{
    EXPECT_EQ(run({inDir("pump.vok"), inDir("elsewhere.doc")}), 0);
    EXPECT_EQ(written("elsewhere.doc").paragraphs.size(), 9u);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(inDir("pump.rtf"))));
}

TEST_F(HeadlessExport, WrongArgumentCountShowsTheUsage)
{
    for (const std::vector<std::string>& args : {std::vector<std::string>{},
                                                 {"a.vok", "b.rtf", "c"},
                                                 {""}}) {
        m_err.str("");
        EXPECT_EQ(run(args), 1);
        EXPECT_EQ(m_err.str(), "Usage: tessaric --export-rtf DESIGN.vok [OUT.rtf]\n");
    }
    EXPECT_TRUE(loadedFrom.empty());
}

TEST_F(HeadlessExport, UnreadableDesignFileFailsWithTheReadersMessage)
{
    exporting::DesignLoader failing = [](const std::string& path) -> exporting::LoadedDesign {
        throw model::UserError("Cannot open file " + path);
    };
    EXPECT_EQ(exporting::runHeadlessExport({"gone.vok"}, m_err, {}, failing, m_writer), 1);
    EXPECT_EQ(m_err.str(), "Cannot open file gone.vok\n");
}

TEST_F(HeadlessExport, UnwritableOutputFailsWithCannotCreateFile)
{
    const std::string out = inDir("no-such-folder/pump.rtf");
    EXPECT_EQ(run({inDir("pump.vok"), out}), 1);
    EXPECT_EQ(m_err.str(), "Cannot create file " + out + "\n");
}

} // namespace
