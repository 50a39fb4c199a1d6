#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace helan {

// The window 程序说明: the program's description in a read-only edit box
// (编辑框1).
class ProgramHelpDialog : public QDialog {
    Q_OBJECT
public:
    explicit ProgramHelpDialog(QWidget* parent = nullptr);

private:
    QPlainTextEdit* m_text = nullptr;
};

} // namespace helan
