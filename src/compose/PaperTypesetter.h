#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QSizeF>
#include <QTextCursor>

#include "compose/AssembledPaper.h"

class QTextBlockFormat;
class QTextCharFormat;
class QTextDocument;

namespace helan {

// Types a paper or its answer sheet into a text document that the program
// lays out itself (PDF and printer): the texts of the word-processor document,
// numbered by the same rules and in the same order, with the printed form's
// header when it is on. Lengths are in the document's dots, dotsPerPoint to a
// point.
class PaperTypesetter {
public:
    // Blocks that belong on one page when they fit there: a question with its
    // picture and options, a heading with its first question, a group's title
    // with its first sub-question. With firstLineOnly only the first line of
    // the last block counts (a heading over a long run of answers).
    struct KeepRange {
        int firstBlock = 0;
        int lastBlock = 0;
        bool firstLineOnly = false;
    };

    // column: the width and height of one column of text, in dots.
    PaperTypesetter(const AssembledPaper& paper, const PaperPictures& pictures, QTextDocument& document,
                    double dotsPerPoint, QSizeF column);

    // twoColumns: the candidate fields are on the sealing line, not in the header.
    void typePaper(bool twoColumns);
    void typeAnswers();

    const QList<KeepRange>& keepRanges() const { return m_keep; }
    // Questions whose pictures cannot be shown, named as the other writers name them.
    const QStringList& failures() const { return m_failures; }

    // The family papers are set in: 宋体 where installed, else Noto Serif CJK,
    // else Noto Sans CJK; empty when no Chinese font was found.
    static QString fontFamily();
    // The families text is set in: a Latin face for letters and digits where
    // one is installed, then fontFamily().
    static QStringList fontFamilies();

    // Body text, headings and the header's lines, in points.
    static constexpr double kBodyPoints = 10.5;
    static constexpr double kHeadingPoints = 14;
    static constexpr double kTitlePoints = 16;

private:
    void startBlock(const QTextBlockFormat& block, const QTextCharFormat& chars);
    void typeText(const QString& text, const QTextCharFormat& chars);
    void typeHeader(bool twoColumns);
    void typeScoreTable();
    void typeMajorHeading(int k, const QString& type, double topPoints);
    // A picture block, indented by indent dots; false when the picture cannot be shown.
    bool typePicture(const PaperRow& row, bool answer, double indent, const QString& question);
    QTextCharFormat chars(double points, bool bold = false) const;
    QTextBlockFormat block(Qt::Alignment alignment, double leftPoints = 0, double indentPoints = 0) const;
    double dots(double points) const { return points * m_dotsPerPoint; }
    int currentBlock() const;

    const AssembledPaper& m_paper;
    const PaperPictures& m_pictures;
    QTextDocument& m_document;
    QTextCursor m_cursor;
    double m_dotsPerPoint;
    QSizeF m_column;
    // The cursor stands in an empty block that the next startBlock formats
    // instead of adding one (the document's first block, the one after a table).
    bool m_emptyBlock = true;
    int m_pictureCount = 0;
    QList<KeepRange> m_keep;
    QStringList m_failures;
};

} // namespace helan
