#include "ui/DiagramWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {
namespace {

constexpr int kStartWidth = 720;
constexpr int kStartHeight = 560;

} // namespace

DiagramWindow::DiagramWindow(const QString& title, QWidget* owner)
    : QWidget(owner, Qt::Window), m_view(new ZoomView(this)), m_save(new QPushButton(QStringLiteral("Save as\u2026"), this))
{
    setWindowTitle(title);
    m_save->setObjectName(QStringLiteral("SaveAsBtn"));
    m_save->setToolTip(QStringLiteral("Save the picture as SVG or PNG"));
    auto* hint = new QLabel(QStringLiteral("Ctrl+wheel zooms"), this);
    hint->setForegroundRole(QPalette::PlaceholderText);
    auto* bar = new QHBoxLayout;
    bar->addWidget(m_save);
    bar->addStretch(1);
    bar->addWidget(hint);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(bar);
    layout->addWidget(m_view, 1);
    resize(kStartWidth, kStartHeight);
    connect(m_save, &QPushButton::clicked, this, &DiagramWindow::saveRequested);
}

} // namespace ui
