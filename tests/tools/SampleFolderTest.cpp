#include <algorithm>
#include <map>
#include <set>

#include <QProcess>

#include <gtest/gtest.h>

#include "BankReader.h"
#include "ScriptedPrompter.h"
#include "TempFolder.h"
#include "base/Gbk.h"
#include "model/CourseBank.h"
#include "model/CourseCatalog.h"
#include "model/DataCipher.h"
#include "model/QuestionRules.h"
#include "model/QuestionTypeLibrary.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the built make-sample, as a teacher's script would.
ToolRun makeSample(const QStringList& arguments)
{
    QProcess process;
    process.start(QString::fromUtf8(HELAN_MAKE_SAMPLE), arguments);
    ToolRun run;
    if (!process.waitForFinished(60'000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

class SampleFolderTest : public ::testing::Test {
protected:
    test::TempFolder m_folder;
    RecordStore m_store;
    test::ScriptedPrompter m_prompter;
    CourseCatalog m_catalog{m_store, m_prompter};
    CourseBank m_bank{m_store, m_prompter};

    void SetUp() override
    {
        const ToolRun run = makeSample({m_folder.path()});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        m_output = run.out;
    }

    // The questions of a course, opened the way the main window opens it.
    QList<test::BankReader::Question> questionsOf(const QString& course, const QString& password)
    {
        const int position = int(m_catalog.courseNames().indexOf(course));
        EXPECT_GE(position, 0);
        EXPECT_TRUE(m_bank.openCourseBank({course, true, password, position}))
            << m_prompter.messages().join(u' ').toStdString();
        return test::BankReader::read(m_store);
    }

    QList<test::BankReader::Question> math() { return questionsOf(u"示例课程"_s, u"shuxue"_s); }

    QString m_output;
};

QString join(const QStringList& problems)
{
    return problems.join(u'\n');
}

bool isPictureOptionQuestion(const SampleQuestion& q)
{
    return q.choice && q.stemText2.isEmpty() && !q.stemPictureData.isEmpty();
}

// The same labels in the other kind: "BD" ↔ "②④".
QString otherLabels(const QString& answer)
{
    const QStringList& letters = QuestionRules::optionLetters();
    const QStringList& circled = QuestionRules::circledNumbers();
    QString result;
    for (const QChar c : answer) {
        const qsizetype letter = letters.indexOf(QString(c));
        const qsizetype number = circled.indexOf(QString(c));
        result += letter >= 0 ? circled.at(letter) : number >= 0 ? letters.at(number) : u"?"_s;
    }
    return result;
}

} // namespace

TEST_F(SampleFolderTest, OpensWithTheAdministratorAndCoursePasswordsItPrints)
{
    EXPECT_TRUE(m_output.contains(u"林老师"_s));
    EXPECT_TRUE(m_output.contains(u"lin2024"_s));
    EXPECT_TRUE(m_output.contains(u"shuxue"_s));

    EXPECT_EQ(m_catalog.administratorName(), u"林老师"_s);
    EXPECT_TRUE(m_catalog.administratorPasswordMatches(u"lin2024"_s));
    EXPECT_EQ(m_catalog.courseNames(), (QStringList{u"示例课程"_s, u"英语练习"_s}));
    EXPECT_EQ(DataCipher::decryptPassword(m_catalog.storedCoursePassword(0)), u"shuxue"_s);
    EXPECT_TRUE(m_catalog.storedCoursePassword(1).isEmpty());

    QuestionTypeLibrary library(m_store, m_prompter);
    EXPECT_EQ(library.typeNames(), (QStringList{u"判断"_s, u"选择"_s, u"填空"_s, u"名词"_s, u"问答"_s}));

    m_prompter.clear();
    EXPECT_FALSE(m_bank.openCourseBank({u"示例课程"_s, true, u"wrong"_s, 0}));
    EXPECT_EQ(m_prompter.messages(), QStringList{u"课程密码错误！"_s});
    EXPECT_TRUE(m_store.isProtected(u"示例课程.edb"_s));
    EXPECT_FALSE(m_store.isProtected(u"英语练习.edb"_s));
    EXPECT_GT(questionsOf(u"英语练习"_s, QString()).size(), 4);
}

TEST_F(SampleFolderTest, EveryQuestionPassesTheRulesAndEveryPictureDecodes)
{
    const std::pair<QString, QString> courses[] = {{u"示例课程"_s, u"shuxue"_s}, {u"英语练习"_s, QString()}};
    for (const auto& [course, password] : courses) {
        const auto questions = questionsOf(course, password);
        SCOPED_TRACE(course.toStdString());
        EXPECT_EQ(join(test::BankReader::ruleFailures(questions)), QString());
        EXPECT_EQ(join(test::BankReader::groupProblems(questions)), QString());
        EXPECT_EQ(join(test::BankReader::pictureProblems(questions)), QString());
        QuestionTypeLibrary library(m_store, m_prompter);
        const QStringList types = library.typeNames();
        for (const auto& q : questions) {
            EXPECT_TRUE(types.contains(q.fields.type)) << q.record;
            EXPECT_TRUE(q.fields.difficulty >= 1 && q.fields.difficulty <= 9) << q.record;
            EXPECT_TRUE(q.fields.score >= 1 && q.fields.score <= 100) << q.record;
            const QString& points = q.fields.knowledgePoints;
            EXPECT_FALSE(points.contains(u' ') || points.contains(u"||"_s) || points.startsWith(u'|')
                         || points.endsWith(u'|'))
                << q.record;
            EXPECT_LE(gbkLength(points), 512);
        }
    }
}

TEST_F(SampleFolderTest, MathCourseHasTwoReadingGroupsOfThreeToFiveSubQuestions)
{
    std::map<QString, int> subs;
    int titles = 0;
    for (const auto& q : math()) {
        if (q.fields.groupNumber == u"0")
            ++titles;
        else if (!q.fields.groupName.isEmpty())
            ++subs[q.fields.groupName];
    }
    EXPECT_EQ(titles, 2);
    ASSERT_EQ(subs.size(), 2u);
    for (const auto& [name, count] : subs)
        EXPECT_TRUE(count >= 3 && count <= 5) << name.toStdString();
}

TEST_F(SampleFolderTest, EveryPictureOptionQuestionHasItsTwinWithTheOtherLabels)
{
    const auto questions = math();
    int pictureOptionQuestions = 0;
    bool letters = false;
    bool circled = false;
    for (const auto& q : questions) {
        if (!isPictureOptionQuestion(q.fields))
            continue;
        ++pictureOptionQuestions;
        (QuestionRules::optionLetters().contains(q.fields.answer.left(1)) ? letters : circled) = true;
        const QString twinAnswer = otherLabels(q.fields.answer);
        const auto twin = std::find_if(questions.begin(), questions.end(), [&](const auto& other) {
            return isPictureOptionQuestion(other.fields) && other.fields.stemText1 == q.fields.stemText1
                && other.fields.answer == twinAnswer;
        });
        ASSERT_NE(twin, questions.end()) << "no twin for record " << q.record;
        // Each draws its own labels.
        EXPECT_NE(twin->fields.stemPictureData, q.fields.stemPictureData);
    }
    EXPECT_GE(pictureOptionQuestions, 4);
    EXPECT_TRUE(letters && circled);
}

TEST_F(SampleFolderTest, MathCourseCoversWhatATeacherMeetsInTheEditor)
{
    const auto questions = math();
    EXPECT_GE(questions.size(), 55);
    std::set<QString> types;
    std::set<int> difficulties;
    std::map<QString, int> pointUses;
    std::set<std::pair<QString, QString>> seen;
    int blocked = 0, fixed = 0, stemPictures = 0, answerPictures = 0, multiAnswer = 0, pictureAndText = 0,
        listedPoints = 0;
    for (const auto& q : questions) {
        const SampleQuestion& f = q.fields;
        types.insert(f.type);
        difficulties.insert(f.difficulty);
        for (const QString& point : f.knowledgePoints.split(u'|', Qt::SkipEmptyParts))
            ++pointUses[point];
        listedPoints += f.knowledgePoints.contains(u'|');
        blocked += f.blocked;
        fixed += f.fixedScore;
        stemPictures += !f.stemPictureData.isEmpty();
        answerPictures += !f.answerPictureData.isEmpty();
        multiAnswer += f.choice && !f.stemText2.isEmpty() && f.answer.contains(u"\r\n"_s);
        pictureAndText += f.choice && !f.stemText2.isEmpty() && !f.stemPictureData.isEmpty();
        // The editor refuses duplicates: same stem texts and same answer.
        EXPECT_TRUE(seen.insert({f.stemText1 + f.stemText2, f.answer}).second) << "duplicate " << q.record;
    }
    EXPECT_EQ(types.size(), 5u);
    EXPECT_EQ(difficulties, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_GE(listedPoints, 10);
    const auto repeated = [](const auto& use) { return use.second > 1; };
    EXPECT_GE(std::count_if(pointUses.begin(), pointUses.end(), repeated), 5);
    EXPECT_GE(blocked, 2);
    EXPECT_GE(fixed, 2);
    EXPECT_GE(stemPictures, 6);
    EXPECT_GE(answerPictures, 2);
    EXPECT_GE(multiAnswer, 2);
    EXPECT_GE(pictureAndText, 1);
}

TEST_F(SampleFolderTest, RefusesAFolderThatHoldsACatalogueAndLeavesItAlone)
{
    const qsizetype before = math().size();
    m_store.closeAll();
    const ToolRun again = makeSample({m_folder.path()});
    EXPECT_NE(again.exitCode, 0);
    EXPECT_TRUE(again.err.contains(u"catalogue"_s)) << again.err.toStdString();
    EXPECT_EQ(m_catalog.courseNames().size(), 2);
    EXPECT_EQ(math().size(), before);
}

TEST(MakeSampleCommandLine, GeneratedCourseJoinsAFolderOnceAndBadArgumentsAreRefused)
{
    test::TempFolder folder;
    const ToolRun first = makeSample({u"--questions"_s, u"120"_s, u"--seed"_s, u"3"_s, u"--course"_s, u"练习库"_s,
                                  folder.path()});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    const ToolRun second = makeSample({u"--questions"_s, u"10"_s, u"--course"_s, u"练习库"_s, folder.path()});
    EXPECT_NE(second.exitCode, 0);
    EXPECT_TRUE(second.err.contains(u"练习库"_s)) << second.err.toStdString();

    RecordStore store;
    test::ScriptedPrompter prompter;
    CourseCatalog catalog(store, prompter);
    EXPECT_EQ(catalog.courseNames(), QStringList{u"练习库"_s});
    CourseBank bank(store, prompter);
    ASSERT_TRUE(bank.openCourseBank({u"练习库"_s, true, QString(), 0}));
    EXPECT_EQ(store.recordCount(), 120);

    EXPECT_NE(makeSample({}).exitCode, 0);
    EXPECT_NE(makeSample({u"--questions"_s, u"0"_s, folder.file(u"other"_s)}).exitCode, 0);
    EXPECT_NE(makeSample({u"--seed"_s, u"4"_s, folder.file(u"other"_s)}).exitCode, 0);
}
