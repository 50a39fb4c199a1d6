#include "base/Gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace helan {

namespace {

// Widths in GB18030 of every code unit of the basic plane, worked out once from a
// single encoding of the whole plane: a lead byte below 0x80 is a one-byte
// character, a second byte that is a digit marks a four-byte sequence, anything
// else is a two-byte GBK character. A lone surrogate is written as one substitute
// byte, and is counted so.
struct WidthTable {
    unsigned char width[0x10000];

    WidthTable()
    {
        QString plane;
        plane.reserve(0x10000);
        for (char32_t cp = 0; cp < 0x10000; ++cp)
            if (cp < 0xD800 || cp > 0xDFFF)
                plane.append(QChar(char16_t(cp)));
        QStringEncoder gb("GB18030", QStringConverter::Flag::Stateless);
        const QByteArray bytes = gb.encode(plane);
        qsizetype at = 0;
        for (char32_t cp = 0; cp < 0x10000; ++cp) {
            if (cp >= 0xD800 && cp <= 0xDFFF) {
                width[cp] = 1;
                continue;
            }
            int w = 1;
            if (at < bytes.size() && static_cast<unsigned char>(bytes[at]) >= 0x80)
                w = (at + 1 < bytes.size() && bytes[at + 1] >= '0' && bytes[at + 1] <= '9') ? 4 : 2;
            width[cp] = static_cast<unsigned char>(w);
            at += w;
        }
    }
};

int gbkWidth(char32_t cp)
{
    if (cp < 0x80)
        return 1;
    if (cp > 0xFFFF)
        return 4;
    static const WidthTable table;
    return table.width[cp];
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
