// The exported file opened by a word processor: LibreOffice converts it to a
// flat OpenDocument text, which, unlike unrtf, tells the automatic colour from
// black. Skipped when LibreOffice (libreoffice-writer-nogui) is not installed.
#include "ExportTestSupport.h"

#include "export/RtfExport.h"

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace exporttest;

namespace {

class NoOpener : public exporting::DocumentOpener {
public:
    bool open(const std::string&) override { return true; }
};

struct OdtLine {
    QString text;
    QString colour; // "auto" or "#rrggbb"
};

// Paragraphs of the office:text body with the colour of their text style (the
// span's style, or the paragraph's own for an empty one).
std::vector<OdtLine> linesOf(const QByteArray& fodt)
{
    QMap<QString, QString> colourOfStyle;
    std::vector<OdtLine> lines;
    QString style;
    bool inBody = false;
    bool inParagraph = false; // the layout between paragraphs is not text
    QXmlStreamReader xml(fodt);
    while (!xml.atEnd()) {
        xml.readNext();
        const QStringView name = xml.qualifiedName();
        if (xml.isStartElement() && name == u"style:style") {
            style = xml.attributes().value("style:name").toString();
        } else if (xml.isStartElement() && name == u"style:text-properties") {
            const auto a = xml.attributes();
            colourOfStyle[style] = a.value("style:use-window-font-color") == u"true"
                                       ? QStringLiteral("auto")
                                       : a.value("fo:color").toString();
        } else if (xml.isStartElement() && name == u"office:text") {
            inBody = true;
        } else if (inBody && xml.isStartElement() && (name == u"text:p" || name == u"text:span")) {
            if (name == u"text:p") {
                lines.emplace_back();
                inParagraph = true;
            }
            lines.back().colour = colourOfStyle.value(xml.attributes().value("text:style-name").toString());
        } else if (inBody && xml.isStartElement() && name == u"text:tab") {
            lines.back().text += '\t';
        } else if (xml.isEndElement() && name == u"text:p") {
            inParagraph = false;
        } else if (inParagraph && xml.isCharacters()) {
            lines.back().text += xml.text();
        }
    }
    return lines;
}

TEST(LibreOfficeReadBack, TitlesAndWindowTextLevelsAreAutomaticAndBlackStaysBlack)
{
    const QString soffice = QStandardPaths::findExecutable("soffice");
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    model::Design design;
    setDefaultTitles(design);
    fillDesign(design, {{0, "1 Pump"}, {1, "1.1 Caf\xE9\t{x}"}, {1, ""}});
    exporting::LevelColourValues colours{};
    colours[0] = model::kWindowTextColour;
    colours[1] = 0x00000000; // black, not automatic
    design.look().opened(headerWith(colours));
    NoOpener opener;
    const std::string path =
        exporting::exportDesign(design, dir.filePath("pump.vok").toStdString(), {}, {}, opener).path;

    QProcess process;
    process.start(soffice, {"--headless", "-env:UserInstallation=" + QUrl::fromLocalFile(dir.filePath("lo")).toString(),
                            "--convert-to", "fodt", "--outdir", dir.path(), QString::fromStdString(path)});
    ASSERT_TRUE(process.waitForFinished(120000));
    QFile fodt(dir.filePath("pump.fodt"));
    ASSERT_TRUE(fodt.open(QIODevice::ReadOnly)) << process.readAllStandardError().toStdString();
    const std::vector<OdtLine> lines = linesOf(fodt.readAll());

    std::vector<std::pair<QString, QString>> expected;
    for (auto [title, letter] : {std::pair{"Functional Requirements", 'F'}, {"Design Parameters", 'D'},
                                 {"Process Variables", 'P'}}) {
        expected.push_back({title, "auto"});
        expected.push_back({QString("1 Pump") + letter, "auto"});
        expected.push_back({QString("1.1 Café\t{x}") + letter, "#000000"});
        expected.push_back({QString(letter), "#000000"});
    }
    ASSERT_EQ(lines.size(), expected.size()); // 3 + 3N: no empty paragraph at the end
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(lines[i].text, expected[i].first) << "line " << i;
        EXPECT_EQ(lines[i].colour, expected[i].second) << "line " << i << ": " << lines[i].text.toStdString();
    }
}

} // namespace
