#include "ComposerFixture.h"

#include "compose/NumberingSettings.h"
#include "model/CourseBank.h"
#include "model/CourseCatalog.h"
#include "model/QuestionRecord.h"
#include "model/QuestionTypeLibrary.h"

using namespace Qt::StringLiterals;

namespace helan::test {

void ComposerFixture::SetUp() {
    CourseCatalog catalog(m_store, m_prompter);
    ASSERT_EQ(catalog.openCatalog(), OpenOutcome::Ready);
    ASSERT_TRUE(catalog.appendAdministrator(u"管理员"_s, u"x"_s));
    ASSERT_TRUE(m_store.append({u"数学"_s, QString(), u"数学的说明"_s}));
    ASSERT_TRUE(m_store.append({course(), QString(), u"易1难9"_s}));
    CourseBank bank(m_store, m_prompter);
    ASSERT_TRUE(bank.createCourseBank(course()));
    ASSERT_TRUE(m_store.open(CourseBank::fileName(course()), course()));
    QuestionTypeLibrary library(m_store, m_prompter);
    ASSERT_EQ(library.openTypeLibrary(), OpenOutcome::Ready);
    ASSERT_TRUE(m_store.append({u"阅读"_s, 10, QString(), false}));
}

qint32 ComposerFixture::addRecord(const Question& q) {
    EXPECT_TRUE(m_store.setCurrent(course()));
    const QString mark = q.stemPicture ? QuestionRecord::pictureMark() : QString();
    EXPECT_TRUE(
        m_store.append({q.knowledge, q.groupName, q.groupNumber, q.stem1, mark, u"题文二"_s, u"答案"_s,
                        QString(), q.type, q.difficulty, q.score, false, q.fixedScore, q.blocked,
                        q.stemPicture ? QByteArray("picture") : QByteArray(), QByteArray()}));
    return m_store.recordId();
}

QList<qint32> ComposerFixture::addGroup(const QString& name, const QList<int>& scores, const QString& type) {
    int total = 0;
    for (const int s : scores)
        total += s;
    QList<qint32> ids;
    ids << addRecord(question(type, total).inGroup(name, u"0"_s));
    for (int i = 0; i < scores.size(); ++i)
        ids << addRecord(question(type, scores.at(i)).inGroup(name, QString::number(i + 1)));
    return ids;
}

void ComposerFixture::writeNumbering(int labelRows) {
    GridModel grid(2);
    grid.setRowCount(labelRows + 1);
    grid.setText(0, 1, u"数字"_s);
    for (int k = 1; k <= labelRows; ++k) {
        grid.setText(k, 0, QString::number(k));
        grid.setText(k, 1, QString::number(k));
    }
    ASSERT_TRUE(grid.save(NumberingSettings::fileName()));
}

void ComposerFixture::openComposer() {
    m_composer = std::make_unique<PaperComposer>(m_store, m_prompter, course(), m_word);
    PaperComposer::Hooks hooks;
    hooks.previewQuestion = [this](const P::Preview& preview) { m_previews << preview; };
    m_composer->setHooks(hooks);
    m_composer->open();
}

void ComposerFixture::reopenComposer() {
    m_composer->close();
    m_composer.reset();
    openComposer();
}

int ComposerFixture::rowOf(qint32 recordId) const {
    const GridModel& g = m_composer->questionGrid();
    for (int r = 1; r < g.rowCount(); ++r) {
        if (g.text(r, P::RecordIdColumn).toInt() == recordId)
            return r;
    }
    ADD_FAILURE() << "no row for record " << recordId;
    return 0;
}

void ComposerFixture::click(int row, int column) {
    GridEvents& events = grid().events();
    Q_EMIT events.leftButtonDown(0, 0, Qt::NoModifier);
    grid().setCursor(row, column);
    Q_EMIT events.leftButtonUp(0, 0, Qt::NoModifier);
}

void ComposerFixture::clickType(int row, int column) {
    GridEvents& events = types().events();
    Q_EMIT events.leftButtonDown(0, 0, Qt::NoModifier);
    types().setCursor(row, column);
    Q_EMIT events.leftButtonUp(0, 0, Qt::NoModifier);
}

bool ComposerFixture::edit(int row, int column, const QVariant& value) {
    click(row, column);
    return grid().editInPlace(row, column, value);
}

bool ComposerFixture::editType(int row, int column, const QVariant& value) {
    clickType(row, column);
    return types().editInPlace(row, column, value);
}

bool ComposerFixture::tick(qint32 id, P::Paper paper, bool on) {
    return edit(rowOf(id), paper == P::Paper::A ? P::PaperAColumn : P::PaperBColumn, on);
}

void ComposerFixture::rightClick(int row, int column) {
    grid().setCursor(row, column);
    Q_EMIT grid().events().rightButtonUp(0, 0, Qt::NoModifier);
}

QString ComposerFixture::text(qint32 id, int column) const {
    const int row = rowOf(id);
    return m_composer->questionGrid().text(row, column);
}

bool ComposerFixture::checked(qint32 id, int column) const {
    return m_composer->questionGrid().checked(rowOf(id), column);
}

QVariant ComposerFixture::field(qint32 recordId, int position) {
    EXPECT_TRUE(m_store.setCurrent(course()));
    EXPECT_TRUE(m_store.goToRecordId(recordId));
    return m_store.read(position);
}

QVariant ComposerFixture::typeField(const QString& type, int position) {
    QuestionTypeLibrary library(m_store, m_prompter);
    EXPECT_EQ(library.openTypeLibrary(), OpenOutcome::Ready);
    m_store.first();
    EXPECT_TRUE(m_store.find([&] { return m_store.readText(QuestionTypeLibrary::TypeName) == type; }));
    return m_store.read(position);
}

QStringList ComposerFixture::paperRows(P::Paper paper) const {
    const GridModel& g = m_composer->paperTypeScores(paper);
    QStringList rows;
    for (int r = 1; r < g.rowCount(); ++r)
        rows << g.text(r, 0) + u"="_s + g.text(r, 1);
    return rows;
}

} // namespace helan::test
