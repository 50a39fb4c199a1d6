// "导出为Moodle XML" of the composition window: the questions of one paper, with
// the values the window shows.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "ComposerFixture.h"
#include "compose/PaperMoodleExport.h"
#include "model/MoodleXmlReader.h"
#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;

namespace helan::test {
namespace {

using Q = QuestionRecord;
using Paper = PaperComposer::Paper;

class PaperMoodleExportTest : public ComposerFixture {};

TEST_F(PaperMoodleExportTest, ThePapersQuestionsGoOutWithTheirGroupsAndShownValues) {
    const qint32 loose = addRecord(question(u"判断"_s, 2).withStem(u"单独一题"_s));
    addRecord(question(u"判断"_s, 3).withStem(u"不在A卷"_s));
    const QList<qint32> group = addGroup(u"阅读"_s, {2, 3});
    openComposer();
    ASSERT_TRUE(tick(loose, Paper::A));
    ASSERT_TRUE(tick(group.at(0), Paper::A)); // the whole group comes with its title
    ASSERT_TRUE(edit(rowOf(loose), PaperComposer::DifficultyColumn, u"7"_s));

    QTemporaryDir outside;
    ASSERT_TRUE(outside.isValid());
    m_prompter.clear();
    m_prompter.answerChooseFolder(outside.path());
    ASSERT_TRUE(PaperMoodleExport::run(composer(), Paper::A));
    const QString path = QDir(outside.path()).filePath(u"语文A卷.xml"_s);
    EXPECT_EQ(m_prompter.messages(), QStringList{u"导出Moodle XML完毕：共4道试题、0张图片，已写入 "_s +
                                                 QDir::toNativeSeparators(path) + u"。"_s});
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto result = MoodleXmlReader::read(file);
    ASSERT_TRUE(result.error.isEmpty());
    QStringList seen;
    for (const auto& q : result.questions)
        seen << q.values.at(Q::GroupName - 1).toString() + q.values.at(Q::GroupNumber - 1).toString() + u':' +
                    q.values.at(Q::StemText1 - 1).toString() + u':' +
                    QString::number(q.values.at(Q::Difficulty - 1).toInt());
    EXPECT_EQ(seen, (QStringList{u"阅读0:题文:1"_s, u"阅读1:题文:1"_s, u"阅读2:题文:1"_s, u":单独一题:7"_s}));

    // Paper B has nothing ticked.
    m_prompter.clear();
    EXPECT_FALSE(PaperMoodleExport::run(composer(), Paper::B));
    EXPECT_EQ(m_prompter.messages(), QStringList{u"B卷没有选择试题。"_s});
}

} // namespace
} // namespace helan::test
