#pragma once
// The "Information" pane: the information ranges of one FR row, to read and
// to change. The design range is two bounds, either left empty, and a unit;
// the system range is uniform (a to b) or normal (mean and standard
// deviation), or none. Under them the row's p and I, or in red that the
// system range misses the design range, and the design's total.
//
// A field is taken when it is finished (Enter, or the focus leaving it) and
// the kind when it is chosen. Then the whole form is read: a value that is
// not a number, bounds the wrong way round, a standard deviation not above 0
// or a kind without its numbers is refused with a red message under its
// field, and nothing is asked for (a kind just chosen waits for its numbers
// without a word); otherwise the ranges are asked for through
// rangesChangeRequested. The pane never changes the design itself.

#include "model/InformationRanges.h"
#include "model/Node.h"

#include <QWidget>

#include <array>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;

namespace ui {

// A number as the user types it, read the same in every locale: "1.5", "-2",
// "1e3"; nothing for "1,5", "nan", "inf", a number too large for a double,
// or anything else.
std::optional<double> parseNumber(const QString& text);

class InformationPane : public QWidget {
    Q_OBJECT
public:
    enum class Field { Lower, Upper, Unit, First, Second };
    static constexpr int kFieldCount = 5;

    static constexpr const char* kNotANumber = "Not a number";
    static constexpr const char* kAboveUpper = "Above the upper bound";
    static constexpr const char* kBelowLower = "Below the lower bound";
    static constexpr const char* kAboveB = "Above b";
    static constexpr const char* kBelowA = "Below a";
    static constexpr const char* kNotAboveZero = "Must be above 0";
    static constexpr const char* kNeedsValue = "Needs a value";

    explicit InformationPane(QWidget* parent = nullptr);

    // The ranges of FR row `row`, node `node`, whose text (`text`, as shown
    // in the column) heads the pane. While the same node shows the same
    // ranges, the fields keep what is typed in them.
    void showRow(int row, const model::Node* node, const QString& text, const model::FrRanges& ranges);
    // No row to show: the fields are off.
    void showNothing();
    // The design's total; the line is empty when no row is counted.
    void showTotal(const model::InformationTotal& total);

    int row() const { return m_row; }
    QLabel* caption() const { return m_caption; }
    QLineEdit* field(Field f) const { return m_fields[slot(f)]; }
    // The red message under a field; empty when the field was taken.
    QLabel* message(Field f) const { return m_messages[slot(f)]; }
    QComboBox* kindBox() const { return m_kind; }
    QLabel* result() const { return m_result; }
    QLabel* total() const { return m_total; }

signals:
    void rangesChangeRequested(int row, const model::FrRanges& ranges);

private:
    static std::size_t slot(Field f) { return static_cast<std::size_t>(f); }
    void build();
    void fieldFinished(Field finished);
    void kindChosen();
    // The ranges in the fields, or nothing when a message says why not.
    std::optional<model::FrRanges> read(Field finished);
    bool readNumber(Field f, bool& has, double& value);
    void refuse(Field f, const char* why);
    void clearMessages();
    void fill(const model::FrRanges& ranges);
    void showKind(model::SystemKind kind);
    void showResult(const model::FrRanges& ranges);
    model::SystemKind chosenKind() const;

    QLabel* m_caption;
    QComboBox* m_kind;
    std::array<QLineEdit*, kFieldCount> m_fields{};
    std::array<QLabel*, kFieldCount> m_messages{};
    QLabel* m_firstName;
    QLabel* m_secondName;
    QLabel* m_result;
    QLabel* m_total;
    static constexpr int kNoRow = -1;
    int m_row = kNoRow;
    const model::Node* m_node = nullptr;
    model::FrRanges m_shown; // the row's ranges as the fields were last filled, or as last asked for
};

} // namespace ui
