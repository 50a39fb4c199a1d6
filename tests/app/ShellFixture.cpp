#include "ShellFixture.h"

#include "model/CourseBank.h"
#include "model/CourseCatalog.h"
#include "model/DataCipher.h"
#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;

namespace helan::test {

void FakeHost::runCourseAdminDialog(CourseAdminLogic& dialog)
{
    dialogCaptions.append(dialog.caption());
    if (dialogs.empty()) {
        ADD_FAILURE() << "unexpected dialog " << dialog.caption().toStdString();
        return;
    }
    const DialogScript script = dialogs.front();
    dialogs.pop_front();
    script(dialog);
}

void FakeHost::runBankEditor(const QString& course)
{
    opened.append(u"题库编辑 "_s + course);
    if (store) {
        EXPECT_EQ(store->currentAlias(), course);
    }
}

void FakeHost::runPaperComposer(const QString& course)
{
    opened.append(u"组卷 "_s + course);
    if (store) {
        EXPECT_EQ(store->currentAlias(), course);
    }
}

void fillAndConfirm(CourseAdminLogic& dialog, const QString& first, const QString& second, const QString& third,
                    bool closes)
{
    if (!dialog.setup(CourseAdminLogic::NewCourse).readOnly)
        dialog.setText(CourseAdminLogic::NewCourse, first);
    dialog.setText(CourseAdminLogic::CoursePassword, second);
    dialog.setText(CourseAdminLogic::CoursePassword1, third);
    EXPECT_EQ(dialog.accept(), closes) << "确定 in " << dialog.caption().toStdString() << " with "
                                       << first.toStdString();
}

void ShellTest::SetUp()
{
    m_host.store = &m_store;
    m_prompter.setStrictMessages(true);
}

void ShellTest::makeAdministrator()
{
    CourseCatalog catalog(m_store, m_prompter);
    ASSERT_TRUE(catalog.appendAdministrator(u"王老师"_s, kAdminPassword));
}

void ShellTest::addCourse(const QString& name, const QString& password)
{
    m_prompter.answerInput(kAdminPassword, u"请输入管理员密码："_s);
    if (password.isEmpty())
        m_prompter.answerOkCancel(true, u"您确定要将密码设置为空吗？"_s);
    m_host.dialogs.push_back([=](CourseAdminLogic& d) { fillAndConfirm(d, name, password, password, true); });
    m_logic.addCourse();
    ASSERT_TRUE(m_prompter.done());
    ASSERT_TRUE(m_logic.courseList().contains(name));
}

void ShellTest::addQuestion(const QString& course, const QString& password)
{
    RecordStore store;
    ASSERT_TRUE(store.open(CourseBank::fileName(course), u"其他"_s, password));
    ASSERT_TRUE(store.append({u"知识点"_s, QString(), QString(), u"1+1=？"_s}));
    store.closeAll();
}

QString ShellTest::storedPassword(const QString& course)
{
    // The logic's store holds the catalogue file; read it through that store.
    const QString current = m_store.currentAlias();
    EXPECT_TRUE(m_store.setCurrent(CourseCatalog::tableName()));
    QString stored;
    bool found = false;
    for (int record = 2; record <= m_store.recordCount() && !found; ++record) {
        m_store.goTo(record);
        found = m_store.readText(CourseCatalog::Name) == course;
        if (found)
            stored = m_store.readText(CourseCatalog::Password);
    }
    EXPECT_TRUE(found) << "no catalogue record for " << course.toStdString();
    m_store.setCurrent(current);
    return stored;
}

bool ShellTest::bankOpensWith(const QString& course, const QString& password)
{
    RecordStore store;
    return store.open(CourseBank::fileName(course), u"试开"_s, password);
}

void ShellTest::expectNothingChosen()
{
    EXPECT_EQ(m_logic.currentPosition(), -1);
    EXPECT_TRUE(m_state.selectedCourse.isEmpty());
    EXPECT_FALSE(m_logic.isPasswordEnabled());
    EXPECT_TRUE(m_logic.coursePassword().isEmpty());
    EXPECT_FALSE(m_logic.areCourseActionsEnabled());
}

} // namespace helan::test

