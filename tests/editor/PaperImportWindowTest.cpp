// The preview of 从Word/文本导入 on screen (offscreen platform): the menu item
// under 试题, the table, the choices for all questions and the import.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "EditorFixture.h"
#include "PaperFiles.h"
#include "editor/BankEditorWindow.h"
#include "editor/CourseTransfer.h"
#include "editor/PaperImport.h"
#include "editor/PaperImportWindow.h"
#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;

namespace helan::test {
namespace {

class PaperImportWindowTest : public EditorFixture {};

TEST_F(PaperImportWindowTest, MenuItemPreviewAndImport) {
    openEditor();
    BankEditorWindow editorWindow(editor());
    int opened = 0;
    editor().setPlug(BankEditor::Plug::ImportPaper, [&] { ++opened; });
    QAction* item = nullptr;
    for (QMenu* menu : editorWindow.findChildren<QMenu*>()) {
        for (QAction* action : menu->actions())
            if (action->text() == u"从Word/文本导入…"_s)
                item = action;
    }
    ASSERT_NE(item, nullptr);
    item->trigger();
    EXPECT_EQ(opened, 1);

    const QString path = m_folder.file(u"单元测验.txt"_s);
    ASSERT_TRUE(PaperFiles::writeText(path, u"单元测验\n"
                                            "一、选择题（每题3分）\n"
                                            "1. 一加一等于（ ）A. 1 B. 2\n"
                                            "答案：B\n"
                                            "2. 二加二等于（ ）A. 3 B. 4\n"
                                            "【答案】B【解析】二加二得四。\n"
                                            "二、问答题（每题5分）\n"
                                            "3. 为什么天是蓝的？\n"
                                            "答案：散射。\n"
                                            "【解析】瑞利散射。\n"
                                            "4. 没有答案的题。\n"_s));
    PaperImport logic(m_store, m_prompter, course());
    m_prompter.answerOpenFile(path);
    ASSERT_TRUE(logic.chooseAndRead());
    CourseTransfer transfer(editor(), m_store, m_prompter, [] { return QString(); });
    PaperImportWindow window(
        logic, [&] { return logic.importTicked(transfer); }, &editorWindow);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.windowTitle(), u"从Word/文本导入 —— 单元测验.txt"_s);

    auto* table = window.findChild<QTableWidget*>(u"表格试题"_s);
    auto* summary = window.findChild<QLabel*>(u"标签摘要"_s);
    auto* report = window.findChild<QPlainTextEdit*>(u"文本框报告"_s);
    auto* type = window.findChild<QComboBox*>(u"组合框题型"_s);
    auto* difficulty = window.findChild<QSpinBox*>(u"数字框难度"_s);
    auto* knowledge = window.findChild<QLineEdit*>(u"文本框知识点"_s);
    auto* keep = window.findChild<QCheckBox*>(u"选择框保留解析"_s);
    auto* importButton = window.findChild<QPushButton*>(u"按钮导入"_s);
    ASSERT_TRUE(table && summary && report && type && difficulty && knowledge && keep && importButton);
    ASSERT_EQ(table->rowCount(), 4);
    EXPECT_EQ(table->item(0, PaperImportWindow::StemColumn)->text(), u"一加一等于（ ）"_s);
    EXPECT_EQ(table->item(0, PaperImportWindow::OptionsColumn)->text(), u"1 | 2"_s);
    EXPECT_EQ(table->item(0, PaperImportWindow::AnswerColumn)->text(), u"2"_s);
    EXPECT_EQ(table->item(2, PaperImportWindow::ScoreColumn)->text(), u"5"_s);
    EXPECT_TRUE(table->item(3, PaperImportWindow::NotesColumn)->text().startsWith(u"不完整：请输入答案！"_s));
    EXPECT_TRUE(summary->text().startsWith(u"读出4道试题，1道不完整"_s)) << summary->text().toStdString();
    EXPECT_TRUE(report->toPlainText().contains(u"单元测验"_s));
    EXPECT_EQ(difficulty->value(), 5);
    EXPECT_EQ(type->itemText(0), u"按试卷"_s);

    // 保留解析 shows the explanation in the answer of the question that is no
    // choice question.
    keep->setChecked(true);
    EXPECT_EQ(table->item(2, PaperImportWindow::AnswerColumn)->text(), u"散射。 ⏎ 【解析】瑞利散射。"_s);
    // Unticking a question keeps it out.
    table->item(3, PaperImportWindow::TickColumn)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(logic.tickedCount(), 3);
    difficulty->setValue(7);
    knowledge->setText(u"加法 | 光学"_s);

    m_prompter.expectMessage(u"成功导入3条记录，0条重复，0条不完整。"_s);
    importButton->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(m_prompter.done());
    ASSERT_TRUE(m_store.setCurrent(course()));
    ASSERT_EQ(m_store.recordCount(), 3);
    ASSERT_TRUE(m_store.goTo(3));
    EXPECT_EQ(m_store.readText(QuestionRecord::Answer), u"散射。\r\n【解析】瑞利散射。"_s);
    EXPECT_EQ(m_store.read(QuestionRecord::Difficulty).toInt(), 7);
    EXPECT_EQ(m_store.readText(QuestionRecord::KnowledgePoints), u"加法|光学"_s);
    EXPECT_EQ(editor().grid().rowCount(), 4);
}

} // namespace
} // namespace helan::test
