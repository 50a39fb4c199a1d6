#include <random>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "StoreTestUtil.h"
#include "TempFolder.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;
using namespace helan;
using helan::test::execSql;
using helan::test::fileBytes;
using helan::test::sampleFields;

namespace {

void writeAll(const QString& path, const QByteArray& bytes)
{
    ASSERT_TRUE(helan::test::writeFileBytes(path, bytes));
}

using Record = QList<QVariant>;

// A realistic table: texts, numbers, a memo in every record, a picture in some.
QList<Record> makeTable(RecordStore& store, const QString& name, const QString& password)
{
    QList<Record> records;
    EXPECT_TRUE(store.create(name, sampleFields()));
    EXPECT_TRUE(store.open(name));
    for (int i = 1; i <= 12; ++i) {
        QByteArray picture;
        if (i % 3 == 0)
            for (int b = 0; b < 3000 + i; ++b)
                picture.append(char((b * 7 + i) & 0xFF));
        const Record r = {u"题%1"_s.arg(i), i, i * 1000, i % 2 == 0, u"第%1题的正文，较长的内容。"_s.arg(i).repeated(i),
                          picture};
        EXPECT_TRUE(store.append(r));
        records.append(r);
    }
    if (!password.isEmpty()) {
        EXPECT_TRUE(store.setPassword(password));
    }
    store.closeAll();
    return records;
}

// Opens a damaged copy: either the open fails with a description, or every value
// that reads back is the original one (a value may also refuse to read).
void expectFailOrCorrect(const QString& name, const QString& password, const QList<Record>& expected,
                         int* opened)
{
    RecordStore store;
    if (!store.open(name, {}, password)) {
        EXPECT_LT(RecordStore::lastError(), 0);
        EXPECT_FALSE(RecordStore::lastErrorText().isEmpty());
        return;
    }
    ++*opened;
    ASSERT_EQ(store.recordCount(), expected.size());
    for (int n = 1; n <= expected.size(); ++n) {
        ASSERT_TRUE(store.goTo(n));
        for (int f = 1; f <= 6; ++f) {
            const QVariant v = store.read(f);
            if (!v.isValid()) {
                EXPECT_LT(RecordStore::lastError(), 0);
                continue;
            }
            const QVariant& want = expected[n - 1][f - 1];
            if (f == 2 || f == 3) {
                EXPECT_EQ(v.toInt(), want.toInt()) << "record " << n << " field " << f;
            } else if (f == 4) {
                EXPECT_EQ(v.toBool(), want.toBool()) << "record " << n << " field " << f;
            } else if (f == 6) {
                EXPECT_EQ(v.toByteArray(), want.toByteArray()) << "record " << n << " field " << f;
            } else {
                EXPECT_EQ(v.toString(), want.toString()) << "record " << n << " field " << f;
            }
        }
    }
}

class StoreHostileFileTest : public ::testing::TestWithParam<bool> {
protected:
    helan::test::TempFolder folder;
};

TEST_P(StoreHostileFileTest, TruncatedAndFlippedCopiesFailCleanlyOrReadCorrectly)
{
    const bool protectedTable = GetParam();
    const QString password = protectedTable ? u"pw"_s : QString();
    RecordStore maker;
    const QList<Record> expected = makeTable(maker, u"原"_s, password);
    const QByteArray edb = fileBytes(u"原.edb"_s);
    const QByteArray edt = fileBytes(u"原.edt"_s);
    ASSERT_FALSE(edb.isEmpty());
    ASSERT_FALSE(edt.isEmpty());

    std::mt19937 rng(protectedTable ? 7 : 11);
    int opened = 0;
    const int rounds = 160;
    for (int round = 0; round < rounds; ++round) {
        QByteArray damagedEdb = edb;
        QByteArray damagedEdt = edt;
        const bool onMemo = round % 2 == 1;
        QByteArray& target = onMemo ? damagedEdt : damagedEdb;
        if (round % 5 == 0) {
            target.truncate(qsizetype(rng() % quint32(target.size())));
        } else {
            const int flips = 1 + int(rng() % 3);
            for (int i = 0; i < flips; ++i) {
                const auto at = qsizetype(rng() % quint32(target.size()));
                target[at] = char(target[at] ^ char(1 << (rng() % 8)));
            }
        }
        const QString name = u"坏%1"_s.arg(round);
        writeAll(name + u".edb"_s, damagedEdb);
        writeAll(name + u".edt"_s, damagedEdt);
        SCOPED_TRACE(round);
        expectFailOrCorrect(name, password, expected, &opened);
        QFile::remove(name + u".edb"_s);
        QFile::remove(name + u".edt"_s);
        QFile::remove(name + u".edb-journal"_s);
    }
    // Most single flips land in free space or values: the test must exercise both outcomes.
    EXPECT_GT(opened, 0);
    EXPECT_LT(opened, rounds);
    std::printf("%d of %d damaged copies opened\n", opened, rounds);
}

INSTANTIATE_TEST_SUITE_P(PlainAndProtected, StoreHostileFileTest, ::testing::Bool());

class StoreForeignFileTest : public ::testing::Test {
protected:
    helan::test::TempFolder folder;
    RecordStore store;
};

TEST_F(StoreForeignFileTest, MemoFileOfAnotherTableIsRefused)
{
    makeTable(store, u"甲"_s, {});
    makeTable(store, u"乙"_s, {});
    QFile::remove(u"甲.edt"_s);
    EXPECT_FALSE(store.open(u"甲"_s));
    EXPECT_EQ(RecordStore::lastError(), StoreError::MemoFileMissing);
    ASSERT_TRUE(QFile::copy(u"乙.edt"_s, u"甲.edt"_s));
    EXPECT_FALSE(store.open(u"甲"_s));
    EXPECT_EQ(RecordStore::lastError(), StoreError::MemoFileForeign);
}

TEST_F(StoreForeignFileTest, FilesThatAreNotTablesAreRefused)
{
    writeAll(u"空.edb"_s, QByteArray());
    EXPECT_FALSE(store.open(u"空"_s));
    EXPECT_EQ(RecordStore::lastError(), StoreError::NotATable);
    writeAll(u"文本.edb"_s, QByteArray("这不是表文件").repeated(100));
    EXPECT_FALSE(store.open(u"文本"_s));
    EXPECT_EQ(RecordStore::lastError(), StoreError::NotATable);
    EXPECT_FALSE(store.isProtected(u"文本"_s));

    ASSERT_TRUE(execSql(u"别的.edb"_s, "CREATE TABLE t(x); INSERT INTO t VALUES(1)"));
    EXPECT_FALSE(store.open(u"别的"_s));
    EXPECT_EQ(RecordStore::lastError(), StoreError::NotATable);
}

TEST_F(StoreForeignFileTest, TriggersViewsAndWalAreRefused)
{
    makeTable(store, u"触发"_s, {});
    ASSERT_TRUE(execSql(u"触发.edb"_s, "CREATE TRIGGER t AFTER UPDATE ON records BEGIN DELETE FROM records; END"));
    EXPECT_FALSE(store.open(u"触发"_s));
    EXPECT_EQ(RecordStore::lastError(), StoreError::NotATable);

    makeTable(store, u"视图"_s, {});
    ASSERT_TRUE(execSql(u"视图.edb"_s, "CREATE VIEW v AS SELECT * FROM records"));
    EXPECT_FALSE(store.open(u"视图"_s));

    makeTable(store, u"日志"_s, {});
    ASSERT_TRUE(execSql(u"日志.edb"_s, "PRAGMA journal_mode=WAL"));
    EXPECT_FALSE(store.open(u"日志"_s));
    EXPECT_EQ(RecordStore::lastError(), StoreError::NotATable);
    EXPECT_FALSE(RecordStore::lastErrorText().isEmpty());
}

} // namespace
