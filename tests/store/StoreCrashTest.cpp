#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "StoreTestUtil.h"
#include "TempFolder.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

struct ModelRecord {
    QString name;
    int number = 0;
    QString memo;
    QByteArray picture;
    bool operator==(const ModelRecord&) const = default;
};

const QList<FieldDef> kFields = {
    {u"名称"_s, FieldType::Text, 40},
    {u"数量"_s, FieldType::Int},
    {u"正文"_s, FieldType::Memo},
    {u"图片"_s, FieldType::Bytes},
};

QByteArray pictureFor(int op)
{
    QByteArray b;
    const int size = (op * 997) % 6000;
    b.reserve(size);
    for (int i = 0; i < size; ++i)
        b.append(char((i + op) & 0xFF));
    return b;
}

// Operation number op, applied to the model or to the store. Appends, single-field
// writes of memo and byte values, and whole-record modifies interleave.
void applyToModel(int op, QList<ModelRecord>& model)
{
    if (model.isEmpty() || op % 4 == 0) {
        model.append({u"第%1条"_s.arg(op), op, u"正文%1 "_s.arg(op).repeated(op % 50 + 1), pictureFor(op)});
        return;
    }
    ModelRecord& r = model[(op * 7) % model.size()];
    switch (op % 4) {
    case 1:
        r.memo = u"改写%1"_s.arg(op).repeated(op % 30 + 1);
        break;
    case 2:
        r.name = u"改名%1"_s.arg(op);
        r.number = -op;
        r.memo = QString();
        break;
    default:
        r.picture = pictureFor(op + 1);
        break;
    }
}

bool applyToStore(int op, RecordStore& store, int count)
{
    if (count == 0 || op % 4 == 0)
        return store.append({u"第%1条"_s.arg(op), op, u"正文%1 "_s.arg(op).repeated(op % 50 + 1), pictureFor(op)});
    if (!store.goTo((op * 7) % count + 1))
        return false;
    switch (op % 4) {
    case 1:
        return store.write(u"正文", u"改写%1"_s.arg(op).repeated(op % 30 + 1));
    case 2:
        return store.modify({u"改名%1"_s.arg(op), -op, QString()});
    default:
        return store.write(u"图片", pictureFor(op + 1));
    }
}

QList<ModelRecord> readTable(RecordStore& store)
{
    QList<ModelRecord> out;
    for (int n = 1; n <= store.recordCount(); ++n) {
        store.goTo(n);
        out.append({store.readText(1), store.readInt(2), store.readText(3), store.readBytes(4)});
    }
    return out;
}

// How the child ends by itself, when it does (the parent reports it).
enum ChildExit { kChildFinished = 0, kChildCannotOpen = 2, kChildOperationFailed = 3, kChildPipeFailed = 4 };

// The child: performs operations and reports each finished one on the pipe; a
// failure is written to standard error with the store's reason before it ends.
[[noreturn]] void runChild(int fd)
{
    RecordStore store;
    if (!store.open(u"崩溃"_s)) {
        std::fprintf(stderr, "child: open failed: %s\n", qPrintable(RecordStore::lastErrorText()));
        _exit(kChildCannotOpen);
    }
    for (int op = 0; op < 100000; ++op) {
        if (!applyToStore(op, store, store.recordCount())) {
            std::fprintf(stderr, "child: operation %d failed: %s\n", op, qPrintable(RecordStore::lastErrorText()));
            _exit(kChildOperationFailed);
        }
        const int done = op + 1;
        if (write(fd, &done, sizeof done) != sizeof done)
            _exit(kChildPipeFailed);
    }
    _exit(kChildFinished);
}

std::string describeStatus(int status)
{
    if (WIFSIGNALED(status))
        return "killed by signal " + std::to_string(WTERMSIG(status));
    if (!WIFEXITED(status))
        return "stopped with status " + std::to_string(status);
    switch (WEXITSTATUS(status)) {
    case kChildFinished:
        return "finished every operation before it was killed";
    case kChildCannotOpen:
        return "could not open the table (see its message above)";
    case kChildOperationFailed:
        return "had an operation fail (see its message above)";
    case kChildPipeFailed:
        return "could not report to the parent";
    default:
        return "exited with " + std::to_string(WEXITSTATUS(status));
    }
}

TEST(StoreCrashTest, AKilledWriterLeavesAWholePrefixOfItsOperations)
{
    helan::test::TempFolder folder;
    std::mt19937 rng(20261209);
    const int rounds = 25;
    int maxReached = 0;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE(round);
        QFile::remove(u"崩溃.edb"_s);
        QFile::remove(u"崩溃.edt"_s);
        {
            RecordStore maker;
            ASSERT_TRUE(maker.create(u"崩溃"_s, kFields));
        }
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0) << "fork failed: " << std::strerror(errno);
        if (pid == 0) {
            close(fds[0]);
            runChild(fds[1]);
        }
        close(fds[1]);
        // The child is killed after a random number of its operations and then a
        // random moment into the next ones. Counting its operations rather than
        // time keeps the test the same on a busy machine: a sleep of fixed length
        // once let a slowed child do fewer than the test needs.
        const int target = 1 + int(rng() % 12);
        int reported = 0;
        int value = 0;
        while (reported < target && read(fds[0], &value, sizeof value) == sizeof value)
            reported = value;
        usleep(useconds_t(rng() % 30000));
        kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid) << "waitpid: " << std::strerror(errno);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "round " << round << ": the child " << describeStatus(status);
        while (read(fds[0], &value, sizeof value) == sizeof value)
            reported = value;
        close(fds[0]);
        maxReached = std::max(maxReached, reported);

        RecordStore store;
        ASSERT_TRUE(store.open(u"崩溃"_s)) << "round " << round << ", after " << reported
                                         << " reported operations, the table does not open: "
                                         << RecordStore::lastErrorText().toStdString();
        const QList<ModelRecord> actual = readTable(store);
        // Every reported operation is there; the one under way may or may not be.
        QList<ModelRecord> model;
        for (int op = 0; op < reported; ++op)
            applyToModel(op, model);
        if (actual != model) {
            applyToModel(reported, model);
            EXPECT_TRUE(actual == model) << "round " << round << ": after " << reported
                                         << " reported operations the table holds " << actual.size()
                                         << " records that match neither that prefix nor the next";
        }
    }
    EXPECT_GT(maxReached, 3) << "the child never got going";
    std::printf("children reached up to %d operations\n", maxReached);
}

} // namespace
