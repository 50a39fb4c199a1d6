#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVariantList>

class QIODevice;

namespace helan {

// Reads a Moodle XML question file into bank questions, mapped back the way
// MoodleXmlWriter maps them out: a file this program wrote gives every text,
// answer and tag back exactly; questions from other programs are taken as
// Moodle shows them. multichoice, truefalse, shortanswer, essay, description and
// numerical (as 填空) are read; other question types are counted and skipped. A
// description followed by questions of the same category is a group's title
// and its sub-questions.
//
// The file is read as a stream. A document type declaration is refused before
// anything it declares can be expanded, and so is nesting deeper than any
// question needs; the caller refuses files above kMaxFileBytes.
class MoodleXmlReader {
public:
    static constexpr qint64 kMaxFileBytes = 96LL * 1024 * 1024;
    static QString maxFileSizeText(); // "96MB"

    struct Picture {
        QString fileName;
        QByteArray bytes; // as the file holds them, not yet checked
        bool isEmpty() const { return fileName.isEmpty() && bytes.isEmpty(); }
    };

    struct Question {
        // The sixteen field values in schema order. The picture marks are set
        // where a picture came with the question; the picture bytes are left
        // for the caller, who converts and checks them.
        QVariantList values;
        Picture stemPicture;
        Picture answerPicture;
        QString name; // the question's name in the file, for messages
    };

    struct Result {
        QList<Question> questions;  // a group's title directly before its sub-questions
        QMap<QString, int> skipped; // question types not read, with their counts
        int groupCount = 0;
        // Pictures beyond the one a stem or an answer can carry.
        int droppedPictures = 0;
        // Why the file cannot be read; nothing of it is to be used then.
        QString error;
    };

    static Result read(QIODevice& device);
};

} // namespace helan
