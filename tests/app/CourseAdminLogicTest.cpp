#include "ShellFixture.h"
#include "app/CourseNameRules.h"
#include "model/CourseCatalog.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

using CourseAdminLogicTest = helan::test::ShellTest;
using Mode = CourseAdminLogic::Mode;

struct Expected {
    Mode mode;
    QString caption;
    QStringList labels;
    QList<bool> masked;
    QList<bool> readOnly;
};

} // namespace

TEST_F(CourseAdminLogicTest, EachModeHasItsLabelsMasksAndReadOnlyField)
{
    makeAdministrator();
    const QList<bool> noneReadOnly{false, false, false};
    const QList<Expected> table = {
        {Mode::AddCourse, u"添加课程"_s, {u"课程名称："_s, u"课程密码："_s, u"课程密码复核："_s},
         {false, true, true}, noneReadOnly},
        {Mode::ResetCoursePassword, u"重置课程密码"_s, {u"课程名称："_s, u"课程密码："_s, u"课程密码复核："_s},
         {false, true, true}, {true, false, false}},
        {Mode::SetUpAdministrator, u"设置管理员姓名密码"_s,
         {u"管理员姓名："_s, u"管理员密码："_s, u"管理员密码复核："_s}, {false, true, true}, noneReadOnly},
        {Mode::ChangeAdministratorName, u"修改管理员姓名"_s, {u"原姓名："_s, u"原密码："_s, u"新姓名："_s},
         {false, true, false}, {true, false, false}},
        {Mode::ChangeAdministratorPassword, u"修改管理员密码"_s, {u"旧密码："_s, u"新密码："_s, u"新密码复核："_s},
         {true, true, true}, noneReadOnly},
    };
    m_state.selectedCourse = u"数学"_s;
    for (const Expected& e : table) {
        SCOPED_TRACE(e.caption.toStdString());
        m_state.dialogMode = e.caption;
        CourseAdminLogic dialog(m_store, m_prompter, m_state, 0);
        EXPECT_EQ(dialog.mode(), e.mode);
        EXPECT_EQ(dialog.caption(), e.caption);
        for (int i = 0; i < 3; ++i) {
            const auto setup = dialog.setup(CourseAdminLogic::Field(i));
            EXPECT_EQ(setup.label, e.labels[i]);
            EXPECT_EQ(setup.masked, e.masked[i]) << "field " << i;
            EXPECT_EQ(setup.readOnly, e.readOnly[i]) << "field " << i;
        }
        const QString shown = dialog.text(CourseAdminLogic::NewCourse);
        const QString expected = e.mode == Mode::ResetCoursePassword       ? u"数学"_s
                                 : e.mode == Mode::ChangeAdministratorName ? u"王老师"_s
                                                                           : QString();
        EXPECT_EQ(shown, expected);
    }
    EXPECT_EQ(CourseAdminLogic::controlName(CourseAdminLogic::CoursePassword1), u"课程密码1"_s);
    EXPECT_EQ(CourseAdminLogic::labelName(CourseAdminLogic::CoursePassword1), u"标签3"_s);
}

TEST(CourseNameRules, RefusesNamesThatCannotBeACourse)
{
    const QStringList accepted = {
        u"数学"_s, u"C++ 程序设计"_s, u"中华人民共和国古代史"_s, u"12345678901234567890"_s, u"v1.2"_s, u"CONTROL"_s,
    };
    for (const QString& name : accepted)
        EXPECT_TRUE(CourseNameRules::refusal(name).isEmpty()) << name.toStdString();

    const QStringList refused = {
        u"123456789012345678901"_s, u"中华人民共和国古代史a"_s, u"课程列表"_s, u"题型库"_s, u"a/b"_s, u"a\\b"_s,
        u"a:b"_s, u"a*b"_s, u"a?b"_s, u"a\"b"_s, u"a<b"_s, u"a>b"_s, u"a|b"_s, u"a\nb"_s, u"a\u007Fb"_s,
        u"."_s, u".."_s, u".数学"_s, u"数学."_s, u"con"_s, u"NUL.txt"_s, u"com1"_s, u"LPT9"_s,
    };
    for (const QString& name : refused) {
        const QString refusal = CourseNameRules::refusal(name);
        EXPECT_TRUE(refusal.startsWith(u"课程名称不能"_s)) << name.toStdString();
        EXPECT_TRUE(refusal.endsWith(u"！"_s)) << name.toStdString();
    }
}
