#include <climits>

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include "base/Gbk.h"
#include "base/RandomSource.h"
#include "base/TextRules.h"
#include "base/TimeStamp.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

const QString kOutsideBmp = QString::fromUcs4(U"\U00020000"); // CJK extension B
const QString kThai = u"\u0E01"_s;                             // in GB18030 only

} // namespace

// ---- GBK lengths and cuts

TEST(Gbk, LengthCountsBytesPerCharacterKind)
{
    EXPECT_EQ(gbkLength(QString()), 0);
    EXPECT_EQ(gbkLength(u"a"_s), 1);
    EXPECT_EQ(gbkLength(u"abc 1"_s), 5);
    EXPECT_EQ(gbkLength(u"中"_s), 2);
    EXPECT_EQ(gbkLength(u"中文ab"_s), 6);
    EXPECT_EQ(gbkLength(u"\u3000"_s), 2);
    EXPECT_EQ(gbkLength(kOutsideBmp), 4);
    EXPECT_EQ(gbkLength(kThai), 4);
    EXPECT_EQ(gbkLength(u"a"_s + kOutsideBmp + u"中"_s), 7);
}

TEST(Gbk, LengthAgreesWithTheEncodedBytes)
{
    const QStringList samples = {
        u"plain ASCII"_s,     u"中文与English混排"_s, u"①②③ ÀÉ é ü"_s, u"€£¥—…“”"_s, u"\u3000全角空格"_s,
        kOutsideBmp + kThai,  u"\uE000私用区"_s,       u"ガギグ한국어"_s,  u"√×÷±"_s,
    };
    for (const QString& s : samples)
        EXPECT_EQ(gbkLength(s), toGbk(s).size()) << s.toStdString();
}

TEST(Gbk, LoneSurrogateDoesNotDisturbLaterCounts)
{
    // Broken pasted text can hold a lone surrogate; measuring it must not leave
    // anything behind that changes the next measurement.
    for (const char16_t lone : {u'\xD800', u'\xDC00'}) {
        gbkLength(u"a"_s + QChar(lone));
        gbkLength(QString(QChar(lone)));
        EXPECT_EQ(gbkLength(u"\u00E9"_s), 2);
        EXPECT_EQ(gbkLength(kThai), 4);
        EXPECT_EQ(gbkLength(u"\u00E9"_s + kThai), 6);
    }
}

TEST(Gbk, RoundTripsThroughBytes)
{
    const QString text = u"题型：选择 ABC "_s + kOutsideBmp + kThai;
    EXPECT_EQ(fromGbk(toGbk(text)), text);
    EXPECT_EQ(toGbk(u"中"_s), QByteArray("\xD6\xD0"));
}

TEST(Gbk, CutNeverSplitsACharacter)
{
    const QString text = u"a中b"_s + kOutsideBmp + u"文\u3000c"_s;
    const qsizetype full = gbkLength(text);
    for (qsizetype limit = 0; limit <= full + 2; ++limit) {
        const QString cut = cutToGbkBytes(text, limit);
        EXPECT_TRUE(text.startsWith(cut)) << limit;
        EXPECT_LE(gbkLength(cut), limit) << limit;
        EXPECT_EQ(fromGbk(toGbk(cut)), cut) << "split character at limit " << limit;
        if (cut.size() < text.size()) {
            // The cut is the longest: one more character would not fit.
            const qsizetype next = text.at(cut.size()).isHighSurrogate() ? 2 : 1;
            EXPECT_GT(gbkLength(text.left(cut.size() + next)), limit) << limit;
            EXPECT_FALSE(cut.size() > 0 && cut.back().isHighSurrogate()) << limit;
        }
    }
}

TEST(Gbk, CutExamples)
{
    EXPECT_EQ(cutToGbkBytes(u"中文"_s, 3), u"中"_s);
    EXPECT_EQ(cutToGbkBytes(u"中文"_s, 4), u"中文"_s);
    EXPECT_EQ(cutToGbkBytes(u"a"_s + kOutsideBmp, 4), u"a"_s);
    EXPECT_EQ(cutToGbkBytes(u"abc"_s, 0), QString());
    EXPECT_EQ(cutToGbkBytes(u"abc"_s, -1), QString());
}

// ---- Text rules

TEST(TextRules, TrimSpaces)
{
    const struct {
        QString in;
        QString out;
    } cases[] = {
        {u""_s, u""_s},
        {u"   "_s, u""_s},
        {u"  a b  "_s, u"a b"_s},
        {u"\u3000中\u3000文\u3000"_s, u"中\u3000文"_s},
        {u" \u3000 课程 \u3000"_s, u"课程"_s},
        {u"\ta\t"_s, u"\ta\t"_s},       // only spaces are trimmed
        {u"a\r\n"_s, u"a\r\n"_s},
        {u"x"_s, u"x"_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(trimSpaces(c.in), c.out) << c.in.toStdString();
}

TEST(TextRules, IntValueReadsLeadingDigits)
{
    const struct {
        QString in;
        int out;
    } cases[] = {
        {u"12abc"_s, 12},
        {u""_s, 0},
        {u"abc"_s, 0},
        {u"0"_s, 0},
        {u"007"_s, 7},
        {u"99"_s, 99},
        {u" 12"_s, 0}, // a leading space is not a digit
        {u"-5"_s, 0},
        {u"3.9"_s, 3},
        {u"１２"_s, 0}, // full-width digits are not decimal digits here
        {u"2147483647"_s, INT_MAX},
        {u"99999999999999999999"_s, INT_MAX},
    };
    for (const auto& c : cases)
        EXPECT_EQ(intValue(c.in), c.out) << c.in.toStdString();
}

TEST(TextRules, SplitCrLfLines)
{
    const struct {
        QString in;
        QStringList out;
    } cases[] = {
        {u""_s, {}},
        {u"a"_s, {u"a"_s}},
        {u"a\r\nb"_s, {u"a"_s, u"b"_s}},
        {u"a\r\nb\r\n"_s, {u"a"_s, u"b"_s}},
        {u"a\r\n\r\nb"_s, {u"a"_s, u""_s, u"b"_s}},
        {u"\r\na"_s, {u""_s, u"a"_s}},
        {u"\r\n"_s, {u""_s}},
        {u"\r\n\r\n"_s, {u""_s, u""_s}},
        {u"a\nb"_s, {u"a\nb"_s}},     // a lone LF is no separator
        {u"a\rb"_s, {u"a\rb"_s}},     // nor a lone CR
        {u"a\n\rb"_s, {u"a\n\rb"_s}}, // nor LF CR
        {u"a\r\r\nb"_s, {u"a\r"_s, u"b"_s}},
        {u"甲\r\n乙\r\n"_s, {u"甲"_s, u"乙"_s}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitCrLfLines(c.in), c.out) << c.in.toStdString();
}

// ---- Random source

TEST(RandomSource, FirstOutputsFromStateOne)
{
    // x := x * 214013 + 2531011 mod 2^32, output (x >> 16) & 32767, from x = 1.
    RandomSource source;
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (const int value : expected)
        EXPECT_EQ(source.next(), value);
}

TEST(RandomSource, UniformStaysInRange)
{
    RandomSource first;
    EXPECT_EQ(first.uniform(10), 1 + 41 % 10);
    EXPECT_EQ(first.uniform(7), 1 + 18467 % 7);

    RandomSource source(7);
    for (const int n : {1, 2, 3, 9, 100, 32768, 100000}) {
        int lowest = INT_MAX;
        int highest = INT_MIN;
        for (int i = 0; i < 2000; ++i) {
            const int v = source.uniform(n);
            lowest = std::min(lowest, v);
            highest = std::max(highest, v);
        }
        EXPECT_GE(lowest, 1) << n;
        EXPECT_LE(highest, n) << n;
        if (n <= 9) {
            EXPECT_EQ(lowest, 1) << n;
            EXPECT_EQ(highest, n) << n;
        }
    }
}

// ---- Time stamps

TEST(TimeStamp, FourteenDigits)
{
    EXPECT_EQ(timeStamp14(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5))), u"20240102030405"_s);
    EXPECT_EQ(timeStamp14(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58))), u"19991231235958"_s);
}
