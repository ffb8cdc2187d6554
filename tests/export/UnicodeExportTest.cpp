// Labels and titles beyond Windows-1252, and notes, in every export, read
// back by readers we did not write where there are some (Python for CSV and
// ODT, Qt for HTML and Markdown, pdftotext for the PDF).
#include "ExportTestSupport.h"
#include "RtfReadBack.h"
#include "TableTestSupport.h"

#include "export/RtfExport.h"
#include "export/TableExport.h"
#include "model/Design.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

using exporting::TableFormat;
using exporttest::fillDesign;

constexpr const char* kKorean = "\xED\x8E\x8C\xED\x94\x84 \xEC\x9C\xA0\xEB\x9F\x89";      // 펌프 유량
constexpr const char* kDelta = "\xCE\x94T \xE2\x89\xA4 2 K";                                // ΔT ≤ 2 K
constexpr const char* kBeyondBmp = "Seal \xF0\x9F\x94\xA7 caf\xC3\xA9";                    // Seal 🔧 café
constexpr const char* kTitle = "Anforderungen \xE2\x86\x92 \xE6\xB5\x81\xE9\x87\x8F";        // Anforderungen → 流量
constexpr const char* kNote = "First line \xE2\x80\x94 \xCE\xB7 = 0.8\nSecond line";          // First line — η = 0.8

// 1 Pump, 1.1 Seal, 2 Motor; full labels on FR 1, DP 1.1 and PV 2, a full FR
// title, and (when asked) a two-line note on DP 1.1.
std::unique_ptr<model::Design> unicodeDesign(bool withNote)
{
    auto design = std::make_unique<model::Design>();
    fillDesign(*design, {{0, "1 Pump"}, {1, "1.1 Seal"}, {0, "2 Motor"}});
    design->editFullLabel(model::TreeId::FR, 0, kKorean);
    design->editFullLabel(model::TreeId::DP, 1, kDelta);
    design->editFullLabel(model::TreeId::PV, 2, kBeyondBmp);
    design->setFullTitle(model::TreeId::FR, kTitle);
    if (withNote)
        design->setNote(model::TreeId::DP, 1, kNote);
    return design;
}

TEST(UnicodeRtf, FullTextsComeBackAndTheNoteStandsSmallerUnderItsNode)
{
    const std::unique_ptr<model::Design> design = unicodeDesign(true);
    const std::string rtf = exporting::renderRtf(exporting::exportSourceOf(*design), {});
    EXPECT_TRUE(std::all_of(rtf.begin(), rtf.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
    EXPECT_NE(rtf.find("\\u-10179?\\u-8921?"), std::string::npos) << "U+1F527 as two signed surrogates";
    EXPECT_NE(rtf.find("caf\\'e9"), std::string::npos) << "the code page's characters stay bytes";

    const readback::Document doc = readback::read(rtf);
    ASSERT_EQ(doc.error, "");
    std::vector<std::string> texts;
    for (const readback::Paragraph& p : doc.paragraphs)
        texts.push_back(p.utf8);
    const std::vector<std::string> expected = {
        kTitle, std::string("1 ") + kKorean, "1.1 SealF", "2 MotorF",
        "", "1 PumpD", std::string("1.1 ") + kDelta, "First line \xE2\x80\x94 \xCE\xB7 = 0.8\nSecond line",
        "2 MotorD", "", "1 PumpP", "1.1 SealP", std::string("2 ") + kBeyondBmp};
    EXPECT_EQ(texts, expected);
    ASSERT_EQ(doc.paragraphs.size(), expected.size());
    EXPECT_EQ(doc.paragraphs[6].halfPoints, 16);
    EXPECT_EQ(doc.paragraphs[7].halfPoints, 14) << "the note";
    EXPECT_EQ(doc.paragraphs[8].halfPoints, 16) << "back to the body's size";
}

QString render(const model::Design& design, TableFormat format, const QTemporaryDir& dir)
{
    const exporting::TableDocument document =
        exporting::TableDocument::build(exporting::exportSourceOf(design), {}, "pump.vok");
    exporting::NoProgress progress;
    const QString path = dir.filePath(QStringLiteral("t") + QString::fromLatin1(exporting::extensionOf(format)));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(exporting::renderTable(document, format, progress)));
    return path;
}

// Each format's text as a reader of it gives it back.
QString readBack(TableFormat format, const QString& path)
{
    QString error;
    QString text;
    QFile file(path);
    switch (format) {
    case TableFormat::Csv:
        for (const QStringList& record : tabletest::readCsvWithPython(path, &error))
            text += record.join(QStringLiteral(" | ")) + QLatin1Char('\n');
        break;
    case TableFormat::Odt:
        text = tabletest::readOdtWithPython(path, &error).lines.join(QLatin1Char('\n'));
        break;
    case TableFormat::Pdf:
        for (const QString& page : tabletest::pdfPages(path, &error))
            text += page;
        break;
    case TableFormat::Html:
    case TableFormat::Markdown: {
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QTextDocument document;
        if (format == TableFormat::Html)
            document.setHtml(QString::fromUtf8(file.readAll()));
        else
            document.setMarkdown(QString::fromUtf8(file.readAll()));
        text = document.toPlainText();
        break;
    }
    }
    EXPECT_EQ(error, "");
    return text;
}

class UnicodeTable : public testing::TestWithParam<TableFormat> {};

TEST_P(UnicodeTable, HoldsEveryFullTextAndANotesColumnOnlyWithNotes)
{
    if (GetParam() == TableFormat::Pdf && QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed (scripts/install-deps installs it)";
    QTemporaryDir dir;
    for (const bool withNote : {false, true}) {
        const std::unique_ptr<model::Design> design = unicodeDesign(withNote);
        const QString text = readBack(GetParam(), render(*design, GetParam(), dir));
        for (const char* full : {kKorean, kDelta, kBeyondBmp, kTitle}) {
            // pdftotext gives no character the fonts here lack; the others must all come back.
            if (GetParam() == TableFormat::Pdf && full == kBeyondBmp)
                continue;
            EXPECT_TRUE(text.contains(QString::fromUtf8(full))) << full << " with note " << withNote;
        }
        EXPECT_EQ(text.count(QStringLiteral("Notes")), withNote ? 3 : 0) << text.toStdString();
        // Each line of the note, whatever the format makes of the break between them.
        for (const char* line : {"First line \xE2\x80\x94 \xCE\xB7 = 0.8", "Second line"})
            EXPECT_EQ(text.contains(QString::fromUtf8(line)), withNote) << line;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, UnicodeTable,
                         testing::Values(TableFormat::Odt, TableFormat::Html, TableFormat::Pdf, TableFormat::Csv,
                                         TableFormat::Markdown),
                         [](const testing::TestParamInfo<TableFormat>& info) {
                             return std::string(exporting::extensionOf(info.param).substr(1));
                         });

} // namespace
