#pragma once

#include <optional>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "compose/WordSelection.h"

namespace helan {

// A word-processor document typed through WordSelection and saved as an Office
// Open XML (.docx) file: paragraphs and runs carry exactly what was typed, indents
// in character units, sizes in half-points, East Asian text in a Song face, and
// pictures embedded at their pixel size (narrowed to the text width) with the
// content type their bytes really have.
class DocxDocument : public WordSelection {
public:
    struct Run {
        QString text;       // may hold "\r\n" line breaks
        double size = 10.5; // points
        bool bold = false;
        int picture = -1; // index into pictures(), or -1 for text
    };
    struct Paragraph {
        int alignment = 0;     // 0 left, 1 centred, 3 justified
        double leftIndent = 0; // character units
        double firstLineIndent = 0;
        int lineSpacingRule = 0; // 0 single, 1 one and a half
        QString style;
        bool keepNext = false;
        QList<Run> runs;
        QList<QStringList> table; // not empty: this block is a table, not a paragraph
    };
    struct Picture {
        QByteArray bytes;
        QString extension;   // "jpeg", "png", "bmp", "gif"
        QString contentType; // "image/jpeg", …
        int width = 0;       // pixels
        int height = 0;
    };

    DocxDocument();

    void typeText(const QString& text) override;
    void typeParagraph() override;
    void typeBackspace() override;
    void setAlignment(int alignment) override;
    void setAlignmentName(const QString& name) override;
    void setLeftIndent(double characters) override;
    void setFirstLineIndent(double characters) override;
    void setLineSpacingRule(int rule) override;
    void setStyle(const QString& style) override;
    void setFontSize(double points) override;
    void setBold(int on) override;
    void addPicture(const QByteArray& bytes) override;
    void setKeepWithNext(bool on) override;
    void addTable(const QList<QStringList>& rows) override;
    void setPageSetup(const WordPageSetup& setup) override;
    const std::optional<WordPageSetup>& pageSetup() const { return m_pageSetup; }

    const QList<Paragraph>& paragraphs() const { return m_paragraphs; }
    const QList<Picture>& pictures() const { return m_pictures; }

    // Writes the .docx as a new file; false (and an entry in errors()) when it
    // cannot, when the name is taken, or when a part could not be made whole.
    bool save(const QString& path);
    // The .docx file's bytes; empty when a part could not be made.
    QByteArray packageBytes() const;
    // What went wrong while typing (pictures that do not decode) or saving.
    const QStringList& errors() const { return m_errors; }

    // The parts of the package by name, as save() writes them.
    QList<std::pair<QString, QByteArray>> parts() const;

    // Type and pixel size of encoded picture bytes; false when unknown.
    static bool readPictureHeader(const QByteArray& bytes, Picture& picture);

private:
    QByteArray documentXml() const;
    QByteArray stylesXml() const;
    QByteArray contentTypesXml() const;
    QByteArray documentRelationshipsXml() const;
    QByteArray footerXml() const;
    QByteArray sealingLineXml() const;
    qint64 textWidthEmu() const;

    QList<Paragraph> m_paragraphs;
    QList<Picture> m_pictures;
    QStringList m_errors;
    std::optional<WordPageSetup> m_pageSetup;
    double m_size = 10.5;
    bool m_bold = false;
};

} // namespace helan
