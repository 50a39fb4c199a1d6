#pragma once

#include <QList>
#include <QString>

#include "compose/AssembledPaper.h"

namespace helan {

class DocumentOpener;
class PaperComposer;
class RandomSource;

// "生成A卷" / "生成B卷": gathers from the composition window and the bank what
// the assembly needs, assembles the paper, fills the window's work grids with
// it and writes the paper and its answer sheet with the chosen writer. Files
// that could not be written are reported in one message at the end.
class PaperGeneration {
public:
    // folder: the system's temporary folder. Each generation writes into a new
    // folder named after its paper, inside a folder of the user's own there.
    PaperGeneration(RandomSource& random, DocumentOpener& opener, QString folder);

    // The composer's hook; paper is "A卷" or "B卷". Returns the assembled paper.
    AssembledPaper generatePaper(PaperComposer& composer, const QString& paper);

    // The ticked questions of the paper in grid order, with the record's answer,
    // answer mark and choice flag.
    static QList<PaperRow> workList(PaperComposer& composer, const QString& paper);
    static PaperSettings settings(PaperComposer& composer, const QString& paper);
    // The pictures of the composer's course, read from its bank when asked for
    // (also later, when the paper is printed).
    static PaperPictures pictures(PaperComposer& composer);

    // The one message listing what could not be written (files, pictures).
    static QString failureMessage(const QStringList& failures);
    // Asked once when the desktop showed neither document: where they are, and
    // whether to open that folder.
    static QString unopenedQuestion(const QString& folder);

private:
    RandomSource& m_random;
    DocumentOpener& m_opener;
    QString m_folder;
};

} // namespace helan
