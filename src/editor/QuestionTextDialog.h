#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;

namespace helan {

class BankEditor;

// The window "试题编辑": edits the text of one cell of the bank editor. Its
// caption, first text and typing limit come from the editor's dialog state;
// 确定 hands the text to the editor, which decides whether the dialog closes.
class QuestionTextDialog : public QDialog {
    Q_OBJECT
public:
    explicit QuestionTextDialog(BankEditor& editor, QWidget* parent = nullptr);
    ~QuestionTextDialog() override;

    // The content with line breaks as the bank stores them (CR LF).
    QString content() const;
    // Sets the content as the program does: the typing limit does not cut it.
    void setContent(const QString& text);

    // 取消, the close box, Escape and 复制全部: the editor hears that nothing was accepted.
    void reject() override;

private:
    void okClicked();
    void copyPasteClicked();
    void textEdited();

    BankEditor& m_editor;
    QPlainTextEdit* m_edit;
    QPushButton* m_copyPaste;
    int m_typingLimit = 0;
    bool m_settingText = false;
    QString m_lastText;
};

} // namespace helan
