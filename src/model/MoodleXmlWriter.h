#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QXmlStreamWriter>

class QIODevice;

namespace helan {

// Writes bank questions as a Moodle XML question file (UTF-8), one question at a
// time, so that a large bank never sits in memory twice. Each question is given
// as the sixteen field values of its record; a group's title comes directly
// before its sub-questions.
//
// The mapping: a choice question with text options becomes multichoice (single
// with one answer, otherwise the correct options share 100 %), options shuffled
// and unnumbered; one whose options are drawn in its picture becomes multichoice
// over the labels (A, B, … or ①, ②, …). 判断 becomes truefalse when its answer
// reads as true or false. 填空 and 名词 become shortanswer. A group's title
// becomes a description, followed by its sub-questions named after the group.
// Everything else is essay, the answer for the graders. The category is
// "$course$/course/type", for a group "$course$/course/type/group". 分值 is the
// default grade, 屏蔽 hides the question, and 难度, 定分 and the knowledge points
// are tags. Texts sit in sections of their own and the answer in the general
// feedback (or the graders' information), so that the file reads back exactly.
class MoodleXmlWriter {
public:
    enum class Kind { MultiChoice, TrueFalse, ShortAnswer, Essay, Description };
    // The question type attribute, e.g. "multichoice".
    static QString kindName(Kind kind);
    static Kind kindOf(const QVariantList& record);

    // Answers of 判断 read as true and as false (compared trimmed, letters in any case).
    static const QStringList& trueAnswers();
    static const QStringList& falseAnswers();
    static bool isTrueAnswer(const QString& answer);
    static bool isFalseAnswer(const QString& answer);

    // The tag that carries 难度 ("难度5"), and the one that marks 定分.
    static QString difficultyTag(int difficulty);
    static QString fixedScoreTag();
    // A category path segment; "/" inside a name is doubled as the format asks.
    static QString categorySegment(const QString& name);
    // A name for a sub-question of a group: "分组名（3）".
    static QString subQuestionName(const QString& groupName, const QString& groupNumber);
    // The file name a picture is written under: base + the extension of its
    // format as its first bytes tell ("jpg", "png", "gif", "bmp", …; "bin" for
    // bytes of no known picture format).
    static QString pictureFileName(const QString& base, const QByteArray& bytes);

    MoodleXmlWriter(QIODevice* device, const QString& courseName);

    void begin();
    void write(const QVariantList& record);
    // Closes the file's root; false when the device refused a write.
    bool end();
    int questionCount() const { return m_questions; }
    int pictureCount() const { return m_pictures; }

private:
    void writeCategory(const QString& path);
    void writeHtml(const QString& element, const QString& html,
                   const QList<std::pair<QString, QByteArray>>& files);
    void writePlainAnswer(const QString& fraction, const QString& text);
    void writeText(const QString& element, const QString& text);
    void writeTags(const QVariantList& record);

    QXmlStreamWriter m_xml;
    QString m_course;
    QString m_category;
    int m_questions = 0;
    int m_pictures = 0;
    int m_unnamed = 0;
};

} // namespace helan
