#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>

#include "ShellFixture.h"
#include "app/DifficultyNoteLogic.h"
#include "app/ProgramHelp.h"
#include "app/SingleInstance.h"
#include "model/CourseCatalog.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

using DifficultyNoteTest = helan::test::ShellTest;

// Points the system's temporary folder somewhere fresh for one test.
class TemporaryFolderOverride {
public:
    TemporaryFolderOverride() : m_previous(qgetenv("TMPDIR")) { qputenv("TMPDIR", m_dir.path().toLocal8Bit()); }
    ~TemporaryFolderOverride() { qputenv("TMPDIR", m_previous); }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
};

} // namespace

TEST(ProgramHelp, TextKeepsItsLayout)
{
    const QStringList lines = ProgramHelp::text().split(u'\n');
    ASSERT_EQ(lines.size(), 32);
    EXPECT_EQ(lines[0], QString());
    EXPECT_EQ(lines[1], u"                        禾岚"_s);
    EXPECT_EQ(lines[2], QString());
    EXPECT_EQ(lines[3], u"                                1.0"_s);
    EXPECT_EQ(lines[4], QString());
    EXPECT_EQ(lines[5], QString());
    EXPECT_EQ(lines[6], u"    本系统以课程为单位存放与操作试题，一次编写题库，无限次组卷使用，"_s);
    EXPECT_EQ(lines[7], QString());
    EXPECT_EQ(lines[10], u" 题干带多道小题的形式。   "_s);
    EXPECT_EQ(lines[30], u" 型题目自动编号，全卷小题可连续编号，并可调整试卷的题型顺序。"_s);
    EXPECT_EQ(lines[31], QString());
    for (int i = 6; i < 32; i += 2)
        EXPECT_FALSE(lines[i].isEmpty()) << "line " << i;
    EXPECT_EQ(ProgramHelp::windowTitle(), u"程序说明"_s);
}

TEST_F(DifficultyNoteTest, LoadsAndSavesTheSelectedCoursesDescription)
{
    makeAdministrator();
    ASSERT_TRUE(m_logic.start());
    addCourse(u"数学"_s, QString());
    addCourse(u"语文"_s, QString());
    m_logic.chooseCourse(1);
    m_logic.openBankEditor();
    ASSERT_EQ(m_store.currentAlias(), u"语文"_s);

    QString shownInComposer;
    {
        DifficultyNoteLogic note(m_store, m_prompter, m_state,
                                 [&](const QString& text) { shownInComposer = text; });
        EXPECT_TRUE(note.text().isEmpty());
        note.setText(u"1 易，9 难。"_s + QString(50, u'难')); // 113 bytes
        note.close();
    }
    EXPECT_EQ(shownInComposer.size(), 58);
    EXPECT_EQ(m_store.currentAlias(), u"语文"_s);

    DifficultyNoteLogic again(m_store, m_prompter, m_state);
    EXPECT_EQ(again.text(), u"1 易，9 难。"_s + QString(34, u'难')); // cut to 80 bytes
    again.close();

    m_state.selectedCourse = u"数学"_s;
    DifficultyNoteLogic other(m_store, m_prompter, m_state);
    EXPECT_TRUE(other.text().isEmpty());
}

TEST(SingleInstance, OneHolderAtATime)
{
    TemporaryFolderOverride temp;
    SingleInstance first(u"helan"_s);
    EXPECT_EQ(QFileInfo(first.lockFilePath()).dir().path(), QDir(temp.path()).path());
    EXPECT_EQ(QFileInfo(first.lockFilePath()).fileName(), u"helan-"_s + SingleInstance::userTag() + u".lock"_s);
    ASSERT_TRUE(first.acquire());
    EXPECT_TRUE(first.acquire()); // asking again keeps it

    // A lock held by a live process, this one, is never taken over.
    SingleInstance second(u"helan"_s);
    EXPECT_FALSE(second.acquire());
    EXPECT_EQ(second.refusalText(), u"程序 helan 已经运行！"_s);

    // Another program name is another marker.
    SingleInstance other(u"helan2"_s);
    EXPECT_TRUE(other.acquire());

    // Another account's marker, or a stray file under the old shared name, is
    // not this user's.
    QFile stray(QDir(temp.path()).filePath(u"helan3.lock"_s));
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.write("99999\nhelan\nother-host\n");
    stray.close();
    SingleInstance mine(u"helan3"_s);
    EXPECT_TRUE(mine.acquire());
}

TEST(SingleInstance, ALockLeftByADeadProcessIsTakenOver)
{
    TemporaryFolderOverride temp;
    // A process id that is certainly gone: a child that has ended.
    QProcess child;
    child.start(u"true"_s);
    ASSERT_TRUE(child.waitForStarted());
    const qint64 deadPid = child.processId();
    ASSERT_TRUE(child.waitForFinished());

    SingleInstance instance(u"helan"_s);
    {
        QFile lock(instance.lockFilePath());
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(deadPid) + "\nhelan\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    }
    EXPECT_TRUE(instance.acquire());
    EXPECT_TRUE(instance.isHeld());
}
