#include "ui/InformationPane.h"

#include "ui/Cp1252.h"
#include "ui/Cp1252Validator.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <charconv>
#include <utility>
#include <cmath>

namespace ui {
namespace {

using model::SystemKind;
using Field = InformationPane::Field;

constexpr const char* kRed = "color: #c62828";
constexpr const char* kCaption = "Information";
constexpr const char* kFieldWidthSample = "-0.000000001"; // a field's width: about a dozen characters

// The names of the system range's numbers, by kind.
const QString kUniformFirst = QStringLiteral("a");
const QString kUniformSecond = QStringLiteral("b");
const QString kNormalFirst = QStringLiteral("Mean \u03BC");
const QString kNormalSecond = QStringLiteral("Std. dev. \u03C3");

QString bitsOf(double bits)
{
    return QString::fromStdString(model::bitsText(bits));
}

} // namespace

std::optional<double> parseNumber(const QString& text)
{
    const QByteArray bytes = text.trimmed().toLatin1();
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-' && first[1] != '+')
        ++first; // "+2" reads as 2: from_chars knows no plus sign
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (first == last || error != std::errc() || end != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

InformationPane::InformationPane(QWidget* parent)
    : QWidget(parent), m_caption(new QLabel(this)), m_kind(new QComboBox(this)), m_firstName(new QLabel(this)),
      m_secondName(new QLabel(this)), m_result(new QLabel(this)), m_total(new QLabel(this))
{
    setObjectName(QStringLiteral("InformationPane"));
    build();
    showNothing();
}

// Design range   Lower [    ]  Upper [    ]  Unit [    ]
//                      message       message      message
// System range   [Uniform  v]      a [    ]     b [    ]
//                                    message      message
// p = 0.750, I = 0.415 bits
// Total: 2.830 bits over 4 FRs
void InformationPane::build()
{
    m_caption->setStyleSheet(QStringLiteral("font-weight: bold"));
    const int width = fontMetrics().horizontalAdvance(QString::fromLatin1(kFieldWidthSample)) + 12;
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        auto* edit = new QLineEdit(this);
        edit->setFixedWidth(width);
        m_fields[i] = edit;
        auto* message = new QLabel(this);
        // Always there, empty while nothing is refused: a message must not
        // make the pane grow and the columns above it jump.
        message->setStyleSheet(QString::fromLatin1(kRed));
        m_messages[i] = message;
        const auto f = static_cast<Field>(i);
        connect(edit, &QLineEdit::editingFinished, this, [this, f] { fieldFinished(f); });
    }
    field(Field::Lower)->setObjectName(QStringLiteral("LowerEdit"));
    field(Field::Upper)->setObjectName(QStringLiteral("UpperEdit"));
    field(Field::Unit)->setObjectName(QStringLiteral("UnitEdit"));
    field(Field::First)->setObjectName(QStringLiteral("FirstEdit"));
    field(Field::Second)->setObjectName(QStringLiteral("SecondEdit"));
    // A unit is kept in the design like a label: Windows-1252, at most 16 bytes.
    field(Field::Unit)->setMaxLength(static_cast<int>(model::kLongestUnit));
    field(Field::Unit)->setValidator(new Cp1252Validator(field(Field::Unit)));
    m_kind->setObjectName(QStringLiteral("SystemKindBox"));
    m_kind->addItem(QStringLiteral("None"), static_cast<int>(SystemKind::None));
    m_kind->addItem(QStringLiteral("Uniform"), static_cast<int>(SystemKind::Uniform));
    m_kind->addItem(QStringLiteral("Normal"), static_cast<int>(SystemKind::Normal));
    connect(m_kind, &QComboBox::activated, this, &InformationPane::kindChosen);
    // Tab goes along the form as it reads: the kind is made before the
    // fields, but comes between the unit and its two numbers.
    setTabOrder(field(Field::Lower), field(Field::Upper));
    setTabOrder(field(Field::Upper), field(Field::Unit));
    setTabOrder(field(Field::Unit), m_kind);
    setTabOrder(m_kind, field(Field::First));
    setTabOrder(field(Field::First), field(Field::Second));
    m_total->setObjectName(QStringLiteral("InformationTotal"));

    const auto name = [this](const char* text) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return label;
    };
    const auto heading = [this](const char* text) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        label->setStyleSheet(QStringLiteral("font-weight: bold"));
        return label;
    };
    m_firstName->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_secondName->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    grid->addWidget(m_caption, 0, 0, 1, 8);
    grid->addWidget(heading("Design range"), 1, 0);
    grid->addWidget(name("Lower"), 1, 1);
    grid->addWidget(field(Field::Lower), 1, 2);
    grid->addWidget(name("Upper"), 1, 3);
    grid->addWidget(field(Field::Upper), 1, 4);
    grid->addWidget(name("Unit"), 1, 5);
    grid->addWidget(field(Field::Unit), 1, 6);
    grid->addWidget(message(Field::Lower), 2, 2);
    grid->addWidget(message(Field::Upper), 2, 4);
    grid->addWidget(message(Field::Unit), 2, 6);
    grid->addWidget(heading("System range"), 3, 0);
    grid->addWidget(m_kind, 3, 1, 1, 2);
    grid->addWidget(m_firstName, 3, 3);
    grid->addWidget(field(Field::First), 3, 4);
    grid->addWidget(m_secondName, 3, 5);
    grid->addWidget(field(Field::Second), 3, 6);
    grid->addWidget(message(Field::First), 4, 4);
    grid->addWidget(message(Field::Second), 4, 6);
    grid->addWidget(m_result, 5, 0, 1, 8);
    grid->addWidget(m_total, 6, 0, 1, 8);
    grid->setColumnStretch(7, 1);
    // Wide enough for either kind's names: choosing another kind moves no field.
    const QFontMetrics metrics = fontMetrics();
    grid->setColumnMinimumWidth(3, std::max(metrics.horizontalAdvance(kUniformFirst), metrics.horizontalAdvance(kNormalFirst)));
    grid->setColumnMinimumWidth(5, std::max(metrics.horizontalAdvance(kUniformSecond), metrics.horizontalAdvance(kNormalSecond)));
    grid->setRowStretch(7, 1);
}

model::SystemKind InformationPane::chosenKind() const
{
    return static_cast<SystemKind>(m_kind->currentData().toInt());
}

void InformationPane::showNothing()
{
    m_row = kNoRow;
    m_node = nullptr;
    m_shown = {};
    m_caption->setText(QString::fromLatin1(kCaption));
    fill({});
    m_result->clear();
    for (QLineEdit* edit : m_fields)
        edit->setEnabled(false);
    m_kind->setEnabled(false);
}

void InformationPane::showRow(int row, const model::Node* node, const QString& text, const model::FrRanges& ranges)
{
    m_caption->setText(QStringLiteral("%1: %2").arg(QString::fromLatin1(kCaption), text));
    // The fields are written over only when they show another row or what
    // they showed has changed (an undo, say): not under the user's typing.
    if (node != m_node || row != m_row || ranges != m_shown) {
        m_row = row;
        m_node = node;
        m_shown = ranges;
        fill(ranges);
    }
    showResult(m_shown);
}

void InformationPane::fill(const model::FrRanges& ranges)
{
    const auto number = [](bool has, double value) {
        return has ? QString::fromStdString(model::numberText(value)) : QString();
    };
    const model::DesignRange& d = ranges.design;
    field(Field::Lower)->setText(number(d.hasLower, d.lower));
    field(Field::Upper)->setText(number(d.hasUpper, d.upper));
    field(Field::Unit)->setText(decodeCp1252(d.unit));
    const model::SystemRange& s = ranges.system;
    field(Field::First)->setText(number(s.present(), s.first));
    field(Field::Second)->setText(number(s.present(), s.second));
    m_kind->setCurrentIndex(m_kind->findData(static_cast<int>(s.kind)));
    for (QLineEdit* edit : {field(Field::Lower), field(Field::Upper), field(Field::Unit)})
        edit->setEnabled(true);
    m_kind->setEnabled(true);
    showKind(s.kind);
    clearMessages();
}

// The numbers' names follow the kind; without a kind there are none to give.
void InformationPane::showKind(model::SystemKind kind)
{
    const bool normal = kind == SystemKind::Normal;
    m_firstName->setText(normal ? kNormalFirst : kUniformFirst);
    m_secondName->setText(normal ? kNormalSecond : kUniformSecond);
    const bool on = kind != SystemKind::None && m_row != kNoRow;
    for (Field f : {Field::First, Field::Second})
        field(f)->setEnabled(on);
    m_firstName->setEnabled(on);
    m_secondName->setEnabled(on);
}

void InformationPane::showResult(const model::FrRanges& ranges)
{
    if (!ranges.complete()) {
        m_result->clear();
        return;
    }
    const double p = model::probabilityOfSuccess(ranges);
    if (p <= 0) {
        m_result->setStyleSheet(QString::fromLatin1(kRed));
        m_result->setText(QString::fromLatin1(model::kRangeMissed));
        return;
    }
    m_result->setStyleSheet(QString());
    m_result->setText(QStringLiteral("p = %1, I = %2 bits").arg(QString::number(p, 'f', 3), bitsOf(model::informationBits(p))));
}

void InformationPane::showTotal(const model::InformationTotal& total)
{
    if (total.rows == 0) {
        m_total->clear();
        return;
    }
    QString text = QStringLiteral("Total: %1 bits over %2 %3")
                       .arg(bitsOf(total.bits))
                       .arg(total.rows)
                       .arg(total.rows == 1 ? QStringLiteral("FR") : QStringLiteral("FRs"));
    if (!total.exact)
        text += QStringLiteral(" (%1)").arg(QString::fromLatin1(model::kNotIndependent));
    m_total->setText(text);
}

void InformationPane::kindChosen()
{
    if (chosenKind() == SystemKind::None) {
        field(Field::First)->clear();
        field(Field::Second)->clear();
    }
    showKind(chosenKind());
    // A kind chosen before its numbers: they are typed next, and not missed
    // yet. The focus stays on the kind, so that the arrow keys go on choosing.
    const bool noNumbers = field(Field::First)->text().trimmed().isEmpty() && field(Field::Second)->text().trimmed().isEmpty();
    if (chosenKind() != SystemKind::None && noNumbers) {
        clearMessages();
        return;
    }
    fieldFinished(Field::First);
}

void InformationPane::fieldFinished(Field finished)
{
    if (m_row == kNoRow)
        return;
    const std::optional<model::FrRanges> ranges = read(finished);
    if (!ranges || *ranges == m_shown)
        return;
    m_shown = *ranges; // asked for: what the fields now show
    emit rangesChangeRequested(m_row, *ranges);
}

void InformationPane::clearMessages()
{
    for (QLabel* message : m_messages)
        message->clear();
}

void InformationPane::refuse(Field f, const char* why)
{
    message(f)->setText(QString::fromLatin1(why));
}

bool InformationPane::readNumber(Field f, bool& has, double& value)
{
    const QString text = field(f)->text().trimmed();
    has = !text.isEmpty();
    value = 0;
    if (!has)
        return true;
    if (const std::optional<double> number = parseNumber(text)) {
        value = *number;
        return true;
    }
    refuse(f, kNotANumber);
    return false;
}

std::optional<model::FrRanges> InformationPane::read(Field finished)
{
    clearMessages();
    model::FrRanges r;
    model::DesignRange& d = r.design;
    bool ok = readNumber(Field::Lower, d.hasLower, d.lower);
    ok = readNumber(Field::Upper, d.hasUpper, d.upper) && ok;
    if (ok && d.hasLower && d.hasUpper && d.lower > d.upper) {
        // Said at the bound just typed: that is the one the user means to change.
        if (finished == Field::Upper)
            refuse(Field::Upper, kBelowLower);
        else
            refuse(Field::Lower, kAboveUpper);
        ok = false;
    }
    d.unit = encodeCp1252(field(Field::Unit)->text().trimmed()).value_or(std::string());

    model::SystemRange& s = r.system;
    s.kind = chosenKind();
    if (s.kind != SystemKind::None) {
        bool hasFirst = false;
        bool hasSecond = false;
        bool numbers = readNumber(Field::First, hasFirst, s.first);
        numbers = readNumber(Field::Second, hasSecond, s.second) && numbers;
        // A number not typed yet is only missed where the user just left it
        // empty: the other may simply be the next to be typed.
        for (auto [f, has] : {std::pair{Field::First, hasFirst}, std::pair{Field::Second, hasSecond}})
            if (!has) {
                if (f == finished)
                    refuse(f, InformationPane::kNeedsValue);
                numbers = false;
            }
        if (numbers && s.kind == SystemKind::Uniform && s.first > s.second) {
            if (finished == Field::Second)
                refuse(Field::Second, kBelowA);
            else
                refuse(Field::First, kAboveB);
            numbers = false;
        }
        if (numbers && s.kind == SystemKind::Normal && !(s.second > 0)) {
            refuse(Field::Second, kNotAboveZero);
            numbers = false;
        }
        ok = ok && numbers;
    }
    if (!ok)
        return std::nullopt;
    return model::normalised(std::move(r));
}

} // namespace ui
