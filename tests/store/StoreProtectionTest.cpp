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

const QString kSecret = u"秘密答案ZQX"_s;

class StoreProtectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(store.create(u"卷"_s, sampleFields()));
        ASSERT_TRUE(store.open(u"卷"_s));
        ASSERT_TRUE(store.append({kSecret, 3, 4, true, kSecret + u" 备注"_s, QByteArray("PICTURE-BYTES")}));
        ASSERT_TRUE(store.append({u"第二题"_s, 5, 6, false, u"第二段"_s, QByteArray("SECOND")}));
        ASSERT_TRUE(store.setPassword(u"口令123"_s));
        store.closeAll();
    }

    helan::test::TempFolder folder;
    RecordStore store;
};

TEST_F(StoreProtectionTest, OpensOnlyWithItsPassword)
{
    EXPECT_TRUE(store.isProtected(u"卷"_s)) << "told from the file alone";
    EXPECT_FALSE(store.open(u"卷"_s));
    EXPECT_EQ(RecordStore::lastError(), StoreError::PasswordRequired);
    EXPECT_FALSE(store.open(u"卷"_s, {}, u"口令124"_s));
    EXPECT_EQ(RecordStore::lastError(), StoreError::WrongPassword);
    EXPECT_FALSE(RecordStore::lastErrorText().isEmpty());
    ASSERT_TRUE(store.open(u"卷"_s, {}, u"口令123"_s));
    EXPECT_TRUE(store.isProtected(u"卷"_s));
    ASSERT_TRUE(store.first());
    EXPECT_EQ(store.readText(u"名称"), kSecret);
    EXPECT_EQ(store.readInt(u"数量"), 3);
    EXPECT_TRUE(store.readBool(u"选中"));
    EXPECT_EQ(store.readText(u"正文"), kSecret + u" 备注"_s);
    EXPECT_EQ(store.readBytes(u"图片"), QByteArray("PICTURE-BYTES"));
}

TEST_F(StoreProtectionTest, NothingReadableOnDisk)
{
    for (const QString& file : {u"卷.edb"_s, u"卷.edt"_s}) {
        const QByteArray bytes = fileBytes(file);
        ASSERT_FALSE(bytes.isEmpty()) << file.toStdString();
        EXPECT_FALSE(bytes.contains(kSecret.toUtf8())) << file.toStdString();
        EXPECT_FALSE(bytes.contains("PICTURE-BYTES")) << file.toStdString();
        EXPECT_FALSE(bytes.contains("ZQX")) << file.toStdString();
    }
}

TEST_F(StoreProtectionTest, ChangingAndRemovingThePassword)
{
    ASSERT_TRUE(store.open(u"卷"_s, {}, u"口令123"_s));
    EXPECT_FALSE(store.setPassword(u"?"_s));
    EXPECT_EQ(RecordStore::lastError(), StoreError::InvalidPassword);
    ASSERT_TRUE(store.setPassword(u"new"_s));
    ASSERT_TRUE(store.append({u"third"_s}));
    store.closeAll();
    EXPECT_FALSE(store.open(u"卷"_s, {}, u"口令123"_s));
    ASSERT_TRUE(store.open(u"卷"_s, {}, u"new"_s));
    EXPECT_EQ(store.recordCount(), 3);
    ASSERT_TRUE(store.setPassword(QString()));
    store.closeAll();
    EXPECT_FALSE(store.isProtected(u"卷"_s));
    ASSERT_TRUE(store.open(u"卷"_s));
    ASSERT_TRUE(store.goTo(2));
    EXPECT_EQ(store.readText(u"正文"), u"第二段"_s);
    EXPECT_EQ(store.readBytes(u"图片"), QByteArray("SECOND"));
    EXPECT_TRUE(fileBytes(u"卷.edt"_s).contains("SECOND")) << "plain again once the password is gone";
}

TEST_F(StoreProtectionTest, CopiesKeepThePassword)
{
    ASSERT_TRUE(store.open(u"卷"_s, {}, u"口令123"_s));
    ASSERT_TRUE(store.copyTo(u"卷副本"_s));
    EXPECT_TRUE(store.isProtected(u"卷副本"_s));
    EXPECT_FALSE(store.open(u"卷副本"_s));
    ASSERT_TRUE(store.open(u"卷副本"_s, {}, u"口令123"_s));
    ASSERT_TRUE(store.last());
    EXPECT_EQ(store.readText(u"正文"), u"第二段"_s);
}

TEST_F(StoreProtectionTest, AFlippedSealedValueIsReportedNotReturned)
{
    // Change one byte inside the sealed 正文 of record 1 (field index 4).
    ASSERT_TRUE(execSql(u"卷.edt"_s,
                        "UPDATE memo SET v = substr(v, 1, 20) || "
                        "CASE WHEN substr(v, 21, 1) = x'00' THEN x'01' ELSE x'00' END || substr(v, 22) "
                        "WHERE k = (1 << 10) | 4"));
    ASSERT_TRUE(store.open(u"卷"_s, {}, u"口令123"_s));
    ASSERT_TRUE(store.first());
    EXPECT_FALSE(store.read(u"正文").isValid());
    EXPECT_EQ(RecordStore::lastError(), StoreError::Tampered);
    EXPECT_EQ(store.readBytes(u"图片"), QByteArray("PICTURE-BYTES")) << "other values still read";
}

TEST_F(StoreProtectionTest, SealedValuesCannotBeSwappedBetweenRecords)
{
    ASSERT_TRUE(execSql(u"卷.edt"_s,
                        "UPDATE memo SET v = (SELECT v FROM memo WHERE k = (2 << 10) | 4) WHERE k = (1 << 10) | 4"));
    ASSERT_TRUE(store.open(u"卷"_s, {}, u"口令123"_s));
    ASSERT_TRUE(store.first());
    EXPECT_FALSE(store.read(u"正文").isValid());
    EXPECT_EQ(RecordStore::lastError(), StoreError::Tampered);
}

TEST_F(StoreProtectionTest, ChangedPlainValuesAreDetectedToo)
{
    ASSERT_TRUE(store.open(u"卷"_s, {}, u"口令123"_s));
    ASSERT_TRUE(store.setPassword(QString()));
    store.closeAll();
    ASSERT_TRUE(execSql(u"卷.edt"_s, "UPDATE memo SET v = x'41' || substr(v, 2) WHERE k = (2 << 10) | 5"));
    ASSERT_TRUE(store.open(u"卷"_s));
    ASSERT_TRUE(store.last());
    EXPECT_FALSE(store.read(u"图片").isValid());
    EXPECT_EQ(RecordStore::lastError(), StoreError::Damaged);
    store.closeAll();
    ASSERT_TRUE(execSql(u"卷.edb"_s, "UPDATE records SET data = substr(data, 1, 5) || x'FF' || substr(data, 7) WHERE id = 1"));
    EXPECT_FALSE(store.open(u"卷"_s));
    EXPECT_EQ(RecordStore::lastError(), StoreError::Damaged);
}

} // namespace
