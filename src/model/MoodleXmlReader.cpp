#include "model/MoodleXmlReader.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QHash>
#include <QIODevice>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

#include "base/Gbk.h"
#include "base/TextRules.h"
#include "model/MoodleHtml.h"
#include "model/MoodleXmlWriter.h"
#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

using Q = QuestionRecord;
using W = MoodleXmlWriter;

// Questions nest a few levels (question › answer › feedback › file); anything
// far deeper is not a question file and would only cost stack.
constexpr int kMaxDepth = 32;
constexpr int kMaxSubQuestionNumber = 99;

// One element of a question, its text and children.
struct Node {
    QString name;
    QXmlStreamAttributes attributes;
    QString text;
    std::vector<Node> children;

    const Node* child(QStringView childName) const {
        for (const Node& c : children) {
            if (c.name == childName)
                return &c;
        }
        return nullptr;
    }
    QString childText(QStringView childName) const {
        const Node* c = child(childName);
        if (!c)
            return {};
        const Node* t = c->child(u"text");
        return t ? t->text : c->text;
    }
    QString attribute(QStringView attributeName) const {
        return attributes.value(attributeName.toString()).toString();
    }
};

// Reads the element the reader stands on, to its end.
bool readNode(QXmlStreamReader& xml, Node& node, int depth, QString* error) {
    node.name = xml.name().toString();
    node.attributes = xml.attributes();
    if (depth > kMaxDepth) {
        *error = u"文件的元素嵌套过深，不是Moodle XML题库文件。"_s;
        return false;
    }
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            node.children.emplace_back();
            if (!readNode(xml, node.children.back(), depth + 1, error))
                return false;
            break;
        case QXmlStreamReader::Characters:
            node.text += xml.text();
            break;
        case QXmlStreamReader::EndElement:
            return true;
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            *error = u"文件含有文档类型定义或实体引用，为安全起见不予读取。"_s;
            return false;
        default:
            break;
        }
    }
    return true; // the reader's own error is looked at by the caller
}

// A text field (questiontext, generalfeedback, …): its HTML read, its files.
struct Field {
    MoodleHtml::Content content;
    QList<MoodleXmlReader::Picture> files;
    bool present = false;
};

Field readField(const Node& question, QStringView name, QString* error, const QString& questionName) {
    Field field;
    const Node* node = question.child(name);
    if (!node)
        return field;
    field.present = true;
    const Node* text = node->child(u"text");
    const QString raw = text ? text->text : QString();
    const QString format = node->attribute(u"format");
    if (format == u"plain_text"_s || format == u"markdown"_s)
        field.content.text = trimSpaces(QString(raw).replace(u"\r\n"_s, u"\n"_s).replace(u'\n', u"\r\n"_s));
    else
        field.content = MoodleHtml::read(raw);
    for (const Node& c : node->children) {
        if (c.name != u"file"_s || c.attribute(u"encoding") != u"base64"_s)
            continue;
        QByteArray base64 = c.text.toLatin1();
        base64.replace(' ', "").replace('\n', "").replace('\r', "").replace('\t', "");
        auto decoded = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded) {
            *error = u"试题“"_s + questionName + u"”的图片 "_s + c.attribute(u"name") +
                     u" 不是有效的base64数据。"_s;
            return field;
        }
        field.files.append({c.attribute(u"name"), *decoded});
    }
    return field;
}

// The picture a field shows: the first of its files a picture refers to, else
// its first file; how many more files it has.
MoodleXmlReader::Picture pictureOf(const Field& field, int* dropped) {
    if (field.files.isEmpty())
        return {};
    *dropped += int(field.files.size()) - 1;
    for (const QString& shown : field.content.images) {
        for (const auto& file : field.files) {
            if (file.fileName == shown)
                return file;
        }
    }
    return field.files.first();
}

// Category segments, "//" standing for a "/" inside a name.
QStringList categorySegments(const QString& path) {
    QStringList segments;
    QString current;
    for (qsizetype i = 0; i < path.size(); ++i) {
        if (path.at(i) != u'/') {
            current += path.at(i);
        } else if (i + 1 < path.size() && path.at(i + 1) == u'/') {
            current += u'/';
            ++i;
        } else {
            segments.append(current);
            current.clear();
        }
    }
    segments.append(current);
    return segments;
}

QString withoutSpaces(QString text) {
    text.remove(u' ');
    text.remove(QChar(0x3000));
    return text;
}

// A one-line option from an answer's text.
QString optionText(const Node& answer) {
    const QString format = answer.attribute(u"format");
    const QString raw = answer.childText(u"text");
    QString text = format == u"html"_s ? MoodleHtml::read(raw).text : raw;
    if (format != u"plain_text"_s)
        text = trimSpaces(text);
    return text.replace(u"\r\n"_s, u" "_s).replace(u'\n', u' ').replace(u'\r', u' ');
}

double fractionOf(const Node& answer) {
    return answer.attribute(u"fraction").toDouble();
}

// Options that are the labels A, B, C … (or ①, ② …) in order: the options of a
// picture, the answer being the labels of the correct ones.
bool areLabels(const QStringList& options) {
    static const QString letters = u"ABCDEFGHI"_s;
    static const QString circled = u"①②③④⑤⑥⑦⑧⑨"_s;
    if (options.size() < 2 || options.size() > 9)
        return false;
    for (const QString& set : {letters, circled}) {
        bool all = true;
        for (int i = 0; i < options.size() && all; ++i)
            all = options.at(i) == QString(set.at(i));
        if (all)
            return true;
    }
    return false;
}

QString knowledgeFrom(const QStringList& tags) {
    QString joined;
    for (const QString& tag : tags) {
        const QString piece = withoutSpaces(QString(tag).replace(u'|', u'｜'));
        if (piece.isEmpty())
            continue;
        const QString next = joined.isEmpty() ? piece : joined + u'|' + piece;
        if (gbkLength(next) > Q::kKnowledgePointsWidth)
            break;
        joined = next;
    }
    return joined;
}

class Mapper {
public:
    explicit Mapper(MoodleXmlReader::Result& result) : m_result(result) {}

    void category(const QString& path) {
        m_category = trimSpaces(path);
        m_groupOpen = false;
    }

    // False with result.error set when the file cannot be used.
    bool question(const Node& node);

private:
    MoodleXmlReader::Result& m_result;
    QString m_category;
    bool m_groupOpen = false;
    QString m_groupCategory;
    QString m_groupFileName; // the group's name as the file gives it
    int m_titleIndex = -1;
    bool m_titleTypeKnown = false;
    int m_lastNumber = 0;
    QSet<QString> m_groupNames;
};

bool Mapper::question(const Node& node) {
    const QString kind = node.attribute(u"type");
    static const QSet<QString> known = {u"multichoice"_s, u"truefalse"_s,   u"shortanswer"_s,
                                        u"essay"_s,       u"description"_s, u"numerical"_s};
    if (!known.contains(kind)) {
        ++m_result.skipped[kind.isEmpty() ? u"（无题型）"_s : kind];
        return true;
    }
    MoodleXmlReader::Question q;
    q.name = trimSpaces(node.childText(u"name"));
    QString error;
    const Field stem = readField(node, u"questiontext", &error, q.name);
    const Field feedback = readField(node, u"generalfeedback", &error, q.name);
    const Field graders = readField(node, u"graderinfo", &error, q.name);
    if (!error.isEmpty()) {
        m_result.error = error;
        return false;
    }
    const QString stem1Class = MoodleHtml::stemText1Class();
    const bool ours = stem.content.sections.contains(stem1Class);
    const QString stem1 = ours ? stem.content.sections.value(stem1Class) : stem.content.text;
    const QString stem2 = stem.content.sections.value(MoodleHtml::stemText2Class());
    q.stemPicture = pictureOf(stem, &m_result.droppedPictures);

    // Our answer, exact, from whichever field carries it.
    const QString answerClass = MoodleHtml::answerClass();
    const Field* answerField = feedback.content.sections.contains(answerClass)  ? &feedback
                               : graders.content.sections.contains(answerClass) ? &graders
                                                                                : nullptr;
    const bool exactAnswer = answerField != nullptr;
    QString answer = exactAnswer ? answerField->content.sections.value(answerClass) : QString();
    if (!answerField)
        answerField = graders.files.isEmpty() && !feedback.files.isEmpty() ? &feedback : &graders;

    QStringList tags;
    if (const Node* t = node.child(u"tags")) {
        for (const Node& tag : t->children) {
            if (tag.name == u"tag"_s)
                tags.append(trimSpaces(tag.childText(u"text").isEmpty() ? tag.text : tag.childText(u"text")));
        }
    }
    int difficulty = 0;
    bool fixed = false;
    static const QRegularExpression difficultyPattern(u"^难度([1-9])$"_s);
    for (qsizetype i = 0; i < tags.size(); ++i) {
        const auto m = difficultyPattern.match(tags.at(i));
        if (difficulty == 0 && m.hasMatch()) {
            difficulty = m.captured(1).toInt();
            tags.removeAt(i--);
        } else if (!fixed && tags.at(i) == W::fixedScoreTag()) {
            fixed = true;
            tags.removeAt(i--);
        }
    }

    QStringList answersText;
    QList<double> fractions;
    for (const Node& c : node.children) {
        if (c.name == u"answer"_s) {
            answersText.append(optionText(c));
            fractions.append(fractionOf(c));
        }
    }
    const auto best = [&]() -> QString {
        qsizetype at = -1;
        for (qsizetype i = 0; i < fractions.size(); ++i) {
            if (at < 0 || fractions.at(i) > fractions.at(at))
                at = i;
        }
        return at < 0 ? QString() : answersText.at(at);
    };

    QString type;
    QString text2 = stem2;
    bool choice = false;
    if (kind == u"multichoice"_s) {
        type = u"选择"_s;
        choice = true;
        QStringList correct;
        for (qsizetype i = 0; i < answersText.size(); ++i) {
            if (fractions.at(i) > 0)
                correct.append(answersText.at(i));
        }
        if (areLabels(answersText) && !q.stemPicture.isEmpty() && stem2.isEmpty()) {
            text2.clear();
            if (!exactAnswer)
                answer = correct.join(QString());
        } else {
            text2 = answersText.join(u"\r\n"_s);
            if (!exactAnswer)
                answer = correct.join(u"\r\n"_s);
        }
    } else if (kind == u"truefalse"_s) {
        type = u"判断"_s;
        if (!exactAnswer) {
            bool isTrue = false;
            for (qsizetype i = 0; i < answersText.size(); ++i) {
                if (fractions.at(i) > 0)
                    isTrue = answersText.at(i).compare(u"true"_s, Qt::CaseInsensitive) == 0;
            }
            answer = isTrue ? u"对"_s : u"错"_s;
        }
    } else if (kind == u"shortanswer"_s || kind == u"numerical"_s) {
        type = u"填空"_s;
        if (!exactAnswer) {
            answer = best();
            if (kind == u"shortanswer"_s)
                answer.replace(u"\\*"_s, u"*"_s);
        }
    } else if (kind == u"essay"_s) {
        type = u"问答"_s;
        if (!exactAnswer) {
            answer = !graders.content.text.isEmpty() ? graders.content.text : feedback.content.text;
            if (answer.isEmpty())
                answer = u"请输入答案"_s;
        }
    }
    if (kind != u"description"_s)
        q.answerPicture = pictureOf(*answerField, &m_result.droppedPictures);

    // Our own questions name their type in the category.
    const QStringList segments = categorySegments(m_category);
    const bool description = kind == u"description"_s;
    const bool joins =
        !description && m_groupOpen && m_category == m_groupCategory && m_lastNumber < kMaxSubQuestionNumber;
    if (!description && !joins)
        m_groupOpen = false;
    const int typeSegment = description || joins ? 2 : 1;
    const bool typeFromCategory = ours && segments.size() >= 2 + typeSegment;
    if (typeFromCategory)
        type = segments.at(segments.size() - typeSegment);
    type = cutToGbkBytes(trimSpaces(type), Q::kTypeWidth);

    QString groupName;
    QString groupNumber;
    if (description) {
        groupName = cutToGbkBytes(withoutSpaces(q.name), Q::kGroupNameWidth);
        if (groupName.isEmpty())
            groupName = u"分组"_s + QString::number(m_result.groupCount + 1);
        const QString base = groupName;
        for (int n = 2; m_groupNames.contains(groupName); ++n)
            groupName = cutToGbkBytes(base, Q::kGroupNameWidth - 8) + u"（"_s + QString::number(n) + u"）"_s;
        m_groupNames.insert(groupName);
        groupNumber = u"0"_s;
        m_groupOpen = true;
        m_groupCategory = m_category;
        m_groupFileName = q.name;
        m_titleIndex = int(m_result.questions.size());
        m_titleTypeKnown = typeFromCategory;
        m_lastNumber = 0;
        ++m_result.groupCount;
        answer.clear();
        choice = false;
        if (type.isEmpty())
            type = u"问答"_s;
    } else if (joins) {
        MoodleXmlReader::Question& title = m_result.questions[m_titleIndex];
        groupName = title.values.at(Q::GroupName - 1).toString();
        static const QRegularExpression numbered(u"（(\\d{1,2})）$"_s);
        const auto m = numbered.match(q.name);
        const int n =
            m.hasMatch() && q.name.left(m.capturedStart()) == m_groupFileName ? m.captured(1).toInt() : 0;
        m_lastNumber = n >= 1 ? n : m_lastNumber + 1;
        groupNumber = QString::number(m_lastNumber);
        // A group shares its title's type and difficulty.
        if (!m_titleTypeKnown) {
            title.values[Q::Type - 1] = type;
            m_titleTypeKnown = true;
        }
        type = title.values.at(Q::Type - 1).toString();
        difficulty = title.values.at(Q::Difficulty - 1).toInt();
    }

    bool scoreOk = false;
    const double grade = node.childText(u"defaultgrade").toDouble(&scoreOk);
    int score = scoreOk && std::isfinite(grade) ? int(std::lround(std::clamp(grade, 0.0, 100.0))) : 1;
    if (!ours && score < 1)
        score = 1;
    if (description)
        score = 0;
    const QString hidden = trimSpaces(node.childText(u"hidden"));

    q.values = {knowledgeFrom(tags),
                groupName,
                groupNumber,
                stem1,
                q.stemPicture.isEmpty() ? QString() : Q::pictureMark(),
                text2,
                answer,
                q.answerPicture.isEmpty() ? QString() : Q::pictureMark(),
                type,
                difficulty == 0 ? 1 : difficulty,
                score,
                choice,
                fixed,
                hidden == u"1"_s || hidden == u"true"_s,
                QByteArray(),
                QByteArray()};
    m_result.questions.append(q);
    return true;
}

} // namespace

QString MoodleXmlReader::maxFileSizeText() {
    return QString::number(kMaxFileBytes / (1024 * 1024)) + u"MB"_s;
}

MoodleXmlReader::Result MoodleXmlReader::read(QIODevice& device) {
    Result result;
    QXmlStreamReader xml(&device);
    Mapper mapper(result);
    bool inQuiz = false;
    const auto fail = [&](const QString& text) {
        result.questions.clear();
        result.error = text;
        return result;
    };
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::DTD || token == QXmlStreamReader::EntityReference)
            return fail(u"文件含有文档类型定义或实体引用，为安全起见不予读取。"_s);
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (!inQuiz) {
            if (xml.name() != u"quiz"_s)
                return fail(u"文件不是Moodle XML题库文件（没有quiz根元素）。"_s);
            inQuiz = true;
            continue;
        }
        Node node;
        QString error;
        if (!readNode(xml, node, 1, &error))
            return fail(error);
        if (xml.hasError())
            break;
        if (node.name != u"question"_s)
            continue;
        if (node.attribute(u"type") == u"category"_s) {
            mapper.category(node.childText(u"category"));
            continue;
        }
        if (!mapper.question(node))
            return fail(result.error);
    }
    if (xml.hasError())
        return fail(u"文件不是有效的XML文件（第"_s + QString::number(xml.lineNumber()) + u"行第"_s +
                    QString::number(xml.columnNumber()) + u"列有错）。"_s);
    if (!inQuiz)
        return fail(u"文件不是Moodle XML题库文件（没有quiz根元素）。"_s);
    return result;
}

} // namespace helan
