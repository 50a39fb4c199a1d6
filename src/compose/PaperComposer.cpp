#include "compose/PaperComposer.h"

#include <cmath>

#include <QDateTime>
#include <QHash>
#include <QSet>

#include "base/Prompter.h"
#include "base/TextRules.h"
#include "base/TimeStamp.h"
#include "compose/NumberingSettings.h"
#include "compose/TypeColourSettings.h"
#include "compose/WordProcessor.h"
#include "grid/GridSort.h"
#include "model/CourseCatalog.h"
#include "model/QuestionRecord.h"
#include "model/QuestionTypeLibrary.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

using Q = QuestionRecord;

const QString kTitleNumber = u"0"_s;
constexpr RgbColour kWhite = 0xFFFFFF;
// A score counts only above this, as the number sort compares.
constexpr double kScoreEpsilon = 0.0000001;

// The record field each question column shows, 0 for the columns of this window.
constexpr int kFieldOfColumn[PaperComposer::kColumnCount] = {
    Q::KnowledgePoints,
    Q::GroupName,
    Q::GroupNumber,
    Q::StemText1,
    Q::StemPicture,
    Q::StemText2,
    Q::Type,
    Q::Difficulty,
    Q::Score,
    Q::FixedScore,
    Q::Blocked,
    0,
    0,
    0,
};
constexpr int kColumnWidths[PaperComposer::kColumnCount] = {45, 45, 55, 271, 62, 214, 55,
                                                            35, 35, 35, 35,  35, 35,  0};

} // namespace

PaperComposer::PaperComposer(RecordStore& store, Prompter& prompter, const QString& courseName,
                             const WordProcessor& word, QObject* parent)
    : QObject(parent), m_store(store), m_prompter(prompter), m_courseName(courseName), m_word(word),
      m_questions(kColumnCount),
      m_tally(m_questions, {{PaperAColumn, PaperBColumn, GroupNumberColumn, ScoreColumn, TypeColumn}, GroupNameColumn,
                            GroupNumberColumn},
              [this](int row) {
                  PaperTally::Share share;
                  share.a = countsFor(row, Paper::A);
                  share.b = countsFor(row, Paper::B);
                  if (share.a || share.b) {
                      share.type = cell(row, TypeColumn);
                      share.score = cellInt(row, ScoreColumn);
                  }
                  return share;
              },
              [this](int row) { return isTitle(row); }),
      m_typeOrder(kTypeOrderColumnCount), m_scoresA(2), m_scoresB(2), m_numbering(1), m_colours(1) {
    for (int d = 1; d <= 9; ++d)
        m_lowestItems << QString::number(d);
    m_highestItems = m_lowestItems;
    m_lowest = m_lowestItems.first();
    m_highest = m_highestItems.last();

    GridEvents& q = m_questions.events();
    connect(&q, &GridEvents::leftButtonUp, this, [this] { questionButtonUp(); });
    connect(&q, &GridEvents::editRequested, this, [this](bool& allowed) {
        const int c = m_questions.cursorColumn();
        // Also guards edits started from the keyboard after the click that set the switch.
        if (c <= TypeColumn || c == RecordIdColumn || (c <= BlockedColumn && m_autoComposerOpen))
            allowed = false;
    });
    connect(&q, &GridEvents::editBegins, this, [this] { questionEditBegins(); });
    connect(&q, &GridEvents::editEnded, this, [this] { questionEditEnded(); });
    connect(&q, &GridEvents::rightButtonUp, this, [this](int x, int y) { questionRightButtonUp(x, y); });
    connect(&q, &GridEvents::doubleClick, this, [this] { questionDoubleClick(); });
    connect(&q, &GridEvents::columnResized, this, [this] { questionColumnResized(); });
    connect(&q, &GridEvents::keyDown, this, [](int key, Qt::KeyboardModifiers, bool& swallowed) {
        if (key == Qt::Key_Delete)
            swallowed = true;
    });

    GridEvents& t = m_typeOrder.events();
    connect(&t, &GridEvents::leftButtonUp, this, [this] { typeButtonUp(); });
    connect(&t, &GridEvents::editRequested, this, [this](bool& allowed) {
        const int c = m_typeOrder.cursorColumn();
        if (c == TypeNameColumn || c == TypeRecordIdColumn || (c == TypeScoreColumn && m_autoComposerOpen))
            allowed = false;
    });
    connect(&t, &GridEvents::editBegins, this, [this] { typeEditBegins(); });
    connect(&t, &GridEvents::editEnded, this, [this] { typeEditEnded(); });
    connect(&t, &GridEvents::cursorMoved, this, [this] { typeCursorMoved(); });
    connect(&t, &GridEvents::rightButtonUp, this, [this](int x, int y) { Q_EMIT typeMenuRequested(x, y); });
    connect(&t, &GridEvents::keyDown, this, [](int key, Qt::KeyboardModifiers, bool& swallowed) {
        if (key == Qt::Key_Delete)
            swallowed = true;
    });

    for (GridModel* scores : {&m_scoresA, &m_scoresB})
        scores->setEditingAllowed(false);
}

PaperComposer::~PaperComposer() {
    close();
}

// ---- Opening and closing

void PaperComposer::open() {
    m_outputChoiceEnabled = m_word.isWordInstalled();
    m_output = m_outputChoiceEnabled ? Output::Word : Output::Html;
    loadDifficultyNote();
    loadQuestionGrid();
    setPaperScoreHeaders(m_scoresA);
    setPaperScoreHeaders(m_scoresB);
    buildTypeOrderTable();
    recomputePaperState();
    loadNumberingStyles();
    m_opened = true;
    changed();
}

void PaperComposer::close() {
    if (!m_opened || m_closed)
        return;
    m_closed = true;
    writeBackQuestions();
}

void PaperComposer::loadDifficultyNote() {
    CourseCatalog catalog(m_store, m_prompter);
    const int position = int(catalog.courseNames().indexOf(m_courseName));
    if (position >= 0 && catalog.goToCourse(position))
        m_difficultyNote = m_store.readText(CourseCatalog::Difficulty);
    bankCurrent();
}

void PaperComposer::setDifficultyNote(const QString& text) {
    m_difficultyNote = text;
    changed();
}

void PaperComposer::loadQuestionGrid() {
    m_questions.clearPendingItems();
    for (int d = 1; d <= 9; ++d)
        m_questions.appendPendingItem(QString::number(d));
    m_questions.setColumnKind(DifficultyColumn, ColumnKind::List);
    m_questions.setColumnKind(ScoreColumn, ColumnKind::Number);
    for (const int c : {FixedScoreColumn, BlockedColumn, PaperAColumn, PaperBColumn})
        m_questions.setColumnKind(c, ColumnKind::Checkbox);
    m_questions.setColumnKind(RecordIdColumn, ColumnKind::Number);
    for (int c = 0; c < kColumnCount; ++c)
        m_questions.setColumnWidth(c, kColumnWidths[c]);

    m_questions.setRowCount(1);
    for (int c = 0; c <= BlockedColumn; ++c)
        m_questions.setText(0, c, Q::fieldName(Q::Field(kFieldOfColumn[c])));
    m_questions.setText(0, PaperAColumn, u"A卷"_s);
    m_questions.setText(0, PaperBColumn, u"B卷"_s);

    m_questionCount = 0;
    m_stored.clear();
    if (bankCurrent()) {
        const int count = m_store.recordCount();
        m_questions.setRowCount(count + 1);
        for (int r = 1; r <= count; ++r) {
            m_store.goTo(r);
            for (int c = 0; c <= TypeColumn; ++c)
                m_questions.setText(r, c, m_store.readText(kFieldOfColumn[c]));
            m_questions.setText(r, DifficultyColumn, QString::number(m_store.readInt(Q::Difficulty)));
            m_questions.setNumber(r, ScoreColumn, m_store.readInt(Q::Score));
            m_questions.setChecked(r, FixedScoreColumn, m_store.readBool(Q::FixedScore));
            m_questions.setChecked(r, BlockedColumn, m_store.readBool(Q::Blocked));
            m_questions.setChecked(r, PaperAColumn, false);
            m_questions.setChecked(r, PaperBColumn, false);
            m_questions.setNumber(r, RecordIdColumn, m_store.recordId());
            m_stored.insert(m_store.recordId(), storedValuesOf(r));
            if (cell(r, GroupNameColumn).isEmpty() || isTitle(r))
                ++m_questionCount;
        }
    }
    m_caption = u"组卷 —— "_s + m_courseName + u"（共 "_s + QString::number(m_questionCount) + u" 题）"_s;
    sortComposerByGroup(false);
}

// Sorting lays rows down afresh, so the attributes go back on after every sort.
void PaperComposer::formatQuestionRows() {
    const int last = m_questions.rowCount() - 1;
    m_questions.setAlignment(CellRange(0, 0, 0, kColumnCount - 1), CellAlignment::Centre);
    m_questions.setAlignment(CellRange(0, StemPictureColumn, last, StemPictureColumn), CellAlignment::Centre);
    m_questions.setAlignment(CellRange(0, TypeColumn, last, PaperBColumn), CellAlignment::Centre);
    if (last >= 1)
        m_questions.setReadOnly(CellRange(1, 0, last, TypeColumn), true);
}

void PaperComposer::sortComposerByGroup(bool ascending) {
    const int last = m_questions.rowCount() - 1;
    sortRows(m_questions, GroupNameColumn, 1, last, SortKind::Text, m_prompter, true, ascending);
    sortWithinGroups(m_questions, GroupNameColumn, GroupNumberColumn, false, true);
    formatQuestionRows();
}

void PaperComposer::buildTypeOrderTable() {
    QStringList types;
    QSet<QString> seen;
    for (int r = 1; r < m_questions.rowCount(); ++r) {
        const QString type = cell(r, TypeColumn);
        if (!seen.contains(type)) {
            seen.insert(type);
            types << type;
        }
    }
    const int n = int(types.size());
    m_typeOrder.setRowCount(n + 1);
    m_typeOrder.setColumnKind(OrderColumn, ColumnKind::Number);
    m_typeOrder.setColumnKind(TypeScoreColumn, ColumnKind::Number);
    m_typeOrder.setColumnKind(AnswerLineBreakColumn, ColumnKind::Checkbox);
    m_typeOrder.setColumnWidth(OrderColumn, 40);
    m_typeOrder.setColumnWidth(TypeNameColumn, 100);
    m_typeOrder.setColumnWidth(TypeScoreColumn, 40);
    m_typeOrder.setColumnWidth(AnswerLineBreakColumn, 60);
    m_typeOrder.setColumnWidth(TypeRecordIdColumn, 0);
    m_typeOrder.setText(0, OrderColumn, u"排序"_s);
    m_typeOrder.setText(0, TypeNameColumn, QuestionTypeLibrary::fieldName(QuestionTypeLibrary::TypeName));
    m_typeOrder.setText(0, TypeScoreColumn, QuestionTypeLibrary::fieldName(QuestionTypeLibrary::Score));
    m_typeOrder.setText(0, AnswerLineBreakColumn,
                        QuestionTypeLibrary::fieldName(QuestionTypeLibrary::AnswerLineBreak));
    formatTypeOrderTable();

    QuestionTypeLibrary library(m_store, m_prompter);
    if (library.openTypeLibrary() == OpenOutcome::Ready) {
        for (int i = 1; i <= n; ++i) {
            const QString type = types.at(i - 1);
            m_store.first();
            // A type the library does not know leaves its row empty.
            if (!m_store.find([&] { return m_store.readText(QuestionTypeLibrary::TypeName) == type; }))
                continue;
            m_typeOrder.setNumber(i, OrderColumn, i);
            m_typeOrder.setText(i, TypeNameColumn, type);
            m_typeOrder.setNumber(i, TypeScoreColumn, m_store.readInt(QuestionTypeLibrary::Score));
            m_typeOrder.setChecked(i, AnswerLineBreakColumn,
                                   m_store.readBool(QuestionTypeLibrary::AnswerLineBreak));
            m_typeOrder.setText(i, TypeRecordIdColumn, QString::number(m_store.recordId()));
        }
    }
    bankCurrent();
    applyTypeColours();
}

void PaperComposer::formatTypeOrderTable() {
    m_typeOrder.setAlignment(CellRange(0, 0, m_typeOrder.rowCount() - 1, TypeScoreColumn),
                             CellAlignment::Centre);
    m_typeOrder.setAlignment(CellRange(0, AnswerLineBreakColumn), CellAlignment::Centre);
}

void PaperComposer::setPaperScoreHeaders(GridModel& grid) {
    grid.setRowCount(1);
    grid.setText(0, 0, u"题型"_s);
    grid.setText(0, 1, u"分值"_s);
    grid.setColumnWidth(0, 100);
    grid.setColumnWidth(1, 50);
    grid.setAlignment(CellRange(0, 1), CellAlignment::Centre);
}

void PaperComposer::applyTypeColours() {
    if (!TypeColourSettings::load(m_colours))
        return;
    for (int i = 1; i < m_typeOrder.rowCount(); ++i) {
        const RgbColour colour = i < m_colours.rowCount() ? m_colours.colour(i, 0) : kWhite;
        m_typeOrder.setColour(CellRange(i, 0, i, kTypeOrderColumnCount - 1), colour);
    }
}

void PaperComposer::loadNumberingStyles() {
    bool loaded = m_numbering.load(NumberingSettings::fileName());
    if (!loaded && m_hooks.runNumberingSettings) {
        m_hooks.runNumberingSettings();
        loaded = m_numbering.load(NumberingSettings::fileName());
    }
    // The settings window could not write its file (a folder without write
    // access): go on with the default styles rather than reopen it for ever.
    if (!loaded)
        NumberingSettings::buildDefaults(m_numbering);
    m_numberingStyles.clear();
    if (m_numbering.rowCount() > 1) {
        for (int c = 1; c < m_numbering.columnCount(); ++c)
            m_numberingStyles << m_numbering.text(0, c);
    }
    m_numberingStyleIndex = m_numberingStyles.isEmpty() ? -1 : 0;
    updateGenerateButtons();
}

void PaperComposer::chooseNumberingStyle(int index) {
    m_numberingStyleIndex = index >= 0 && index < m_numberingStyles.size() ? index : -1;
    updateGenerateButtons();
}

QStringList PaperComposer::majorSuffixes() {
    // "、" as Chinese papers write "一、选择题".
    return {u". "_s, u" "_s, u"、"_s};
}

QStringList PaperComposer::optionLabelSets() {
    return {u"A"_s, u"①"_s};
}

QStringList PaperComposer::optionSuffixes() {
    return {u". "_s, u" "_s, u"）"_s};
}

// ---- Paper state

bool PaperComposer::countsFor(int row, Paper paper) const {
    if (!m_questions.checked(row, paper == Paper::A ? PaperAColumn : PaperBColumn))
        return false;
    const QString number = cell(row, GroupNumberColumn);
    return (number.isEmpty() || number == kTitleNumber) &&
           m_questions.numberValue(row, ScoreColumn) > kScoreEpsilon;
}

void PaperComposer::recomputePaperState() {
    // The sums follow the grid's changes; the types are taken in their order.
    const QHash<QString, PaperTally::Sums>& byType = m_tally.sumsByType();
    m_scoresA.setRowCount(1);
    m_scoresB.setRowCount(1);
    qint64 totalA = 0, totalB = 0, common = 0;
    for (int i = 1; i < m_typeOrder.rowCount(); ++i) {
        const QString type = m_typeOrder.text(i, TypeNameColumn);
        const PaperTally::Sums sums = byType.value(type);
        totalA += sums.a;
        totalB += sums.b;
        common += sums.common;
        for (auto [grid, sum] : {std::pair{&m_scoresA, sums.a}, std::pair{&m_scoresB, sums.b}}) {
            if (sum > 0) {
                const int row = grid->appendRow();
                grid->setText(row, 0, type);
                grid->setText(row, 1, QString::number(sum));
            }
        }
    }
    for (GridModel* grid : {&m_scoresA, &m_scoresB})
        grid->setAlignment(CellRange(0, 1, grid->rowCount() - 1, 1), CellAlignment::Centre);
    m_totalA = QString::number(totalA);
    m_totalB = QString::number(totalB);
    m_similarity = QString::number(similarityPercent(common, totalA, totalB));
    m_compositionTime = timeStamp14(QDateTime::currentDateTime());
    updateGenerateButtons();
}

qint64 PaperComposer::similarityPercent(qint64 common, qint64 totalA, qint64 totalB) {
    const qint64 larger = std::max(totalA, totalB);
    if (larger <= 0)
        return 0;
    const double quotient = double(common) * 100.0 / double(larger);
    double whole = std::floor(quotient);
    // A quotient just below an integer is that integer.
    if (whole + 1.0 - quotient < 1e-12)
        whole += 1.0;
    return qint64(whole);
}

void PaperComposer::updateGenerateButtons() {
    m_generateA = false;
    m_generateB = false;
    if (m_numberingStyleIndex >= 0) {
        if (m_numbering.rowCount() < m_scoresA.rowCount()) {
            m_prompter.message(u"大题编号不够用！"_s, {}, Prompter::Icon::Warning);
        } else {
            m_generateA = intValue(m_totalA) > 0;
            m_generateB = intValue(m_totalB) > 0;
        }
    }
    changed();
}

bool PaperComposer::writeBackQuestions() {
    if (!bankCurrent())
        return false;
    RecordStore::Batch batch(m_store, m_courseName);
    // Only rows that differ from what the bank was last known to hold are
    // written: a large bank with a few edits costs the edits, not the bank.
    QList<std::pair<qint32, StoredValues>> written;
    for (int r = 1; r < m_questions.rowCount(); ++r) {
        const qint32 id = cellInt(r, RecordIdColumn);
        const StoredValues now = storedValuesOf(r);
        const auto known = m_stored.constFind(id);
        if (known != m_stored.cend() && *known == now)
            continue;
        if (!m_store.goToRecordId(id))
            continue;
        written.append({id, now});
        QVariantList values(Q::kFieldCount);
        values[Q::Difficulty - 1] = cellInt(r, DifficultyColumn);
        values[Q::Score - 1] = cellInt(r, ScoreColumn);
        values[Q::FixedScore - 1] = m_questions.checked(r, FixedScoreColumn);
        values[Q::Blocked - 1] = m_questions.checked(r, BlockedColumn);
        // One refused question leaves the whole write-back undone: the bank
        // keeps what it had rather than a part of the teacher's changes.
        if (!m_store.modify(values)) {
            noteWriteFailure();
            break;
        }
    }
    if (!m_writeFailed && !batch.commit())
        noteWriteFailure();
    if (!m_writeFailed) {
        for (const auto& [id, values] : written)
            m_stored.insert(id, values);
    }
    const bool whole = !m_writeFailed;
    reportWriteFailure();
    return whole;
}

PaperComposer::StoredValues PaperComposer::storedValuesOf(int row) const {
    return {cellInt(row, DifficultyColumn), cellInt(row, ScoreColumn), m_questions.checked(row, FixedScoreColumn),
            m_questions.checked(row, BlockedColumn)};
}

// The store's reason is taken when the write fails: later reads clear it.
void PaperComposer::noteWriteFailure() {
    if (!m_writeFailed)
        m_writeError = RecordStore::lastErrorText();
    m_writeFailed = true;
}

void PaperComposer::reportWriteFailure() {
    if (!m_writeFailed)
        return;
    m_writeFailed = false;
    m_prompter.message(u"修改未能写入题库："_s + m_writeError + u"。请检查磁盘后再改一次。"_s, {},
                       Prompter::Icon::Error);
}

// ---- Difficulty range, row heights, AutoComposer, generation

void PaperComposer::lowestDifficultyPressed() {
    const QString kept = m_lowest;
    m_lowestItems.clear();
    for (int d = 1; d <= intValue(m_highest); ++d)
        m_lowestItems << QString::number(d);
    if (!m_lowestItems.contains(kept) && !m_lowestItems.isEmpty())
        m_lowest = m_lowestItems.last();
    changed();
}

void PaperComposer::highestDifficultyPressed() {
    const QString kept = m_highest;
    m_highestItems.clear();
    for (int d = std::max(intValue(m_lowest), 1); d <= 9; ++d)
        m_highestItems << QString::number(d);
    if (!m_highestItems.contains(kept))
        m_highest = m_highestItems.first();
    changed();
}

void PaperComposer::chooseLowestDifficulty(const QString& text) {
    if (m_lowestItems.contains(text))
        m_lowest = text;
    changed();
}

void PaperComposer::chooseHighestDifficulty(const QString& text) {
    if (m_highestItems.contains(text))
        m_highest = text;
    changed();
}

void PaperComposer::rowHeightChanged(int position) {
    m_rowHeightPosition = position;
    const GridModel::RowHeightBatch batch(m_questions);
    for (int r = 1; r < m_questions.rowCount(); ++r)
        m_questions.setRowHeight(r, position + kRowHeightExtra);
    setQuestionCursor(m_currentRow, StemPictureColumn);
}

void PaperComposer::setWordSelected(bool on) {
    setOutput(on ? Output::Word : Output::Html);
}

void PaperComposer::startAutoComposition() {
    writeBackQuestions();
    m_difficultyListsEnabled = false;
    m_autoComposeEnabled = false;
    m_autoComposerOpen = true;
    changed();
    if (m_hooks.showAutoComposer)
        m_hooks.showAutoComposer();
    else
        autoComposerClosed(); // nothing to show yet
}

QString PaperComposer::statusText() const {
    return m_locked ? u"正在自动组卷，组卷窗口暂不能操作。按“自动组卷”窗口的“停止”可结束组卷。"_s : QString();
}

bool PaperComposer::mayClose() {
    if (m_locked)
        return false;
    for (int r = 1; r < m_questions.rowCount(); ++r) {
        if (m_questions.checked(r, PaperAColumn) || m_questions.checked(r, PaperBColumn))
            return m_prompter.okCancel(u"关闭组卷窗口将清除A卷、B卷的选择，确定关闭吗？"_s);
    }
    return true;
}

void PaperComposer::setLocked(bool on) {
    if (m_locked == on)
        return;
    m_locked = on;
    changed();
}

void PaperComposer::autoComposerClosed() {
    m_autoComposerOpen = false;
    m_difficultyListsEnabled = true;
    m_autoComposeEnabled = true;
    changed();
}

void PaperComposer::generatePaper(Paper paper) {
    if (!generateEnabled(paper))
        return;
    m_generationTime = timeStamp14(QDateTime::currentDateTime());
    if (m_hooks.generatePaper)
        m_hooks.generatePaper(*this, paper == Paper::A ? u"A卷"_s : u"B卷"_s);
    changed();
}

void PaperComposer::openPaperFolder() {
    if (m_lastPaperFolder.isEmpty()) {
        m_prompter.message(u"本次还没有生成试卷。"_s);
        return;
    }
    if (!m_hooks.openFolder || !m_hooks.openFolder(m_lastPaperFolder))
        m_prompter.message(u"无法打开文件夹：\n"_s + m_lastPaperFolder, {}, Prompter::Icon::Warning);
}

void PaperComposer::openNumberingSettings() {
    if (m_hooks.runNumberingSettings)
        m_hooks.runNumberingSettings();
    loadNumberingStyles();
}

void PaperComposer::openTypeColours() {
    if (m_hooks.runTypeColours)
        m_hooks.runTypeColours();
}

void PaperComposer::openDifficultyNote() {
    if (m_hooks.runDifficultyNote)
        m_hooks.runDifficultyNote();
    bankCurrent();
}

// ---- QuestionGrid events

void PaperComposer::rememberQuestionRow(int row, int column) {
    m_currentRow = row;
    m_currentColumn = column;
    m_savedGroupName = cell(row, GroupNameColumn);
    m_savedDifficulty = cellInt(row, DifficultyColumn);
    m_savedScore = cellInt(row, ScoreColumn);
}

void PaperComposer::questionButtonUp() {
    const int r = m_questions.cursorRow();
    if (r < 1)
        return;
    const int c = m_questions.cursorColumn();
    if (c <= TypeColumn)
        m_questions.setEditingAllowed(false);
    else if (c <= BlockedColumn)
        m_questions.setEditingAllowed(!m_autoComposerOpen);
    else
        m_questions.setEditingAllowed(true);
    rememberQuestionRow(r, c);
}

// An edit may start from the keyboard on another cell than the last click's.
void PaperComposer::questionEditBegins() {
    rememberQuestionRow(m_questions.cursorRow(), m_questions.cursorColumn());
}

void PaperComposer::questionEditEnded() {
    const int r = m_currentRow;
    if (r < 1 || r >= m_questions.rowCount())
        return;
    switch (m_currentColumn) {
    case DifficultyColumn:
        difficultyEdited(r);
        break;
    case ScoreColumn:
        scoreEdited(r);
        break;
    case FixedScoreColumn:
        fixedScoreEdited(r);
        break;
    case BlockedColumn:
        blockedEdited(r);
        break;
    case PaperAColumn:
    case PaperBColumn:
        paperBoxEdited(r, m_currentColumn);
        break;
    default:
        break;
    }
}

void PaperComposer::difficultyEdited(int r) {
    const int v = cellInt(r, DifficultyColumn);
    if (v < 1 || v > 9) {
        m_questions.setText(r, DifficultyColumn, QString::number(m_savedDifficulty));
        m_prompter.message(u"请直接选择难度值！"_s);
        return;
    }
    if (v == m_savedDifficulty)
        return;
    if (isTitle(r)) {
        if (!m_prompter.okCancel(u"确定要更改该试题分组的难度吗？"_s)) {
            m_questions.setText(r, DifficultyColumn, QString::number(m_savedDifficulty));
        } else {
            RecordStore::Batch batch(m_store, m_courseName);
            for (const int row : groupRows(r)) {
                m_questions.setText(row, DifficultyColumn, QString::number(v));
                storeFields(row, {{Q::Difficulty, v}});
            }
            if (!batch.commit())
                noteWriteFailure();
            m_savedDifficulty = v;
        }
    } else if (!isUngrouped(r)) {
        // A sub-question's difficulty follows its title.
        m_questions.setText(r, DifficultyColumn, QString::number(m_savedDifficulty));
    } else {
        m_savedDifficulty = v;
    }
    recomputePaperState();
}

void PaperComposer::scoreEdited(int r) {
    const QString s = cell(r, ScoreColumn);
    if (s == QString::number(m_savedScore))
        return;
    if (isTitle(r)) {
        m_questions.setNumber(r, ScoreColumn, m_savedScore);
        m_prompter.message(u"不能修改标题试题分值"_s);
        return;
    }
    // An emptied cell or a negative number would read as a score of 0 too.
    const int score = intValue(s);
    if (score < 1) {
        m_questions.setNumber(r, ScoreColumn, m_savedScore);
        m_prompter.message(u"试题分值不能为0"_s);
        return;
    }
    if (m_autoComposerOpen) {
        if (m_hooks.closeAutoComposer)
            m_hooks.closeAutoComposer();
        if (m_autoComposerOpen)
            autoComposerClosed();
    }
    if (!isBlocked(r)) {
        const int title = titleRowOf(r);
        if (title > 0 && title != r) {
            // The title holds its group's sum: stored together with the score it
            // sums, or the bank would hold a sum of scores it does not have.
            RecordStore::Batch batch(m_store, m_courseName);
            storeFields(r, {{Q::Score, score}});
            setScore(title, cellInt(title, ScoreColumn) + score - m_savedScore, !m_writeFailed);
            if (!m_writeFailed && !batch.commit())
                noteWriteFailure();
        }
    }
    m_savedScore = score;
    recomputePaperState();
}

void PaperComposer::fixedScoreEdited(int r) {
    if (isTitle(r) && m_questions.checked(r, FixedScoreColumn))
        m_questions.setChecked(r, FixedScoreColumn, false); // a title's score is its group's
    else
        storeFields(r, {{Q::FixedScore, m_questions.checked(r, FixedScoreColumn)}});
    recomputePaperState();
}

void PaperComposer::blockedEdited(int r) {
    const bool blocked = isBlocked(r);
    RecordStore::Batch batch(m_store, m_courseName);
    if (isTitle(r)) {
        const QList<int> rows = groupRows(r);
        if (blocked) {
            setScore(r, 0, true);
            for (const int row : rows) {
                m_questions.setChecked(row, BlockedColumn, true);
                m_questions.setChecked(row, PaperAColumn, false);
                m_questions.setChecked(row, PaperBColumn, false);
                storeFields(row, {{Q::Blocked, true}});
            }
        } else {
            int sum = 0;
            for (const int row : rows) {
                if (isTitle(row))
                    continue;
                m_questions.setChecked(row, BlockedColumn, false);
                storeFields(row, {{Q::Blocked, false}});
                sum += cellInt(row, ScoreColumn);
            }
            storeFields(r, {{Q::Blocked, false}});
            setScore(r, sum, true);
        }
    } else {
        const int title = isUngrouped(r) ? 0 : titleRowOf(r);
        if (title > 0 && isBlocked(title)) {
            // The whole group is blocked through its title.
            m_questions.setChecked(r, BlockedColumn, !blocked);
            return;
        }
        if (title > 0) {
            const int change = blocked ? -cellInt(r, ScoreColumn) : cellInt(r, ScoreColumn);
            setScore(title, cellInt(title, ScoreColumn) + change, true);
            if (blocked && cellInt(title, ScoreColumn) <= 0) {
                m_questions.setChecked(title, PaperAColumn, false);
                m_questions.setChecked(title, PaperBColumn, false);
            }
            if (!blocked) {
                m_questions.setChecked(r, PaperAColumn, m_questions.checked(title, PaperAColumn));
                m_questions.setChecked(r, PaperBColumn, m_questions.checked(title, PaperBColumn));
            }
        }
        if (blocked) {
            m_questions.setChecked(r, PaperAColumn, false);
            m_questions.setChecked(r, PaperBColumn, false);
        }
        storeFields(r, {{Q::Blocked, blocked}});
    }
    if (!batch.commit())
        noteWriteFailure();
    recomputePaperState();
}

void PaperComposer::paperBoxEdited(int r, int column) {
    if (isBlocked(r)) {
        m_questions.setChecked(r, column, false);
    } else if (!isUngrouped(r)) {
        const bool on = m_questions.checked(r, column);
        for (const int row : groupRows(r)) {
            if (!isBlocked(row))
                m_questions.setChecked(row, column, on);
        }
    }
    recomputePaperState();
}

void PaperComposer::questionRightButtonUp(int x, int y) {
    m_currentColumn = m_questions.cursorColumn();
    if (m_currentColumn == GroupNumberColumn)
        return;
    Q_EMIT sortMenuRequested(m_currentColumn >= FixedScoreColumn && m_currentColumn <= PaperBColumn, x, y);
}

void PaperComposer::sortCurrentColumn(bool ascending) {
    const int c = m_currentColumn;
    if (c == GroupNumberColumn || c == RecordIdColumn)
        return;
    const int last = m_questions.rowCount() - 1;
    if (c == GroupNameColumn)
        sortComposerByGroup(ascending);
    else
        sortRows(m_questions, c, 1, last, c == ScoreColumn ? SortKind::Number : SortKind::Text, m_prompter,
                 true, ascending);
    m_groupOrdered = c == GroupNameColumn;
    const GridModel::RowHeightBatch batch(m_questions);
    for (int r = 1; r <= last; ++r)
        m_questions.setRowHeight(r, m_rowHeightPosition + kRowHeightExtra);
    formatQuestionRows();
    setQuestionCursor(m_currentRow, m_currentColumn);
}

void PaperComposer::applyBoxOperation(BoxOperation operation) {
    const int c = m_currentColumn;
    if (c < FixedScoreColumn || c > PaperBColumn)
        return;
    const int first = std::max(1, m_questions.selectionStartRow());
    const int last = std::min(m_questions.selectionEndRow(), m_questions.rowCount() - 1);
    const auto newState = [&](int row) {
        switch (operation) {
        case BoxOperation::CheckAll:
            return true;
        case BoxOperation::ClearAll:
            return false;
        case BoxOperation::Invert:
            break;
        }
        return !m_questions.checked(row, c);
    };
    RecordStore::Batch batch(m_store, m_courseName);
    for (int r = first; r <= last; ++r) {
        if (c == FixedScoreColumn) {
            // A title never has a fixed score, in bulk as in a single cell.
            if (isTitle(r))
                continue;
            const bool on = newState(r);
            m_questions.setChecked(r, c, on);
            storeFields(r, {{Q::FixedScore, on}});
        } else if (c == BlockedColumn) {
            const bool on = newState(r);
            m_questions.setChecked(r, c, on);
            storeFields(r, {{Q::Blocked, on}});
            if (on && operation != BoxOperation::ClearAll) {
                m_questions.setChecked(r, PaperAColumn, false);
                m_questions.setChecked(r, PaperBColumn, false);
            }
        } else if (!isBlocked(r)) {
            m_questions.setChecked(r, c, newState(r));
        }
    }
    if (!batch.commit())
        noteWriteFailure();
    recomputePaperState();
}

void PaperComposer::questionDoubleClick() {
    const int r = m_currentRow;
    // A double click on a cell that edits in place edits it; the texts preview.
    if (r < 1 || r >= m_questions.rowCount() || m_questions.cursorColumn() > TypeColumn)
        return;
    Preview preview;
    preview.stem1 = cell(r, StemText1Column);
    if (cell(r, StemPictureColumn) == Q::pictureMark() && bankCurrent() &&
        m_store.goToRecordId(cellInt(r, RecordIdColumn)))
        preview.stemPicture = m_store.readBytes(Q::StemPictureData);
    preview.stem2 = cell(r, StemText2Column);
    if (m_hooks.previewQuestion)
        m_hooks.previewQuestion(preview);
}

void PaperComposer::questionColumnResized() {
    setQuestionCursor(m_currentRow, m_currentColumn);
}

void PaperComposer::setQuestionCursor(int row, int column) {
    if (row >= 1 && row < m_questions.rowCount())
        m_questions.setCursor(row, column);
}

// ---- Helpers

int PaperComposer::cellInt(int row, int column) const {
    return intValue(m_questions.text(row, column));
}

bool PaperComposer::isTitle(int row) const {
    return cell(row, GroupNumberColumn) == kTitleNumber;
}

bool PaperComposer::isUngrouped(int row) const {
    return cell(row, GroupNumberColumn).isEmpty();
}

QList<int> PaperComposer::groupRows(int row) {
    const QString name = cell(row, GroupNameColumn);
    if (name.isEmpty())
        return {row};
    return m_tally.groupRows(name);
}

int PaperComposer::titleRowOf(int row) {
    return m_tally.titleRow(cell(row, GroupNameColumn));
}

void PaperComposer::setScore(int row, int score, bool storeNow) {
    m_questions.setNumber(row, ScoreColumn, score);
    if (storeNow)
        storeFields(row, {{Q::Score, score}});
}

void PaperComposer::recomputeTitleScores() {
    QHash<QString, int> sums;
    for (int r = 1; r < m_questions.rowCount(); ++r) {
        if (!isTitle(r) && !isUngrouped(r) && !isBlocked(r))
            sums[cell(r, GroupNameColumn)] += cellInt(r, ScoreColumn);
    }
    for (int r = 1; r < m_questions.rowCount(); ++r) {
        if (isTitle(r))
            setScore(r, isBlocked(r) ? 0 : sums.value(cell(r, GroupNameColumn)), false);
    }
}

bool PaperComposer::storeFields(int row, std::initializer_list<std::pair<int, QVariant>> fields) {
    if (!bankCurrent() || !m_store.goToRecordId(cellInt(row, RecordIdColumn))) {
        noteWriteFailure();
        return false;
    }
    // Written at once, maybe in a batch that is not kept: what the bank holds
    // for this record is no longer known, and the write-back writes it again.
    m_stored.remove(cellInt(row, RecordIdColumn));
    bool ok = true;
    for (const auto& [field, value] : fields)
        ok = m_store.write(field, value) && ok;
    if (!ok)
        noteWriteFailure();
    return ok;
}

bool PaperComposer::bankCurrent() {
    return m_store.setCurrent(m_courseName);
}

} // namespace helan
