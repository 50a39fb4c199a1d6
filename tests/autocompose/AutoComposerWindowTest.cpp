#include <QCheckBox>
#include <QPushButton>
#include <QTest>

#include "AutoComposerFixture.h"
#include "autocompose/AutoComposeRun.h"
#include "autocompose/AutoComposerWindow.h"
#include "base/RandomSource.h"

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

} // namespace
} // namespace helan::test
