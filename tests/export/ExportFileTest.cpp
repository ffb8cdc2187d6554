// Writing the export file and handing it to the word processor.
#include "ExportTestSupport.h"
#include "RtfReadBack.h"

#include "export/AtomicFileWriter.h"
#include "export/DesktopDocumentOpener.h"
#include "export/RtfExport.h"
#include "model/UserError.h"

#include <QBuffer>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

using namespace exporttest;

namespace {

// Remembers each call, and whether the file was complete on disk by then.
class RecordingOpener : public exporting::DocumentOpener {
public:
    bool open(const std::string& path) override
    {
        opened.push_back(path);
        QFile file(QString::fromStdString(path));
        readableAtCall.push_back(file.open(QIODevice::ReadOnly) && file.size() > 0);
        return true;
    }
    std::vector<std::string> opened;
    std::vector<bool> readableAtCall;
};

std::string contentsOf(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

class ExportFile : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        setDefaultTitles(m_design);
        fillDesign(m_design, {{0, "1 Pump"}, {1, "1.1 Seal"}});
        m_design.look().opened(headerWithAllLevels(0x0000FF)); // drawn and exported in red
    }
    std::string inDir(const char* name) const { return m_dir.filePath(name).toStdString(); }
    std::string exportFrom(const std::string& designPath)
    {
        return exporting::exportDesign(m_design, designPath, m_dir.path().toStdString(), {}, m_opener).path;
    }

    QTemporaryDir m_dir;
    model::Design m_design;
    RecordingOpener m_opener;
};

TEST_F(ExportFile, WritesNextToTheDesignFileThenOpensTheWrittenFile)
{
    const std::string path = exportFrom(inDir("pump.vok"));

    EXPECT_EQ(path, inDir("pump.rtf"));
    const readback::Document doc = readback::read(contentsOf(path));
    EXPECT_EQ(doc.error, "");
    EXPECT_EQ(doc.paragraphs.size(), 9u);
    EXPECT_EQ(m_opener.opened, std::vector<std::string>{path});
    EXPECT_EQ(m_opener.readableAtCall, std::vector<bool>{true});
}

TEST_F(ExportFile, DesignWithoutFileExportsToOutputRtfInTheStartupFolder)
{
    const std::string path = exportFrom("");
    EXPECT_EQ(path, inDir("Output.rtf"));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(path)));
}

TEST_F(ExportFile, ExportingTwiceReplacesTheFileWithTheSameDocument)
{
    {
        QFile old(QString::fromStdString(inDir("pump.rtf")));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an older, longer document that must go away entirely");
    }
    const std::string path = exportFrom(inDir("pump.vok"));
    const std::string first = contentsOf(path);
    exportFrom(inDir("pump.vok"));

    EXPECT_EQ(first.rfind("{\\rtf1", 0), 0u);
    EXPECT_EQ(contentsOf(path), first);
    EXPECT_EQ(m_opener.opened.size(), 2u);
}

TEST_F(ExportFile, UnwritableFileIsReportedWithItsPathAndNothingIsOpened)
{
    const std::string designPath = inDir("no-such-folder/pump.vok");
    try {
        exportFrom(designPath);
        FAIL() << "no error";
    } catch (const model::UserError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + inDir("no-such-folder/pump.rtf"));
    }
    EXPECT_TRUE(m_opener.opened.empty());
}

TEST_F(ExportFile, ExportLeavesTheDesignAsItWas)
{
    m_design.setModified(true);
    m_design.tree(model::TreeId::FR).setText(m_design.tree(model::TreeId::FR).nodeAt(1), "1.1 unsaved edit");

    exportFrom(inDir("pump.vok"));

    EXPECT_TRUE(m_design.modified());
    EXPECT_FALSE(m_design.backedUp());
    EXPECT_EQ(m_design.tree(model::TreeId::FR).nodeAt(1)->text(), "1.1 unsaved edit");
    // the document holds the state on screen, not a saved one
    EXPECT_EQ(readback::read(contentsOf(inDir("pump.rtf"))).paragraphs.at(2).text, "1.1 unsaved edit");
}

// --- the desktop hand-over -------------------------------------------------------

class UrlCatcher : public QObject {
    Q_OBJECT
public slots:
    void handle(const QUrl& url) { urls.push_back(url); }

public:
    std::vector<QUrl> urls;
};

TEST(DesktopDocumentOpener, AsksTheDesktopToOpenTheFileByItsAbsolutePath)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "handle");
    exporting::DesktopDocumentOpener().open("Output.rtf");
    exporting::DesktopDocumentOpener().open("caf\xe9.rtf"); // not UTF-8: the URL carries the byte
    QDesktopServices::unsetUrlHandler("file");

    ASSERT_EQ(catcher.urls.size(), 2u);
    EXPECT_EQ(catcher.urls[0], QUrl::fromLocalFile(QDir::current().absoluteFilePath("Output.rtf")));
    EXPECT_TRUE(catcher.urls[1].isLocalFile());
    EXPECT_EQ(QByteArray::fromPercentEncoding(catcher.urls[1].path(QUrl::FullyEncoded).toLatin1()),
              QFile::encodeName(QDir::currentPath()) + "/caf\xe9.rtf");
}

} // namespace

#include "ExportFileTest.moc"
