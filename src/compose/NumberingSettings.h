#pragma once

#include <QObject>
#include <QSize>
#include <QString>

#include "grid/GridModel.h"

namespace helan {

class Prompter;

// The logic of the window "大题编号类型设置": the numbering styles of major
// questions. Header row: the style names (column 0's header is not read);
// column 0: the numbers 1, 2, …; column c ≥ 1: the labels of style c, row k the
// label of major question k. The nine default rows and columns 0–2 are fixed;
// rows and columns the user adds can be edited and deleted.
class NumberingSettings : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultRows = 10;   // header and nine labels
    static constexpr int kDefaultColumns = 3; // numbers, 大写, 罗马
    static constexpr int kColumnWidth = 60;

    // The file in the data folder (the working folder) the styles live in.
    static QString fileName(); // "大题编号类型"
    // Fills a grid with the default styles 大写 and 罗马.
    static void buildDefaults(GridModel& grid);

    explicit NumberingSettings(Prompter& prompter, QString path = fileName(), QObject* parent = nullptr);

    GridModel& grid() { return m_grid; }
    const GridModel& grid() const { return m_grid; }

    // The window was created: the saved styles, or the defaults when the file
    // cannot be loaded.
    void open();

    // ---- Menu "编辑"
    bool deleteMenuVisible() const { return m_deleteVisible; }
    bool lastRowItemVisible() const { return m_lastRowVisible; }
    bool currentColumnItemVisible() const { return m_currentColumnVisible; }
    void addRow();              // "添加" › "行"
    void addColumn();           // "添加" › "列"
    void deleteLastRow();       // "删除" › "末尾行"
    void deleteCurrentColumn(); // "删除" › "当前列"

    // Sizes the window takes: the grid fits its rows and columns.
    QSize gridSize() const;
    QSize windowSize() const;

    // Asked before the window closes; refuses while a label is empty.
    bool mayClose();
    // The window has closed: the styles are saved. False when the file could not
    // be written.
    bool close();

Q_SIGNALS:
    void menusChanged();
    void sizeChanged();

private:
    void refreshNumberingMenus();
    bool isFixedCell(int row, int column) const;

    Prompter& m_prompter;
    QString m_path;
    GridModel m_grid;
    bool m_deleteVisible = false;
    bool m_lastRowVisible = false;
    bool m_currentColumnVisible = false;
};

} // namespace helan
