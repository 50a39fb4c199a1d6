#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>

#include "ComposerFixture.h"
#include "base/RandomSource.h"
#include "RecordingOpener.h"
#include "compose/DocumentOpener.h"
#include "base/WriteFaults.h"
#include "compose/PaperGeneration.h"
#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;

namespace helan::test {

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class PaperGenerationTest : public ComposerFixture {
protected:
    void SetUp() override {
        ComposerFixture::SetUp();
        writeNumbering(5);
        m_judge = {addRecord(question(u"判断"_s, 2).withStem(u"判一"_s)),
                   addRecord(question(u"判断"_s, 2).withStem(u"判二"_s))};
        m_group = addGroup(u"甲"_s, {3, 4});
        m_picture = addRecord(question(u"选择"_s, 5).withStem(u"看图"_s).withPicture());
        m_twin = addRecord(question(u"选择"_s, 5).withStem(u"看图"_s).withPicture());
        setFields(m_picture, {{QuestionRecord::Choice, true},
                              {QuestionRecord::Answer, u"①"_s},
                              {QuestionRecord::StemText2, QString()}});
        setFields(m_twin, {{QuestionRecord::Choice, true},
                           {QuestionRecord::Answer, u"B"_s},
                           {QuestionRecord::StemText2, QString()}});
        openComposer();
        for (const qint32 id : m_judge + m_group.mid(0, 1) + QList<qint32>{m_picture})
            tick(id, P::Paper::A);
        composer().hooks().generatePaper = [this](PaperComposer& c, const QString& paper) {
            PaperGeneration generation(m_random, m_opener, m_out.path() + u'/');
            m_paper = generation.generatePaper(c, paper);
        };
    }

    void setFields(qint32 id, const QList<std::pair<int, QVariant>>& fields) {
        ASSERT_TRUE(m_store.setCurrent(course()));
        ASSERT_TRUE(m_store.goToRecordId(id));
        for (const auto& [field, value] : fields)
            ASSERT_TRUE(m_store.write(field, value));
    }

    QList<qint32> m_judge;
    QList<qint32> m_group;
    qint32 m_picture = 0;
    qint32 m_twin = 0;
    RandomSource m_random{1};
    RecordingOpener m_opener;
    QTemporaryDir m_out;
    AssembledPaper m_paper;
};

} // namespace

TEST_F(PaperGenerationTest, htmlPaperFromTheTickedQuestions) {
    ASSERT_TRUE(composer().generateEnabled(P::Paper::A));
    composer().setWordSelected(false);
    composer().generatePaper(P::Paper::A);

    // Major questions in TypeOrderTable order, the group in number order, the
    // picture question replaced by its twin.
    QStringList order;
    for (int r = 1; r < types().rowCount(); ++r)
        if (QStringList{u"判断"_s, u"选择"_s, u"阅读"_s}.contains(types().text(r, P::TypeNameColumn)))
            order.append(types().text(r, P::TypeNameColumn));
    QStringList expected;
    for (const QString& type : order)
        expected += QStringList(type == u"选择"_s ? 1 : 2 + (type == u"阅读"_s), type);
    QStringList rows;
    for (const PaperRow& row : m_paper.rows) {
        rows.append(row.type);
        if (row.type == u"阅读"_s) {
            EXPECT_EQ(row.groupNumber, QString::number(rows.count(u"阅读"_s) - 1));
        }
        if (row.type == u"选择"_s) {
            EXPECT_EQ(row.recordId, m_twin);
            EXPECT_EQ(row.answer, u"B"_s);
        }
    }
    EXPECT_EQ(rows, expected);

    EXPECT_EQ(composer().assembledPaper().rowCount(), 7);
    EXPECT_EQ(composer().assembledPaper().text(0, 1), u"题目文本1"_s);
    EXPECT_EQ(composer().workList().rowCount(), 7);
    EXPECT_TRUE(m_paper.settings.generationTime.size() == 14);
    EXPECT_EQ(m_paper.majorLabel(2), u"2"_s);

    ASSERT_EQ(m_opener.opened.size(), 2);
    EXPECT_TRUE(m_opener.opened[0].endsWith(u"A卷  "_s + m_paper.settings.generationTime + u"  试题.html"_s))
        << m_opener.opened[0].toStdString();
    // In a folder of this generation's own, inside the user's own folder.
    const QString folder = composer().lastPaperFolder();
    EXPECT_TRUE(m_opener.opened[0].startsWith(folder));
    EXPECT_TRUE(folder.startsWith(m_out.path() + u"/helan-"_s)) << folder.toStdString();
    EXPECT_EQ(QFile::permissions(QFileInfo(folder).dir().path()) & (QFile::ReadOther | QFile::ReadGroup),
              QFileDevice::Permissions());
    EXPECT_EQ(readAll(folder + u"A卷试题0.jpg"_s), "picture");
    // The fixture's picture bytes are no picture at all: named by their question.
    const QString label = m_paper.majorLabel(int(order.indexOf(u"选择"_s)) + 1);
    EXPECT_EQ(m_prompter.messages(),
              QStringList{PaperGeneration::failureMessage({u"第"_s + label + u"大题第1题的图片无法显示"_s})});
}

// Each generation has its own folder: an older paper keeps its own pictures, also
// when the next one comes within the same second.
TEST_F(PaperGenerationTest, aLaterPaperNeverOverwritesAnEarliersPictures) {
    composer().setWordSelected(false);
    composer().generatePaper(P::Paper::A);
    const QString first = composer().lastPaperFolder();
    setFields(m_twin, {{QuestionRecord::StemPictureData, QByteArray("other picture")}});
    composer().generatePaper(P::Paper::A);
    const QString second = composer().lastPaperFolder();
    EXPECT_NE(first, second);
    EXPECT_EQ(readAll(first + u"A卷试题0.jpg"_s), "picture");
    EXPECT_EQ(readAll(second + u"A卷试题0.jpg"_s), "other picture");
    EXPECT_EQ(QDir(first).entryList(QDir::Files).size(), 3);
}

// When the desktop shows neither document, the teacher hears once where they are.
TEST_F(PaperGenerationTest, papersNoProgramOpensAreFoundThroughOneQuestion) {
    composer().setWordSelected(false);
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    setFields(m_twin, {{QuestionRecord::StemPictureData, png}});
    m_opener.opens = false;
    m_prompter.answerOkCancel(false);
    composer().generatePaper(P::Paper::A);
    ASSERT_EQ(m_prompter.prompts().size(), 1);
    EXPECT_EQ(m_prompter.prompts()[0].text, PaperGeneration::unopenedQuestion(composer().lastPaperFolder()));
    EXPECT_TRUE(m_prompter.prompts()[0].text.contains(composer().lastPaperFolder()));
    EXPECT_EQ(m_opener.opened.size(), 2);

    // 确定 opens the folder; the menu item opens it later too.
    m_prompter.answerOkCancel(true);
    composer().generatePaper(P::Paper::A);
    EXPECT_EQ(m_opener.opened.last(), composer().lastPaperFolder());
    QString opened;
    composer().hooks().openFolder = [&](const QString& folder) {
        opened = folder;
        return true;
    };
    composer().openPaperFolder();
    EXPECT_EQ(opened, composer().lastPaperFolder());
    EXPECT_TRUE(m_prompter.done());
}

TEST_F(PaperGenerationTest, wordOutputWritesTwoDocumentsAndReportsTheUndecodablePictureOnce) {
    composer().setWordSelected(true);
    composer().generatePaper(P::Paper::A);
    ASSERT_EQ(m_opener.opened.size(), 2);
    EXPECT_TRUE(m_opener.opened[0].endsWith(u"试题.docx"_s));
    EXPECT_TRUE(m_opener.opened[1].endsWith(u"答案.docx"_s));
    // The fixture's picture bytes are no picture at all: said once, by question.
    ASSERT_EQ(m_prompter.messages().size(), 1);
    EXPECT_TRUE(m_prompter.messages()[0].contains(u"大题第1题的图片无法显示"_s));
}

TEST_F(PaperGenerationTest, aPictureQuestionWithoutTwinEndsThePaperEarly) {
    setFields(m_twin, {{QuestionRecord::StemText1, u"别的"_s}});
    composer().generatePaper(P::Paper::A);
    EXPECT_EQ(m_prompter.messages(), QStringList{u"试题 看图 的答案编号类型不符合组卷要求！"_s});
    // Only the major questions before 选择 are written.
    EXPECT_LT(m_paper.rows.size(), 6);
    for (const PaperRow& row : m_paper.rows)
        EXPECT_NE(row.type, u"选择"_s);
    EXPECT_EQ(m_opener.opened.size(), 2);
}

} // namespace helan::test

namespace helan::test {

// Each file of a generation failed in turn, for both writers: the one message
// names it, and a document that was not written whole is never opened.
TEST_F(PaperGenerationTest, EachFileThatCannotBeWrittenIsNamedOnceAndNotOpened) {
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::green);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    setFields(m_twin, {{QuestionRecord::StemPictureData, png}});
    int faults = 0;
    for (const bool word : {false, true}) {
        composer().setWordSelected(word);
        for (int n = 1;; ++n) {
            SCOPED_TRACE(u"%1, file %2"_s.arg(word ? u"word"_s : u"html"_s).arg(n).toStdString());
            m_prompter.clear();
            m_opener.opened.clear();
            WriteFaults::failNth(WriteFaults::Kind::FileWrite, n);
            composer().generatePaper(P::Paper::A);
            const bool hit = WriteFaults::counted(WriteFaults::Kind::FileWrite) >= n;
            WriteFaults::reset();
            if (!hit) {
                EXPECT_TRUE(m_prompter.messages().isEmpty());
                EXPECT_EQ(m_opener.opened.size(), 2);
                break;
            }
            ++faults;
            ASSERT_EQ(m_prompter.messages().size(), 1);
            const QString said = m_prompter.messages().first();
            EXPECT_TRUE(said.startsWith(u"试卷未能完整写入："_s)) << said.toStdString();
            const QString missing = said.section(u'\n', 1, 1);
            EXPECT_TRUE(missing.startsWith(composer().lastPaperFolder())) << missing.toStdString();
            EXPECT_FALSE(QFileInfo::exists(missing));
            EXPECT_FALSE(m_opener.opened.contains(missing));
        }
    }
    EXPECT_EQ(faults, 3 + 2); // html: picture, paper, answer sheet; word: paper, answer sheet
}

} // namespace helan::test
