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
// Every text from a bank, the type library or the settings is escaped before the
// markup is put around it, and files are only ever created new (the folder is
// the generation's own).
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

    // What went wrong: full paths of the files that could not be written,
    // pictures included, and the questions whose pictures cannot be shown.
    const QStringList& failures() const { return m_failures; }
    // Written files that the desktop could not show.
    const QStringList& unopened() const { return m_unopened; }

    QString paperPath() const;
    QString answersPath() const;

private:
    QString printedHeader() const;
    QString printedFooter(const QString& kind) const;
    QString writePicture(const QString& name, const PaperRow& row, bool answerPicture, const QString& question);
    bool writeFile(const QString& path, const QByteArray& bytes);

    const AssembledPaper& m_paper;
    PaperPictures m_pictures;
    DocumentOpener& m_opener;
    QString m_folder;
    QStringList m_failures;
    QStringList m_unopened;
};

} // namespace helan
