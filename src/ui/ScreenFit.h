#pragma once

#include <QSize>

class QWidget;

namespace helan {

// Windows are drawn for a large screen; a school laptop has 1366×768 and a task
// bar. These keep a top-level window, frame and title included, inside the
// screen's available area.

// Resizes the window to the preferred size, or to the available area where
// that is smaller.
void resizeWithinScreen(QWidget* window, QSize preferred);
// Moves (and, if need be, shrinks) a window so that all of it is on the screen.
void keepOnScreen(QWidget* window);

} // namespace helan
