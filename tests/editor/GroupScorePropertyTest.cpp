// A title's 分值 is the sum of the 分值 of its unblocked sub-questions (0 while the
// title is blocked) and a title never carries 定分, whatever a teacher does to its
// group: random sequences of joins, leaves, moves, renames, new groups, blocks,
// score and 定分 changes, copies and deletions, checked in the grid and in the
// records after every step and in the reopened bank after every sequence.
#include <random>

#include <QDir>

#include "EditorFixture.h"

#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;
using namespace helan;
using namespace helan::test;

namespace {

using Q = QuestionRecord;
constexpr int kName = BankEditor::GroupNameColumn;
constexpr int kNumber = BankEditor::GroupNumberColumn;
constexpr int kScore = BankEditor::ScoreColumn;
constexpr int kBlocked = BankEditor::BlockedColumn;
constexpr int kFixed = BankEditor::FixedScoreColumn;
constexpr int kSequences = 2000;
constexpr int kSteps = 8;

// Every step commits, and on a disk each commit waits for the disk: the many
// thousand small banks of this test live in memory where the system has it.
const bool kBanksInMemory = [] {
    if (QDir(QStringLiteral("/dev/shm")).exists())
        qputenv("TMPDIR", "/dev/shm");
    return true;
}();

class GroupScoreProperty : public EditorFixture {
protected:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    bool coin() { return pick(2) == 1; }

    // A fresh bank: two or three groups of up to four sub-questions, a few
    // ungrouped questions; every title already follows the rule.
    void freshBank() {
        m_editor.reset();
        ASSERT_TRUE(m_store.setCurrent(course()));
        for (int k = 1; k <= m_store.recordCount(); ++k) {
            ASSERT_TRUE(m_store.goTo(k));
            ASSERT_TRUE(m_store.markDeleted());
        }
        ASSERT_TRUE(m_store.purge());
        const int groups = 2 + pick(2);
        for (int g = 0; g < groups; ++g) {
            const QString name = u"组%1"_s.arg(g);
            const bool blocked = pick(4) == 0;
            const int subs = pick(5);
            int sum = 0;
            QList<Question> members;
            for (int s = 1; s <= subs; ++s) {
                Question q = question(u"%1第%2问"_s.arg(name).arg(s));
                q.groupName = name;
                q.groupNumber = QString::number(s);
                q.blocked = blocked || pick(4) == 0;
                if (!q.blocked)
                    sum += q.score;
                members << q;
            }
            Question title = question(name + u"材料"_s);
            title.groupName = name;
            title.groupNumber = u"0"_s;
            title.answer.clear();
            title.blocked = blocked;
            title.score = blocked ? 0 : sum;
            addRecord(title);
            for (const Question& q : members)
                addRecord(q);
        }
        for (int i = 0; i < 3 + pick(3); ++i) {
            Question q = question(u"单题%1"_s.arg(i));
            q.fixedScore = pick(4) == 0;
            addRecord(q);
        }
        openEditor();
    }

    Question question(const QString& stem) {
        Question q;
        q.stem1 = stem;
        q.answer = u"对"_s;
        q.score = 1 + pick(9);
        q.difficulty = 2;
        return q;
    }

    QList<int> rows(const std::function<bool(int)>& keep) const {
        QList<int> out;
        for (int r = 1; r < m_editor->grid().rowCount(); ++r) {
            if (keep(r))
                out << r;
        }
        return out;
    }
    bool isTitleRow(int r) const { return text(r, kNumber) == u"0"_s; }
    bool isSubRow(int r) const { return !text(r, kNumber).isEmpty() && !isTitleRow(r); }
    bool isSingleRow(int r) const { return text(r, kNumber).isEmpty(); }
    QStringList titleNames() const {
        QStringList names;
        for (const int r : rows([this](int r) { return isTitleRow(r); }))
            names << text(r, kName);
        return names;
    }
    QString unusedName() { return u"新组%1"_s.arg(++m_names); }

    // One random step; returns what it did, for the failure report.
    QString step() {
        const QList<int> titles = rows([this](int r) { return isTitleRow(r); });
        const QList<int> subs = rows([this](int r) { return isSubRow(r); });
        const QList<int> singles = rows([this](int r) { return isSingleRow(r); });
        const QStringList names = titleNames();
        switch (pick(11)) {
        case 0: // an ungrouped question joins a group
            if (singles.isEmpty() || names.isEmpty())
                return u"-"_s;
            editInDialog(singles.at(pick(int(singles.size()))), kName, names.at(pick(int(names.size()))));
            return u"join"_s;
        case 1: // a sub-question leaves through its 分组名
            if (subs.isEmpty())
                return u"-"_s;
            editInDialog(subs.at(pick(int(subs.size()))), kName, QString());
            return u"leave by name"_s;
        case 2: { // a sub-question leaves through its 分组号
            if (subs.isEmpty())
                return u"-"_s;
            m_prompter.answerOkCancel(true, u"确定要删除该试题的分组吗？"_s);
            editCell(subs.at(pick(int(subs.size()))), kNumber, QString());
            return u"leave by number"_s;
        }
        case 3: { // a sub-question moves to another group, or founds a new one
            if (subs.isEmpty())
                return u"-"_s;
            const int r = subs.at(pick(int(subs.size())));
            const bool found = coin() || names.size() < 2;
            QString target = found ? unusedName() : names.at(pick(int(names.size())));
            if (target == text(r, kName))
                return u"-"_s;
            m_prompter.answerOkCancel(true, u"确定要更改该分组名吗？"_s);
            if (found)
                m_prompter.answerOkCancel(true);
            editInDialog(r, kName, target);
            return found ? u"move to a new group"_s : u"move"_s;
        }
        case 4: { // a title is renamed
            if (titles.isEmpty())
                return u"-"_s;
            m_prompter.answerOkCancel(true, u"确定要更改标题分组名吗？"_s);
            editInDialog(titles.at(pick(int(titles.size()))), kName, unusedName());
            return u"rename"_s;
        }
        case 5: { // an ungrouped question becomes a new title
            if (singles.isEmpty())
                return u"-"_s;
            m_prompter.answerOkCancel(true);
            editInDialog(singles.at(pick(int(singles.size()))), kName, unusedName());
            return u"create"_s;
        }
        case 6: { // 屏蔽 on any grouped row
            const QList<int> grouped = titles + subs;
            if (grouped.isEmpty())
                return u"-"_s;
            const int r = grouped.at(pick(int(grouped.size())));
            editCell(r, kBlocked, !grid().checked(r, kBlocked));
            return u"block"_s;
        }
        case 7: { // a score
            const QList<int> scored = subs + singles;
            if (scored.isEmpty())
                return u"-"_s;
            editCell(scored.at(pick(int(scored.size()))), kScore, 1 + pick(20));
            return u"score"_s;
        }
        case 8: { // 定分 on any row (a title refuses it)
            const int r = 1 + pick(grid().rowCount() - 1);
            editCell(r, kFixed, !grid().checked(r, kFixed));
            return u"fixed"_s;
        }
        case 9: { // a copy, then given a stem of its own
            const QList<int> copyable = subs + singles;
            if (copyable.isEmpty())
                return u"-"_s;
            click(copyable.at(pick(int(copyable.size()))), BankEditor::StemText1Column);
            editor().copyQuestionBelow();
            editInDialog(editor().currentRow(), BankEditor::StemText1Column, u"副本%1"_s.arg(++m_names));
            return u"copy"_s;
        }
        default: { // a deletion of a sub-question, an ungrouped question or a title at 0
            const QList<int> deletable =
                rows([this](int r) { return !isTitleRow(r) || text(r, kScore).toInt() == 0; });
            if (deletable.isEmpty())
                return u"-"_s;
            click(deletable.at(pick(int(deletable.size()))), BankEditor::TypeColumn);
            m_prompter.answerOkCancel(true, u"删除试题后将不能恢复，确定要删除所选试题吗"_s);
            editor().deleteSelectedQuestions();
            return u"delete"_s;
        }
        }
    }

    // The rule, in the grid and in the records.
    void expectRule() {
        const GridModel& g = grid();
        QHash<QString, int> sums;
        for (const int r : rows([this](int r) { return isSubRow(r); })) {
            if (!g.checked(r, kBlocked))
                sums[text(r, kName)] += text(r, kScore).toInt();
        }
        for (const int r : rows([this](int r) { return isTitleRow(r); })) {
            const int expected = g.checked(r, kBlocked) ? 0 : sums.value(text(r, kName));
            EXPECT_EQ(text(r, kScore).toInt(), expected) << "title " << text(r, kName).toStdString();
            EXPECT_FALSE(g.checked(r, kFixed)) << "title " << text(r, kName).toStdString();
            EXPECT_EQ(field(idOf(r), Q::Score).toInt(), expected);
            EXPECT_FALSE(field(idOf(r), Q::FixedScore).toBool());
        }
    }

    std::mt19937 m_random;
    int m_names = 0;
};

} // namespace

TEST_F(GroupScoreProperty, TitleScoreIsAlwaysTheSumOfItsUnblockedSubQuestions) {
    for (int sequence = 0; sequence < kSequences; ++sequence) {
        m_random.seed(unsigned(sequence));
        freshBank();
        QStringList done;
        for (int s = 0; s < kSteps; ++s) {
            done << step();
            SCOPED_TRACE(u"sequence %1: %2"_s.arg(sequence).arg(done.join(u", "_s)).toStdString());
            expectRule();
            EXPECT_TRUE(m_prompter.done());
            if (HasFailure())
                return;
        }
        SCOPED_TRACE(u"sequence %1: %2"_s.arg(sequence).arg(done.join(u", "_s)).toStdString());
        m_prompter.clear();
        expectBankMatchesGrid();
        if (HasFailure())
            return;
    }
}
