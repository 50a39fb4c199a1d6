#pragma once

#include <QObject>
#include <QSize>
#include <QString>

#include "grid/GridModel.h"

namespace helan {

class Prompter;

// The logic of the window "题型排列颜色": background colours by position. Row n
// holds the number n and the n-th colour as the background of its cell; the
// n-th row of the composition window's type order table is painted with it.
class TypeColourSettings : public QObject {
    Q_OBJECT
public:
    // The file in the data folder (the working folder) the colours live in.
    static QString fileName(); // "题型排列颜色"
    // Loads the colours into a grid; false (and the grid unchanged) when the file
    // cannot be read.
    static bool load(GridModel& grid, const QString& path = fileName());

    // typeOrder: the composition window's type order table, painted at once when
    // a colour changes; may be null.
    TypeColourSettings(Prompter& prompter, GridModel* typeOrder, QString path = fileName(),
                       QObject* parent = nullptr);

    GridModel& grid() { return m_grid; }
    const GridModel& grid() const { return m_grid; }

    void open();

    // ---- Menu "编辑"
    // "修改" and "删除末行" are offered only on a data row.
    bool rowItemsVisible() const { return m_grid.rowCount() > 1 && m_grid.cursorRow() >= 1; }
    void addRow();        // "添加行"
    void deleteLastRow(); // "删除末行"
    void modify();        // "修改"

    QSize gridSize() const;
    QSize windowSize() const;

    // The window has closed: the colours are saved. False when the file could not
    // be written.
    bool close();

Q_SIGNALS:
    void sizeChanged();

private:
    void paintTypeRow(int row, RgbColour colour);

    Prompter& m_prompter;
    GridModel* m_typeOrder;
    QString m_path;
    GridModel m_grid;
};

} // namespace helan
