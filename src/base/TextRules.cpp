#include "base/TextRules.h"

#include <climits>

namespace helan {

namespace {
constexpr char16_t kFullWidthSpace = u'\u3000';

bool isTrimmedSpace(QChar c)
{
    return c == u' ' || c == kFullWidthSpace;
}
} // namespace

QString trimSpaces(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isTrimmedSpace(text.at(begin)))
        ++begin;
    while (end > begin && isTrimmedSpace(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

int intValue(const QString& text)
{
    long long value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            break;
        value = value * 10 + (c.unicode() - u'0');
        if (value > INT_MAX)
            return INT_MAX;
    }
    return int(value);
}

QStringList splitCrLfLines(const QString& text)
{
    QStringList lines;
    if (text.isEmpty())
        return lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        if (text.at(i) == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            lines.append(text.mid(start, i - start));
            i += 2;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

QString fileNameSafe(const QString& name)
{
    static const QString refused = QStringLiteral("/\\:*?\"<>|");
    QString out;
    out.reserve(name.size());
    for (const QChar c : name)
        out.append(refused.contains(c) || c.unicode() < 0x20 || c.unicode() == 0x7f ? QChar(u'_') : c);
    return out.trimmed();
}

} // namespace helan
