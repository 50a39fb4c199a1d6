#pragma once

#include <QString>
#include <QStringList>

namespace helan::test {

// The PDF tools of poppler-utils, run on a written file.
class PdfTools {
public:
    // Whether every tool named is installed.
    static bool installed(const QStringList& tools);
    // What the tool prints for the arguments (the file last), or "" when it failed.
    static QString run(const QString& tool, const QStringList& arguments);
    // pdftotext of the file, or of pages first … last, line by line as on the page.
    static QString text(const QString& path, int first = 0, int last = 0);
    // The text without any white space: line breaks and gaps of the layout
    // differ from the word processor's, the characters may not.
    static QString squeezed(const QString& text);
    static int pages(const QString& path);
    // Where each of texts (squeezed) is found in haystack (squeezed) when
    // searched in order; -1 from the first one missing on.
    static QList<qsizetype> inOrder(const QString& haystack, const QStringList& texts);
};

} // namespace helan::test
