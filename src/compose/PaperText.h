#pragma once

#include <QByteArray>
#include <QString>

namespace helan {

struct PaperRow;

// What the writers do to texts from a bank before they put their own markup
// around them: a teacher's "<" is text, never a tag, in either format.
class PaperText {
public:
    // & < > " ' as character references: the page shows exactly what was typed.
    static QString htmlEscaped(const QString& text);
    // A file URL of a local path, percent-encoded and fit for a quoted attribute.
    static QString fileUrl(const QString& path);
    // What XML may hold: lone surrogates and the control characters XML forbids
    // are dropped; a vertical tab or form feed (Word's manual line and page
    // breaks, pasted in) becomes a line break.
    static QString xmlSafe(const QString& text);
    // Whether the picture bytes decode to an image (a header alone is not enough).
    static bool pictureDecodes(const QByteArray& bytes);
    // How a failure message names a question: "第二大题第3题" when it has a
    // number, otherwise the start of its stem.
    static QString questionName(const PaperRow& row, const QString& majorLabel, int minorNumber);
};

} // namespace helan
