#include "editor/BankEditor.h"

#include <algorithm>

#include <QHash>

#include "base/Gbk.h"
#include "base/Prompter.h"
#include "base/TextRules.h"
#include "grid/GridSort.h"
#include "model/QuestionRecord.h"
#include "model/QuestionRules.h"
#include "model/QuestionTypeLibrary.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

using Q = QuestionRecord;

const QString kTitleNumber = u"0"_s;
// Stands for an answer still to be written; the row checks ask for it.
const QString kAnswerPlaceholder = u"请输入答案"_s;
const QString kCrLf = u"\r\n"_s;

// An optional sign followed by digits; 0 for a text that does not start that way.
int leadingInteger(const QString& text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    qint64 value = 0;
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i) {
        value = value * 10 + (text.at(i).unicode() - u'0');
        if (value > 1000000000)
            break;
    }
    return int(negative ? -value : value);
}

bool isSpace(QChar c) {
    return c == u' ' || c == QChar(0x3000);
}

QString withoutSpaces(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (!isSpace(c))
            out.append(c);
    }
    return out;
}

// The trimmed dialog text: no spaces at either end, no trailing line breaks.
QString cleanedDialogText(const QString& content) {
    QString v = trimSpaces(content);
    while (v.endsWith(kCrLf))
        v.chop(2);
    return v;
}

QString withoutEmptyLines(const QString& text) {
    QStringList lines = splitCrLfLines(text);
    lines.removeAll(QString());
    return lines.join(kCrLf);
}

QString joinedKnowledge(const QString& pieces) {
    QStringList parts = pieces.split(u'|');
    parts.removeAll(QString());
    return parts.join(u'|');
}

bool startsWithCircledNumber(const QString& answer) {
    const QStringList& labels = QuestionRules::circledNumbers();
    return std::any_of(labels.begin(), labels.end(),
                       [&](const QString& label) { return answer.startsWith(label); });
}

} // namespace

BankEditor::BankEditor(RecordStore& store, Prompter& prompter, const QString& courseName,
                       LineCounter countWrappedLines, QObject* parent)
    : QObject(parent), m_store(store), m_prompter(prompter), m_courseName(courseName),
      m_countWrappedLines(std::move(countWrappedLines)), m_grid(kColumnCount) {
    GridEvents& events = m_grid.events();
    connect(&events, &GridEvents::leftButtonDown, this, [this] { leftButtonDown(); });
    connect(&events, &GridEvents::leftButtonUp, this, [this] { leftButtonUp(); });
    connect(&events, &GridEvents::doubleClick, this, [this] { doubleClick(); });
    // Edits are handled for the cell the editor treats as current; one that the
    // keyboard moved away from it is not started, so no typed value goes unstored.
    connect(&events, &GridEvents::editRequested, this, [this](bool& allowed) {
        if (m_grid.cursorRow() != m_currentRow || m_grid.cursorColumn() != m_currentColumn)
            allowed = false;
    });
    connect(&events, &GridEvents::editBegins, this, [this] { editBegins(); });
    connect(&events, &GridEvents::editEnded, this, [this] { editEnded(); });
    connect(&events, &GridEvents::rightButtonUp, this, [this](int x, int y) { rightButtonUp(x, y); });
    connect(&events, &GridEvents::headerClicked, this, [this] { headerClicked(); });
    connect(&events, &GridEvents::columnResized, this, [this] { columnResized(); });
    connect(&events, &GridEvents::keyDown, this,
            [this](int key, Qt::KeyboardModifiers, bool& swallowed) { keyDown(key, swallowed); });
}

BankEditor::~BankEditor() = default;

// ---- Opening

void BankEditor::open(int gridWidth) {
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
    m_currentRow = 0;
    m_currentColumn = 0;
    m_pressRow = 0;
    setDeleteEnabled(false);
}

void BankEditor::loadTypeList() {
    m_grid.clearPendingItems();
    QuestionTypeLibrary library(m_store, m_prompter);
    m_typeNames = library.typeNames();
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
}

void BankEditor::updateEditorCaption() {
    m_caption = u"题库编辑 —— "_s + m_courseName + u"（共 "_s + QString::number(m_questionCount) + u" 题）"_s;
    Q_EMIT captionChanged(m_caption);
}

void BankEditor::setGridWidth(int width) {
    // A window too narrow for the fixed columns still shows some of the texts.
    const int wide = std::max((width - kFixedColumnsWidth) / 3, 40);
    static constexpr int kWidths[kColumnCount] = {45, 45, 55, 0, 40, 0, 0, 40, 55, 35, 35, 35, 35, 35, 0};
    for (int c = 0; c < kColumnCount; ++c) {
        const bool isWide = c == StemText1Column || c == StemText2Column || c == AnswerColumn;
        m_grid.setColumnWidth(c, isWide ? wide : kWidths[c]);
    }
}

void BankEditor::autoRowHeight(int row) {
    if (!m_countWrappedLines)
        return;
    int lines = 0;
    for (const int c : {StemText1Column, StemText2Column, AnswerColumn})
        lines = std::max(lines, m_countWrappedLines(m_grid.columnWidth(c), cell(row, c)));
    if (lines > 1)
        m_grid.setRowHeight(row, lines * kPixelsPerLine + 4);
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
    for (int r = 1; r < m_grid.rowCount(); ++r)
        m_grid.setRowHeight(r, position + 10);
    setCurrentCell(m_currentRow, m_currentColumn);
    setAutoRowHeightEnabled(true);
}

void BankEditor::autoRowHeightClicked() {
    for (int r = 1; r < m_grid.rowCount(); ++r)
        autoRowHeight(r);
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

void BankEditor::columnResized() {
    setCurrentCell(m_currentRow, m_currentColumn);
}

void BankEditor::keyDown(int key, bool& swallowed) {
    // Rows are deleted only through the menu, with its confirmation.
    if (key == Qt::Key_Delete)
        swallowed = true;
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
    return m_duplicates.containsOther(cell(row, StemText1Column) + cell(row, StemText2Column),
                                      cell(row, AnswerColumn), recordIdOf(row));
}

bool BankEditor::holdsQuestion(const QString& joinedStem, const QString& answer) const {
    // Record IDs start at 1, so 0 excepts no record.
    return m_duplicates.containsOther(joinedStem, answer, 0);
}

void BankEditor::moveToCell(int row, int column) {
    m_currentRow = row;
    m_currentColumn = column;
    setCurrentCell(row, column);
    setDeleteEnabled(row > 0);
}

void BankEditor::indexRow(int row) {
    m_duplicates.set(recordIdOf(row), cell(row, StemText1Column) + cell(row, StemText2Column),
                     cell(row, AnswerColumn));
}

// ---- In-place edits

void BankEditor::groupNumberEdited(int r) {
    const QString v = trimSpaces(cell(r, GroupNumberColumn));
    const QString old = m_savedCellText;
    // An edit left without a change (or cancelled) has nothing to check.
    if (v == old) {
        restoreText(r, GroupNumberColumn);
        return;
    }
    const int value = leadingInteger(v);
    if (!v.isEmpty() && v != kTitleNumber && (value < 1 || value > 99)) {
        restoreText(r, GroupNumberColumn);
        message(u"只能输入0-99的数字！"_s);
        return;
    }
    if (v.isEmpty()) {
        if (old.isEmpty()) {
            restoreText(r, GroupNumberColumn);
        } else if (old == kTitleNumber) {
            if (groupHasSubQuestions(cell(r, GroupNameColumn), r)) {
                message(u"不能删除带有子分组试题的标题分组序号！"_s);
                restoreText(r, GroupNumberColumn);
            } else if (!m_prompter.okCancel(u"确定要删除该试题分组吗？"_s)) {
                restoreText(r, GroupNumberColumn);
            } else {
                clearTitle(r);
            }
        } else if (!m_prompter.okCancel(u"确定要删除该试题的分组吗？"_s)) {
            restoreText(r, GroupNumberColumn);
        } else {
            RecordStore::Batch batch(m_store, m_courseName);
            const int title = findTitleRow(cell(r, GroupNameColumn));
            if (title > 0)
                changeTitleScore(title, -cellInt(r, ScoreColumn));
            m_grid.setText(r, GroupNameColumn, QString());
            m_grid.setText(r, GroupNumberColumn, QString());
            storeFields(r, {{Q::GroupName, QString()}, {Q::GroupNumber, QString()}});
            batch.commit();
            ++m_questionCount;
            updateEditorCaption();
        }
        return;
    }
    if (old.isEmpty()) {
        restoreText(r, GroupNumberColumn);
        message(u"不能单独添加标题分组序号！"_s);
    } else if (old == kTitleNumber) {
        restoreText(r, GroupNumberColumn);
        message(u"不能更改标题分组序号！"_s);
    } else if (v == kTitleNumber) {
        restoreText(r, GroupNumberColumn);
        message(u"已存在标题分组序号！"_s);
    } else {
        const QString number = QString::number(value);
        m_grid.setText(r, GroupNumberColumn, number);
        storeFields(r, {{Q::GroupNumber, number}});
    }
}

void BankEditor::typeEdited(int r) {
    const QString text = cell(r, TypeColumn);
    if (text.isEmpty()) {
        if (!m_savedCellText.isEmpty()) {
            restoreText(r, TypeColumn);
        } else if (!m_typeNames.isEmpty()) {
            m_grid.setText(r, TypeColumn, m_typeNames.first());
            storeFields(r, {{Q::Type, trimSpaces(m_typeNames.first())}});
        }
        return;
    }
    if (text == m_savedCellText)
        return;
    const bool known = m_typeNames.contains(text);
    if (!isGrouped(r)) {
        if (known) {
            storeFields(r, {{Q::Type, trimSpaces(text)}});
        } else {
            restoreText(r, TypeColumn);
            message(u"请直接选择题型！"_s);
        }
        return;
    }
    if (!isTitle(r)) {
        restoreText(r, TypeColumn);
        message(u"不能改变非标题分组试题的题型！"_s);
        return;
    }
    if (!known) {
        restoreText(r, TypeColumn);
        message(u"请直接选择题型！"_s);
        return;
    }
    if (!m_prompter.okCancel(u"确定要更改该标题分组试题的题型吗？"_s)) {
        restoreText(r, TypeColumn);
        return;
    }
    const QString name = cell(r, GroupNameColumn);
    RecordStore::Batch batch(m_store, m_courseName);
    for (int row = 1; row < m_grid.rowCount(); ++row) {
        if (cell(row, GroupNameColumn) != name)
            continue;
        m_grid.setText(row, TypeColumn, text);
        storeFields(row, {{Q::Type, trimSpaces(text)}});
    }
    batch.commit();
}

void BankEditor::difficultyEdited(int r) {
    const int d = leadingInteger(cell(r, DifficultyColumn));
    if (d < 1 || d > 9) {
        restoreNumber(r, DifficultyColumn);
        message(u"难度值从1到9，可直接选择！"_s);
        return;
    }
    if (d == m_savedCellNumber)
        return;
    if (!isGrouped(r)) {
        m_grid.setNumber(r, DifficultyColumn, d);
        storeFields(r, {{Q::Difficulty, d}});
        return;
    }
    if (!isTitle(r)) {
        restoreNumber(r, DifficultyColumn);
        message(u"不能更改非标题分组试题的难度值！"_s);
        return;
    }
    if (!m_prompter.okCancel(u"确定要更改该分组试题分组的难度吗？"_s)) {
        restoreNumber(r, DifficultyColumn);
        return;
    }
    const QString name = cell(r, GroupNameColumn);
    RecordStore::Batch batch(m_store, m_courseName);
    for (int row = 1; row < m_grid.rowCount(); ++row) {
        if (cell(row, GroupNameColumn) != name)
            continue;
        m_grid.setNumber(row, DifficultyColumn, d);
        storeFields(row, {{Q::Difficulty, d}});
    }
    batch.commit();
}

void BankEditor::scoreEdited(int r) {
    const int n = cellInt(r, ScoreColumn);
    if (n == m_savedCellNumber)
        return;
    if (isTitle(r)) {
        restoreNumber(r, ScoreColumn);
        message(u"不能更改标题分组试题分值！"_s);
        return;
    }
    if (n < 1 || n > 100) {
        restoreNumber(r, ScoreColumn);
        message(u"分值范围为1-100整数！"_s);
        return;
    }
    RecordStore::Batch batch(m_store, m_courseName);
    m_grid.setNumber(r, ScoreColumn, n);
    storeFields(r, {{Q::Score, n}});
    if (isGrouped(r) && !m_grid.checked(r, BlockedColumn)) {
        const int title = findTitleRow(cell(r, GroupNameColumn));
        if (title > 0)
            changeTitleScore(title, n - m_savedCellNumber);
    }
    batch.commit();
}

void BankEditor::checkboxEdited(int r, int column) {
    const bool on = m_grid.checked(r, column);
    if (on && isTitle(r)) {
        m_grid.setChecked(r, column, false);
        return;
    }
    storeFields(r, {{column + 1, on}});
}

void BankEditor::blockedEdited(int r) {
    if (!isGrouped(r)) {
        storeFields(r, {{Q::Blocked, m_grid.checked(r, BlockedColumn)}});
        return;
    }
    const QString name = cell(r, GroupNameColumn);
    const bool on = m_grid.checked(r, BlockedColumn);
    RecordStore::Batch batch(m_store, m_courseName);
    if (isTitle(r)) {
        if (on) {
            m_grid.setNumber(r, ScoreColumn, 0);
            storeFields(r, {{Q::Score, 0}});
            for (int row = 1; row < m_grid.rowCount(); ++row) {
                if (cell(row, GroupNameColumn) != name)
                    continue;
                m_grid.setChecked(row, BlockedColumn, true);
                storeFields(row, {{Q::Blocked, true}});
            }
        } else {
            int sum = 0;
            for (int row = 1; row < m_grid.rowCount(); ++row) {
                if (cell(row, GroupNameColumn) != name)
                    continue;
                storeFields(row, {{Q::Blocked, false}});
                if (row != r) {
                    m_grid.setChecked(row, BlockedColumn, false);
                    sum += cellInt(row, ScoreColumn);
                }
            }
            m_grid.setNumber(r, ScoreColumn, sum);
            storeFields(r, {{Q::Score, sum}});
        }
    } else {
        const int title = findTitleRow(name);
        if (title > 0) {
            // Under a blocked title the box goes back to what it was: a sub-question
            // of a blocked group stays blocked, one that joined it unblocked stays so.
            if (m_grid.checked(title, BlockedColumn))
                m_grid.setChecked(r, BlockedColumn, !on);
            else
                changeTitleScore(title, on ? -cellInt(r, ScoreColumn) : cellInt(r, ScoreColumn));
        }
        storeFields(r, {{Q::Blocked, m_grid.checked(r, BlockedColumn)}});
    }
    batch.commit();
}

// ---- The text dialog

int BankEditor::dialogTypingLimit() const {
    return m_dialogColumn == KnowledgeColumn || m_dialogColumn == GroupNameColumn ? 20 : 0;
}

bool BankEditor::acceptTextDialog(const QString& content) {
    const QString v = cleanedDialogText(content);
    if (v == m_dialogInitialText)
        return true;
    const int r = m_dialogRow;
    if (r < 1 || r >= m_grid.rowCount() || !bankCurrent())
        return true;
    switch (m_dialogColumn) {
    case KnowledgeColumn:
        return acceptKnowledge(r, content);
    case GroupNameColumn:
        return acceptGroupName(r, content);
    case StemText1Column:
        if ((v + cell(r, StemText2Column)).isEmpty()) {
            message(u"题目不能为空！"_s);
            return true;
        }
        storeDialogText(r, StemText1Column, v);
        return true;
    case StemText2Column:
        if ((cell(r, StemText1Column) + v).isEmpty()) {
            message(u"题目不能为空！"_s);
            return true;
        }
        storeDialogText(r, StemText2Column, m_grid.checked(r, ChoiceColumn) ? withoutEmptyLines(v) : v);
        return true;
    case AnswerColumn:
        if (v.isEmpty() && !isTitle(r)) {
            message(u"答案不能为空！"_s);
            return true;
        }
        storeDialogText(r, AnswerColumn, m_grid.checked(r, ChoiceColumn) ? withoutEmptyLines(v) : v);
        return true;
    default:
        return true;
    }
}

void BankEditor::storeDialogText(int row, int column, const QString& text) {
    m_grid.setText(row, column, text);
    storeFields(row, {{column + 1, text}});
    indexRow(row);
}

bool BankEditor::acceptKnowledge(int r, const QString& content) {
    const QString k = withoutSpaces(content);
    if (gbkLength(k) > Q::kKnowledgePointsWidth) {
        message(u"知识点长度超标！"_s);
        return false;
    }
    const QString joined = joinedKnowledge(k);
    m_grid.setText(r, KnowledgeColumn, joined);
    storeFields(r, {{Q::KnowledgePoints, joined}});
    return true;
}

bool BankEditor::acceptGroupName(int r, const QString& content) {
    const QString name = withoutSpaces(content);
    const QString old = m_dialogInitialText;
    if (name.isEmpty())
        return removeFromGroup(r, old);
    if (gbkLength(name) > Q::kGroupNameWidth) {
        message(u"分组名长度超标！"_s);
        return false;
    }
    if (old.isEmpty())
        return joinOrCreateGroup(r, name);
    // Only spaces were added or removed: the name stays what it was.
    if (name == old)
        return true;
    if (isTitle(r))
        return renameGroup(r, old, name);
    return moveToGroup(r, old, name);
}

bool BankEditor::removeFromGroup(int r, const QString& old) {
    if (old.isEmpty())
        return true;
    if (isTitle(r)) {
        if (groupHasSubQuestions(old, r)) {
            message(u"不能删除带有子分组试题的标题分组名！"_s);
            return true;
        }
        if (m_prompter.okCancel(u"确定要删除该试题分组吗？"_s))
            clearTitle(r);
        return true;
    }
    RecordStore::Batch batch(m_store, m_courseName);
    const int title = findTitleRow(old);
    if (title > 0)
        changeTitleScore(title, -cellInt(r, ScoreColumn));
    const bool wasSubQuestion = isGrouped(r);
    m_grid.setText(r, GroupNameColumn, QString());
    m_grid.setText(r, GroupNumberColumn, QString());
    storeFields(r, {{Q::GroupName, QString()}, {Q::GroupNumber, QString()}});
    batch.commit();
    if (wasSubQuestion) {
        ++m_questionCount;
        updateEditorCaption();
    }
    return true;
}

bool BankEditor::joinOrCreateGroup(int r, const QString& name) {
    const qint32 id = recordIdOf(r);
    const int title = findTitleRow(name);
    if (title < 1) {
        if (!m_prompter.okCancel(
                u"将该题转为标题分组试题将删除该题的答案和答案图片，确定将该题转为标题分组试题吗？"_s))
            return false;
        makeTitle(r, name);
        applyGroupOrder();
        keepCurrentQuestion(id);
        return true;
    }
    if (cell(title, TypeColumn) != cell(r, TypeColumn)) {
        message(u"当前题型与分组 "_s + name + u" 题型不一致！"_s);
        return false;
    }
    if (cell(title, DifficultyColumn) != cell(r, DifficultyColumn) &&
        !m_prompter.okCancel(u"将该题加入分组 "_s + name + u" 会改变该题难度，确定加入吗？"_s))
        return false;
    const int difficulty = cellInt(title, DifficultyColumn);
    const bool fixed = m_grid.checked(title, FixedScoreColumn);
    RecordStore::Batch batch(m_store, m_courseName);
    m_grid.setNumber(r, DifficultyColumn, difficulty);
    m_grid.setChecked(r, FixedScoreColumn, fixed);
    m_grid.setText(r, GroupNameColumn, name);
    m_grid.setText(r, GroupNumberColumn, u"1"_s);
    storeFields(r, {{Q::GroupName, name},
                    {Q::GroupNumber, u"1"_s},
                    {Q::Difficulty, difficulty},
                    {Q::FixedScore, fixed}});
    if (!fixed)
        changeTitleScore(title, cellInt(r, ScoreColumn));
    batch.commit();
    --m_questionCount;
    updateEditorCaption();
    applyGroupOrder();
    keepCurrentQuestion(id);
    return true;
}

bool BankEditor::renameGroup(int r, const QString& old, const QString& name) {
    Q_UNUSED(r);
    for (int row = 1; row < m_grid.rowCount(); ++row) {
        if (cell(row, GroupNameColumn) == name && isTitle(row)) {
            message(u"新分组名的标题试题已经存在！"_s);
            return true;
        }
    }
    if (!m_prompter.okCancel(u"确定要更改标题分组名吗？"_s))
        return true;
    RecordStore::Batch batch(m_store, m_courseName);
    for (int row = 1; row < m_grid.rowCount(); ++row) {
        if (cell(row, GroupNameColumn) != old)
            continue;
        m_grid.setText(row, GroupNameColumn, name);
        storeFields(row, {{Q::GroupName, name}});
    }
    batch.commit();
    return true;
}

bool BankEditor::moveToGroup(int r, const QString& old, const QString& name) {
    if (!m_prompter.okCancel(u"确定要更改该分组名吗？"_s))
        return true;
    const qint32 id = recordIdOf(r);
    const int score = cellInt(r, ScoreColumn);
    RecordStore::Batch batch(m_store, m_courseName);
    const int title = findTitleRow(name);
    if (title > 0) {
        if (cell(title, TypeColumn) != cell(r, TypeColumn)) {
            message(u"当前题型与分组 "_s + name + u" 题型不一致！"_s);
            return false;
        }
        if (cell(title, DifficultyColumn) != cell(r, DifficultyColumn) &&
            !m_prompter.okCancel(u"将该题加入分组 "_s + name + u" 会改变该题难度，确定加入吗？"_s))
            return false;
        const int difficulty = cellInt(title, DifficultyColumn);
        const bool fixed = m_grid.checked(title, FixedScoreColumn);
        m_grid.setText(r, GroupNameColumn, name);
        m_grid.setNumber(r, DifficultyColumn, difficulty);
        m_grid.setChecked(r, FixedScoreColumn, fixed);
        storeFields(r, {{Q::GroupName, name}, {Q::Difficulty, difficulty}, {Q::FixedScore, fixed}});
        if (!fixed)
            changeTitleScore(title, score);
    } else {
        if (!m_prompter.okCancel(
                u"将该题转为标题分组试题将删除该题的答案和答案图片，确定将该题转为标题分组试题吗？"_s))
            return false;
        makeTitle(r, name);
        ++m_questionCount;
        updateEditorCaption();
    }
    const bool fixed = m_grid.checked(r, FixedScoreColumn);
    if (!fixed) {
        const int oldTitle = findTitleRow(old);
        if (oldTitle > 0)
            changeTitleScore(oldTitle, -score);
    }
    batch.commit();
    applyGroupOrder();
    keepCurrentQuestion(id);
    return true;
}

void BankEditor::makeTitle(int r, const QString& name) {
    m_grid.setText(r, GroupNameColumn, name);
    m_grid.setText(r, GroupNumberColumn, kTitleNumber);
    m_grid.setText(r, AnswerColumn, QString());
    m_grid.setText(r, AnswerPictureColumn, QString());
    m_grid.setNumber(r, ScoreColumn, 0);
    // The answer picture's bytes stay stored; the title just no longer shows them.
    storeFields(r, {{Q::GroupName, name},
                    {Q::GroupNumber, kTitleNumber},
                    {Q::Answer, QString()},
                    {Q::AnswerPicture, QString()},
                    {Q::Score, 0}});
    indexRow(r);
}

void BankEditor::clearTitle(int r) {
    m_grid.setText(r, GroupNameColumn, QString());
    m_grid.setText(r, GroupNumberColumn, QString());
    m_grid.setNumber(r, ScoreColumn, 0);
    m_grid.setText(r, AnswerColumn, kAnswerPlaceholder);
    storeFields(r, {{Q::GroupName, QString()},
                    {Q::GroupNumber, QString()},
                    {Q::Score, 0},
                    {Q::Answer, kAnswerPlaceholder}});
    indexRow(r);
}

// ---- Adding, deleting, copying, closing

void BankEditor::addQuestion() {
    if (m_currentRow > 0 && !validateQuestionRow(m_pressRow))
        return;
    const int before = std::clamp(m_currentRow + 1, 1, m_grid.rowCount());
    if (!m_grid.insertRow(before))
        return;
    m_currentRow = before;
    if (!bankCurrent())
        return;
    QVariantList values;
    for (int field = 1; field <= Q::kFieldCount; ++field)
        values.append(QVariant());
    values[Q::Difficulty - 1] = 1;
    values[Q::Score - 1] = 0;
    if (!m_store.append(values)) {
        m_grid.removeRow(before);
        m_currentRow = before - 1;
        return;
    }
    const int r = m_currentRow;
    m_grid.setNumber(r, DifficultyColumn, 1);
    m_grid.setNumber(r, ScoreColumn, 0);
    m_grid.setNumber(r, RecordIdColumn, m_store.recordId());
    for (const int c : {ChoiceColumn, FixedScoreColumn, BlockedColumn})
        m_grid.setChecked(r, c, false);
    formatRows(r, r);
    indexRow(r);
    setCurrentCell(r, StemText1Column);
    setDeleteEnabled(true);
    ++m_questionCount;
    updateEditorCaption();

    m_dialogCaption = u"编辑"_s + cell(0, StemText1Column);
    m_currentColumn = StemText1Column;
    m_dialogRow = r;
    m_dialogColumn = StemText1Column;
    m_savedCellText = cell(r, StemText1Column);
    m_dialogInitialText = m_savedCellText;
    Q_EMIT textDialogRequested();
}

void BankEditor::deleteSelectedQuestions() {
    const int s = m_grid.selectionStartRow();
    if (s < 1) {
        message(u"请选择试题！"_s);
        return;
    }
    const int e = m_grid.selectionEndRow();
    for (int row = s; row <= e; ++row) {
        if (isTitle(row) && cellInt(row, ScoreColumn) != 0) {
            message(u"选择试题中包含带有子试题而不能被删除的标题试题，请重新选择！"_s);
            return;
        }
    }
    if (!m_prompter.okCancel(u"删除试题后将不能恢复，确定要删除所选试题吗"_s)) {
        updateEditorCaption();
        return;
    }
    if (!bankCurrent())
        return;
    RecordStore::Batch batch(m_store, m_courseName);
    for (int i = s; i <= e && s < m_grid.rowCount(); ++i) {
        const QString name = cell(s, GroupNameColumn);
        const QString number = cell(s, GroupNumberColumn);
        if (!name.isEmpty() && number != kTitleNumber && !m_grid.checked(s, BlockedColumn)) {
            const int title = findTitleRow(name);
            if (title > 0 && title != s)
                changeTitleScore(title, -cellInt(s, ScoreColumn));
        }
        if (number.isEmpty() || number == kTitleNumber)
            --m_questionCount;
        const qint32 id = recordIdOf(s);
        if (m_store.goToRecordId(id) && m_store.markDeleted()) {
            m_duplicates.remove(id);
            m_grid.removeRow(s);
        }
    }
    m_store.purge();
    batch.commit();

    if (s > 1)
        m_currentRow = s - 1;
    else
        m_currentRow = m_grid.rowCount() > 1 ? 1 : 0;
    if (m_currentRow > 0)
        setCurrentCell(m_currentRow, StemText1Column);
    setDeleteEnabled(m_currentRow > 0);
    updateEditorCaption();
}

void BankEditor::copyQuestionBelow() {
    const int source = m_currentRow;
    if (source < 1 || source >= m_grid.rowCount() || !bankCurrent())
        return;
    if (!m_store.goToRecordId(recordIdOf(source)))
        return;
    const bool choice = m_store.readBool(Q::Choice);
    const bool fixed = m_store.readBool(Q::FixedScore);
    const bool blocked = m_store.readBool(Q::Blocked);
    const QByteArray stemPicture = m_store.readBytes(Q::StemPictureData);
    const QByteArray answerPicture = m_store.readBytes(Q::AnswerPictureData);

    QVariantList values;
    for (int c = KnowledgeColumn; c <= TypeColumn; ++c)
        values.append(cell(source, c));
    // The copy of a title stands on its own.
    if (isTitle(source)) {
        values[Q::GroupName - 1] = QString();
        values[Q::GroupNumber - 1] = QString();
    }
    values << cellInt(source, DifficultyColumn) << cellInt(source, ScoreColumn) << choice << fixed << blocked
           << stemPicture << answerPicture;
    if (!m_store.append(values))
        return;
    const int r = source + 1;
    if (!m_grid.insertRow(r))
        return;
    m_currentRow = r;
    fillRowFromRecord(r);
    formatRows(r, r);
    setCurrentCell(r, StemText1Column);
    setDeleteEnabled(true);
    const bool subQuestion = isGrouped(r) && !isTitle(r);
    if (!subQuestion)
        ++m_questionCount;
    updateEditorCaption();
}

bool BankEditor::mayCloseEditor() {
    if (checkRowBeforeLeaving(m_pressRow) == Leave::Stay)
        return false;
    if (!bankCurrent())
        return true;
    // Versions of picture-option questions by their 题文1: letter and circled ones.
    struct Versions {
        int letters = 0;
        int circled = 0;
    };
    QHash<QString, Versions> versions;
    for (int r = 1; r < m_grid.rowCount(); ++r) {
        if (cell(r, StemPictureColumn).isEmpty())
            continue;
        Versions& v = versions[cell(r, StemText1Column)];
        if (startsWithCircledNumber(cell(r, AnswerColumn)))
            ++v.circled;
        else
            ++v.letters;
    }
    for (int r = 1; r < m_grid.rowCount(); ++r) {
        const bool pictureOptions = m_grid.checked(r, ChoiceColumn) &&
                                    !cell(r, StemPictureColumn).isEmpty() &&
                                    cell(r, StemText2Column).isEmpty();
        if (!pictureOptions)
            continue;
        const Versions v = versions.value(cell(r, StemText1Column));
        if (v.letters * v.circled > 0 && (v.letters < 2 || v.circled < 2)) {
            const QString kind = v.letters == 1 ? u"字母"_s : u"数字"_s;
            if (m_prompter.yesNo(u"题目 "_s + cell(r, StemText1Column) + u" 缺少备选的"_s + kind +
                                 u"编号选项的试题，是否现在编辑完善？"_s)) {
                m_currentRow = r;
                setCurrentCell(r, StemText1Column);
                return false;
            }
            return true;
        }
    }
    return true;
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
    if (!bankCurrent() || !m_store.goToRecordId(recordIdOf(row)))
        return false;
    QVariantList values;
    values.reserve(Q::kFieldCount);
    for (int field = 1; field <= Q::kFieldCount; ++field)
        values.append(QVariant());
    for (const auto& [field, value] : fields)
        values[field - 1] = value;
    return m_store.modify(values);
}

void BankEditor::changeTitleScore(int titleRow, int delta) {
    const int score = cellInt(titleRow, ScoreColumn) + delta;
    m_grid.setNumber(titleRow, ScoreColumn, score);
    storeFields(titleRow, {{Q::Score, score}});
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
