#pragma once

#include <array>

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace helan {

class CourseAdminLogic;

// The course administration dialog: three labelled edit boxes and 确定 / 取消,
// laid out and masked as its logic's mode says.
class CourseAdminDialog : public QDialog {
    Q_OBJECT
public:
    explicit CourseAdminDialog(CourseAdminLogic& logic, QWidget* parent = nullptr);

private:
    void confirm();

    CourseAdminLogic& m_logic;
    std::array<QLabel*, 3> m_labels{};
    std::array<QLineEdit*, 3> m_edits{};
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace helan
