#include "ui/ScreenFit.h"

#include <algorithm>

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace helan {

namespace {

QRect availableArea(const QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1366, 768);
}

// Title bar and borders: known once the window is shown; before that, what a
// common window manager draws.
QSize frameExtra(const QWidget* window) {
    const QSize extra = window->frameGeometry().size() - window->geometry().size();
    if (window->isVisible() && extra.width() >= 0 && extra.height() > 0)
        return extra;
    return {8, 36};
}

} // namespace

void resizeWithinScreen(QWidget* window, QSize preferred) {
    const QRect area = availableArea(window);
    const QSize extra = frameExtra(window);
    window->resize(std::min(preferred.width(), area.width() - extra.width()),
                   std::min(preferred.height(), area.height() - extra.height()));
}

void keepOnScreen(QWidget* window) {
    const QRect area = availableArea(window);
    const QSize extra = frameExtra(window);
    const QSize size(std::min(window->width(), area.width() - extra.width()),
                     std::min(window->height(), area.height() - extra.height()));
    if (size != window->size())
        window->resize(size);
    const QSize outer = size + extra;
    const int x = std::clamp(window->x(), area.left(), area.left() + area.width() - outer.width());
    const int y = std::clamp(window->y(), area.top(), area.top() + area.height() - outer.height());
    if (x != window->x() || y != window->y())
        window->move(x, y);
}

} // namespace helan
