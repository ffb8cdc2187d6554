#include "ui/MatrixGrid.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace ui {
namespace {

constexpr int kCellSize = 24;

} // namespace

MatrixGrid::MatrixGrid(QWidget* parent) : QTableView(parent)
{
    setModel(&m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setDefaultSectionSize(kCellSize + 12); // room for numbers such as 1.12
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(kCellSize);
    verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { request(index, cycled(m_model.cell(index.row(), index.column()))); });
    connect(verticalHeader(), &QHeaderView::sectionDoubleClicked, this, &MatrixGrid::rowOpened);
}

model::CellValue MatrixGrid::cycled(model::CellValue value)
{
    switch (value) {
    case model::CellValue::NotAssessed:
        return model::CellValue::X;
    case model::CellValue::X:
        return model::CellValue::O;
    case model::CellValue::O:
        break;
    }
    return model::CellValue::NotAssessed;
}

void MatrixGrid::request(const QModelIndex& index, model::CellValue value)
{
    if (index.isValid() && index.row() != index.column())
        emit cellRequested(index.row(), index.column(), value);
}

std::optional<model::CellValue> cellValueOfKey(int key)
{
    switch (key) {
    case Qt::Key_X:
        return model::CellValue::X;
    case Qt::Key_O:
    case Qt::Key_0:
        return model::CellValue::O;
    case Qt::Key_Delete:
    case Qt::Key_Space:
        return model::CellValue::NotAssessed;
    default:
        return std::nullopt;
    }
}

void MatrixGrid::keyPressEvent(QKeyEvent* event)
{
    if (const std::optional<model::CellValue> value = cellValueOfKey(event->key())) {
        request(currentIndex(), *value);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (currentIndex().isValid())
            emit rowOpened(currentIndex().row());
        return;
    default:
        QTableView::keyPressEvent(event);
    }
}

} // namespace ui
