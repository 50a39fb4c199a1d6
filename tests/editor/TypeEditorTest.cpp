// The window 题型编辑: loading, adding, renaming and deleting types across courses.
#include "editor/TypeEditor.h"
#include "EditorFakes.h"
#include "EditorFixture.h"
#include "base/Gbk.h"
#include "base/WriteFaults.h"
#include "model/CourseBank.h"
#include "model/CourseCatalog.h"
#include "model/QuestionRecord.h"
#include "model/QuestionTypeLibrary.h"

using namespace Qt::StringLiterals;

namespace helan::test {
namespace {

using L = QuestionTypeLibrary;
const QString kOtherCourse = u"数学"_s;
const QString kMissingCourse = u"英语"_s; // in the catalogue, its bank file missing

// The selected course 语文 uses 判断 and 问答; 数学 uses 填空; 英语 cannot be opened.
class TypeEditorTest : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        CourseCatalog catalog(m_store, m_prompter);
        ASSERT_TRUE(catalog.appendAdministrator(u"林老师"_s, u"pw"_s));
        for (const QString& name : {course(), kMissingCourse, kOtherCourse})
            ASSERT_TRUE(m_store.append({name, QString(), QString()}));
        CourseBank bank(m_store, m_prompter);
        ASSERT_TRUE(bank.createCourseBank(kOtherCourse));
        ASSERT_TRUE(m_store.open(CourseBank::fileName(kOtherCourse), kOtherCourse));
        ASSERT_TRUE(m_store.append({QString(), QString(), QString(), u"数学题"_s, QString(), QString(),
                                    u"1"_s, QString(), u"填空"_s, 1, 1}));
        ASSERT_TRUE(m_store.close(kOtherCourse));

        m_judge = addRecord(with([](Question& q) {
            q.stem1 = u"甲"_s;
            q.answer = u"对"_s;
            q.type = u"判断"_s;
        }));
        m_essay = addRecord(with([](Question& q) {
            q.stem1 = u"乙"_s;
            q.answer = u"答"_s;
            q.type = u"问答"_s;
        }));
        openEditor();
        m_types = std::make_unique<TypeEditor>(m_store, m_prompter, course(), [this] {
            ++m_reloads;
            editor().loadEditorGrid();
        });
        m_types->load();
    }

    GridModel& types() { return m_types->grid(); }
    int typeRow(const QString& name) {
        for (int r = 1; r < types().rowCount(); ++r) {
            if (types().text(r, TypeEditor::NameColumn) == name)
                return r;
        }
        return 0;
    }
    QStringList library() {
        L lib(m_store, m_prompter);
        return lib.typeNames();
    }
    // The library record of a type, field by field.
    QVariant libraryField(const QString& name, int field) {
        L lib(m_store, m_prompter);
        EXPECT_EQ(lib.openTypeLibrary(), OpenOutcome::Ready);
        m_store.first();
        EXPECT_TRUE(m_store.find([&] { return m_store.readText(L::TypeName) == name; }));
        return m_store.read(field);
    }
    bool rename(const QString& from, const QString& to) {
        const int row = typeRow(from);
        EXPECT_GE(row, 1);
        return types().editInPlace(row, TypeEditor::NameColumn, to);
    }
    void select(const QString& name) { types().setCursor(typeRow(name), TypeEditor::NameColumn); }

    qint32 m_judge = 0;
    qint32 m_essay = 0;
    int m_reloads = 0;
    std::unique_ptr<TypeEditor> m_types;
};

TEST_F(TypeEditorTest, LoadShowsTheLibraryOneRowPerRecord) {
    ASSERT_EQ(types().rowCount(), 6);
    EXPECT_EQ(QStringList({types().text(0, 0), types().text(0, 1), types().text(0, 2), types().text(0, 3)}),
              QStringList({u"题型"_s, u"分值"_s, u"说明"_s, u"答案换行"_s}));
    EXPECT_EQ(types().text(1, 0), u"判断"_s);
    EXPECT_FALSE(types().checked(1, TypeEditor::AnswerLineBreakColumn));
    EXPECT_EQ(types().text(4, 0), u"名词"_s);
    EXPECT_TRUE(types().checked(4, TypeEditor::AnswerLineBreakColumn));
    EXPECT_EQ(types().alignment(2, TypeEditor::DescriptionColumn), CellAlignment::Left);
    EXPECT_EQ(types().alignment(2, TypeEditor::NameColumn), CellAlignment::Centre);
}

TEST_F(TypeEditorTest, RenameUsedOnlyHereAsksAndCarriesIntoThisCoursesQuestions) {
    m_prompter.answerOkCancel(true, u"确定要将题型 判断 修改为 是非 吗？"_s);
    EXPECT_TRUE(rename(u"判断"_s, u"是非"_s));
    EXPECT_TRUE(m_prompter.done());
    EXPECT_EQ(types().text(1, 0), u"是非"_s);
    EXPECT_EQ(library().first(), u"是非"_s);
    EXPECT_EQ(field(m_judge, QuestionRecord::Type).toString(), u"是非"_s);
    EXPECT_EQ(field(m_essay, QuestionRecord::Type).toString(), u"问答"_s);
    EXPECT_EQ(m_reloads, 1);
    EXPECT_EQ(text(rowOf(m_judge), BankEditor::TypeColumn), u"是非"_s);
    // The course whose bank does not open was skipped with its own message; the
    // other course's bank was opened for the test and closed again.
    EXPECT_EQ(m_prompter.messages(), QStringList{kMissingCourse + u".edb不存在！"_s});
    EXPECT_FALSE(m_store.isOpen(kOtherCourse));
    EXPECT_TRUE(m_store.isOpen(course()));
}

// A rename whose writes fail (each in turn) leaves library and questions both
// on the old name, and says so; it never loops on a question it cannot change.
TEST_F(TypeEditorTest, ARenameThatCannotBeWrittenLeavesEverythingOnTheOldName) {
    for (const WriteFaults::Kind kind : {WriteFaults::Kind::StoreChange, WriteFaults::Kind::StoreCommit}) {
        for (const int n : {1, 2}) {
            SCOPED_TRACE(n);
            m_prompter.clear();
            m_prompter.answerOkCancel(true, u"确定要将题型 判断 修改为 是非 吗？"_s);
            WriteFaults::failNth(kind, n);
            rename(u"判断"_s, u"是非"_s);
            const bool hit = WriteFaults::counted(kind) >= n;
            WriteFaults::reset();
            if (!hit)
                continue;
            EXPECT_TRUE(m_prompter.messages().last().startsWith(u"题型 判断 未能改名为 是非："_s));
            EXPECT_EQ(types().text(1, 0), u"判断"_s);
            EXPECT_EQ(library().first(), u"判断"_s);
            EXPECT_EQ(field(m_judge, QuestionRecord::Type).toString(), u"判断"_s);
        }
    }
}

// On a disk that stays full the library cannot take its old name back either:
// the grid shows what the library holds and the message says where each stands.
TEST_F(TypeEditorTest, ARenameWhoseWayBackFailsSaysWhatTheLibraryAndTheQuestionsHold) {
    m_prompter.answerOkCancel(true, u"确定要将题型 判断 修改为 是非 吗？"_s);
    WriteFaults::failFrom(WriteFaults::Kind::StoreChange, 2); // the library's write goes through
    rename(u"判断"_s, u"是非"_s);
    WriteFaults::reset();
    ASSERT_FALSE(m_prompter.messages().isEmpty());
    const QString said = m_prompter.messages().last();
    EXPECT_TRUE(said.startsWith(u"题型 判断 未能改名为 是非："_s)) << said.toStdString();
    EXPECT_TRUE(said.endsWith(u"。题型库已改为 是非，本课程的试题仍是 判断，请检查磁盘后再改一次。"_s))
        << said.toStdString();
    EXPECT_EQ(types().text(1, 0), u"是非"_s);
    EXPECT_EQ(library().first(), u"是非"_s);
    EXPECT_EQ(field(m_judge, QuestionRecord::Type).toString(), u"判断"_s);
}

TEST_F(TypeEditorTest, AfterARenameTheEditorOffersTheNewNameOnly) {
    m_prompter.answerOkCancel(true, u"确定要将题型 问答 修改为 解答 吗？"_s);
    EXPECT_TRUE(rename(u"问答"_s, u"解答"_s));
    const QStringList names{u"判断"_s, u"选择"_s, u"填空"_s, u"名词"_s, u"解答"_s};
    EXPECT_EQ(editor().typeNames(), names);
    EXPECT_EQ(grid().listItems(BankEditor::TypeColumn), names);

    // The question already of that type can be given it again, and another
    // question can take it; the old name is no type any more.
    ASSERT_TRUE(m_store.setCurrent(course()));
    ASSERT_TRUE(editCell(rowOf(m_judge), BankEditor::TypeColumn, u"解答"_s));
    EXPECT_EQ(field(m_judge, QuestionRecord::Type).toString(), u"解答"_s);
    ASSERT_TRUE(editCell(rowOf(m_judge), BankEditor::TypeColumn, u"问答"_s));
    EXPECT_EQ(field(m_judge, QuestionRecord::Type).toString(), u"解答"_s);
    EXPECT_EQ(m_prompter.messages(), QStringList({kMissingCourse + u".edb不存在！"_s, u"请直接选择题型！"_s}));
}

TEST_F(TypeEditorTest, TypesAddedOrDeletedAreOfferedOnceTheListIsReloaded) {
    m_prompter.setStrictMessages(false);
    m_prompter.answerInput(u"作图"_s, u"请输入题型名称（字母512字内，汉字256字内）："_s);
    m_types->addType();
    select(u"名词"_s);
    m_types->deleteType();
    editor().loadTypeList();
    const QStringList names{u"判断"_s, u"选择"_s, u"填空"_s, u"问答"_s, u"作图"_s};
    EXPECT_EQ(editor().typeNames(), names);
    EXPECT_EQ(grid().listItems(BankEditor::TypeColumn), names);
    ASSERT_TRUE(m_store.setCurrent(course()));
    ASSERT_TRUE(editCell(rowOf(m_judge), BankEditor::TypeColumn, u"作图"_s));
    EXPECT_EQ(field(m_judge, QuestionRecord::Type).toString(), u"作图"_s);
    // The rows stay where they were.
    EXPECT_EQ(grid().text(rowOf(m_judge), BankEditor::TypeColumn), u"作图"_s);
}

TEST_F(TypeEditorTest, RenameRefusedOrCancelledChangesNothing) {
    struct Case {
        const char* name;
        QString from;
        QString to;
        QString message; // empty: the question is asked and cancelled
    };
    const QString tooLong(257, u'长');
    const Case cases[] = {
        {"used by another course", u"填空"_s, u"填充"_s, u"该题型正在被其它题库使用，不能修改！"_s},
        {"cancelled", u"判断"_s, u"是非"_s, {}},
        {"empty", u"判断"_s, u"　 "_s, u"题型不能为空！"_s},
        {"too long", u"判断"_s, tooLong, u"题型长度超标！"_s},
        {"an existing name", u"判断"_s, u" 选择 "_s, u"题型 选择 已经存在！"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_prompter.clear();
        if (c.message.isEmpty())
            m_prompter.answerOkCancel(false);
        EXPECT_TRUE(rename(c.from, c.to));
        EXPECT_TRUE(m_prompter.done());
        if (!c.message.isEmpty()) {
            EXPECT_TRUE(m_prompter.messages().contains(c.message));
        }
        EXPECT_GE(typeRow(c.from), 1);
        EXPECT_EQ(library(), QStringList({u"判断"_s, u"选择"_s, u"填空"_s, u"名词"_s, u"问答"_s}));
        EXPECT_EQ(field(m_judge, QuestionRecord::Type).toString(), u"判断"_s);
    }
    EXPECT_EQ(m_reloads, 0);
}

TEST_F(TypeEditorTest, DeleteRefusesTypesInUseInAnyCourse) {
    for (const QString& used : {u"判断"_s, u"填空"_s}) {
        m_prompter.clear();
        select(used);
        m_types->deleteType();
        EXPECT_TRUE(m_prompter.messages().contains(u"该题型正在被使用，不能删除！"_s));
        EXPECT_TRUE(library().contains(used));
    }
    // The selected course stays open for the editor, which keeps working.
    EXPECT_TRUE(m_store.isOpen(course()));
    EXPECT_FALSE(m_store.isOpen(kOtherCourse));
    EXPECT_TRUE(editCell(rowOf(m_judge), BankEditor::DifficultyColumn, 5));
    EXPECT_EQ(field(m_judge, QuestionRecord::Difficulty).toInt(), 5);
}

TEST_F(TypeEditorTest, DeleteOfAnUnusedTypeRemovesRecordAndRowWithoutAsking) {
    m_prompter.setStrictMessages(false);
    select(u"名词"_s);
    m_types->deleteType();
    EXPECT_EQ(library(), QStringList({u"判断"_s, u"选择"_s, u"填空"_s, u"问答"_s}));
    EXPECT_EQ(typeRow(u"名词"_s), 0);
    EXPECT_EQ(types().rowCount(), 5);
    for (const auto& prompt : m_prompter.prompts())
        EXPECT_NE(prompt.kind, ScriptedPrompter::Kind::OkCancel);
}

TEST_F(TypeEditorTest, AddChecksTheName) {
    struct Case {
        std::optional<QString> typed;
        QString message; // empty: added
        QString added;
    };
    const QString exactly512(256, u'题');
    const Case cases[] = {
        {std::nullopt, {}, {}},
        {u""_s, u"题型不能为空！"_s, {}},
        {u"判断"_s, u"题型 判断 已经存在！"_s, {}},
        {u"　判断 "_s, u"题型 判断 已经存在！"_s, {}},
        {exactly512 + u"x"_s, u"题型长度超标！"_s, {}},
        {u" 计算 "_s, {}, u"计算"_s},
        {exactly512, {}, exactly512},
    };
    int rows = types().rowCount();
    for (const Case& c : cases) {
        m_prompter.clear();
        m_prompter.answerInput(c.typed, u"请输入题型名称（字母512字内，汉字256字内）："_s);
        m_types->addType();
        EXPECT_TRUE(m_prompter.done());
        if (c.message.isEmpty()) {
            EXPECT_TRUE(m_prompter.messages().isEmpty());
        } else {
            EXPECT_EQ(m_prompter.messages(), QStringList{c.message});
        }
        if (!c.added.isEmpty()) {
            ++rows;
            EXPECT_EQ(library().last(), c.added);
            EXPECT_EQ(types().text(rows - 1, TypeEditor::NameColumn), c.added);
            EXPECT_EQ(libraryField(c.added, L::Score).toInt(), 0);
            EXPECT_TRUE(libraryField(c.added, L::AnswerLineBreak).toBool());
        }
        EXPECT_EQ(types().rowCount(), rows);
    }
    EXPECT_EQ(gbkLength(exactly512), 512);
}

TEST_F(TypeEditorTest, ScoreDescriptionAndLineBreakAreWrittenAtOnce) {
    const int row = typeRow(u"选择"_s);
    EXPECT_TRUE(types().editInPlace(row, TypeEditor::ScoreColumn, 3));
    EXPECT_TRUE(types().editInPlace(row, TypeEditor::DescriptionColumn, u"每题3分"_s));
    EXPECT_TRUE(types().editInPlace(row, TypeEditor::AnswerLineBreakColumn, true));
    EXPECT_EQ(libraryField(u"选择"_s, L::Score).toInt(), 3);
    EXPECT_EQ(libraryField(u"选择"_s, L::Description).toString(), u"每题3分"_s);
    EXPECT_TRUE(libraryField(u"选择"_s, L::AnswerLineBreak).toBool());
    EXPECT_TRUE(m_prompter.prompts().isEmpty());
}

} // namespace
} // namespace helan::test
