#include "PaperFiles.h"

#include <QBuffer>
#include <QFile>
#include <QImage>

#include <zip.h>

#include "base/Gbk.h"

using namespace Qt::StringLiterals;

namespace helan::test {

namespace {

const QString kNamespaces =
    u"xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
    "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
    "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
    "xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\" "
    "xmlns:m=\"http://schemas.openxmlformats.org/officeDocument/2006/math\" "
    "xmlns:v=\"urn:schemas-microsoft-com:vml\" "
    "xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
    "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\" "
    "xmlns:wps=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\""_s;

QByteArray imageBytes(const QColor& colour, int width, int height, const char* format) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    // A mark so that pictures of one colour still differ by size.
    image.setPixelColor(0, 0, Qt::black);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

} // namespace

QString PaperFiles::escaped(const QString& text) {
    return text.toHtmlEscaped();
}

QString PaperFiles::run(const QString& text) {
    QString out = u"<w:r>"_s;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            out += u"<w:br/>"_s;
        if (!lines[i].isEmpty())
            out += u"<w:t xml:space=\"preserve\">"_s + escaped(lines[i]) + u"</w:t>"_s;
    }
    return out + u"</w:r>"_s;
}

QString PaperFiles::paragraph(const QString& text) {
    return paragraphOf(run(text));
}

QString PaperFiles::paragraphOf(const QString& runs) {
    return u"<w:p>"_s + runs + u"</w:p>"_s;
}

QString PaperFiles::pictureRun(int n) {
    const QString id = QString::number(n);
    return u"<w:r><w:drawing><wp:inline><wp:extent cx=\"381000\" cy=\"285750\"/><wp:docPr id=\""_s + id +
           u"\" name=\"Picture "_s + id +
           u"\"/><a:graphic><a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
           "<pic:pic><pic:nvPicPr><pic:cNvPr id=\""_s +
           id + u"\" name=\"p\"/><pic:cNvPicPr/></pic:nvPicPr><pic:blipFill><a:blip r:embed=\"rIdPic"_s + id +
           u"\"/></pic:blipFill><pic:spPr/></pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>"_s;
}

bool PaperFiles::writeZip(const QString& path, const QList<Part>& entries) {
    QFile::remove(path);
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (const Part& part : entries) {
        zip_source_t* source =
            zip_source_buffer(archive, part.bytes.constData(), zip_uint64_t(part.bytes.size()), 0);
        if (!source || zip_file_add(archive, part.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

bool PaperFiles::writeDocx(const QString& path, const QString& body, const QList<Part>& media,
                           const QList<Part>& extraParts, const QStringList& extraRelationships) {
    QString rels = u"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                   "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"_s;
    for (qsizetype i = 0; i < media.size(); ++i)
        rels += u"<Relationship Id=\"rIdPic"_s + QString::number(i + 1) +
                u"\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/image\" "
                "Target=\"media/"_s +
                media[i].name + u"\"/>"_s;
    for (const QString& r : extraRelationships)
        rels += r;
    rels += u"</Relationships>"_s;

    QList<Part> parts{
        {u"[Content_Types].xml"_s,
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Types "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
         "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default "
         "Extension=\"xml\" "
         "ContentType=\"application/xml\"/><Override PartName=\"/word/document.xml\" "
         "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/"
         "></Types>"},
        {u"_rels/.rels"_s,
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
         "Target=\"word/document.xml\"/></Relationships>"},
        {u"word/document.xml"_s,
         (u"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:document "_s + kNamespaces +
          u"><w:body>"_s + body + u"</w:body></w:document>"_s)
             .toUtf8()},
        {u"word/_rels/document.xml.rels"_s, rels.toUtf8()},
    };
    for (const Part& m : media)
        parts.append({u"word/media/"_s + m.name, m.bytes});
    parts += extraParts;
    return writeZip(path, parts);
}

bool PaperFiles::writeText(const QString& path, const QString& text, bool gbk) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray bytes = gbk ? toGbk(text) : text.toUtf8();
    return file.write(bytes) == bytes.size();
}

QByteArray PaperFiles::pngBytes(const QColor& colour, int width, int height) {
    return imageBytes(colour, width, height, "PNG");
}

QByteArray PaperFiles::jpegBytes(const QColor& colour, int width, int height) {
    return imageBytes(colour, width, height, "JPEG");
}

} // namespace helan::test
