#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "Printers.h"
#include "ScriptedPrompter.h"
#include "TempFolder.h"
#include "model/CourseCatalog.h"
#include "model/DataCipher.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

class CourseCatalogTest : public ::testing::Test {
protected:
    test::TempFolder m_folder;
    RecordStore m_store;
    test::ScriptedPrompter m_prompter;
    CourseCatalog m_catalog{m_store, m_prompter};

    void addCourse(const QString& name, const QString& storedPassword = {})
    {
        ASSERT_EQ(m_catalog.openCatalog(), OpenOutcome::Ready);
        ASSERT_TRUE(m_store.append({name, storedPassword, u"难度说明 "_s + name}));
    }
};

void writeFile(const QString& name, const QByteArray& bytes)
{
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST_F(CourseCatalogTest, CreatesTheCatalogueWhenMissing)
{
    ASSERT_FALSE(QFile::exists(u"课程列表.edb"_s));
    EXPECT_EQ(m_catalog.openCatalog(), OpenOutcome::Ready);
    EXPECT_TRUE(QFile::exists(u"课程列表.edb"_s));
    EXPECT_EQ(m_store.currentAlias(), u"课程列表"_s);
    EXPECT_EQ(m_store.recordCount(), 0);
    EXPECT_TRUE(m_catalog.isEmpty());
    EXPECT_TRUE(m_prompter.messages().isEmpty());

    const QList<FieldDef> expected = {
        {u"课程名称"_s, FieldType::Text, 20},
        {u"课程密码"_s, FieldType::Text, DataCipher::kStoredFormWidth},
        {u"难度说明"_s, FieldType::Text, 80},
    };
    EXPECT_EQ(m_store.fields(), expected);
}

TEST_F(CourseCatalogTest, ReopensTheSameFileInALaterRun)
{
    ASSERT_TRUE(m_catalog.appendAdministrator(u"王老师"_s, u"admin"_s));
    addCourse(u"高等数学"_s);
    m_store.closeAll();

    RecordStore nextRun;
    CourseCatalog catalog(nextRun, m_prompter);
    EXPECT_EQ(catalog.openCatalog(), OpenOutcome::Ready);
    EXPECT_EQ(nextRun.recordCount(), 2);
    EXPECT_EQ(catalog.administratorName(), u"王老师"_s);
    EXPECT_EQ(catalog.courseNames(), QStringList{u"高等数学"_s});
    EXPECT_TRUE(m_prompter.messages().isEmpty());
}

TEST_F(CourseCatalogTest, AnOpenCatalogueIsMadeCurrentWhereItWas)
{
    ASSERT_TRUE(m_catalog.appendAdministrator(u"王老师"_s, u"admin"_s));
    addCourse(u"语文"_s);
    addCourse(u"英语"_s);
    ASSERT_TRUE(m_catalog.goToCourse(0));

    ASSERT_TRUE(m_store.create(u"其他.edb"_s, {{u"f"_s, FieldType::Int, 0}}));
    ASSERT_TRUE(m_store.open(u"其他.edb"_s));
    ASSERT_EQ(m_store.currentAlias(), u"其他"_s);

    EXPECT_EQ(m_catalog.openCatalog(), OpenOutcome::Ready);
    EXPECT_EQ(m_store.currentAlias(), u"课程列表"_s);
    EXPECT_EQ(m_store.recordNumber(), 2); // the record the caller chose stays current
}

TEST_F(CourseCatalogTest, AFileThatIsNoTableEndsTheProgram)
{
    writeFile(u"课程列表.edb"_s, "this is not a table");
    EXPECT_EQ(m_catalog.openCatalog(), OpenOutcome::ProgramMustEnd);
    EXPECT_EQ(m_prompter.messages(), QStringList{u"打开课程列表错误！"_s});
    EXPECT_FALSE(m_store.isOpen(u"课程列表"_s));
}

TEST_F(CourseCatalogTest, AFolderThatCannotHoldTheFileEndsTheProgram)
{
    // The working folder vanishes under the program, so nothing can be created.
    ASSERT_TRUE(QDir(m_folder.path()).removeRecursively());
    EXPECT_EQ(m_catalog.openCatalog(), OpenOutcome::ProgramMustEnd);
    EXPECT_EQ(m_prompter.messages(), QStringList{u"创建 课程列表.edb 不成功"_s});
}

TEST_F(CourseCatalogTest, AdministratorIsRecordOne)
{
    EXPECT_TRUE(m_catalog.isEmpty());
    EXPECT_EQ(m_catalog.administratorName(), QString());
    EXPECT_FALSE(m_catalog.administratorPasswordMatches(QString()));

    ASSERT_TRUE(m_catalog.appendAdministrator(u"王老师"_s, u"管理员密码"_s));
    EXPECT_FALSE(m_catalog.isEmpty());
    EXPECT_EQ(m_catalog.administratorName(), u"王老师"_s);
    EXPECT_EQ(DataCipher::decryptPassword(m_catalog.administratorStoredPassword()), u"管理员密码"_s);
    EXPECT_EQ(m_catalog.administratorStoredPassword(), DataCipher::encryptPassword(u"管理员密码"_s));
    EXPECT_TRUE(m_catalog.administratorPasswordMatches(u"管理员密码"_s));
    EXPECT_FALSE(m_catalog.administratorPasswordMatches(u"管理员"_s));
    EXPECT_FALSE(m_catalog.administratorPasswordMatches(QString()));

    // There is only one administrator.
    EXPECT_FALSE(m_catalog.appendAdministrator(u"李老师"_s, u"x"_s));
    EXPECT_EQ(m_store.recordCount(), 1);
}

TEST_F(CourseCatalogTest, TheLongestPasswordSurvivesTheFieldAcrossRuns)
{
    QString password;
    for (int i = 0; i < 32; ++i)
        password += u"密"_s;
    ASSERT_TRUE(DataCipher::passwordFits(password));
    ASSERT_TRUE(m_catalog.appendAdministrator(u"王老师"_s, password));
    m_store.closeAll();

    RecordStore nextRun;
    CourseCatalog catalog(nextRun, m_prompter);
    EXPECT_TRUE(catalog.administratorPasswordMatches(password));
}

TEST_F(CourseCatalogTest, DamagedAdministratorPasswordMatchesNothing)
{
    ASSERT_EQ(m_catalog.openCatalog(), OpenOutcome::Ready);
    ASSERT_TRUE(m_store.append({u"王老师"_s, u"XYZ"_s}));
    EXPECT_FALSE(m_catalog.administratorPasswordMatches(QString()));
    EXPECT_FALSE(m_catalog.administratorPasswordMatches(u"XYZ"_s));
}

TEST_F(CourseCatalogTest, CoursesAreRecordsTwoOnward)
{
    ASSERT_TRUE(m_catalog.appendAdministrator(u"王老师"_s, u"admin"_s));
    EXPECT_TRUE(m_catalog.courseNames().isEmpty());
    EXPECT_FALSE(m_catalog.goToCourse(0));

    addCourse(u"语文"_s);
    addCourse(u"数学"_s, DataCipher::encryptPassword(u"math"_s));
    addCourse(u"王老师"_s); // a course may share the administrator's name
    EXPECT_EQ(m_catalog.courseNames(), (QStringList{u"语文"_s, u"数学"_s, u"王老师"_s}));

    EXPECT_EQ(CourseCatalog::recordOfListPosition(1), 3);
    ASSERT_TRUE(m_catalog.goToCourse(1));
    EXPECT_EQ(m_store.currentAlias(), u"课程列表"_s);
    EXPECT_EQ(m_store.recordNumber(), 3);
    EXPECT_EQ(m_store.readText(CourseCatalog::Name), u"数学"_s);
    EXPECT_EQ(m_store.readText(u"难度说明"_s), u"难度说明 数学"_s);

    EXPECT_EQ(DataCipher::decryptPassword(m_catalog.storedCoursePassword(1)), u"math"_s);
    EXPECT_EQ(m_catalog.storedCoursePassword(0), QString());
    EXPECT_FALSE(m_catalog.goToCourse(3));
    EXPECT_FALSE(m_catalog.goToCourse(-1));
    EXPECT_EQ(m_catalog.storedCoursePassword(3), QString());
}
