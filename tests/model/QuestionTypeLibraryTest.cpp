#include <functional>
#include <ostream>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "Printers.h"
#include "ScriptedPrompter.h"
#include "TempFolder.h"
#include "model/QuestionTypeLibrary.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

struct TypeRow {
    QString name;
    int score;
    QString description;
    bool answerLineBreak;
    bool operator==(const TypeRow&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TypeRow& row)
{
    return out << row.name.toStdString() << '/' << row.score << '/' << row.description.toStdString() << '/'
               << row.answerLineBreak;
}

QList<TypeRow> rowsOf(RecordStore& store)
{
    QList<TypeRow> rows;
    for (int record = 1; record <= store.recordCount(); ++record) {
        store.goTo(record);
        rows.append({store.readText(QuestionTypeLibrary::TypeName), store.readInt(QuestionTypeLibrary::Score),
                     store.readText(QuestionTypeLibrary::Description),
                     store.readBool(QuestionTypeLibrary::AnswerLineBreak)});
    }
    return rows;
}

const QList<TypeRow> kDefaults = {
    {u"判断"_s, 0, QString(), false}, {u"选择"_s, 0, QString(), false}, {u"填空"_s, 0, QString(), false},
    {u"名词"_s, 0, QString(), true},  {u"问答"_s, 0, QString(), true},
};

class QuestionTypeLibraryTest : public ::testing::Test {
protected:
    test::TempFolder m_folder;
    test::ScriptedPrompter m_prompter;

    // A fresh store stands for a later run of the program.
    void inNextRun(const std::function<void(RecordStore&, QuestionTypeLibrary&)>& body)
    {
        RecordStore store;
        QuestionTypeLibrary library(store, m_prompter);
        ASSERT_EQ(library.openTypeLibrary(), OpenOutcome::Ready);
        body(store, library);
    }
};

} // namespace

TEST_F(QuestionTypeLibraryTest, FirstOpeningCreatesTheFiveDefaults)
{
    inNextRun([](RecordStore& store, QuestionTypeLibrary& library) {
        EXPECT_TRUE(QFile::exists(u"题型库.edb"_s));
        EXPECT_EQ(store.currentAlias(), u"题型库"_s);
        const QList<FieldDef> fields = {
            {u"题型"_s, FieldType::Text, 512},
            {u"分值"_s, FieldType::Int, 0},
            {u"说明"_s, FieldType::Text, 512},
            {u"答案换行"_s, FieldType::Bool, 0},
        };
        EXPECT_EQ(store.fields(), fields);
        EXPECT_EQ(rowsOf(store), kDefaults);
        EXPECT_EQ(library.typeNames(), (QStringList{u"判断"_s, u"选择"_s, u"填空"_s, u"名词"_s, u"问答"_s}));
    });
    EXPECT_TRUE(m_prompter.messages().isEmpty());
}

TEST_F(QuestionTypeLibraryTest, ALibraryWithRecordsGetsNothingAppended)
{
    inNextRun([](RecordStore& store, QuestionTypeLibrary&) {
        store.goTo(2);
        ASSERT_TRUE(store.markDeleted());
        ASSERT_TRUE(store.purge());
        ASSERT_TRUE(store.append({u"计算"_s, 5, u"写出过程"_s, true}));
    });
    inNextRun([](RecordStore& store, QuestionTypeLibrary&) {
        const QList<TypeRow> expected = {kDefaults[0], kDefaults[2], kDefaults[3], kDefaults[4],
                                         {u"计算"_s, 5, u"写出过程"_s, true}};
        EXPECT_EQ(rowsOf(store), expected);
    });
}

TEST_F(QuestionTypeLibraryTest, AnEmptiedLibraryGetsTheDefaultsAgain)
{
    inNextRun([](RecordStore& store, QuestionTypeLibrary&) {
        for (int record = 1; record <= store.recordCount(); ++record) {
            ASSERT_TRUE(store.goTo(record));
            ASSERT_TRUE(store.markDeleted());
        }
        ASSERT_TRUE(store.purge());
        ASSERT_EQ(store.recordCount(), 0);
    });
    inNextRun([](RecordStore& store, QuestionTypeLibrary&) {
        EXPECT_EQ(rowsOf(store), kDefaults);
        // The new records carry new IDs; the deleted ones are not reused.
        store.goTo(1);
        EXPECT_GT(store.recordId(), 5);
    });
}

TEST_F(QuestionTypeLibraryTest, AnOpenLibraryIsMadeCurrentWhereItWas)
{
    RecordStore store;
    QuestionTypeLibrary library(store, m_prompter);
    ASSERT_EQ(library.openTypeLibrary(), OpenOutcome::Ready);
    ASSERT_TRUE(store.goTo(3));
    ASSERT_TRUE(store.create(u"其他.edb"_s, {{u"f"_s, FieldType::Int, 0}}));
    ASSERT_TRUE(store.open(u"其他.edb"_s));

    EXPECT_EQ(library.openTypeLibrary(), OpenOutcome::Ready);
    EXPECT_EQ(store.currentAlias(), u"题型库"_s);
    EXPECT_EQ(store.recordNumber(), 3);
    EXPECT_EQ(store.recordCount(), 5);
}

TEST_F(QuestionTypeLibraryTest, AFileThatIsNoTableEndsTheProgram)
{
    {
        QFile file(u"题型库.edb"_s);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("garbage, not a table");
    }
    RecordStore store;
    QuestionTypeLibrary library(store, m_prompter);
    EXPECT_EQ(library.openTypeLibrary(), OpenOutcome::ProgramMustEnd);
    EXPECT_EQ(m_prompter.messages(), QStringList{u"打开题型库错误！"_s});
}

TEST_F(QuestionTypeLibraryTest, AFolderThatCannotHoldTheFileEndsTheProgram)
{
    ASSERT_TRUE(QDir(m_folder.path()).removeRecursively());
    RecordStore store;
    QuestionTypeLibrary library(store, m_prompter);
    EXPECT_EQ(library.openTypeLibrary(), OpenOutcome::ProgramMustEnd);
    EXPECT_EQ(m_prompter.messages(), QStringList{u"创建 题型库.edb 不成功"_s});
}
