#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

namespace helan::test {

// Reads back a .docx for the tests: every part of the archive, and the
// paragraphs of the main document with what each carries.
class DocxReader {
public:
    struct Paragraph {
        QString text; // line breaks as "\n"
        QString alignment;
        QString style;
        int leftChars = 0;
        int firstLineChars = 0;
        int hangingChars = 0;
        bool oneAndHalfLines = false;
        QList<int> halfPoints; // per text run
        QList<bool> bold;      // per text run
        QStringList pictures;  // relationship ids, in order
    };

    explicit DocxReader(const QString& path);

    bool opened() const { return m_opened; }
    const QMap<QString, QByteArray>& parts() const { return m_parts; }
    // Problems found: XML that does not parse, relationships or content types
    // that do not resolve.
    QStringList problems() const;
    QList<Paragraph> paragraphs() const;
    // Target part of a relationship of the main document.
    QString target(const QString& id) const;

private:
    bool m_opened = false;
    QMap<QString, QByteArray> m_parts;
};

} // namespace helan::test
