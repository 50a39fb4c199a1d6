// The editor as a view: columns, caption, menus, row heights and header clicks.
#include "EditorFixture.h"


using namespace Qt::StringLiterals;
using namespace helan;
using namespace helan::test;

namespace {

using Item = BankEditor::MenuItem;

Question single(const QString& stem) {
    Question q;
    q.stem1 = stem;
    q.answer = u"答"_s;
    return q;
}

class EditorView : public EditorFixture {};

} // namespace

TEST_F(EditorView, AnEmptyBankShowsTheHeaderOnly) {
    openEditor();
    EXPECT_EQ(grid().rowCount(), 1);
    EXPECT_EQ(editor().caption(), u"题库编辑 —— 语文（共 0 题）"_s);
    EXPECT_FALSE(editor().deleteEnabled());
    EXPECT_TRUE(editor().autoRowHeightEnabled());
}

TEST_F(EditorView, ColumnsAreLaidOutForTheGridWidth) {
    addRecord(single(u"甲"_s));
    openEditor();
    QStringList headers;
    for (int c = 0; c < 15; ++c)
        headers << text(0, c);
    EXPECT_EQ(headers, (QStringList{u"知识点"_s, u"分组名"_s, u"分组号"_s, u"题文1"_s, u"题图"_s, u"题文2"_s,
                                    u"答案"_s, u"答图"_s, u"题型"_s, u"难度"_s, u"分值"_s, u"选择"_s,
                                    u"定分"_s, u"屏蔽"_s, QString()}));
    // 知识点 and 分组名 hold four characters; the three texts share what is left.
    const QList<int> widths = {80, 80, 55, 152, 40, 152, 152, 40, 55, 35, 35, 35, 35, 35, 0};
    for (int c = 0; c < 15; ++c)
        EXPECT_EQ(grid().columnWidth(c), widths.at(c)) << c;
    editor().setGridWidth(1273);
    EXPECT_EQ(grid().columnWidth(BankEditor::AnswerColumn), 243);

    EXPECT_EQ(grid().columnKind(8), ColumnKind::List);
    EXPECT_EQ(grid().listItems(9),
              (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s, u"9"_s}));
    EXPECT_EQ(grid().columnKind(10), ColumnKind::Number);
    for (const int c : {11, 12, 13})
        EXPECT_EQ(grid().columnKind(c), ColumnKind::Checkbox);
    EXPECT_EQ(grid().columnKind(14), ColumnKind::Number);
    for (const int row : {0, 1}) {
        for (int c = 0; c <= 13; ++c) {
            const bool centred = c == 4 || (c >= 7 && c <= 12);
            EXPECT_EQ(grid().alignment(row, c) == CellAlignment::Centre, centred) << row << "," << c;
            EXPECT_EQ(grid().wordWrap(row, c), c <= 7) << row << "," << c;
        }
    }
    EXPECT_EQ(grid().fontHeight(1, 3), 18);
}

struct MenuCase {
    const char* name;
    int row, column, endRow, endColumn;
    bool picture;
    QList<Item> items;
    bool popsUp;
};

const MenuCase kMenuCases[] = {
    {"text cell", 1, 3, 1, 3, false, {Item::SortAscending, Item::SortDescending, Item::CopyQuestion}, true},
    {"group number cell", 1, 2, 1, 2, false, {Item::CopyQuestion}, true},
    {"empty picture cell",
     1,
     4,
     1,
     4,
     false,
     {Item::PasteFromClipboard, Item::AddFromFile, Item::SortAscending, Item::SortDescending,
      Item::CopyQuestion},
     true},
    {"picture cell",
     1,
     7,
     1,
     7,
     true,
     {Item::PreviewPicture, Item::CopyPicture, Item::DeletePicture, Item::SortAscending, Item::SortDescending,
      Item::CopyQuestion},
     true},
    {"column block", 1, 3, 2, 3, false, {Item::SortAscending, Item::SortDescending}, true},
    {"row block", 1, 3, 1, 6, false, {Item::CopyQuestion}, true},
    {"rows and columns", 1, 3, 2, 6, false, {}, false},
};

class ContextMenu : public EditorFixture, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(ContextMenu, ShowsItemsForTheSelection) {
    const MenuCase& menu = GetParam();
    Question q = single(u"甲"_s);
    q.answerPicture = menu.picture;
    addRecord(q);
    addRecord(single(u"乙"_s));
    openEditor();
    click(menu.row, menu.column);
    grid().selectRange(menu.row, menu.column, menu.endRow, menu.endColumn);
    int popups = 0;
    QList<Item> shown;
    QObject::connect(&editor(), &BankEditor::contextMenuRequested, [&](const QList<Item>& items, int, int) {
        ++popups;
        shown = items;
    });
    Q_EMIT grid().events().rightButtonUp(5, 5, Qt::NoModifier);
    EXPECT_EQ(popups, menu.popsUp ? 1 : 0);
    EXPECT_EQ(shown, menu.items);
}

INSTANTIATE_TEST_SUITE_P(Editor, ContextMenu, ::testing::ValuesIn(kMenuCases),
                         [](const ::testing::TestParamInfo<MenuCase>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

TEST_F(EditorView, SortingByAColumnAndBackToGroupOrder) {
    Question a = single(u"乙"_s);
    a.score = 12;
    Question b = single(u"甲"_s);
    b.score = 9;
    addRecord(a);
    addRecord(b);
    Question title = single(u"丙"_s);
    title.groupName = u"组"_s;
    title.groupNumber = u"0"_s;
    title.answer.clear();
    addRecord(title);
    openEditor();
    EXPECT_EQ(text(1, 3), u"丙"_s);

    click(2, BankEditor::ScoreColumn);
    editor().runMenuItem(Item::SortAscending);
    EXPECT_EQ((QStringList{text(1, 3), text(2, 3), text(3, 3)}), (QStringList{u"丙"_s, u"甲"_s, u"乙"_s}));
    EXPECT_EQ(grid().cursorRow(), 2);
    EXPECT_EQ(grid().fontHeight(1, 3), 18);
    click(2, BankEditor::GroupNameColumn);
    editor().runMenuItem(Item::SortAscending);
    EXPECT_EQ(text(3, 3), u"丙"_s);
    editor().runMenuItem(Item::SortDescending);
    EXPECT_EQ(text(1, 3), u"丙"_s);
    expectBankMatchesGrid();
}

TEST_F(EditorView, RowHeightsFromTheSliderAndFromTheTexts) {
    addRecord(single(u"短"_s));
    Question tall = single(QString(50, u'长'));
    addRecord(tall);
    openEditor();
    editor().rowHeightSliderMoved(500);
    EXPECT_EQ(grid().rowHeight(1), 510);
    EXPECT_EQ(grid().rowHeight(2), 510);
    editor().autoRowHeightClicked();
    EXPECT_FALSE(editor().autoRowHeightEnabled());
    const int longRow = text(1, 3).size() > 1 ? 1 : 2;
    const int shortRow = 3 - longRow;
    // 50 characters at twenty a line: three lines.
    EXPECT_EQ(grid().rowHeight(longRow), 3 * 14 + 4);
    EXPECT_EQ(grid().rowHeight(shortRow), 510);
    editor().rowHeightSliderMoved(1);
    EXPECT_EQ(grid().rowHeight(longRow), 11);
    EXPECT_TRUE(editor().autoRowHeightEnabled());
}

TEST_F(EditorView, HeaderClickAndColumnResizeKeepTheCurrentCell) {
    addRecord(single(u"甲"_s));
    addRecord(single(u"乙"_s));
    openEditor();
    click(2, 5);
    EXPECT_TRUE(editor().deleteEnabled());
    Q_EMIT grid().events().headerClicked(0, 3);
    EXPECT_FALSE(editor().deleteEnabled());
    grid().setCursor(1, 1);
    Q_EMIT grid().events().columnResized(3);
    EXPECT_EQ(grid().cursorRow(), 2);
    EXPECT_EQ(grid().cursorColumn(), 5);
}

// What the import needs: rows for records added behind the editor, counted and
// checked for duplicates like loaded ones, and new type names to choose from.
TEST_F(EditorView, RecordsAddedBehindTheEditorBecomeRows) {
    addRecord(single(u"甲"_s));
    openEditor();
    addRecord(single(u"甲"_s));
    const int row = editor().appendRowFromCurrentRecord();
    EXPECT_EQ(row, 2);
    EXPECT_EQ(text(2, BankEditor::StemText1Column), u"甲"_s);
    EXPECT_TRUE(editor().isDuplicate(1));
    editor().addToQuestionCount(1);
    editor().updateEditorCaption();
    EXPECT_EQ(editor().caption(), u"题库编辑 —— 语文（共 2 题）"_s);
    editor().addTypeName(u"作文"_s);
    EXPECT_EQ(grid().listItems(BankEditor::TypeColumn).last(), u"作文"_s);
    click(1, BankEditor::TypeColumn);
    click(1, BankEditor::TypeColumn);
    ASSERT_TRUE(grid().editInPlace(1, BankEditor::TypeColumn, u"作文"_s));
    EXPECT_TRUE(m_prompter.messages().isEmpty());
    expectBankMatchesGrid();
}
