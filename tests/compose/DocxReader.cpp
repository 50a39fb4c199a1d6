#include "DocxReader.h"

#include <QFile>
#include <QXmlStreamReader>

#include <zip.h>

using namespace Qt::StringLiterals;

namespace helan::test {

namespace {

QMap<QString, QString> relationships(const QByteArray& xml) {
    QMap<QString, QString> out;
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == u"Relationship"_s)
            out.insert(r.attributes().value(u"Id"_s).toString(),
                       r.attributes().value(u"Target"_s).toString());
    }
    return out;
}

} // namespace

DocxReader::DocxReader(const QString& path) {
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!archive)
        return;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(archive, zip_uint64_t(i), 0, &stat) != 0)
            continue;
        QByteArray bytes(qsizetype(stat.size), '\0');
        zip_file_t* file = zip_fopen_index(archive, zip_uint64_t(i), 0);
        if (file) {
            zip_fread(file, bytes.data(), stat.size);
            zip_fclose(file);
        }
        m_parts.insert(QString::fromUtf8(stat.name), bytes);
    }
    zip_close(archive);
    m_opened = true;
}

QString DocxReader::target(const QString& id) const {
    return relationships(m_parts.value(u"word/_rels/document.xml.rels"_s)).value(id);
}

QStringList DocxReader::problems() const {
    QStringList out;
    QMap<QString, QString> defaults;
    QStringList overrides;
    for (auto it = m_parts.begin(); it != m_parts.end(); ++it) {
        if (!it.key().endsWith(u".xml"_s) && !it.key().endsWith(u".rels"_s))
            continue;
        QXmlStreamReader r(it.value());
        while (!r.atEnd()) {
            r.readNext();
            if (it.key() == u"[Content_Types].xml"_s && r.isStartElement()) {
                if (r.name() == u"Default"_s)
                    defaults.insert(r.attributes().value(u"Extension"_s).toString(),
                                    r.attributes().value(u"ContentType"_s).toString());
                if (r.name() == u"Override"_s)
                    overrides.append(r.attributes().value(u"PartName"_s).toString().mid(1));
            }
        }
        if (r.hasError())
            out.append(it.key() + u": "_s + r.errorString());
    }
    for (auto it = m_parts.begin(); it != m_parts.end(); ++it)
        if (!overrides.contains(it.key()) && !defaults.contains(it.key().section(u'.', -1)))
            out.append(u"no content type: "_s + it.key());
    if (relationships(m_parts.value(u"_rels/.rels"_s)).values() != QStringList{u"word/document.xml"_s})
        out.append(u"package relationship"_s);
    const QMap<QString, QString> rels = relationships(m_parts.value(u"word/_rels/document.xml.rels"_s));
    for (const QString& t : rels)
        if (!m_parts.contains(u"word/"_s + t))
            out.append(u"missing target: "_s + t);
    for (const Paragraph& p : paragraphs())
        for (const QString& id : p.pictures)
            if (!rels.contains(id))
                out.append(u"missing relationship: "_s + id);
    return out;
}

QList<DocxReader::Paragraph> DocxReader::paragraphs() const {
    QList<Paragraph> out;
    QXmlStreamReader r(m_parts.value(u"word/document.xml"_s));
    bool inRun = false;
    while (!r.atEnd()) {
        r.readNext();
        const auto attr = [&](const QString& name) {
            return r.attributes().value(u"w:"_s + name).toString();
        };
        if (r.isStartElement()) {
            const QString name = r.qualifiedName().toString();
            if (name == u"w:p"_s) {
                out.append(Paragraph{});
                continue;
            }
            if (out.isEmpty())
                continue;
            Paragraph& p = out.last();
            if (name == u"w:jc"_s)
                p.alignment = attr(u"val"_s);
            else if (name == u"w:pStyle"_s)
                p.style = attr(u"val"_s);
            else if (name == u"w:ind"_s) {
                p.leftChars = attr(u"leftChars"_s).toInt();
                p.firstLineChars = attr(u"firstLineChars"_s).toInt();
                p.hangingChars = attr(u"hangingChars"_s).toInt();
            } else if (name == u"w:spacing"_s)
                p.oneAndHalfLines = attr(u"line"_s) == u"360"_s;
            else if (name == u"w:r"_s) {
                inRun = true;
                p.halfPoints.append(0);
                p.bold.append(false);
            } else if (inRun && name == u"w:sz"_s)
                p.halfPoints.last() = attr(u"val"_s).toInt();
            else if (inRun && name == u"w:b"_s)
                p.bold.last() = true;
            else if (name == u"w:t"_s)
                p.text += r.readElementText();
            else if (name == u"w:br"_s)
                p.text += u'\n';
            else if (name == u"a:blip"_s)
                p.pictures.append(r.attributes().value(u"r:embed"_s).toString());
        } else if (r.isEndElement() && r.qualifiedName() == u"w:r"_s) {
            inRun = false;
        }
    }
    return out;
}

} // namespace helan::test
