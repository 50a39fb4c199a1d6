#include "editor/BankEditor.h"

// The text dialog's columns, and adding, deleting, copying questions and closing.

#include <algorithm>
#include <utility>

#include <QHash>
#include <QSet>

#include "base/Gbk.h"
#include "base/Prompter.h"
#include "base/TextRules.h"
#include "editor/BankEditorTexts.h"
#include "grid/GridSort.h"
#include "model/OptionLabels.h"
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

// ---- The text dialog

int BankEditor::dialogTypingLimit() const {
    return m_dialogColumn == KnowledgeColumn || m_dialogColumn == GroupNameColumn ? 20 : 0;
}

bool BankEditor::acceptTextDialog(const QString& content) {
    // Only a dialog that was asked for may write: the row and column it names
    // are stale otherwise (an add that failed asks for none).
    if (!std::exchange(m_dialogOpen, false))
        return true;
    const ActionGuard action(*this);
    const QString v = cleanedDialogText(content);
    // Only the stem dialog of a new question ever sets it, and that one always closes.
    const qint32 added = std::exchange(m_addedRecordId, 0);
    if (v == m_dialogInitialText) {
        if (added != 0 && v.isEmpty())
            removeAddedQuestion(added);
        return true;
    }
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
        // A new question whose stem could not be stored goes again, as if cancelled.
        if (added != 0 && m_writeFailed)
            removeAddedQuestion(added);
        return true;
    case StemText2Column:
        if ((cell(r, StemText1Column) + v).isEmpty()) {
            message(u"题目不能为空！"_s);
            return true;
        }
        return acceptOptions(r, v);
    case AnswerColumn:
        if (v.isEmpty() && !isTitle(r)) {
            message(u"答案不能为空！"_s);
            return true;
        }
        return acceptAnswer(r, v);
    default:
        return true;
    }
}

void BankEditor::cancelTextDialog() {
    m_dialogOpen = false;
    const ActionGuard action(*this);
    if (const qint32 added = std::exchange(m_addedRecordId, 0))
        removeAddedQuestion(added);
}

void BankEditor::storeDialogText(int row, int column, const QString& text) {
    m_grid.setText(row, column, text);
    storeFields(row, {{column + 1, text}});
    indexRow(row);
    if (m_autoRowHeights)
        autoRowHeight(row);
}

// Options of a choice question lose their empty lines and, when every line
// carries the next label (A. … B. …), the labels: papers draw labels anew.
bool BankEditor::acceptOptions(int r, const QString& v) {
    const bool choice = m_grid.checked(r, ChoiceColumn);
    QString text = choice ? withoutEmptyLines(v) : v;
    if (choice) {
        if (const auto stripped = OptionLabels::stripLabels(splitCrLfLines(text)))
            text = stripped->join(kCrLf);
    }
    RecordStore::Batch batch(m_store, m_courseName);
    storeDialogText(r, StemText2Column, text);
    // An answer written as letters before the options were: now it can be read.
    if (choice && !text.isEmpty()) {
        if (const auto answer = OptionLabels::answerFromLetters(cell(r, AnswerColumn), splitCrLfLines(text)))
            storeDialogText(r, AnswerColumn, answer->join(kCrLf));
    }
    commitOrFail(batch);
    return true;
}

// A choice question's answer given as option letters becomes the options' texts.
bool BankEditor::acceptAnswer(int r, const QString& v) {
    const bool choice = m_grid.checked(r, ChoiceColumn);
    QString text = choice ? withoutEmptyLines(v) : v;
    const QString options = cell(r, StemText2Column);
    if (choice && !options.isEmpty()) {
        if (const auto answer = OptionLabels::answerFromLetters(text, splitCrLfLines(options)))
            text = answer->join(kCrLf);
    }
    storeDialogText(r, AnswerColumn, text);
    return true;
}

// 添加 then 取消 (or 确定 on an empty stem): the empty question goes again, so
// that no empty record is left for the composition window to show.
void BankEditor::removeAddedQuestion(qint32 id) {
    const int row = rowOfRecordId(id);
    if (row < 1 || !bankCurrent())
        return;
    RecordStore::Batch batch(m_store, m_courseName);
    // Committed on its own: it also runs after the new question's stem failed.
    if (!m_store.goToRecordId(id) || !m_store.markDeleted() || !m_store.purge() || !batch.commit()) {
        noteWriteFailure();
        return;
    }
    m_duplicates.remove(id);
    m_grid.removeRow(row);
    --m_questionCount;
    updateEditorCaption();
    if (row > 1)
        m_currentRow = row - 1;
    else
        m_currentRow = m_grid.rowCount() > 1 ? 1 : 0;
    m_pressRow = m_currentRow;
    if (m_currentRow > 0)
        setCurrentCell(m_currentRow, StemText1Column);
    setDeleteEnabled(m_currentRow > 0);
}

bool BankEditor::acceptKnowledge(int r, const QString& content) {
    const QString k = singleLineField(content);
    if (gbkLength(k) > Q::kKnowledgePointsWidth) {
        message(u"知识点长度超标！"_s);
        return false;
    }
    const QString joined = joinedKnowledge(k);
    m_grid.setText(r, KnowledgeColumn, joined);
    storeFields(r, {{Q::KnowledgePoints, joined}});
    return true;
}

// ---- Adding, deleting, copying, closing

void BankEditor::addQuestion() {
    const ActionGuard action(*this);
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
        noteWriteFailure();
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
    m_addedRecordId = recordIdOf(r);
    m_dialogOpen = true;
    Q_EMIT textDialogRequested();
}

void BankEditor::deleteSelectedQuestions() {
    const ActionGuard action(*this);
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
    QSet<QString> groups;
    for (int i = s; i <= e && s < m_grid.rowCount(); ++i) {
        const QString number = cell(s, GroupNumberColumn);
        const qint32 id = recordIdOf(s);
        if (!bankCurrent() || !m_store.goToRecordId(id) || !m_store.markDeleted()) {
            noteWriteFailure();
            break;
        }
        if (!cell(s, GroupNameColumn).isEmpty())
            groups.insert(cell(s, GroupNameColumn));
        if (number.isEmpty() || number == kTitleNumber)
            --m_questionCount;
        m_duplicates.remove(id);
        m_grid.removeRow(s);
    }
    if (!m_store.purge())
        noteWriteFailure();
    for (const QString& group : std::as_const(groups))
        recomputeTitleScore(group);
    commitOrFail(batch);

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
    const ActionGuard action(*this);
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
    RecordStore::Batch batch(m_store, m_courseName);
    if (!m_store.append(values)) {
        noteWriteFailure();
        return;
    }
    const int r = source + 1;
    if (!m_grid.insertRow(r))
        return;
    m_currentRow = r;
    fillRowFromRecord(r);
    // A copied sub-question counts in its title's score like any other.
    if (isGrouped(r) && !isTitle(r))
        recomputeTitleScore(cell(r, GroupNameColumn));
    commitOrFail(batch);
    formatRows(r, r);
    setCurrentCell(r, StemText1Column);
    setDeleteEnabled(true);
    const bool subQuestion = isGrouped(r) && !isTitle(r);
    if (!subQuestion)
        ++m_questionCount;
    updateEditorCaption();
}

bool BankEditor::mayCloseEditor() {
    // The row the teacher leaves by closing is the current one: a question just
    // added and left half-written is checked too, not only the row clicked before.
    if (checkRowBeforeLeaving(m_currentRow >= 1 ? m_currentRow : m_pressRow) == Leave::Stay)
        return false;
    if (!bankCurrent())
        return true;
    // Versions of picture-option questions by their 题文1: letter and circled ones.
    // A paper with circled labels needs a circled version and one with letters a
    // letter version; the teacher is asked only when one kind is missing.
    struct Versions {
        int letters = 0;
        int circled = 0;
    };
    const auto pictureOptions = [this](int r) {
        return m_grid.checked(r, ChoiceColumn) && !cell(r, StemPictureColumn).isEmpty() &&
               cell(r, StemText2Column).isEmpty();
    };
    QHash<QString, Versions> versions;
    for (int r = 1; r < m_grid.rowCount(); ++r) {
        if (!pictureOptions(r))
            continue;
        Versions& v = versions[cell(r, StemText1Column)];
        if (startsWithCircledNumber(cell(r, AnswerColumn)))
            ++v.circled;
        else
            ++v.letters;
    }
    for (int r = 1; r < m_grid.rowCount(); ++r) {
        if (!pictureOptions(r))
            continue;
        const Versions v = versions.value(cell(r, StemText1Column));
        if ((v.letters > 0) != (v.circled > 0)) {
            const QString kind = v.letters == 0 ? u"字母"_s : u"数字"_s;
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

} // namespace helan
