#include <QCheckBox>
#include <QDeadlineTimer>
#include <QPointer>
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
    QTest::mouseClick(&window->startButton(), Qt::LeftButton);
    EXPECT_TRUE(logic.idle());
    QTRY_VERIFY(!run.running());
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

} // namespace
} // namespace helan::test
