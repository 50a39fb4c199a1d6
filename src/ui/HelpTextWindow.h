#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

namespace helan {

// A window that shows a fixed help text in a read-only box (编辑框1, 宋体). Not modal.
class HelpTextWindow : public QWidget {
    Q_OBJECT
public:
    HelpTextWindow(const QString& caption, const QString& text, int pointSize, QSize size,
                   QWidget* parent = nullptr);
};

} // namespace helan
