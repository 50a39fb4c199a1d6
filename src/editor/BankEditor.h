#pragma once

#include <functional>
#include <initializer_list>
#include <map>
#include <utility>

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "editor/DuplicateIndex.h"
#include "grid/GridModel.h"
#include "store/RecordStore.h"

namespace helan {

class Prompter;
class RecordStore;

// The logic of the window "题库编辑": one course's questions, one a row, in the grid
// 高级表格1. The grid is a working copy; every accepted change is written to its
// record at once, found by the record ID in the hidden last column, because rows
// move when they are sorted. Owns the grid and the editor state, handles the grid's
// events and talks to the user only through the Prompter. The window only shows
// what this class holds and forwards what the user does.
class BankEditor : public QObject {
    Q_OBJECT
public:
    // The grid's columns. Column c shows field c + 1 of the question record.
    enum Column : int {
        KnowledgeColumn = 0,
        GroupNameColumn = 1,
        GroupNumberColumn = 2,
        StemText1Column = 3,
        StemPictureColumn = 4,
        StemText2Column = 5,
        AnswerColumn = 6,
        AnswerPictureColumn = 7,
        TypeColumn = 8,
        DifficultyColumn = 9,
        ScoreColumn = 10,
        ChoiceColumn = 11,
        FixedScoreColumn = 12,
        BlockedColumn = 13,
        RecordIdColumn = 14,
    };
    static constexpr int kColumnCount = 15;
    // Width of every column except the three wide text columns, which share the
    // rest. 知识点 and 分组名 are wide enough for four characters of the cell font.
    static constexpr int kFixedColumnsWidth = 543;
    static constexpr int kTextFontHeight = 18;
    // Line height of row sizing until the window gives the cell font's own.
    static constexpr int kPixelsPerLine = 14;

    // The items of the right-click menu, in menu order.
    enum class MenuItem {
        PreviewPicture,     // 预览图片
        CopyPicture,        // 复制图片
        PasteFromClipboard, // 从剪贴板导入
        AddFromFile,        // 从文件添加
        DeletePicture,      // 删除图片
        SortAscending,      // 升序
        SortDescending,     // 降序
        CopyQuestion,       // 复制该题并粘贴
    };

    // Work that other parts of the program plug in: the editor only routes to it.
    enum class Plug {
        Import,
        // 从Word/文本导入: questions from a paper written in Word or as text.
        ImportPaper,
        Export,
        // 导出为Moodle XML… / 从Moodle XML导入…
        MoodleExport,
        MoodleImport,
        TypeEditor,
        DifficultyHelp,
        PreviewPicture,
        CopyPicture,
        PastePicture,
        AddPictureFromFile,
        DeletePicture,
        SearchTextChanged,
        SearchFromStart,
        SearchFromCurrent,
        SearchNext,
        // The type library cannot be opened any more: the program ends.
        ProgramMustEnd,
    };

    // Lines a text takes when wrapped at a pixel width in the measuring font.
    // Called from several threads at once for 自动 on a large bank: it must
    // only read.
    using LineCounter = std::function<int(int width, const QString& text)>;

    // The course's bank must be open under the course name as alias.
    BankEditor(RecordStore& store, Prompter& prompter, const QString& courseName,
               LineCounter countWrappedLines, QObject* parent = nullptr);
    ~BankEditor() override;

    GridModel& grid() { return m_grid; }
    const GridModel& grid() const { return m_grid; }
    const QString& courseName() const { return m_courseName; }

    // ---- Opening and the grid as a view
    // The window was created: columns, layout for the grid width, the rows.
    void open(int gridWidth);
    // Refills the grid from the bank and puts the rows into group order.
    void loadEditorGrid();
    // The 题型 drop-down from the type library again (after the type editor
    // added, renamed or deleted types); the questions stay as they are.
    void loadTypeList();
    // Titles first, then their sub-questions by number; ungrouped questions last.
    void applyGroupOrder();
    void updateEditorCaption();
    // The column widths for a new grid width.
    // Columns the teacher dragged keep their width; the wide text columns share
    // what is left.
    void setGridWidth(int width);
    void autoRowHeight(int row);
    int wrappedLinesOf(int row) const;
    void estimateRowHeights(int first, int last);
    void rowsShown(int firstRow, int lastRow);
    // Up to this many rows are measured at once; more are estimated and
    // measured as they come into sight.
    static constexpr int kMeasuredAtOnce = 3000;
    QHash<qint32, int> m_estimatedHeights; // record ID → height before its estimate
    // How 自动 measures: lines of a text at a column width, and the height of one
    // line, both in the font the cells are drawn in.
    void setTextMeasure(LineCounter countWrappedLines, int lineHeight);
    int lineHeight() const { return m_lineHeight; }

    // For work that adds records behind the editor (the import): a grid row at the
    // end filled from the bank's current record, as the load fills it; returns the
    // row. The caller keeps questionCount and the caption up to date.
    int appendRowFromCurrentRecord();
    // Takes the last rows away again (their records were never committed).
    void dropLastRows(int count);
    void addToQuestionCount(int delta);
    // Adds a type name to the choices of the 题型 column.
    void addTypeName(const QString& name);

    // Long work (the import) disables the window while it runs.
    void setBusy(bool busy);
    bool busy() const { return m_busy; }
    void setExportEnabled(bool on);
    bool exportEnabled() const { return m_exportEnabled; }

    QString caption() const { return m_caption; }
    // The type library could not be opened: the program must end.
    bool typeLibraryLost() const { return m_typeLibraryLost; }
    int questionCount() const { return m_questionCount; }
    bool deleteEnabled() const { return m_deleteEnabled; }
    bool autoRowHeightEnabled() const { return m_autoRowHeightEnabled; }
    QString statusText() const { return m_statusText; }
    void setStatusText(const QString& text);
    const QStringList& typeNames() const { return m_typeNames; }

    // ---- Editor state
    int currentRow() const { return m_currentRow; }
    int currentColumn() const { return m_currentColumn; }
    int pressRow() const { return m_pressRow; }

    // ---- User actions
    void rowHeightSliderMoved(int position);
    void autoRowHeightClicked();
    void addQuestion();
    void deleteSelectedQuestions();
    void copyQuestionBelow();
    // Asked when the window is about to close; false keeps it open.
    bool mayCloseEditor();
    // The right-click menu's items visible for the current cell and selection;
    // empty when no menu pops up.
    QList<MenuItem> contextMenuItems() const;
    void runMenuItem(MenuItem item);
    void sortCurrentColumn(bool ascending);

    void setPlug(Plug plug, std::function<void()> handler);
    // False when nothing is plugged in for it yet.
    bool runPlug(Plug plug);

    // ---- Rows
    // Checks a row against the question rules; on a failure points the user at the
    // offending cell and shows the rule's message.
    bool validateQuestionRow(int row);
    enum class Leave { Proceed, Stay };
    Leave checkRowBeforeLeaving(int row);
    // Whether another record has the same joined stem texts, answer and pictures.
    bool isDuplicate(int row) const;
    // Whether any row's record has these joined stem texts, answer and pictures
    // (the bytes of a picture shown, empty for none).
    bool holdsQuestion(const QString& joinedStem, const QString& answer, const QByteArray& stemPicture,
                       const QByteArray& answerPicture) const;
    // A title's 分值 is the sum of the 分值 of its unblocked sub-questions (0 while
    // the title is blocked) and a title never carries 定分. Brings the title of a
    // group, or of every group, in line in the grid and its record; false when a
    // record could not be written.
    bool recomputeTitleScore(const QString& groupName);
    bool recomputeTitleScores();
    // Makes a cell the current one, with the cursor on it and it alone selected,
    // as a click would (without the checks of leaving a row).
    void moveToCell(int row, int column);

    // ---- The text dialog "试题编辑"
    int dialogRow() const { return m_dialogRow; }
    int dialogColumn() const { return m_dialogColumn; }
    QString dialogCaption() const { return m_dialogCaption; }
    QString dialogInitialText() const { return m_dialogInitialText; }
    // Bytes the user may type in the dialog; 0 for no limit.
    int dialogTypingLimit() const;
    // 确定 with the dialog's content (line breaks as CR LF). True when the dialog closes.
    bool acceptTextDialog(const QString& content);
    // The dialog closed without 确定. A question just added and never given a
    // stem goes again, row and record.
    void cancelTextDialog();

Q_SIGNALS:
    void captionChanged(const QString& caption);
    void deleteEnabledChanged(bool on);
    void autoRowHeightEnabledChanged(bool on);
    void statusTextChanged(const QString& text);
    void busyChanged(bool busy);
    void exportEnabledChanged(bool on);
    // The window opens the text dialog modally over the editor.
    void textDialogRequested();
    // The window pops the right-click menu up with these items at (x, y).
    void contextMenuRequested(const QList<BankEditor::MenuItem>& items, int x, int y);

private:
    // Grid events.
    void leftButtonDown();
    void leftButtonUp();
    void doubleClick();
    void editBegins();
    void editEnded();
    void rightButtonUp(int x, int y);
    void headerClicked();
    void columnResized(int column);
    void keyDown(int key, bool& swallowed);
    void cursorKeyMoved(int fromRow);
    void openDialogOnCurrentCell();

    // In-place edits by column.
    void groupNumberEdited(int row);
    void typeEdited(int row);
    void difficultyEdited(int row);
    void scoreEdited(int row);
    void checkboxEdited(int row, int column);
    void blockedEdited(int row);
    void setGroupField(const QString& groupName, int column, const QVariant& shown, const QVariant& stored);

    // The text dialog's columns.
    bool acceptKnowledge(int row, const QString& content);
    bool acceptGroupName(int row, const QString& content);
    bool removeFromGroup(int row, const QString& oldName);
    bool joinOrCreateGroup(int row, const QString& name);
    bool mayJoin(int row, int titleRow, const QString& name);
    bool renameGroup(int row, const QString& oldName, const QString& name);
    bool moveToGroup(int row, const QString& oldName, const QString& name);
    void makeTitle(int row, const QString& name);
    void clearTitle(int row);
    void storeDialogText(int row, int column, const QString& text);
    bool acceptOptions(int row, const QString& text);
    bool acceptAnswer(int row, const QString& text);
    void removeAddedQuestion(qint32 recordId);

    // Helpers.
    QString cell(int row, int column) const { return m_grid.text(row, column); }
    int cellInt(int row, int column) const;
    bool isTitle(int row) const;
    bool isGrouped(int row) const;
    qint32 recordIdOf(int row) const;
    int rowOfRecordId(qint32 id) const;
    int findTitleRow(const QString& groupName) const;
    bool groupHasSubQuestions(const QString& groupName, int exceptRow) const;
    bool bankCurrent();
    // Writes fields of the row's record in one change; positions are record fields.
    bool storeFields(int row, std::initializer_list<std::pair<int, QVariant>> fields);
    bool commitOrFail(RecordStore::Batch& batch);
    void noteWriteFailure();
    void finishAction();
    // Around every action that writes: when a write failed, the grid is read again
    // from the bank and the failure is said once, when the outermost action ends.
    class ActionGuard {
    public:
        explicit ActionGuard(BankEditor& editor);
        ~ActionGuard();
        ActionGuard(const ActionGuard&) = delete;
        ActionGuard& operator=(const ActionGuard&) = delete;

    private:
        BankEditor& m_editor;
        bool m_outer;
    };
    // The picture a record shows in a slot (column 4 or 7): its bytes, or none.
    QByteArray shownPicture(qint32 recordId, int column) const;
    void reapplyRowHeights(int firstRow, int lastRow);
    void setCurrentCell(int row, int column);
    void leaveRowForCursor();
    void restoreText(int row, int column);
    void restoreNumber(int row, int column);
    void setDeleteEnabled(bool on);
    void setAutoRowHeightEnabled(bool on);
    void fillRowFromRecord(int row);
    void formatRows(int firstRow, int lastRow);
    void indexRow(int row);
    void keepCurrentQuestion(qint32 id);
    void message(const QString& text);

    RecordStore& m_store;
    Prompter& m_prompter;
    QString m_courseName;
    LineCounter m_countWrappedLines;
    int m_lineHeight = kPixelsPerLine;
    GridModel m_grid;
    DuplicateIndex m_duplicates;
    QStringList m_typeNames;
    std::map<Plug, std::function<void()>> m_plugs;

    int m_currentRow = 0;
    int m_currentColumn = 0;
    int m_pressRow = 0;
    QString m_savedCellText;
    int m_savedCellNumber = 0;
    int m_questionCount = 0;

    int m_dialogRow = 0;
    bool m_dialogOpen = false;
    int m_dialogColumn = 0;
    QString m_dialogCaption;
    QString m_dialogInitialText;

    // Row heights stay as the teacher set them when rows are sorted or added:
    // the slider's height (0 before it moved), then 自动 on top when pressed.
    int m_sliderRowHeight = 0;
    bool m_autoRowHeights = false;
    QSet<int> m_userWidths;
    int m_gridWidth = 0;
    // The question 添加 made and whose stem dialog is still open; 0 for none.
    qint32 m_addedRecordId = 0;
    bool m_inAction = false;
    bool m_typeLibraryLost = false;
    bool m_writeFailed = false;
    QString m_writeError;

    QString m_caption;
    QString m_statusText;
    bool m_deleteEnabled = false;
    bool m_autoRowHeightEnabled = true;
    bool m_busy = false;
    bool m_exportEnabled = true;
};

} // namespace helan
