#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace helan {

class DifficultyNoteLogic;

// The window 难度说明: the selected course's difficulty description in one
// multi-line edit (编辑框2), written back when the window closes.
class DifficultyNoteDialog : public QDialog {
    Q_OBJECT
public:
    explicit DifficultyNoteDialog(DifficultyNoteLogic& logic, QWidget* parent = nullptr);

    void done(int result) override;

private:
    DifficultyNoteLogic& m_logic;
    QPlainTextEdit* m_edit = nullptr;
};

} // namespace helan
