#pragma once

#include <QApplication>
#include <QCursor>

namespace helan {

// The wait cursor while something long runs on the window's own thread (opening
// a bank of 100,000 questions, writing a whole-bank paper). The events already
// waiting are handled first, so that the cursor and any status text set before
// show at once; clicks are not, so nothing starts twice.
class BusyCursor {
public:
    BusyCursor() {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace helan
