#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "compose/AssembledPaper.h"

namespace helan {

class DocumentOpener;

// Writes an assembled paper and its answer sheet as two PDF files that the
// program lays out itself (PaperPages), with the Chinese font and the pictures
// embedded, named after their titles as the other writers name their files,
// then shows each file.
class PdfPaperWriter {
public:
    // folder: where the files go, ending in a separator.
    PdfPaperWriter(const AssembledPaper& paper, PaperPictures pictures, DocumentOpener& opener, QString folder);

    // Each lays out its document, writes it and opens it; failures gather in
    // failures() so that the caller reports them once for both files.
    void writePdfPaper();
    void writePdfAnswers();

    QString paperPath() const;
    QString answersPath() const;
    const QStringList& failures() const { return m_failures; }
    // Written files that the desktop could not show.
    const QStringList& unopened() const { return m_unopened; }

    // Text copied out of the PDF must be the text that was typed: the font
    // draws 一 and the radical ⼀ with one glyph, and the PDF writer names such a
    // glyph by the radical. Changes those names to the ideographs, in place.
    static void nameGlyphsByIdeographs(QByteArray& pdf);

private:
    void writeDocument(bool answers, const QString& path);

    const AssembledPaper& m_paper;
    PaperPictures m_pictures;
    DocumentOpener& m_opener;
    QString m_folder;
    QStringList m_failures;
    QStringList m_unopened;
};

} // namespace helan
