#include <QByteArray>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include "Printers.h"
#include "base/Gbk.h"
#include "model/DataCipher.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text));
}

QString repeated(const QString& piece, int count)
{
    QString out;
    for (int i = 0; i < count; ++i)
        out += piece;
    return out;
}

// A stored form made from arbitrary encrypted bytes.
QString storedFormOf(const QByteArray& encrypted)
{
    return QString::fromLatin1(encrypted.toHex().toUpper());
}

} // namespace

TEST(DesBlock, PublishedVectors)
{
    const struct {
        const char* key;
        const char* plain;
        const char* cipher;
    } vectors[] = {
        {"133457799BBCDFF1", "0123456789ABCDEF", "85E813540F0AB405"},
        {"0E329232EA6D0D73", "8787878787878787", "0000000000000000"},
        {"0000000000000000", "0000000000000000", "8CA64DE9C1B123A7"},
        {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "7359B2163E4EDC58"},
        {"3000000000000000", "1000000000000001", "958E6E627A05557B"},
        // Three blocks in ECB mode ("Now is the time for all ").
        {"0123456789ABCDEF", "4E6F77206973207468652074696D6520666F7220616C6C20",
         "3FA40E8A984D48156A271787AB8883F9893D51EC4B563B53"},
    };
    for (const auto& v : vectors) {
        EXPECT_EQ(DataCipher::desEcbEncrypt(hex(v.key), hex(v.plain)).toHex().toUpper(), QByteArray(v.cipher))
            << v.key;
        EXPECT_EQ(DataCipher::desEcbDecrypt(hex(v.key), hex(v.cipher)), hex(v.plain)) << v.key;
    }
}

TEST(DesBlock, RefusesPartialBlocksAndShortKeys)
{
    EXPECT_TRUE(DataCipher::desEcbEncrypt(hex("0123456789ABCDEF"), QByteArray(7, 'x')).isEmpty());
    EXPECT_TRUE(DataCipher::desEcbDecrypt(hex("0123456789ABCDEF"), QByteArray(9, 'x')).isEmpty());
    EXPECT_TRUE(DataCipher::desEcbEncrypt(hex("01234567"), QByteArray(8, 'x')).isEmpty());
}

TEST(DataCipher, KeyIsFoldedFromTheKeyText)
{
    EXPECT_EQ(DataCipher::key(), QByteArray("KVZ\0\0\0\0\0", 8));
    // Longer key texts wrap around and XOR into the first bytes again.
    EXPECT_EQ(DataCipher::foldKey("ABCDEFGHIJ"), QByteArray("\x08\x08"
                                                            "CDEFGH",
                                                            8));
    EXPECT_EQ(DataCipher::foldKey({}), QByteArray(8, '\0'));
}

TEST(DataCipher, FrameIsLengthPrefixedAndZeroPadded)
{
    const QByteArray password = toGbk(u"ab中"_s); // 4 bytes
    const QByteArray frame = DataCipher::desEcbDecrypt(DataCipher::key(), DataCipher::encryptBytes(password));
    EXPECT_EQ(frame, QByteArray("\x04\0\0\0", 4) + password);

    const QByteArray longer(300, 'x'); // a length beyond one byte is little-endian
    const QByteArray longFrame = DataCipher::desEcbDecrypt(DataCipher::key(), DataCipher::encryptBytes(longer));
    ASSERT_EQ(longFrame.size(), 304);
    EXPECT_EQ(longFrame.left(4), QByteArray("\x2C\x01\0\0", 4));
    EXPECT_EQ(longFrame.mid(4), longer);

    const QByteArray padded = DataCipher::desEcbDecrypt(DataCipher::key(), DataCipher::encryptBytes("abcde"));
    EXPECT_EQ(padded, QByteArray("\x05\0\0\0abcde\0\0\0\0\0\0\0", 16));
}

TEST(DataCipher, EncryptedLengthsFollowThePasswordLength)
{
    const struct {
        int from;
        int to;
        int encrypted;
    } ranges[] = {{0, 4, 8}, {5, 12, 16}, {13, 20, 24}, {21, 28, 32}, {29, 36, 40}, {61, 64, 72}};
    for (const auto& r : ranges) {
        for (int n = r.from; n <= r.to; ++n) {
            const QString password(n, u'k');
            EXPECT_EQ(DataCipher::encryptBytes(toGbk(password)).size(), r.encrypted) << n;
            EXPECT_EQ(DataCipher::encryptPassword(password).size(), 2 * r.encrypted) << n;
        }
    }
    // Chinese characters count two bytes each.
    EXPECT_EQ(DataCipher::encryptBytes(toGbk(u"课程"_s)).size(), 8);
    EXPECT_EQ(DataCipher::encryptBytes(toGbk(u"课程密"_s)).size(), 16);
}

TEST(DataCipher, StoredFormIsUpperCaseHexAndFitsTheField)
{
    const QString stored = DataCipher::encryptPassword(u"secret"_s);
    EXPECT_EQ(stored, storedFormOf(DataCipher::encryptBytes("secret")));
    for (const QChar c : stored)
        EXPECT_TRUE((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F')) << stored.toStdString();
    // Deterministic, so stored forms can be compared.
    EXPECT_EQ(DataCipher::encryptPassword(u"secret"_s), stored);
    EXPECT_NE(DataCipher::encryptPassword(u"secreT"_s), stored);

    const QString longest = DataCipher::encryptPassword(QString(DataCipher::kMaxPasswordBytes, u'x'));
    EXPECT_EQ(longest.size(), 144);
    EXPECT_LE(longest.size(), DataCipher::kStoredFormWidth);
    const QString longestChinese = DataCipher::encryptPassword(repeated(u"码"_s, 32));
    EXPECT_LE(longestChinese.size(), DataCipher::kStoredFormWidth);
}

TEST(DataCipher, PasswordLimitCountsGbkBytes)
{
    EXPECT_TRUE(DataCipher::passwordFits(QString()));
    EXPECT_TRUE(DataCipher::passwordFits(QString(64, u'a')));
    EXPECT_FALSE(DataCipher::passwordFits(QString(65, u'a')));
    EXPECT_TRUE(DataCipher::passwordFits(repeated(u"密"_s, 32)));
    EXPECT_FALSE(DataCipher::passwordFits(repeated(u"密"_s, 32) + u"a"_s));
    EXPECT_FALSE(DataCipher::passwordFits(repeated(QString::fromUcs4(U"\U00020000"), 17)));
}

TEST(DataCipher, EveryPasswordRoundTrips)
{
    QStringList passwords = {
        u"a"_s,
        u"1234"_s,
        u"12345"_s,
        u"Pa55 w0rd!"_s,
        u"课程密码"_s,
        u"中文与English混合"_s,
        u" 前后有空格 "_s,
        QString::fromUcs4(U"\U00020000\U0002A6D6"),     // outside GBK, four bytes each in GB18030
        u"\u0E01\u0E02"_s,                             // Thai, not in GBK
        u"\u3000全角\u3000"_s,
        u"√①②"_s,
        u"?"_s,
        u"\r\n\t"_s,
    };
    for (int n = 1; n <= DataCipher::kMaxPasswordBytes; ++n) {
        QString ascii;
        for (int i = 0; i < n; ++i)
            ascii += QChar(u'!' + (i * 7 + n) % 94);
        passwords.append(ascii);
        if (n % 2 == 0)
            passwords.append(repeated(u"题"_s, n / 2));
    }
    for (const QString& password : passwords) {
        const QString stored = DataCipher::encryptPassword(password);
        EXPECT_EQ(DataCipher::decryptPassword(stored), password) << password.toStdString();
        EXPECT_EQ(fromGbk(DataCipher::decryptBytes(DataCipher::encryptBytes(toGbk(password)))), password);
    }
}

TEST(DataCipher, CiphertextWithZeroBytesSurvivesTheStoredForm)
{
    // Search for passwords whose ciphertext holds a zero byte: kept as raw bytes
    // in a text field they would be cut there and no longer decrypt.
    int found = 0;
    for (int i = 0; i < 5000 && found < 5; ++i) {
        const QString password = u"pw"_s + QString::number(i);
        const QByteArray encrypted = DataCipher::encryptBytes(toGbk(password));
        const qsizetype zero = encrypted.indexOf('\0');
        if (zero < 0)
            continue;
        ++found;
        EXPECT_NE(fromGbk(DataCipher::decryptBytes(encrypted.left(zero))), password);
        const QString stored = DataCipher::encryptPassword(password);
        EXPECT_EQ(stored.size(), 2 * encrypted.size());
        EXPECT_EQ(DataCipher::decryptPassword(stored), password) << password.toStdString();
    }
    EXPECT_EQ(found, 5);
}

TEST(DataCipher, MalformedStoredFormsGiveNothing)
{
    const QByteArray key = DataCipher::key();
    const QString good = DataCipher::encryptPassword(u"abcdef"_s);
    const struct {
        const char* why;
        QString stored;
    } cases[] = {
        {"empty", QString()},
        {"odd length", good.left(good.size() - 1)},
        {"not hex", u"ZZ"_s + good.mid(2)},
        {"inner space", good.left(4) + u" "_s + good.mid(5)},
        {"prefix 0x", u"0x"_s + good.mid(2)},
        {"non-ASCII", u"中"_s + good.mid(1)},
        {"not whole blocks", good.left(14)},
        {"one block cut off", good.left(16)},
        {"empty password frame", DataCipher::encryptPassword(QString())},
        {"length beyond frame", storedFormOf(DataCipher::desEcbEncrypt(key, QByteArray("\x09\0\0\0abcd", 8)))},
        {"negative length", storedFormOf(DataCipher::desEcbEncrypt(key, QByteArray("\xFF\xFF\xFF\xFF" "abcd", 8)))},
        {"whole block of padding", storedFormOf(DataCipher::desEcbEncrypt(key, QByteArray("\x03\0\0\0abc\0" "\0\0\0\0\0\0\0\0", 16)))},
        {"random bytes", storedFormOf(QByteArray::fromHex("00112233445566778899AABBCCDDEEFF"))},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DataCipher::decryptPassword(c.stored), QString()) << c.why;

    // Lower-case hex is the same bytes.
    EXPECT_EQ(DataCipher::decryptPassword(good.toLower()), u"abcdef"_s);
    // The last frame byte may be padding right up to a full block.
    EXPECT_EQ(DataCipher::decryptPassword(storedFormOf(DataCipher::desEcbEncrypt(key, QByteArray("\x01\0\0\0x\0\0\0", 8)))), u"x"_s);
}
