#include "base/Gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace helan {

namespace {

// Bytes a single code point takes in GB18030. ASCII is one byte; code points in
// GBK take two; everything else takes four. Asking the encoder for one code point
// at a time is slow, so the common ranges are answered directly.
int gbkWidth(char32_t cp)
{
    if (cp < 0x80)
        return 1;
    if (cp > 0xFFFF)
        return 4;
    // CJK unified ideographs of the basic block are all in GBK.
    if (cp >= 0x4E00 && cp <= 0x9FA5)
        return 2;
    static thread_local QStringEncoder gb("GB18030", QStringConverter::Flag::Stateless);
    const char16_t unit = char16_t(cp);
    const QByteArray bytes = gb.encode(QStringView(&unit, 1));
    return int(bytes.size());
}

} // namespace

QByteArray toGbk(const QString& text)
{
    QStringEncoder enc("GB18030");
    return enc.encode(text);
}

QString fromGbk(const QByteArray& bytes)
{
    QStringDecoder dec("GB18030");
    return dec.decode(bytes);
}

qsizetype gbkLength(const QString& text)
{
    qsizetype total = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x80) {
            ++total;
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            total += 4;
            ++i;
        } else {
            total += gbkWidth(c.unicode());
        }
    }
    return total;
}

QString cutToGbkBytes(const QString& text, qsizetype maxBytes)
{
    if (maxBytes <= 0)
        return {};
    qsizetype total = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        int width = 0;
        int units = 1;
        if (c.unicode() < 0x80) {
            width = 1;
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            width = 4;
            units = 2;
        } else {
            width = gbkWidth(c.unicode());
        }
        if (total + width > maxBytes)
            return text.left(i);
        total += width;
        i += units - 1;
    }
    return text;
}

} // namespace helan
