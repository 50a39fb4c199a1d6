#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <unistd.h>

#include <gtest/gtest.h>

#include "ScriptedPrompter.h"
#include "TempFolder.h"
#include "model/CourseCatalog.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

// Starts the real program in the data folder, with prompts written to standard
// error instead of shown, and its lock in a temporary folder of the test's own.
class ProgramRuns : public ::testing::Test {
protected:
    test::TempFolder m_data;
    QTemporaryDir m_temp;

    void SetUp() override
    {
        // An administrator exists, so no first-run dialog waits for an answer.
        RecordStore store;
        test::ScriptedPrompter prompter;
        ASSERT_TRUE(CourseCatalog(store, prompter).appendAdministrator(u"王老师"_s, u"admin"_s));
        store.closeAll();
    }

    void start(QProcess& process)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        env.insert(u"HELAN_PROMPTS"_s, u"stderr"_s);
        env.insert(u"TMPDIR"_s, m_temp.path());
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(m_data.path());
        process.start(QString::fromUtf8(HELAN_EXECUTABLE), {});
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    // The program's marker is the user's own: named with the user's number.
    QString lockFile() const { return m_temp.filePath(u"helan-"_s + QString::number(geteuid()) + u".lock"_s); }

    // Waits until the lock file names the process: it holds the marker.
    bool holdsLock(const QProcess& process, int timeoutMs = 30000) const
    {
        const QDeadlineTimer deadline(timeoutMs);
        do {
            QFile file(lockFile());
            if (file.open(QIODevice::ReadOnly) && file.readLine().trimmed().toLongLong() == process.processId())
                return true;
            QThread::msleep(50);
        } while (!deadline.hasExpired());
        return false;
    }

    static void stop(QProcess& process)
    {
        process.kill();
        process.waitForFinished(10000);
    }
};

} // namespace

TEST_F(ProgramRuns, ASecondCopyIsRefusedAndTheFirstRunsOn)
{
    QProcess first;
    start(first);
    ASSERT_TRUE(holdsLock(first));

    QProcess second;
    start(second);
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_NE(second.exitCode(), 0);
    const QString said = QString::fromUtf8(second.readAllStandardError());
    EXPECT_TRUE(said.contains(u"[message] 程序 helan 已经运行！"_s)) << said.toStdString();

    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_TRUE(holdsLock(first, 0));
    stop(first);
}

TEST_F(ProgramRuns, ALockLeftByACrashDoesNotBlockTheNextStart)
{
    QProcess crashed;
    start(crashed);
    ASSERT_TRUE(holdsLock(crashed));
    stop(crashed); // killed: its lock file stays behind
    ASSERT_TRUE(QFile::exists(lockFile()));

    QProcess next;
    start(next);
    EXPECT_TRUE(holdsLock(next));
    EXPECT_EQ(next.state(), QProcess::Running);
    stop(next);
    EXPECT_FALSE(QString::fromUtf8(next.readAllStandardError()).contains(u"已经运行"_s));
}
