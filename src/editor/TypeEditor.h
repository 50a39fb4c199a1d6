#pragma once

#include <functional>

#include <QObject>
#include <QString>

#include "grid/GridModel.h"

namespace helan {

class Prompter;
class RecordStore;

// The logic of the window "题型编辑": the question types of 题型库 in the grid
// 高级表格1, one row per record in record order. Types are added, renamed,
// described and deleted here. A type some question uses is not deleted; a type
// another course uses is not renamed; a rename is carried into the questions of
// the course being edited.
class TypeEditor : public QObject {
    Q_OBJECT
public:
    enum Column : int { NameColumn = 0, ScoreColumn = 1, DescriptionColumn = 2, AnswerLineBreakColumn = 3 };
    static constexpr int kColumnCount = 4;
    static constexpr int kButtonStrip = 48;
    static constexpr int kNarrowColumn = 55;
    static constexpr int kButtonWidth = 80;

    struct Layout {
        int gridHeight = 0;
        int columnWidths[kColumnCount] = {};
        int buttonsTop = 0;
        int deleteLeft = 0;
        int addLeft = 0;
        int scrollBarLeft = 0;
        int scrollBarTop = 0;
    };
    static Layout layoutFor(int width, int height);

    // selectedCourse: the course the bank editor is open on (its bank stays open).
    // reloadEditor: refills the bank editor's grid after a rename.
    TypeEditor(RecordStore& store, Prompter& prompter, const QString& selectedCourse,
               std::function<void()> reloadEditor, QObject* parent = nullptr);

    GridModel& grid() { return m_grid; }
    const GridModel& grid() const { return m_grid; }

    void load();
    void addType();
    void deleteType();
    // 纵向滚动条1: position p gives rows p + 24 pixels high.
    void rowHeightChanged(int position);
    bool deleteEnabled() const { return m_deleteEnabled; }

Q_SIGNALS:
    void deleteEnabledChanged(bool on);

private:
    void editBegins();
    void editEnded();
    void cursorMoved();
    void renamed(int row, const QString& oldName, const QString& typed);
    // A name check of adding: the message shown, or empty when the name may be used.
    QString refusalFor(const QString& name);
    // Whether some question of these courses has the type. Each bank opened for
    // the test is closed again, except the selected course's.
    bool usedByCourses(const QString& type, bool includeSelected);
    bool libraryRecord(int row);
    void setDeleteEnabled(bool on);

    RecordStore& m_store;
    Prompter& m_prompter;
    QString m_selectedCourse;
    std::function<void()> m_reloadEditor;
    GridModel m_grid;
    QString m_oldValue;
    bool m_deleteEnabled = false;
};

} // namespace helan
