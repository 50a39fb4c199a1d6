// Moodle XML: the HTML of its text fields, the writer checked against the
// format's structure, files written by hand from the format's documentation,
// and files that are not what they claim.
#include <random>

#include <QBuffer>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include "Printers.h"
#include "model/MoodleHtml.h"
#include "model/MoodleXmlReader.h"
#include "model/MoodleXmlWriter.h"
#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;

namespace helan {
namespace {

using Q = QuestionRecord;
using W = MoodleXmlWriter;

struct Rec {
    QString knowledge;
    QString groupName;
    QString groupNumber;
    QString stem1;
    QString stem2;
    QString answer;
    QString type = u"问答"_s;
    int difficulty = 1;
    int score = 2;
    bool choice = false;
    bool fixed = false;
    bool blocked = false;
    QByteArray stemPicture;
    QByteArray answerPicture;

    QVariantList values() const {
        const QString mark = Q::pictureMark();
        return {knowledge,
                groupName,
                groupNumber,
                stem1,
                stemPicture.isEmpty() ? QString() : mark,
                stem2,
                answer,
                answerPicture.isEmpty() ? QString() : mark,
                type,
                difficulty,
                score,
                choice,
                fixed,
                blocked,
                stemPicture,
                answerPicture};
    }
};

Rec rec(const QString& type, const QString& stem, const QString& answer) {
    Rec r;
    r.type = type;
    r.stem1 = stem;
    r.answer = answer;
    return r;
}

Rec choiceRec(const QString& stem, const QString& options, const QString& answer) {
    Rec r = rec(u"选择"_s, stem, answer);
    r.stem2 = options;
    r.choice = true;
    return r;
}

const QByteArray kJpeg = QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(300, 'j');
const QByteArray kPng = QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(200, 'p');

QByteArray written(const QList<Rec>& records, const QString& course = u"数学"_s) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    W writer(&buffer, course);
    writer.begin();
    for (const Rec& r : records)
        writer.write(r.values());
    EXPECT_TRUE(writer.end());
    return bytes;
}

MoodleXmlReader::Result readBack(const QByteArray& bytes) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return MoodleXmlReader::read(buffer);
}

// ---- HTML

// Any text, through a section and back, is the same text.
TEST(MoodleHtmlTest, SectionsGiveEveryTextBackExactly) {
    const QString alphabet =
        u"ab 甲乙&<>\"'\t;#\r\n\r\n  　×√①]]>"_s + QChar(1) + QChar(0xA0) + u"&nbsp;&#10;"_s;
    std::mt19937 random(7);
    for (int round = 0; round < 500; ++round) {
        QString text;
        const int length = int(random() % 40);
        for (int i = 0; i < length; ++i)
            text += alphabet.at(int(random() % alphabet.size()));
        const QString html = MoodleHtml::section(u"helan-x"_s, text) + MoodleHtml::image(u"a b.jpg"_s);
        const MoodleHtml::Content content = MoodleHtml::read(html);
        ASSERT_EQ(content.sections.value(u"helan-x"_s), text) << round;
        ASSERT_EQ(content.images, QStringList{u"a b.jpg"_s});
    }
}

TEST(MoodleHtmlTest, OtherProgramsHtmlReadsAsItShows) {
    const std::pair<QString, QString> cases[] = {
        {u"<p>第一行</p><p>第二行</p>"_s, u"第一行\r\n第二行"_s},
        {u"  <p>\n  a   b\n</p>\n"_s, u"a b"_s},
        {u"a<br>b<br/>c<BR />"_s, u"a\r\nb\r\nc"_s},
        {u"x&nbsp;&nbsp;y &amp; &lt;z&gt; &#x4E2D;&#25991; &bogus; &"_s, u"x  y & <z> 中文 &bogus; &"_s},
        {u"<b>粗</b>体<script>alert(1)</script><style>p{}</style><!-- 注释 -->"_s, u"粗体"_s},
        {u"<table><tr><td>1</td><td>2</td></tr><tr><td>3</td></tr></table>"_s, u"1 2\r\n3"_s},
        {u"<ul><li>甲</li><li>乙</li></ul>后"_s, u"甲\r\n乙\r\n后"_s},
        {u"a < b"_s, u"a < b"_s},
        {QString(), QString()},
    };
    for (const auto& [html, text] : cases) {
        SCOPED_TRACE(html.toStdString());
        EXPECT_EQ(MoodleHtml::read(html).text, text);
    }
    const auto content = MoodleHtml::read(
        u"<img src=\"@@PLUGINFILE@@/%E5%9B%BE%201.png?time=1\"><img src=\"http://x/y.png\"><img src='@@PLUGINFILE@@/b.gif'>"_s);
    EXPECT_EQ(content.images, (QStringList{u"图 1.png"_s, u"b.gif"_s}));
}

// ---- Writer

TEST(MoodleXmlWriterTest, KindOfEachQuestion) {
    Rec picture = rec(u"选择"_s, u"如图"_s, u"BD"_s);
    picture.choice = true;
    picture.stemPicture = kJpeg;
    Rec title = rec(u"选择"_s, u"材料"_s, QString());
    title.groupName = u"阅读"_s;
    title.groupNumber = u"0"_s;
    const std::tuple<const char*, Rec, W::Kind> cases[] = {
        {"text options", choiceRec(u"问"_s, u"甲\r\n乙"_s, u"乙"_s), W::Kind::MultiChoice},
        {"options in the picture", picture, W::Kind::MultiChoice},
        {"an answer outside the options", choiceRec(u"问"_s, u"甲\r\n乙"_s, u"丙"_s), W::Kind::Essay},
        {"an empty option", choiceRec(u"问"_s, u"甲\r\n\r\n乙"_s, u"乙"_s), W::Kind::Essay},
        {"a trailing break", choiceRec(u"问"_s, u"甲\r\n乙\r\n"_s, u"乙"_s), W::Kind::Essay},
        {"one option", choiceRec(u"问"_s, u"甲"_s, u"甲"_s), W::Kind::Essay},
        {"判断 √", rec(u"判断"_s, u"问"_s, u"√"_s), W::Kind::TrueFalse},
        {"判断 错误", rec(u"判断"_s, u"问"_s, u" 错误 "_s), W::Kind::TrueFalse},
        {"判断 True", rec(u"判断"_s, u"问"_s, u"True"_s), W::Kind::TrueFalse},
        {"判断 f", rec(u"判断"_s, u"问"_s, u"f"_s), W::Kind::TrueFalse},
        {"判断 不一定", rec(u"判断"_s, u"问"_s, u"不一定"_s), W::Kind::Essay},
        {"填空", rec(u"填空"_s, u"问"_s, u"3"_s), W::Kind::ShortAnswer},
        {"名词", rec(u"名词"_s, u"问"_s, u"释义"_s), W::Kind::ShortAnswer},
        {"问答", rec(u"问答"_s, u"问"_s, u"答"_s), W::Kind::Essay},
        {"a type of the teacher's", rec(u"作图"_s, u"问"_s, u"答"_s), W::Kind::Essay},
        {"a group title", title, W::Kind::Description},
    };
    for (const auto& [name, r, kind] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(W::kindOf(r.values()), kind);
    }
}

// What the format asks of each question type, checked on a parsed export.
TEST(MoodleXmlWriterTest, EveryQuestionHasTheElementsItsTypeRequires) {
    Rec picture = rec(u"选择"_s, u"如图，选出正方形"_s, u"①③"_s);
    picture.choice = true;
    picture.stemPicture = kPng;
    Rec title = rec(u"填空"_s, u"阅读材料"_s, QString());
    title.groupName = u"阅读/一"_s;
    title.groupNumber = u"0"_s;
    Rec sub = rec(u"填空"_s, u"第一问"_s, u"1*2"_s);
    sub.groupName = u"阅读/一"_s;
    sub.groupNumber = u"1"_s;
    Rec essay = rec(u"问答"_s, u"论述"_s, u"要点"_s);
    essay.answerPicture = kJpeg;
    const QList<Rec> records = {
        title,
        sub,
        choiceRec(u"单选"_s, u"甲\r\n乙\r\n丙"_s, u"乙"_s),
        choiceRec(u"多选"_s, u"甲\r\n乙\r\n丙"_s, u"甲\r\n乙\r\n丙"_s),
        picture,
        rec(u"判断"_s, u"对吗"_s, u"×"_s),
        essay,
        rec(u"判断"_s, u"对吗"_s, u"看情况"_s),
    };
    const QByteArray xml = written(records);
    ASSERT_TRUE(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));

    struct Seen {
        QString type;
        QStringList children;
        QStringList fractions;
        QStringList files;
        QString category;
        QString single;
    };
    QList<Seen> seen;
    QString category;
    QXmlStreamReader reader(xml);
    int depth = 0;
    QString answerFraction;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            ++depth;
            if (depth == 2) {
                seen.append({reader.attributes().value(u"type"_s).toString(), {}, {}, {}, category, {}});
            } else if (depth == 3) {
                seen.last().children.append(reader.name().toString());
                if (reader.name() == u"answer"_s)
                    seen.last().fractions.append(reader.attributes().value(u"fraction"_s).toString());
                if (reader.name() == u"single"_s)
                    seen.last().single = reader.readElementText(), --depth;
                if (seen.last().type == u"category"_s && reader.name() == u"category"_s) {
                    reader.readNextStartElement();
                    category = reader.readElementText();
                    reader.skipCurrentElement();
                    --depth;
                }
            } else if (reader.name() == u"file"_s) {
                EXPECT_EQ(reader.attributes().value(u"encoding"_s), u"base64"_s);
                seen.last().files.append(reader.attributes().value(u"name"_s).toString());
            }
        } else if (reader.isEndElement()) {
            --depth;
        }
    }
    ASSERT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    seen.removeIf([](const Seen& s) { return s.type == u"category"_s; });
    ASSERT_EQ(seen.size(), records.size());

    const QStringList common = {u"name"_s,         u"questiontext"_s, u"generalfeedback"_s,
                                u"defaultgrade"_s, u"penalty"_s,      u"hidden"_s};
    const QHash<QString, QStringList> required = {
        {u"multichoice"_s,
         {u"single"_s, u"shuffleanswers"_s, u"answernumbering"_s, u"correctfeedback"_s,
          u"partiallycorrectfeedback"_s, u"incorrectfeedback"_s, u"answer"_s}},
        {u"truefalse"_s, {u"answer"_s}},
        {u"shortanswer"_s, {u"usecase"_s, u"answer"_s}},
        {u"essay"_s,
         {u"responseformat"_s, u"responserequired"_s, u"responsefieldlines"_s, u"attachments"_s,
          u"attachmentsrequired"_s, u"graderinfo"_s, u"responsetemplate"_s}},
        {u"description"_s, {}},
    };
    const QStringList expectedTypes = {u"description"_s, u"shortanswer"_s, u"multichoice"_s, u"multichoice"_s,
                                       u"multichoice"_s, u"truefalse"_s,   u"essay"_s,       u"essay"_s};
    for (int i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seen.at(i).type, expectedTypes.at(i));
        for (const QString& element : common + required.value(seen.at(i).type))
            EXPECT_TRUE(seen.at(i).children.contains(element)) << element.toStdString();
    }
    EXPECT_EQ(seen.at(0).category, u"$course$/数学/填空/阅读//一"_s);
    EXPECT_EQ(seen.at(2).category, u"$course$/数学/选择"_s);
    EXPECT_EQ(seen.at(2).fractions, (QStringList{u"0"_s, u"100"_s, u"0"_s}));
    EXPECT_EQ(seen.at(2).single, u"true"_s);
    EXPECT_EQ(seen.at(3).fractions, (QStringList{u"33.33333"_s, u"33.33333"_s, u"33.33333"_s}));
    EXPECT_EQ(seen.at(3).single, u"false"_s);
    EXPECT_EQ(seen.at(4).fractions, (QStringList{u"50"_s, u"0"_s, u"50"_s, u"0"_s}));
    EXPECT_EQ(seen.at(4).files, QStringList{u"stem.png"_s});
    EXPECT_EQ(seen.at(5).fractions, (QStringList{u"0"_s, u"100"_s}));
    EXPECT_EQ(seen.at(6).files, QStringList{u"answer.jpg"_s});

    // The answer is where the teacher expects it, the asterisk literal.
    EXPECT_TRUE(xml.contains("<text>1\\*2</text>"));
    EXPECT_TRUE(xml.contains("<answernumbering>none</answernumbering>"));
    EXPECT_TRUE(xml.contains("<shuffleanswers>true</shuffleanswers>"));
    EXPECT_TRUE(xml.contains(u"<text>难度1</text>"_s.toUtf8()));
}

// ---- Reading our own files

TEST(MoodleXmlReaderTest, WhatTheWriterWroteComesBackFieldByField) {
    Rec title = rec(u"阅读理解"_s, u"  材料　\r\n第二段 "_s, QString());
    title.groupName = u"阅读一"_s;
    title.groupNumber = u"0"_s;
    title.stemPicture = kJpeg;
    title.difficulty = 6;
    title.knowledge = u"阅读|概括"_s;
    title.blocked = true;
    QList<Rec> records = {title};
    for (const char* number : {"1", "3", "12"}) {
        Rec sub = choiceRec(u"小题"_s + QString::fromLatin1(number), u"甲\r\n乙"_s, u"甲"_s);
        sub.type = u"阅读理解"_s;
        sub.groupName = u"阅读一"_s;
        sub.groupNumber = QString::fromLatin1(number);
        sub.difficulty = 6;
        sub.blocked = true;
        sub.fixed = true;
        records.append(sub);
    }
    Rec picture = rec(u"选择"_s, u"如图"_s, u"DB"_s);
    picture.choice = true;
    picture.stemPicture = kPng;
    picture.answerPicture = kJpeg;
    Rec judged = rec(u"判断"_s, u"<b>不是</b>标签 & 符号"_s, u"√"_s);
    judged.stem2 = u"图后的话\r\n两行"_s;
    // The first 难度 tag is the difficulty; one among the knowledge points stays one.
    judged.knowledge = u"难度3|概念"_s;
    Rec odd = rec(u"判断"_s, u"控制字符"_s + QChar(2) + u"与\r单独回车"_s, u"看情况\n再说"_s);
    odd.score = 100;
    Rec star = rec(u"名词"_s, u"通配"_s, u"a*b\r\nc"_s);
    star.difficulty = 9;
    records += {picture,
                judged,
                odd,
                star,
                choiceRec(u"多选"_s, u"①\r\n②\r\nx  y "_s, u"x  y \r\n①"_s),
                rec(u"论述 / 写作"_s, QString(), u"要点"_s)};

    const auto result = readBack(written(records, u"数学/初中"_s));
    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    EXPECT_EQ(result.groupCount, 1);
    EXPECT_TRUE(result.skipped.isEmpty());
    ASSERT_EQ(result.questions.size(), records.size());
    for (int i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(i);
        QVariantList expected = records.at(i).values();
        const auto& q = result.questions.at(i);
        // The reader hands the pictures over as the file holds them.
        EXPECT_EQ(q.stemPicture.bytes, expected.at(Q::StemPictureData - 1).toByteArray());
        EXPECT_EQ(q.answerPicture.bytes, expected.at(Q::AnswerPictureData - 1).toByteArray());
        expected[Q::StemPictureData - 1] = QByteArray();
        expected[Q::AnswerPictureData - 1] = QByteArray();
        if (i == 0)
            expected[Q::Score - 1] = 0; // a title's score is its sub-questions' sum, counted on import
        for (int f = 1; f <= Q::kFieldCount; ++f)
            EXPECT_EQ(q.values.at(f - 1), expected.at(f - 1)) << Q::fieldName(Q::Field(f)).toStdString();
    }
    EXPECT_EQ(result.questions.at(4).stemPicture.fileName, u"stem.png"_s);
}

// ---- Files written by hand after the format's documentation

QByteArray quiz(const QString& body) {
    return (u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n"_s + body + u"\n</quiz>\n"_s).toUtf8();
}

TEST(MoodleXmlReaderTest, HandWrittenQuestionOfEachType) {
    const QString png = QString::fromLatin1(kPng.toBase64());
    const QByteArray file = quiz(uR"(
<question type="category"><category><text>$course$/top/Default for 物理</text></category></question>
<question type="multichoice">
  <name><text>Q1</text></name>
  <questiontext format="html"><text><![CDATA[<p>Which is a <b>vector</b>?</p>]]></text></questiontext>
  <generalfeedback format="html"><text></text></generalfeedback>
  <defaultgrade>2.0000000</defaultgrade><penalty>0.3333333</penalty><hidden>0</hidden>
  <single>true</single><shuffleanswers>true</shuffleanswers><answernumbering>abc</answernumbering>
  <answer fraction="100" format="html"><text><![CDATA[<p>velocity</p>]]></text><feedback format="html"><text>Yes</text></feedback></answer>
  <answer fraction="0" format="html"><text>mass</text><feedback format="html"><text></text></feedback></answer>
  <answer fraction="-50" format="html"><text>time</text></answer>
  <tags><tag><text>mechanics</text></tag><tag><text>难度4</text></tag></tags>
</question>
<question type="multichoice">
  <name><text>Q2</text></name>
  <questiontext format="html"><text>Pick the primes</text></questiontext>
  <defaultgrade>3</defaultgrade><single>false</single>
  <answer fraction="50"><text>2</text></answer>
  <answer fraction="50"><text>3</text></answer>
  <answer fraction="-100"><text>4</text></answer>
</question>
<question type="truefalse">
  <name><text>Q3</text></name>
  <questiontext format="html"><text>The sun is a star.</text></questiontext>
  <answer fraction="100"><text>true</text><feedback><text>Correct!</text></feedback></answer>
  <answer fraction="0"><text>false</text><feedback><text>Ooops!</text></feedback></answer>
</question>
<question type="shortanswer">
  <name><text>Q4</text></name>
  <questiontext format="html"><text>Unit of force?</text></questiontext>
  <answer fraction="100"><text>newton</text><feedback><text>Correct!</text></feedback></answer>
  <answer fraction="50"><text>N</text></answer>
</question>
<question type="numerical">
  <name><text>Q5</text></name>
  <questiontext format="html"><text>g in m/s^2?</text></questiontext>
  <answer fraction="100"><text>9.8</text><tolerance>0.1</tolerance><feedback><text></text></feedback></answer>
</question>
<question type="essay">
  <name><text>Q6</text></name>
  <questiontext format="html"><text><![CDATA[<p>Explain inertia. <img src="@@PLUGINFILE@@/fig.png" alt=""></p>]]></text>
    <file name="fig.png" path="/" encoding="base64">)"_s +
                                 png + uR"(</file></questiontext>
  <generalfeedback format="html"><text>Newton's first law</text></generalfeedback>
  <defaultgrade>10</defaultgrade>
  <responseformat>editor</responseformat><responsefieldlines>15</responsefieldlines><attachments>0</attachments>
  <graderinfo format="html"><text><![CDATA[<p>Mention <i>mass</i>.</p>]]></text></graderinfo>
  <responsetemplate format="html"><text></text></responsetemplate>
</question>
<question type="matching"><name><text>M</text></name><questiontext><text>m</text></questiontext></question>
<question type="cloze"><name><text>C</text></name><questiontext><text>{1:SA:=x}</text></questiontext></question>
<question type="matching"><name><text>M2</text></name><questiontext><text>m</text></questiontext></question>
<question type="category"><category><text>$course$/top/Reading</text></category></question>
<question type="description">
  <name><text>Passage one</text></name>
  <questiontext format="html"><text>Read the passage.</text></questiontext>
  <defaultgrade>0</defaultgrade><hidden>1</hidden>
</question>
<question type="truefalse">
  <name><text>R1</text></name>
  <questiontext format="html"><text>The passage is long.</text></questiontext>
  <defaultgrade>4</defaultgrade>
  <answer fraction="0"><text>true</text></answer><answer fraction="100"><text>false</text></answer>
</question>
<question type="essay">
  <name><text>R2</text></name>
  <questiontext format="html"><text>Summarise.</text></questiontext>
</question>
<question type="category"><category><text>$course$/top/Other</text></category></question>
<question type="shortanswer">
  <name><text>Alone</text></name>
  <questiontext format="plain_text"><text>3*3=?</text></questiontext>
  <answer fraction="100"><text>9</text></answer>
</question>
)"_s);
    const auto result = readBack(file);
    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    EXPECT_EQ(result.skipped, (QMap<QString, int>{{u"matching"_s, 2}, {u"cloze"_s, 1}}));
    EXPECT_EQ(result.groupCount, 1);

    struct Expect {
        QString group, number, stem1, stem2, answer, type;
        int difficulty, score;
        bool choice, blocked;
        QString knowledge;
    };
    const Expect expected[] = {
        {{},
         {},
         u"Which is a vector?"_s,
         u"velocity\r\nmass\r\ntime"_s,
         u"velocity"_s,
         u"选择"_s,
         4,
         2,
         true,
         false,
         u"mechanics"_s},
        {{}, {}, u"Pick the primes"_s, u"2\r\n3\r\n4"_s, u"2\r\n3"_s, u"选择"_s, 1, 3, true, false, {}},
        {{}, {}, u"The sun is a star."_s, {}, u"对"_s, u"判断"_s, 1, 1, false, false, {}},
        {{}, {}, u"Unit of force?"_s, {}, u"newton"_s, u"填空"_s, 1, 1, false, false, {}},
        {{}, {}, u"g in m/s^2?"_s, {}, u"9.8"_s, u"填空"_s, 1, 1, false, false, {}},
        {{}, {}, u"Explain inertia."_s, {}, u"Mention mass."_s, u"问答"_s, 1, 10, false, false, {}},
        {u"Passageone"_s, u"0"_s, u"Read the passage."_s, {}, {}, u"判断"_s, 1, 0, false, true, {}},
        {u"Passageone"_s, u"1"_s, u"The passage is long."_s, {}, u"错"_s, u"判断"_s, 1, 4, false, false, {}},
        {u"Passageone"_s, u"2"_s, u"Summarise."_s, {}, u"请输入答案"_s, u"判断"_s, 1, 1, false, false, {}},
        {{}, {}, u"3*3=?"_s, {}, u"9"_s, u"填空"_s, 1, 1, false, false, {}},
    };
    ASSERT_EQ(result.questions.size(), std::size(expected));
    for (int i = 0; i < result.questions.size(); ++i) {
        SCOPED_TRACE(i);
        const QVariantList& v = result.questions.at(i).values;
        const Expect& e = expected[i];
        EXPECT_EQ(v.at(Q::GroupName - 1).toString(), e.group);
        EXPECT_EQ(v.at(Q::GroupNumber - 1).toString(), e.number);
        EXPECT_EQ(v.at(Q::StemText1 - 1).toString(), e.stem1);
        EXPECT_EQ(v.at(Q::StemText2 - 1).toString(), e.stem2);
        EXPECT_EQ(v.at(Q::Answer - 1).toString(), e.answer);
        EXPECT_EQ(v.at(Q::Type - 1).toString(), e.type);
        EXPECT_EQ(v.at(Q::Difficulty - 1).toInt(), e.difficulty);
        EXPECT_EQ(v.at(Q::Score - 1).toInt(), e.score);
        EXPECT_EQ(v.at(Q::Choice - 1).toBool(), e.choice);
        EXPECT_EQ(v.at(Q::Blocked - 1).toBool(), e.blocked);
        EXPECT_EQ(v.at(Q::KnowledgePoints - 1).toString(), e.knowledge);
    }
    const auto& essay = result.questions.at(5);
    EXPECT_EQ(essay.values.at(Q::StemPicture - 1).toString(), Q::pictureMark());
    EXPECT_EQ(essay.stemPicture.fileName, u"fig.png"_s);
    EXPECT_EQ(essay.stemPicture.bytes, kPng);
}

// A picture-option question of another program: options that are only labels.
TEST(MoodleXmlReaderTest, LabelOptionsWithAPictureAreOptionsInThePicture) {
    const QString jpeg = QString::fromLatin1(kJpeg.toBase64());
    const auto result = readBack(quiz(uR"(<question type="multichoice"><name><text>P</text></name>
  <questiontext format="html"><text><![CDATA[看图 <img src="@@PLUGINFILE@@/p.jpg">]]></text>
  <file name="p.jpg" encoding="base64">)"_s +
                                      jpeg + uR"(</file><file name="extra.jpg" encoding="base64">)"_s + jpeg +
                                      uR"(</file></questiontext>
  <answer fraction="50"><text>A</text></answer><answer fraction="0"><text>B</text></answer>
  <answer fraction="50"><text>C</text></answer></question>)"_s));
    ASSERT_TRUE(result.error.isEmpty());
    ASSERT_EQ(result.questions.size(), 1);
    const QVariantList& v = result.questions.first().values;
    EXPECT_EQ(v.at(Q::StemText2 - 1).toString(), QString());
    EXPECT_EQ(v.at(Q::Answer - 1).toString(), u"AC"_s);
    EXPECT_EQ(result.questions.first().stemPicture.fileName, u"p.jpg"_s);
    EXPECT_EQ(result.droppedPictures, 1);
}

// ---- Files that are not what they claim

TEST(MoodleXmlReaderTest, HostileFilesAreRefusedWithOneReason) {
    QByteArray deep = "<quiz><question type=\"essay\">";
    for (int i = 0; i < 5000; ++i)
        deep += "<a>";
    const std::pair<const char*, QByteArray> cases[] = {
        {"not XML", QByteArray("PK\x03\x04 this is a zip file, not a quiz")},
        {"cut short", quiz(u"<question type=\"essay\"><name><text>x"_s).left(60)},
        {"billion laughs",
         QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE quiz [\n<!ENTITY a \"aaaaaaaaaa\">\n"
                    "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n"
                    "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]>\n"
                    "<quiz><question type=\"essay\"><name><text>&c;</text></name>"
                    "</question></quiz>")},
        {"external entity",
         QByteArray("<?xml version=\"1.0\"?><!DOCTYPE quiz [<!ENTITY x SYSTEM "
                    "\"file:///etc/passwd\">]><quiz><question type=\"essay\"><name><text>&x;"
                    "</text></name></question></quiz>")},
        {"undeclared entity",
         QByteArray("<quiz><question type=\"essay\"><name><text>&x;</text></name></question></quiz>")},
        {"another root", QByteArray("<html><body>hello</body></html>")},
        {"nested without end", deep},
        {"base64 that is not base64",
         quiz(
             u"<question type=\"essay\"><name><text>坏图</text></name><questiontext "
             u"format=\"html\"><text>x</text>"
             u"<file name=\"a.png\" encoding=\"base64\">!!!不是base64!!!</file></questiontext></question>"_s)},
        {"empty", QByteArray()},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        const auto result = readBack(bytes);
        EXPECT_FALSE(result.error.isEmpty());
        EXPECT_TRUE(result.questions.isEmpty());
    }
    EXPECT_EQ(readBack(cases[2].second).error, u"文件含有文档类型定义或实体引用，为安全起见不予读取。"_s);
    EXPECT_EQ(readBack(cases[5].second).error, u"文件不是Moodle XML题库文件（没有quiz根元素）。"_s);
    EXPECT_EQ(readBack(cases[7].second).error, u"试题“坏图”的图片 a.png 不是有效的base64数据。"_s);
    EXPECT_TRUE(readBack(cases[0].second).error.startsWith(u"文件不是有效的XML文件（第1行"_s));
}

} // namespace
} // namespace helan
