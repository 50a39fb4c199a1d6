#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace helan {

// A picture found in a paper: the bytes of its file as the document holds them.
struct PaperPicture {
    QByteArray bytes;
    QString name; // the file's name inside the document ("image3.png"), for the report
};

// One line of a paper: a paragraph, a line of a paragraph cut by a line break,
// or a table row with its cells side by side.
struct PaperLine {
    QString text;        // pictureMark() where a picture stands
    QList<int> pictures; // one index into PaperSource::pictures per mark, in order
};

// A paper as a reader (Word or text) hands it to the parser of the paper
// convention: lines of plain text in reading order with the pictures standing
// in them. Formatting is gone; automatic list numbers are written out as text,
// because teachers' papers are numbered both ways.
struct PaperSource {
    QList<PaperLine> lines;
    QList<PaperPicture> pictures;
    // What the reader could not take in, one sentence each, for the report.
    QStringList notes;

    // Stands where a picture is: U+FFFC OBJECT REPLACEMENT CHARACTER.
    static QChar pictureMark() { return QChar(0xFFFC); }
    // Stands where a Word equation was: it cannot be read as text.
    static QString equationMark() { return QStringLiteral("〔公式〕"); }
};

} // namespace helan
