#pragma once

#include <functional>

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include "compose/PaperTally.h"
#include "grid/GridModel.h"

namespace helan {

class Prompter;
class RecordStore;
class WordProcessor;

// The logic of the window "组卷": paper A and paper B composed by ticking the
// questions of one course. QuestionGrid is a working copy of the bank: which
// questions are in which paper lives only in its two check-box columns and is
// lost when the window closes; edited 难度, 分值, 定分 and 屏蔽 reach the bank
// through writeBackQuestions, always by the record ID of the hidden last column,
// because rows move when they are sorted. Owns every grid of the window and its
// state, handles the grids' events and talks to the user only through the
// Prompter. The window shows what this class holds and forwards what the user does.
class PaperComposer : public QObject {
    Q_OBJECT
public:
    // QuestionGrid (高级表格1).
    enum Column : int {
        KnowledgeColumn = 0,
        GroupNameColumn = 1,
        GroupNumberColumn = 2,
        StemText1Column = 3,
        StemPictureColumn = 4,
        StemText2Column = 5,
        TypeColumn = 6,
        DifficultyColumn = 7,
        ScoreColumn = 8,
        FixedScoreColumn = 9,
        BlockedColumn = 10,
        PaperAColumn = 11,
        PaperBColumn = 12,
        RecordIdColumn = 13,
    };
    static constexpr int kColumnCount = 14;

    // TypeOrderTable (高级表格题型排序分值).
    enum TypeOrderColumn : int {
        OrderColumn = 0,
        TypeNameColumn = 1,
        TypeScoreColumn = 2,
        AnswerLineBreakColumn = 3,
        TypeRecordIdColumn = 4,
    };
    static constexpr int kTypeOrderColumnCount = 5;

    enum class Paper { A, B };
    // The output choice "输出": the word processor, HTML or PDF.
    enum class Output { Word, Html, Pdf };
    // "全选(&X)", "清空(&Q)", "取反(&F)".
    enum class BoxOperation { CheckAll, ClearAll, Invert };

    // What the preview window shows for a question.
    struct Preview {
        QString stem1;
        QByteArray stemPicture;
        QString stem2;
    };

    // Work that later parts of the program plug in; the composer only routes to it.
    struct Hooks {
        // "生成A卷" / "生成B卷": assembles and writes the paper ("A卷" / "B卷").
        std::function<void(PaperComposer& composer, const QString& paper)> generatePaper;
        // Double click on a question: the window 试题预览, modal.
        std::function<void(const Preview& preview)> previewQuestion;
        // The window 大题编号类型设置, modal; it saves the styles when it closes.
        std::function<void()> runNumberingSettings;
        // The window 题型排列颜色, modal.
        std::function<void()> runTypeColours;
        // The window 难度说明, modal; the new description comes back through
        // setDifficultyNote.
        std::function<void()> runDifficultyNote;
        // Shows AutoComposer without blocking; autoComposerClosed() when it goes.
        std::function<void()> showAutoComposer;
        // Closes AutoComposer (it calls autoComposerClosed()).
        std::function<void()> closeAutoComposer;
        // Shows a folder in the desktop's file manager; false when nothing could.
        std::function<bool(const QString& folder)> openFolder;
        // "打印…": prints the last generated paper and its answer sheet.
        std::function<void(PaperComposer& composer)> printPapers;
    };

    static constexpr int kRowHeightMinimum = 1;
    static constexpr int kRowHeightMaximum = 200;
    static constexpr int kRowHeightExtra = 24;

    // The course's bank must be open under the course name as alias.
    PaperComposer(RecordStore& store, Prompter& prompter, const QString& courseName,
                  const WordProcessor& word, QObject* parent = nullptr);
    // Writes the questions back if close() has not run.
    ~PaperComposer() override;

    void setHooks(Hooks hooks) { m_hooks = std::move(hooks); }
    Hooks& hooks() { return m_hooks; }
    RecordStore& store() { return m_store; }
    Prompter& prompter() { return m_prompter; }

    // ---- Grids
    GridModel& questionGrid() { return m_questions; }
    const GridModel& questionGrid() const { return m_questions; }
    GridModel& typeOrderTable() { return m_typeOrder; }
    const GridModel& typeOrderTable() const { return m_typeOrder; }
    GridModel& paperTypeScores(Paper paper) { return paper == Paper::A ? m_scoresA : m_scoresB; }
    const GridModel& paperTypeScores(Paper paper) const { return paper == Paper::A ? m_scoresA : m_scoresB; }
    GridModel& numberingTable() { return m_numbering; }
    const GridModel& numberingTable() const { return m_numbering; }
    GridModel& typeColourTable() { return m_colours; }
    // The hidden work grids of paper generation (WorkList, AssembledPaper); their
    // columns come with the generation.
    GridModel& workList() { return m_workList; }
    GridModel& assembledPaper() { return m_assembled; }

    // ---- Opening and closing
    // The window was created: output choice, difficulty description, the grids,
    // the paper state and the numbering styles.
    void open();
    // The window goes: the questions are written back. Runs once.
    void close();
    // Before the window goes: the ticks of both papers go with it, so the
    // teacher is asked first when there are any. True when it may close.
    bool mayClose();

    void loadQuestionGrid();
    void buildTypeOrderTable();
    void loadNumberingStyles();
    void recomputePaperState();
    void updateGenerateButtons();
    // Stores 难度, 分值, 定分 and 屏蔽 of every row in one transaction.
    bool writeBackQuestions();
    void applyTypeColours();
    void sortComposerByGroup(bool ascending);

    // ---- What the window shows
    const QString& courseName() const { return m_courseName; }
    QString caption() const { return m_caption; }
    int questionCount() const { return m_questionCount; }
    QString difficultyNote() const { return m_difficultyNote; }
    void setDifficultyNote(const QString& text);
    bool outputChoiceEnabled() const { return m_outputChoiceEnabled; }
    bool wordSelected() const { return m_output == Output::Word; }
    void setWordSelected(bool on);
    Output output() const { return m_output; }
    // Without a word processor only "html" and "pdf" can be chosen.
    void setOutput(Output output) {
        if (output != Output::Word || m_outputChoiceEnabled)
            m_output = output;
        changed();
    }
    QString totalText(Paper paper) const { return paper == Paper::A ? m_totalA : m_totalB; }
    QString similarityText() const { return m_similarity; }
    // The integer part of 100 × common ÷ the larger total; 0 when both are empty.
    static qint64 similarityPercent(qint64 common, qint64 totalA, qint64 totalB);
    bool generateEnabled(Paper paper) const { return paper == Paper::A ? m_generateA : m_generateB; }
    QString compositionTime() const { return m_compositionTime; }
    QString generationTime() const { return m_generationTime; }
    bool groupOrdered() const { return m_groupOrdered; }
    int currentRow() const { return m_currentRow; }
    int currentColumn() const { return m_currentColumn; }

    // The numbering style list 组合框大题编号类型: the style names; -1 when none.
    QStringList numberingStyles() const { return m_numberingStyles; }
    int numberingStyleIndex() const { return m_numberingStyleIndex; }
    void chooseNumberingStyle(int index);

    // The fixed lists and the three check boxes, read by paper generation.
    static QStringList majorSuffixes();   // ". ", " "
    static QStringList optionLabelSets(); // "A", "①"
    static QStringList optionSuffixes();  // ". ", " ", "）"
    int majorSuffixIndex() const { return m_majorSuffix; }
    void setMajorSuffixIndex(int index) { m_majorSuffix = index; }
    int optionLabelIndex() const { return m_optionLabels; }
    void setOptionLabelIndex(int index) { m_optionLabels = index; }
    int optionSuffixIndex() const { return m_optionSuffix; }
    void setOptionSuffixIndex(int index) { m_optionSuffix = index; }
    bool continuousNumbering() const { return m_continuousNumbering; }
    void setContinuousNumbering(bool on) { m_continuousNumbering = on; }
    bool optionLineBreak() const { return m_optionLineBreak; }
    void setOptionLineBreak(bool on) { m_optionLineBreak = on; }
    bool majorScoreNote() const { return m_majorScoreNote; }
    void setMajorScoreNote(bool on) { m_majorScoreNote = on; }

    // The difficulty range lists 组合框最低难度 / 组合框最高难度.
    QStringList lowestDifficultyItems() const { return m_lowestItems; }
    QStringList highestDifficultyItems() const { return m_highestItems; }
    QString lowestDifficulty() const { return m_lowest; }
    QString highestDifficulty() const { return m_highest; }
    void lowestDifficultyPressed(); // the left button went down on the list
    void highestDifficultyPressed();
    void chooseLowestDifficulty(const QString& text);
    void chooseHighestDifficulty(const QString& text);
    bool difficultyListsEnabled() const { return m_difficultyListsEnabled; }
    bool autoComposeEnabled() const { return m_autoComposeEnabled; }

    int rowHeightPosition() const { return m_rowHeightPosition; }

    // ---- AutoComposer
    bool isAutoComposerOpen() const { return m_autoComposerOpen; }
    // 按钮自动组卷: write back, lock the lists, show AutoComposer.
    void startAutoComposition();
    // AutoComposer has gone: the lists and the button are enabled again.
    void autoComposerClosed();
    // While an automatic composition runs the whole window is disabled and
    // cannot be closed.
    bool locked() const { return m_locked; }
    void setLocked(bool on);
    // What the window's status line says: why it is locked, or nothing.
    QString statusText() const;

    // ---- User actions
    void rowHeightChanged(int position);            // 纵向滚动条1
    void sortCurrentColumn(bool ascending);         // "升序(&A)" / "降序(&S)"
    void applyBoxOperation(BoxOperation operation); // "全选(&X)" / "清空(&Q)" / "取反(&F)"
    void generatePaper(Paper paper);                // 按钮A卷 / 按钮B卷
    void openNumberingSettings();                   // "大题" › "编号设置"
    void openTypeColours();                         // "题型" › "排序颜色"
    void openDifficultyNote();                      // "难度(&N)" › "说明(&E)"
    void openPaperFolder();                         // "试卷" › "打开试卷文件夹"
    // "打印…": once a paper has been generated in this window.
    bool printEnabled() const { return !m_lastPaperFolder.isEmpty() && m_hooks.printPapers; }
    void printPapers() {
        if (printEnabled())
            m_hooks.printPapers(*this);
    }

    // The folder the last generated paper and its answer sheet went to.
    QString lastPaperFolder() const { return m_lastPaperFolder; }
    void setLastPaperFolder(const QString& folder) { m_lastPaperFolder = folder; }

    // Whether a row counts for a paper: in it, a score above 0 and ungrouped or a
    // group's title.
    bool countsFor(int row, Paper paper) const;

Q_SIGNALS:
    // Anything outside the grids changed: labels, buttons, lists, caption.
    void stateChanged();
    // Pop up "排序(&S)" at (x, y) of QuestionGrid; the separator and the three box
    // operations only when boxItems.
    void sortMenuRequested(bool boxItems, int x, int y);
    // Pop up "题型" at (x, y) of TypeOrderTable.
    void typeMenuRequested(int x, int y);

private:
    // QuestionGrid events.
    void questionButtonUp();
    void questionEditBegins();
    void questionEditEnded();
    void questionRightButtonUp(int x, int y);
    void questionDoubleClick();
    void questionColumnResized();
    // TypeOrderTable events.
    void typeButtonUp();
    void typeEditBegins();
    void typeEditEnded();
    void typeCursorMoved();

    void rememberQuestionRow(int row, int column);
    void rememberTypeRow(int row, int column);
    void difficultyEdited(int row);
    void scoreEdited(int row);
    void fixedScoreEdited(int row);
    void blockedEdited(int row);
    void paperBoxEdited(int row, int column);
    void orderEdited(int row);
    void typeScoreEdited(int row);
    void storeAnswerLineBreak(int row);

    QString cell(int row, int column) const { return m_questions.text(row, column); }
    int cellInt(int row, int column) const;
    bool isTitle(int row) const;
    bool isUngrouped(int row) const;
    bool isBlocked(int row) const { return m_questions.checked(row, BlockedColumn); }
    QList<int> groupRows(int row);
    int titleRowOf(int row);
    void setScore(int row, int score, bool storeNow);
    void recomputeTitleScores();
    bool storeFields(int row, std::initializer_list<std::pair<int, QVariant>> fields);
    bool bankCurrent();
    void formatQuestionRows();
    void formatTypeOrderTable();
    void setQuestionCursor(int row, int column);
    void setPaperScoreHeaders(GridModel& grid);
    void loadDifficultyNote();
    // Every action ends here: a write that failed on the way is said once.
    void changed() {
        reportWriteFailure();
        Q_EMIT stateChanged();
    }
    void reportWriteFailure();
    void noteWriteFailure();

    RecordStore& m_store;
    Prompter& m_prompter;
    QString m_courseName;
    const WordProcessor& m_word;
    Hooks m_hooks;

    GridModel m_questions;
    PaperTally m_tally;
    GridModel m_typeOrder;
    GridModel m_scoresA;
    GridModel m_scoresB;
    GridModel m_numbering;
    GridModel m_colours;
    GridModel m_workList;
    GridModel m_assembled;

    // Window state.
    int m_currentRow = 0;
    int m_currentColumn = 0;
    QString m_savedGroupName;
    int m_savedDifficulty = 0;
    int m_savedScore = 0;
    int m_savedOrder = 0;
    bool m_groupOrdered = false;
    QString m_compositionTime;
    QString m_generationTime;
    QString m_lastPaperFolder;
    // A write to the bank or the type library failed during the current action.
    bool m_writeFailed = false;
    // 难度, 分值, 定分 and 屏蔽 of each record as the bank holds them, by record ID.
    struct StoredValues {
        int difficulty = 0;
        int score = 0;
        bool fixedScore = false;
        bool blocked = false;
        bool operator==(const StoredValues&) const = default;
    };
    StoredValues storedValuesOf(int row) const;
    QHash<qint32, StoredValues> m_stored;
    QString m_writeError;

    QString m_caption;
    int m_questionCount = 0;
    QString m_difficultyNote;
    bool m_outputChoiceEnabled = false;
    Output m_output = Output::Html;
    QString m_totalA;
    QString m_totalB;
    QString m_similarity;
    bool m_generateA = false;
    bool m_generateB = false;
    QStringList m_numberingStyles;
    int m_numberingStyleIndex = -1;
    int m_majorSuffix = 0;
    int m_optionLabels = 0;
    int m_optionSuffix = 0;
    bool m_continuousNumbering = false;
    bool m_optionLineBreak = false;
    bool m_majorScoreNote = false;
    QStringList m_lowestItems;
    QStringList m_highestItems;
    QString m_lowest;
    QString m_highest;
    bool m_difficultyListsEnabled = true;
    bool m_autoComposeEnabled = true;
    int m_rowHeightPosition = kRowHeightMinimum;
    bool m_autoComposerOpen = false;
    bool m_locked = false;
    bool m_opened = false;
    bool m_closed = false;
};

} // namespace helan
