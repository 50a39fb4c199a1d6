// Selection, blocking, score and difficulty rules of the question grid, and the
// three invariants they keep: a group is in a paper as a whole, a title carries
// its unblocked sub-questions' total, a blocked question is in no paper.
#include "ComposerFixture.h"

#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;

namespace helan::test {

namespace {

using Q = QuestionRecord;
using Paper = PaperComposer::Paper;

class GroupRulesTest : public ComposerFixture {
protected:
    // Group g: title 10 with sub-questions 2, 3, 5; and one ungrouped question.
    void SetUp() override {
        ComposerFixture::SetUp();
        g = addGroup(u"g"_s, {2, 3, 5});
        loose = addRecord(question(u"判断"_s, 4));
        openComposer();
    }

    // The three invariants, over every row.
    void expectInvariants() {
        for (const qint32 id : g) {
            if (checked(id, P::BlockedColumn)) {
                EXPECT_FALSE(checked(id, P::PaperAColumn)) << id;
                EXPECT_FALSE(checked(id, P::PaperBColumn)) << id;
            } else {
                EXPECT_EQ(checked(id, P::PaperAColumn), checked(g[0], P::PaperAColumn)) << id;
                EXPECT_EQ(checked(id, P::PaperBColumn), checked(g[0], P::PaperBColumn)) << id;
            }
        }
        int sum = 0;
        for (int i = 1; i < g.size(); ++i)
            sum += checked(g[i], P::BlockedColumn) ? 0 : score(g[i]);
        EXPECT_EQ(score(g[0]), checked(g[0], P::BlockedColumn) ? 0 : sum);
        EXPECT_EQ(field(g[0], Q::Score).toInt(), score(g[0])) << "the title's record follows at once";
    }

    QList<qint32> g;
    qint32 loose = 0;
};

TEST_F(GroupRulesTest, TickingAnyRowOfAGroupTicksTheWholeGroupWhichCountsThroughItsTitle) {
    ASSERT_TRUE(tick(g[2], Paper::A));
    for (const qint32 id : g)
        EXPECT_TRUE(checked(id, P::PaperAColumn)) << id;
    EXPECT_EQ(composer().totalText(Paper::A), u"10"_s);
    EXPECT_EQ(paperRows(Paper::A), QStringList{u"阅读=10"_s});
    expectInvariants();

    ASSERT_TRUE(tick(g[0], Paper::A, false));
    for (const qint32 id : g)
        EXPECT_FALSE(checked(id, P::PaperAColumn)) << id;
    EXPECT_EQ(composer().totalText(Paper::A), u"0"_s);
}

TEST_F(GroupRulesTest, ABlockedRowCannotBeTickedAndIsLeftOutOfItsGroup) {
    ASSERT_TRUE(edit(rowOf(g[1]), P::BlockedColumn, true));
    ASSERT_TRUE(tick(g[1], Paper::A));
    EXPECT_FALSE(checked(g[1], P::PaperAColumn));
    EXPECT_FALSE(checked(g[0], P::PaperAColumn));
    ASSERT_TRUE(tick(g[3], Paper::B));
    EXPECT_TRUE(checked(g[0], P::PaperBColumn));
    EXPECT_FALSE(checked(g[1], P::PaperBColumn));
    EXPECT_EQ(composer().totalText(Paper::B), u"8"_s);
    expectInvariants();
}

TEST_F(GroupRulesTest, BlockingATitleBlocksTheGroupAndUnblockingRestoresTheFullTotal) {
    tick(g[0], Paper::A);
    tick(g[0], Paper::B);
    ASSERT_TRUE(edit(rowOf(g[0]), P::BlockedColumn, true));
    for (const qint32 id : g) {
        EXPECT_TRUE(checked(id, P::BlockedColumn)) << id;
        EXPECT_TRUE(field(id, Q::Blocked).toBool()) << id;
        EXPECT_FALSE(checked(id, P::PaperAColumn)) << id;
        EXPECT_FALSE(checked(id, P::PaperBColumn)) << id;
    }
    EXPECT_EQ(score(g[0]), 0);
    EXPECT_EQ(composer().totalText(Paper::A), u"0"_s);
    expectInvariants();

    // While the title is blocked a sub-question's box does not move.
    ASSERT_TRUE(edit(rowOf(g[2]), P::BlockedColumn, false));
    EXPECT_TRUE(checked(g[2], P::BlockedColumn));

    ASSERT_TRUE(edit(rowOf(g[0]), P::BlockedColumn, false));
    for (const qint32 id : g) {
        EXPECT_FALSE(checked(id, P::BlockedColumn)) << id;
        EXPECT_FALSE(field(id, Q::Blocked).toBool()) << id;
    }
    EXPECT_EQ(score(g[0]), 10);
    expectInvariants();
}

TEST_F(GroupRulesTest, BlockingASubQuestionTakesItsScoreOffTheTitleAndUnblockingGivesItTheTitlesBoxes) {
    tick(g[0], Paper::A);
    ASSERT_TRUE(edit(rowOf(g[1]), P::BlockedColumn, true));
    EXPECT_EQ(score(g[0]), 8);
    EXPECT_FALSE(checked(g[1], P::PaperAColumn));
    EXPECT_TRUE(checked(g[0], P::PaperAColumn));
    EXPECT_EQ(composer().totalText(Paper::A), u"8"_s);
    EXPECT_TRUE(field(g[1], Q::Blocked).toBool());
    expectInvariants();

    ASSERT_TRUE(edit(rowOf(g[1]), P::BlockedColumn, false));
    EXPECT_EQ(score(g[0]), 10);
    EXPECT_TRUE(checked(g[1], P::PaperAColumn));
    EXPECT_FALSE(checked(g[1], P::PaperBColumn));
    expectInvariants();

    // Blocking every sub-question brings the title to 0: it leaves the papers.
    for (int i = 1; i < g.size(); ++i)
        ASSERT_TRUE(edit(rowOf(g[i]), P::BlockedColumn, true));
    EXPECT_EQ(score(g[0]), 0);
    EXPECT_FALSE(checked(g[0], P::PaperAColumn));
    expectInvariants();
}

TEST_F(GroupRulesTest, ASubQuestionsScoreChangeMovesTheTitleUnlessItIsBlocked) {
    ASSERT_TRUE(edit(rowOf(g[2]), P::ScoreColumn, 4));
    EXPECT_EQ(score(g[0]), 11);
    expectInvariants();
    ASSERT_TRUE(edit(rowOf(g[1]), P::BlockedColumn, true));
    EXPECT_EQ(score(g[0]), 9);
    ASSERT_TRUE(edit(rowOf(g[1]), P::ScoreColumn, 7));
    EXPECT_EQ(score(g[0]), 9) << "a blocked sub-question is not in the total";
    expectInvariants();
    ASSERT_TRUE(edit(rowOf(loose), P::ScoreColumn, 6));
    EXPECT_EQ(score(loose), 6);
}

TEST_F(GroupRulesTest, RefusedScoresAreRestoredWithTheirMessage) {
    struct Case {
        qint32* id;
        QVariant value;
        QString message;
    };
    const QList<Case> cases = {
        {&g[0], 12, u"不能修改标题试题分值"_s},
        {&g[1], 0, u"试题分值不能为0"_s},
        {&loose, u""_s, u"试题分值不能为0"_s},
        {&loose, -3, u"试题分值不能为0"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        m_prompter.clear();
        const int before = score(*c.id);
        ASSERT_TRUE(edit(rowOf(*c.id), P::ScoreColumn, c.value));
        EXPECT_EQ(score(*c.id), before);
        EXPECT_EQ(m_prompter.messages(), QStringList{c.message});
    }
    expectInvariants();
}

TEST_F(GroupRulesTest, DifficultyOfATitleAsksOnceAndMovesTheGroupASubQuestionsCannotChange) {
    // Ungrouped: no question asked, the grid only until the window closes.
    ASSERT_TRUE(edit(rowOf(loose), P::DifficultyColumn, u"4"_s));
    EXPECT_TRUE(m_prompter.prompts().isEmpty());
    EXPECT_EQ(text(loose, P::DifficultyColumn), u"4"_s);
    EXPECT_EQ(field(loose, Q::Difficulty).toInt(), 1);

    m_prompter.answerOkCancel(false, u"确定要更改该试题分组的难度吗？"_s);
    ASSERT_TRUE(edit(rowOf(g[0]), P::DifficultyColumn, u"6"_s));
    EXPECT_EQ(text(g[0], P::DifficultyColumn), u"1"_s);

    m_prompter.answerOkCancel(true, u"确定要更改该试题分组的难度吗？"_s);
    ASSERT_TRUE(edit(rowOf(g[0]), P::DifficultyColumn, u"6"_s));
    EXPECT_TRUE(m_prompter.done());
    EXPECT_EQ(m_prompter.prompts().size(), 2);
    for (const qint32 id : g) {
        EXPECT_EQ(text(id, P::DifficultyColumn), u"6"_s) << id;
        EXPECT_EQ(field(id, Q::Difficulty).toInt(), 6) << id;
    }

    ASSERT_TRUE(edit(rowOf(g[1]), P::DifficultyColumn, u"2"_s));
    EXPECT_EQ(text(g[1], P::DifficultyColumn), u"6"_s);
    EXPECT_EQ(m_prompter.prompts().size(), 2) << "silently";

    ASSERT_TRUE(edit(rowOf(loose), P::DifficultyColumn, u"12"_s));
    EXPECT_EQ(text(loose, P::DifficultyColumn), u"4"_s);
    EXPECT_EQ(m_prompter.messages(), QStringList{u"请直接选择难度值！"_s});
}

TEST_F(GroupRulesTest, ATitleNeverHasAFixedScore) {
    ASSERT_TRUE(edit(rowOf(g[0]), P::FixedScoreColumn, true));
    EXPECT_FALSE(checked(g[0], P::FixedScoreColumn));
    EXPECT_FALSE(field(g[0], Q::FixedScore).toBool());
    ASSERT_TRUE(edit(rowOf(g[1]), P::FixedScoreColumn, true));
    EXPECT_TRUE(field(g[1], Q::FixedScore).toBool());
}

TEST_F(GroupRulesTest, BoxOperationsActOnExactlyTheSelectedRows) {
    // Rows: title, 2, 3, 5, loose. Block the sub-question 3.
    ASSERT_TRUE(edit(rowOf(g[2]), P::BlockedColumn, true));
    click(rowOf(g[1]), P::PaperAColumn);
    grid().selectRange(rowOf(g[1]), P::PaperAColumn, rowOf(loose), P::PaperAColumn);
    composer().applyBoxOperation(PaperComposer::BoxOperation::CheckAll);
    EXPECT_FALSE(checked(g[0], P::PaperAColumn)) << "no group rule";
    EXPECT_TRUE(checked(g[1], P::PaperAColumn));
    EXPECT_FALSE(checked(g[2], P::PaperAColumn)) << "blocked";
    EXPECT_TRUE(checked(g[3], P::PaperAColumn));
    EXPECT_TRUE(checked(loose, P::PaperAColumn));
    EXPECT_EQ(composer().totalText(Paper::A), u"4"_s);

    composer().applyBoxOperation(PaperComposer::BoxOperation::Invert);
    EXPECT_FALSE(checked(g[1], P::PaperAColumn));
    EXPECT_FALSE(checked(loose, P::PaperAColumn));
    composer().applyBoxOperation(PaperComposer::BoxOperation::Invert);
    composer().applyBoxOperation(PaperComposer::BoxOperation::ClearAll);
    EXPECT_FALSE(checked(loose, P::PaperAColumn));
}

TEST_F(GroupRulesTest, BulkBlockingStoresAtOnceAndTakesRowsOutOfThePapers) {
    tick(loose, Paper::A);
    tick(g[0], Paper::B);
    rightClick(rowOf(g[3]), P::BlockedColumn);
    grid().selectRange(rowOf(g[3]), P::BlockedColumn, rowOf(loose), P::BlockedColumn);
    composer().applyBoxOperation(PaperComposer::BoxOperation::CheckAll);
    EXPECT_TRUE(field(loose, Q::Blocked).toBool());
    EXPECT_TRUE(field(g[3], Q::Blocked).toBool());
    EXPECT_FALSE(checked(loose, P::PaperAColumn));
    EXPECT_FALSE(checked(g[3], P::PaperBColumn));
    EXPECT_EQ(composer().totalText(Paper::A), u"0"_s);

    composer().applyBoxOperation(PaperComposer::BoxOperation::ClearAll);
    EXPECT_FALSE(field(loose, Q::Blocked).toBool());
    EXPECT_FALSE(checked(loose, P::BlockedColumn));
}

TEST_F(GroupRulesTest, BulkFixedScoreSparesTitles) {
    rightClick(rowOf(g[0]), P::FixedScoreColumn);
    grid().selectRange(rowOf(g[0]), P::FixedScoreColumn, rowOf(g[2]), P::FixedScoreColumn);
    composer().applyBoxOperation(PaperComposer::BoxOperation::Invert);
    EXPECT_FALSE(checked(g[0], P::FixedScoreColumn));
    EXPECT_TRUE(checked(g[1], P::FixedScoreColumn));
    EXPECT_TRUE(field(g[2], Q::FixedScore).toBool());
    EXPECT_FALSE(field(g[0], Q::FixedScore).toBool());
}

TEST_F(GroupRulesTest, TheRightClickMenuOffersBoxOperationsOnBoxColumnsOnly) {
    QList<std::pair<bool, int>> menus;
    QObject::connect(&composer(), &PaperComposer::sortMenuRequested, &composer(),
                     [&](bool boxItems, int x, int) {
                         menus << std::pair{boxItems, x};
                     });
    const QList<std::pair<int, bool>> cases = {
        {P::KnowledgeColumn, false}, {P::ScoreColumn, false}, {P::FixedScoreColumn, true},
        {P::BlockedColumn, true},    {P::PaperAColumn, true}, {P::PaperBColumn, true},
        {P::TypeColumn, false},
    };
    for (const auto& [column, boxItems] : cases) {
        menus.clear();
        rightClick(1, column);
        ASSERT_EQ(menus.size(), 1) << column;
        EXPECT_EQ(menus[0].first, boxItems) << column;
        EXPECT_EQ(composer().currentColumn(), column);
    }
    menus.clear();
    rightClick(1, P::GroupNumberColumn);
    EXPECT_TRUE(menus.isEmpty());
}

TEST_F(GroupRulesTest, SortingByGroupNameKeepsTitlesFirstInBothDirections) {
    const QList<qint32> h = addGroup(u"h"_s, {1, 1});
    reopenComposer();
    for (const bool ascending : {true, false}) {
        rightClick(1, P::GroupNameColumn);
        composer().sortCurrentColumn(ascending);
        EXPECT_TRUE(composer().groupOrdered());
        for (const QList<qint32>& group : {g, h}) {
            const int title = rowOf(group[0]);
            for (int i = 1; i < group.size(); ++i)
                EXPECT_EQ(rowOf(group[i]), title + i) << ascending;
        }
    }
    rightClick(1, P::ScoreColumn);
    composer().sortCurrentColumn(false);
    EXPECT_FALSE(composer().groupOrdered());
    EXPECT_EQ(rowOf(g[0]), 1) << "the title's 10 is the largest score";
}

TEST_F(GroupRulesTest, DescendingOnPaperAListsPaperAFirstInTheirFormerOrder) {
    const qint32 x = addRecord(question(u"判断"_s).withKnowledge(u"b"_s));
    const qint32 y = addRecord(question(u"判断"_s).withKnowledge(u"a"_s));
    reopenComposer();
    tick(x, Paper::A);
    tick(y, Paper::A);
    rightClick(1, P::KnowledgeColumn);
    composer().sortCurrentColumn(true);
    rightClick(1, P::PaperAColumn);
    composer().sortCurrentColumn(false);
    EXPECT_EQ(rowOf(y), 1);
    EXPECT_EQ(rowOf(x), 2);
}

} // namespace

} // namespace helan::test
