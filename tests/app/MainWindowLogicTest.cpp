#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "ShellFixture.h"
#include "base/WriteFaults.h"
#include "model/CourseBank.h"
#include "model/CourseCatalog.h"
#include "model/DataCipher.h"
#include "model/QuestionTypeLibrary.h"

using namespace Qt::StringLiterals;
using namespace helan;
using helan::test::fillAndConfirm;

namespace {

using MainWindowLogicTest = helan::test::ShellTest;

// Writes a file with a few bytes in the data folder.
void touch(const QString& name)
{
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
}

} // namespace

// ---- Start-up

TEST_F(MainWindowLogicTest, FirstRunSetsUpTheAdministratorAndTheTypeLibrary)
{
    m_prompter.expectMessage(u"管理员姓名不能为空！"_s)
        .expectMessage(u"管理员密码不能为空！"_s)
        .expectMessage(u"管理员密码复核错误！"_s)
        .expectMessage(u"管理员密码不能超过64个字节（32个汉字）！"_s)
        .expectMessage(u"管理员姓名不能超过20个字节（10个汉字）！"_s);
    const QString tooLong(33, u'密'); // 66 bytes
    m_host.dialogs.push_back([&](CourseAdminLogic& d) {
        EXPECT_EQ(d.setup(CourseAdminLogic::NewCourse).label, u"管理员姓名："_s);
        fillAndConfirm(d, u" 　"_s, u"a"_s, u"a"_s, false);
        fillAndConfirm(d, u"王老师"_s, QString(), QString(), false);
        fillAndConfirm(d, u"王老师"_s, u"abc"_s, u"abd"_s, false);
        fillAndConfirm(d, u"王老师"_s, tooLong, tooLong, false);
        fillAndConfirm(d, u"王老师王老师王老师王老师"_s, u"abc"_s, u"abc"_s, false);
        fillAndConfirm(d, u"　王老师 "_s, kAdminPassword, kAdminPassword, true);
    });

    ASSERT_FALSE(exists(u"课程列表.edb"_s));
    EXPECT_TRUE(m_logic.start());
    EXPECT_TRUE(m_prompter.done());
    EXPECT_EQ(m_host.dialogCaptions, QStringList{u"设置管理员姓名密码"_s});
    EXPECT_EQ(m_host.schemes, QList<int>{ColourScheme::Blue});
    EXPECT_FALSE(m_host.ended);
    EXPECT_TRUE(m_logic.courseList().isEmpty());
    expectNothingChosen();

    // What reached the files, seen by a later run.
    m_logic.shutDown();
    RecordStore nextRun;
    CourseCatalog catalog(nextRun, m_prompter);
    EXPECT_EQ(catalog.administratorName(), u"王老师"_s);
    EXPECT_EQ(DataCipher::decryptPassword(catalog.administratorStoredPassword()), kAdminPassword);
    QuestionTypeLibrary types(nextRun, m_prompter);
    EXPECT_EQ(types.typeNames(), (QStringList{u"判断"_s, u"选择"_s, u"填空"_s, u"名词"_s, u"问答"_s}));
}

TEST_F(MainWindowLogicTest, ClosingTheFirstRunDialogWithoutAnAdministratorEndsTheProgram)
{
    m_host.dialogs.push_back([](CourseAdminLogic& d) {
        d.setText(CourseAdminLogic::NewCourse, u"王老师"_s); // then 取消
    });
    EXPECT_FALSE(m_logic.start());
    EXPECT_TRUE(m_host.ended);
    EXPECT_TRUE(m_logic.hasEnded());
    EXPECT_FALSE(exists(u"题型库.edb"_s));
}

TEST_F(MainWindowLogicTest, LaterStartsListTheCoursesAndDropThoseWhoseBankIsGone)
{
    makeAdministrator();
    EXPECT_TRUE(m_logic.start());
    EXPECT_TRUE(m_logic.courseList().isEmpty());
    EXPECT_TRUE(m_host.dialogCaptions.isEmpty());
    // The type library is opened only by whoever needs it.
    EXPECT_FALSE(exists(u"题型库.edb"_s));

    addCourse(u"数学"_s, u"m1"_s);
    addCourse(u"语文"_s, QString());
    addCourse(u"英语"_s, u"e1"_s);
    addQuestion(u"语文"_s, QString()); // writes the memo file
    touch(u"语文.enx"_s);
    m_logic.shutDown();
    ASSERT_TRUE(QFile::remove(u"语文.edb"_s));

    RecordStore nextStore;
    helan::test::FakeHost nextHost;
    MainWindowLogic next(nextStore, m_prompter, m_state, nextHost);
    EXPECT_TRUE(next.start());
    EXPECT_EQ(next.courseList(), (QStringList{u"数学"_s, u"英语"_s}));
    EXPECT_TRUE(exists(u"语文.edt"_s));
    EXPECT_TRUE(exists(u"语文.enx"_s));
    EXPECT_EQ(nextStore.recordCount(), 3);
}

// ---- Adding courses

TEST_F(MainWindowLogicTest, AddingACourseTrimsItsNameAndRefusesBadInput)
{
    makeAdministrator();
    ASSERT_TRUE(m_logic.start());
    addCourse(u"数学"_s, u"m1"_s);

    m_prompter.answerInput(kAdminPassword, u"请输入管理员密码："_s)
        .expectMessage(u"课程名称不能为空 ！"_s)
        .expectMessage(u"已经存在课程 数学 ！"_s)
        .expectMessage(u"课程密码复核错误！"_s)
        .expectMessage(u"课程名称不能超过20个字节（10个汉字）！"_s)
        .expectMessage(u"课程名称不能是“课程列表”或“题型库”！"_s)
        .expectMessage(u"课程名称不能是“课程列表”或“题型库”！"_s)
        .expectMessage(u"课程名称不能含有 / \\ : * ? \" < > | 和控制字符！"_s)
        .expectMessage(u"课程名称不能含有 / \\ : * ? \" < > | 和控制字符！"_s)
        .expectMessage(u"课程名称不能以“.”开头或结尾！"_s)
        .expectMessage(u"课程名称不能以“.”开头或结尾！"_s)
        .expectMessage(u"课程密码不能超过64个字节（32个汉字）！"_s);
    const QString tooLong = QString(32, u'密') + u"x"_s; // 65 bytes
    m_host.dialogs.push_back([&](CourseAdminLogic& d) {
        fillAndConfirm(d, u"　 "_s, u"p"_s, u"p"_s, false);
        fillAndConfirm(d, u" 数学 "_s, u"p"_s, u"p"_s, false);
        fillAndConfirm(d, u"物理"_s, u"p"_s, u"q"_s, false);
        fillAndConfirm(d, u"中华人民共和国古代文学史"_s, u"p"_s, u"p"_s, false);
        fillAndConfirm(d, u"课程列表"_s, u"p"_s, u"p"_s, false);
        fillAndConfirm(d, u"题型库"_s, u"p"_s, u"p"_s, false);
        fillAndConfirm(d, u"../物理"_s, u"p"_s, u"p"_s, false);
        fillAndConfirm(d, u"物\t理"_s, u"p"_s, u"p"_s, false);
        fillAndConfirm(d, u".."_s, u"p"_s, u"p"_s, false);
        fillAndConfirm(d, u"物理."_s, u"p"_s, u"p"_s, false);
        fillAndConfirm(d, u"物理"_s, tooLong, tooLong, false);
        fillAndConfirm(d, u"　物理 "_s, u"wl"_s, u"wl"_s, true);
    });
    m_logic.addCourse();
    EXPECT_TRUE(m_prompter.done());
    EXPECT_EQ(m_host.dialogCaptions.last(), u"添加课程"_s);

    EXPECT_EQ(m_logic.courseList(), (QStringList{u"数学"_s, u"物理"_s}));
    EXPECT_TRUE(exists(u"物理.edb"_s));
    EXPECT_EQ(DataCipher::decryptPassword(storedPassword(u"物理"_s)), u"wl"_s);
    EXPECT_TRUE(bankOpensWith(u"物理"_s, u"wl"_s));
    EXPECT_FALSE(bankOpensWith(u"物理"_s, QString()));
    // A 20-byte name and a 64-byte password are still fine.
    addCourse(u"中华人民共和国古代史"_s, QString(32, u'密'));
}

TEST_F(MainWindowLogicTest, AnEmptyCoursePasswordMustBeConfirmed)
{
    makeAdministrator();
    ASSERT_TRUE(m_logic.start());
    m_prompter.answerInput(kAdminPassword, u"请输入管理员密码："_s)
        .answerOkCancel(false, u"您确定要将密码设置为空吗？"_s)
        .answerOkCancel(true, u"您确定要将密码设置为空吗？"_s);
    m_host.dialogs.push_back([](CourseAdminLogic& d) {
        fillAndConfirm(d, u"语文"_s, QString(), QString(), false);
        EXPECT_EQ(d.text(CourseAdminLogic::NewCourse), u"语文"_s);
        EXPECT_FALSE(exists(u"语文.edb"_s));
        fillAndConfirm(d, u"语文"_s, QString(), QString(), true);
    });
    m_logic.addCourse();
    EXPECT_TRUE(m_prompter.done());
    EXPECT_TRUE(storedPassword(u"语文"_s).isEmpty());
    EXPECT_TRUE(bankOpensWith(u"语文"_s, QString()));

    // Without a password the course needs none typed.
    m_logic.chooseCourse(0);
    EXPECT_FALSE(m_logic.isPasswordEnabled());
    m_logic.openBankEditor();
    EXPECT_EQ(m_host.opened, QStringList{u"题库编辑 语文"_s});
}

TEST_F(MainWindowLogicTest, AnExistingBankFileIsOverwrittenOnlyWhenConfirmed)
{
    makeAdministrator();
    ASSERT_TRUE(m_logic.start());
    {
        RecordStore other;
        helan::test::ScriptedPrompter quiet;
        ASSERT_TRUE(CourseBank(other, quiet).createCourseBank(u"历史"_s));
    }
    addQuestion(u"历史"_s, QString());

    m_prompter.answerInput(kAdminPassword, u"请输入管理员密码："_s)
        .answerYesNo(false, u"已经存在 历史.edb 是否覆盖？"_s)
        .answerYesNo(true, u"已经存在 历史.edb 是否覆盖？"_s);
    m_host.dialogs.push_back([](CourseAdminLogic& d) {
        fillAndConfirm(d, u"历史"_s, u"ls"_s, u"ls"_s, false);
        RecordStore other;
        ASSERT_TRUE(other.open(u"历史.edb"_s));
        EXPECT_EQ(other.recordCount(), 1) << "the refused overwrite kept the old bank";
        other.closeAll();
        fillAndConfirm(d, u"历史"_s, u"ls"_s, u"ls"_s, true);
    });
    m_logic.addCourse();
    EXPECT_TRUE(m_prompter.done());

    RecordStore other;
    ASSERT_TRUE(other.open(u"历史.edb"_s, {}, u"ls"_s));
    EXPECT_EQ(other.recordCount(), 0);
}

TEST_F(MainWindowLogicTest, TheAdministratorPasswordGuardsAddingAndResetting)
{
    makeAdministrator();
    ASSERT_TRUE(m_logic.start());
    addCourse(u"数学"_s, u"m1"_s);
    m_logic.chooseCourse(0);

    m_prompter.answerInput(u"管理12"_s, u"请输入管理员密码："_s)
        .expectMessage(u"管理员密码错误！"_s)
        .answerInput(u"wrong"_s, u"请输入管理员密码："_s)
        .expectMessage(u"管理员密码错误！"_s)
        .answerInput(std::nullopt, u"请输入管理员密码："_s)
        .answerInput(std::nullopt, u"请输入管理员密码："_s);
    m_logic.addCourse();
    m_logic.resetCoursePassword();
    m_logic.addCourse();
    m_logic.resetCoursePassword();
    EXPECT_TRUE(m_prompter.done());
    EXPECT_EQ(m_host.dialogCaptions, QStringList{u"添加课程"_s}); // only the one that added 数学
    EXPECT_EQ(m_logic.courseList(), QStringList{u"数学"_s});
    // The input box is masked and has no prompt.
    const auto& prompt = m_prompter.prompts().front();
    EXPECT_TRUE(prompt.title.isEmpty());
}

// ---- Choosing and opening courses

TEST_F(MainWindowLogicTest, ChoosingACourseEnablesItsControls)
{
    makeAdministrator();
    ASSERT_TRUE(m_logic.start());
    addCourse(u"数学"_s, u"m1"_s);
    addCourse(u"语文"_s, QString());
    expectNothingChosen();

    m_logic.chooseCourse(0);
    EXPECT_EQ(m_state.selectedCourse, u"数学"_s);
    EXPECT_TRUE(m_logic.areCourseActionsEnabled());
    EXPECT_TRUE(m_logic.isPasswordEnabled());

    m_logic.chooseCourse(1);
    EXPECT_EQ(m_state.selectedCourse, u"语文"_s);
    EXPECT_TRUE(m_logic.areCourseActionsEnabled());
    EXPECT_FALSE(m_logic.isPasswordEnabled());

    m_logic.chooseCourse(-1);
    EXPECT_FALSE(m_logic.areCourseActionsEnabled());
    EXPECT_FALSE(m_logic.isPasswordEnabled());
}

// ---- The data folder

TEST_F(MainWindowLogicTest, TheDataFolderOpenedIsTheOneTheProgramRunsInAndAFailureSaysWhereItIs)
{
    makeAdministrator();
    ASSERT_TRUE(m_logic.start());
    addCourse(u"数学"_s, QString());
    m_logic.chooseCourse(0);
    m_logic.openBankEditor();
    const QString data = QFileInfo(m_folder.path()).canonicalFilePath();

    m_logic.openDataFolder();
    ASSERT_EQ(m_host.foldersShown.size(), 1);
    EXPECT_EQ(QFileInfo(m_host.foldersShown.first()).canonicalFilePath(), data);
    EXPECT_TRUE(m_prompter.messages().isEmpty());

    // No file manager: the teacher is told the folder's path to go there by hand.
    m_host.fileManagerWorks = false;
    m_prompter.expectMessage(u"无法打开数据文件夹：\n"_s + QDir::toNativeSeparators(m_host.foldersShown.first()));
    m_logic.openDataFolder();
    EXPECT_TRUE(m_prompter.done());
    EXPECT_EQ(m_host.foldersShown.size(), 2);
    EXPECT_TRUE(m_prompter.messages().first().contains(data));

    // Neither way touches the chosen course: its bank stays open and unlocked.
    EXPECT_EQ(m_state.selectedCourse, u"数学"_s);
    EXPECT_TRUE(m_store.isOpen(u"数学"_s));
    EXPECT_TRUE(m_logic.areCourseActionsEnabled());
}

TEST_F(MainWindowLogicTest, OpeningACourseChecksItsPasswordOnce)
{
    makeAdministrator();
    ASSERT_TRUE(m_logic.start());
    addCourse(u"数学"_s, u"m1"_s);
    addCourse(u"语文"_s, u"y1"_s);
    m_logic.chooseCourse(0);

    m_prompter.expectMessage(u"课程密码错误！"_s);
    m_logic.setCoursePassword(u"m2"_s);
    m_logic.openBankEditor();
    EXPECT_TRUE(m_host.opened.isEmpty());
    EXPECT_TRUE(m_logic.isPasswordEnabled());
    EXPECT_FALSE(m_store.isOpen(u"数学"_s));

    m_logic.setCoursePassword(u"m1"_s);
    m_logic.openPaperComposer();
    EXPECT_EQ(m_host.opened, QStringList{u"组卷 数学"_s});
    EXPECT_FALSE(m_logic.isPasswordEnabled());
    EXPECT_TRUE(m_logic.areCourseActionsEnabled());

    // The bank stays unlocked: no check however the password box reads.
    m_logic.setCoursePassword(u"anything"_s);
    m_logic.openBankEditor();
    EXPECT_EQ(m_host.opened, (QStringList{u"组卷 数学"_s, u"题库编辑 数学"_s}));

    // Choosing the same course again changes nothing.
    m_logic.chooseCourse(0);
    EXPECT_FALSE(m_logic.isPasswordEnabled());
    EXPECT_TRUE(m_store.isOpen(u"数学"_s));

    // Another course and back: the first bank was closed, its password is asked again.
    m_logic.chooseCourse(1);
    EXPECT_FALSE(m_store.isOpen(u"数学"_s));
    m_logic.chooseCourse(0);
    EXPECT_TRUE(m_logic.isPasswordEnabled());
    EXPECT_TRUE(m_logic.coursePassword().isEmpty());
    m_prompter.expectMessage(u"课程密码错误！"_s);
    m_logic.openBankEditor();
    EXPECT_EQ(m_host.opened.size(), 2);
    EXPECT_TRUE(m_prompter.done());
}

TEST_F(MainWindowLogicTest, ARebuiltListHasNoChosenCourse)
{
    makeAdministrator();
    ASSERT_TRUE(m_logic.start());
    addCourse(u"数学"_s, u"m1"_s);
    m_logic.chooseCourse(0);
    m_logic.setCoursePassword(u"m1"_s);
    m_logic.openBankEditor();
    ASSERT_TRUE(m_store.isOpen(u"数学"_s));

    addCourse(u"语文"_s, u"y1"_s);
    expectNothingChosen();
    EXPECT_FALSE(m_store.isOpen(u"数学"_s));

    m_logic.chooseCourse(0);
    EXPECT_TRUE(m_logic.areCourseActionsEnabled());
    EXPECT_TRUE(m_logic.isPasswordEnabled());
    EXPECT_EQ(m_state.selectedCourse, u"数学"_s);
}

// ---- Deleting courses

TEST_F(MainWindowLogicTest, DeletingRefusesABankWithQuestions)
{
    makeAdministrator();
    ASSERT_TRUE(m_logic.start());
    addCourse(u"数学"_s, u"m1"_s);
    addQuestion(u"数学"_s, u"m1"_s);

    m_prompter.expectMessage(u"请选择课程！"_s);
    m_logic.deleteCourse();

    m_logic.chooseCourse(0);
    m_prompter.expectMessage(u"数学 题库不为空，不能删除！"_s);
    m_logic.deleteCourse();
    EXPECT_TRUE(m_prompter.done());
    EXPECT_TRUE(exists(u"数学.edb"_s));
    EXPECT_EQ(m_logic.courseList(), QStringList{u"数学"_s});
    // The look inside did not unlock the course.
    EXPECT_FALSE(m_store.isOpen(u"数学"_s));
    EXPECT_TRUE(m_logic.isPasswordEnabled());
}

TEST_F(MainWindowLogicTest, DeletingAnEmptyCourseRemovesItsFilesAndRecord)
{
    makeAdministrator();
    ASSERT_TRUE(m_logic.start());
    addCourse(u"数学"_s, u"m1"_s);
    addCourse(u"语文"_s, QString());
    addCourse(u"英语"_s, u"e1"_s);
    addQuestion(u"英语"_s, u"e1"_s);
    // 语文 had a question once: its memo file exists, its bank is empty.
    addQuestion(u"语文"_s, QString());
    {
        RecordStore other;
        ASSERT_TRUE(other.open(u"语文.edb"_s));
        ASSERT_TRUE(other.goTo(1) && other.markDeleted() && other.purge());
    }
    ASSERT_TRUE(exists(u"语文.edt"_s));
    touch(u"语文.enx"_s);

    m_logic.chooseCourse(1);
    m_prompter.answerOkCancel(false, u"确定要删除 语文 题库吗？"_s);
    m_logic.deleteCourse();
    EXPECT_TRUE(exists(u"语文.edb"_s));
    EXPECT_FALSE(m_store.isOpen(u"语文"_s));

    m_prompter.answerOkCancel(true, u"确定要删除 语文 题库吗？"_s);
    m_logic.deleteCourse();
    EXPECT_TRUE(m_prompter.done());
    EXPECT_FALSE(exists(u"语文.edb"_s));
    EXPECT_FALSE(exists(u"语文.edt"_s));
    EXPECT_FALSE(exists(u"语文.enx"_s));
    EXPECT_EQ(m_logic.courseList(), (QStringList{u"数学"_s, u"英语"_s}));
    expectNothingChosen();

    // 英语 moved up: position 1 is now its record, password and all.
    m_logic.chooseCourse(1);
    m_logic.setCoursePassword(u"e1"_s);
    m_logic.openBankEditor();
    EXPECT_EQ(m_host.opened, QStringList{u"题库编辑 英语"_s});
    EXPECT_EQ(m_store.recordCount(), 1);
}

TEST_F(MainWindowLogicTest, DeletingACourseWhoseBankWillNotOpenStillRemovesIt)
{
    makeAdministrator();
    ASSERT_TRUE(m_logic.start());
    addCourse(u"数学"_s, QString());
    m_logic.chooseCourse(0);
    ASSERT_TRUE(QFile::remove(u"数学.edb"_s));

    m_prompter.expectMessage(u"数学.edb不存在！"_s).answerOkCancel(true, u"确定要删除 数学 题库吗？"_s);
    m_logic.deleteCourse();
    EXPECT_TRUE(m_prompter.done());
    EXPECT_TRUE(m_logic.courseList().isEmpty());
}

// ---- Resetting a course password

TEST_F(MainWindowLogicTest, ResettingACoursePasswordReprotectsItsBank)
{
    makeAdministrator();
    ASSERT_TRUE(m_logic.start());
    addCourse(u"数学"_s, u"m1"_s);
    addQuestion(u"数学"_s, u"m1"_s);
    m_logic.chooseCourse(0);
    m_logic.setCoursePassword(u"m1"_s);
    m_logic.openBankEditor();
    ASSERT_FALSE(m_logic.isPasswordEnabled());

    m_prompter.answerInput(kAdminPassword, u"请输入管理员密码："_s).expectMessage(u"课程密码复核错误 ！"_s);
    m_host.dialogs.push_back([](CourseAdminLogic& d) {
        EXPECT_EQ(d.text(CourseAdminLogic::NewCourse), u"数学"_s);
        EXPECT_TRUE(d.setup(CourseAdminLogic::NewCourse).readOnly);
        fillAndConfirm(d, {}, u"new"_s, u"neW"_s, false);
        fillAndConfirm(d, {}, u"新密码"_s, u"新密码"_s, true);
    });
    m_logic.resetCoursePassword();
    EXPECT_TRUE(m_prompter.done());
    EXPECT_EQ(m_host.dialogCaptions.last(), u"重置课程密码"_s);

    // The bank was closed under its new password, which must now be typed.
    EXPECT_FALSE(m_store.isOpen(u"数学"_s));
    EXPECT_TRUE(m_logic.isPasswordEnabled());
    EXPECT_TRUE(m_logic.coursePassword().isEmpty());
    EXPECT_EQ(DataCipher::decryptPassword(storedPassword(u"数学"_s)), u"新密码"_s);
    EXPECT_TRUE(bankOpensWith(u"数学"_s, u"新密码"_s));
    EXPECT_FALSE(bankOpensWith(u"数学"_s, u"m1"_s));

    m_logic.setCoursePassword(u"新密码"_s);
    m_logic.openBankEditor();
    EXPECT_EQ(m_host.opened.size(), 2);
    EXPECT_EQ(m_store.recordCount(), 1);
}

TEST_F(MainWindowLogicTest, ResettingToAnEmptyPasswordRemovesTheProtection)
{
    makeAdministrator();
    ASSERT_TRUE(m_logic.start());
    addCourse(u"数学"_s, u"m1"_s);
    m_logic.chooseCourse(0);

    m_prompter.answerInput(kAdminPassword, u"请输入管理员密码："_s)
        .answerOkCancel(true, u"您确定要将密码设置为空吗？"_s);
    m_host.dialogs.push_back([](CourseAdminLogic& d) { fillAndConfirm(d, {}, {}, {}, true); });
    m_logic.resetCoursePassword();
    EXPECT_TRUE(m_prompter.done());

    EXPECT_FALSE(m_logic.isPasswordEnabled());
    EXPECT_TRUE(m_logic.areCourseActionsEnabled());
    EXPECT_TRUE(storedPassword(u"数学"_s).isEmpty());
    EXPECT_FALSE(m_store.isProtected(u"数学.edb"_s));
    EXPECT_TRUE(bankOpensWith(u"数学"_s, QString()));

    m_prompter.expectMessage(u"请选择课程！"_s);
    m_logic.chooseCourse(-1);
    m_logic.resetCoursePassword();
}

// ---- Administrator

TEST_F(MainWindowLogicTest, TheAdministratorChangesNameAndPassword)
{
    makeAdministrator();
    ASSERT_TRUE(m_logic.start());

    m_prompter.expectMessage(u"管理员密码错误！"_s).expectMessage(u"管理员姓名不能为空！"_s);
    m_host.dialogs.push_back([](CourseAdminLogic& d) {
        EXPECT_EQ(d.text(CourseAdminLogic::NewCourse), u"王老师"_s);
        fillAndConfirm(d, {}, u"wrong"_s, u"李老师"_s, false);
        fillAndConfirm(d, {}, kAdminPassword, QString(), false);
        fillAndConfirm(d, {}, kAdminPassword, u" 李老师"_s, true);
    });
    m_logic.changeAdministratorName();

    const QString newPassword = u"新管理"_s;
    m_prompter.expectMessage(u"旧密码错误！"_s)
        .expectMessage(u"新密码复核错误！"_s)
        .expectMessage(u"新密码不能为空！"_s);
    m_host.dialogs.push_back([&](CourseAdminLogic& d) {
        fillAndConfirm(d, u"wrong"_s, newPassword, newPassword, false);
        fillAndConfirm(d, kAdminPassword, newPassword, u"x"_s, false);
        fillAndConfirm(d, kAdminPassword, QString(), QString(), false);
        fillAndConfirm(d, kAdminPassword, newPassword, newPassword, true);
    });
    m_logic.changeAdministratorPassword();
    EXPECT_TRUE(m_prompter.done());
    EXPECT_EQ(m_host.dialogCaptions, (QStringList{u"修改管理员姓名"_s, u"修改管理员密码"_s}));

    CourseCatalog catalog(m_store, m_prompter);
    EXPECT_EQ(catalog.administratorName(), u" 李老师"_s); // the new name is taken as typed
    EXPECT_TRUE(catalog.administratorPasswordMatches(newPassword));

    // The new password is the one the administrator check asks for.
    m_prompter.answerInput(kAdminPassword).expectMessage(u"管理员密码错误！"_s);
    m_logic.addCourse();
    m_prompter.answerInput(newPassword);
    m_host.dialogs.push_back([](CourseAdminLogic& d) { fillAndConfirm(d, u"数学"_s, u"m"_s, u"m"_s, true); });
    m_logic.addCourse();
    EXPECT_EQ(m_logic.courseList(), QStringList{u"数学"_s});
}

// Every write of adding a protected course failed in turn: the course comes
// whole (bank protected, password in the catalogue) or not at all, said once.
TEST_F(MainWindowLogicTest, ACourseIsAddedWholeOrNotAtAll)
{
    makeAdministrator();
    ASSERT_TRUE(m_logic.start());
    m_prompter.setStrictMessages(false);
    int faults = 0;
    for (const WriteFaults::Kind kind : {WriteFaults::Kind::StoreChange, WriteFaults::Kind::StoreCommit}) {
        for (int n = 1;; ++n) {
            const QString name = u"课程%1x%2"_s.arg(int(kind)).arg(n);
            SCOPED_TRACE(name.toStdString());
            m_prompter.clear();
            m_prompter.answerInput(kAdminPassword, u"请输入管理员密码："_s);
            m_host.dialogs.push_back([&](CourseAdminLogic& d) {
                d.setText(CourseAdminLogic::NewCourse, name);
                d.setText(CourseAdminLogic::CoursePassword, u"pw"_s);
                d.setText(CourseAdminLogic::CoursePassword1, u"pw"_s);
                WriteFaults::failNth(kind, n);
                d.accept();
            });
            m_logic.addCourse();
            const bool injected = WriteFaults::counted(kind) >= n;
            WriteFaults::reset();
            if (!injected) {
                EXPECT_TRUE(m_prompter.messages().isEmpty());
                EXPECT_TRUE(m_logic.courseList().contains(name));
                EXPECT_TRUE(bankOpensWith(name, u"pw"_s));
                break;
            }
            ++faults;
            ASSERT_EQ(m_prompter.messages().size(), 1);
            EXPECT_TRUE(m_prompter.messages().first().startsWith(u"添加课程 "_s + name + u" 失败"_s));
            EXPECT_FALSE(m_prompter.messages().first().contains(u"失败：。"_s)) << "no reason given";
            EXPECT_FALSE(m_logic.courseList().contains(name));
            EXPECT_FALSE(exists(CourseBank::fileName(name)));
        }
    }
    EXPECT_GE(faults, 2);
}

// Every write of a password reset failed in turn: either the new password opens
// bank and catalogue alike, or the old one still does, and a failure is said once.
TEST_F(MainWindowLogicTest, APasswordResetIsWholeOrTheOldPasswordStays)
{
    makeAdministrator();
    ASSERT_TRUE(m_logic.start());
    addCourse(u"数学"_s, u"old"_s);
    m_prompter.setStrictMessages(false);
    int faults = 0;
    QString current = u"old"_s;
    for (const WriteFaults::Kind kind : {WriteFaults::Kind::StoreChange, WriteFaults::Kind::StoreCommit}) {
        for (int n = 1;; ++n) {
            SCOPED_TRACE(n);
            const QString next = u"新%1x%2"_s.arg(int(kind)).arg(n);
            m_logic.chooseCourse(0);
            m_prompter.clear();
            m_prompter.answerInput(kAdminPassword, u"请输入管理员密码："_s);
            m_host.dialogs.push_back([&](CourseAdminLogic& d) {
                d.setText(CourseAdminLogic::CoursePassword, next);
                d.setText(CourseAdminLogic::CoursePassword1, next);
                WriteFaults::failNth(kind, n);
                d.accept();
            });
            m_logic.resetCoursePassword();
            const bool hit = WriteFaults::counted(kind) >= n;
            WriteFaults::reset();
            if (!hit) {
                EXPECT_TRUE(m_prompter.messages().isEmpty());
                current = next;
                EXPECT_EQ(DataCipher::decryptPassword(storedPassword(u"数学"_s)), current);
                EXPECT_TRUE(bankOpensWith(u"数学"_s, current));
                break;
            }
            ++faults;
            ASSERT_EQ(m_prompter.messages().size(), 1);
            EXPECT_TRUE(m_prompter.messages().first().startsWith(u"课程 数学 的密码未能重设："_s));
            EXPECT_EQ(DataCipher::decryptPassword(storedPassword(u"数学"_s)), current);
            EXPECT_TRUE(bankOpensWith(u"数学"_s, current));
        }
    }
    EXPECT_GE(faults, 1);
}

// A disk that stays full: from some write on every write fails, the way back
// after a refused catalogue included. The one message says which password the
// bank holds, and that one opens it.
TEST_F(MainWindowLogicTest, APasswordResetOnADiskThatStaysFullSaysWhichPasswordTheBankHolds)
{
    makeAdministrator();
    ASSERT_TRUE(m_logic.start());
    m_prompter.setStrictMessages(false);
    int stuck = 0;
    for (int n = 1;; ++n) {
        SCOPED_TRACE(n);
        const QString course = u"课%1"_s.arg(n);
        addCourse(course, u"old"_s);
        m_logic.chooseCourse(int(m_logic.courseList().indexOf(course)));
        m_prompter.clear();
        m_prompter.answerInput(kAdminPassword, u"请输入管理员密码："_s);
        m_host.dialogs.push_back([&](CourseAdminLogic& d) {
            d.setText(CourseAdminLogic::CoursePassword, u"new"_s);
            d.setText(CourseAdminLogic::CoursePassword1, u"new"_s);
            WriteFaults::failFrom(WriteFaults::Kind::StoreChange, n);
            d.accept();
        });
        m_logic.resetCoursePassword();
        const bool hit = WriteFaults::counted(WriteFaults::Kind::StoreChange) >= n;
        WriteFaults::reset();
        if (!hit)
            break;
        ASSERT_EQ(m_prompter.messages().size(), 1);
        const QString said = m_prompter.messages().first();
        EXPECT_TRUE(said.startsWith(u"课程 "_s + course + u" 的密码未能重设："_s)) << said.toStdString();
        if (said.endsWith(u"课程仍使用原来的密码。"_s)) {
            EXPECT_TRUE(bankOpensWith(course, u"old"_s));
        } else {
            ++stuck;
            EXPECT_TRUE(said.contains(u"题库已改用新密码"_s)) << said.toStdString();
            EXPECT_TRUE(bankOpensWith(course, u"new"_s));
        }
        EXPECT_EQ(DataCipher::decryptPassword(storedPassword(course)), u"old"_s);
    }
    EXPECT_GE(stuck, 1) << "no write failed after the bank had taken the new password";
}

// The administrator's new name or password that the catalogue refuses is said,
// and the old one stays in force.
TEST_F(MainWindowLogicTest, AnAdministratorChangeThatCannotBeSavedIsSaid)
{
    makeAdministrator();
    ASSERT_TRUE(m_logic.start());
    m_prompter.setStrictMessages(false);
    m_host.dialogs.push_back([](CourseAdminLogic& d) {
        d.setText(CourseAdminLogic::CoursePassword, kAdminPassword);
        d.setText(CourseAdminLogic::CoursePassword1, u"李老师"_s);
        WriteFaults::failNth(WriteFaults::Kind::StoreChange, 1);
        d.accept();
        WriteFaults::reset();
    });
    m_logic.changeAdministratorName();
    ASSERT_EQ(m_prompter.messages().size(), 1);
    EXPECT_TRUE(m_prompter.messages().first().startsWith(u"管理员姓名未能保存："_s));

    m_prompter.clear();
    m_host.dialogs.push_back([](CourseAdminLogic& d) {
        d.setText(CourseAdminLogic::NewCourse, kAdminPassword);
        d.setText(CourseAdminLogic::CoursePassword, u"新的"_s);
        d.setText(CourseAdminLogic::CoursePassword1, u"新的"_s);
        WriteFaults::failNth(WriteFaults::Kind::StoreChange, 1);
        d.accept();
        WriteFaults::reset();
    });
    m_logic.changeAdministratorPassword();
    ASSERT_EQ(m_prompter.messages().size(), 1);
    EXPECT_TRUE(m_prompter.messages().first().startsWith(u"管理员密码未能保存："_s));

    CourseCatalog catalog(m_store, m_prompter);
    EXPECT_EQ(catalog.administratorName(), u"王老师"_s);
    EXPECT_TRUE(catalog.administratorPasswordMatches(kAdminPassword));
}
