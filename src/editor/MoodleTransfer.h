#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariantList>

#include "model/MoodleXmlReader.h"

namespace helan {

class CourseTransfer;
class Prompter;
class RecordStore;

// "导出为Moodle XML…": questions of the course's bank written as a Moodle XML
// file (MoodleXmlWriter) into a folder the teacher chooses, named after the
// course. Used by the bank editor (the whole course) and the composition
// window (the questions ticked for a paper).
class MoodleExport {
public:
    // Changes the values of a question before it is written (the composition
    // window's 难度, 分值, 定分 and 屏蔽 not yet stored).
    using Adjust = std::function<void(qint32 recordId, QVariantList& values)>;

    // The course's bank must be open under the course name as alias.
    MoodleExport(RecordStore& store, Prompter& prompter, const QString& courseName);

    // Writes the questions whose record IDs are given (all of the bank when
    // none are) into folder/fileBase.xml, groups kept together with their title
    // first. True when the file was written.
    bool run(const QString& fileBase, const QList<qint32>& recordIds = {}, const Adjust& adjust = {});

    // The path of the last file written.
    const QString& writtenPath() const { return m_path; }

private:
    RecordStore& m_store;
    Prompter& m_prompter;
    QString m_course;
    QString m_path;
};

// "从Moodle XML导入…": reads a Moodle XML file (MoodleXmlReader), converts its
// pictures as pictures from files are converted, shows what it will import and,
// on OK, adds the questions through the same path as 导入 (CourseTransfer):
// duplicates skipped, group names asked about, one report at the end.
class MoodleImport {
public:
    MoodleImport(Prompter& prompter, CourseTransfer& transfer);

    void run();
    // The file dialog's filter.
    static QString fileFilter();

    // The bytes a picture of the file is stored as: a JPEG (by its name) or a
    // BMP (the editor's own clipboard form) as it is, other formats re-encoded as
    // JPEG. No value when the bytes are not a picture the readers know.
    static std::optional<QByteArray> storedPicture(const MoodleXmlReader::Picture& picture);

    // The question put before the teacher before anything is stored.
    static QString previewText(const MoodleXmlReader::Result& result);

private:
    void refuse(const QString& reason);

    Prompter& m_prompter;
    CourseTransfer& m_transfer;
};

} // namespace helan
