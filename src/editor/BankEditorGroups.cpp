#include "editor/BankEditor.h"

// Question groups: 分组号 and 分组名, and what a title's 题型, 难度, 屏蔽 do to its group.

#include <algorithm>

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
            const QString group = cell(r, GroupNameColumn);
            m_grid.setText(r, GroupNameColumn, QString());
            m_grid.setText(r, GroupNumberColumn, QString());
            storeFields(r, {{Q::GroupName, QString()}, {Q::GroupNumber, QString()}});
            recomputeTitleScore(group);
            commitOrFail(batch);
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
    setGroupField(cell(r, GroupNameColumn), TypeColumn, text, trimSpaces(text));
}

// A title's 题型 and 难度 go to its whole group: cells and records, in one batch.
void BankEditor::setGroupField(const QString& name, int column, const QVariant& shown, const QVariant& stored) {
    RecordStore::Batch batch(m_store, m_courseName);
    for (int row = 1; row < m_grid.rowCount(); ++row) {
        if (cell(row, GroupNameColumn) != name)
            continue;
        m_grid.setValue(row, column, shown);
        storeFields(row, {{column + 1, stored}});
    }
    commitOrFail(batch);
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
    setGroupField(cell(r, GroupNameColumn), DifficultyColumn, d, d);
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
    if (isGrouped(r))
        recomputeTitleScore(cell(r, GroupNameColumn));
    commitOrFail(batch);
}

void BankEditor::checkboxEdited(int r, int column) {
    const bool on = m_grid.checked(r, column);
    if (on && isTitle(r)) {
        m_grid.setChecked(r, column, false);
        return;
    }
    RecordStore::Batch batch(m_store, m_courseName);
    storeFields(r, {{column + 1, on}});
    if (isGrouped(r))
        recomputeTitleScore(cell(r, GroupNameColumn));
    commitOrFail(batch);
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
        // The whole group is blocked or unblocked with its title.
        for (int row = 1; row < m_grid.rowCount(); ++row) {
            if (cell(row, GroupNameColumn) != name)
                continue;
            m_grid.setChecked(row, BlockedColumn, on);
            storeFields(row, {{Q::Blocked, on}});
        }
    } else {
        const int title = findTitleRow(name);
        // Under a blocked title the box goes back to what it was: a sub-question
        // of a blocked group stays blocked, one that joined it unblocked stays so.
        if (title > 0 && m_grid.checked(title, BlockedColumn))
            m_grid.setChecked(r, BlockedColumn, !on);
        storeFields(r, {{Q::Blocked, m_grid.checked(r, BlockedColumn)}});
    }
    recomputeTitleScore(name);
    commitOrFail(batch);
}

bool BankEditor::acceptGroupName(int r, const QString& content) {
    const QString name = singleLineField(content);
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
    const bool wasSubQuestion = isGrouped(r);
    m_grid.setText(r, GroupNameColumn, QString());
    m_grid.setText(r, GroupNumberColumn, QString());
    storeFields(r, {{Q::GroupName, QString()}, {Q::GroupNumber, QString()}});
    recomputeTitleScore(old);
    commitOrFail(batch);
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
        RecordStore::Batch batch(m_store, m_courseName);
        makeTitle(r, name);
        commitOrFail(batch);
        applyGroupOrder();
        keepCurrentQuestion(id);
        return true;
    }
    if (!mayJoin(r, title, name))
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
    recomputeTitleScore(name);
    commitOrFail(batch);
    --m_questionCount;
    updateEditorCaption();
    applyGroupOrder();
    keepCurrentQuestion(id);
    return true;
}

// A question joins a group only with its title's type; a difference in
// difficulty is asked about, since joining takes the title's.
bool BankEditor::mayJoin(int r, int title, const QString& name) {
    if (cell(title, TypeColumn) != cell(r, TypeColumn)) {
        message(u"当前题型与分组 "_s + name + u" 题型不一致！"_s);
        return false;
    }
    return cell(title, DifficultyColumn) == cell(r, DifficultyColumn) ||
           m_prompter.okCancel(u"将该题加入分组 "_s + name + u" 会改变该题难度，确定加入吗？"_s);
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
    recomputeTitleScore(name);
    commitOrFail(batch);
    return true;
}

bool BankEditor::moveToGroup(int r, const QString& old, const QString& name) {
    if (!m_prompter.okCancel(u"确定要更改该分组名吗？"_s))
        return true;
    const qint32 id = recordIdOf(r);
    RecordStore::Batch batch(m_store, m_courseName);
    const int title = findTitleRow(name);
    if (title > 0) {
        if (!mayJoin(r, title, name))
            return false;
        const int difficulty = cellInt(title, DifficultyColumn);
        const bool fixed = m_grid.checked(title, FixedScoreColumn);
        m_grid.setText(r, GroupNameColumn, name);
        m_grid.setNumber(r, DifficultyColumn, difficulty);
        m_grid.setChecked(r, FixedScoreColumn, fixed);
        storeFields(r, {{Q::GroupName, name}, {Q::Difficulty, difficulty}, {Q::FixedScore, fixed}});
    } else {
        if (!m_prompter.okCancel(
                u"将该题转为标题分组试题将删除该题的答案和答案图片，确定将该题转为标题分组试题吗？"_s))
            return false;
        makeTitle(r, name);
        ++m_questionCount;
        updateEditorCaption();
    }
    recomputeTitleScore(name);
    recomputeTitleScore(old);
    commitOrFail(batch);
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
    m_grid.setChecked(r, FixedScoreColumn, false);
    // The answer picture's bytes stay stored; the title just no longer shows them.
    storeFields(r, {{Q::GroupName, name},
                    {Q::GroupNumber, kTitleNumber},
                    {Q::Answer, QString()},
                    {Q::AnswerPicture, QString()},
                    {Q::Score, 0},
                    {Q::FixedScore, false}});
    indexRow(r);
    // Sub-questions left behind by an earlier title of this name count at once.
    recomputeTitleScore(name);
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

// The one rule for a title's score, applied after every change that touches a
// group rather than adjusted step by step, which drifts the first time a case is
// missed (a blocked sub-question leaving, a copy joining).
bool BankEditor::recomputeTitleScore(const QString& groupName) {
    if (groupName.isEmpty())
        return true;
    // One pass over the rows finds the title and sums the sub-questions.
    int title = 0;
    int sum = 0;
    for (int r = 1; r < m_grid.rowCount(); ++r) {
        if (cell(r, GroupNameColumn) != groupName)
            continue;
        if (isTitle(r)) {
            if (title == 0)
                title = r;
        } else if (!m_grid.checked(r, BlockedColumn)) {
            sum += cellInt(r, ScoreColumn);
        }
    }
    if (title < 1)
        return true;
    if (m_grid.checked(title, BlockedColumn))
        sum = 0;
    bool stored = true;
    if (cellInt(title, ScoreColumn) != sum || cell(title, ScoreColumn).isEmpty()) {
        m_grid.setNumber(title, ScoreColumn, sum);
        stored = storeFields(title, {{Q::Score, sum}});
    }
    if (m_grid.checked(title, FixedScoreColumn)) {
        m_grid.setChecked(title, FixedScoreColumn, false);
        stored = storeFields(title, {{Q::FixedScore, false}}) && stored;
    }
    return stored;
}

bool BankEditor::recomputeTitleScores() {
    // One pass: the sums of every group, then each title brought in line.
    QHash<QString, int> sums;
    for (int r = 1; r < m_grid.rowCount(); ++r) {
        const QString name = cell(r, GroupNameColumn);
        if (!name.isEmpty() && !isTitle(r) && !m_grid.checked(r, BlockedColumn))
            sums[name] += cellInt(r, ScoreColumn);
    }
    if (!bankCurrent())
        return false;
    RecordStore::Batch batch(m_store, m_courseName);
    bool stored = true;
    for (int r = 1; r < m_grid.rowCount(); ++r) {
        if (!isTitle(r))
            continue;
        const int sum = m_grid.checked(r, BlockedColumn) ? 0 : sums.value(cell(r, GroupNameColumn));
        if (cellInt(r, ScoreColumn) != sum) {
            m_grid.setNumber(r, ScoreColumn, sum);
            stored = storeFields(r, {{Q::Score, sum}}) && stored;
        }
        if (m_grid.checked(r, FixedScoreColumn)) {
            m_grid.setChecked(r, FixedScoreColumn, false);
            stored = storeFields(r, {{Q::FixedScore, false}}) && stored;
        }
    }
    return commitOrFail(batch) && stored;
}

} // namespace helan
