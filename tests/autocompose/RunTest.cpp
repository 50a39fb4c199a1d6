#include <optional>

#include "AutoComposerFixture.h"

#include "autocompose/AutoComposeRun.h"
#include "base/RandomSource.h"

using namespace Qt::StringLiterals;

namespace helan::test {
namespace {

class Run : public AutoComposerFixture {
protected:
    using Mode = AutoComposeRun::Mode;

    // Opens AutoComposer, asks for the counts and ticks the papers.
    void prepare(const QList<std::tuple<QString, int, int>>& counts, bool paperA, bool paperB) {
        openAuto();
        for (const auto& [type, score, count] : counts)
            ASSERT_TRUE(chooseCount(type, score, count)) << type.toStdString();
        autoComposer().setPaperChoice(paperA, paperB);
        m_run = std::make_unique<AutoComposeRun>(autoComposer(), m_random);
    }
    // Confirms and runs to the end; a run that fails is asked whether to put
    // the marks back and answers restore.
    void runConfirmed(std::optional<bool> restore = std::nullopt) {
        m_prompter.answerOkCancel(true);
        if (restore)
            m_prompter.answerYesNo(*restore, u"恢复开始前的选择？"_s);
        m_run->startOrStop();
        ASSERT_TRUE(m_run->running());
        m_run->runToEnd();
        EXPECT_TRUE(m_prompter.done());
    }
    // The Yes/No questions asked, in order.
    QStringList questions() {
        QStringList texts;
        for (const auto& prompt : m_prompter.prompts()) {
            if (prompt.kind == ScriptedPrompter::Kind::YesNo)
                texts << prompt.text;
        }
        return texts;
    }
    QList<qint32> marked(int column) {
        QList<qint32> ids;
        for (int r = 1; r < grid().rowCount(); ++r) {
            if (grid().checked(r, column))
                ids << grid().text(r, P::RecordIdColumn).toInt();
        }
        return ids;
    }

    RandomSource m_random{1};
    std::unique_ptr<AutoComposeRun> m_run;
};

TEST_F(Run, PlanIsOrderedByCountThenSelectableThenAvailable) {
    openAuto();
    AutoComposeRun run(autoComposer(), m_random);
    GridModel& plan = autoComposer().compositionPlan();
    // type, 可用题数, 可选题数, 组卷题数
    const QList<std::tuple<QString, int, int, int>> rows{
        {u"甲"_s, 9, 5, 3}, {u"乙"_s, 9, 5, 1}, {u"丙"_s, 7, 4, 3},
        {u"丁"_s, 6, 5, 3}, {u"戊"_s, 8, 8, 1}, {u"己"_s, 1, 1, 1},
    };
    for (const auto& [type, available, selectable, count] : rows) {
        const int r = plan.appendRow();
        plan.setText(r, A::PlanTypeColumn, type);
        plan.setNumber(r, A::PlanScoreColumn, 1);
        plan.setNumber(r, A::PlanAvailableColumn, available);
        plan.setNumber(r, A::PlanSelectableColumn, selectable);
        plan.setNumber(r, A::PlanChosenColumn, count);
    }
    run.orderPlan();
    QStringList order;
    for (int r = 1; r < plan.rowCount(); ++r)
        order << plan.text(r, A::PlanTypeColumn);
    EXPECT_EQ(order, QStringList({u"己"_s, u"乙"_s, u"戊"_s, u"丙"_s, u"丁"_s, u"甲"_s}));
}

TEST_F(Run, DrawsTheCandidateTheGeneratorPicks) {
    const QList<qint32> ids{addRecord(question(u"判断"_s, 1)), addRecord(question(u"判断"_s, 1)),
                            addRecord(question(u"判断"_s, 1))};
    // The first output of each state, 1 + r mod 3, picks the candidate.
    const QList<std::pair<quint32, int>> cases{{1, 3}, {2, 1}, {7, 2}};
    prepare({{u"判断"_s, 1, 1}}, true, false);
    for (const auto& [state, k] : cases) {
        SCOPED_TRACE(state);
        m_random.setState(state);
        runConfirmed();
        EXPECT_EQ(marked(P::PaperAColumn), QList<qint32>({ids.at(k - 1)}));
        EXPECT_EQ(m_run->tries(), 1);
    }
    EXPECT_EQ(m_prompter.messages().count(u"自动A组卷完毕，请在组卷窗口查看。"_s), 3);
}

TEST_F(Run, OnePaperLeavesTheOtherPaperAlone) {
    const qint32 other = addRecord(question(u"填空"_s, 2));
    const qint32 q1 = addRecord(question(u"判断"_s, 1).withKnowledge(u"a"_s));
    const qint32 q2 = addRecord(question(u"判断"_s, 1).withKnowledge(u"b"_s));
    openComposer();
    ASSERT_TRUE(tick(other, P::Paper::A));
    ASSERT_TRUE(tick(other, P::Paper::B));
    prepare({{u"判断"_s, 1, 2}}, false, true);
    runConfirmed();
    EXPECT_EQ(marked(P::PaperAColumn), QList<qint32>({other}));
    EXPECT_EQ(marked(P::PaperBColumn), QList<qint32>({q1, q2}));
    EXPECT_EQ(m_prompter.messages(), QStringList({u"自动组B卷完毕，请在组卷窗口查看。"_s}));
    // A run that succeeds keeps its papers without asking.
    EXPECT_EQ(questions(), QStringList());
    EXPECT_FALSE(m_run->running());
    EXPECT_EQ(m_run->buttonCaption(), u"开始"_s);
    EXPECT_FALSE(m_run->composerLocked());
}

TEST_F(Run, WholeKnowledgeTextsAreCompared) {
    // "a|b" and "a" differ as texts; empty points are never excluded.
    addRecord(question(u"判断"_s, 1).withKnowledge(u"a|b"_s));
    addRecord(question(u"判断"_s, 1).withKnowledge(u"a"_s));
    addRecord(question(u"填空"_s, 1));
    addRecord(question(u"填空"_s, 1));
    prepare({{u"判断"_s, 1, 2}, {u"填空"_s, 1, 2}}, true, false);
    runConfirmed();
    EXPECT_EQ(marked(P::PaperAColumn).size(), 4);
    EXPECT_EQ(m_run->tries(), 1);
}

TEST_F(Run, TooAlikePapersAreRetriedUntilTheCountIsUsedUp) {
    // As many candidates as asked for: paper B takes paper A's questions.
    addRecord(question(u"判断"_s, 1).withKnowledge(u"a"_s));
    addRecord(question(u"判断"_s, 1).withKnowledge(u"b"_s));
    prepare({{u"判断"_s, 1, 2}}, true, true);
    runConfirmed(false);
    EXPECT_EQ(m_run->tries(), 20);
    EXPECT_EQ(autoComposer().triesText(), u"20"_s);
    EXPECT_EQ(autoComposer().lowestSimilarityText(), u"100"_s);
    EXPECT_EQ(autoComposer().statusText(), u"不能满足相似度要求！"_s);
    EXPECT_EQ(marked(P::PaperAColumn), marked(P::PaperBColumn));
    EXPECT_EQ(m_prompter.messages(), QStringList({u"自动组A、B卷不成功！"_s}));
    EXPECT_EQ(m_run->progress(), 0);
}

TEST_F(Run, DistinctPapersSucceedUnderTheLimit) {
    for (int i = 0; i < 4; ++i)
        addRecord(question(u"判断"_s, 1));
    prepare({{u"判断"_s, 1, 2}}, true, true);
    autoComposer().setSimilarityLimit(u"50"_s);
    runConfirmed();
    EXPECT_LE(composer().similarityText().toInt(), 50);
    EXPECT_EQ(m_prompter.messages().last(), u"自动组A、B卷完毕，请在组卷窗口查看。"_s);
    EXPECT_EQ(autoComposer().statusText(), QString());
    EXPECT_EQ(autoComposer().triesText(), QString::number(m_run->tries()));
}

TEST_F(Run, AShortPlanRowNamesItselfAndKeepsEarlierRowsMarked) {
    // Two "x|y" questions count two points, but as texts they repeat.
    const qint32 single = addRecord(question(u"填空"_s, 1));
    addRecord(question(u"判断"_s, 1).withKnowledge(u"x|y"_s));
    addRecord(question(u"判断"_s, 1).withKnowledge(u"x|y"_s));
    prepare({{u"判断"_s, 1, 2}, {u"填空"_s, 1, 1}}, true, false);
    runConfirmed(false);
    EXPECT_EQ(autoComposer().statusText(), u"1分判断题不够选！"_s);
    EXPECT_EQ(m_run->tries(), 30);
    // The short row marks none of what it drew.
    EXPECT_EQ(marked(P::PaperAColumn), QList<qint32>({single}));
    EXPECT_EQ(m_prompter.messages(), QStringList({u"自动组A卷不成功！"_s}));
}

TEST_F(Run, PaperAShortAtItsFirstRowLeavesBothPapersEmpty) {
    addRecord(question(u"判断"_s, 1).withKnowledge(u"x|y"_s));
    addRecord(question(u"判断"_s, 1).withKnowledge(u"x|y"_s));
    prepare({{u"判断"_s, 1, 2}}, true, true);
    runConfirmed(false);
    EXPECT_EQ(m_run->tries(), 20);
    EXPECT_EQ(autoComposer().lowestSimilarityText(), u"0"_s);
    EXPECT_TRUE(marked(P::PaperAColumn).isEmpty());
    EXPECT_TRUE(marked(P::PaperBColumn).isEmpty());
    // Equal totals of 0 within the limit: nothing to report, yet the run failed.
    EXPECT_EQ(m_prompter.messages(), QStringList());
    EXPECT_EQ(questions(), QStringList({u"恢复开始前的选择？"_s}));
}

TEST_F(Run, TheComposerShowsTheLastAttemptAsARebuildWould) {
    // Earlier marks of both papers (a group among them) go at the first attempt;
    // what the composer shows after the run is what a full rebuild gives.
    const qint32 title = addRecord(question(u"阅读"_s, 5).inGroup(u"甲"_s, u"0"_s));
    addRecord(question(u"阅读"_s, 3).inGroup(u"甲"_s, u"1"_s));
    addRecord(question(u"阅读"_s, 2).inGroup(u"甲"_s, u"2"_s));
    const qint32 other = addRecord(question(u"填空"_s, 4));
    for (int i = 0; i < 6; ++i)
        addRecord(question(u"判断"_s, 1 + i % 2).withKnowledge(QString::number(i)));
    openComposer();
    ASSERT_TRUE(tick(title, P::Paper::A));
    ASSERT_TRUE(tick(other, P::Paper::B));
    prepare({{u"判断"_s, 1, 2}, {u"判断"_s, 2, 1}, {u"阅读"_s, 5, 1}}, true, true);
    autoComposer().setSimilarityLimit(u"70"_s);
    runConfirmed();
    const QString totalA = composer().totalText(P::Paper::A);
    const QString totalB = composer().totalText(P::Paper::B);
    const QString similarity = composer().similarityText();
    EXPECT_EQ(totalA, u"9"_s);
    EXPECT_FALSE(marked(P::PaperBColumn).contains(other));
    composer().recomputePaperState();
    EXPECT_EQ(composer().totalText(P::Paper::A), totalA);
    EXPECT_EQ(composer().totalText(P::Paper::B), totalB);
    EXPECT_EQ(composer().similarityText(), similarity);
    const bool succeeded = m_prompter.messages() == QStringList({u"自动组A、B卷完毕，请在组卷窗口查看。"_s});
    EXPECT_EQ(succeeded, similarity.toInt() <= 70) << similarity.toStdString();
}

TEST_F(Run, CancelAndStop) {
    addRecord(question(u"判断"_s, 1));
    addRecord(question(u"判断"_s, 1));
    prepare({{u"判断"_s, 1, 1}}, true, true);

    m_prompter.answerOkCancel(false, u"自动组A、B卷将取消原来A、B卷所有选择，确定要自动组A、B卷吗？"_s);
    m_run->startOrStop();
    EXPECT_FALSE(m_run->running());
    EXPECT_FALSE(m_run->step());
    EXPECT_TRUE(marked(P::PaperAColumn).isEmpty());

    autoComposer().setSimilarityLimit(u"10"_s);
    m_prompter.answerOkCancel(true);
    m_run->startOrStop();
    EXPECT_EQ(m_run->buttonCaption(), u"停止"_s);
    EXPECT_TRUE(m_run->composerLocked());
    EXPECT_FALSE(autoComposer().idle());
    EXPECT_EQ(autoComposer().elapsedText(), u"用时： 00时 00分 00秒"_s);
    // One question per paper from two: the papers are either equal or disjoint.
    while (m_run->running() && m_run->tries() < 1)
        m_run->step();
    ASSERT_TRUE(m_run->running()) << "the first attempt succeeded";
    m_run->startOrStop();
    EXPECT_TRUE(autoComposer().idle());
    EXPECT_FALSE(m_run->composerLocked());
    // Stopped without success: Yes puts back the empty papers it began with.
    m_prompter.answerYesNo(true, u"恢复开始前的选择？"_s);
    EXPECT_FALSE(m_run->step());
    EXPECT_TRUE(m_prompter.done());
    EXPECT_TRUE(marked(P::PaperAColumn).isEmpty());
    EXPECT_TRUE(marked(P::PaperBColumn).isEmpty());
    EXPECT_EQ(composer().totalText(P::Paper::A), u"0"_s);
    EXPECT_FALSE(m_run->running());
    EXPECT_EQ(m_run->buttonCaption(), u"开始"_s);
}

TEST_F(Run, AFailedRunAsksAfterItsMessageWhetherToPutTheMarksBack) {
    // Both x|y questions repeat as texts: two of them can never be drawn.
    const qint32 other = addRecord(question(u"填空"_s, 2));
    const qint32 title = addRecord(question(u"阅读"_s, 5).inGroup(u"甲"_s, u"0"_s));
    addRecord(question(u"阅读"_s, 5).inGroup(u"甲"_s, u"1"_s));
    const qint32 first = addRecord(question(u"判断"_s, 1).withKnowledge(u"x|y"_s));
    addRecord(question(u"判断"_s, 1).withKnowledge(u"x|y"_s));
    openComposer();
    ASSERT_TRUE(tick(other, P::Paper::A));
    ASSERT_TRUE(tick(title, P::Paper::A));
    ASSERT_TRUE(tick(first, P::Paper::B));
    // The title's tick takes its sub-question along.
    const QList<qint32> before = marked(P::PaperAColumn);
    ASSERT_EQ(before.size(), 3);
    const QString totalBefore = composer().totalText(P::Paper::A);
    prepare({{u"判断"_s, 1, 2}}, true, false);

    struct Case {
        bool restore;
        QList<qint32> paperA;
        QString totalA;
    };
    // Yes first: the second run starts from the same marks.
    const QList<Case> cases{{true, before, totalBefore}, {false, {}, u"0"_s}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.restore ? "Yes" : "No");
        m_prompter.clear();
        runConfirmed(c.restore);
        EXPECT_EQ(marked(P::PaperAColumn), c.paperA);
        EXPECT_EQ(marked(P::PaperBColumn), QList<qint32>({first}));
        EXPECT_EQ(composer().totalText(P::Paper::A), c.totalA);
        const QList<ScriptedPrompter::Prompt>& prompts = m_prompter.prompts();
        ASSERT_GE(prompts.size(), 2);
        EXPECT_EQ(prompts.at(prompts.size() - 2).text, u"自动组A卷不成功！"_s);
        EXPECT_EQ(prompts.last().text, u"恢复开始前的选择？"_s);
    }
}

} // namespace
} // namespace helan::test
