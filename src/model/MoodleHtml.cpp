#include "model/MoodleHtml.h"

#include <QRegularExpression>
#include <QSet>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace helan {

namespace {

const QString kPluginFile = u"@@PLUGINFILE@@/"_s;

bool isHtmlSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f';
}

// Elements that start and end a line of their own when shown.
bool isBlock(const QString& name) {
    static const QSet<QString> blocks = {
        u"p"_s,   u"div"_s, u"li"_s,      u"ul"_s,      u"ol"_s,     u"tr"_s,         u"table"_s,
        u"h1"_s,  u"h2"_s,  u"h3"_s,      u"h4"_s,      u"h5"_s,     u"h6"_s,         u"blockquote"_s,
        u"pre"_s, u"hr"_s,  u"section"_s, u"article"_s, u"header"_s, u"footer"_s,     u"dl"_s,
        u"dt"_s,  u"dd"_s,  u"tbody"_s,   u"thead"_s,   u"figure"_s, u"figcaption"_s,
    };
    return blocks.contains(name);
}

struct Tag {
    QString name; // lower case, without "/"
    bool closing = false;
    QString attributes;
};

Tag parseTag(QStringView inside) {
    Tag tag;
    qsizetype i = 0;
    while (i < inside.size() && inside.at(i).isSpace())
        ++i;
    if (i < inside.size() && inside.at(i) == u'/') {
        tag.closing = true;
        ++i;
    }
    const qsizetype start = i;
    while (i < inside.size() && !inside.at(i).isSpace() && inside.at(i) != u'/')
        ++i;
    tag.name = inside.mid(start, i - start).toString().toLower();
    tag.attributes = inside.mid(i).toString();
    return tag;
}

QString attribute(const QString& attributes, const QString& name) {
    static const QRegularExpression pattern(
        uR"re(([A-Za-z_:][-A-Za-z0-9_:.]*)\s*=\s*("([^"]*)"|'([^']*)'|([^\s"'>]+)))re"_s);
    auto it = pattern.globalMatch(attributes);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(1).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        for (int g = 3; g <= 5; ++g) {
            if (m.capturedStart(g) >= 0)
                return MoodleHtml::decodeEntities(m.captured(g));
        }
    }
    return {};
}

// The end of the tag that starts at from ('<'), quotes respected; -1 when none.
qsizetype tagEnd(const QString& html, qsizetype from) {
    QChar quote;
    for (qsizetype i = from + 1; i < html.size(); ++i) {
        const QChar c = html.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'>') {
            return i;
        }
    }
    return -1;
}

QString exactSection(QStringView raw) {
    static const QRegularExpression br(u"<br\\s*/?>"_s, QRegularExpression::CaseInsensitiveOption);
    QString text = raw.toString();
    text.replace(br, u"\r\n"_s);
    return MoodleHtml::decodeEntities(text);
}

// Line breaks kept as '\n' while the text is built; lines trimmed at the end.
QString finishText(const QString& built) {
    QStringList lines = built.split(u'\n');
    for (QString& line : lines) {
        qsizetype b = 0;
        qsizetype e = line.size();
        while (b < e && line.at(b) == u' ')
            ++b;
        while (e > b && line.at(e - 1) == u' ')
            --e;
        line = line.mid(b, e - b);
    }
    while (!lines.isEmpty() && lines.first().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines.join(u"\r\n"_s);
}

} // namespace

QString MoodleHtml::stemText1Class() {
    return u"helan-stem1"_s;
}

QString MoodleHtml::stemText2Class() {
    return u"helan-stem2"_s;
}

QString MoodleHtml::answerClass() {
    return u"helan-answer"_s;
}

QString MoodleHtml::escape(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
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
        case u'\r':
            if (i + 1 < text.size() && text.at(i + 1) == u'\n') {
                out += u"<br>"_s;
                ++i;
            } else {
                out += u"&#13;"_s;
            }
            break;
        default:
            // Control characters XML cannot carry travel as references.
            if (c.unicode() < 0x20 && c != u'\t')
                out += u"&#"_s + QString::number(c.unicode()) + u';';
            else
                out += c;
        }
    }
    return out;
}

QString MoodleHtml::section(const QString& cssClass, const QString& text) {
    return u"<div class=\""_s + cssClass + u"\" style=\"white-space:pre-wrap\">"_s + escape(text) +
           u"</div>"_s;
}

QString MoodleHtml::image(const QString& fileName) {
    return u"<img src=\""_s + kPluginFile + QString::fromLatin1(QUrl::toPercentEncoding(fileName)) +
           u"\" alt=\"\">"_s;
}

MoodleHtml::Content MoodleHtml::read(const QString& html) {
    Content content;
    QString built;
    const auto softBreak = [&] {
        if (!built.isEmpty() && !built.endsWith(u'\n'))
            built += u'\n';
    };
    qsizetype i = 0;
    const qsizetype n = html.size();
    while (i < n) {
        if (html.at(i) != u'<') {
            qsizetype j = html.indexOf(u'<', i);
            if (j < 0)
                j = n;
            // Runs of white space show as one space.
            QString chunk;
            chunk.reserve(j - i);
            for (qsizetype k = i; k < j; ++k) {
                const QChar c = html.at(k);
                if (!isHtmlSpace(c))
                    chunk += c;
                else if (!chunk.endsWith(u' ') &&
                         !(chunk.isEmpty() && (built.isEmpty() || built.endsWith(u' '))))
                    chunk += u' ';
            }
            QString decoded = decodeEntities(chunk);
            decoded.replace(QChar(0xA0), u' ');
            decoded.remove(u'\r');
            built += decoded;
            i = j;
            continue;
        }
        if (html.mid(i, 4) == u"<!--"_s) {
            const qsizetype end = html.indexOf(u"-->"_s, i + 4);
            i = end < 0 ? n : end + 3;
            continue;
        }
        const qsizetype end = tagEnd(html, i);
        if (end < 0) {
            // A lone "<" is text.
            built += u'<';
            ++i;
            continue;
        }
        const Tag tag = parseTag(QStringView(html).mid(i + 1, end - i - 1));
        i = end + 1;
        if (tag.name == u"script"_s || tag.name == u"style"_s) {
            if (!tag.closing) {
                const qsizetype close = html.indexOf(u"</"_s + tag.name, i, Qt::CaseInsensitive);
                i = close < 0 ? n : close;
            }
            continue;
        }
        if (tag.name == u"br"_s) {
            built += u'\n';
        } else if (tag.name == u"img"_s && !tag.closing) {
            const QString src = attribute(tag.attributes, u"src"_s);
            if (src.startsWith(kPluginFile)) {
                QString name = src.mid(kPluginFile.size());
                const qsizetype query = name.indexOf(u'?');
                if (query >= 0)
                    name.truncate(query);
                content.images.append(QUrl::fromPercentEncoding(name.toUtf8()));
            }
        } else if (tag.name == u"td"_s || tag.name == u"th"_s) {
            if (!tag.closing && !built.isEmpty() && !built.endsWith(u'\n'))
                built += u' ';
        } else if (isBlock(tag.name)) {
            softBreak();
            if (tag.name == u"div"_s && !tag.closing) {
                const QString classes = attribute(tag.attributes, u"class"_s);
                for (const QString& cls : classes.split(u' ', Qt::SkipEmptyParts)) {
                    if (!cls.startsWith(u"helan-"_s) || content.sections.contains(cls))
                        continue;
                    const qsizetype close = html.indexOf(u"</div"_s, i, Qt::CaseInsensitive);
                    content.sections.insert(
                        cls, exactSection(QStringView(html).mid(i, (close < 0 ? n : close) - i)));
                    break;
                }
            }
        }
    }
    content.text = finishText(built);
    return content;
}

QString MoodleHtml::decodeEntities(const QString& text) {
    static const QHash<QString, QString> named = {
        {u"amp"_s, u"&"_s},    {u"lt"_s, u"<"_s},     {u"gt"_s, u">"_s},     {u"quot"_s, u"\""_s},
        {u"apos"_s, u"'"_s},   {u"nbsp"_s, u" "_s},   {u"ldquo"_s, u"“"_s},  {u"rdquo"_s, u"”"_s},
        {u"lsquo"_s, u"‘"_s},  {u"rsquo"_s, u"’"_s},  {u"hellip"_s, u"…"_s}, {u"mdash"_s, u"—"_s},
        {u"ndash"_s, u"–"_s},  {u"middot"_s, u"·"_s}, {u"times"_s, u"×"_s},  {u"divide"_s, u"÷"_s},
        {u"deg"_s, u"°"_s},    {u"plusmn"_s, u"±"_s}, {u"le"_s, u"≤"_s},     {u"ge"_s, u"≥"_s},
        {u"ne"_s, u"≠"_s},     {u"copy"_s, u"©"_s},   {u"reg"_s, u"®"_s},    {u"minus"_s, u"−"_s},
        {u"pi"_s, u"π"_s},     {u"radic"_s, u"√"_s},  {u"infin"_s, u"∞"_s},  {u"ang"_s, u"∠"_s},
        {u"there4"_s, u"∴"_s}, {u"sup2"_s, u"²"_s},   {u"sup3"_s, u"³"_s},   {u"frac12"_s, u"½"_s},
    };
    if (!text.contains(u'&'))
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c != u'&') {
            out += c;
            ++i;
            continue;
        }
        const qsizetype semi = text.indexOf(u';', i + 1);
        if (semi < 0 || semi - i > 12) {
            out += c;
            ++i;
            continue;
        }
        const QString name = text.mid(i + 1, semi - i - 1);
        if (name.startsWith(u'#')) {
            bool ok = false;
            const uint code = (name.size() > 1 && (name.at(1) == u'x' || name.at(1) == u'X'))
                                  ? name.mid(2).toUInt(&ok, 16)
                                  : name.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
                out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
                i = semi + 1;
                continue;
            }
        } else if (const auto it = named.constFind(name); it != named.cend()) {
            out += *it;
            i = semi + 1;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

} // namespace helan
