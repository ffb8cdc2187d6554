#pragma once
// A small design for the table export tests, whose labels hold what every
// format must carry through (accents, Windows-1252's own characters such as
// € and Œ, and the characters each format must escape), with the labels
// every reader must give back; a hand-made design matrix; and the readers we
// did not write: Python's csv module, pdftotext, LibreOffice.

#include "ExportTestSupport.h"

#include "export/DesignMatrix.h"
#include "export/RtfExport.h"
#include "export/TableDocument.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace tabletest {

struct SampleRow {
    int level;
    const char* number;                     // from the row's position
    std::array<const char*, 3> stored;      // FR, DP, PV as the design holds them (Windows-1252)
    std::array<const char*, 3> label;       // what a reader must give back (UTF-8)
};

// 1 Deliver café water
//   1.1 Draw | from tank
//     1.1.1 Keep *inlet* _low_     (stored without a number)
//   1.2 Raise pressure
// 2 Report in Œuvre                (stored as "7 …": numbers come from the position)
inline const std::vector<SampleRow>& sampleRows()
{
    static const std::vector<SampleRow> rows = {
        {0, "1", {"1 Deliver caf\xE9 water", "1 Pump \"\xD8\" set", "1 Assembly, line"},
         {"Deliver café water", "Pump \"Ø\" set", "Assembly, line"}},
        {1, "1.1", {"1.1 Draw | from tank", "1.1 Suction <line> & foot", "1.1 Pipework \x80 layout"},
         {"Draw | from tank", "Suction <line> & foot", "Pipework € layout"}},
        {2, "1.1.1", {"Keep *inlet* _low_", "1.1.1 Foot [valve]", "1.1.1 Mounting height\\"},
         {"Keep *inlet* _low_", "Foot [valve]", "Mounting height\\"}},
        {1, "1.2", {"1.2 Raise pressure", "1.2 Impeller", "1.2 Casting \x93quoted\x94"},
         {"Raise pressure", "Impeller", "Casting “quoted”"}},
        {0, "2", {"7 Report in \x8Cuvre", "7 Motor", "7 -5 V supply"}, {"Report in Œuvre", "Motor", "-5 V supply"}},
    };
    return rows;
}

inline constexpr std::uint32_t kRed = 0x000000FF;       // level 1 (0x00BBGGRR)
inline constexpr std::uint32_t kResolvedBlue = 0x00D77800; // level 2, a system colour resolved

// The sample design, titles included ("Functions", "Means", "Processes").
inline std::unique_ptr<model::Design> sampleDesign()
{
    auto design = std::make_unique<model::Design>();
    design->setTitle(model::TreeId::FR, "Functions");
    design->setTitle(model::TreeId::DP, "Means");
    design->setTitle(model::TreeId::PV, "Processes");
    for (model::TreeId id : model::kAllTrees) {
        exporttest::Outline outline;
        for (const SampleRow& row : sampleRows())
            outline.push_back({row.level, row.stored[static_cast<std::size_t>(model::index(id))]});
        exporttest::fillTree(design->tree(id), outline);
    }
    return design;
}

// Level 0 window text (automatic), level 1 red, level 2 a system colour.
inline model::HeaderRecord sampleHeader()
{
    exporting::LevelColourValues colours{};
    colours[0] = model::kWindowTextColour;
    colours[1] = kRed;
    colours[2] = model::kSystemColour + 13;
    return exporttest::headerWith(colours);
}

inline exporting::TableDocument sampleDocument(const model::Design& design, const char* title = "pump café.vok")
{
    exporting::ExportSource source = exporting::exportSourceOf(design);
    source.levelColours = exporting::levelColourValues(sampleHeader());
    return exporting::TableDocument::build(source, [](std::uint32_t) { return kResolvedBlue; }, title);
}

// "1.2 FR-DP": two requirements against two parameters.
inline exporting::DesignMatrix sampleMatrix()
{
    using exporting::MatrixMark;
    return {"1.2 FR-DP", {"DP 1.2.1", "DP 1.2.2"}, {"FR 1.2.1 caf\xC3\xA9", "FR 1.2.2"},
            {MatrixMark::X, MatrixMark::Blank, MatrixMark::O, MatrixMark::X}, "Decoupled"};
}

// The rows every reader must give back: No. and the three labels.
inline std::vector<QStringList> expectedRows()
{
    std::vector<QStringList> rows;
    for (const SampleRow& row : sampleRows())
        rows.push_back({row.number, row.label[0], row.label[1], row.label[2]});
    return rows;
}

// --- readers -------------------------------------------------------------------

// The records Python's csv module reads from a file (utf-8-sig drops the BOM).
std::vector<QStringList> readCsvWithPython(const QString& path, QString* error);

// An ODT package as Python's zipfile and ElementTree read it (CRCs checked,
// every part parsed): content.xml's uncompressed size, and the texts of the
// body, one line per paragraph and one per table row (cells joined by " | ").
struct OdtText {
    qint64 contentSize = 0;
    QStringList lines;
};
OdtText readOdtWithPython(const QString& path, QString* error);

// pdftotext's text of a PDF file, page by page; -layout keeps a row on one line.
std::vector<QString> pdfPages(const QString& path, QString* error);

// A table of a document LibreOffice converted to flat ODT: the text and the
// colour ("#rrggbb", or "" for none) of every cell, row by row.
struct OdtCell {
    QString text;
    QString colour;
    bool bold = false;
};
using OdtTable = std::vector<std::vector<OdtCell>>;
std::vector<OdtTable> readTablesWithLibreOffice(const QString& path, const QString& workDir, QString* error);
bool libreOfficeInstalled();

} // namespace tabletest
