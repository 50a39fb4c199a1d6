#include <gtest/gtest.h>

#include "ScriptedPrompter.h"
#include "base/RandomSource.h"
#include "compose/PaperAssembly.h"

using namespace Qt::StringLiterals;
using helan::AssembledPaper;
using helan::PaperAssembly;
using helan::PaperRow;
using helan::PaperType;
using helan::RandomSource;

namespace {

// From state 1 the generator gives 41, 18467, 6334, 26500, 19169, …

PaperRow row(const QString& group, const QString& stem, const QString& type, int score = 2) {
    PaperRow r;
    r.groupNumber = group;
    r.stem1 = stem;
    r.type = type;
    r.score = score;
    r.answer = u"答"_s;
    return r;
}

PaperRow choice(const QString& stem, const QString& options, const QString& answer, qint64 id) {
    PaperRow r = row(QString(), stem, u"选择"_s);
    r.choice = true;
    r.stem2 = options;
    r.answer = answer;
    r.recordId = id;
    return r;
}

PaperType type(const QString& name, const QString& score = u"0"_s, const QString& total = {}) {
    PaperType t;
    t.name = name;
    t.score = score;
    t.totalScore = total;
    return t;
}

QStringList stems(const AssembledPaper& paper) {
    QStringList out;
    for (const PaperRow& r : paper.rows)
        out.append(r.stem1);
    return out;
}

struct Assembly {
    RandomSource random{1};
    helan::test::ScriptedPrompter prompter;
    std::function<std::optional<PaperAssembly::Twin>(qint64, const QString&)> twins;
    PaperAssembly assembly{random, prompter, [this](qint64 id, const QString& stem) {
                               return twins ? twins(id, stem) : std::nullopt;
                           }};
};

} // namespace

TEST(PaperAssembly, typesInTableOrderUnitsDrawnMembersBehindTheirTitle) {
    Assembly a;
    AssembledPaper paper;
    paper.settings.types = {type(u"判断"_s), type(u"选择"_s), type(u"填空"_s)};
    const QList<PaperRow> work = {
        row({}, u"q1"_s, u"填空"_s),     row(u"0"_s, u"G"_s, u"填空"_s), row(u"1"_s, u"G1"_s, u"填空"_s),
        row(u"2"_s, u"G2"_s, u"阅读"_s), row({}, u"q2"_s, u"填空"_s),    row({}, u"c1"_s, u"判断"_s),
    };
    ASSERT_TRUE(a.assembly.assemblePaper(work, paper));
    // 判断: one unit (draw 41); 填空: units q1, G, q2: 18467 % 3 → q2, 6334 % 2 → q1, then G
    // with its members even though G2 has another type.
    EXPECT_EQ(stems(paper), (QStringList{u"c1"_s, u"q2"_s, u"q1"_s, u"G"_s, u"G1"_s, u"G2"_s}));
    RandomSource fourDraws(1);
    for (int i = 0; i < 4; ++i)
        fourDraws.next();
    EXPECT_EQ(a.random.state(), fourDraws.state());
}

TEST(PaperAssembly, subQuestionsWithoutTheirTitleAreNotWritten) {
    Assembly a;
    AssembledPaper paper;
    paper.settings.types = {type(u"填空"_s)};
    const QList<PaperRow> work = {row(u"1"_s, u"orphan"_s, u"填空"_s), row({}, u"q"_s, u"填空"_s)};
    ASSERT_TRUE(a.assembly.assemblePaper(work, paper));
    EXPECT_EQ(stems(paper), QStringList{u"q"_s});
}

TEST(PaperAssembly, twoGenerationsDrawDifferentOrders) {
    Assembly a;
    AssembledPaper first;
    AssembledPaper second;
    first.settings.types = {type(u"填空"_s)};
    second.settings = first.settings;
    QList<PaperRow> work;
    for (int i = 0; i < 8; ++i)
        work.append(row({}, QString::number(i), u"填空"_s));
    ASSERT_TRUE(a.assembly.assemblePaper(work, first));
    ASSERT_TRUE(a.assembly.assemblePaper(work, second));
    EXPECT_NE(stems(first), stems(second));
}

struct ShuffleCase {
    int labelSet;
    QString suffix;
    QString answer;
    QString expectedOptions;
    QString expectedAnswer;
};

class ShuffleOptions : public ::testing::TestWithParam<ShuffleCase> {};

TEST_P(ShuffleOptions, labelsInDrawOrderAnswersInLabelOrder) {
    const ShuffleCase& c = GetParam();
    Assembly a;
    // Draws 41 % 3 → z, 18467 % 2 → y, then x.
    const auto [options, answer] =
        a.assembly.shuffleOptions(u"x\r\ny\r\nz"_s, c.answer, c.labelSet, c.suffix);
    EXPECT_EQ(options, c.expectedOptions);
    EXPECT_EQ(answer, c.expectedAnswer);
}

INSTANTIATE_TEST_SUITE_P(
    PaperAssembly, ShuffleOptions,
    ::testing::Values(ShuffleCase{0, u". "_s, u"y"_s, u"A. z     B. y     C. x     "_s, u"B"_s},
                      ShuffleCase{0, u" "_s, u"x\r\nz"_s, u"A z     B y     C x     "_s, u"AC"_s},
                      ShuffleCase{0, u"）"_s, u"y\r\nnone"_s, u"A）z     B）y     C）x     "_s, u"B"_s},
                      ShuffleCase{1, u". "_s, u"z\r\nx"_s, u"①. z     ②. y     ③. x     "_s, u"①③"_s},
                      ShuffleCase{1, u"）"_s, u"w"_s, u"①）z     ②）y     ③）x     "_s, QString()}));

TEST(PaperAssembly, choiceQuestionsGetShuffledOptionsOthersAreCopied) {
    Assembly a;
    AssembledPaper paper;
    paper.settings.types = {type(u"选择"_s)};
    paper.settings.optionSuffix = u". "_s;
    PaperRow plain = choice(u"p"_s, u"x\r\ny"_s, u"y"_s, 5);
    plain.choice = false;
    ASSERT_TRUE(a.assembly.assemblePaper({plain}, paper));
    EXPECT_EQ(paper.rows[0].stem2, u"x\r\ny"_s);

    ASSERT_TRUE(a.assembly.assemblePaper({choice(u"c"_s, u"x\r\ny\r\nz"_s, u"y"_s, 5)}, paper));
    ASSERT_EQ(paper.rows.size(), 1);
    // One draw for the unit, then 6334 % 3 → y, 26500 % 2 → x, then z.
    EXPECT_EQ(paper.rows[0].stem2, u"A. y     B. x     C. z     "_s);
    EXPECT_EQ(paper.rows[0].answer, u"A"_s);
}

TEST(PaperAssembly, pictureOptionsKeepAMatchingAnswerAndTakeTheTwinOtherwise) {
    Assembly a;
    QList<std::pair<qint64, QString>> asked;
    a.twins = [&](qint64 id, const QString& stem) -> std::optional<PaperAssembly::Twin> {
        asked.append({id, stem});
        return PaperAssembly::Twin{77, u"B"_s};
    };
    AssembledPaper paper;
    paper.settings.types = {type(u"选择"_s)};
    ASSERT_TRUE(a.assembly.assemblePaper({choice(u"pic"_s, {}, u"A"_s, 5)}, paper));
    EXPECT_EQ(paper.rows[0].recordId, 5);
    EXPECT_TRUE(asked.isEmpty());

    ASSERT_TRUE(a.assembly.assemblePaper({choice(u"pic"_s, {}, u"①"_s, 5)}, paper));
    EXPECT_EQ(paper.rows[0].recordId, 77);
    EXPECT_EQ(paper.rows[0].answer, u"B"_s);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0], (std::pair<qint64, QString>{5, u"pic"_s}));

    // An empty answer never matches; with circled numbers a letter does not either.
    paper.settings.optionLabelSet = 1;
    ASSERT_TRUE(
        a.assembly.assemblePaper({choice(u"pic"_s, {}, u"②"_s, 6), choice(u"q"_s, {}, {}, 8)}, paper));
    EXPECT_EQ(paper.rows[0].recordId + paper.rows[1].recordId, 6 + 77);
    ASSERT_TRUE(a.assembly.assemblePaper({choice(u"pic"_s, {}, u"A"_s, 6)}, paper));
    EXPECT_EQ(paper.rows[0].recordId, 77);
}

TEST(PaperAssembly, aQuestionWithoutTwinEndsTheAssemblyWithThePartialPaper) {
    Assembly a;
    a.prompter.expectMessage(u"试题 缺 的答案编号类型不符合组卷要求！"_s);
    AssembledPaper paper;
    paper.settings.types = {type(u"判断"_s), type(u"选择"_s), type(u"填空"_s)};
    const QList<PaperRow> work = {row({}, u"j"_s, u"判断"_s), choice(u"缺"_s, {}, u"①"_s, 3),
                                  row({}, u"f"_s, u"填空"_s)};
    EXPECT_FALSE(a.assembly.assemblePaper(work, paper));
    EXPECT_EQ(stems(paper), QStringList{u"j"_s});
    EXPECT_EQ(a.prompter.messages(), QStringList{u"试题 缺 的答案编号类型不符合组卷要求！"_s});
}

namespace {

AssembledPaper numberedPaper(bool continuous) {
    AssembledPaper paper;
    paper.settings.continuousNumbering = continuous;
    paper.settings.majorLabels = {u"一"_s, u"二"_s, u"三"_s};
    paper.settings.majorLabels.prepend(QString()); // row 0 is the header
    paper.settings.majorSuffix = u"、"_s;
    paper.settings.types = {type(u"选择"_s, u"3"_s, u"6"_s), type(u"阅读"_s, u"0"_s, u"12"_s)};
    paper.rows = {row({}, u"a"_s, u"选择"_s, 3), row({}, u"b"_s, u"选择"_s, 3),
                  row(u"0"_s, u"G"_s, u"阅读"_s, 12), row(u"1"_s, u"g1"_s, u"阅读"_s, 0),
                  row(u"2"_s, u"g2"_s, u"阅读"_s, 0)};
    return paper;
}

} // namespace

TEST(AssembledPaper, minorNumbersRestartPerMajorUnlessContinuousAndSkipTitles) {
    EXPECT_EQ(numberedPaper(false).minorNumbers(), (QList<int>{1, 2, 0, 1, 2}));
    EXPECT_EQ(numberedPaper(true).minorNumbers(), (QList<int>{1, 2, 0, 3, 4}));
    EXPECT_EQ(numberedPaper(true).majorStarts(), (QList<int>{1, 0, 2, 0, 0}));
}

TEST(AssembledPaper, headingsAndScoreNotes) {
    AssembledPaper paper = numberedPaper(false);
    EXPECT_EQ(paper.majorHeading(2, u"阅读"_s), u"二、阅读"_s);
    EXPECT_EQ(paper.scoreNote(u"选择"_s), QString());
    paper.settings.majorScoreNote = true;
    EXPECT_EQ(paper.scoreNote(u"选择"_s), u"（每题3分，共6分）"_s);
    // The questions' own scores decide, never the type's default or a title's sum.
    EXPECT_EQ(paper.perQuestionScore(u"阅读"_s), QString());
    EXPECT_EQ(paper.scoreNote(u"阅读"_s), u"（共12分）"_s);
    paper.rows[3].score = 2;
    paper.rows[4].score = 2;
    paper.settings.types[1].score = u"4"_s;
    EXPECT_EQ(paper.scoreNote(u"阅读"_s), u"（每题2分，共12分）"_s);
    paper.rows[4].score = 3;
    EXPECT_EQ(paper.scoreNote(u"阅读"_s), u"（共12分）"_s);
}

TEST(AssembledPaper, documentTitleCarriesBothTimes) {
    AssembledPaper paper;
    paper.settings.courseName = u"物理"_s;
    paper.settings.compositionTime = u"20261209010203"_s;
    paper.settings.totalText = u"A卷总分：100"_s;
    paper.settings.similarityText = u"相似度：0%"_s;
    paper.settings.paper = u"A卷"_s;
    paper.settings.generationTime = u"20261209060708"_s;
    EXPECT_EQ(paper.documentTitle(u"试题"_s),
              u"物理  20261209010203  A卷总分：100  相似度：0%  A卷  20261209060708  试题"_s);
    EXPECT_TRUE(paper.documentTitle(u"答案"_s).endsWith(u"20261209060708  答案"_s));
}
