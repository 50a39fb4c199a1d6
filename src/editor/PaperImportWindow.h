#pragma once

#include <functional>

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QTableWidget;

namespace helan {

class PaperImport;

// The preview of 试题 › "从Word/文本导入…": the questions read from the paper, one
// a row with the reason when one is not complete, what was left out, and the
// choices for all of them (题型, 难度, 知识点, 保留解析). "导入" hands over to the
// import callback, which stores the ticked questions; the window closes when it
// has. Everything it shows comes from PaperImport.
class PaperImportWindow : public QDialog {
    Q_OBJECT
public:
    // Columns of the table 表格试题.
    enum Column : int {
        TickColumn,
        NumberColumn,
        GroupColumn,
        TypeColumn,
        StemColumn,
        OptionsColumn,
        AnswerColumn,
        ScoreColumn,
        PictureColumn,
        NotesColumn,
        ColumnCount,
    };

    // import: stores the ticked questions; false keeps the window open.
    PaperImportWindow(PaperImport& logic, std::function<bool()> import, QWidget* parent = nullptr);

    // Fills every row and the texts again from the logic.
    void refresh();

private:
    void tickChanged(int row, int column);
    void runImport();

    PaperImport& m_logic;
    std::function<bool()> m_import;
    QLabel* m_summary;
    QTableWidget* m_table;
    QPlainTextEdit* m_report;
    QComboBox* m_type;
    QSpinBox* m_difficulty;
    QLineEdit* m_knowledge;
    QCheckBox* m_keepExplanations;
    bool m_filling = false;
};

} // namespace helan
