#include "ui/UpDownEdit.h"

#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

namespace ui {
namespace {

constexpr int kHeight = 21;
constexpr int kArrowWidth = 15;

} // namespace

UpDownEdit::UpDownEdit(int minimum, int maximum, int increment, QWidget* parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_minimum(minimum), m_maximum(maximum),
      m_increment(increment), m_position(std::clamp(0, minimum, maximum))
{
    m_edit->setText(QString::number(m_position));
    const int half = kHeight / 2;
    auto* up = new QToolButton(this);
    auto* down = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    for (QToolButton* arrow : {up, down}) {
        arrow->setFocusPolicy(Qt::NoFocus);
        arrow->setAutoRepeat(true);
    }
    connect(up, &QToolButton::clicked, this, [this] { step(1); });
    connect(down, &QToolButton::clicked, this, [this] { step(-1); });
    resize(121 + kArrowWidth, kHeight);
    m_edit->setGeometry(0, 0, width() - kArrowWidth, kHeight);
    up->setGeometry(width() - kArrowWidth, 0, kArrowWidth, half);
    down->setGeometry(width() - kArrowWidth, half, kArrowWidth, kHeight - half);
}

void UpDownEdit::step(int count)
{
    bool isNumber = false;
    const int typed = m_edit->text().trimmed().toInt(&isNumber);
    const int from = isNumber ? typed : m_position;
    const long long next = static_cast<long long>(from) + static_cast<long long>(count) * m_increment;
    m_position = int(std::clamp<long long>(next, m_minimum, m_maximum));
    m_edit->setText(QString::number(m_position));
}

} // namespace ui
