#pragma once

#include <QString>
#include <QStringList>

#include "compose/AssembledPaper.h"

namespace helan {

class DocumentOpener;
class WordSelection;

// Types an assembled paper and then its answer sheet into two new word-processor
// documents, moving the insertion point forward only, and saves each as a .docx
// named after its title before showing it.
class WordPaperWriter {
public:
    // folder: where the documents go, ending in a separator.
    WordPaperWriter(const AssembledPaper& paper, PaperPictures pictures, DocumentOpener& opener,
                    QString folder);

    // Each types its document, saves it and opens it; what failed gathers in
    // failures() so that the caller reports it once for both documents.
    void writeWordPaper();
    void writeWordAnswers();

    // What each document receives, in order.
    void typePaper(WordSelection& selection) const;
    void typeAnswers(WordSelection& selection) const;

    QString paperPath() const;
    QString answersPath() const;
    const QStringList& failures() const { return m_failures; }
    // Written documents that the desktop could not show.
    const QStringList& unopened() const { return m_unopened; }

private:
    void addPicture(WordSelection& selection, const PaperRow& row, bool answer, const QString& question) const;
    void typeTitle(WordSelection& selection, const QString& kind) const;
    void typeHeader(WordSelection& selection) const;
    void typeDocument(bool answers, const QString& path);

    const AssembledPaper& m_paper;
    PaperPictures m_pictures;
    DocumentOpener& m_opener;
    QString m_folder;
    QStringList m_failures;
    QStringList m_unopened;
    // Typing is const (tests type into a recorder); what it finds is kept here.
    mutable QStringList m_pictureFailures;
};

} // namespace helan
