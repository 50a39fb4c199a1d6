// The type order table: order numbers, the batch type score, the answer line
// break, and the colours that belong to positions.
#include "ComposerFixture.h"

#include "compose/TypeColourSettings.h"
#include "model/QuestionRecord.h"
#include "model/QuestionTypeLibrary.h"

using namespace Qt::StringLiterals;

namespace helan::test {

namespace {

using Q = QuestionRecord;
using L = QuestionTypeLibrary;
using Paper = PaperComposer::Paper;

class TypeOrderTest : public ComposerFixture {
protected:
    QStringList typeOrder() {
        QStringList names;
        for (int r = 1; r < types().rowCount(); ++r)
            names << types().text(r, P::TypeNameColumn) + u":"_s + types().text(r, P::OrderColumn);
        return names;
    }
    void writeColours(const QList<RgbColour>& colours) {
        GridModel grid(1);
        grid.setText(0, 0, u"序号"_s);
        for (const RgbColour colour : colours) {
            const int row = grid.appendRow();
            grid.setText(row, 0, QString::number(row));
            grid.setColour(CellRange(row, 0), colour);
        }
        ASSERT_TRUE(grid.save(TypeColourSettings::fileName()));
    }
};

TEST_F(TypeOrderTest, OrderNumbersSortStablyAndColoursStayWithThePositions) {
    addRecord(question(u"判断"_s));
    addRecord(question(u"选择"_s));
    addRecord(question(u"填空"_s));
    writeColours({0xFF0000, 0x00FF00, 0x0000FF});
    openComposer();
    EXPECT_EQ(typeOrder(), (QStringList{u"判断:1"_s, u"选择:2"_s, u"填空:3"_s}));
    EXPECT_EQ(types().colour(2, P::AnswerLineBreakColumn), 0x00FF00u);

    ASSERT_TRUE(editType(1, P::OrderColumn, 2));
    ASSERT_TRUE(editType(3, P::OrderColumn, 1));
    // Now 2, 2, 1 → 1, 2, 2 … and with 选择 at 1: 2, 1, 1 sorts to 1, 1, 2.
    EXPECT_EQ(typeOrder(), (QStringList{u"填空:1"_s, u"判断:2"_s, u"选择:2"_s}));
    ASSERT_TRUE(editType(3, P::OrderColumn, 1));
    EXPECT_EQ(typeOrder(), (QStringList{u"填空:1"_s, u"选择:1"_s, u"判断:2"_s}));
    EXPECT_EQ(types().text(0, P::OrderColumn), u"排序"_s) << "the header stays on top";
    EXPECT_EQ(types().colour(1, 0), 0xFF0000u);
    EXPECT_EQ(types().colour(2, P::TypeScoreColumn), 0x00FF00u);
    EXPECT_EQ(types().colour(3, 0), 0x0000FFu);
    EXPECT_EQ(types().alignment(1, P::OrderColumn), CellAlignment::Centre);
}

TEST_F(TypeOrderTest, OrderNumbersBelowOneAreRefused) {
    addRecord(question(u"判断"_s));
    addRecord(question(u"选择"_s));
    openComposer();
    for (const QVariant& value : {QVariant(0), QVariant(-2), QVariant(u"-1"_s)}) {
        ASSERT_TRUE(editType(2, P::OrderColumn, value));
        EXPECT_EQ(typeOrder(), (QStringList{u"判断:1"_s, u"选择:2"_s})) << value.toString().toStdString();
    }
    EXPECT_TRUE(m_prompter.prompts().isEmpty());
}

TEST_F(TypeOrderTest, BatchTypeScoreSparesTitlesAndFixedScoresAndKeepsTitlesTheirGroupsTotal) {
    const qint32 plain = addRecord(question(u"阅读"_s, 2));
    const qint32 fixed = addRecord(question(u"阅读"_s, 3).fixed());
    const qint32 blocked = addRecord(question(u"阅读"_s, 5).blockedQuestion());
    const qint32 other = addRecord(question(u"判断"_s, 6));
    const QList<qint32> g = addGroup(u"g"_s, {2, 3}, u"阅读"_s);
    openComposer();
    tick(g[0], Paper::A);
    int row = 0;
    for (int r = 1; r < types().rowCount(); ++r)
        row = types().text(r, P::TypeNameColumn) == u"阅读"_s ? r : row;
    ASSERT_GT(row, 0);
    EXPECT_EQ(types().text(row, P::TypeScoreColumn), u"10"_s);

    m_prompter.answerOkCancel(false, u"确定要改变题型分值吗？"_s);
    ASSERT_TRUE(editType(row, P::TypeScoreColumn, 4));
    EXPECT_EQ(types().text(row, P::TypeScoreColumn), u"10"_s);
    EXPECT_EQ(score(plain), 2);

    m_prompter.answerOkCancel(true, u"确定要改变题型分值吗？"_s);
    ASSERT_TRUE(editType(row, P::TypeScoreColumn, 4));
    EXPECT_TRUE(m_prompter.done());
    EXPECT_EQ(score(plain), 4);
    EXPECT_EQ(score(fixed), 3);
    EXPECT_EQ(score(blocked), 4);
    EXPECT_EQ(score(other), 6);
    EXPECT_EQ(score(g[1]), 4);
    EXPECT_EQ(score(g[2]), 4);
    EXPECT_EQ(score(g[0]), 8) << "the title is its group's total again";
    EXPECT_EQ(composer().totalText(Paper::A), u"8"_s);
    EXPECT_EQ(typeField(u"阅读"_s, L::Score).toInt(), 4);
    // Written back at once, all of it.
    for (const qint32 id : {plain, blocked, g[0], g[1]})
        EXPECT_EQ(field(id, Q::Score).toInt(), score(id)) << id;

    // Below 1: stays in the cell, applied nowhere.
    ASSERT_TRUE(editType(row, P::TypeScoreColumn, 0));
    EXPECT_EQ(score(plain), 4);
    EXPECT_EQ(typeField(u"阅读"_s, L::Score).toInt(), 4);
}

TEST_F(TypeOrderTest, TheAnswerLineBreakIsStoredInTheLibraryAtOnce) {
    addRecord(question(u"判断"_s));
    openComposer();
    ASSERT_TRUE(editType(1, P::AnswerLineBreakColumn, true));
    EXPECT_TRUE(typeField(u"判断"_s, L::AnswerLineBreak).toBool());
    ASSERT_TRUE(editType(1, P::AnswerLineBreakColumn, false));
    EXPECT_FALSE(typeField(u"判断"_s, L::AnswerLineBreak).toBool());
}

TEST_F(TypeOrderTest, ColoursArePaintedByPositionAndMissingOnesAreWhite) {
    for (const QString& type : {u"判断"_s, u"选择"_s, u"填空"_s, u"名词"_s, u"问答"_s})
        addRecord(question(type));
    openComposer();
    EXPECT_EQ(types().colour(1, 0), 0xFFFFFFu) << "no colour file: nothing painted";

    TypeColourSettings settings(m_prompter, &types());
    settings.open();
    EXPECT_EQ(settings.grid().rowCount(), 1);
    EXPECT_EQ(settings.grid().text(0, 0), u"序号"_s);
    EXPECT_FALSE(settings.rowItemsVisible());
    m_prompter.answerChooseColour(0xFF112233).answerChooseColour(0x445566).answerChooseColour(std::nullopt);
    m_prompter.answerChooseColour(0x778899);
    settings.addRow();
    settings.addRow();
    settings.addRow(); // cancelled
    settings.addRow();
    ASSERT_EQ(settings.grid().rowCount(), 4);
    EXPECT_EQ(settings.grid().text(3, 0), u"3"_s);
    EXPECT_EQ(settings.grid().colour(1, 0), 0x112233u);
    // Painted at once.
    EXPECT_EQ(types().colour(2, P::TypeNameColumn), 0x445566u);
    EXPECT_EQ(types().colour(3, 0), 0x778899u);

    settings.grid().setCursor(2, 0);
    EXPECT_TRUE(settings.rowItemsVisible());
    m_prompter.answerChooseColour(0xABCDEF);
    settings.modify();
    EXPECT_EQ(settings.grid().colour(2, 0), 0xABCDEFu);
    EXPECT_EQ(types().colour(2, P::OrderColumn), 0xABCDEFu);
    ASSERT_TRUE(settings.close());

    reopenComposer();
    EXPECT_EQ(types().colour(1, 0), 0x112233u);
    EXPECT_EQ(types().colour(2, 0), 0xABCDEFu);
    EXPECT_EQ(types().colour(3, 0), 0x778899u);
    EXPECT_EQ(types().colour(4, 0), 0xFFFFFFu);
    EXPECT_EQ(types().colour(5, 0), 0xFFFFFFu);

    TypeColourSettings again(m_prompter, &types());
    again.open();
    again.deleteLastRow();
    EXPECT_EQ(again.grid().rowCount(), 3);
    EXPECT_EQ(types().colour(3, 0), 0x778899u) << "kept until the colours are applied again";
}

} // namespace

} // namespace helan::test
