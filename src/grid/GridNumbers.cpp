#include "grid/GridNumbers.h"

#include <cfloat>
#include <charconv>
#include <string>

#include <QDate>

namespace helan {

namespace {

// The ASCII form of a character as far as numbers are concerned, or 0.
char numberChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return char(u);
    if (u >= 0xFF10 && u <= 0xFF19)
        return char('0' + (u - 0xFF10));
    switch (u) {
    case 0xFF0B:
        return '+';
    case 0xFF0D:
        return '-';
    case 0xFF0E:
        return '.';
    default:
        return 0;
    }
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

double leadingNumber(QStringView text, bool* found)
{
    if (found)
        *found = false;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\u3000'))
        ++i;

    std::string ascii;
    auto at = [&](qsizetype k) { return k < n ? numberChar(text[k]) : char(0); };

    bool negative = false;
    if (at(i) == '+' || at(i) == '-') {
        negative = at(i) == '-';
        ++i;
    }
    // Decimal exponent of the leading significant digit, to tell overflow from
    // underflow when the value does not fit.
    long long magnitude = 0;
    bool significant = false;
    int digits = 0;
    while (isDigit(at(i))) {
        if (at(i) != '0')
            significant = true;
        if (significant)
            ++magnitude;
        ascii += at(i++);
        ++digits;
    }
    if (at(i) == '.') {
        const qsizetype point = i;
        std::string fraction;
        ++i;
        while (isDigit(at(i))) {
            if (!significant && at(i) != '0') {
                significant = true;
                magnitude = -(i - point - 1);
            }
            fraction += at(i++);
            ++digits;
        }
        if (!fraction.empty() || digits > 0)
            ascii += '.' + fraction;
    }
    if (digits == 0)
        return 0.0;
    if (found)
        *found = true;
    if (at(i) == 'e' || at(i) == 'E') {
        qsizetype k = i + 1;
        std::string exponent = "e";
        if (at(k) == '+' || at(k) == '-')
            exponent += at(k++);
        if (isDigit(at(k))) {
            while (isDigit(at(k)))
                exponent += at(k++);
            ascii += exponent;
            long long e = 0;
            for (char c : exponent)
                if (isDigit(c))
                    e = std::min<long long>(e * 10 + (c - '0'), 1'000'000'000);
            magnitude += exponent[1] == '-' ? -e : e;
        }
    }

    double value = 0.0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    Q_UNUSED(end);
    if (error == std::errc::result_out_of_range)
        value = (significant && magnitude > 0) ? DBL_MAX : 0.0;
    else if (error != std::errc())
        value = 0.0;
    return negative ? -value : value;
}

bool isNumberCellText(QStringView text)
{
    if (text.isEmpty() || text == u"0")
        return true;
    bool found = false;
    return leadingNumber(text, &found) != 0.0 && found;
}

double dateValue(QStringView text, bool* ok)
{
    if (ok)
        *ok = false;
    // Fields: year, month, day, then optional hour, minute, second.
    int fields[6] = {0, 0, 0, 0, 0, 0};
    int count = 0;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    while (count < 6) {
        qsizetype start = i;
        long long v = 0;
        while (i < n && text[i] >= u'0' && text[i] <= u'9' && i - start < 4)
            v = v * 10 + (text[i++].unicode() - u'0');
        if (i == start)
            return 0.0;
        fields[count++] = int(v);
        if (i >= n)
            break;
        const QChar sep = text[i];
        const bool dateSep = sep == u'-' || sep == u'/' || sep == u'.';
        if (count < 3 && dateSep) {
            ++i;
        } else if (count == 3 && (sep == u' ' || sep == u'T')) {
            ++i;
        } else if (count > 3 && sep == u':') {
            ++i;
        } else {
            break;
        }
    }
    while (i < n && text[i] == u' ')
        ++i;
    if (i != n || count < 3 || count == 4)
        return 0.0;
    const QDate date(fields[0], fields[1], fields[2]);
    if (!date.isValid() || fields[3] > 23 || fields[4] > 59 || fields[5] > 59)
        return 0.0;
    if (ok)
        *ok = true;
    return double(date.toJulianDay()) + (fields[3] * 3600 + fields[4] * 60 + fields[5]) / 86400.0;
}

} // namespace helan
