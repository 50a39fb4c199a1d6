#include "compose/PaperText.h"

#include <QImage>
#include <QUrl>

#include "compose/AssembledPaper.h"

using namespace Qt::StringLiterals;

namespace helan {

QString PaperText::htmlEscaped(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += u"&amp;"_s;
            break;
        case u'<':
            out += u"&lt;"_s;
            break;
        case u'>':
            out += u"&gt;"_s;
            break;
        case u'"':
            out += u"&quot;"_s;
            break;
        case u'\'':
            out += u"&#39;"_s;
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString PaperText::fileUrl(const QString& path) {
    return htmlEscaped(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
}

QString PaperText::xmlSafe(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (c.isHighSurrogate()) {
            if (i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                out += c;
                out += text.at(++i);
            }
            continue;
        }
        if (c.isLowSurrogate() || u == 0xFFFE || u == 0xFFFF)
            continue;
        if (u == 0x0B || u == 0x0C) {
            out += u'\n';
            continue;
        }
        if (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r')
            continue;
        out += c;
    }
    return out;
}

bool PaperText::pictureDecodes(const QByteArray& bytes) {
    return !bytes.isEmpty() && !QImage::fromData(bytes).isNull();
}

QString PaperText::questionName(const PaperRow& row, const QString& majorLabel, int minorNumber) {
    if (minorNumber > 0)
        return u"第"_s + majorLabel + u"大题第"_s + QString::number(minorNumber) + u"题"_s;
    const QString stem = row.stem1.left(12);
    return u"“"_s + stem + (row.stem1.size() > 12 ? u"…"_s : QString()) + u"”"_s;
}

} // namespace helan
