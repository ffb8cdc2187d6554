// The exported file read by a real RTF reader: `unrtf --html`. unrtf shows
// the automatic colour as black and collapses runs of blanks, so the design
// here has neither automatic level colours nor double blanks.
#include "ExportTestSupport.h"

#include "export/AtomicFileWriter.h"
#include "export/RtfExport.h"

#include <QColor>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

using namespace exporttest;

namespace {

class NoOpener : public exporting::DocumentOpener {
public:
    bool open(const std::string&) override { return true; }
};

struct Line {
    QString text;
    QColor colour;
};

// unrtf ends each paragraph with <br>, which a QTextDocument keeps as a line
// separator inside one block; colours come from the <font color> runs.
std::vector<Line> linesOf(const QString& html)
{
    QTextDocument document;
    document.setHtml(html.left(html.indexOf("</body>"))); // the line end behind it would read as a blank
    std::vector<Line> lines(1);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QStringList pieces = fragment.text().split(QChar::LineSeparator);
            for (qsizetype i = 0; i < pieces.size(); ++i) {
                if (i > 0)
                    lines.emplace_back();
                if (!pieces[i].isEmpty()) {
                    lines.back().text += pieces[i];
                    lines.back().colour = fragment.charFormat().foreground().color();
                }
            }
        }
    }
    return lines;
}

TEST(UnrtfReadBack, FindsEveryParagraphWithItsTextAndColour)
{
    const QString unrtf = QStandardPaths::findExecutable("unrtf");
    if (unrtf.isEmpty())
        GTEST_SKIP() << "unrtf is not installed (scripts/install-deps installs it)";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    model::Design design;
    setDefaultTitles(design);
    design.setTitle(model::TreeId::DP, "Param\xE8tres {DP} \\ \x80");
    fillDesign(design, {{0, "1 Pump"}, {1, "1.1 Caf\xE9 <b>&amp;"}, {2, "1.1.1 Seal"}, {0, "2 Motor"}});
    exporting::LevelColourValues colours{};
    colours[0] = 0x000000FF;  // red
    colours[1] = 0x00008000;  // green
    colours[2] = 0x00FF0000;  // blue
    design.look().opened(headerWith(colours));
    NoOpener opener;
    const std::string path =
        exporting::exportDesign(design, dir.filePath("pump.vok").toStdString(), {}, {}, opener).path;

    QProcess process;
    process.start(unrtf, {"--html", QString::fromStdString(path)});
    ASSERT_TRUE(process.waitForFinished(10000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const std::vector<Line> lines = linesOf(QString::fromUtf8(process.readAllStandardOutput()));

    const QColor black(0, 0, 0), red(255, 0, 0), green(0, 128, 0), blue(0, 0, 255);
    const std::vector<std::pair<QString, QColor>> expected = {
        {"Functional Requirements", black}, {"1 PumpF", red}, {"1.1 Café <b>&amp;F", green},
        {"1.1.1 SealF", blue}, {"2 MotorF", red},
        {"Paramètres {DP} \\ €", black}, {"1 PumpD", red}, {"1.1 Café <b>&amp;D", green},
        {"1.1.1 SealD", blue}, {"2 MotorD", red},
        {"Process Variables", black}, {"1 PumpP", red}, {"1.1 Café <b>&amp;P", green},
        {"1.1.1 SealP", blue}, {"2 MotorP", red}};
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(lines[i].text, expected[i].first) << "line " << i;
        EXPECT_EQ(lines[i].colour, expected[i].second) << "line " << i << ": " << lines[i].text.toStdString();
    }
}

} // namespace
