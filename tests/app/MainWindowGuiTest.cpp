#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "Printers.h"
#include "ScriptedPrompter.h"
#include "TempFolder.h"
#include "app/AppState.h"
#include "app/CourseAdminDialog.h"
#include "app/CourseAdminLogic.h"
#include "app/MainWindow.h"
#include "model/CourseBank.h"
#include "model/CourseCatalog.h"
#include "model/DataCipher.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

template <typename T>
T* control(QWidget& window, const QString& name)
{
    T* found = window.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

QAction* menuItem(QWidget& window, const QString& caption)
{
    for (QAction* action : window.findChildren<QAction*>()) {
        if (action->text() == caption)
            return action;
    }
    ADD_FAILURE() << "no menu item " << caption.toStdString();
    return nullptr;
}

class MainWindowGuiTest : public ::testing::Test {
protected:
    test::TempFolder m_folder;
    RecordStore m_store;
    test::ScriptedPrompter m_prompter;
    AppState m_state;
    QStringList m_opened;

    void SetUp() override
    {
        // A catalogue as after a few runs: 数学 with a password, 语文 without.
        CourseCatalog catalog(m_store, m_prompter);
        ASSERT_TRUE(catalog.appendAdministrator(u"王老师"_s, u"admin"_s));
        CourseBank bank(m_store, m_prompter);
        for (const QString& name : {u"数学"_s, u"语文"_s})
            ASSERT_TRUE(bank.createCourseBank(name));
        ASSERT_EQ(catalog.openCatalog(), OpenOutcome::Ready);
        ASSERT_TRUE(m_store.append({u"数学"_s, DataCipher::encryptPassword(u"m1"_s)}));
        ASSERT_TRUE(m_store.append({u"语文"_s, QString()}));
        ASSERT_TRUE(m_store.open(u"数学.edb"_s));
        ASSERT_TRUE(m_store.setPassword(u"m1"_s));
        m_store.closeAll();
    }

    void expectEnabled(MainWindow& window, bool password, bool actions)
    {
        EXPECT_EQ(control<QLineEdit>(window, u"课程密码"_s)->isEnabled(), password);
        EXPECT_EQ(control<QPushButton>(window, u"按钮题库编辑"_s)->isEnabled(), actions);
        EXPECT_EQ(control<QPushButton>(window, u"按钮组卷"_s)->isEnabled(), actions);
        EXPECT_EQ(menuItem(window, u"删除(&S)"_s)->isEnabled(), actions);
        EXPECT_EQ(menuItem(window, u"重置密码(&R)"_s)->isEnabled(), actions);
    }

    static void choose(QComboBox* list, int index)
    {
        list->setCurrentIndex(index);
        Q_EMIT list->activated(index);
    }
};

} // namespace

TEST_F(MainWindowGuiTest, ControlsAndMenusCarryTheirNamesAndCaptions)
{
    MainWindow window(m_store, m_prompter, m_state);
    window.show();
    ASSERT_TRUE(window.start());
    EXPECT_EQ(window.windowTitle(), u"禾岚 1.0"_s);
    EXPECT_EQ(control<QLabel>(window, u"标签1"_s)->text(), u"请选择课程："_s);
    EXPECT_EQ(control<QLabel>(window, u"标签2"_s)->text(), u"课程密码："_s);
    EXPECT_EQ(control<QLineEdit>(window, u"课程密码"_s)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(control<QPushButton>(window, u"按钮题库编辑"_s)->text(), u"题库编辑"_s);
    EXPECT_EQ(control<QPushButton>(window, u"按钮组卷"_s)->text(), u"组卷"_s);
    EXPECT_FALSE(control<QPlainTextEdit>(window, u"编辑框行数测定"_s)->isVisible());

    QStringList menus;
    for (QAction* action : window.menuBar()->actions())
        menus.append(action->text());
    EXPECT_EQ(menus, (QStringList{u"程序(&F)"_s, u"课程(&P)"_s, u"帮助(&H)"_s}));
    for (const QString& caption : {u"管理员(&G)"_s, u"修改姓名(&N)"_s, u"修改密码(&M)"_s, u"XP风格(&F)"_s,
                                   u"蓝色(&B)"_s, u"绿色(&G)"_s, u"银色(&S)"_s, u"退出(&X)"_s, u"添加(&A)"_s,
                                   u"删除(&S)"_s, u"重置密码(&R)"_s, u"说明(&E)"_s, u"打开数据文件夹"_s})
        EXPECT_NE(menuItem(window, caption), nullptr);
}

TEST_F(MainWindowGuiTest, TheHelpMenuOpensTheDataFolderThroughTheFolderOpener)
{
    MainWindow window(m_store, m_prompter, m_state);
    QStringList asked;
    bool opens = true;
    window.setFolderOpener([&](const QString& folder) {
        asked.append(QFileInfo(folder).canonicalFilePath());
        return opens;
    });
    window.show();
    ASSERT_TRUE(window.start());

    QMenu* help = nullptr;
    for (QAction* action : window.menuBar()->actions()) {
        if (action->text() == u"帮助(&H)"_s)
            help = action->menu();
    }
    ASSERT_NE(help, nullptr);
    QStringList items;
    for (QAction* action : help->actions())
        items.append(action->text());
    EXPECT_EQ(items, (QStringList{u"说明(&E)"_s, u"打开数据文件夹"_s}));

    help->actions().last()->trigger();
    EXPECT_EQ(asked, QStringList{QFileInfo(m_folder.path()).canonicalFilePath()});
    opens = false;
    m_prompter.expectMessage();
    help->actions().last()->trigger();
    EXPECT_TRUE(m_prompter.done());
    EXPECT_EQ(asked.size(), 2);
}

TEST_F(MainWindowGuiTest, ControlStatesFollowTheCourseChosenAndOpened)
{
    MainWindow window(m_store, m_prompter, m_state);
    window.setBankEditorOpener([&](QWidget* parent, const QString& course) {
        EXPECT_EQ(parent, &window);
        m_opened.append(u"题库编辑 "_s + course);
    });
    window.setPaperComposerOpener([&](QWidget*, const QString& course) { m_opened.append(u"组卷 "_s + course); });
    window.show();
    ASSERT_TRUE(window.start());

    auto* list = control<QComboBox>(window, u"组合框1"_s);
    auto* password = control<QLineEdit>(window, u"课程密码"_s);
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentIndex(), -1);
    expectEnabled(window, false, false);

    choose(list, 0); // 数学, with a password
    expectEnabled(window, true, true);

    QTest::keyClicks(password, u"m9"_s);
    m_prompter.expectMessage(u"课程密码错误！"_s);
    QTest::mouseClick(control<QPushButton>(window, u"按钮题库编辑"_s), Qt::LeftButton);
    EXPECT_TRUE(m_opened.isEmpty());
    expectEnabled(window, true, true);

    password->clear();
    QTest::keyClicks(password, u"m1"_s);
    QTest::mouseClick(control<QPushButton>(window, u"按钮组卷"_s), Qt::LeftButton);
    EXPECT_EQ(m_opened, QStringList{u"组卷 数学"_s});
    expectEnabled(window, false, true);

    choose(list, 1); // 语文, without
    expectEnabled(window, false, true);
    EXPECT_TRUE(password->text().isEmpty());
    QTest::mouseClick(control<QPushButton>(window, u"按钮题库编辑"_s), Qt::LeftButton);
    EXPECT_EQ(m_opened, (QStringList{u"组卷 数学"_s, u"题库编辑 语文"_s}));

    choose(list, 0); // back to 数学: asked again
    expectEnabled(window, true, true);
    EXPECT_TRUE(m_prompter.done());

    // The window goes: so do the tables.
    window.close();
    EXPECT_FALSE(m_store.isOpen(u"课程列表"_s));
}

TEST_F(MainWindowGuiTest, TheAdministratorDialogShowsItsModeAndStaysOpenOnARefusal)
{
    m_state.dialogMode = u"修改管理员姓名"_s;
    CourseAdminLogic logic(m_store, m_prompter, m_state);
    CourseAdminDialog dialog(logic);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), u"修改管理员姓名"_s);
    auto* first = control<QLineEdit>(dialog, u"新课程"_s);
    EXPECT_EQ(first->text(), u"王老师"_s);
    EXPECT_TRUE(first->isReadOnly());
    EXPECT_EQ(control<QLineEdit>(dialog, u"课程密码"_s)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(control<QLineEdit>(dialog, u"课程密码1"_s)->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(control<QLabel>(dialog, u"标签3"_s)->text(), u"新姓名："_s);

    QTest::keyClicks(control<QLineEdit>(dialog, u"课程密码"_s), u"wrong"_s);
    control<QLineEdit>(dialog, u"课程密码1"_s)->setText(u"李老师"_s); // keyClicks types ASCII only
    m_prompter.expectMessage(u"管理员密码错误！"_s);
    QTest::mouseClick(control<QPushButton>(dialog, u"确定"_s), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(control<QLineEdit>(dialog, u"课程密码1"_s)->text(), u"李老师"_s);

    control<QLineEdit>(dialog, u"课程密码"_s)->clear();
    QTest::keyClicks(control<QLineEdit>(dialog, u"课程密码"_s), u"admin"_s);
    QTest::mouseClick(control<QPushButton>(dialog, u"确定"_s), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(CourseCatalog(m_store, m_prompter).administratorName(), u"李老师"_s);
}
