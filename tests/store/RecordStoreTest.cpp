#include <vector>

#include <QFile>

#include <gtest/gtest.h>

#include "StoreTestUtil.h"
#include "TempFolder.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;
using namespace helan;
using helan::test::sampleFields;

namespace {

class RecordStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(store.create(u"表一"_s, sampleFields()));
        ASSERT_TRUE(store.open(u"表一"_s));
    }

    // Appends n records named r1 … rn with 数量 = i.
    void appendNumbered(int n)
    {
        for (int i = 1; i <= n; ++i)
            ASSERT_TRUE(store.append({u"r%1"_s.arg(i), i}));
    }

    QStringList names()
    {
        QStringList out;
        for (int n = 1; n <= store.recordCount(); ++n) {
            store.goTo(n);
            out << store.readText(u"名称");
        }
        return out;
    }

    helan::test::TempFolder folder;
    RecordStore store;
};

TEST_F(RecordStoreTest, CreateRefusesBadDefinitions)
{
    EXPECT_FALSE(store.create(u"空"_s, {}));
    EXPECT_FALSE(store.create(u"长名"_s, {{u"一二三四五六七八九"_s, FieldType::Int}})); // 18 bytes
    EXPECT_FALSE(store.create(u"宽"_s, {{u"a"_s, FieldType::Text, 0}}));
    EXPECT_FALSE(store.create(u"宽2"_s, {{u"a"_s, FieldType::Text, 1025}}));
    EXPECT_FALSE(store.create(u"重"_s, {{u"Name"_s, FieldType::Int}, {u"nAME"_s, FieldType::Bool}}));
    EXPECT_FALSE(store.create(u"坏名"_s, {{u"a b"_s, FieldType::Int}}));
    EXPECT_FALSE(store.create(u"表一"_s, sampleFields())) << "an existing table is not overwritten";
    EXPECT_EQ(RecordStore::lastError(), StoreError::FileExists);
    EXPECT_TRUE(store.create(u"宽3"_s, {{u"a"_s, FieldType::Text, 1024}}));
    EXPECT_TRUE(QFile::exists(u"宽3.edb"_s));
    EXPECT_FALSE(QFile::exists(u"宽3.edt"_s)) << "no memo file before a memo value is written";
}

TEST_F(RecordStoreTest, AppendReadsBackEveryType)
{
    const QByteArray picture("\x00\x01\xff picture", 12);
    ASSERT_TRUE(store.append({u"甲"_s, 7, 123456, true, u"多行\r\n文本"_s, picture}));
    EXPECT_EQ(store.recordCount(), 1);
    EXPECT_EQ(store.recordNumber(), 1) << "the new record is current";
    EXPECT_EQ(store.readText(u"名称"), u"甲"_s);
    EXPECT_EQ(store.readInt(u"数量"), 7);
    EXPECT_EQ(store.readInt(3), 123456);
    EXPECT_TRUE(store.readBool(u"选中"));
    EXPECT_EQ(store.readText(u"正文"), u"多行\r\n文本"_s);
    EXPECT_EQ(store.readBytes(u"图片"), picture);
    EXPECT_EQ(store.read(u"名称").metaType().id(), QMetaType::QString);
    EXPECT_EQ(store.read(u"选中").metaType().id(), QMetaType::Bool);
    EXPECT_EQ(store.read(u"图片").metaType().id(), QMetaType::QByteArray);
    EXPECT_TRUE(QFile::exists(u"表一.edt"_s));

    // Values survive closing and reopening.
    store.closeAll();
    ASSERT_TRUE(store.open(u"表一.edb"_s, u"别名"_s));
    EXPECT_EQ(store.currentAlias(), u"别名"_s);
    ASSERT_TRUE(store.first());
    EXPECT_EQ(store.readText(u"正文"), u"多行\r\n文本"_s);
    EXPECT_EQ(store.readBytes(u"图片"), picture);
    EXPECT_EQ(store.readInt(u"编号"), 123456);
}

TEST_F(RecordStoreTest, OmittedValuesAreEmptyAndFieldNamesIgnoreCase)
{
    ASSERT_TRUE(store.append({u"只有名称"_s}));
    EXPECT_EQ(store.readInt(u"数量"), 0);
    EXPECT_FALSE(store.readBool(u"选中"));
    EXPECT_EQ(store.readText(u"正文"), QString());
    EXPECT_TRUE(store.readBytes(u"图片").isEmpty());

    ASSERT_TRUE(store.create(u"拉丁"_s, {{u"Title"_s, FieldType::Text, 8}}));
    ASSERT_TRUE(store.open(u"拉丁"_s));
    ASSERT_TRUE(store.append({u"x"_s}));
    EXPECT_EQ(store.readText(u"tITLE"), u"x"_s);
    EXPECT_EQ(store.fieldCount(), 1);
    EXPECT_EQ(store.fieldName(1), u"Title"_s);
}

TEST_F(RecordStoreTest, WritesCheckTypesAndCutTextsAtWholeCharacters)
{
    ASSERT_TRUE(store.append({u"a"_s}));
    EXPECT_FALSE(store.write(u"名称", 5)) << "a number into a text field";
    EXPECT_EQ(RecordStore::lastError(), StoreError::WrongType);
    EXPECT_FALSE(store.write(u"数量", u"5"_s)) << "a text into a numeric field";
    EXPECT_FALSE(store.write(u"选中", 1)) << "a number into a bool field";
    EXPECT_FALSE(store.write(u"图片", u"x"_s));
    EXPECT_EQ(store.readText(u"名称"), u"a"_s) << "refused writes change nothing";

    EXPECT_TRUE(store.write(u"数量", 3.9)) << "any number goes into a numeric field";
    EXPECT_EQ(store.readInt(u"数量"), 3);
    EXPECT_TRUE(store.write(u"数量", 100000));
    EXPECT_EQ(store.readInt(u"数量"), 32767) << "short fields clamp";
    EXPECT_TRUE(store.write(u"编号", qint64(-5)));
    EXPECT_EQ(store.readInt(u"编号"), -5);

    // 20-byte field: 9 Chinese characters (18 bytes) + "ab" fit, a tenth character does not.
    EXPECT_TRUE(store.write(u"名称", u"一二三四五六七八九ab十"_s));
    EXPECT_EQ(store.readText(u"名称"), u"一二三四五六七八九ab"_s);
    EXPECT_TRUE(store.write(u"名称", u"一二三四五六七八九a十"_s));
    EXPECT_EQ(store.readText(u"名称"), u"一二三四五六七八九a"_s) << "never half a character";
    EXPECT_TRUE(store.write(u"名称", u"x\u0000y"_s));
    EXPECT_EQ(store.readText(u"名称"), u"x"_s) << "a text ends at its first zero";
    EXPECT_TRUE(store.write(u"名称"));
    EXPECT_EQ(store.readText(u"名称"), QString()) << "an omitted value writes the empty value";
    EXPECT_TRUE(store.write(u"正文", u"memo"_s));
    EXPECT_TRUE(store.write(u"正文", QString()));
    EXPECT_EQ(store.readText(u"正文"), QString());
}

TEST_F(RecordStoreTest, LongTextIsCutToItsFieldWidth)
{
    ASSERT_TRUE(store.create(u"宽表"_s, {{u"知识点"_s, FieldType::Text, 512}}));
    ASSERT_TRUE(store.open(u"宽表"_s));
    const QString text = QString(600, u'x');
    ASSERT_TRUE(store.append({text}));
    EXPECT_EQ(store.readText(1), text.left(512));
}

TEST_F(RecordStoreTest, MovingClampsAndKeepsPositions)
{
    EXPECT_FALSE(store.goTo(1)) << "an empty table has no record";
    appendNumbered(5);
    EXPECT_TRUE(store.goTo(0));
    EXPECT_EQ(store.recordNumber(), 1);
    EXPECT_TRUE(store.goTo(-3));
    EXPECT_EQ(store.recordNumber(), 1);
    EXPECT_TRUE(store.goTo(99));
    EXPECT_EQ(store.recordNumber(), 5);
    EXPECT_TRUE(store.first());
    EXPECT_FALSE(store.skip(-1));
    EXPECT_EQ(store.recordNumber(), 0);
    EXPECT_TRUE(store.atBegin());
    EXPECT_FALSE(store.skip(-1));
    EXPECT_EQ(store.recordNumber(), 0) << "backward movement stops one before the first";
    EXPECT_TRUE(store.skip(3));
    EXPECT_EQ(store.recordNumber(), 3);
    EXPECT_FALSE(store.skip(10));
    EXPECT_EQ(store.recordNumber(), 6) << "forward movement stops one past the last";
    EXPECT_TRUE(store.atEnd());
    EXPECT_EQ(store.readText(u"名称"), QString());
    EXPECT_EQ(RecordStore::lastError(), StoreError::NoCurrentRecord);
    EXPECT_FALSE(store.write(u"名称", u"x"_s));
    EXPECT_TRUE(store.last());
    EXPECT_EQ(store.readText(u"名称"), u"r5"_s);
}

TEST_F(RecordStoreTest, FindStartsAtTheCurrentRecordAndRestoresOnMiss)
{
    appendNumbered(5);
    const auto isR = [&](int i) { return [this, i] { return store.readText(u"名称") == u"r%1"_s.arg(i); }; };
    ASSERT_TRUE(store.goTo(2));
    EXPECT_TRUE(store.find(isR(4)));
    EXPECT_EQ(store.recordNumber(), 4);
    EXPECT_TRUE(store.find(isR(4))) << "the current record itself is tested";
    EXPECT_FALSE(store.find(isR(1))) << "records before the current one are not tested";
    EXPECT_EQ(store.recordNumber(), 4) << "a miss leaves the current record where it was";

    ASSERT_TRUE(store.last());
    int tested = 0;
    EXPECT_FALSE(store.find([&] {
        ++tested;
        return false;
    }));
    EXPECT_EQ(tested, 1) << "on the last record only that record is tested";
    EXPECT_EQ(store.recordNumber(), 5);

    ASSERT_TRUE(store.first());
    EXPECT_TRUE(store.find([&] { return store.recordNumber() == 3; }));
    EXPECT_EQ(store.readText(u"名称"), u"r3"_s);
}

TEST_F(RecordStoreTest, IdsGrowAndSurvivePurge)
{
    appendNumbered(5);
    std::vector<qint32> ids;
    for (int n = 1; n <= 5; ++n) {
        store.goTo(n);
        ids.push_back(store.recordId());
    }
    EXPECT_EQ(ids, (std::vector<qint32>{1, 2, 3, 4, 5}));

    ASSERT_TRUE(store.goTo(3));
    ASSERT_TRUE(store.markDeleted());
    EXPECT_TRUE(store.isDeleted());
    EXPECT_EQ(store.recordCount(), 5) << "marked records stay countable";
    EXPECT_EQ(store.readText(u"名称"), u"r3"_s) << "and readable";
    ASSERT_TRUE(store.purge());
    EXPECT_EQ(store.recordCount(), 4);
    EXPECT_EQ(names(), (QStringList{u"r1"_s, u"r2"_s, u"r4"_s, u"r5"_s}));
    store.goTo(3);
    EXPECT_EQ(store.recordId(), 4) << "former record 4 is now number 3 and keeps its ID";
    EXPECT_FALSE(store.goToRecordId(3));
    EXPECT_FALSE(store.goToRecordId(0));
    EXPECT_FALSE(store.goToRecordId(-1));
    EXPECT_TRUE(store.goToRecordId(5));
    EXPECT_EQ(store.recordNumber(), 4);

    // IDs are never reused, not even after a reopen.
    ASSERT_TRUE(store.last());
    ASSERT_TRUE(store.markDeleted());
    ASSERT_TRUE(store.purge());
    store.closeAll();
    ASSERT_TRUE(store.open(u"表一"_s));
    ASSERT_TRUE(store.append({u"r6"_s}));
    EXPECT_EQ(store.recordId(), 6);
}

TEST_F(RecordStoreTest, PurgeRemovesMemoValuesOfRemovedRecords)
{
    ASSERT_TRUE(store.append({u"a"_s, 1, 1, false, u"memo a"_s, QByteArray("pa")}));
    ASSERT_TRUE(store.append({u"b"_s, 2, 2, false, u"memo b"_s, QByteArray("pb")}));
    ASSERT_TRUE(store.first());
    ASSERT_TRUE(store.markDeleted());
    ASSERT_TRUE(store.purge());
    ASSERT_TRUE(store.first());
    EXPECT_EQ(store.readText(u"正文"), u"memo b"_s);
    EXPECT_EQ(store.readBytes(u"图片"), QByteArray("pb"));
}

TEST_F(RecordStoreTest, ModifyChangesOnlyTheGivenValues)
{
    ASSERT_TRUE(store.append({u"a"_s, 1, 2, true, u"m"_s, QByteArray("p")}));
    ASSERT_TRUE(store.modify({QVariant(), 9}));
    EXPECT_EQ(store.readText(u"名称"), u"a"_s);
    EXPECT_EQ(store.readInt(u"数量"), 9);
    EXPECT_EQ(store.readInt(u"编号"), 2);
    EXPECT_TRUE(store.readBool(u"选中"));
    ASSERT_TRUE(store.modify({QVariant(), QVariant(), QVariant(), QVariant(), u"新"_s}));
    EXPECT_EQ(store.readText(u"正文"), u"新"_s);
    EXPECT_EQ(store.readBytes(u"图片"), QByteArray("p"));
    EXPECT_FALSE(store.modify({5})) << "wrong type in a modify";
    EXPECT_EQ(store.readText(u"名称"), u"a"_s);
}

TEST_F(RecordStoreTest, TablesAndAliases)
{
    ASSERT_TRUE(store.create(u"表二"_s, {{u"x"_s, FieldType::Int}}));
    EXPECT_FALSE(store.open(u"表一"_s, u"另一个"_s)) << "a file is open only once";
    EXPECT_EQ(RecordStore::lastError(), StoreError::AlreadyOpen);
    RecordStore other;
    EXPECT_FALSE(other.open(u"表一.edb"_s)) << "not even through another store";
    EXPECT_FALSE(store.open(u"表二"_s, u"表一"_s)) << "aliases are unique";
    EXPECT_FALSE(store.open(u"不存在"_s));
    EXPECT_EQ(RecordStore::lastError(), StoreError::FileMissing);

    ASSERT_TRUE(store.open(u"表二"_s));
    EXPECT_EQ(store.currentAlias(), u"表二"_s);
    ASSERT_TRUE(store.append({42}));
    ASSERT_TRUE(store.setCurrent(u"表一"_s));
    ASSERT_TRUE(store.append({u"a"_s}));
    EXPECT_EQ(store.readInt(u"x", u"表二"_s), 42) << "reading another table by alias";
    EXPECT_TRUE(store.write(u"x", 43, u"表二"_s));
    EXPECT_EQ(store.currentAlias(), u"表一"_s);
    EXPECT_FALSE(store.setCurrent(u"无"_s));
    EXPECT_EQ(store.currentAlias(), u"表一"_s) << "a failed setCurrent changes nothing";

    EXPECT_TRUE(store.close());
    EXPECT_EQ(store.currentAlias(), QString()) << "closing the current table leaves none current";
    EXPECT_FALSE(store.append({u"x"_s}));
    EXPECT_EQ(RecordStore::lastError(), StoreError::NoCurrentTable);
    EXPECT_TRUE(store.isOpen(u"表二"_s));
    EXPECT_FALSE(store.isOpen(u"表一"_s));
    EXPECT_TRUE(other.open(u"表一.edb"_s)) << "closed files can be opened again";
}

TEST_F(RecordStoreTest, CopyToWritesTheChosenRecordsWithFreshIds)
{
    appendNumbered(4);
    ASSERT_TRUE(store.goTo(2));
    ASSERT_TRUE(store.write(u"正文", u"second"_s));
    ASSERT_TRUE(store.write(u"图片", QByteArray("img")));
    ASSERT_TRUE(store.goTo(3));
    ASSERT_TRUE(store.copyTo(u"副本"_s, [&] { return store.readInt(u"数量") % 2 == 0; }));
    EXPECT_EQ(store.currentAlias(), u"表一"_s);
    EXPECT_EQ(store.recordNumber(), 3);

    ASSERT_TRUE(store.open(u"副本"_s));
    EXPECT_EQ(store.recordCount(), 2);
    EXPECT_EQ(store.fields(), sampleFields());
    ASSERT_TRUE(store.first());
    EXPECT_EQ(store.recordId(), 1);
    EXPECT_EQ(store.readText(u"名称"), u"r2"_s);
    EXPECT_EQ(store.readText(u"正文"), u"second"_s);
    EXPECT_EQ(store.readBytes(u"图片"), QByteArray("img"));
    ASSERT_TRUE(store.skip());
    EXPECT_EQ(store.recordId(), 2);
    EXPECT_EQ(store.readText(u"名称"), u"r4"_s);
}

TEST_F(RecordStoreTest, AppendFromCopiesMatchingFields)
{
    appendNumbered(3);
    ASSERT_TRUE(store.goTo(2));
    ASSERT_TRUE(store.write(u"正文", u"正文二"_s));
    ASSERT_TRUE(store.create(u"目标"_s, {{u"编号"_s, FieldType::Short},
                                        {u"名称"_s, FieldType::Text, 2},
                                        {u"正文"_s, FieldType::Memo},
                                        {u"选中"_s, FieldType::Int},
                                        {u"其他"_s, FieldType::Text, 5}}));
    ASSERT_TRUE(store.open(u"目标"_s));
    ASSERT_TRUE(store.append({7}));
    ASSERT_TRUE(store.goTo(1));
    ASSERT_TRUE(store.appendFrom(u"表一"_s, [&] { return store.readInt(u"数量") >= 2; }));
    EXPECT_EQ(store.currentAlias(), u"目标"_s);
    EXPECT_EQ(store.recordCount(), 3);
    EXPECT_EQ(store.setCurrent(u"表一"_s) && store.recordNumber() == 2, true)
        << "the source's current record is unchanged";
    ASSERT_TRUE(store.setCurrent(u"目标"_s));
    ASSERT_TRUE(store.goTo(2));
    EXPECT_EQ(store.recordId(), 2);
    EXPECT_EQ(store.readText(u"名称"), u"r2"_s);
    EXPECT_EQ(store.readText(u"正文"), u"正文二"_s);
    EXPECT_EQ(store.readInt(u"编号"), 0) << "int source into short destination: both numeric, copied";
    EXPECT_EQ(store.readInt(u"选中"), 0) << "bool into int: different types, left empty";
    ASSERT_TRUE(store.goTo(3));
    EXPECT_EQ(store.readText(u"名称"), u"r3"_s);
    EXPECT_EQ(store.readText(u"正文"), QString());
}

TEST_F(RecordStoreTest, BatchCommitsAllOrNothing)
{
    {
        RecordStore::Batch batch(store);
        ASSERT_TRUE(batch.active());
        appendNumbered(3);
        // Dropped without commit.
    }
    EXPECT_EQ(store.recordCount(), 0);
    {
        RecordStore::Batch batch(store);
        appendNumbered(3);
        ASSERT_TRUE(store.goTo(2));
        ASSERT_TRUE(store.write(u"正文", u"批"_s));
        EXPECT_TRUE(batch.commit());
    }
    store.closeAll();
    ASSERT_TRUE(store.open(u"表一"_s));
    EXPECT_EQ(store.recordCount(), 3);
    ASSERT_TRUE(store.goTo(2));
    EXPECT_EQ(store.readText(u"正文"), u"批"_s);
    ASSERT_TRUE(store.append({u"next"_s}));
    EXPECT_EQ(store.recordId(), 4);
}

TEST_F(RecordStoreTest, ReadOnlyTablesRefuseChanges)
{
    appendNumbered(2);
    store.closeAll();
    ASSERT_TRUE(store.open(u"表一"_s, {}, {}, true));
    ASSERT_TRUE(store.first());
    EXPECT_EQ(store.readText(u"名称"), u"r1"_s);
    EXPECT_FALSE(store.write(u"名称", u"x"_s));
    EXPECT_EQ(RecordStore::lastError(), StoreError::ReadOnly);
    EXPECT_FALSE(store.append({u"x"_s}));
    EXPECT_EQ(store.recordCount(), 2);
}

TEST_F(RecordStoreTest, SchemaOfAReopenedTable)
{
    store.closeAll();
    ASSERT_TRUE(store.open(u"表一"_s));
    EXPECT_EQ(store.fields(), sampleFields());
}

#ifndef QT_NO_DEBUG
TEST_F(RecordStoreTest, UnknownFieldStopsADebugBuild)
{
    ASSERT_TRUE(store.append({u"a"_s}));
    EXPECT_DEATH(store.read(u"没有的字段"), "no field");
}
#else
TEST_F(RecordStoreTest, UnknownFieldIsRefusedWithoutChange)
{
    ASSERT_TRUE(store.append({u"a"_s}));
    EXPECT_FALSE(store.read(u"没有的字段").isValid());
    EXPECT_EQ(RecordStore::lastError(), StoreError::NoSuchField);
    EXPECT_FALSE(store.write(99, u"x"_s));
    EXPECT_EQ(store.readText(u"名称"), u"a"_s);
}
#endif

} // namespace

namespace {

// Memo texts and pictures read back right whatever the order the records are
// visited in: forward one by one, jumping far ahead, back, and by record ID,
// some records holding no memo at all.
TEST_F(RecordStoreTest, MemoValuesReadBackInAnyOrderOfVisits)
{
    const int n = 400;
    for (int i = 1; i <= n; ++i) {
        const QString memo = i % 7 == 0 ? QString() : u"正文%1"_s.arg(i);
        const QByteArray picture = i % 5 == 0 ? QByteArray(i, char(i)) : QByteArray();
        ASSERT_TRUE(store.append({u"r%1"_s.arg(i), i, i, false, memo, picture}));
    }
    std::vector<int> order;
    for (int i = 1; i <= n; ++i)
        order.push_back(i);                             // in order
    for (int i = 1; i <= n; i += 97)
        order.push_back(i);                             // far jumps forward
    for (int i = n; i >= 1; i -= 13)
        order.push_back(i);                             // backwards
    for (int i = 0; i < 300; ++i)
        order.push_back(1 + (i * 7919) % n);            // scattered
    for (const int k : order) {
        SCOPED_TRACE(k);
        ASSERT_TRUE(store.goTo(k));
        const int i = store.readInt(u"编号");
        EXPECT_EQ(store.readText(u"正文"), i % 7 == 0 ? QString() : u"正文%1"_s.arg(i));
        EXPECT_EQ(store.readBytes(u"图片"), i % 5 == 0 ? QByteArray(i, char(i)) : QByteArray());
    }
    for (int i = 0; i < 200; ++i) {
        const int k = 1 + (i * 389) % n;
        ASSERT_TRUE(store.goTo(k));
        const qint32 id = store.recordId();
        ASSERT_TRUE(store.goTo(1 + (k * 31) % n));
        ASSERT_TRUE(store.goToRecordId(id));
        EXPECT_EQ(store.readInt(u"编号"), k);
        EXPECT_EQ(store.readText(u"正文"), k % 7 == 0 ? QString() : u"正文%1"_s.arg(k));
    }
}

} // namespace
