#include "compose/NumberingSettings.h"

#include "base/Prompter.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

bool isBlank(const QString& text) {
    for (const QChar c : text) {
        if (c != u' ' && c != QChar(0x3000))
            return false;
    }
    return true;
}

} // namespace

QString NumberingSettings::fileName() {
    return u"大题编号类型"_s;
}

void NumberingSettings::buildDefaults(GridModel& grid) {
    static const char16_t* const kUpper[] = {u"一", u"二", u"三", u"四", u"五", u"六", u"七", u"八", u"九"};
    grid.setColumnCount(kDefaultColumns);
    grid.setRowCount(kDefaultRows);
    grid.setText(0, 0, u"序号"_s);
    grid.setText(0, 1, u"大写"_s);
    grid.setText(0, 2, u"罗马"_s);
    for (int k = 1; k < kDefaultRows; ++k) {
        grid.setText(k, 0, QString::number(k));
        grid.setText(k, 1, QString::fromUtf16(kUpper[k - 1]));
        // Ⅰ … Ⅸ: the single full-width Roman numerals GBK has.
        grid.setText(k, 2, QString(QChar(char16_t(0x2160 + k - 1))));
    }
    for (int c = 0; c < kDefaultColumns; ++c)
        grid.setColumnWidth(c, kColumnWidth);
    grid.setAlignment(CellRange(0, 0, kDefaultRows - 1, kDefaultColumns - 1), CellAlignment::Centre);
}

NumberingSettings::NumberingSettings(Prompter& prompter, QString path, QObject* parent)
    : QObject(parent), m_prompter(prompter), m_path(std::move(path)), m_grid(kDefaultColumns) {
    GridEvents& events = m_grid.events();
    connect(&events, &GridEvents::cursorMoved, this, [this] { refreshNumberingMenus(); });
    connect(&events, &GridEvents::columnResized, this, [this] { Q_EMIT sizeChanged(); });
    // The switch follows the cursor; this also covers edits started from the keyboard.
    connect(&events, &GridEvents::editRequested, this, [this](bool& allowed) {
        if (isFixedCell(m_grid.cursorRow(), m_grid.cursorColumn()))
            allowed = false;
    });
}

void NumberingSettings::open() {
    if (!m_grid.load(m_path))
        buildDefaults(m_grid);
    m_grid.setCursor(1, 0);
    refreshNumberingMenus();
    Q_EMIT sizeChanged();
}

bool NumberingSettings::isFixedCell(int row, int column) const {
    return row < kDefaultRows && column < kDefaultColumns;
}

void NumberingSettings::refreshNumberingMenus() {
    const bool extraRows = m_grid.rowCount() > kDefaultRows;
    const bool extraColumn = m_grid.cursorColumn() >= kDefaultColumns;
    m_deleteVisible = extraRows || extraColumn;
    m_lastRowVisible = extraRows;
    m_currentColumnVisible = extraColumn;
    m_grid.setEditingAllowed(!isFixedCell(m_grid.cursorRow(), m_grid.cursorColumn()));
    Q_EMIT menusChanged();
}

void NumberingSettings::addRow() {
    const int row = m_grid.appendRow();
    m_grid.setText(row, 0, QString::number(row));
    m_grid.setAlignment(CellRange(row, 0, row, m_grid.columnCount() - 1), CellAlignment::Centre);
    refreshNumberingMenus();
    Q_EMIT sizeChanged();
}

void NumberingSettings::addColumn() {
    const std::optional<QString> title = m_prompter.input(u"请输入添加列的标题："_s, QString());
    if (!title || isBlank(*title))
        return;
    const int column = m_grid.appendColumn();
    m_grid.setText(0, column, *title);
    m_grid.setColumnWidth(column, kColumnWidth);
    m_grid.setAlignment(CellRange(0, column, m_grid.rowCount() - 1, column), CellAlignment::Centre);
    refreshNumberingMenus();
    Q_EMIT sizeChanged();
}

void NumberingSettings::deleteLastRow() {
    if (m_grid.rowCount() <= kDefaultRows)
        return;
    m_grid.removeRow(m_grid.rowCount() - 1);
    refreshNumberingMenus();
    Q_EMIT sizeChanged();
}

void NumberingSettings::deleteCurrentColumn() {
    const int column = m_grid.cursorColumn();
    if (column < kDefaultColumns)
        return;
    m_grid.removeColumn(column);
    // The cursor may now sit in a fixed column: the menus and the switch follow it.
    m_grid.setCursor(m_grid.cursorRow(), std::min(column, m_grid.columnCount() - 1));
    refreshNumberingMenus();
    Q_EMIT sizeChanged();
}

QSize NumberingSettings::gridSize() const {
    int width = 0;
    for (int c = 0; c < m_grid.columnCount(); ++c)
        width += m_grid.columnWidth(c);
    return QSize(width + 15, m_grid.rowCount() * GridModel::kDefaultRowHeight + 15);
}

QSize NumberingSettings::windowSize() const {
    const QSize grid = gridSize();
    return QSize(grid.width(), grid.height() + 44);
}

bool NumberingSettings::mayClose() {
    for (int r = 1; r < m_grid.rowCount(); ++r) {
        for (int c = 1; c < m_grid.columnCount(); ++c) {
            if (isBlank(m_grid.text(r, c))) {
                m_prompter.message(u"请完善大题编号！"_s);
                return false;
            }
        }
    }
    return true;
}

bool NumberingSettings::close() {
    if (m_grid.save(m_path))
        return true;
    m_prompter.message(u"大题编号类型未能保存到文件 "_s + m_path + u"！"_s, {}, Prompter::Icon::Error);
    return false;
}

} // namespace helan
