#pragma once
// The flow diagram: the design's system architecture drawn from its trees and
// FR-DP matrices. Every leaf DP is a module box ("1.2.1 Impeller diameter");
// the children of a row with two or more of them (and the top-level rows,
// when there are two or more) come together at a junction whose letter the
// row's FR-DP matrix chooses:
//   S  summation   uncoupled: the children side by side;
//   C  control     decoupled: the children in the order to set them, an
//                  arrow from each to the next;
//   F  feedback    coupled: the children in row order, an arrow back from the
//                  last to the first;
//   ?              the matrix is not fully assessed.
// A parent's box, headed by its DP number and label, encloses its children
// and their junction; a parent with one child just encloses it.
//
// Children stand one under another, so that the picture grows downwards,
// level inside level, and a design of hundreds of rows still reads: each
// child's output runs right to a line collecting them into the junction, and
// the junction's output leaves its parent's box on the right.
//
// The layout is geometry alone, in pixels of a 12 px font: the window, the
// SVG and PNG pictures and the documents paint the same one. Texts are
// Unicode (labels are Windows-1252 in the design).

#include "export/ExportDocument.h"
#include "export/FileWriter.h"

#include <QFont>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QPainter;

namespace exporting {

enum class Junction : char { Summation = 'S', Control = 'C', Feedback = 'F', Incomplete = '?' };

struct FlowBox {
    QRectF rect;
    int row = 0;       // the DP's row
    int depth = 0;     // 0 for a top-level row
    bool module = true; // a leaf; otherwise the box of a parent around its children
};

// One line of a label: a module's, or a parent's title (bold).
struct FlowText {
    QRectF rect; // the line's box: its width and the font's line height
    QString text;
    bool title = false;
};

struct FlowJunction {
    QPointF centre;
    int parentRow = 0; // -1 (model::kNoRow) for the top level
    Junction kind = Junction::Incomplete;
};

struct FlowArrow {
    enum class Kind { Flow, Order, Feedback };
    QPolygonF path;
    Kind kind = Kind::Flow;
    bool head = true; // an arrowhead at the last point; a connecting line has none
};

struct FlowLayout {
    static constexpr double kJunctionRadius = 10;

    QSizeF size;   // nothing for an empty design
    QFont font;    // the labels'; titles in its bold
    double ascent = 0;
    std::vector<FlowBox> boxes;       // parents before their children
    std::vector<FlowText> texts;
    std::vector<FlowJunction> junctions;
    std::vector<FlowArrow> arrows;
    // Heights where a page may cut the picture: the gaps between one child and the next. Ascending.
    std::vector<double> breaks;

    bool empty() const { return boxes.empty(); }
};

// The flow diagram of a design; empty when it has no rows. Measures its texts
// with Qt's fonts: a QGuiApplication must exist.
FlowLayout layoutFlowDiagram(const ExportSource& source);

// Paints the layout at the painter's origin, one layout pixel to one unit of
// its coordinates. Only what meets `visible` (layout coordinates) when it is
// given. `onScreen`: texts too small to read are drawn as grey bars, which
// keeps a zoomed-out view of a large design quick.
void paintFlowDiagram(QPainter& painter, const FlowLayout& layout, const QRectF& visible = {}, bool onScreen = false);

// The picture as an SVG document (UTF-8), each text an SVG <text> element.
std::string renderFlowSvg(const FlowLayout& layout);
// The picture as a PNG on white, `scale` image pixels to a layout pixel; only
// the layout's rows from `top` to `bottom` when those are given.
std::string renderFlowPng(const FlowLayout& layout, double scale, double top = 0, double bottom = -1);

enum class PictureFormat { Svg, Png };
inline constexpr std::string_view kSvgExtension = ".svg";
inline constexpr std::string_view kPngExtension = ".png";
// A PNG saved from the window: two image pixels to a layout pixel, sharp on a fine screen.
inline constexpr double kSavedPngScale = 2;

// The format a file name's extension asks for (in any letter case); nothing for any other.
std::optional<PictureFormat> pictureFormatOfPath(std::string_view path);

// Writes the picture to `path` in one piece. Throws model::UserError "Cannot
// create file <path>" when it cannot be written.
void writeFlowPicture(const FlowLayout& layout, PictureFormat format, const std::string& path, FileWriter& writer);

// Where a piece of the picture that begins at `top` and may be `room` high
// ends, for a page: at the lowest gap between two children that fits, or
// through whatever is there when no gap leaves the piece a third full; at the
// picture's bottom when the rest fits.
double flowCut(const FlowLayout& layout, double top, double room);

} // namespace exporting
