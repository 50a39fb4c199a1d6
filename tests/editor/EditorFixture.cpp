#include "EditorFixture.h"

#include "model/CourseBank.h"
#include "model/QuestionRecord.h"
#include "model/QuestionTypeLibrary.h"

using namespace Qt::StringLiterals;

namespace helan::test {

namespace {

// Stand-in for the measuring font: ten characters a line at any width up to 100
// pixels, twenty above.
int countLines(int width, const QString& text) {
    const int perLine = width > 100 ? 20 : 10;
    return text.isEmpty() ? 1 : int((text.size() + perLine - 1) / perLine);
}

} // namespace

void EditorFixture::SetUp() {
    CourseBank bank(m_store, m_prompter);
    ASSERT_TRUE(bank.createCourseBank(course()));
    ASSERT_TRUE(m_store.open(CourseBank::fileName(course()), course()));
    QuestionTypeLibrary library(m_store, m_prompter);
    ASSERT_EQ(library.openTypeLibrary(), OpenOutcome::Ready);
}

qint32 EditorFixture::addRecord(const Question& q) {
    EXPECT_TRUE(m_store.setCurrent(course()));
    const QByteArray stemBytes = q.stemPicture ? QByteArray("stem-picture") : QByteArray();
    const QByteArray answerBytes = q.answerPicture ? QByteArray("answer-picture") : QByteArray();
    const QString mark = QuestionRecord::pictureMark();
    EXPECT_TRUE(
        m_store.append({q.knowledge, q.groupName, q.groupNumber, q.stem1, q.stemPicture ? mark : QString(),
                        q.stem2, q.answer, q.answerPicture ? mark : QString(), q.type, q.difficulty, q.score,
                        q.choice, q.fixedScore, q.blocked, stemBytes, answerBytes}));
    return m_store.recordId();
}

void EditorFixture::openEditor() {
    m_editor = std::make_unique<BankEditor>(m_store, m_prompter, course(), countLines);
    QObject::connect(m_editor.get(), &BankEditor::textDialogRequested, [this] { ++m_dialogRequests; });
    m_editor->open(1000);
}

int EditorFixture::rowOf(qint32 recordId) const {
    for (int r = 1; r < m_editor->grid().rowCount(); ++r) {
        if (text(r, BankEditor::RecordIdColumn).toInt() == recordId)
            return r;
    }
    return 0;
}

qint32 EditorFixture::idOf(int row) const {
    return text(row, BankEditor::RecordIdColumn).toInt();
}

void EditorFixture::click(int row, int column) {
    GridEvents& events = grid().events();
    Q_EMIT events.leftButtonDown(0, 0, Qt::NoModifier);
    grid().setCursor(row, column);
    Q_EMIT events.leftButtonUp(0, 0, Qt::NoModifier);
}

void EditorFixture::doubleClick(int row, int column) {
    click(row, column);
    Q_EMIT grid().events().doubleClick(0, 0, Qt::NoModifier);
}

bool EditorFixture::editCell(int row, int column, const QVariant& value) {
    click(row, column);
    return grid().editInPlace(row, column, value);
}

bool EditorFixture::editInDialog(int row, int column, const QString& text) {
    const int before = m_dialogRequests;
    doubleClick(row, column);
    EXPECT_EQ(m_dialogRequests, before + 1) << "the text dialog did not open";
    return m_editor->acceptTextDialog(text);
}

QVariant EditorFixture::field(qint32 recordId, int position) {
    EXPECT_TRUE(m_store.setCurrent(course()));
    EXPECT_TRUE(m_store.goToRecordId(recordId));
    return m_store.read(position);
}

void EditorFixture::expectBankMatchesGrid() {
    ASSERT_TRUE(m_store.close(course()));
    ASSERT_TRUE(m_store.open(CourseBank::fileName(course()), course()));
    const GridModel& g = m_editor->grid();
    ASSERT_EQ(m_store.recordCount(), g.rowCount() - 1);
    for (int r = 1; r < g.rowCount(); ++r) {
        SCOPED_TRACE(QStringLiteral("row %1").arg(r).toStdString());
        ASSERT_TRUE(m_store.goToRecordId(idOf(r)));
        EXPECT_FALSE(m_store.isDeleted());
        for (int f = QuestionRecord::KnowledgePoints; f <= QuestionRecord::Type; ++f)
            EXPECT_EQ(m_store.readText(f), g.text(r, f - 1)) << "field " << f;
        EXPECT_EQ(m_store.readInt(QuestionRecord::Difficulty),
                  g.text(r, BankEditor::DifficultyColumn).toInt());
        EXPECT_EQ(m_store.readInt(QuestionRecord::Score), g.text(r, BankEditor::ScoreColumn).toInt());
        EXPECT_EQ(m_store.readBool(QuestionRecord::Choice), g.checked(r, BankEditor::ChoiceColumn));
        EXPECT_EQ(m_store.readBool(QuestionRecord::FixedScore), g.checked(r, BankEditor::FixedScoreColumn));
        EXPECT_EQ(m_store.readBool(QuestionRecord::Blocked), g.checked(r, BankEditor::BlockedColumn));
    }
}

} // namespace helan::test
