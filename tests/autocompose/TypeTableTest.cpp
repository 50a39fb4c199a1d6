#include "AutoComposerFixture.h"

#include "grid/GridEvents.h"

using namespace Qt::StringLiterals;

namespace helan::test {
namespace {

using Counting = AutoComposerFixture;

TEST_F(Counting, CountsUnitsPerTypeAndScore) {
    addRecord(question(u"判断"_s, 2));
    addRecord(question(u"判断"_s, 2).blockedQuestion());
    addRecord(question(u"判断"_s, 2).withDifficulty(9));
    addRecord(question(u"判断"_s, 0));
    addGroup(u"甲"_s, {3, 4});
    openComposer();
    composer().chooseHighestDifficulty(u"8"_s);
    openAuto();

    // Sorted by 可选题数, then 分值 descending: the group title is one unit of
    // score 7, its sub-questions are not units.
    EXPECT_EQ(typeRows(), QStringList({u"判断/0/1//0"_s, u"阅读/7/1/1/1"_s, u"判断/2/3/1/1"_s}));
}

TEST_F(Counting, KnowledgePointsAreNotRepeatedWithinATypeRow) {
    struct Case {
        const char* name;
        QStringList points;
        int selectable;
    };
    const QList<Case> cases{
        {"a|b then b: the second passed over, two points", {u"a|b"_s, u"b"_s}, 2},
        {"b then a|b: the second passed over", {u"b"_s, u"a|b"_s}, 1},
        {"empty points always count", {QString(), QString(), QString()}, 3},
        {"distinct points", {u"a"_s, u"b"_s, u"a"_s}, 2},
        {"an empty part never matches", {u"a|"_s, u"|b"_s}, 2},
    };
    // One type per case, so that the rows count independently.
    for (int i = 0; i < cases.size(); ++i) {
        for (const QString& point : cases.at(i).points)
            addRecord(question(u"类型"_s + QString::number(i), 1).withKnowledge(point));
    }
    openAuto();
    for (int i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases.at(i).name);
        const int row = typeRow(u"类型"_s + QString::number(i), 1);
        ASSERT_GT(row, 0);
        EXPECT_EQ(typeTable().text(row, A::SelectableColumn).toInt(), cases.at(i).selectable);
    }
}

TEST_F(Counting, KnowledgePointsOfTheWholePaperCountOnce) {
    addRecord(question(u"判断"_s, 1).withKnowledge(u"a|b"_s));
    addRecord(question(u"判断"_s, 1).withKnowledge(u"b"_s));
    addRecord(question(u"判断"_s, 1));
    addRecord(question(u"判断"_s, 1));
    openAuto();
    EXPECT_EQ(autoComposer().paperSelectableCount(), 4);
}

TEST_F(Counting, PaperPointsAreSharedAcrossTypesAndGiveTheRatio) {
    addRecord(question(u"判断"_s, 1).withKnowledge(u"a"_s));
    addRecord(question(u"填空"_s, 1).withKnowledge(u"a"_s));
    addRecord(question(u"填空"_s, 1).withKnowledge(u"b"_s));
    addRecord(question(u"问答"_s, 5));
    openAuto();
    // Per row 1 + 2 + 1 = 4; across the paper a, b and the empty point = 3.
    EXPECT_EQ(autoComposer().paperSelectableCount(), 3);
    EXPECT_FLOAT_EQ(autoComposer().selectableRatio(), 0.75F);
}

using CountEdit = AutoComposerFixture;

TEST_F(CountEdit, OffersZeroToTheRoundedShareOfSelectable) {
    // Ratio 3 / 4 = 0.75: 3 selectable of 填空 give 2.25 → 2.
    for (const char* point : {"a", "b", "c"})
        addRecord(question(u"填空"_s, 1).withKnowledge(QString::fromLatin1(point)));
    addRecord(question(u"判断"_s, 1).withKnowledge(u"a"_s));
    openAuto();
    EXPECT_EQ(clickCount(typeRow(u"填空"_s, 1)), QStringList({u"0"_s, u"1"_s, u"2"_s}));
    EXPECT_EQ(typeTable().columnKind(A::ChosenColumn), ColumnKind::List);
}

TEST_F(CountEdit, ASingleSelectableIsOfferedEvenUnderAnyRatio) {
    // Ratio 1 / 3: each row's share rounds to 0, yet "1" is offered.
    for (const QString& type : {u"判断"_s, u"填空"_s, u"问答"_s})
        addRecord(question(type, 1).withKnowledge(u"a"_s));
    openAuto();
    EXPECT_EQ(clickCount(typeRow(u"判断"_s, 1)), QStringList({u"0"_s, u"1"_s}));
    ASSERT_TRUE(chooseCount(u"判断"_s, 1, 1));
    // The paper's one point is used up: other rows stay read-only.
    EXPECT_EQ(clickCount(typeRow(u"填空"_s, 1)), QStringList());
    EXPECT_FALSE(chooseCount(u"填空"_s, 1, 1));
    // The row already chosen still offers its own count back.
    EXPECT_EQ(clickCount(typeRow(u"判断"_s, 1)), QStringList({u"0"_s, u"1"_s}));
}

TEST_F(CountEdit, AQuestionNamingTwoPointsIsStillOneToChoose) {
    addRecord(question(u"判断"_s, 1).withKnowledge(u"a|b"_s));
    openAuto();
    const int row = typeRow(u"判断"_s, 1);
    EXPECT_EQ(typeTable().text(row, A::SelectableColumn), u"1"_s);
    EXPECT_EQ(autoComposer().paperSelectableCount(), 1);
    EXPECT_EQ(clickCount(row), QStringList({u"0"_s, u"1"_s}));
}

TEST_F(CountEdit, QuestionsOfScoreZeroDoNotRaiseARowsOffer) {
    // Two usable questions for the paper, one of them in a row: a ratio of 2.
    addRecord(question(u"判断"_s, 1));
    addRecord(question(u"填空"_s, 0));
    openAuto();
    EXPECT_EQ(clickCount(typeRow(u"判断"_s, 1)), QStringList({u"0"_s, u"1"_s}));
}

TEST_F(CountEdit, OnlyAClickThatOpensTheCountDropsItsListDown) {
    addRecord(question(u"判断"_s, 1));
    addRecord(question(u"填空"_s, 1).blockedQuestion());
    openAuto();
    int requests = 0;
    QObject::connect(&autoComposer(), &AutoComposer::countListRequested, [&requests] { ++requests; });
    const int open = typeRow(u"判断"_s, 1);
    const int exhausted = typeRow(u"填空"_s, 1);
    const QList<std::tuple<int, int, int>> clicks{
        {open, A::ChosenColumn, 1}, {open, A::SelectableColumn, 0}, {exhausted, A::ChosenColumn, 0}};
    for (const auto& [row, column, expected] : clicks) {
        requests = 0;
        typeTable().setCursor(row, column);
        Q_EMIT typeTable().events().leftButtonUp(0, 0, Qt::NoModifier);
        EXPECT_EQ(requests, expected) << row << '/' << column;
    }
}

TEST_F(CountEdit, OnlyTheCountColumnOfASelectableRowIsEditable) {
    addRecord(question(u"判断"_s, 1));
    addRecord(question(u"填空"_s, 1).blockedQuestion());
    openAuto();
    const int open = typeRow(u"判断"_s, 1);
    clickCount(open);
    ASSERT_TRUE(typeTable().editingAllowed());
    typeTable().setCursor(open, A::SelectableColumn);
    Q_EMIT typeTable().events().leftButtonUp(0, 0, Qt::NoModifier);
    EXPECT_FALSE(typeTable().editingAllowed());
    EXPECT_EQ(clickCount(typeRow(u"填空"_s, 1)), QStringList());
}

TEST_F(CountEdit, OnlyDigitKeysReachTheGrid) {
    addRecord(question(u"判断"_s, 1));
    openAuto();
    const QList<std::pair<int, bool>> keys{{Qt::Key_0, false},
                                           {Qt::Key_9, false},
                                           {Qt::Key_A, true},
                                           {Qt::Key_Minus, true},
                                           {Qt::Key_Period, true}};
    for (const auto& [key, swallowed] : keys) {
        bool result = false;
        Q_EMIT typeTable().events().keyDown(key, Qt::NoModifier, result);
        EXPECT_EQ(result, swallowed) << key;
    }
}

TEST_F(CountEdit, ACountAboveTheBoundIsReplacedByIt) {
    addRecord(question(u"判断"_s, 1).withKnowledge(u"a"_s));
    addRecord(question(u"判断"_s, 1).withKnowledge(u"b"_s));
    openAuto();
    ASSERT_TRUE(chooseCount(u"判断"_s, 1, 7));
    EXPECT_EQ(typeTable().text(typeRow(u"判断"_s, 1), A::ChosenColumn), u"2"_s);
    EXPECT_EQ(autoComposer().chosenTotal(), 2);
    EXPECT_EQ(planRows(), QStringList({u"判断/1/2"_s}));
}

TEST_F(CountEdit, TypeScoresSumOverScoresAndFollowThePlan) {
    for (int i = 0; i < 3; ++i) {
        addRecord(question(u"填空"_s, 2));
        addRecord(question(u"填空"_s, 3));
    }
    addRecord(question(u"判断"_s, 1));
    openAuto();
    EXPECT_EQ(autoComposer().totalText(), u"0"_s);
    EXPECT_FALSE(autoComposer().paperChoiceEnabled());

    ASSERT_TRUE(chooseCount(u"填空"_s, 2, 2));
    ASSERT_TRUE(chooseCount(u"填空"_s, 3, 1));
    ASSERT_TRUE(chooseCount(u"判断"_s, 1, 1));
    EXPECT_EQ(typeScores(), QStringList({u"填空=7"_s, u"判断=1"_s}));
    EXPECT_EQ(planRows(), QStringList({u"填空/2/2"_s, u"填空/3/1"_s, u"判断/1/1"_s}));
    EXPECT_EQ(autoComposer().totalText(), u"8"_s);
    EXPECT_EQ(autoComposer().chosenTotal(), 4);
    EXPECT_TRUE(autoComposer().paperChoiceEnabled());

    ASSERT_TRUE(chooseCount(u"填空"_s, 2, 0));
    EXPECT_EQ(typeScores(), QStringList({u"填空=3"_s, u"判断=1"_s}));
    EXPECT_EQ(planRows(), QStringList({u"填空/3/1"_s, u"判断/1/1"_s}));

    ASSERT_TRUE(chooseCount(u"填空"_s, 3, 0));
    ASSERT_TRUE(chooseCount(u"判断"_s, 1, 0));
    EXPECT_EQ(typeScores(), QStringList());
    EXPECT_EQ(planRows(), QStringList());
    EXPECT_EQ(autoComposer().totalText(), u"0"_s);
    EXPECT_FALSE(autoComposer().paperChoiceEnabled());
    EXPECT_FALSE(autoComposer().startEnabled());
}

TEST_F(CountEdit, PlanRowsCopyTheCountsOfTheirTypeRow) {
    addRecord(question(u"判断"_s, 2).withKnowledge(u"a"_s));
    addRecord(question(u"判断"_s, 2).withKnowledge(u"a"_s));
    addRecord(question(u"判断"_s, 2).withKnowledge(u"b"_s));
    openAuto();
    ASSERT_TRUE(chooseCount(u"判断"_s, 2, 1));
    const GridModel& plan = autoComposer().compositionPlan();
    ASSERT_EQ(plan.rowCount(), 2);
    EXPECT_EQ(plan.text(1, A::PlanAvailableColumn), u"3"_s);
    EXPECT_EQ(plan.text(1, A::PlanSelectableColumn), u"2"_s);
    ASSERT_TRUE(chooseCount(u"判断"_s, 2, 2));
    EXPECT_EQ(planRows(), QStringList({u"判断/2/2"_s}));
}

using Window = AutoComposerFixture;

TEST_F(Window, EveryQuestionBlockedLeavesNothingToChoose) {
    addRecord(question(u"判断"_s, 1).blockedQuestion());
    addRecord(question(u"填空"_s, 2).blockedQuestion());
    openAuto();
    for (int r = 1; r < typeTable().rowCount(); ++r) {
        EXPECT_EQ(typeTable().text(r, A::CountColumn), u"1"_s);
        EXPECT_EQ(typeTable().text(r, A::AvailableColumn).toInt(), 0);
        EXPECT_EQ(typeTable().text(r, A::SelectableColumn), u"0"_s);
        for (int c = 0; c < A::kTypeColumnCount; ++c)
            EXPECT_EQ(typeTable().colour(r, c), A::kExhaustedColour);
        EXPECT_EQ(clickCount(r), QStringList());
    }
    EXPECT_FALSE(autoComposer().paperChoiceEnabled());
    EXPECT_FALSE(autoComposer().startEnabled());
}

TEST_F(Window, OpensWithItsCaptionAndInitialLabels) {
    addRecord(question(u"判断"_s, 1));
    openAuto();
    EXPECT_EQ(autoComposer().caption(), u"自动组卷 —— 语文"_s);
    EXPECT_EQ(autoComposer().totalText(), u"0"_s);
    EXPECT_EQ(autoComposer().elapsedText(), u"用时： 00时 00分 00秒"_s);
    EXPECT_EQ(autoComposer().similarityLimit(), u"90"_s);
    EXPECT_FALSE(autoComposer().triesVisible());
    EXPECT_FALSE(autoComposer().similarityVisible());
    EXPECT_TRUE(autoComposer().sortByTypeEnabled());
    EXPECT_FALSE(autoComposer().sortBySelectableEnabled());
    QStringList headers;
    for (int c = 0; c < A::kTypeColumnCount; ++c)
        headers << typeTable().text(0, c);
    EXPECT_EQ(headers,
              QStringList({u"题型"_s, u"分值"_s, u"题数"_s, u"可用题数"_s, u"可选题数"_s, u"组卷题数"_s}));
}

TEST_F(Window, PaperChoiceShowsTheRetryCountAndTheSimilarityForBoth) {
    for (const char* point : {"a", "b", "c"})
        addRecord(question(u"判断"_s, 1).withKnowledge(QString::fromLatin1(point)));
    openAuto();
    ASSERT_TRUE(chooseCount(u"判断"_s, 1, 2));

    struct Case {
        bool a;
        bool b;
        bool start;
        bool tries;
        bool similarity;
    };
    const QList<Case> cases{
        {true, false, true, true, false},
        {true, true, true, true, true},
        {false, true, true, true, false},
        {false, false, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << c.b);
        autoComposer().setPaperChoice(c.a, c.b);
        EXPECT_EQ(autoComposer().startEnabled(), c.start);
        EXPECT_EQ(autoComposer().triesVisible(), c.tries);
        if (c.a || c.b) {
            EXPECT_EQ(autoComposer().similarityVisible(), c.similarity);
            EXPECT_EQ(autoComposer().retryText(), u"20"_s);
            EXPECT_EQ(autoComposer().triesText(), u"0"_s);
        }
    }

    autoComposer().setPaperChoice(true, false);
    ASSERT_TRUE(chooseCount(u"判断"_s, 1, 1));
    EXPECT_EQ(autoComposer().retryText(), u"10"_s);
}

TEST_F(Window, ElapsedTimeIsWrittenWithoutLeadingZeros) {
    const QList<std::pair<int, QString>> cases{
        {65, u"用时： 0时 1分 5秒"_s},
        {3725, u"用时： 1时 2分 5秒"_s},
        {0, u"用时： 0时 0分 0秒"_s},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(AutoComposer::elapsedLabel(seconds), text) << seconds;

    openAuto();
    autoComposer().setElapsedSeconds(64);
    autoComposer().tickElapsed();
    EXPECT_EQ(autoComposer().elapsedSeconds(), 65);
    EXPECT_EQ(autoComposer().elapsedText(), u"用时： 0时 1分 5秒"_s);
}

TEST_F(Window, ClosingIsRefusedDuringARun) {
    openAuto();
    EXPECT_TRUE(autoComposer().requestClose());
    autoComposer().setIdle(false);
    m_prompter.expectMessage(u"请先停止自动组卷！"_s);
    EXPECT_FALSE(autoComposer().requestClose());
    EXPECT_EQ(m_prompter.messages(), QStringList({u"请先停止自动组卷！"_s}));
}

TEST_F(Window, HelpTextStartsWithAnEmptyLineAndSpacesEveryLine) {
    const QStringList lines = AutoComposer::helpText().split(u"\r\n"_s);
    ASSERT_GE(lines.size(), 13);
    EXPECT_EQ(lines.at(0), QString());
    EXPECT_EQ(lines.at(1), u"    自动组卷时相同知识点（不包括空知识点）不会重复。"_s);
    EXPECT_EQ(lines.at(2), QString());
    EXPECT_EQ(lines.at(5), u" 再排除相同知识点后的题数。"_s);
    EXPECT_EQ(lines.at(11), u" 值。"_s);
    EXPECT_EQ(lines.at(12), QString());
}

using Sorting = AutoComposerFixture;

TEST_F(Sorting, BySelectableThenScoreAndByTypeOrder) {
    addRecord(question(u"问答"_s, 5));
    addRecord(question(u"判断"_s, 1));
    addRecord(question(u"判断"_s, 1));
    addRecord(question(u"判断"_s, 2));
    addRecord(question(u"判断"_s, 2));
    addRecord(question(u"填空"_s, 3));
    openAuto();
    EXPECT_EQ(typeRows(),
              QStringList({u"问答/5/1/1/1"_s, u"填空/3/1/1/1"_s, u"判断/2/2/2/2"_s, u"判断/1/2/2/2"_s}));

    autoComposer().sortByType();
    EXPECT_FALSE(autoComposer().sortByTypeEnabled());
    EXPECT_TRUE(autoComposer().sortBySelectableEnabled());
    // The composer's type order, each type's scores descending.
    QStringList order;
    for (int r = 1; r < types().rowCount(); ++r)
        order << types().text(r, P::TypeNameColumn);
    QStringList expected;
    for (const QString& type : order) {
        if (type == u"问答"_s)
            expected << u"问答/5/1/1/1"_s;
        else if (type == u"填空"_s)
            expected << u"填空/3/1/1/1"_s;
        else if (type == u"判断"_s)
            expected << u"判断/2/2/2/2"_s << u"判断/1/2/2/2"_s;
    }
    EXPECT_EQ(typeRows(), expected);
    // Each row takes the colour of its type's first cell in the order table.
    for (int r = 1; r < types().rowCount(); ++r) {
        const int row = typeRow(types().text(r, P::TypeNameColumn), 1);
        if (row > 0) {
            EXPECT_EQ(typeTable().colour(row, 3), types().colour(r, 0));
        }
    }
}

} // namespace
} // namespace helan::test
