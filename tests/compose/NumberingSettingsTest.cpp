// The numbering styles window: defaults, fixed cells, menus, the closing check,
// and the styles it leaves for the composition window.
#include "ComposerFixture.h"

#include "base/WriteFaults.h"
#include "compose/NumberingSettings.h"

using namespace Qt::StringLiterals;

namespace helan::test {

namespace {

class NumberingSettingsTest : public ComposerFixture {
protected:
    NumberingSettingsTest() : settings(m_prompter) {}
    void SetUp() override {
        ComposerFixture::SetUp();
        settings.open();
    }
    GridModel& grid() { return settings.grid(); }
    NumberingSettings settings;
};

TEST_F(NumberingSettingsTest, DefaultsAreUpperCaseAndRomanInNineRows) {
    ASSERT_EQ(grid().rowCount(), 10);
    ASSERT_EQ(grid().columnCount(), 3);
    EXPECT_EQ(grid().text(0, 1), u"大写"_s);
    EXPECT_EQ(grid().text(0, 2), u"罗马"_s);
    const QString upper = u"一二三四五六七八九"_s;
    const QString roman = u"ⅠⅡⅢⅣⅤⅥⅦⅧⅨ"_s;
    for (int k = 1; k <= 9; ++k) {
        EXPECT_EQ(grid().text(k, 0), QString::number(k));
        EXPECT_EQ(grid().text(k, 1), upper.mid(k - 1, 1));
        EXPECT_EQ(grid().text(k, 2), roman.mid(k - 1, 1));
    }
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(grid().columnWidth(c), 60);
    EXPECT_EQ(grid().alignment(9, 2), CellAlignment::Centre);
    EXPECT_EQ(settings.gridSize(), QSize(195, 255));
    EXPECT_EQ(settings.windowSize(), QSize(195, 299));
}

TEST_F(NumberingSettingsTest, DefaultCellsAreFixedAndOnlyAddedRowsAndColumnsCanGo) {
    for (const auto& [row, column] : {std::pair{1, 0}, std::pair{9, 2}, std::pair{5, 1}}) {
        grid().setCursor(row, column);
        EXPECT_FALSE(grid().editInPlace(row, column, u"x"_s)) << row << "," << column;
    }
    EXPECT_FALSE(settings.deleteMenuVisible());
    settings.deleteLastRow();
    settings.deleteCurrentColumn();
    EXPECT_EQ(grid().rowCount(), 10);
    EXPECT_EQ(grid().columnCount(), 3);

    settings.addRow();
    EXPECT_EQ(grid().text(10, 0), u"10"_s);
    EXPECT_TRUE(settings.deleteMenuVisible());
    EXPECT_TRUE(settings.lastRowItemVisible());
    EXPECT_FALSE(settings.currentColumnItemVisible());
    grid().setCursor(10, 1);
    EXPECT_TRUE(grid().editInPlace(10, 1, u"十"_s));

    m_prompter.answerInput(u"数字"_s, u"请输入添加列的标题："_s);
    settings.addColumn();
    ASSERT_EQ(grid().columnCount(), 4);
    EXPECT_EQ(grid().text(0, 3), u"数字"_s);
    grid().setCursor(3, 3);
    EXPECT_TRUE(settings.currentColumnItemVisible());
    EXPECT_TRUE(grid().editInPlace(3, 3, u"3"_s));
    settings.deleteCurrentColumn();
    EXPECT_EQ(grid().columnCount(), 3);
    settings.deleteLastRow();
    EXPECT_EQ(grid().rowCount(), 10);
    EXPECT_FALSE(settings.deleteMenuVisible());
}

TEST_F(NumberingSettingsTest, AColumnNeedsATitleThatIsNotJustSpaces) {
    m_prompter.answerInput(u" \u3000 "_s).answerInput(std::nullopt).answerInput(u" 甲 "_s);
    settings.addColumn();
    settings.addColumn();
    EXPECT_EQ(grid().columnCount(), 3);
    settings.addColumn();
    ASSERT_EQ(grid().columnCount(), 4);
    EXPECT_EQ(grid().text(0, 3), u" 甲 "_s) << "as typed";
    EXPECT_TRUE(m_prompter.messages().isEmpty());
}

TEST_F(NumberingSettingsTest, ClosingIsRefusedWhileALabelIsEmptyAndTheNewStyleIsOffered) {
    m_prompter.answerInput(u"字母"_s);
    settings.addColumn();
    EXPECT_FALSE(settings.mayClose());
    EXPECT_EQ(m_prompter.messages(), QStringList{u"请完善大题编号！"_s});
    for (int k = 1; k <= 8; ++k)
        grid().setText(k, 3, QString(QChar(u'A' + k - 1)));
    grid().setText(9, 3, u"\u3000"_s);
    EXPECT_FALSE(settings.mayClose()) << "only spaces";
    grid().setText(9, 3, u"I"_s);
    settings.addRow();
    EXPECT_FALSE(settings.mayClose()) << "the new row is empty";
    for (int c = 1; c <= 3; ++c)
        grid().setText(10, c, u"十"_s);
    settings.addRow();
    for (int c = 1; c <= 3; ++c)
        grid().setText(11, c, u"十一"_s);
    m_prompter.clear();
    ASSERT_TRUE(settings.mayClose());
    ASSERT_TRUE(settings.close());

    for (int i = 0; i < 11; ++i)
        addRecord(question(u"T"_s + QString::number(i)));
    openComposer();
    EXPECT_EQ(composer().numberingStyles(), (QStringList{u"大写"_s, u"罗马"_s, u"字母"_s}));
    EXPECT_EQ(composer().numberingTable().rowCount(), 12);
}

TEST_F(NumberingSettingsTest, TheSavedStylesComeBackInTheWindow) {
    settings.addRow();
    for (int c = 1; c <= 2; ++c)
        grid().setText(10, c, u"十"_s);
    ASSERT_TRUE(settings.close());
    NumberingSettings again(m_prompter);
    again.open();
    EXPECT_EQ(again.grid().rowCount(), 11);
    EXPECT_EQ(again.grid().text(10, 2), u"十"_s);
}

// A settings file the disk refuses is said, and the old file stays whole.
TEST_F(NumberingSettingsTest, ASaveThatFailsIsSaidAndKeepsTheOldFile) {
    ASSERT_TRUE(settings.close());
    settings.addRow();
    for (int c = 1; c <= 2; ++c)
        grid().setText(10, c, u"十"_s);
    m_prompter.clear();
    WriteFaults::failNth(WriteFaults::Kind::FileWrite, 1);
    EXPECT_FALSE(settings.close());
    WriteFaults::reset();
    EXPECT_EQ(m_prompter.messages(),
              QStringList{u"大题编号类型未能保存到文件 "_s + NumberingSettings::fileName() + u"！"_s});
    NumberingSettings again(m_prompter);
    again.open();
    EXPECT_EQ(again.grid().rowCount(), 10);
}

} // namespace

} // namespace helan::test
