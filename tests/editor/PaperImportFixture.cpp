#include "PaperImportFixture.h"

#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;

namespace helan::test {

void PaperImportFixture::SetUp() {
    EditorFixture::SetUp();
    openEditor();
    m_transfer = std::make_unique<CourseTransfer>(editor(), m_store, m_prompter, [] { return QString(); });
}

PaperImport& PaperImportFixture::readPaper(const QString& path) {
    m_import = std::make_unique<PaperImport>(m_store, m_prompter, course());
    EXPECT_TRUE(m_import->read(path)) << m_prompter.messages().join(u"\n"_s).toStdString();
    return *m_import;
}

void PaperImportFixture::expectQuestions(const QList<Expected>& expected) {
    ASSERT_TRUE(m_import);
    ASSERT_EQ(m_import->rowCount(), expected.size())
        << "report: " << m_import->report().join(u"\n"_s).toStdString();
    for (int k = 0; k < m_import->rowCount(); ++k) {
        const PaperImport::Row row = m_import->row(k);
        const Expected& e = expected.at(k);
        SCOPED_TRACE("question " + std::to_string(k) + " (" + e.number.toStdString() + ")");
        EXPECT_EQ(row.number, e.number);
        EXPECT_EQ(row.type, e.type);
        EXPECT_EQ(row.stem, e.stem);
        EXPECT_EQ(row.options, e.options);
        EXPECT_EQ(row.answer, e.answer);
        EXPECT_EQ(row.score, e.score);
        EXPECT_EQ(row.stemPicture, e.stemPicture);
        EXPECT_EQ(row.answerPicture, e.answerPicture);
        EXPECT_EQ(m_import->paper().questions.at(k).groupNumber, e.groupNumber);
        if (e.notes.isEmpty()) {
            EXPECT_TRUE(row.notes.isEmpty()) << row.notes.join(u"；"_s).toStdString();
        }
        for (const QString& note : e.notes) {
            EXPECT_TRUE(row.notes.join(u"；"_s).contains(note))
                << "missing note " << note.toStdString() << " in " << row.notes.join(u"；"_s).toStdString();
        }
    }
}

void PaperImportFixture::importTicked() {
    ASSERT_TRUE(m_import);
    m_import->importTicked(*m_transfer);
}

QStringList PaperImportFixture::bankRows() {
    using Q = QuestionRecord;
    EXPECT_TRUE(m_store.setCurrent(course()));
    QStringList rows;
    for (int k = 1; k <= m_store.recordCount(); ++k) {
        m_store.goTo(k);
        QStringList f;
        for (const int field : {int(Q::GroupName), int(Q::GroupNumber), int(Q::StemText1), int(Q::StemText2),
                                int(Q::Answer), int(Q::Type), int(Q::Score)})
            f << m_store.readText(field);
        f << (m_store.read(Q::Choice).toBool() ? u"选择"_s : u"-"_s);
        f << m_store.readText(Q::StemPicture) << m_store.readText(Q::AnswerPicture);
        rows << f.join(u'|');
    }
    return rows;
}

} // namespace helan::test
