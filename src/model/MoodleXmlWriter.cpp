#include "model/MoodleXmlWriter.h"

#include <QIODevice>
#include <QSet>

#include "base/TextRules.h"
#include "model/MoodleHtml.h"
#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

using Q = QuestionRecord;

QString textOf(const QVariantList& r, int field) {
    return r.at(field - 1).toString();
}

QByteArray pictureOf(const QVariantList& r, int markField, int bytesField) {
    return textOf(r, markField) == Q::pictureMark() ? r.at(bytesField - 1).toByteArray() : QByteArray();
}

// Options Moodle can take: at least two, none empty, no two equal, and the lines
// give the text back exactly; every answer line one of them.
bool textOptions(const QVariantList& r, QStringList* options, QStringList* answers) {
    const QString stem2 = textOf(r, Q::StemText2);
    *options = splitCrLfLines(stem2);
    *answers = splitCrLfLines(textOf(r, Q::Answer));
    if (options->size() < 2 || options->join(u"\r\n"_s) != stem2 || answers->isEmpty())
        return false;
    const QSet<QString> distinct(options->cbegin(), options->cend());
    if (distinct.size() != options->size() || distinct.contains(QString()))
        return false;
    for (const QString& a : *answers) {
        if (!distinct.contains(a))
            return false;
    }
    return true;
}

const QString kLetters = u"ABCDEFGHI"_s;
const QString kCircled = u"①②③④⑤⑥⑦⑧⑨"_s;

// The labels of a question whose options are drawn in its picture: at least four,
// as many as the highest label the answer names; the indexes of the answer's.
bool pictureLabels(const QVariantList& r, QStringList* labels, QSet<int>* correct) {
    if (!textOf(r, Q::StemText2).isEmpty() || textOf(r, Q::StemPicture) != Q::pictureMark())
        return false;
    const QString answer = textOf(r, Q::Answer);
    if (answer.isEmpty())
        return false;
    const QString& set = kLetters.contains(answer.at(0)) ? kLetters : kCircled;
    int highest = 3;
    for (const QChar c : answer) {
        const qsizetype index = set.indexOf(c);
        if (index < 0)
            return false;
        correct->insert(int(index));
        highest = std::max(highest, int(index));
    }
    for (int i = 0; i <= highest; ++i)
        labels->append(set.at(i));
    return true;
}

// 100 shared by n correct options, as the format writes fractions ("33.33333").
QString shareOf(int n) {
    QString text = QString::number(100.0 / n, 'f', 5);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

// Characters XML 1.0 cannot hold go; everything else stays.
QString xmlSafe(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
            continue;
        }
        if ((u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || c.isSurrogate() || u == 0xFFFE ||
            u == 0xFFFF)
            continue;
        out += c;
    }
    return out;
}

// A question's name in Moodle's lists: the start of its stem on one line.
QString shortName(const QString& text) {
    QString name = text.left(40);
    name.replace(u"\r\n"_s, u" "_s);
    name.replace(u'\r', u' ');
    name.replace(u'\n', u' ');
    return trimSpaces(name);
}

} // namespace

QString MoodleXmlWriter::kindName(Kind kind) {
    switch (kind) {
    case Kind::MultiChoice:
        return u"multichoice"_s;
    case Kind::TrueFalse:
        return u"truefalse"_s;
    case Kind::ShortAnswer:
        return u"shortanswer"_s;
    case Kind::Description:
        return u"description"_s;
    case Kind::Essay:
        break;
    }
    return u"essay"_s;
}

const QStringList& MoodleXmlWriter::trueAnswers() {
    static const QStringList answers = {u"对"_s, u"正确"_s, u"√"_s, u"T"_s, u"true"_s};
    return answers;
}

const QStringList& MoodleXmlWriter::falseAnswers() {
    static const QStringList answers = {u"错"_s, u"错误"_s, u"×"_s, u"F"_s, u"false"_s};
    return answers;
}

bool MoodleXmlWriter::isTrueAnswer(const QString& answer) {
    return trueAnswers().contains(trimSpaces(answer), Qt::CaseInsensitive);
}

bool MoodleXmlWriter::isFalseAnswer(const QString& answer) {
    return falseAnswers().contains(trimSpaces(answer), Qt::CaseInsensitive);
}

MoodleXmlWriter::Kind MoodleXmlWriter::kindOf(const QVariantList& r) {
    if (Q::isGroupTitle(textOf(r, Q::GroupNumber)))
        return Kind::Description;
    if (r.at(Q::Choice - 1).toBool()) {
        QStringList options;
        QStringList answers;
        QSet<int> correct;
        if (textOptions(r, &options, &answers) || pictureLabels(r, &options, &correct))
            return Kind::MultiChoice;
        return Kind::Essay;
    }
    const QString type = textOf(r, Q::Type);
    const QString answer = textOf(r, Q::Answer);
    if (type == u"判断"_s)
        return isTrueAnswer(answer) || isFalseAnswer(answer) ? Kind::TrueFalse : Kind::Essay;
    if ((type == u"填空"_s || type == u"名词"_s) && !answer.isEmpty())
        return Kind::ShortAnswer;
    return Kind::Essay;
}

QString MoodleXmlWriter::difficultyTag(int difficulty) {
    return u"难度"_s + QString::number(difficulty);
}

QString MoodleXmlWriter::fixedScoreTag() {
    return u"定分"_s;
}

QString MoodleXmlWriter::categorySegment(const QString& name) {
    QString segment = name;
    return segment.replace(u'/', u"//"_s);
}

QString MoodleXmlWriter::subQuestionName(const QString& groupName, const QString& groupNumber) {
    return groupName + u"（"_s + groupNumber + u"）"_s;
}

QString MoodleXmlWriter::pictureFileName(const QString& base, const QByteArray& bytes) {
    QString extension = u"bin"_s;
    if (bytes.startsWith("\xFF\xD8\xFF"))
        extension = u"jpg"_s;
    else if (bytes.startsWith("\x89PNG"))
        extension = u"png"_s;
    else if (bytes.startsWith("GIF8"))
        extension = u"gif"_s;
    else if (bytes.startsWith("BM"))
        extension = u"bmp"_s;
    else if (bytes.startsWith(QByteArray("II*\0", 4)) || bytes.startsWith(QByteArray("MM\0*", 4)))
        extension = u"tif"_s;
    else if (bytes.startsWith(QByteArray("\0\0\1\0", 4)))
        extension = u"ico"_s;
    return base + u'.' + extension;
}

MoodleXmlWriter::MoodleXmlWriter(QIODevice* device, const QString& courseName)
    : m_xml(device), m_course(courseName) {
    m_xml.setAutoFormatting(true);
    m_xml.setAutoFormattingIndent(2);
}

void MoodleXmlWriter::begin() {
    m_xml.writeStartDocument();
    m_xml.writeStartElement(u"quiz"_s);
}

bool MoodleXmlWriter::end() {
    m_xml.writeEndElement();
    m_xml.writeEndDocument();
    return !m_xml.hasError();
}

void MoodleXmlWriter::writeCategory(const QString& path) {
    if (path == m_category)
        return;
    m_category = path;
    m_xml.writeStartElement(u"question"_s);
    m_xml.writeAttribute(u"type"_s, u"category"_s);
    m_xml.writeStartElement(u"category"_s);
    writeText(u"text"_s, path);
    m_xml.writeEndElement();
    m_xml.writeEndElement();
}

void MoodleXmlWriter::writeText(const QString& element, const QString& text) {
    m_xml.writeStartElement(element);
    m_xml.writeCharacters(xmlSafe(text));
    m_xml.writeEndElement();
}

void MoodleXmlWriter::writeHtml(const QString& element, const QString& html,
                                const QList<std::pair<QString, QByteArray>>& files) {
    m_xml.writeStartElement(element);
    m_xml.writeAttribute(u"format"_s, u"html"_s);
    m_xml.writeStartElement(u"text"_s);
    if (!html.isEmpty())
        m_xml.writeCDATA(xmlSafe(html));
    m_xml.writeEndElement();
    for (const auto& [name, bytes] : files) {
        m_xml.writeStartElement(u"file"_s);
        m_xml.writeAttribute(u"name"_s, name);
        m_xml.writeAttribute(u"path"_s, u"/"_s);
        m_xml.writeAttribute(u"encoding"_s, u"base64"_s);
        m_xml.writeCharacters(QString::fromLatin1(bytes.toBase64()));
        m_xml.writeEndElement();
        ++m_pictures;
    }
    m_xml.writeEndElement();
}

void MoodleXmlWriter::writePlainAnswer(const QString& fraction, const QString& text) {
    m_xml.writeStartElement(u"answer"_s);
    m_xml.writeAttribute(u"fraction"_s, fraction);
    m_xml.writeAttribute(u"format"_s, u"plain_text"_s);
    writeText(u"text"_s, text);
    writeHtml(u"feedback"_s, QString(), {});
    m_xml.writeEndElement();
}

void MoodleXmlWriter::writeTags(const QVariantList& r) {
    QStringList tags{difficultyTag(r.at(Q::Difficulty - 1).toInt())};
    tags += textOf(r, Q::KnowledgePoints).split(u'|', Qt::SkipEmptyParts);
    if (r.at(Q::FixedScore - 1).toBool())
        tags.append(fixedScoreTag());
    m_xml.writeStartElement(u"tags"_s);
    for (const QString& tag : tags) {
        m_xml.writeStartElement(u"tag"_s);
        writeText(u"text"_s, tag);
        m_xml.writeEndElement();
    }
    m_xml.writeEndElement();
}

void MoodleXmlWriter::write(const QVariantList& r) {
    const Kind kind = kindOf(r);
    const QString groupName = textOf(r, Q::GroupName);
    const QString groupNumber = textOf(r, Q::GroupNumber);
    const QString type = textOf(r, Q::Type).isEmpty() ? u"未分类"_s : textOf(r, Q::Type);
    QString category = u"$course$/"_s + categorySegment(m_course) + u'/' + categorySegment(type);
    if (!groupName.isEmpty())
        category += u'/' + categorySegment(groupName);
    writeCategory(category);

    QString name;
    if (groupName.isEmpty())
        name =
            shortName(textOf(r, Q::StemText1).isEmpty() ? textOf(r, Q::StemText2) : textOf(r, Q::StemText1));
    else
        name = kind == Kind::Description ? groupName : subQuestionName(groupName, groupNumber);
    if (name.isEmpty())
        name = u"试题"_s + QString::number(++m_unnamed);

    QStringList options;
    QStringList answers;
    QSet<int> correctLabels;
    const bool textChoice = kind == Kind::MultiChoice && textOptions(r, &options, &answers);
    if (kind == Kind::MultiChoice && !textChoice)
        pictureLabels(r, &options, &correctLabels);

    m_xml.writeStartElement(u"question"_s);
    m_xml.writeAttribute(u"type"_s, kindName(kind));
    m_xml.writeStartElement(u"name"_s);
    writeText(u"text"_s, name);
    m_xml.writeEndElement();

    // The stem: 题文1, the picture, 题文2 (unless it holds the options).
    QString stem = MoodleHtml::section(MoodleHtml::stemText1Class(), textOf(r, Q::StemText1));
    QList<std::pair<QString, QByteArray>> stemFiles;
    const QByteArray stemPicture = pictureOf(r, Q::StemPicture, Q::StemPictureData);
    if (!stemPicture.isEmpty()) {
        const QString file = pictureFileName(u"stem"_s, stemPicture);
        stem += MoodleHtml::image(file);
        stemFiles.append({file, stemPicture});
    }
    if (!textChoice && !textOf(r, Q::StemText2).isEmpty())
        stem += MoodleHtml::section(MoodleHtml::stemText2Class(), textOf(r, Q::StemText2));
    writeHtml(u"questiontext"_s, stem, stemFiles);

    // The answer with its picture: feedback for everyone, or for the graders.
    QString answer;
    QList<std::pair<QString, QByteArray>> answerFiles;
    if (kind != Kind::Description) {
        answer = MoodleHtml::section(MoodleHtml::answerClass(), textOf(r, Q::Answer));
        const QByteArray answerPicture = pictureOf(r, Q::AnswerPicture, Q::AnswerPictureData);
        if (!answerPicture.isEmpty()) {
            const QString file = pictureFileName(u"answer"_s, answerPicture);
            answer += MoodleHtml::image(file);
            answerFiles.append({file, answerPicture});
        }
    }
    const bool forGraders = kind == Kind::Essay && textOf(r, Q::Type) != u"判断"_s;
    if (forGraders)
        writeHtml(u"generalfeedback"_s, QString(), {});
    else
        writeHtml(u"generalfeedback"_s, answer, answerFiles);

    const int score = kind == Kind::Description ? 0 : r.at(Q::Score - 1).toInt();
    writeText(u"defaultgrade"_s, QString::number(score));
    const char* penalty = kind == Kind::TrueFalse                            ? "1"
                          : kind == Kind::Essay || kind == Kind::Description ? "0"
                                                                             : "0.3333333";
    writeText(u"penalty"_s, QString::fromLatin1(penalty));
    writeText(u"hidden"_s, r.at(Q::Blocked - 1).toBool() ? u"1"_s : u"0"_s);
    writeText(u"idnumber"_s, QString());

    switch (kind) {
    case Kind::MultiChoice: {
        const int correctCount = textChoice ? int(answers.size()) : int(correctLabels.size());
        writeText(u"single"_s, correctCount == 1 ? u"true"_s : u"false"_s);
        writeText(u"shuffleanswers"_s, u"true"_s);
        writeText(u"answernumbering"_s, u"none"_s);
        writeText(u"showstandardinstruction"_s, u"0"_s);
        for (const char* feedback : {"correctfeedback", "partiallycorrectfeedback", "incorrectfeedback"})
            writeHtml(QString::fromLatin1(feedback), QString(), {});
        const QString share = shareOf(correctCount);
        for (int i = 0; i < options.size(); ++i) {
            const bool right = textChoice ? answers.contains(options.at(i)) : correctLabels.contains(i);
            writePlainAnswer(right ? share : u"0"_s, options.at(i));
        }
        break;
    }
    case Kind::TrueFalse: {
        const bool isTrue = isTrueAnswer(textOf(r, Q::Answer));
        writePlainAnswer(isTrue ? u"100"_s : u"0"_s, u"true"_s);
        writePlainAnswer(isTrue ? u"0"_s : u"100"_s, u"false"_s);
        break;
    }
    case Kind::ShortAnswer: {
        writeText(u"usecase"_s, u"0"_s);
        // "*" is the wildcard of short answers; the answer means it literally.
        QString text = textOf(r, Q::Answer);
        writePlainAnswer(u"100"_s, text.replace(u'*', u"\\*"_s));
        break;
    }
    case Kind::Essay:
        writeText(u"responseformat"_s, u"editor"_s);
        writeText(u"responserequired"_s, u"1"_s);
        writeText(u"responsefieldlines"_s, u"15"_s);
        writeText(u"attachments"_s, u"0"_s);
        writeText(u"attachmentsrequired"_s, u"0"_s);
        if (forGraders)
            writeHtml(u"graderinfo"_s, answer, answerFiles);
        else
            writeHtml(u"graderinfo"_s, QString(), {});
        writeHtml(u"responsetemplate"_s, QString(), {});
        break;
    case Kind::Description:
        break;
    }
    writeTags(r);
    m_xml.writeEndElement();
    ++m_questions;
}

} // namespace helan
