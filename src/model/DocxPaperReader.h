#pragma once

#include <optional>

#include <QString>

#include "model/PaperSource.h"

namespace helan {

// Reads the text and inline pictures of a Word document (.docx) for the paper
// import: paragraphs and their line breaks, tables one row a line, automatic
// list numbers written out, pictures through the document's relationships, and
// equations (which cannot be read as text) as PaperSource::equationMark().
//
// A .docx comes from anywhere, so nothing in it is trusted: the archive must be
// a zip, every part is read with a ceiling on its unpacked size whatever its
// header claims (a zip bomb stops at the ceiling), XML with a document type
// declaration is refused (no entity can be declared, so none can expand), and
// nesting deeper than any real document is refused before it can exhaust the
// stack. Every refusal is one sentence for the teacher.
class DocxPaperReader {
public:
    // The largest .docx file opened at all.
    static constexpr qint64 kMaxFileBytes = qint64(256) * 1024 * 1024;
    // The largest unpacked XML part (the main document, numbering, styles).
    static constexpr qint64 kMaxXmlBytes = qint64(64) * 1024 * 1024;
    // The largest unpacked picture, and all pictures together.
    static constexpr qint64 kMaxPictureBytes = qint64(32) * 1024 * 1024;
    static constexpr qint64 kMaxPicturesBytes = qint64(256) * 1024 * 1024;
    // Entries of the archive; a real document has a few dozen.
    static constexpr qint64 kMaxEntries = 20000;
    // Elements nested in one another.
    static constexpr int kMaxDepth = 200;

    // The paper in the file; nothing, with error set to the reason, when it
    // cannot be read.
    static std::optional<PaperSource> read(const QString& path, QString* error);
};

} // namespace helan
