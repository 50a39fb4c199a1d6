#include "editor/BankEditor.h"

#include <algorithm>
#include <thread>
#include <vector>

#include <QHash>

#include "base/Gbk.h"
#include "base/Prompter.h"
#include "base/TextRules.h"
#include "editor/BankEditorTexts.h"
#include "grid/GridSort.h"
#include "model/QuestionRecord.h"
#include "model/QuestionRules.h"
#include "model/QuestionTypeLibrary.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;

namespace helan {

using namespace editortext;

namespace {

using Q = QuestionRecord;

} // namespace

BankEditor::BankEditor(RecordStore& store, Prompter& prompter, const QString& courseName,
                       LineCounter countWrappedLines, QObject* parent)
    : QObject(parent), m_store(store), m_prompter(prompter), m_courseName(courseName),
      m_countWrappedLines(std::move(countWrappedLines)), m_grid(kColumnCount) {
    GridEvents& events = m_grid.events();
    connect(&events, &GridEvents::leftButtonDown, this, [this] { leftButtonDown(); });
    connect(&events, &GridEvents::leftButtonUp, this, [this] { leftButtonUp(); });
    connect(&events, &GridEvents::doubleClick, this, [this] { doubleClick(); });
    // Edits are handled for the cell the editor treats as current, and only in the
    // columns that have an in-place rule: texts go through the dialog and pictures
    // through the menu, so that every text the grid shows is the record's.
    connect(&events, &GridEvents::editRequested, this, [this](bool& allowed) {
        const int column = m_grid.cursorColumn();
        if (m_grid.cursorRow() != m_currentRow || column != m_currentColumn ||
            (column != GroupNumberColumn && column <= AnswerPictureColumn) || column == RecordIdColumn)
            allowed = false;
    });
    connect(&events, &GridEvents::editBegins, this, [this] { editBegins(); });
    connect(&events, &GridEvents::editEnded, this, [this] { editEnded(); });
    connect(&events, &GridEvents::rightButtonUp, this, [this](int x, int y) { rightButtonUp(x, y); });
    connect(&events, &GridEvents::headerClicked, this, [this] { headerClicked(); });
    connect(&events, &GridEvents::columnResized, this, [this](int column) { columnResized(column); });
    connect(&events, &GridEvents::cursorKeyMoved, this, [this](int fromRow, int) { cursorKeyMoved(fromRow); });
    connect(&events, &GridEvents::keyDown, this,
            [this](int key, Qt::KeyboardModifiers, bool& swallowed) { keyDown(key, swallowed); });
    connect(&events, &GridEvents::rowsShown, this, &BankEditor::rowsShown);
}

BankEditor::~BankEditor() = default;

// ---- Opening

void BankEditor::open(int gridWidth) {
    const ActionGuard action(*this);
    m_grid.clearPendingItems();
    bankCurrent();
    for (int field = 1; field <= Q::kFieldCount - 2; ++field)
        m_grid.setText(0, field - 1, Q::fieldName(Q::Field(field)));
    m_questionCount = 0;
    m_grid.setColumnKind(ScoreColumn, ColumnKind::Number);
    for (const int column : {ChoiceColumn, FixedScoreColumn, BlockedColumn})
        m_grid.setColumnKind(column, ColumnKind::Checkbox);
    m_grid.setColumnKind(RecordIdColumn, ColumnKind::Number);
    setGridWidth(gridWidth);
    loadEditorGrid();
    // Scores a title drifted to under older copies of the program are put right.
    recomputeTitleScores();
    m_currentRow = 0;
    m_currentColumn = 0;
    m_pressRow = 0;
    setDeleteEnabled(false);
}

void BankEditor::loadTypeList() {
    m_grid.clearPendingItems();
    QuestionTypeLibrary library(m_store, m_prompter);
    // A library that can no longer be opened ends the program (it has said why);
    // an editor without types would only refuse every question.
    if (library.openTypeLibrary() == OpenOutcome::ProgramMustEnd) {
        m_typeLibraryLost = true;
        m_typeNames.clear();
        runPlug(Plug::ProgramMustEnd);
    } else {
        m_typeNames = library.typeNames();
    }
    for (const QString& name : std::as_const(m_typeNames))
        m_grid.appendPendingItem(name);
    m_grid.setColumnKind(TypeColumn, ColumnKind::List);
    m_grid.clearPendingItems();
}

void BankEditor::loadEditorGrid() {
    loadTypeList();
    for (int d = 1; d <= 9; ++d)
        m_grid.appendPendingItem(QString::number(d));
    m_grid.setColumnKind(DifficultyColumn, ColumnKind::List);

    m_duplicates.clear();
    m_grid.setRowCount(1);
    m_questionCount = 0;
    if (bankCurrent()) {
        const int count = m_store.recordCount();
        m_grid.setRowCount(count + 1);
        m_duplicates.reserve(count);
        for (int k = 1; k <= count; ++k) {
            m_store.goTo(k);
            fillRowFromRecord(k);
            if (cell(k, GroupNameColumn).isEmpty() || isTitle(k))
                ++m_questionCount;
        }
    }
    updateEditorCaption();
    applyGroupOrder();
}

int BankEditor::appendRowFromCurrentRecord() {
    const int row = m_grid.appendRow();
    fillRowFromRecord(row);
    formatRows(row, row);
    return row;
}

void BankEditor::dropLastRows(int count) {
    for (int k = 0; k < count && m_grid.rowCount() > 1; ++k) {
        const int row = m_grid.rowCount() - 1;
        m_duplicates.remove(recordIdOf(row));
        m_grid.removeRow(row);
    }
}

void BankEditor::addToQuestionCount(int delta) {
    m_questionCount += delta;
}

void BankEditor::addTypeName(const QString& name) {
    m_typeNames.append(name);
    m_grid.appendListItem(TypeColumn, name);
}

void BankEditor::fillRowFromRecord(int row) {
    for (int field = Q::KnowledgePoints; field <= Q::Type; ++field)
        m_grid.setText(row, field - 1, m_store.readText(field));
    m_grid.setNumber(row, DifficultyColumn, m_store.readInt(Q::Difficulty));
    m_grid.setNumber(row, ScoreColumn, m_store.readInt(Q::Score));
    m_grid.setChecked(row, ChoiceColumn, m_store.readBool(Q::Choice));
    m_grid.setChecked(row, FixedScoreColumn, m_store.readBool(Q::FixedScore));
    m_grid.setChecked(row, BlockedColumn, m_store.readBool(Q::Blocked));
    m_grid.setNumber(row, RecordIdColumn, m_store.recordId());
    indexRow(row);
}

void BankEditor::applyGroupOrder() {
    const int last = m_grid.rowCount() - 1;
    if (last >= 2) {
        sortRows(m_grid, GroupNameColumn, 1, last, SortKind::Text, m_prompter, true, false);
        sortWithinGroups(m_grid, GroupNameColumn, GroupNumberColumn, false, true);
    }
    formatRows(0, last);
}

// Sorting lays rows down afresh, so the attributes are put back after every sort.
void BankEditor::formatRows(int firstRow, int lastRow) {
    if (lastRow < firstRow)
        return;
    const int firstData = std::max(firstRow, 1);
    if (firstData <= lastRow)
        m_grid.setFontHeight(CellRange(firstData, KnowledgeColumn, lastRow, AnswerPictureColumn),
                             kTextFontHeight);
    m_grid.setWordWrap(CellRange(firstRow, KnowledgeColumn, lastRow, AnswerPictureColumn), true);
    m_grid.setAlignment(CellRange(firstRow, StemPictureColumn, lastRow, StemPictureColumn),
                        CellAlignment::Centre);
    m_grid.setAlignment(CellRange(firstRow, AnswerPictureColumn, lastRow, AnswerPictureColumn),
                        CellAlignment::Centre);
    m_grid.setAlignment(CellRange(firstRow, TypeColumn, lastRow, FixedScoreColumn), CellAlignment::Centre);
    reapplyRowHeights(firstRow, lastRow);
}

void BankEditor::updateEditorCaption() {
    m_caption = u"题库编辑 —— "_s + m_courseName + u"（共 "_s + QString::number(m_questionCount) + u" 题）"_s;
    Q_EMIT captionChanged(m_caption);
}

void BankEditor::setGridWidth(int width) {
    m_gridWidth = width;
    static constexpr int kWidths[kColumnCount] = {80, 80, 55, 0, 40, 0, 0, 40, 55, 35, 35, 35, 35, 35, 0};
    const auto isWide = [](int c) { return c == StemText1Column || c == StemText2Column || c == AnswerColumn; };
    int taken = kFixedColumnsWidth;
    int sharing = 0;
    for (int c = 0; c < kColumnCount; ++c) {
        if (m_userWidths.contains(c))
            taken += m_grid.columnWidth(c) - (isWide(c) ? 0 : kWidths[c]);
        else if (isWide(c))
            ++sharing;
    }
    // A window too narrow for the fixed columns still shows some of the texts.
    const int wide = sharing > 0 ? std::max((width - taken) / sharing, 40) : 0;
    for (int c = 0; c < kColumnCount; ++c) {
        if (!m_userWidths.contains(c))
            m_grid.setColumnWidth(c, isWide(c) ? wide : kWidths[c]);
    }
}

void BankEditor::setTextMeasure(LineCounter countWrappedLines, int lineHeight) {
    m_countWrappedLines = std::move(countWrappedLines);
    m_lineHeight = std::max(lineHeight, 1);
}

void BankEditor::autoRowHeight(int row) {
    if (!m_countWrappedLines)
        return;
    m_estimatedHeights.remove(recordIdOf(row));
    const int lines = wrappedLinesOf(row);
    if (lines > 1)
        m_grid.setRowHeight(row, lines * m_lineHeight + 4);
}

// Many rows at once (自动 or a sort on a large bank): measuring every text
// would keep the teacher waiting for rows she may never scroll to. Each row
// gets a height estimated from the length of its texts, and is measured when
// it comes into sight (rowsShown).
void BankEditor::estimateRowHeights(int first, int last) {
    const double em = m_lineHeight * 0.75;
    const auto lines = [em](int width, const QString& text) {
        const double room = std::max(width - 12, 1);
        int count = 0;
        double run = 0;
        for (const QChar c : text) {
            if (c == u'\n') {
                count += 1 + int(run / room);
                run = 0;
            } else if (c != u'\r') {
                run += c.unicode() >= 0x2E80 ? em : em * 0.55;
            }
        }
        return count + 1 + int(run / room);
    };
    const GridModel::RowHeightBatch batch(m_grid);
    for (int r = first; r <= last; ++r) {
        int most = 1;
        for (const int c : {KnowledgeColumn, GroupNameColumn, StemText1Column, StemText2Column, AnswerColumn})
            most = std::max(most, lines(m_grid.columnWidth(c), cell(r, c)));
        const qint32 id = recordIdOf(r);
        if (!m_estimatedHeights.contains(id))
            m_estimatedHeights.insert(id, m_grid.rowHeight(r));
        m_grid.setRowHeight(r, most > 1 ? most * m_lineHeight + 4 : m_estimatedHeights.value(id));
    }
}

void BankEditor::rowsShown(int firstRow, int lastRow) {
    if (m_estimatedHeights.isEmpty() || !m_autoRowHeights || !m_countWrappedLines)
        return;
    const GridModel::RowHeightBatch batch(m_grid);
    for (int r = std::max(firstRow, 1); r <= lastRow && r < m_grid.rowCount(); ++r) {
        const auto found = m_estimatedHeights.constFind(recordIdOf(r));
        if (found == m_estimatedHeights.cend())
            continue;
        const int before = found.value();
        m_estimatedHeights.erase(found);
        const int lines = wrappedLinesOf(r);
        m_grid.setRowHeight(r, lines > 1 ? lines * m_lineHeight + 4 : before);
    }
}

// Every text column, so that knowledge points and group names show whole too.
int BankEditor::wrappedLinesOf(int row) const {
    int lines = 0;
    for (const int c : {KnowledgeColumn, GroupNameColumn, StemText1Column, StemText2Column, AnswerColumn})
        lines = std::max(lines, m_countWrappedLines(m_grid.columnWidth(c), cell(row, c)));
    return lines;
}

void BankEditor::reapplyRowHeights(int firstRow, int lastRow) {
    const int first = std::max(firstRow, 1);
    const int last = std::min(lastRow, m_grid.rowCount() - 1);
    const GridModel::RowHeightBatch batch(m_grid);
    const bool estimate = m_autoRowHeights && last - first + 1 > kMeasuredAtOnce;
    for (int r = first; r <= last; ++r) {
        if (m_sliderRowHeight > 0)
            m_grid.setRowHeight(r, m_sliderRowHeight);
        if (m_autoRowHeights && !estimate)
            autoRowHeight(r);
    }
    if (estimate)
        estimateRowHeights(first, last);
}

void BankEditor::setStatusText(const QString& text) {
    if (text == m_statusText)
        return;
    m_statusText = text;
    Q_EMIT statusTextChanged(text);
}

void BankEditor::setBusy(bool busy) {
    if (busy == m_busy)
        return;
    m_busy = busy;
    Q_EMIT busyChanged(busy);
}

void BankEditor::setExportEnabled(bool on) {
    if (on == m_exportEnabled)
        return;
    m_exportEnabled = on;
    Q_EMIT exportEnabledChanged(on);
}

// ---- Row heights, menus, plugs

void BankEditor::rowHeightSliderMoved(int position) {
    m_sliderRowHeight = position + 10;
    m_autoRowHeights = false;
    m_estimatedHeights.clear();
    reapplyRowHeights(1, m_grid.rowCount() - 1);
    setCurrentCell(m_currentRow, m_currentColumn);
    setAutoRowHeightEnabled(true);
}

void BankEditor::autoRowHeightClicked() {
    m_autoRowHeights = true;
    if (!m_countWrappedLines)
        return;
    // Measuring the texts of a large bank is the long part; it is shared among
    // the processor's cores (the measure only reads the texts), and the heights
    // are set afterwards on this thread, together.
    const int rows = m_grid.rowCount() - 1;
    if (rows > kMeasuredAtOnce) {
        estimateRowHeights(1, rows);
        setAutoRowHeightEnabled(false);
        return;
    }
    std::vector<int> lines(size_t(std::max(rows, 0)) + 1, 0);
    const int workers = rows >= 2000 ? std::clamp(int(std::thread::hardware_concurrency()), 1, 8) : 1;
    const auto measure = [&](int worker) {
        for (int r = 1 + worker; r <= rows; r += workers)
            lines[size_t(r)] = wrappedLinesOf(r);
    };
    std::vector<std::thread> threads;
    for (int w = 1; w < workers; ++w)
        threads.emplace_back(measure, w);
    measure(0);
    for (std::thread& thread : threads)
        thread.join();
    const GridModel::RowHeightBatch batch(m_grid);
    for (int r = 1; r <= rows; ++r) {
        if (lines[size_t(r)] > 1)
            m_grid.setRowHeight(r, lines[size_t(r)] * m_lineHeight + 4);
    }
    setAutoRowHeightEnabled(false);
}

QList<BankEditor::MenuItem> BankEditor::contextMenuItems() const {
    QList<MenuItem> items;
    const bool oneColumn = m_grid.selectionStartColumn() == m_grid.selectionEndColumn();
    const bool oneRow = m_grid.selectionStartRow() == m_grid.selectionEndRow();
    if (oneColumn) {
        if (m_currentColumn == StemPictureColumn || m_currentColumn == AnswerPictureColumn) {
            if (cell(m_currentRow, m_currentColumn) == Q::pictureMark())
                items << MenuItem::PreviewPicture << MenuItem::CopyPicture;
            else
                items << MenuItem::PasteFromClipboard << MenuItem::AddFromFile;
            if (cell(m_currentRow, m_currentColumn) == Q::pictureMark())
                items << MenuItem::DeletePicture;
        }
        if (m_currentColumn != GroupNumberColumn)
            items << MenuItem::SortAscending << MenuItem::SortDescending;
    }
    if (oneRow)
        items << MenuItem::CopyQuestion;
    return items;
}

void BankEditor::runMenuItem(MenuItem item) {
    switch (item) {
    case MenuItem::PreviewPicture:
        runPlug(Plug::PreviewPicture);
        break;
    case MenuItem::CopyPicture:
        runPlug(Plug::CopyPicture);
        break;
    case MenuItem::PasteFromClipboard:
        runPlug(Plug::PastePicture);
        break;
    case MenuItem::AddFromFile:
        runPlug(Plug::AddPictureFromFile);
        break;
    case MenuItem::DeletePicture:
        runPlug(Plug::DeletePicture);
        break;
    case MenuItem::SortAscending:
        sortCurrentColumn(true);
        break;
    case MenuItem::SortDescending:
        sortCurrentColumn(false);
        break;
    case MenuItem::CopyQuestion:
        copyQuestionBelow();
        break;
    }
}

void BankEditor::sortCurrentColumn(bool ascending) {
    const int last = m_grid.rowCount() - 1;
    if (m_currentColumn == GroupNameColumn && !ascending) {
        applyGroupOrder();
    } else {
        const SortKind kind = m_currentColumn == ScoreColumn ? SortKind::Number : SortKind::Text;
        sortRows(m_grid, m_currentColumn, 1, last, kind, m_prompter, true, ascending);
        if (m_currentColumn == GroupNameColumn)
            sortWithinGroups(m_grid, GroupNameColumn, GroupNumberColumn, false, true);
        formatRows(0, last);
    }
    setCurrentCell(m_currentRow, m_currentColumn);
}

void BankEditor::setPlug(Plug plug, std::function<void()> handler) {
    m_plugs[plug] = std::move(handler);
}

bool BankEditor::runPlug(Plug plug) {
    const auto found = m_plugs.find(plug);
    if (found == m_plugs.end() || !found->second)
        return false;
    found->second();
    return true;
}

// ---- Grid events

void BankEditor::leftButtonDown() {
    m_pressRow = m_grid.cursorRow();
}

void BankEditor::leftButtonUp() {
    m_currentRow = m_grid.cursorRow();
    if (m_pressRow >= 1 && m_pressRow != m_currentRow && checkRowBeforeLeaving(m_pressRow) == Leave::Stay)
        return;
    m_currentColumn = m_grid.cursorColumn();
    const int c = m_currentColumn;
    const bool atSelectionStart =
        m_grid.selectionStartRow() == m_currentRow && m_grid.selectionStartColumn() == c;
    // A title's score is the sum of its sub-questions' and is not typed.
    m_grid.setEditingAllowed(atSelectionStart && (c == GroupNumberColumn || c > AnswerPictureColumn) &&
                             !(c == ScoreColumn && isTitle(m_currentRow)));
    setDeleteEnabled(m_currentRow > 0);
}

void BankEditor::doubleClick() {
    m_currentColumn = m_grid.cursorColumn();
    const int c = m_currentColumn;
    const int row = m_grid.cursorRow();
    if (c > AnswerPictureColumn) {
        m_grid.setEditingAllowed(!(c == ScoreColumn && isTitle(row)));
        return;
    }
    m_grid.setEditingAllowed(false);
    openDialogOnCurrentCell();
}

void BankEditor::openDialogOnCurrentCell() {
    const int c = m_currentColumn;
    const int row = m_grid.cursorRow();
    // A title has no answer, neither text nor picture.
    if (isTitle(row) && (c == AnswerPictureColumn || c == AnswerColumn))
        return;
    if (c == StemPictureColumn || c == AnswerPictureColumn) {
        if (cell(m_currentRow, c) == Q::pictureMark())
            runPlug(Plug::PreviewPicture);
        return;
    }
    if (c == GroupNumberColumn || m_currentRow < 1)
        return;
    m_savedCellText = cell(m_currentRow, c);
    m_dialogCaption = u"编辑"_s + cell(0, c);
    m_dialogInitialText = m_savedCellText;
    m_dialogRow = m_currentRow;
    m_dialogColumn = c;
    m_dialogOpen = true;
    Q_EMIT textDialogRequested();
}

void BankEditor::editBegins() {
    setStatusText(QString());
    const int c = m_currentColumn;
    if (c == DifficultyColumn || c == ScoreColumn)
        m_savedCellNumber = cellInt(m_currentRow, c);
    else if (c <= TypeColumn && c != StemPictureColumn && c != AnswerPictureColumn)
        m_savedCellText = cell(m_currentRow, c);
}

void BankEditor::editEnded() {
    const ActionGuard action(*this);
    const int r = m_currentRow;
    if (r < 1 || !bankCurrent())
        return;
    switch (m_currentColumn) {
    case GroupNumberColumn:
        groupNumberEdited(r);
        break;
    case TypeColumn:
        typeEdited(r);
        break;
    case DifficultyColumn:
        difficultyEdited(r);
        break;
    case ScoreColumn:
        scoreEdited(r);
        break;
    case ChoiceColumn:
    case FixedScoreColumn:
        checkboxEdited(r, m_currentColumn);
        break;
    case BlockedColumn:
        blockedEdited(r);
        break;
    default:
        break;
    }
}

void BankEditor::rightButtonUp(int x, int y) {
    const bool oneColumn = m_grid.selectionStartColumn() == m_grid.selectionEndColumn();
    const bool oneRow = m_grid.selectionStartRow() == m_grid.selectionEndRow();
    if (!oneColumn && !oneRow)
        return;
    Q_EMIT contextMenuRequested(contextMenuItems(), x, y);
}

void BankEditor::headerClicked() {
    if (m_currentRow == 1 && !validateQuestionRow(m_pressRow))
        return;
    setDeleteEnabled(false);
}

void BankEditor::columnResized(int column) {
    if (column >= 0 && column < kColumnCount) {
        m_userWidths.insert(column);
        setGridWidth(m_gridWidth);
    }
    setCurrentCell(m_currentRow, m_currentColumn);
}

void BankEditor::keyDown(int key, bool& swallowed) {
    // Rows are deleted only through the menu, with its confirmation.
    if (key == Qt::Key_Delete) {
        swallowed = true;
        return;
    }
    // Enter or F2 on a text opens its dialog, as a double click does.
    const bool opens = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2;
    const int c = m_grid.cursorColumn();
    if (opens && c <= AnswerColumn && c != GroupNumberColumn && c != StemPictureColumn &&
        m_grid.cursorRow() == m_currentRow && c == m_currentColumn && m_currentRow >= 1) {
        swallowed = true;
        openDialogOnCurrentCell();
    }
}

// A key moved the cursor to another cell: the same as a click there, with the
// checks of the row left.
void BankEditor::cursorKeyMoved(int fromRow) {
    m_pressRow = fromRow;
    leftButtonUp();
}

// ---- Row checks

bool BankEditor::validateQuestionRow(int row) {
    if (row < 1 || row >= m_grid.rowCount())
        return true;
    QuestionRules::Values values;
    values.groupNumber = cell(row, GroupNumberColumn);
    values.stemText1 = cell(row, StemText1Column);
    values.stemPicture = cell(row, StemPictureColumn);
    values.stemText2 = cell(row, StemText2Column);
    values.answer = cell(row, AnswerColumn);
    values.type = cell(row, TypeColumn);
    values.choice = m_grid.checked(row, ChoiceColumn);
    const QuestionRules::Verdict verdict = QuestionRules::check(values);
    if (verdict.passed())
        return true;
    if (!verdict.messageOnly) {
        m_currentRow = row;
        m_grid.setCursor(row, verdict.column);
        m_grid.selectRange(row, verdict.column);
    }
    message(verdict.message);
    return false;
}

BankEditor::Leave BankEditor::checkRowBeforeLeaving(int row) {
    if (row < 1 || row >= m_grid.rowCount())
        return Leave::Proceed;
    if (!validateQuestionRow(row))
        return Leave::Proceed;
    if (!isDuplicate(row))
        return Leave::Proceed;
    m_currentRow = row;
    setCurrentCell(row, StemText1Column);
    message(u"试题重复！"_s);
    return Leave::Stay;
}

bool BankEditor::isDuplicate(int row) const {
    if (!m_store.isOpen(m_courseName))
        return false;
    const qint32 id = recordIdOf(row);
    const QList<qint32> others =
        m_duplicates.othersWith(cell(row, StemText1Column) + cell(row, StemText2Column), cell(row, AnswerColumn), id);
    if (others.isEmpty())
        return false;
    const QByteArray stem = shownPicture(id, StemPictureColumn);
    const QByteArray answer = shownPicture(id, AnswerPictureColumn);
    return std::any_of(others.begin(), others.end(), [&](qint32 other) {
        return shownPicture(other, StemPictureColumn) == stem && shownPicture(other, AnswerPictureColumn) == answer;
    });
}

bool BankEditor::holdsQuestion(const QString& joinedStem, const QString& answer, const QByteArray& stemPicture,
                               const QByteArray& answerPicture) const {
    // Record IDs start at 1, so 0 excepts no record.
    const QList<qint32> others = m_duplicates.othersWith(joinedStem, answer, 0);
    return std::any_of(others.begin(), others.end(), [&](qint32 other) {
        return shownPicture(other, StemPictureColumn) == stemPicture &&
               shownPicture(other, AnswerPictureColumn) == answerPicture;
    });
}

// Read from the record: the grid holds only the picture's mark. Only records
// whose texts are already the same get here, so this is rarely more than one.
QByteArray BankEditor::shownPicture(qint32 recordId, int column) const {
    if (!m_store.setCurrent(m_courseName) || !m_store.goToRecordId(recordId))
        return {};
    const bool stem = column == StemPictureColumn;
    if (m_store.readText(stem ? Q::StemPicture : Q::AnswerPicture) != Q::pictureMark())
        return {};
    return m_store.readBytes(stem ? Q::StemPictureData : Q::AnswerPictureData);
}

void BankEditor::moveToCell(int row, int column) {
    m_currentRow = row;
    m_currentColumn = column;
    setCurrentCell(row, column);
    setDeleteEnabled(row > 0);
}

void BankEditor::indexRow(int row) {
    m_duplicates.set(recordIdOf(row), cell(row, StemText1Column), cell(row, StemText2Column), cell(row, AnswerColumn));
}

// ---- Helpers

int BankEditor::cellInt(int row, int column) const {
    return leadingInteger(cell(row, column));
}

bool BankEditor::isTitle(int row) const {
    return Q::isGroupTitle(cell(row, GroupNumberColumn));
}

bool BankEditor::isGrouped(int row) const {
    return !cell(row, GroupNumberColumn).isEmpty();
}

qint32 BankEditor::recordIdOf(int row) const {
    return qint32(leadingInteger(cell(row, RecordIdColumn)));
}

int BankEditor::rowOfRecordId(qint32 id) const {
    for (int r = 1; r < m_grid.rowCount(); ++r) {
        if (recordIdOf(r) == id)
            return r;
    }
    return 0;
}

int BankEditor::findTitleRow(const QString& groupName) const {
    if (groupName.isEmpty())
        return 0;
    for (int r = 1; r < m_grid.rowCount(); ++r) {
        if (isTitle(r) && cell(r, GroupNameColumn) == groupName)
            return r;
    }
    return 0;
}

// The grid mirrors every record, so the bank's records are looked at through it;
// the row being edited is left out because its cell may already show the new value.
bool BankEditor::groupHasSubQuestions(const QString& groupName, int exceptRow) const {
    for (int r = 1; r < m_grid.rowCount(); ++r) {
        if (r != exceptRow && cell(r, GroupNameColumn) == groupName && !isTitle(r))
            return true;
    }
    return false;
}

bool BankEditor::bankCurrent() {
    return m_store.setCurrent(m_courseName);
}

bool BankEditor::storeFields(int row, std::initializer_list<std::pair<int, QVariant>> fields) {
    if (!bankCurrent() || !m_store.goToRecordId(recordIdOf(row))) {
        noteWriteFailure();
        return false;
    }
    QVariantList values;
    values.reserve(Q::kFieldCount);
    for (int field = 1; field <= Q::kFieldCount; ++field)
        values.append(QVariant());
    for (const auto& [field, value] : fields)
        values[field - 1] = value;
    if (m_store.modify(values))
        return true;
    noteWriteFailure();
    return false;
}

// A write of the action failed: the batch is not committed, so that it goes back
// whole (a title's score never follows a sub-question's score that was not stored).
bool BankEditor::commitOrFail(RecordStore::Batch& batch) {
    if (m_writeFailed)
        return false;
    if (batch.commit())
        return true;
    noteWriteFailure();
    return false;
}

void BankEditor::noteWriteFailure() {
    if (!m_writeFailed)
        m_writeError = RecordStore::lastErrorText();
    m_writeFailed = true;
}

BankEditor::ActionGuard::ActionGuard(BankEditor& editor) : m_editor(editor), m_outer(!editor.m_inAction) {
    if (m_outer) {
        m_editor.m_inAction = true;
        m_editor.m_writeFailed = false;
    }
}

BankEditor::ActionGuard::~ActionGuard() {
    if (!m_outer)
        return;
    m_editor.m_inAction = false;
    m_editor.finishAction();
}

// A write the bank refused leaves the grid showing what is not stored: the grid
// is read again from the bank, so that it shows what the bank holds, and the
// teacher hears once what could not be done.
void BankEditor::finishAction() {
    if (!m_writeFailed)
        return;
    m_writeFailed = false;
    const qint32 id = recordIdOf(m_currentRow);
    const int column = m_currentColumn;
    loadEditorGrid();
    const int row = id > 0 ? rowOfRecordId(id) : 0;
    m_currentRow = row;
    m_pressRow = row;
    m_addedRecordId = 0;
    if (row > 0)
        setCurrentCell(row, column);
    setDeleteEnabled(row > 0);
    message(u"修改未能写入题库："_s + m_writeError + u"。表格已按题库中的内容恢复。"_s);
}

void BankEditor::setCurrentCell(int row, int column) {
    m_grid.setCursor(row, column);
    m_grid.selectRange(m_grid.cursorRow(), m_grid.cursorColumn());
}

void BankEditor::restoreText(int row, int column) {
    m_grid.setText(row, column, m_savedCellText);
}

void BankEditor::restoreNumber(int row, int column) {
    m_grid.setNumber(row, column, m_savedCellNumber);
}

void BankEditor::setDeleteEnabled(bool on) {
    if (on == m_deleteEnabled)
        return;
    m_deleteEnabled = on;
    Q_EMIT deleteEnabledChanged(on);
}

void BankEditor::setAutoRowHeightEnabled(bool on) {
    if (on == m_autoRowHeightEnabled)
        return;
    m_autoRowHeightEnabled = on;
    Q_EMIT autoRowHeightEnabledChanged(on);
}

// Rows move when the group order is restored; the question being edited stays the
// current one.
void BankEditor::keepCurrentQuestion(qint32 id) {
    const int row = rowOfRecordId(id);
    if (row < 1)
        return;
    m_currentRow = row;
    m_dialogRow = row;
    setCurrentCell(row, m_currentColumn);
}

void BankEditor::message(const QString& text) {
    m_prompter.message(text);
}

} // namespace helan
