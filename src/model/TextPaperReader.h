#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

#include "model/PaperSource.h"

namespace helan {

// Reads a paper saved as plain text: one line of the file a line of the paper.
// Teachers' text files come from Notepad in either of its encodings, so the
// encoding is found from the bytes: a byte-order mark, else UTF-8 when the
// bytes are valid UTF-8, else GBK (decoded as GB18030, its superset).
class TextPaperReader {
public:
    // The largest text file read; a paper is a few hundred kilobytes.
    static constexpr qint64 kMaxBytes = qint64(8) * 1024 * 1024;

    // The paper in the file; nothing, with error set to the reason, when it
    // cannot be read or is too large (a larger file is not read at all).
    static std::optional<PaperSource> read(const QString& path, QString* error);
    // The text of the bytes in the encoding they are found to be in.
    static QString decode(const QByteArray& bytes);
    // The lines of a text, cut at CR LF, LF or CR.
    static PaperSource fromText(const QString& text);
};

} // namespace helan
