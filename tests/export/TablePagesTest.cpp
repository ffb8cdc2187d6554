// The PDF's pages read back with pdftotext: the column heads on every page,
// "Page n of m" at every foot, every row once and in order, long labels
// wrapped inside their own column, and a row taller than a page cut there.
#include "TableTestSupport.h"

#include "export/TableExport.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace tabletest;

namespace {

// The design: one row per entry, FR label as given, DP and PV short.
std::unique_ptr<model::Design> designWith(const std::vector<std::string>& requirements)
{
    auto design = std::make_unique<model::Design>();
    design->setTitle(model::TreeId::FR, "Functions");
    design->setTitle(model::TreeId::DP, "Means");
    design->setTitle(model::TreeId::PV, "Processes");
    for (model::TreeId id : model::kAllTrees) {
        exporttest::Outline outline;
        for (std::size_t i = 0; i < requirements.size(); ++i) {
            std::string label = "m";
            label += std::to_string(i);
            outline.push_back({i % 2 == 0 ? 0 : 1, id == model::TreeId::FR ? requirements[i] : label});
        }
        exporttest::fillTree(design->tree(id), outline);
    }
    return design;
}

QString writePdf(const QTemporaryDir& dir, const model::Design& design)
{
    exporting::NoProgress progress;
    const std::string pdf = exporting::renderTable(sampleDocument(design, "long.vok"), exporting::TableFormat::Pdf, progress);
    const QString path = dir.filePath("t.pdf");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(pdf.data(), static_cast<qint64>(pdf.size()));
    return path;
}

struct Word {
    QString text;
    double xMin, xMax, yMin;
};

// Every word of the first page with its box, from pdftotext -bbox.
std::vector<Word> wordsOfFirstPage(const QString& pdf)
{
    QProcess process;
    process.start("pdftotext", {"-bbox", "-f", "1", "-l", "1", pdf, "-"});
    EXPECT_TRUE(process.waitForFinished(60000));
    std::vector<Word> words;
    QXmlStreamReader xml(process.readAllStandardOutput());
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"word") {
            const auto a = xml.attributes();
            const double xMin = a.value("xMin").toDouble(), xMax = a.value("xMax").toDouble();
            const double yMin = a.value("yMin").toDouble();
            words.push_back({xml.readElementText(), xMin, xMax, yMin});
        }
    }
    return words;
}

TEST(TablePages, EveryPageRepeatsTheHeadsAndIsNumberedAndEveryRowComesOnceInOrder)
{
    std::vector<std::string> labels;
    for (int i = 0; i < 150; ++i)
        labels.push_back(std::string("row") + std::to_string(i) + "x");
    QTemporaryDir dir;
    QString error;
    const std::vector<QString> pages = pdfPages(writePdf(dir, *designWith(labels)), &error);
    ASSERT_EQ(error, "");
    ASSERT_GE(pages.size(), 3u);
    const QRegularExpression heads("No\\.\\s+Functions\\s+Means\\s+Processes");
    QString all;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        EXPECT_TRUE(pages[p].contains(heads)) << "page " << p + 1;
        EXPECT_TRUE(pages[p].contains(QStringLiteral("Page %1 of %2").arg(p + 1).arg(pages.size()))) << p + 1;
        all += pages[p];
    }
    qsizetype from = 0;
    for (const std::string& label : labels) {
        const QString text = QString::fromStdString(label);
        const qsizetype at = all.indexOf(text, from);
        ASSERT_GE(at, 0) << label << " missing or out of order";
        EXPECT_EQ(all.indexOf(text, at + 1), -1) << label << " twice";
        from = at;
    }
}

TEST(TablePages, LongLabelsWrapWithinTheirColumn)
{
    std::string sentence;
    for (int i = 0; i < 60; ++i)
        sentence.append("w").append(std::to_string(i)).append(" ");
    const std::string unbroken(300, 'k');
    QTemporaryDir dir;
    const std::vector<Word> words = wordsOfFirstPage(writePdf(dir, *designWith({sentence, unbroken, "after"})));

    const auto means = std::find_if(words.begin(), words.end(), [](const Word& w) { return w.text == "Means"; });
    ASSERT_NE(means, words.end());
    std::set<double> sentenceLines;
    QString unbrokenSeen;
    for (const Word& w : words) {
        const bool ofSentence = w.text.startsWith('w') && w.text.size() <= 3;
        if (ofSentence)
            sentenceLines.insert(w.yMin);
        if (w.text.startsWith("kkk"))
            unbrokenSeen += w.text;
        if (ofSentence || w.text.startsWith("kkk")) {
            EXPECT_LT(w.xMax, means->xMin) << w.text.toStdString() << " runs into the next column";
        }
    }
    EXPECT_GE(sentenceLines.size(), 3u);
    EXPECT_EQ(unbrokenSeen.toStdString(), unbroken);
    EXPECT_TRUE(std::any_of(words.begin(), words.end(), [](const Word& w) { return w.text == "after"; }));
}

TEST(TablePages, RowTallerThanAPageIsCutAndTheNextRowFollows)
{
    std::string huge;
    for (int i = 0; i < 4000; ++i)
        huge += "word ";
    QTemporaryDir dir;
    QString error;
    const std::vector<QString> pages = pdfPages(writePdf(dir, *designWith({"before", huge, "after"})), &error);
    ASSERT_EQ(error, "");
    ASSERT_EQ(pages.size(), 3u); // before; the cut row alone; after
    EXPECT_TRUE(pages[0].contains("before"));
    EXPECT_TRUE(pages[1].contains("word word"));
    EXPECT_TRUE(pages[2].contains("after"));
}

} // namespace
