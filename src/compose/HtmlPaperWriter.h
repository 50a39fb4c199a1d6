#pragma once

#include <QString>
#include <QStringList>

#include "compose/AssembledPaper.h"

namespace helan {

class DocumentOpener;

// Writes an assembled paper and its answer sheet as two HTML files in GBK with
// their pictures beside them, then shows each file. The markup is the fixed,
// minimal form teachers' existing papers have: no head apart from the
// character-set declaration, tags left open where the paper always left them.
class HtmlPaperWriter {
public:
    // folder: where the files go, ending in a separator.
    HtmlPaperWriter(const AssembledPaper& paper, PaperPictures pictures, DocumentOpener& opener,
                    QString folder);

    // Each writes its pictures and its file, then opens the file. Failures
    // gather in failures() so the caller reports them once for both files.
    void writeHtmlPaper();
    void writeHtmlAnswers();

    // The markup of each document; writes the pictures it refers to.
    QString paperHtml();
    QString answersHtml();

    // Full paths of the files that could not be written, pictures included.
    const QStringList& failures() const { return m_failures; }

    QString paperPath() const;
    QString answersPath() const;

private:
    QString writePicture(const QString& name, qint64 recordId, bool answerPicture);
    bool writeFile(const QString& path, const QByteArray& bytes);

    const AssembledPaper& m_paper;
    PaperPictures m_pictures;
    DocumentOpener& m_opener;
    QString m_folder;
    QStringList m_failures;
};

} // namespace helan
