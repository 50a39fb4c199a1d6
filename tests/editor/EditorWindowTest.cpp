// The editor's window on screen (offscreen platform): a double click opens the
// text dialog, what is typed there reaches the record.
#include <functional>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "EditorFixture.h"

#include "editor/BankEditorWindow.h"
#include "gridview/GridView.h"
#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;
using namespace helan;
using namespace helan::test;

namespace {

class EditorWindow : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        Question q;
        q.knowledge = u"力学"_s;
        q.stem1 = u"旧题目"_s;
        q.answer = u"对"_s;
        m_id = addRecord(q);
        q.stem1 = u"第二题"_s;
        m_second = addRecord(q);
        m_editor = std::make_unique<BankEditor>(m_store, m_prompter, course(),
                                                [](int, const QString&) { return 1; });
        m_window = std::make_unique<BankEditorWindow>(*m_editor);
        m_window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void TearDown() override { m_window.reset(); }

    // Double-clicks a data cell, then runs work on the text dialog once it is open;
    // returns when the dialog has closed.
    void editThroughDialog(int row, int column, const std::function<void(QDialog&)>& work) {
        GridView& view = m_window->gridView();
        const QRect cell = view.visualRect(view.model()->index(row - 1, column));
        ASSERT_TRUE(cell.isValid());
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, cell.center());
        bool worked = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QDialog* dialog = m_window->textDialog();
            if (!dialog || worked || !dialog->isVisible())
                return;
            worked = true;
            work(*dialog);
        });
        poll.start(10);
        QElapsedTimer clock;
        clock.start();
        while (!(worked && !m_window->textDialog()) && clock.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_TRUE(worked) << "the text dialog did not open";
    }

    static void type(QDialog& dialog, const QString& text) {
        auto* edit = dialog.findChild<QPlainTextEdit*>(u"编辑框1"_s);
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

    static void press(QDialog& dialog, const QString& button) {
        auto* ok = dialog.findChild<QPushButton*>(button);
        ASSERT_NE(ok, nullptr);
        QTest::mouseClick(ok, Qt::LeftButton);
    }

    std::unique_ptr<BankEditorWindow> m_window;
    qint32 m_id = 0;
    qint32 m_second = 0;
};

} // namespace

TEST_F(EditorWindow, DoubleClickTypeAndOkStoresTheStem) {
    EXPECT_EQ(m_window->windowTitle(), u"题库编辑 —— 语文（共 2 题）"_s);
    QString caption;
    QString button;
    editThroughDialog(1, BankEditor::StemText1Column, [&](QDialog& dialog) {
        caption = dialog.windowTitle();
        button = dialog.findChild<QPushButton*>(u"按钮复制粘贴"_s)->text();
        type(dialog, u"new stem"_s);
        press(dialog, u"按钮确定"_s);
    });
    EXPECT_EQ(caption, u"编辑题文1"_s);
    EXPECT_EQ(button, u"复制全部"_s);
    EXPECT_EQ(field(m_id, QuestionRecord::StemText1).toString(), u"new stem"_s);
    EXPECT_EQ(text(1, BankEditor::StemText1Column), u"new stem"_s);
    expectBankMatchesGrid();
}

TEST_F(EditorWindow, KnowledgePointsTakeTwentyTypedBytes) {
    editThroughDialog(1, BankEditor::KnowledgeColumn, [&](QDialog& dialog) {
        type(dialog, u"abcdefghijklmnopqrstuvwxyz"_s);
        press(dialog, u"按钮确定"_s);
    });
    EXPECT_EQ(field(m_id, QuestionRecord::KnowledgePoints).toString(), u"abcdefghijklmnopqrst"_s);
    expectBankMatchesGrid();
}

TEST_F(EditorWindow, CancelLeavesTheQuestionAlone) {
    editThroughDialog(1, BankEditor::StemText1Column, [&](QDialog& dialog) {
        type(dialog, u"changed"_s);
        press(dialog, u"按钮取消"_s);
    });
    EXPECT_EQ(field(m_id, QuestionRecord::StemText1).toString(), u"旧题目"_s);
    EXPECT_TRUE(m_prompter.messages().isEmpty());
}

TEST_F(EditorWindow, RightClickMakesItsCellCurrentAndPopsTheMenuUp) {
    GridView& view = m_window->gridView();
    const QRect cell = view.visualRect(view.model()->index(1, BankEditor::StemText1Column));
    QTest::mouseClick(view.viewport(), Qt::RightButton, {}, cell.center());
    EXPECT_EQ(m_editor->currentRow(), 2);
    EXPECT_EQ(m_editor->currentColumn(), BankEditor::StemText1Column);
    auto* menu = m_window->findChild<QMenu*>(u"右键菜单"_s);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    QStringList shown;
    for (QAction* action : menu->actions()) {
        if (action->isVisible())
            shown << action->text();
    }
    EXPECT_EQ(shown, (QStringList{u"升序(&A)"_s, u"降序(&S)"_s, u"复制该题并粘贴(&C)"_s}));
    menu->close();
}

TEST_F(EditorWindow, CopyAllAndPasteGoThroughTheClipboard)
{
    QGuiApplication::clipboard()->setText(u"甲\n乙"_s);
    QString caption;
    bool enabled = false;
    editThroughDialog(1, BankEditor::StemText2Column, [&](QDialog& dialog) {
        auto* button = dialog.findChild<QPushButton*>(u"按钮复制粘贴"_s);
        caption = button->text();
        enabled = button->isEnabled();
        press(dialog, u"按钮复制粘贴"_s);
        press(dialog, u"按钮确定"_s);
    });
    EXPECT_EQ(caption, u"粘贴"_s);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(field(m_id, QuestionRecord::StemText2).toString(), u"甲\r\n乙"_s);

    QGuiApplication::clipboard()->clear();
    editThroughDialog(1, BankEditor::StemText1Column, [&](QDialog& dialog) {
        caption = dialog.findChild<QPushButton*>(u"按钮复制粘贴"_s)->text();
        press(dialog, u"按钮复制粘贴"_s);
    });
    EXPECT_EQ(caption, u"复制全部"_s);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"旧题目"_s);
    EXPECT_EQ(field(m_id, QuestionRecord::StemText1).toString(), u"旧题目"_s);
    expectBankMatchesGrid();
}

// The keyboard moves the editor's current row as a click does: Down from a
// question without an answer reports it and puts the cursor back on it.
TEST_F(EditorWindow, ArrowKeysCheckTheRowTheyLeave) {
    m_window.reset();
    Question missing;
    missing.stem1 = u"没有答案"_s;
    const qint32 noAnswer = addRecord(missing);
    Question last;
    last.stem1 = u"最后一题"_s;
    last.answer = u"对"_s;
    addRecord(last);
    m_editor = std::make_unique<BankEditor>(m_store, m_prompter, course(), [](int, const QString&) { return 1; });
    m_window = std::make_unique<BankEditorWindow>(*m_editor);
    m_window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    GridView& view = m_window->gridView();
    const QRect first = view.visualRect(view.model()->index(0, BankEditor::TypeColumn));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, first.center());
    QTest::keyClick(&view, Qt::Key_Down);
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_TRUE(m_prompter.messages().isEmpty());
    EXPECT_EQ(m_editor->currentRow(), rowOf(noAnswer));
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(m_prompter.messages(), QStringList{u"请输入答案！"_s});
    EXPECT_EQ(m_editor->currentRow(), rowOf(noAnswer));
    EXPECT_EQ(view.currentIndex().row() + 1, rowOf(noAnswer));
    EXPECT_EQ(view.currentIndex().column(), int(BankEditor::AnswerColumn));
}

// Typing into a 难度 cell replaces its value, as in a spreadsheet.
TEST_F(EditorWindow, TypingIntoADifficultyCellReplacesIt) {
    GridView& view = m_window->gridView();
    const QRect cell = view.visualRect(view.model()->index(0, BankEditor::DifficultyColumn));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(text(1, BankEditor::DifficultyColumn), u"1"_s);
    QTest::keyClick(&view, Qt::Key_5);
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits on the next turn of the event loop.
    QApplication::processEvents();
    EXPECT_TRUE(m_prompter.messages().isEmpty());
    EXPECT_EQ(field(m_id, QuestionRecord::Difficulty).toInt(), 5);
    EXPECT_EQ(text(1, BankEditor::DifficultyColumn), u"5"_s);
    // A key on a text cell opens no editor in the cell: the text stays the record's.
    const QRect stem = view.visualRect(view.model()->index(0, BankEditor::StemText1Column));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, stem.center());
    QTest::keyClick(&view, Qt::Key_X);
    for (const QLineEdit* line : view.viewport()->findChildren<QLineEdit*>())
        EXPECT_FALSE(line->isVisible());
    EXPECT_EQ(text(1, BankEditor::StemText1Column), u"旧题目"_s);
    expectBankMatchesGrid();
}
