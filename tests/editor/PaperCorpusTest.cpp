// The paper import on a corpus of papers made here: text files in UTF-8 and
// GBK, .docx files typed through the project's own writer, and .docx files put
// together from the markup Word itself writes (list numbering, tables, tabs,
// runs cut in the middle of a word, equations, embedded objects, pictures).
// Every question's type, stem, options, answer, score and pictures as the paper
// gives them, and a note or a report line for whatever cannot be understood.
#include "PaperImportFixture.h"
#include "compose/DocxDocument.h"
#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;

namespace helan::test {
namespace {

using P = PaperFiles;

class PaperCorpusTest : public PaperImportFixture {};

// ---- 1. Text, UTF-8: headings with scores, options one a line, answers inline.
TEST_F(PaperCorpusTest, TextWithInlineAnswers) {
    const QString path = paperFile(u"期中.txt"_s);
    ASSERT_TRUE(P::writeText(path, u"七年级语文期中测试\n"
                                   "一、选择题（每小题3分，共6分）\n"
                                   "1. 下列词语中加点字读音正确的是（ ）\n"
                                   "A. 甲\n"
                                   "B. 乙\n"
                                   "C. 丙\n"
                                   "D. 丁\n"
                                   "答案：C\n"
                                   "2、下列句子没有语病的一项是（ ）\n"
                                   "A、句一\n"
                                   "B、句二\n"
                                   "【答案】A\n"
                                   "【解析】句二缺主语。\n"
                                   "二．填空题（每题2分，共4分）\n"
                                   "3．床前明月光，______。\n"
                                   "【答案】疑是地上霜\n"
                                   "4．______，低头思故乡。\n"
                                   "答案：举头望明月\n"
                                   "三、解答题\n"
                                   "5.（10分）简述《背影》的主要内容。\n"
                                   "第二行题干\n"
                                   "答案：写父亲送别。\n"
                                   "表现父爱。\n"_s));
    readPaper(path);
    expectQuestions({
        {u"1"_s,
         u"选择"_s,
         u"下列词语中加点字读音正确的是（ ）"_s,
         {u"甲"_s, u"乙"_s, u"丙"_s, u"丁"_s},
         u"丙"_s,
         3},
        {u"2"_s, u"选择"_s, u"下列句子没有语病的一项是（ ）"_s, {u"句一"_s, u"句二"_s}, u"句一"_s, 3},
        {u"3"_s, u"填空"_s, u"床前明月光，______。"_s, {}, u"疑是地上霜"_s, 2},
        {u"4"_s, u"填空"_s, u"______，低头思故乡。"_s, {}, u"举头望明月"_s, 2},
        {u"5"_s,
         u"问答"_s,
         u"简述《背影》的主要内容。\r\n第二行题干"_s,
         {},
         u"写父亲送别。\r\n表现父爱。"_s,
         10},
    });
    EXPECT_EQ(m_import->paper().questions.at(1).explanation, u"【解析】句二缺主语。"_s);
    // The title line is said to be left out.
    ASSERT_EQ(m_import->report().size(), 1);
    EXPECT_TRUE(m_import->report().first().contains(u"七年级语文期中测试"_s));

    // 保留解析 appends the explanation to the answer of a question that is not a
    // choice question; a choice question's answer stays its options.
    m_import->setKeepExplanations(true);
    EXPECT_EQ(m_import->row(1).answer, u"句一"_s);
    EXPECT_TRUE(m_import->row(1).notes.join(QString()).contains(u"解析没有并入答案"_s));
}

// ---- 2. Text, GBK: full-width numbers, options on one line, answers at the end.
TEST_F(PaperCorpusTest, GbkTextWithAnswerSection) {
    const QString path = paperFile(u"单元.txt"_s);
    ASSERT_TRUE(P::writeText(path,
                             u"一、选择题（本大题共3小题，每小题4分，共12分）\r\n"
                             "在每小题给出的四个选项中，只有一项是符合题目要求的。\r\n"
                             "１．２＋３＝（ ）　　A．４　　B．５　　C．６　　D．７\r\n"
                             "２．下列数中最大的是（ ）\r\n"
                             "A．1   B．2   C．3   D．4\r\n"
                             "３．下列是偶数的是（ ）\r\n"
                             "（A）1  （B）2  （C）3  （D）4\r\n"
                             "二、判断题（每题1分）\r\n"
                             "４．0是自然数。\r\n"
                             "５．1是质数。\r\n"
                             "参考答案\r\n"
                             "1～3 BDB\r\n"
                             "4．√  5．×\r\n"_s,
                             true));
    readPaper(path);
    expectQuestions({
        {u"1"_s, u"选择"_s, u"２＋３＝（ ）"_s, {u"４"_s, u"５"_s, u"６"_s, u"７"_s}, u"５"_s, 4},
        {u"2"_s, u"选择"_s, u"下列数中最大的是（ ）"_s, {u"1"_s, u"2"_s, u"3"_s, u"4"_s}, u"4"_s, 4},
        {u"3"_s, u"选择"_s, u"下列是偶数的是（ ）"_s, {u"1"_s, u"2"_s, u"3"_s, u"4"_s}, u"2"_s, 4},
        {u"4"_s, u"判断"_s, u"0是自然数。"_s, {}, u"√"_s, 1},
        {u"5"_s, u"判断"_s, u"1是质数。"_s, {}, u"×"_s, 1},
    });
    // The instruction under the heading is no question and is said to be left out.
    ASSERT_EQ(m_import->report().size(), 1);
    EXPECT_TRUE(m_import->report().first().contains(u"符合题目要求"_s));
}

// ---- 3. Text: "（1）" numbers, a table of answers, a heading without scores.
TEST_F(PaperCorpusTest, ParenthesisedNumbersAndAnswerTable) {
    const QString path = paperFile(u"判断.txt"_s);
    ASSERT_TRUE(P::writeText(path, u"一、判断题\n"
                                   "（1）地球是圆的。\n"
                                   "(2) 太阳从西边升起。\n"
                                   "（3）水往低处流。\n"
                                   "二、问答题\n"
                                   "（4）说说你的理想。\n"
                                   "答案\n"
                                   "题号  1  2  3\n"
                                   "答案  √  ×  √\n"
                                   "4. 当老师。\n"_s));
    readPaper(path);
    expectQuestions({
        {u"1"_s, u"判断"_s, u"地球是圆的。"_s, {}, u"√"_s, 0},
        {u"2"_s, u"判断"_s, u"太阳从西边升起。"_s, {}, u"×"_s, 0},
        {u"3"_s, u"判断"_s, u"水往低处流。"_s, {}, u"√"_s, 0},
        {u"4"_s, u"问答"_s, u"说说你的理想。"_s, {}, u"当老师。"_s, 0},
    });
}

// ---- 4. Text: a reading group announced by its range, then a question after it.
TEST_F(PaperCorpusTest, ReadingGroupByRange) {
    const QString path = paperFile(u"阅读.txt"_s);
    ASSERT_TRUE(P::writeText(path, u"二、现代文阅读（每小题3分）\n"
                                   "阅读下面的短文，完成6～7题。\n"
                                   "　　春天来了，小草绿了。\n"
                                   "　　燕子飞回来了。\n"
                                   "6．短文写的是哪个季节？\n"
                                   "答案：春天\n"
                                   "7．飞回来的是什么？\n"
                                   "答案：燕子\n"
                                   "8．写出一个描写秋天的词语。\n"
                                   "答案：秋高气爽\n"_s));
    readPaper(path);
    // 现代文阅读 is no type of the library: its questions are marked.
    const QString note = u"题型“现代文阅读”不在题型库中"_s;
    expectQuestions({
        {u"材料"_s,
         u"现代文阅读"_s,
         u"阅读下面的短文，完成6～7题。\r\n　　春天来了，小草绿了。\r\n　　燕子飞回来了。"_s,
         {},
         QString(),
         6,
         false,
         false,
         {note},
         0},
        {u"6"_s, u"现代文阅读"_s, u"短文写的是哪个季节？"_s, {}, u"春天"_s, 3, false, false, {note}, 1},
        {u"7"_s, u"现代文阅读"_s, u"飞回来的是什么？"_s, {}, u"燕子"_s, 3, false, false, {note}, 2},
        {u"8"_s, u"现代文阅读"_s, u"写出一个描写秋天的词语。"_s, {}, u"秋高气爽"_s, 3, false, false, {note}},
    });
    EXPECT_TRUE(m_import->row(0).newType);

    // 导入 asks about the type once; it comes into the library, and the group
    // under a name of its own.
    m_prompter.answerYesNo(true);
    m_prompter.expectMessage(u"成功导入4条记录，0条重复，0条不完整。"_s);
    importTicked();
    EXPECT_TRUE(m_prompter.done());
    EXPECT_TRUE(editor().typeNames().contains(u"现代文阅读"_s));
    const QStringList rows = bankRows();
    ASSERT_EQ(rows.size(), 4);
    EXPECT_TRUE(rows[0].startsWith(u"阅读-1|0|阅读下面的短文"_s)) << rows[0].toStdString();
    EXPECT_TRUE(rows[1].startsWith(u"阅读-1|1|短文写的是哪个季节？"_s)) << rows[1].toStdString();
    EXPECT_TRUE(rows[3].startsWith(u"||写出一个描写秋天的词语。"_s)) << rows[3].toStdString();
}

// ---- 5. Text without headings: the type from the question itself.
TEST_F(PaperCorpusTest, NoHeadingsTypesFromTheQuestions) {
    const QString path = paperFile(u"练习.txt"_s);
    ASSERT_TRUE(P::writeText(path, u"1. 中国的首都是（ ）A. 上海 B. 北京\n"
                                   "答案：B\n"
                                   "2. 鲸是鱼类。\n"
                                   "答案：×\n"
                                   "3. 一年有______个月。\n"
                                   "答案：12\n"
                                   "4. 为什么要节约用水？\n"
                                   "答案：水资源有限。\n"_s));
    readPaper(path);
    expectQuestions({
        {u"1"_s, u"选择"_s, u"中国的首都是（ ）"_s, {u"上海"_s, u"北京"_s}, u"北京"_s, 0},
        {u"2"_s, u"判断"_s, u"鲸是鱼类。"_s, {}, u"×"_s, 0},
        {u"3"_s, u"填空"_s, u"一年有______个月。"_s, {}, u"12"_s, 0},
        {u"4"_s, u"问答"_s, u"为什么要节约用水？"_s, {}, u"水资源有限。"_s, 0},
    });
}

// ---- 6. Text: circled statements in a stem, several correct options, a
// question whose answer cannot be read.
TEST_F(PaperCorpusTest, CircledStatementsAndSeveralAnswers) {
    const QString path = paperFile(u"多选.txt"_s);
    ASSERT_TRUE(P::writeText(path, u"一、选择题（每题5分）\n"
                                   "1．下列说法正确的是（ ）\n"
                                   "①水是无色的  ②冰是固体  ③铁会生锈\n"
                                   "A．①②  B．②③  C．①③  D．①②③\n"
                                   "答案：D\n"
                                   "2．下列属于哺乳动物的是（ ）\n"
                                   "A．鲸  B．鲨鱼  C．蝙蝠  D．企鹅\n"
                                   "答案：A、C\n"
                                   "3．下列是质数的是（ ）\n"
                                   "A．4  B．6\n"
                                   "答案：E\n"
                                   "4．选出正确的读音：\n"
                                   "①zhòng  ②chóng\n"
                                   "答案：②\n"_s));
    readPaper(path);
    expectQuestions({
        {u"1"_s,
         u"选择"_s,
         u"下列说法正确的是（ ）\r\n①水是无色的  ②冰是固体  ③铁会生锈"_s,
         {u"①②"_s, u"②③"_s, u"①③"_s, u"①②③"_s},
         u"①②③"_s,
         5},
        {u"2"_s,
         u"选择"_s,
         u"下列属于哺乳动物的是（ ）"_s,
         {u"鲸"_s, u"鲨鱼"_s, u"蝙蝠"_s, u"企鹅"_s},
         u"鲸\r\n蝙蝠"_s,
         5},
        {u"3"_s,
         u"选择"_s,
         u"下列是质数的是（ ）"_s,
         {u"4"_s, u"6"_s},
         u"E"_s,
         5,
         false,
         false,
         {u"对不上选项"_s}},
        {u"4"_s, u"选择"_s, u"选出正确的读音："_s, {u"zhòng"_s, u"chóng"_s}, u"chóng"_s, 5},
    });
    // The answer that names no option fails the question rules: it is marked
    // incomplete, and comes in only while it stays ticked.
    EXPECT_EQ(m_import->row(2).incomplete, u"答案选项内容不能超出题目选项内容！"_s);
    m_prompter.expectMessage(u"成功导入4条记录，0条重复，1条不完整。"_s);
    importTicked();
    EXPECT_EQ(m_transfer->incompleteCount(), 1);
}

// ---- 7. Text: an unknown heading, a heading with an instruction, a question
// without an answer.
TEST_F(PaperCorpusTest, UnknownHeadingAndMissingAnswer) {
    const QString path = paperFile(u"实验.txt"_s);
    ASSERT_TRUE(P::writeText(path, u"一、实验探究题（每题8分）\n"
                                   "1. 设计实验证明植物需要光。\n"
                                   "二、名词解释\n"
                                   "2. 光合作用\n"
                                   "答案：绿色植物利用光能制造有机物的过程。\n"_s));
    readPaper(path);
    expectQuestions({
        {u"1"_s,
         u"实验探究"_s,
         u"设计实验证明植物需要光。"_s,
         {},
         QString(),
         8,
         false,
         false,
         {u"题型“实验探究”不在题型库中"_s, u"没有找到答案"_s}},
        {u"2"_s, u"名词"_s, u"光合作用"_s, {}, u"绿色植物利用光能制造有机物的过程。"_s, 0},
    });
    EXPECT_EQ(m_import->row(0).incomplete, u"请输入答案！"_s);
    EXPECT_EQ(m_import->summary(), u"读出2道试题，1道不完整，0道需要留意。"_s);

    // 题型 for all: the question takes a type of the library.
    m_import->setTypeForAll(u"问答"_s);
    EXPECT_EQ(m_import->row(0).type, u"问答"_s);
    EXPECT_FALSE(m_import->row(0).newType);
    // No to the new type leaves its questions out.
    m_import->setTypeForAll(QString());
    m_prompter.answerYesNo(false);
    m_prompter.expectMessage(u"成功导入1条记录，0条重复，0条不完整。"_s);
    importTicked();
    EXPECT_EQ(bankRows().size(), 1);
}

// ---- 8. .docx by the project's writer: headings, pictures, answers at the end.
TEST_F(PaperCorpusTest, OwnWriterDocxWithPictures) {
    DocxDocument d;
    d.setAlignment(1);
    d.typeText(u"小测验  试题"_s);
    d.typeParagraph();
    d.setAlignment(0);
    d.setFontSize(14);
    d.setBold(1);
    d.typeText(u"一、选择（每题2分，共4分）"_s);
    d.typeParagraph();
    d.setFontSize(10);
    d.setBold(0);
    d.setLeftIndent(1.5);
    d.setFirstLineIndent(-1.5);
    d.typeText(u"1. 如图，三角形的个数是"_s);
    d.typeParagraph();
    d.setLeftIndent(3.2);
    d.addPicture(P::jpegBytes(Qt::red));
    d.typeParagraph();
    d.typeText(u"A. 1     B. 2     C. 3     "_s);
    d.typeParagraph();
    d.typeText(u"2. 看图选答案"_s);
    d.typeParagraph();
    d.addPicture(P::pngBytes(Qt::green));
    d.typeParagraph();
    d.setFontSize(14);
    d.typeText(u"二、问答（每题6分，共6分）"_s);
    d.typeParagraph();
    d.setFontSize(10);
    d.typeText(u"3. 画出函数图像。"_s);
    d.typeParagraph();
    d.typeText(u"参考答案"_s);
    d.typeParagraph();
    d.typeText(u"一、选择"_s);
    d.typeParagraph();
    d.typeText(u"1. C        2. B"_s);
    d.typeParagraph();
    d.typeText(u"二、问答"_s);
    d.typeParagraph();
    d.typeText(u"3. 见图"_s);
    d.typeParagraph();
    d.addPicture(P::pngBytes(Qt::blue));
    const QString path = paperFile(u"小测验.docx"_s);
    ASSERT_TRUE(d.save(path));

    readPaper(path);
    expectQuestions({
        {u"1"_s, u"选择"_s, u"如图，三角形的个数是"_s, {u"1"_s, u"2"_s, u"3"_s}, u"3"_s, 2, true},
        // Options drawn in the picture: the answer is their label.
        {u"2"_s, u"选择"_s, u"看图选答案"_s, {}, u"B"_s, 2, true},
        {u"3"_s, u"问答"_s, u"画出函数图像。"_s, {}, u"见图"_s, 6, false, true},
    });
    EXPECT_TRUE(m_import->paper().questions.at(1).choice);

    m_prompter.expectMessage(u"成功导入3条记录，0条重复，0条不完整。"_s);
    importTicked();
    // JPEG pictures are kept as they are; others become JPEG as the editor makes them.
    ASSERT_TRUE(m_store.setCurrent(course()));
    ASSERT_TRUE(m_store.goTo(1));
    EXPECT_EQ(m_store.read(QuestionRecord::StemPictureData).toByteArray(), P::jpegBytes(Qt::red));
    ASSERT_TRUE(m_store.goTo(2));
    EXPECT_TRUE(m_store.read(QuestionRecord::StemPictureData).toByteArray().startsWith("\xFF\xD8"));
    ASSERT_TRUE(m_store.goTo(3));
    EXPECT_TRUE(m_store.read(QuestionRecord::AnswerPictureData).toByteArray().startsWith("\xFF\xD8"));
    expectBankMatchesGrid();
}

// ---- 9. Hand-built .docx: Word's automatic numbering for headings, questions
// and options.
TEST_F(PaperCorpusTest, WordListNumbering) {
    const QString numbering =
        u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
        "<w:numbering xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
        "<w:abstractNum w:abstractNumId=\"0\"><w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/>"
        "<w:numFmt w:val=\"chineseCounting\"/><w:lvlText w:val=\"%1、\"/><w:suff w:val=\"nothing\"/></w:lvl>"
        "</w:abstractNum>"
        "<w:abstractNum w:abstractNumId=\"1\"><w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/>"
        "<w:numFmt w:val=\"decimal\"/><w:lvlText w:val=\"%1.\"/></w:lvl>"
        "<w:lvl w:ilvl=\"1\"><w:start w:val=\"1\"/><w:numFmt w:val=\"upperLetter\"/>"
        "<w:lvlText w:val=\"%2.\"/></w:lvl></w:abstractNum>"
        "<w:num w:numId=\"1\"><w:abstractNumId w:val=\"0\"/></w:num>"
        "<w:num w:numId=\"2\"><w:abstractNumId w:val=\"1\"/></w:num>"
        "</w:numbering>"_s;
    const auto numbered = [](int num, int level, const QString& text) {
        return u"<w:p><w:pPr><w:numPr><w:ilvl w:val=\""_s + QString::number(level) +
               u"\"/><w:numId w:val=\""_s + QString::number(num) + u"\"/></w:numPr></w:pPr>"_s +
               P::run(text) + u"</w:p>"_s;
    };
    const QString body = numbered(1, 0, u"选择题（每题3分）"_s) + numbered(2, 0, u"一加一等于几？"_s) +
                         numbered(2, 1, u"一"_s) + numbered(2, 1, u"二"_s) + P::paragraph(u"答案：B"_s) +
                         numbered(2, 0, u"二加二等于几？"_s) + numbered(2, 1, u"三"_s) +
                         numbered(2, 1, u"四"_s) + P::paragraph(u"答案：B"_s) + numbered(1, 0, u"填空题"_s) +
                         numbered(2, 0, u"三加三等于____。"_s) + P::paragraph(u"答案：六"_s);
    const QString path = paperFile(u"编号.docx"_s);
    ASSERT_TRUE(P::writeDocx(
        path, body, {}, {{u"word/numbering.xml"_s, numbering.toUtf8()}},
        {u"<Relationship Id=\"rIdNum\" "
         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/numbering\" "
         "Target=\"numbering.xml\"/>"_s}));
    readPaper(path);
    expectQuestions({
        {u"1"_s, u"选择"_s, u"一加一等于几？"_s, {u"一"_s, u"二"_s}, u"二"_s, 3},
        {u"2"_s, u"选择"_s, u"二加二等于几？"_s, {u"三"_s, u"四"_s}, u"四"_s, 3},
        {u"3"_s, u"填空"_s, u"三加三等于____。"_s, {}, u"六"_s, 0},
    });
}

// ---- 10. Hand-built .docx: options in a table and after tabs, runs cut in the
// middle of words, answers in bold runs.
TEST_F(PaperCorpusTest, WordTablesTabsAndSplitRuns) {
    const QString table = u"<w:tbl><w:tblPr/><w:tblGrid/>"
                          "<w:tr><w:tc><w:p><w:r><w:t>A．红</w:t></w:r></w:p></w:tc>"
                          "<w:tc><w:p><w:r><w:t>B．黄</w:t></w:r></w:p></w:tc></w:tr>"
                          "<w:tr><w:tc><w:p><w:r><w:t>C．蓝</w:t></w:r></w:p></w:tc>"
                          "<w:tc><w:p><w:r><w:t>D．绿</w:t></w:r></w:p></w:tc></w:tr></w:tbl>"_s;
    const QString body =
        P::paragraph(u"一、选择题（每小题2分，共4分）"_s) +
        // "1．天空是什么颜色的？" in three runs, one of them with a bookmark between.
        P::paragraphOf(u"<w:r><w:t>1</w:t></w:r><w:r><w:t>．天空是</w:t></w:r><w:bookmarkStart w:id=\"0\" "
                       "w:name=\"x\"/><w:r><w:rPr><w:b/></w:rPr><w:t>什么颜色的？</w:t></w:r>"_s) +
        table +
        P::paragraphOf(u"<w:r><w:t>【答案】</w:t></w:r><w:r><w:rPr><w:b/></w:rPr><w:t>C</w:t></w:r>"_s) +
        P::paragraph(u"2．草是什么颜色的？"_s) +
        P::paragraphOf(u"<w:r><w:t>A．绿</w:t></w:r><w:r><w:tab/><w:t>B．紫</w:t></w:r>"_s) +
        P::paragraph(u"【答案】A"_s);
    const QString path = paperFile(u"表格.docx"_s);
    ASSERT_TRUE(P::writeDocx(path, body));
    readPaper(path);
    expectQuestions({
        {u"1"_s, u"选择"_s, u"天空是什么颜色的？"_s, {u"红"_s, u"黄"_s, u"蓝"_s, u"绿"_s}, u"蓝"_s, 2},
        {u"2"_s, u"选择"_s, u"草是什么颜色的？"_s, {u"绿"_s, u"紫"_s}, u"绿"_s, 2},
    });
}

// ---- 11. Hand-built .docx: equations cannot be read as text.
TEST_F(PaperCorpusTest, WordEquationsAreMarked) {
    const QString math = u"<m:oMath><m:r><m:t>x</m:t></m:r><m:sSup><m:e><m:r><m:t>y</m:t></m:r></m:e>"
                         "<m:sup><m:r><m:t>2</m:t></m:r></m:sup></m:sSup></m:oMath>"_s;
    const QString ole =
        u"<w:r><w:object><v:shape id=\"s1\"><v:imagedata r:id=\"rIdPic1\" o:title=\"\"/></v:shape>"
        "<o:OLEObject Type=\"Embed\" ProgID=\"Equation.3\" ShapeID=\"s1\" r:id=\"rIdOle\"/>"
        "</w:object></w:r>"_s;
    const QString body = P::paragraph(u"一、填空题（每题4分）"_s) +
                         P::paragraphOf(P::run(u"1. 化简 "_s) + math + P::run(u" 的结果是____。"_s)) +
                         P::paragraph(u"答案：xy"_s) + P::paragraphOf(P::run(u"2. 解方程 "_s) + ole) +
                         P::paragraph(u"答案：x=1"_s);
    const QString path = paperFile(u"公式.docx"_s);
    ASSERT_TRUE(P::writeDocx(path, body, {{u"image1.wmf"_s, QByteArray("\xD7\xCD\xC6\x9A not really", 16)}}));
    readPaper(path);
    const QString note = u"含有Word公式，已标作“〔公式〕”"_s;
    expectQuestions({
        {u"1"_s, u"填空"_s, u"化简 〔公式〕 的结果是____。"_s, {}, u"xy"_s, 4, false, false, {note}},
        {u"2"_s, u"填空"_s, u"解方程 〔公式〕"_s, {}, u"x=1"_s, 4, false, false, {note}},
    });
    // The report lists them too.
    EXPECT_TRUE(m_import->report().contains(
        u"第1题、第2题含有Word公式，读不成文字，已在公式的位置标上“〔公式〕”。"_s))
        << m_import->report().join(u"\n"_s).toStdString();
}

// ---- 12. Hand-built .docx: two pictures in a stem, a picture in an answer, a
// picture no program can show, a VML picture.
TEST_F(PaperCorpusTest, WordPictures) {
    const QString vml = u"<w:r><w:pict><v:shape><v:imagedata r:id=\"rIdPic4\"/></v:shape></w:pict></w:r>"_s;
    const QString body =
        P::paragraph(u"一、问答题（每题5分）"_s) +
        P::paragraphOf(P::run(u"1. 比较两幅图。"_s) + P::pictureRun(1)) + P::paragraphOf(P::pictureRun(2)) +
        P::paragraphOf(P::run(u"答案：如图"_s)) + P::paragraphOf(P::pictureRun(2)) +
        P::paragraphOf(P::run(u"2. 这是什么图形？"_s) + P::pictureRun(3)) + P::paragraph(u"答案：圆"_s) +
        P::paragraphOf(P::run(u"3. 老式图片"_s) + vml) + P::paragraph(u"答案：方"_s);
    const QString path = paperFile(u"图片.docx"_s);
    ASSERT_TRUE(P::writeDocx(path, body,
                             {{u"image1.png"_s, P::pngBytes(Qt::red)},
                              {u"image2.jpeg"_s, P::jpegBytes(Qt::blue)},
                              {u"image3.emf"_s, QByteArray("\x01\x00\x00\x00 EMF header", 15)},
                              {u"image4.png"_s, P::pngBytes(Qt::yellow)}}));
    readPaper(path);
    expectQuestions({
        {u"1"_s,
         u"问答"_s,
         u"比较两幅图。"_s,
         {},
         u"如图"_s,
         5,
         true,
         true,
         {u"题干有2张图片，只导入了第一张"_s}},
        {u"2"_s,
         u"问答"_s,
         u"这是什么图形？"_s,
         {},
         u"圆"_s,
         5,
         false,
         false,
         {u"image3.emf的格式无法显示"_s}},
        {u"3"_s, u"问答"_s, u"老式图片"_s, {}, u"方"_s, 5, true},
    });
}

// ---- 13. Hand-built .docx: a reading section with two passages and no ranges.
TEST_F(PaperCorpusTest, WordReadingSectionWithTwoPassages) {
    const QString body = P::paragraph(u"二、阅读理解（每小题2分）"_s) + P::paragraph(u"（一）"_s) +
                         P::paragraph(u"小明每天早上七点起床。"_s) + P::paragraph(u"1．小明几点起床？"_s) +
                         P::paragraph(u"A．六点  B．七点"_s) +
                         P::paragraph(u"（二）小红喜欢画画，也喜欢唱歌。"_s) +
                         P::paragraph(u"2．小红喜欢什么？"_s) + P::paragraph(u"A．跳舞  B．画画"_s) +
                         P::paragraph(u"3．小红还喜欢什么？"_s) + P::paragraph(u"A．唱歌  B．游泳"_s) +
                         P::paragraph(u"答案"_s) + P::paragraph(u"1．B  2．B  3．A"_s);
    const QString path = paperFile(u"阅读理解.docx"_s);
    ASSERT_TRUE(P::writeDocx(path, body));
    readPaper(path);
    const QString note = u"题型“阅读理解”不在题型库中"_s;
    expectQuestions({
        {u"材料"_s,
         u"阅读理解"_s,
         u"（一）\r\n小明每天早上七点起床。"_s,
         {},
         QString(),
         2,
         false,
         false,
         {note},
         0},
        {u"1"_s,
         u"阅读理解"_s,
         u"小明几点起床？"_s,
         {u"六点"_s, u"七点"_s},
         u"七点"_s,
         2,
         false,
         false,
         {note},
         1},
        {u"材料"_s,
         u"阅读理解"_s,
         u"（二）小红喜欢画画，也喜欢唱歌。"_s,
         {},
         QString(),
         4,
         false,
         false,
         {note},
         0},
        {u"2"_s,
         u"阅读理解"_s,
         u"小红喜欢什么？"_s,
         {u"跳舞"_s, u"画画"_s},
         u"画画"_s,
         2,
         false,
         false,
         {note},
         1},
        {u"3"_s,
         u"阅读理解"_s,
         u"小红还喜欢什么？"_s,
         {u"唱歌"_s, u"游泳"_s},
         u"唱歌"_s,
         2,
         false,
         false,
         {note},
         2},
    });
    // A group comes in whole: unticking the passage unticks its questions,
    // ticking a question ticks its passage.
    m_import->setTicked(2, false);
    EXPECT_FALSE(m_import->row(3).ticked);
    EXPECT_FALSE(m_import->row(4).ticked);
    m_import->setTicked(4, true);
    EXPECT_TRUE(m_import->row(2).ticked);
    EXPECT_FALSE(m_import->row(3).ticked);
}

// ---- 14. Importing the same paper twice: duplicates are counted, the groups of
// the second reading would get fresh names.
TEST_F(PaperCorpusTest, SecondImportCountsDuplicatesAndRenamesGroups) {
    const QString path = paperFile(u"阅读.txt"_s);
    ASSERT_TRUE(P::writeText(path, u"一、问答题\n"
                                   "阅读下面的材料，回答1～2题。\n"
                                   "材料正文。\n"
                                   "1．问一\n"
                                   "答案：答一\n"
                                   "2．问二\n"
                                   "答案：答二\n"_s));
    readPaper(path);
    m_prompter.expectMessage(u"成功导入3条记录，0条重复，0条不完整。"_s);
    importTicked();
    readPaper(path);
    m_prompter.expectMessage(u"成功导入0条记录，3条重复，0条不完整。"_s);
    importTicked();
    EXPECT_EQ(bankRows().size(), 3);

    // The same group with a changed passage: its name is taken, so it comes in
    // under a fresh one without a question.
    ASSERT_TRUE(P::writeText(path, u"一、问答题\n"
                                   "阅读下面的材料，回答1～2题。\n"
                                   "另一段材料。\n"
                                   "1．问三\n"
                                   "答案：答三\n"
                                   "2．问四\n"
                                   "答案：答四\n"_s));
    readPaper(path);
    m_prompter.expectMessage(u"成功导入3条记录，0条重复，0条不完整。"_s);
    importTicked();
    EXPECT_TRUE(m_prompter.done());
    const QStringList rows = bankRows();
    ASSERT_EQ(rows.size(), 6);
    EXPECT_TRUE(rows[3].startsWith(u"阅读-1-2|0|"_s)) << rows[3].toStdString();
    EXPECT_TRUE(rows[5].startsWith(u"阅读-1-2|2|问四"_s)) << rows[5].toStdString();
    expectBankMatchesGrid();
}

} // namespace
} // namespace helan::test
