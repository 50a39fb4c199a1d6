#include "ProgramDriver.h"

#include <algorithm>

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>

#include <gtest/gtest.h>

#include "grid/GridEvents.h"
#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;

namespace helan::test {

using Q = QuestionRecord;
using E = BankEditor;

Expected question(const QString& knowledge, const QString& groupName, const QString& groupNumber,
                  const QString& stem1, const QString& stem2, const QString& answer, const QString& type,
                  int difficulty, int score, bool choice) {
    Expected q;
    q.knowledge = knowledge;
    q.groupName = groupName;
    q.groupNumber = groupNumber;
    q.stem1 = stem1;
    q.stem2 = stem2;
    q.answer = answer;
    q.type = type;
    q.difficulty = difficulty;
    q.score = score;
    q.choice = choice;
    return q;
}

QList<Expected> readBank(RecordStore& store) {
    QList<Expected> out;
    for (int k = 1; k <= store.recordCount(); ++k) {
        store.goTo(k);
        Expected q;
        q.knowledge = store.readText(Q::KnowledgePoints);
        q.groupName = store.readText(Q::GroupName);
        q.groupNumber = store.readText(Q::GroupNumber);
        q.stem1 = store.readText(Q::StemText1);
        q.stem2 = store.readText(Q::StemText2);
        q.answer = store.readText(Q::Answer);
        q.type = store.readText(Q::Type);
        q.difficulty = store.readInt(Q::Difficulty);
        q.score = store.readInt(Q::Score);
        q.choice = store.readBool(Q::Choice);
        q.stemPicture = store.readBytes(Q::StemPictureData);
        q.answerPicture = store.readBytes(Q::AnswerPictureData);
        EXPECT_EQ(store.readText(Q::StemPicture), q.stemPicture.isEmpty() ? QString() : Q::pictureMark());
        EXPECT_EQ(store.readText(Q::AnswerPicture), q.answerPicture.isEmpty() ? QString() : Q::pictureMark());
        EXPECT_FALSE(store.readBool(Q::FixedScore));
        EXPECT_FALSE(store.readBool(Q::Blocked));
        out << q;
    }
    return out;
}

void expectBankHolds(const QList<Expected>& bank, const QList<Expected>& expected) {
    ASSERT_EQ(bank.size(), expected.size());
    for (const Expected& want : expected) {
        SCOPED_TRACE((want.stem1 + u" / "_s + want.answer).toStdString());
        const auto found = std::find_if(bank.begin(), bank.end(), [&](const Expected& q) {
            return q.stem1 == want.stem1 && q.answer == want.answer;
        });
        ASSERT_NE(found, bank.end());
        EXPECT_EQ(found->knowledge, want.knowledge);
        EXPECT_EQ(found->groupName, want.groupName);
        EXPECT_EQ(found->groupNumber, want.groupNumber);
        EXPECT_EQ(found->stem2, want.stem2);
        EXPECT_EQ(found->type, want.type);
        EXPECT_EQ(found->difficulty, want.difficulty);
        EXPECT_EQ(found->score, want.score);
        EXPECT_EQ(found->choice, want.choice);
        EXPECT_EQ(found->stemPicture, want.stemPicture);
        EXPECT_EQ(found->answerPicture, want.answerPicture);
    }
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

QByteArray fileHash(const QString& path) {
    return QCryptographicHash::hash(fileBytes(path), QCryptographicHash::Sha256);
}

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format)) << format;
    return bytes;
}

QImage drawing(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, (x / 8 + y / 8) % 2 ? qRgb(250, 250, 250) : qRgb(20, 60 + y, 140));
    return image;
}

int countLines(int, const QString& text) {
    return text.isEmpty() ? 1 : int((text.size() + 19) / 20);
}

// ---- ScriptedShell

void ScriptedShell::runCourseAdminDialog(CourseAdminLogic& dialog) {
    ASSERT_FALSE(dialogs.empty()) << "unexpected dialog " << dialog.caption().toStdString();
    const auto script = dialogs.front();
    dialogs.pop_front();
    script(dialog);
}

void ScriptedShell::runBankEditor(const QString& course) {
    opened << u"题库编辑 "_s + course;
    EXPECT_EQ(store->currentAlias(), course);
    if (bankEditor)
        bankEditor(course);
}

void ScriptedShell::runPaperComposer(const QString& course) {
    opened << u"组卷 "_s + course;
    EXPECT_EQ(store->currentAlias(), course);
    if (paperComposer)
        paperComposer(course);
}

void ScriptedShell::endProgram() {
    ADD_FAILURE() << "the program ended";
}

// ---- ProgramRun

ProgramRun::ProgramRun() {
    shell.store = &store;
    prompter.setStrictMessages(true);
}

ProgramRun::~ProgramRun() {
    logic.shutDown();
    EXPECT_TRUE(prompter.done()) << "scripted answers left unused";
}

void ProgramRun::scriptDialog(const QString& caption, const QString& name, const QString& password) {
    shell.dialogs.push_back([=](CourseAdminLogic& d) {
        EXPECT_EQ(d.caption(), caption);
        if (!d.setup(CourseAdminLogic::NewCourse).readOnly)
            d.setText(CourseAdminLogic::NewCourse, name);
        d.setText(CourseAdminLogic::CoursePassword, password);
        d.setText(CourseAdminLogic::CoursePassword1, password);
        EXPECT_TRUE(d.accept());
    });
}

void ProgramRun::firstStart(const QString& administrator, const QString& password, const QString& course,
                            const QString& coursePassword) {
    scriptDialog(u"设置管理员姓名密码"_s, administrator, password);
    ASSERT_TRUE(logic.start());
    EXPECT_TRUE(logic.courseList().isEmpty());
    prompter.answerInput(password, u"请输入管理员密码："_s);
    scriptDialog(u"添加课程"_s, course, coursePassword);
    logic.addCourse();
    ASSERT_EQ(logic.courseList(), QStringList{course});
    ASSERT_TRUE(shell.dialogs.empty());
}

void ProgramRun::chooseCourse(const QString& password) {
    logic.chooseCourse(0);
    EXPECT_TRUE(logic.isPasswordEnabled());
    logic.setCoursePassword(password);
}

// ---- UnusedClipboard

QImage UnusedClipboard::image() const {
    ADD_FAILURE() << "clipboard read";
    return {};
}

void UnusedClipboard::setImage(const QImage&) {
    ADD_FAILURE() << "clipboard written";
}

// ---- EditorHands

EditorHands::EditorHands(BankEditor& editor) : m_editor(editor) {
    QObject::connect(&editor, &BankEditor::textDialogRequested, [this] { ++m_dialogs; });
}

int EditorHands::rowOf(qint32 id) const {
    for (int r = 1; r < grid().rowCount(); ++r)
        if (grid().text(r, E::RecordIdColumn).toInt() == id)
            return r;
    ADD_FAILURE() << "no row for record " << id;
    return 0;
}

qint32 EditorHands::currentId() const {
    return grid().text(m_editor.currentRow(), E::RecordIdColumn).toInt();
}

void EditorHands::click(qint32 id, int column) {
    GridEvents& events = grid().events();
    Q_EMIT events.leftButtonDown(0, 0, Qt::NoModifier);
    grid().setCursor(rowOf(id), column);
    Q_EMIT events.leftButtonUp(0, 0, Qt::NoModifier);
}

bool EditorHands::edit(qint32 id, int column, const QVariant& value) {
    click(id, column);
    return grid().editInPlace(rowOf(id), column, value);
}

bool EditorHands::type(qint32 id, int column, const QString& content) {
    click(id, column);
    const int before = m_dialogs;
    Q_EMIT grid().events().doubleClick(0, 0, Qt::NoModifier);
    EXPECT_EQ(m_dialogs, before + 1) << "no text dialog on column " << column;
    return m_editor.acceptTextDialog(content);
}

qint32 EditorHands::add(const Expected& q) {
    const int before = m_dialogs;
    m_editor.addQuestion();
    EXPECT_EQ(m_dialogs, before + 1);
    EXPECT_EQ(m_editor.dialogCaption(), u"编辑题文1"_s);
    const qint32 id = currentId();
    EXPECT_TRUE(m_editor.acceptTextDialog(u"　"_s + q.stem1 + u"\r\n\r\n"_s));
    EXPECT_TRUE(edit(id, E::TypeColumn, q.type));
    if (q.choice) {
        EXPECT_TRUE(edit(id, E::ChoiceColumn, true));
    }
    const auto loosely = [&](QString text) {
        return text.replace(u"\r\n"_s, q.choice ? u"\r\n\r\n"_s : u"\r\n"_s) + u"\r\n"_s;
    };
    if (!q.stem2.isEmpty()) {
        EXPECT_TRUE(type(id, E::StemText2Column, loosely(q.stem2)));
    }
    if (!q.answer.isEmpty()) {
        EXPECT_TRUE(type(id, E::AnswerColumn, u" "_s + loosely(q.answer)));
    }
    EXPECT_TRUE(edit(id, E::DifficultyColumn, QString::number(q.difficulty)));
    if (q.score > 0 && q.groupNumber != u"0"_s) {
        EXPECT_TRUE(edit(id, E::ScoreColumn, QString::number(q.score)));
    }
    if (!q.knowledge.isEmpty()) {
        QString knowledge = q.knowledge;
        EXPECT_TRUE(type(id, E::KnowledgeColumn, u"| "_s + knowledge.replace(u'|', u" || "_s) + u"|"_s));
    }
    return id;
}

} // namespace helan::test
