#pragma once

#include <QDialog>

namespace helan {

// Opens in the place of a window that is not part of the program yet, so that
// the main window's flow can be used end to end.
class StandInWindow : public QDialog {
    Q_OBJECT
public:
    StandInWindow(const QString& caption, const QString& course, QWidget* parent = nullptr);
};

} // namespace helan
