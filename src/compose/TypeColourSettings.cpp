#include "compose/TypeColourSettings.h"

#include "base/Prompter.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

constexpr RgbColour kRgbMask = 0xFFFFFF;

} // namespace

QString TypeColourSettings::fileName() {
    return u"题型排列颜色"_s;
}

bool TypeColourSettings::load(GridModel& grid, const QString& path) {
    return grid.load(path);
}

TypeColourSettings::TypeColourSettings(Prompter& prompter, GridModel* typeOrder, QString path,
                                       QObject* parent)
    : QObject(parent), m_prompter(prompter), m_typeOrder(typeOrder), m_path(std::move(path)), m_grid(1) {
    m_grid.setEditingAllowed(false);
}

void TypeColourSettings::open() {
    if (!m_grid.load(m_path)) {
        m_grid.setColumnCount(1);
        m_grid.setRowCount(1);
        m_grid.setText(0, 0, u"序号"_s);
        m_grid.setAlignment(CellRange(0, 0), CellAlignment::Centre);
    }
    // Colours are chosen through the menu only.
    m_grid.setEditingAllowed(false);
    Q_EMIT sizeChanged();
}

void TypeColourSettings::paintTypeRow(int row, RgbColour colour) {
    if (m_typeOrder && row >= 1 && row < m_typeOrder->rowCount())
        m_typeOrder->setColour(CellRange(row, 0, row, m_typeOrder->columnCount() - 1), colour);
}

void TypeColourSettings::addRow() {
    const std::optional<unsigned int> chosen = m_prompter.chooseColour(0xFFFFFFFF);
    if (!chosen)
        return;
    const RgbColour colour = *chosen & kRgbMask;
    const int row = m_grid.appendRow();
    m_grid.setText(row, 0, QString::number(row));
    m_grid.setAlignment(CellRange(row, 0), CellAlignment::Centre);
    m_grid.setColour(CellRange(row, 0), colour);
    paintTypeRow(row, colour);
    Q_EMIT sizeChanged();
}

void TypeColourSettings::deleteLastRow() {
    if (m_grid.rowCount() <= 1)
        return;
    m_grid.removeRow(m_grid.rowCount() - 1);
    Q_EMIT sizeChanged();
}

void TypeColourSettings::modify() {
    const int row = m_grid.cursorRow();
    if (!rowItemsVisible())
        return;
    const std::optional<unsigned int> chosen = m_prompter.chooseColour(0xFF000000 | m_grid.colour(row, 0));
    if (!chosen)
        return;
    const RgbColour colour = *chosen & kRgbMask;
    m_grid.setColour(CellRange(row, 0), colour);
    paintTypeRow(row, colour);
}

QSize TypeColourSettings::gridSize() const {
    int height = 0;
    for (int r = 0; r < m_grid.rowCount(); ++r)
        height += m_grid.rowHeight(r);
    return QSize(m_grid.columnWidth(0) + 20, height + 4);
}

QSize TypeColourSettings::windowSize() const {
    const QSize grid = gridSize();
    return QSize(std::max(grid.width(), 160), grid.height() + 28);
}

bool TypeColourSettings::close() {
    if (m_grid.save(m_path))
        return true;
    m_prompter.message(u"题型排列颜色未能保存到文件 "_s + m_path + u"！"_s, {}, Prompter::Icon::Error);
    return false;
}

} // namespace helan
