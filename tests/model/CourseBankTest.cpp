#include <QFile>

#include <gtest/gtest.h>

#include "Printers.h"
#include "ScriptedPrompter.h"
#include "TempFolder.h"
#include "model/CourseBank.h"
#include "model/CourseCatalog.h"
#include "model/DataCipher.h"
#include "model/QuestionRecord.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

class CourseBankTest : public ::testing::Test {
protected:
    test::TempFolder m_folder;
    RecordStore m_store;
    test::ScriptedPrompter m_prompter;
    CourseCatalog m_catalog{m_store, m_prompter};
    CourseBank m_bank{m_store, m_prompter};

    void SetUp() override { ASSERT_TRUE(m_catalog.appendAdministrator(u"王老师"_s, u"admin"_s)); }

    // Adds a course the way the administrator does: bank, catalogue record, then
    // the bank's protection and the stored password. Returns its list position.
    int addCourse(const QString& name, const QString& password = {})
    {
        EXPECT_TRUE(m_bank.createCourseBank(name));
        EXPECT_EQ(m_catalog.openCatalog(), OpenOutcome::Ready);
        EXPECT_TRUE(m_store.append({name, QString()}));
        const int position = m_store.recordCount() - 2;
        if (!password.isEmpty()) {
            EXPECT_TRUE(m_store.open(CourseBank::fileName(name), name));
            EXPECT_TRUE(m_store.setPassword(password));
            EXPECT_TRUE(m_store.close(name));
            EXPECT_TRUE(m_catalog.goToCourse(position));
            EXPECT_TRUE(m_store.modify({QVariant(), DataCipher::encryptPassword(password)}));
        }
        return position;
    }

    bool openChecked(const QString& name, int position, const QString& typed)
    {
        return m_bank.openCourseBank({name, true, typed, position});
    }
};

} // namespace

TEST(QuestionRecordSchema, SixteenFieldsInOrder)
{
    const QList<FieldDef> expected = {
        {u"知识点"_s, FieldType::Text, 512}, {u"分组名"_s, FieldType::Text, 512}, {u"分组号"_s, FieldType::Text, 2},
        {u"题文1"_s, FieldType::Memo, 0},    {u"题图"_s, FieldType::Text, 4},     {u"题文2"_s, FieldType::Memo, 0},
        {u"答案"_s, FieldType::Memo, 0},     {u"答图"_s, FieldType::Text, 4},     {u"题型"_s, FieldType::Text, 512},
        {u"难度"_s, FieldType::Short, 0},    {u"分值"_s, FieldType::Short, 0},    {u"选择"_s, FieldType::Bool, 0},
        {u"定分"_s, FieldType::Bool, 0},     {u"屏蔽"_s, FieldType::Bool, 0},     {u"题图数据"_s, FieldType::Bytes, 0},
        {u"答图数据"_s, FieldType::Bytes, 0},
    };
    EXPECT_EQ(QuestionRecord::fieldDefs(), expected);
    EXPECT_EQ(QuestionRecord::fieldName(QuestionRecord::KnowledgePoints), u"知识点"_s);
    EXPECT_EQ(QuestionRecord::fieldName(QuestionRecord::Type), u"题型"_s);
    EXPECT_EQ(QuestionRecord::fieldName(QuestionRecord::AnswerPictureData), u"答图数据"_s);
    EXPECT_EQ(int(QuestionRecord::AnswerPictureData), QuestionRecord::kFieldCount);

    EXPECT_TRUE(QuestionRecord::isGroupTitle(u"0"_s));
    EXPECT_FALSE(QuestionRecord::isGroupTitle(u"00"_s));
    EXPECT_FALSE(QuestionRecord::isGroupTitle(QString()));
    EXPECT_FALSE(QuestionRecord::isGroupTitle(u"1"_s));
}

TEST_F(CourseBankTest, CreatesAnEmptyBankWithTheQuestionFields)
{
    ASSERT_TRUE(m_bank.createCourseBank(u"语文"_s));
    EXPECT_TRUE(QFile::exists(u"语文.edb"_s));
    ASSERT_TRUE(m_store.open(u"语文.edb"_s));
    EXPECT_EQ(m_store.fields(), QuestionRecord::fieldDefs());
    EXPECT_EQ(m_store.recordCount(), 0);

    // Fields are addressed by the named positions as well as by name.
    ASSERT_TRUE(m_store.append({u"古诗"_s}));
    ASSERT_TRUE(m_store.write(QuestionRecord::Type, u"填空"_s));
    ASSERT_TRUE(m_store.write(QuestionRecord::Difficulty, 3));
    ASSERT_TRUE(m_store.write(QuestionRecord::StemPicture, QuestionRecord::pictureMark()));
    EXPECT_EQ(m_store.readText(u"题型"_s), u"填空"_s);
    EXPECT_EQ(m_store.readInt(u"难度"_s), 3);
    EXPECT_EQ(m_store.readText(QuestionRecord::StemPicture), u"√"_s);
    EXPECT_EQ(m_store.readText(QuestionRecord::KnowledgePoints), u"古诗"_s);
}

TEST_F(CourseBankTest, CourseNameMayContainADot)
{
    const int position = addCourse(u"C++ 2.0"_s, u"pp"_s);
    EXPECT_TRUE(QFile::exists(u"C++ 2.0.edb"_s));
    EXPECT_TRUE(openChecked(u"C++ 2.0"_s, position, u"pp"_s));
    EXPECT_EQ(m_store.currentAlias(), u"C++ 2.0"_s);
}

TEST_F(CourseBankTest, CorrectPasswordOpensTheBank)
{
    addCourse(u"语文"_s, u"yuwen"_s);
    const int position = addCourse(u"数学"_s, u"数学密码"_s);
    EXPECT_TRUE(openChecked(u"数学"_s, position, u"数学密码"_s));
    EXPECT_TRUE(m_prompter.messages().isEmpty());
    EXPECT_EQ(m_store.currentAlias(), u"数学"_s);
    EXPECT_EQ(m_store.fields(), QuestionRecord::fieldDefs());
    EXPECT_TRUE(m_store.append({u"函数"_s}));
}

TEST_F(CourseBankTest, WrongPasswordOpensNothing)
{
    const int position = addCourse(u"数学"_s, u"数学密码"_s);
    EXPECT_FALSE(openChecked(u"数学"_s, position, u"数学"_s));
    EXPECT_FALSE(openChecked(u"数学"_s, position, QString()));
    EXPECT_EQ(m_prompter.messages(), (QStringList{u"课程密码错误！"_s, u"课程密码错误！"_s}));
    EXPECT_FALSE(m_store.isOpen(u"数学"_s));
}

TEST_F(CourseBankTest, ThePasswordOfTheChosenPositionIsChecked)
{
    const int first = addCourse(u"语文"_s, u"one"_s);
    const int second = addCourse(u"数学"_s, u"two"_s);
    EXPECT_FALSE(openChecked(u"数学"_s, first, u"two"_s));
    EXPECT_TRUE(openChecked(u"数学"_s, second, u"two"_s));
    // A position without a course opens nothing.
    EXPECT_FALSE(openChecked(u"英语"_s, 5, u"x"_s));
    EXPECT_FALSE(m_store.isOpen(u"英语"_s));
}

TEST_F(CourseBankTest, AnOpenBankStaysUnlocked)
{
    const int position = addCourse(u"数学"_s, u"数学密码"_s);
    ASSERT_TRUE(openChecked(u"数学"_s, position, u"数学密码"_s));
    ASSERT_EQ(m_catalog.openCatalog(), OpenOutcome::Ready);

    EXPECT_TRUE(openChecked(u"数学"_s, position, u"now wrong"_s));
    EXPECT_EQ(m_store.currentAlias(), u"数学"_s);
    EXPECT_TRUE(m_prompter.messages().isEmpty());

    // Once closed, the password is asked for again.
    ASSERT_TRUE(m_store.close(u"数学"_s));
    EXPECT_FALSE(openChecked(u"数学"_s, position, u"now wrong"_s));
    EXPECT_EQ(m_prompter.messages(), QStringList{u"课程密码错误！"_s});
}

TEST_F(CourseBankTest, ACourseWithoutPasswordOpensWhateverIsTyped)
{
    const int position = addCourse(u"英语"_s);
    EXPECT_TRUE(openChecked(u"英语"_s, position, u"anything"_s));
    EXPECT_TRUE(m_prompter.messages().isEmpty());
    EXPECT_FALSE(m_store.isProtected(u"英语"_s));
}

TEST_F(CourseBankTest, WithoutTheCheckTheCurrentCatalogueRecordGivesThePassword)
{
    addCourse(u"语文"_s, u"one"_s);
    const int position = addCourse(u"数学"_s, u"two"_s);
    ASSERT_TRUE(m_catalog.goToCourse(position));
    ASSERT_TRUE(m_store.create(u"其他.edb"_s, {{u"f"_s, FieldType::Int, 0}}));
    ASSERT_TRUE(m_store.open(u"其他.edb"_s));

    EXPECT_TRUE(m_bank.openCourseBank({u"数学"_s, false, u"ignored"_s}));
    EXPECT_EQ(m_store.currentAlias(), u"数学"_s);
    EXPECT_TRUE(m_prompter.messages().isEmpty());
}

TEST_F(CourseBankTest, MissingBankFile)
{
    const int position = addCourse(u"物理"_s, u"wuli"_s);
    ASSERT_TRUE(QFile::remove(u"物理.edb"_s));
    EXPECT_FALSE(openChecked(u"物理"_s, position, u"wuli"_s));
    EXPECT_EQ(m_prompter.messages(), QStringList{u"物理.edb不存在！"_s});
}

TEST_F(CourseBankTest, BankThatWillNotOpenReportsTheStoresReason)
{
    // The catalogue's password no longer matches the bank's protection.
    const int position = addCourse(u"化学"_s, u"old"_s);
    ASSERT_TRUE(m_catalog.goToCourse(position));
    ASSERT_TRUE(m_store.modify({QVariant(), DataCipher::encryptPassword(u"new"_s)}));

    EXPECT_FALSE(openChecked(u"化学"_s, position, u"new"_s));
    ASSERT_EQ(m_prompter.messages().size(), 1);
    const QString message = m_prompter.messages().first();
    EXPECT_TRUE(message.startsWith(u"打开 化学 题库错误！"_s)) << message.toStdString();
    EXPECT_GT(message.size(), QString(u"打开 化学 题库错误！"_s).size()) << "the store's reason is appended";
    EXPECT_FALSE(m_store.isOpen(u"化学"_s));
}

TEST_F(CourseBankTest, DamagedStoredPasswordCannotOpenAProtectedBank)
{
    const int position = addCourse(u"生物"_s, u"bio"_s);
    ASSERT_TRUE(m_catalog.goToCourse(position));
    ASSERT_TRUE(m_store.modify({QVariant(), u"0123"_s}));
    // The damaged form decrypts to nothing; typing nothing passes the check, but
    // the bank still wants its password.
    EXPECT_FALSE(openChecked(u"生物"_s, position, QString()));
    ASSERT_EQ(m_prompter.messages().size(), 1);
    EXPECT_TRUE(m_prompter.messages().first().startsWith(u"打开 生物 题库错误！"_s));
}
