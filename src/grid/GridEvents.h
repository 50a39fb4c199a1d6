#pragma once

#include <QObject>

namespace helan {

// The events of a grid. The window logic connects to these signals on the headless
// GridModel it owns; a GridView showing that model only forwards what the user does.
// A test can raise any of them directly, without a widget.
class GridEvents : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Raises editRequested; false when a handler refused the edit.
    bool requestEdit();
    // Raises keyDown; true when a handler swallowed the key.
    bool offerKey(int key, Qt::KeyboardModifiers modifiers);

Q_SIGNALS:
    // The cursor cell changed, by the user or by the program.
    void cursorMoved();
    // In-place editing of the cursor cell is about to start; clear allowed to refuse.
    void editRequested(bool& allowed);
    // Editing has started; the cell still holds its old value.
    void editBegins();
    // Editing has ended; the cell already holds the new value.
    void editEnded();
    // The user finished dragging a row's or a column's border.
    void rowResized(int row);
    void columnResized(int column);
    // A mouse click was released inside the grid (widget coordinates).
    void clicked(int x, int y);
    // A click on a header cell was released / a header cell was double-clicked.
    void headerClicked(int row, int column);
    void headerDoubleClicked(int row, int column);

    void leftButtonDown(int x, int y, Qt::KeyboardModifiers modifiers);
    void leftButtonUp(int x, int y, Qt::KeyboardModifiers modifiers);
    void rightButtonUp(int x, int y, Qt::KeyboardModifiers modifiers);
    void doubleClick(int x, int y, Qt::KeyboardModifiers modifiers);
    // A key went down; set swallowed to keep it from the grid. key is a Qt::Key.
    void keyDown(int key, Qt::KeyboardModifiers modifiers, bool& swallowed);
    // A key (an arrow, page, Home/End or Tab key) moved the cursor away from this
    // cell without starting an edit; the cursor already stands on the new cell.
    void cursorKeyMoved(int fromRow, int fromColumn);
    // These rows are now in sight (grid rows, header excluded): after a scroll,
    // a resize or a change of row heights.
    void rowsShown(int firstRow, int lastRow);
};

} // namespace helan
