// A paper and its answer sheet written as .docx by the program's own Word
// writer, read back into an empty course: the same questions come back, with
// their texts, options, answers, scores and pictures.
#include <algorithm>

#include <QDir>
#include <QHash>
#include <QTemporaryDir>

#include "PaperImportFixture.h"
#include "base/RandomSource.h"
#include "base/TextRules.h"
#include "compose/DocumentOpener.h"
#include "compose/DocxDocument.h"
#include "compose/PaperAssembly.h"
#include "compose/WordPaperWriter.h"
#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;

namespace helan::test {
namespace {

using Q = QuestionRecord;
using P = PaperFiles;

class NoOpener : public DocumentOpener {
public:
    bool openDocument(const QString&) override { return true; }
};

// A question of the source bank, as the composition window hands it to the
// assembly, with its pictures.
struct Source {
    PaperRow row;
    QByteArray stemPicture;
    QByteArray answerPicture;
};

QStringList sortedLines(const QString& text) {
    QStringList lines = splitCrLfLines(text);
    lines.sort();
    return lines;
}

class PaperRoundTripTest : public PaperImportFixture {
protected:
    QList<Source> sourceBank() {
        int id = 0;
        const auto make = [&](const QString& type, int score, const QString& stem1, const QString& stem2,
                              const QString& answer, bool choice = false, const QString& groupNumber = {}) {
            Source s;
            s.row.groupNumber = groupNumber;
            s.row.stem1 = stem1;
            s.row.stem2 = stem2;
            s.row.answer = answer;
            s.row.type = type;
            s.row.score = score;
            s.row.recordId = ++id;
            s.row.choice = choice;
            return s;
        };
        QList<Source> bank{
            make(u"判断"_s, 2, u"地球绕太阳转。"_s, {}, u"√"_s),
            make(u"判断"_s, 2, u"下面的说法对吗？\r\n月亮是恒星。"_s, {}, u"×"_s),
            make(u"选择"_s, 3, u"下列是偶数的是（ ）"_s, u"1\r\n2\r\n3\r\n4"_s, u"2"_s, true),
            make(u"选择"_s, 3, u"下列是质数的有（ ）"_s, u"2\r\n3\r\n4\r\n9"_s, u"3\r\n2"_s, true),
            make(u"选择"_s, 3, u"看图，选出正确的一项"_s, {}, u"C"_s, true),
            make(u"填空"_s, 4, u"床前明月光，______。"_s, {}, u"疑是地上霜"_s),
            make(u"填空"_s, 4, u"画一个半径为1的圆：______"_s, {}, u"见图"_s),
            make(u"名词"_s, 5, u"光合作用"_s, {}, u"绿色植物利用光能制造有机物。\r\n同时放出氧气。"_s),
            make(u"问答"_s, 10, u"阅读下面的材料，回答问题。\r\n材料第一行。\r\n材料第二行。"_s, {}, {},
                 false, u"0"_s),
            make(u"问答"_s, 5, u"材料写了什么？"_s, {}, u"写了春天。\r\n也写了秋天。"_s, false, u"1"_s),
            make(u"问答"_s, 5, u"你喜欢哪个季节？为什么？"_s, {}, u"春天，因为温暖。"_s, false, u"2"_s),
        };
        bank[4].stemPicture = P::jpegBytes(Qt::red, 60, 40);
        bank[6].answerPicture = P::jpegBytes(Qt::blue, 50, 50);
        bank[8].stemPicture = P::jpegBytes(Qt::green, 80, 30);
        for (Source& s : bank) {
            s.row.stemPictureMark = s.stemPicture.isEmpty() ? QString() : Q::pictureMark();
            s.row.answerPictureMark = s.answerPicture.isEmpty() ? QString() : Q::pictureMark();
        }
        return bank;
    }

    // Writes paper A and its answer sheet as the program does; the paper's path.
    QString writePaper(const QList<Source>& bank, bool continuous, int labelSet = 0,
                       const QString& majorSuffix = u"、"_s) {
        AssembledPaper paper;
        PaperSettings& s = paper.settings;
        s.courseName = u"语文"_s;
        s.compositionTime = u"20240301080000"_s;
        s.totalText = u"39"_s;
        s.similarityText = u"0%"_s;
        s.paper = u"A卷"_s;
        s.generationTime = u"20240301081500"_s;
        s.majorLabels = {u"序号"_s, u"一"_s, u"二"_s, u"三"_s, u"四"_s, u"五"_s, u"六"_s};
        s.majorSuffix = majorSuffix;
        s.majorScoreNote = true;
        s.continuousNumbering = continuous;
        s.optionLabelSet = labelSet;
        s.optionSuffix = u". "_s;
        const QHash<QString, bool> lineBreak{
            {u"判断"_s, false}, {u"选择"_s, false}, {u"填空"_s, false}, {u"名词"_s, true}, {u"问答"_s, true}};
        for (const QString& type : {u"判断"_s, u"选择"_s, u"填空"_s, u"名词"_s, u"问答"_s}) {
            int total = 0;
            for (const Source& q : bank)
                if (q.row.type == type && !q.row.isTitle())
                    total += q.row.score;
            s.types.append({type, QString(), lineBreak.value(type), QString::number(total), QString()});
        }
        QList<PaperRow> work;
        for (const Source& q : bank)
            work.append(q.row);
        PaperAssembly assembly(m_random, m_prompter, nullptr);
        EXPECT_TRUE(assembly.assemblePaper(work, paper));
        QHash<qint64, Source> byId;
        for (const Source& q : bank)
            byId.insert(q.row.recordId, q);
        const PaperPictures pictures = [byId](qint64 id, bool answer) {
            return answer ? byId.value(id).answerPicture : byId.value(id).stemPicture;
        };
        WordPaperWriter writer(paper, pictures, m_opener, m_out.path() + u'/');
        writer.writeWordPaper();
        writer.writeWordAnswers();
        EXPECT_TRUE(writer.failures().isEmpty()) << writer.failures().join(u", "_s).toStdString();
        return writer.paperPath();
    }

    // The bank holds exactly the source's questions.
    void expectSameQuestions(const QList<Source>& bank) {
        ASSERT_TRUE(m_store.setCurrent(course()));
        ASSERT_EQ(m_store.recordCount(), bank.size()) << bankRows().join(u"\n"_s).toStdString();
        QHash<QString, int> records; // 题文1 → record number
        for (int k = 1; k <= m_store.recordCount(); ++k) {
            m_store.goTo(k);
            records.insert(m_store.readText(Q::StemText1), k);
        }
        QString groupName;
        for (const Source& s : bank) {
            SCOPED_TRACE(s.row.stem1.toStdString());
            ASSERT_TRUE(records.contains(s.row.stem1));
            ASSERT_TRUE(m_store.goTo(records.value(s.row.stem1)));
            EXPECT_EQ(m_store.readText(Q::Type), s.row.type);
            EXPECT_EQ(m_store.read(Q::Score).toInt(), s.row.score);
            EXPECT_EQ(m_store.read(Q::Choice).toBool(), s.row.choice);
            // Options and the answers among them come back in the paper's order.
            EXPECT_EQ(sortedLines(m_store.readText(Q::StemText2)), sortedLines(s.row.stem2));
            EXPECT_EQ(sortedLines(m_store.readText(Q::Answer)), sortedLines(s.row.answer));
            EXPECT_EQ(m_store.read(Q::StemPictureData).toByteArray(), s.stemPicture);
            EXPECT_EQ(m_store.read(Q::AnswerPictureData).toByteArray(), s.answerPicture);
            EXPECT_EQ(m_store.readText(Q::StemPicture), s.row.stemPictureMark);
            EXPECT_EQ(m_store.readText(Q::AnswerPicture), s.row.answerPictureMark);
            EXPECT_EQ(m_store.read(Q::Difficulty).toInt(), PaperImport::kDefaultDifficulty);
            // The group keeps its passage and its sub-questions together.
            if (!s.row.groupNumber.isEmpty()) {
                if (s.row.isTitle())
                    groupName = m_store.readText(Q::GroupName);
                EXPECT_FALSE(groupName.isEmpty());
                EXPECT_EQ(m_store.readText(Q::GroupName), groupName);
                EXPECT_EQ(m_store.readText(Q::GroupNumber), s.row.groupNumber);
            } else {
                EXPECT_TRUE(m_store.readText(Q::GroupName).isEmpty());
            }
        }
    }

    RandomSource m_random{7};
    NoOpener m_opener;
    QTemporaryDir m_out;
};

TEST_F(PaperRoundTripTest, PaperAndAnswerSheetGiveBackTheQuestions) {
    const QList<Source> bank = sourceBank();
    const QString path = writePaper(bank, false);
    readPaper(path);
    // The answer sheet beside the paper was found and read.
    EXPECT_TRUE(m_import->answerFileName().endsWith(u"答案.docx"_s))
        << m_import->answerFileName().toStdString();
    for (int k = 0; k < m_import->rowCount(); ++k) {
        const PaperImport::Row row = m_import->row(k);
        EXPECT_TRUE(row.incomplete.isEmpty())
            << row.stem.toStdString() << ": " << row.incomplete.toStdString();
        EXPECT_TRUE(row.notes.isEmpty())
            << row.stem.toStdString() << ": " << row.notes.join(u"；"_s).toStdString();
    }
    m_prompter.expectMessage(u"成功导入11条记录，0条重复，0条不完整。"_s);
    importTicked();
    EXPECT_TRUE(m_prompter.done());
    expectSameQuestions(bank);
    expectBankMatchesGrid();
}

// Continuous numbering over the whole paper, circled option labels and headings
// with ". " after their numbers. (A question whose options are drawn in its
// picture with letters cannot go into a paper with circled labels.)
TEST_F(PaperRoundTripTest, ContinuousNumbersAndCircledLabels) {
    QList<Source> bank = sourceBank();
    bank.removeAt(4);
    const QString path = writePaper(bank, true, 1, u". "_s);
    readPaper(path);
    m_prompter.expectMessage(u"成功导入10条记录，0条重复，0条不完整。"_s);
    importTicked();
    EXPECT_TRUE(m_prompter.done());
    expectSameQuestions(bank);
}

} // namespace
} // namespace helan::test
