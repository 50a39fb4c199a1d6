#include <csignal>
#include <random>

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

// The child: performs operations and reports each finished one on the pipe.
[[noreturn]] void runChild(int fd)
{
    RecordStore store;
    if (!store.open(u"崩溃"_s))
        _exit(2);
    for (int op = 0; op < 100000; ++op) {
        if (!applyToStore(op, store, store.recordCount()))
            _exit(3);
        const int done = op + 1;
        if (write(fd, &done, sizeof done) != sizeof done)
            _exit(4);
    }
    _exit(0);
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
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(fds[0]);
            runChild(fds[1]);
        }
        close(fds[1]);
        // Let the child get some work done, then kill it at a random moment.
        usleep(useconds_t(20000 + rng() % 250000));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself with " << WEXITSTATUS(status);
        int reported = 0;
        int value = 0;
        while (read(fds[0], &value, sizeof value) == sizeof value)
            reported = value;
        close(fds[0]);
        maxReached = std::max(maxReached, reported);

        RecordStore store;
        ASSERT_TRUE(store.open(u"崩溃"_s)) << RecordStore::lastErrorText().toStdString();
        const QList<ModelRecord> actual = readTable(store);
        // Every reported operation is there; the one under way may or may not be.
        QList<ModelRecord> model;
        for (int op = 0; op < reported; ++op)
            applyToModel(op, model);
        if (actual != model) {
            applyToModel(reported, model);
            EXPECT_TRUE(actual == model) << "after " << reported << " reported operations the table holds "
                                         << actual.size() << " records that match no prefix";
        }
    }
    EXPECT_GT(maxReached, 3) << "the child never got going";
    std::printf("children reached up to %d operations\n", maxReached);
}

} // namespace
