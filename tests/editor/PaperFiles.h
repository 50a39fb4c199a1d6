#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

namespace helan::test {

// Papers made by the tests: .docx packages put together part by part (for the
// markup Word itself writes and the project's writer does not: list numbering,
// tables, equations, embedded objects), text files in either encoding, and
// small pictures.
class PaperFiles {
public:
    struct Part {
        QString name;
        QByteArray bytes;
    };

    // A .docx with this body (the inside of w:body), the pictures as
    // word/media/<name> under the relationship ids "rIdPic1" … in order, and
    // further parts (numbering.xml …) as given. The package relationships,
    // content types and the document's relationships are added.
    static bool writeDocx(const QString& path, const QString& body, const QList<Part>& media = {},
                          const QList<Part>& extraParts = {}, const QStringList& extraRelationships = {});
    // Any zip archive with exactly these entries, deflated.
    static bool writeZip(const QString& path, const QList<Part>& entries);

    // w:p with one run of text (line breaks as w:br).
    static QString paragraph(const QString& text);
    // w:p whose runs are the given XML pieces.
    static QString paragraphOf(const QString& runs);
    static QString run(const QString& text);
    // An inline picture run for relationship id rIdPicN (N from 1).
    static QString pictureRun(int n);

    static bool writeText(const QString& path, const QString& text, bool gbk = false);
    static QByteArray pngBytes(const QColor& colour, int width = 40, int height = 30);
    static QByteArray jpegBytes(const QColor& colour, int width = 40, int height = 30);
    static QString escaped(const QString& text);
};

} // namespace helan::test
