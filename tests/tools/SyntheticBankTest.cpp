#include <set>

#include <QSet>

#include <gtest/gtest.h>

#include "BankReader.h"
#include "ScriptedPrompter.h"
#include "SyntheticBank.h"
#include "TempFolder.h"
#include "base/Gbk.h"
#include "model/CourseBank.h"
#include "model/CourseCatalog.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

constexpr int kCount = 300;

class SyntheticBankTest : public ::testing::Test {
protected:
    test::TempFolder m_folder;
    RecordStore m_store;
    test::ScriptedPrompter m_prompter;

    QList<test::BankReader::Question> writeAndRead(const SyntheticBank::Options& options)
    {
        QString error;
        EXPECT_TRUE(SyntheticBank::write(m_folder.path(), options, &error)) << error.toStdString();
        CourseCatalog catalog(m_store, m_prompter);
        const int position = int(catalog.courseNames().indexOf(options.courseName));
        CourseBank bank(m_store, m_prompter);
        EXPECT_TRUE(bank.openCourseBank({options.courseName, true, options.password, position}));
        return test::BankReader::read(m_store);
    }
};

QString join(const QStringList& problems)
{
    return problems.join(u'\n');
}

} // namespace

TEST_F(SyntheticBankTest, HoldsTheRequestedCountBehindItsPassword)
{
    const auto questions = writeAndRead({kCount, 5, u"pw"_s, u"大题库"_s});
    EXPECT_EQ(questions.size(), kCount);

    m_store.closeAll();
    m_prompter.clear();
    CourseBank bank(m_store, m_prompter);
    EXPECT_FALSE(bank.openCourseBank({u"大题库"_s, true, u"other"_s, 0}));
    EXPECT_EQ(m_prompter.messages(), QStringList{u"课程密码错误！"_s});
}

TEST_F(SyntheticBankTest, QuestionsAreValidGroupedAndPicturedInTheBenchmarkProportions)
{
    const auto questions = writeAndRead({kCount, 11, QString(), u"大题库"_s});
    ASSERT_EQ(questions.size(), kCount);
    EXPECT_EQ(join(test::BankReader::ruleFailures(questions)), QString());
    EXPECT_EQ(join(test::BankReader::groupProblems(questions)), QString());
    EXPECT_EQ(join(test::BankReader::pictureProblems(questions)), QString());

    int grouped = 0, choice = 0, pictured = 0, blocked = 0, fixed = 0;
    QStringList points;
    std::set<QString> types;
    for (const auto& q : questions) {
        const SampleQuestion& f = q.fields;
        grouped += !f.groupName.isEmpty();
        choice += f.choice;
        blocked += f.blocked;
        fixed += f.fixedScore;
        types.insert(f.type);
        points += f.knowledgePoints.split(u'|', Qt::SkipEmptyParts);
        const qsizetype stemBytes = gbkLength(f.stemText1);
        EXPECT_TRUE(stemBytes >= 100 && stemBytes <= 400) << q.record << ": " << stemBytes;
        EXPECT_TRUE(f.difficulty >= 1 && f.difficulty <= 9) << q.record;
        if (f.groupNumber != u"0") {
            EXPECT_TRUE(f.score >= 1 && f.score <= 10) << q.record;
        }
        if (!f.stemPictureData.isEmpty()) {
            ++pictured;
            EXPECT_GE(f.stemPictureData.size(), SyntheticBank::kPictureBytes);
            EXPECT_LE(f.stemPictureData.size(), SyntheticBank::kPictureBytes * 3 / 2);
        }
    }
    EXPECT_TRUE(grouped >= kCount * 5 / 100 && grouped <= kCount * 10 / 100) << grouped;
    EXPECT_TRUE(choice >= kCount * 15 / 100 && choice <= kCount * 35 / 100) << choice;
    EXPECT_TRUE(pictured >= kCount * 2 / 100 && pictured <= kCount * 10 / 100) << pictured;
    EXPECT_GT(blocked, 0);
    EXPECT_GT(fixed, 0);
    EXPECT_EQ(types.size(), 5u);
    const QSet<QString> distinctPoints(points.begin(), points.end());
    EXPECT_LT(distinctPoints.size(), points.size()) << "no knowledge point repeats";
}

TEST(SyntheticBankGeneration, SameSeedSameQuestionsOtherSeedOthers)
{
    const auto values = [](const QList<SampleQuestion>& questions) {
        QList<QVariantList> list;
        for (const SampleQuestion& q : questions)
            list.append(q.toValues());
        return list;
    };
    const auto first = values(SyntheticBank::generate(120, 42));
    EXPECT_EQ(first.size(), 120);
    EXPECT_EQ(first, values(SyntheticBank::generate(120, 42)));
    EXPECT_NE(first, values(SyntheticBank::generate(120, 43)));
    // A small bank is still exactly as large as asked, whatever its groups.
    for (const int count : {1, 4, 5, 6, 7})
        EXPECT_EQ(SyntheticBank::generate(count, 9).size(), count);
}

TEST_F(SyntheticBankTest, RefusesACourseThatExists)
{
    writeAndRead({20, 1, QString(), u"大题库"_s});
    m_store.closeAll();
    QString error;
    EXPECT_FALSE(SyntheticBank::write(m_folder.path(), {20, 2, QString(), u"大题库"_s}, &error));
    EXPECT_TRUE(error.contains(u"大题库"_s)) << error.toStdString();
    CourseCatalog catalog(m_store, m_prompter);
    EXPECT_EQ(catalog.courseNames(), QStringList{u"大题库"_s});
}
