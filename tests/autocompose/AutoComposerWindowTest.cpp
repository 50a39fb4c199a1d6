#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "AutoComposerFixture.h"
#include "autocompose/AutoComposeRun.h"
#include "autocompose/AutoComposerWindow.h"
#include "base/RandomSource.h"
#include "compose/PaperComposerWindow.h"
#include "grid/GridEvents.h"
#include "gridview/GridView.h"

using namespace Qt::StringLiterals;

namespace helan::test {
namespace {

using AutoWindow = AutoComposerFixture;

TEST_F(AutoWindow, ARunStartedFromTheButtonEndsOnItsOwn) {
    const qint32 q1 = addRecord(question(u"判断"_s, 1).withKnowledge(u"a"_s));
    const qint32 q2 = addRecord(question(u"判断"_s, 1).withKnowledge(u"b"_s));
    openComposer();
    AutoComposer logic(composer(), m_prompter, course());
    RandomSource random(1);
    AutoComposeRun run(logic, random);
    AutoComposerWindow window(logic, run);
    EXPECT_EQ(window.windowTitle(), u"自动组卷 —— 语文"_s);
    EXPECT_FALSE(window.startButton().isEnabled());
    EXPECT_FALSE(window.paperABox().isEnabled());

    const int row = [&] {
        for (int r = 1; r < logic.typeTable().rowCount(); ++r) {
            if (logic.typeTable().text(r, A::TypeNameColumn) == u"判断"_s)
                return r;
        }
        return 0;
    }();
    logic.typeTable().setCursor(row, A::ChosenColumn);
    Q_EMIT logic.typeTable().events().leftButtonUp(0, 0, Qt::NoModifier);
    ASSERT_TRUE(logic.typeTable().editInPlace(row, A::ChosenColumn, u"2"_s));
    ASSERT_TRUE(window.paperABox().isEnabled());
    QTest::mouseClick(&window.paperABox(), Qt::LeftButton);
    ASSERT_TRUE(window.startButton().isEnabled());

    m_prompter.answerOkCancel(true);
    QTest::mouseClick(&window.startButton(), Qt::LeftButton);
    QTRY_VERIFY(!run.running());
    EXPECT_EQ(window.startButton().text(), u"开始"_s);
    EXPECT_TRUE(grid().checked(rowOf(q1), P::PaperAColumn));
    EXPECT_TRUE(grid().checked(rowOf(q2), P::PaperAColumn));
    EXPECT_EQ(m_prompter.messages(), QStringList({u"自动A组卷完毕，请在组卷窗口查看。"_s}));
}

TEST_F(AutoWindow, StopEndsALongRunWithinOneAttemptAndTheComposerFollows) {
    // Thirty questions asked for out of thirty: both papers take all of them,
    // every attempt fails the 90 % limit and the run would go on for 300 tries.
    for (int i = 0; i < 30; ++i)
        addRecord(question(u"判断"_s, 1).withKnowledge(QString::number(i)));
    writeNumbering(5);
    m_composer = std::make_unique<PaperComposer>(m_store, m_prompter, course(), m_word);
    PaperComposerWindow composerWindow(*m_composer);
    composerWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&composerWindow));
    auto* autoButton = composerWindow.findChild<QPushButton*>(u"按钮自动组卷"_s);
    ASSERT_NE(autoButton, nullptr);
    QTest::mouseClick(autoButton, Qt::LeftButton);
    QPointer<AutoComposerWindow> window = composerWindow.findChild<AutoComposerWindow*>();
    ASSERT_FALSE(window.isNull());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(composer().isAutoComposerOpen());
    EXPECT_FALSE(autoButton->isEnabled());
    EXPECT_EQ(window->y(), 300);

    AutoComposer& logic = window->logic();
    AutoComposeRun& run = window->run();
    GridModel& types = logic.typeTable();
    ASSERT_EQ(types.rowCount(), 2);
    types.setCursor(1, A::ChosenColumn);
    Q_EMIT types.events().leftButtonUp(0, 0, Qt::NoModifier);
    ASSERT_TRUE(types.editInPlace(1, A::ChosenColumn, u"30"_s));
    QTest::mouseClick(&window->paperABox(), Qt::LeftButton);
    QTest::mouseClick(&window->paperBBox(), Qt::LeftButton);

    m_prompter.answerOkCancel(true);
    QTest::mouseClick(&window->startButton(), Qt::LeftButton);
    ASSERT_TRUE(run.running());
    EXPECT_EQ(window->startButton().text(), u"停止"_s);
    EXPECT_TRUE(composer().locked());
    EXPECT_FALSE(composerWindow.questionView().isEnabled());
    // Neither window goes while the run writes into the grid.
    composerWindow.reject();
    EXPECT_TRUE(composerWindow.isVisible());
    EXPECT_FALSE(window->close());
    EXPECT_EQ(m_prompter.messages(), QStringList({u"请先停止自动组卷！"_s}));

    QDeadlineTimer deadline(10000);
    while (run.tries() < 3 && run.running() && !deadline.hasExpired())
        QCoreApplication::processEvents();
    ASSERT_TRUE(run.running());
    const int triesAtStop = run.tries();
    // Stopped without success: No keeps what the run left.
    m_prompter.answerYesNo(false, u"恢复开始前的选择？"_s);
    QTest::mouseClick(&window->startButton(), Qt::LeftButton);
    EXPECT_TRUE(logic.idle());
    QTRY_VERIFY(!run.running());
    EXPECT_TRUE(m_prompter.done());
    EXPECT_LE(run.tries(), triesAtStop + 1);
    EXPECT_LT(run.tries(), 300);
    EXPECT_EQ(window->startButton().text(), u"开始"_s);
    EXPECT_EQ(m_prompter.messages().last(), u"自动组A、B卷不成功！"_s);
    EXPECT_FALSE(composer().locked());
    EXPECT_TRUE(composerWindow.questionView().isEnabled());
    EXPECT_EQ(composer().similarityText(), u"100"_s);
    EXPECT_EQ(composer().totalText(P::Paper::A), u"30"_s);

    // Closed, the window goes and the composer may open it again.
    EXPECT_TRUE(window->close());
    QTRY_VERIFY(window.isNull());
    EXPECT_FALSE(composer().isAutoComposerOpen());
    EXPECT_TRUE(autoButton->isEnabled());
}

TEST_F(AutoWindow, EveryControlIsFoundByItsName) {
    addRecord(question(u"判断"_s, 1));
    openComposer();
    AutoComposer logic(composer(), m_prompter, course());
    RandomSource random(1);
    AutoComposeRun run(logic, random);
    AutoComposerWindow window(logic, run);

    EXPECT_EQ(window.findChild<QPushButton*>(u"按钮开始"_s), &window.startButton());
    EXPECT_EQ(window.findChild<GridView*>(u"高级表格1"_s), &window.typeView());
    EXPECT_EQ(window.findChild<QCheckBox*>(u"选择框组A卷"_s), &window.paperABox());
    EXPECT_EQ(window.findChild<QCheckBox*>(u"选择框组B卷"_s), &window.paperBBox());
    const QList<std::pair<QString, const GridModel*>> grids{{u"高级表格2"_s, &logic.typeScoreTable()},
                                                            {u"高级表格3"_s, &logic.compositionPlan()}};
    for (const auto& [name, model] : grids) {
        const auto* view = window.findChild<GridView*>(name);
        ASSERT_NE(view, nullptr) << name.toStdString();
        EXPECT_EQ(&view->grid(), model);
    }
    EXPECT_NE(window.findChild<QComboBox*>(u"组合框1"_s), nullptr);
    EXPECT_NE(window.findChild<QProgressBar*>(u"进度条1"_s), nullptr);
    EXPECT_NE(window.findChild<QMenu*>(u"菜单排序"_s), nullptr);
    for (int i = 1; i <= 12; ++i)
        EXPECT_NE(window.findChild<QLabel*>(u"标签"_s + QString::number(i)), nullptr) << i;
    EXPECT_EQ(window.findChild<QLabel*>(u"标签11"_s)->text(), logic.triesText());
    EXPECT_EQ(window.findChild<QLabel*>(u"状态条1"_s)->text(), logic.statusText());
    for (const QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        EXPECT_FALSE(child->objectName().isEmpty()) << child->metaObject()->className();
}

TEST_F(AutoWindow, OneClickOnACountDropsItsListDownAndADoubleClickStillEdits) {
    for (const char* point : {"a", "b"})
        addRecord(question(u"判断"_s, 1).withKnowledge(QString::fromLatin1(point)));
    openComposer();
    AutoComposer logic(composer(), m_prompter, course());
    RandomSource random(1);
    AutoComposeRun run(logic, random);
    AutoComposerWindow window(logic, run);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    GridView& view = window.typeView();
    const QModelIndex count = view.model()->index(0, A::ChosenColumn);
    const QPoint cell = view.visualRect(count).center();
    const auto list = [&] { return qobject_cast<QComboBox*>(view.indexWidget(count)); };

    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, cell);
    QTRY_VERIFY(list() != nullptr);
    QTRY_VERIFY(list()->view()->isVisible());
    QStringList items;
    for (int i = 0; i < list()->count(); ++i)
        items << list()->itemText(i);
    EXPECT_EQ(items, QStringList({u"0"_s, u"1"_s, u"2"_s}));
    list()->hidePopup();
    list()->setCurrentIndex(2);
    QTest::keyClick(list(), Qt::Key_Return);
    QTRY_VERIFY(list() == nullptr);
    EXPECT_EQ(logic.typeTable().text(1, A::ChosenColumn), u"2"_s);
    EXPECT_EQ(logic.chosenTotal(), 2);

    // Press, release, then the double click the view opens the edit on.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, cell);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, cell);
    ASSERT_NE(list(), nullptr);
    QTRY_VERIFY(list()->view()->isVisible());
    list()->hidePopup();
    list()->setCurrentIndex(1);
    QTest::keyClick(list(), Qt::Key_Return);
    QTRY_VERIFY(list() == nullptr);
    EXPECT_EQ(logic.chosenTotal(), 1);
}

} // namespace
} // namespace helan::test
