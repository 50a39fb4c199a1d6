#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace helan {

class PaperHeaderSettings;

// The window "卷头设置": shows the settings of PaperHeaderSettings and stores
// them through it on "确定". Modal.
class PaperHeaderWindow : public QDialog {
    Q_OBJECT
public:
    explicit PaperHeaderWindow(PaperHeaderSettings& settings, QWidget* parent = nullptr);

    void accept() override;

private:
    void showSettings();
    void takeSettings();
    void enableFields();

    PaperHeaderSettings& m_settings;
    QCheckBox* m_on;
    QLineEdit* m_title;
    QLineEdit* m_subject;
    QSpinBox* m_minutes;
    QCheckBox* m_class;
    QCheckBox* m_name;
    QCheckBox* m_number;
    QComboBox* m_numberCaption;
    QCheckBox* m_scoreTable;
    QPlainTextEdit* m_notes;
    QComboBox* m_page;
};

} // namespace helan
