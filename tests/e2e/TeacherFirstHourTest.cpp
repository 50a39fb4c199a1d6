// A teacher's first hour with the program, headless and end to end: the first
// start in an empty folder, a course, a bank written question by question in the
// editor, its export merged by a colleague and her merged copy taken back, two
// papers composed by hand and written as HTML and .docx, both papers drawn again
// automatically, and the bank read back from its files under a reset password.
// Every piece is the program's own logic; only the dialogs (a scripted
// prompter), the desktop's "open" and the measuring font are stood in for.
#include <algorithm>
#include <memory>

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "DocxReader.h"
#include "ProgramDriver.h"
#include "TempFolder.h"
#include "autocompose/AutoComposeRun.h"
#include "autocompose/AutoComposer.h"
#include "base/Gbk.h"
#include "base/RandomSource.h"
#include "compose/BuiltInWordProcessor.h"
#include "compose/NumberingSettings.h"
#include "compose/PaperComposer.h"
#include "compose/PaperGeneration.h"
#include "compose/PaperText.h"
#include "editor/CourseTransfer.h"
#include "editor/EditorPictures.h"
#include "editor/EditorSearch.h"
#include "editor/NewGroupNameCheck.h"
#include "editor/TypeEditor.h"
#include "grid/GridEvents.h"
#include "model/QuestionRecord.h"
#include "model/QuestionTypeLibrary.h"

using namespace Qt::StringLiterals;

namespace helan::test {
namespace {

using Q = QuestionRecord;
using E = BankEditor;
using P = PaperComposer;
using A = AutoComposer;

const QString kAdministrator = u"王老师"_s;
const QString kAdministratorPassword = u"管理123"_s;
const QString kCourse = u"数学"_s;
const QString kCoursePassword = u"sx2026"_s;
const QString kPictureStem = u"下列图形中是轴对称图形的是"_s;

class TeacherFirstHour : public ::testing::Test {
protected:
    void SetUp() override {
        for (const QTemporaryDir* dir : {&m_colleague, &m_stick, &m_desktop, &m_temp})
            ASSERT_TRUE(dir->isValid());
        m_png = writeDesktopFile(u"对称图形.png"_s, encoded(drawing(64, 32), "PNG"));
        m_jpeg = writeDesktopFile(u"周长.jpg"_s, encoded(drawing(40, 40), "JPG"));
    }

    QString writeDesktopFile(const QString& name, const QByteArray& bytes) {
        const QString path = QDir(m_desktop.path()).filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    Expected& expected(const QString& stem, const QString& answer) {
        for (Expected& q : m_expected)
            if (q.stem1 == stem && q.answer == answer)
                return q;
        ADD_FAILURE() << "no expected question " << stem.toStdString();
        static Expected none;
        return none;
    }

    void writeTheBank();
    void editorSession(ProgramRun& run, const QString& course);
    void colleagueImports();
    void mergeBack();
    // The colleague's own group title, named like the first teacher's group.
    static Expected colleaguesTitle() {
        return question({}, u"材料题"_s, u"0"_s, u"一袋米重25千克。"_s, {}, {}, u"问答"_s, 2, 0);
    }
    void composePapers();
    void composerSession(ProgramRun& run, const QString& course);
    void checkHtmlPaperA(const AssembledPaper& paper, const QStringList& files);
    void checkDocxPaperB(const AssembledPaper& paper, const QStringList& files);
    void autoCompose(ProgramRun& run, PaperComposer& composer, std::unique_ptr<AutoComposer>& autoComposer);
    void reopenTheBank();

    TempFolder m_folder; // the first teacher's data folder
    QTemporaryDir m_colleague;
    QTemporaryDir m_stick;   // where the export goes
    QTemporaryDir m_desktop; // picture files
    QTemporaryDir m_temp;    // the system's temporary folder for papers
    QString m_png;
    QString m_jpeg;
    QList<Expected> m_expected;
    QString m_exportPath;
    QString m_mergedPath;
};

// ---- 1–3: first start, the course, the bank

void TeacherFirstHour::writeTheBank() {
    ProgramRun run;
    ASSERT_NO_FATAL_FAILURE(run.firstStart(kAdministrator, kAdministratorPassword, kCourse, kCoursePassword));
    EXPECT_TRUE(QFile::exists(u"课程列表.edb"_s));
    EXPECT_TRUE(QFile::exists(u"题型库.edb"_s));
    EXPECT_TRUE(QFile::exists(u"数学.edb"_s));

    // A mistyped password opens nothing.
    run.chooseCourse(u"sx2025"_s);
    run.prompter.expectMessage(u"课程密码错误！"_s);
    run.logic.openBankEditor();
    EXPECT_TRUE(run.shell.opened.isEmpty());

    run.logic.setCoursePassword(kCoursePassword);
    run.shell.bankEditor = [&](const QString& course) { editorSession(run, course); };
    run.logic.openBankEditor();
    EXPECT_EQ(run.shell.opened, QStringList{u"题库编辑 数学"_s});
}

void TeacherFirstHour::editorSession(ProgramRun& run, const QString& course) {
    ScriptedPrompter& prompter = run.prompter;
    const qsizetype saidBefore = prompter.messages().size();
    BankEditor editor(run.store, prompter, course, countLines);
    editor.open(1000);
    EXPECT_EQ(editor.caption(), u"题库编辑 —— 数学（共 0 题）"_s);
    EditorHands hands(editor);
    UnusedClipboard clipboard;
    EditorPictures pictures(editor, run.store, prompter, clipboard);
    CourseTransfer transfer(editor, run.store, prompter, [] {
        ADD_FAILURE() << "group name asked";
        return QString();
    });

    // Ordinary questions.
    const QList<Expected> plain{
        question(u"直线"_s, {}, {}, u"两点确定一条直线。"_s, {}, u"对"_s, u"判断"_s, 2, 2),
        question(u"三角形|内角和"_s, {}, {}, u"三角形的内角和是360度。"_s, {}, u"错"_s, u"判断"_s, 3, 2),
        question(u"圆"_s, {}, {}, u"半径为r的圆，周长是____。"_s, {}, u"2πr"_s, u"填空"_s, 4, 3),
    };
    for (const Expected& q : plain) {
        m_expected << q;
        hands.add(q);
    }
    // The fill-in question's answer gets a drawing, from a JPEG file kept as it is.
    const qint32 fillIn = hands.currentId();
    hands.click(fillIn, E::AnswerPictureColumn);
    prompter.answerOpenFile(m_jpeg);
    pictures.addPictureFromFile();
    EXPECT_EQ(hands.text(fillIn, E::AnswerPictureColumn), Q::pictureMark());
    m_expected.last().answerPicture = fileBytes(m_jpeg);
    // A question typed by mistake, deleted further on.
    const qint32 mistaken = hands.add(question({}, {}, {}, u"作废的题"_s, {}, u"对"_s, u"判断"_s, 1, 1));

    // Choice questions with text options: options and answers without labels.
    const QList<Expected> choices{
        question(u"比较大小"_s, {}, {}, u"下列各数中最大的是"_s,
                 u"七分之一\r\n零点五\r\n三分之二\r\n四分之三"_s, u"四分之三"_s, u"选择"_s, 3, 5, true),
        question(u"奇偶"_s, {}, {}, u"下列各数中是偶数的有"_s, u"十二\r\n十五\r\n二十\r\n二十七"_s,
                 u"十二\r\n二十"_s, u"选择"_s, 3, 5, true),
    };
    QList<qint32> choiceIds;
    for (const Expected& q : choices) {
        m_expected << q;
        choiceIds << hands.add(q);
    }

    // A choice question whose options are drawn in its picture, answered with a
    // letter, and its twin answered with a circled number.
    Expected letters = question(u"对称"_s, {}, {}, kPictureStem, {}, u"B"_s, u"选择"_s, 4, 5, true);
    const qint32 letterId = hands.add(letters);
    hands.click(letterId, E::StemPictureColumn);
    prompter.answerOpenFile(m_png);
    pictures.addPictureFromFile();
    ASSERT_TRUE(run.store.setCurrent(course) && run.store.goToRecordId(letterId));
    letters.stemPicture = run.store.readBytes(Q::StemPictureData);
    EXPECT_TRUE(letters.stemPicture.startsWith("\xFF\xD8\xFF")) << "a PNG is stored as JPEG";
    EXPECT_EQ(QImage::fromData(letters.stemPicture).size(), QSize(64, 32));
    m_expected << letters;

    hands.click(letterId, E::StemText1Column);
    editor.copyQuestionBelow();
    const qint32 circledId = hands.currentId();
    EXPECT_NE(circledId, letterId);
    EXPECT_TRUE(hands.type(circledId, E::AnswerColumn, u"②"_s));
    Expected circled = letters;
    circled.answer = u"②"_s;
    m_expected << circled;

    // The mistaken question goes: marked, purged, and the rest keep their records.
    hands.click(mistaken, E::StemText1Column);
    prompter.answerOkCancel(true, u"删除试题后将不能恢复，确定要删除所选试题吗"_s);
    editor.deleteSelectedQuestions();
    EXPECT_EQ(editor.caption(), u"题库编辑 —— 数学（共 7 题）"_s);

    // A group: its title question, then two sub-questions that join it.
    Expected title = question({}, u"材料题"_s, u"0"_s, u"小明家到学校1200米，他每分钟走80米。"_s, {}, {},
                              u"问答"_s, 5, 12);
    const qint32 titleId = hands.add(title);
    prompter.answerOkCancel(
        true, u"将该题转为标题分组试题将删除该题的答案和答案图片，确定将该题转为标题分组试题吗？"_s);
    EXPECT_TRUE(hands.type(titleId, E::GroupNameColumn, u"材料题"_s));
    EXPECT_EQ(hands.text(titleId, E::GroupNumberColumn), u"0"_s);
    m_expected << title;
    const QList<Expected> subs{
        question(u"路程"_s, u"材料题"_s, u"1"_s, u"他走到学校要几分钟？"_s, {}, u"15分钟"_s, u"问答"_s, 5, 4),
        question(u"速度"_s, u"材料题"_s, u"2"_s, u"要10分钟到校，每分钟要走多少米？"_s, {}, u"120米"_s,
                 u"问答"_s, 5, 6),
    };
    for (const Expected& q : subs) {
        const qint32 id = hands.add(q);
        EXPECT_TRUE(hands.type(id, E::GroupNameColumn, u"材料题"_s));
        EXPECT_EQ(hands.text(id, E::GroupNumberColumn), u"1"_s) << "a question joins as number 1";
        if (q.groupNumber != u"1"_s) {
            EXPECT_TRUE(hands.edit(id, E::GroupNumberColumn, q.groupNumber));
        }
        m_expected << q;
    }
    EXPECT_EQ(hands.text(titleId, E::ScoreColumn), u"10"_s);
    // Titles first, then their sub-questions in number order.
    const int titleRow = hands.rowOf(titleId);
    EXPECT_EQ(editor.grid().text(titleRow + 1, E::GroupNumberColumn), u"1"_s);
    EXPECT_EQ(editor.grid().text(titleRow + 2, E::GroupNumberColumn), u"2"_s);
    EXPECT_EQ(editor.caption(), u"题库编辑 —— 数学（共 8 题）"_s);
    EXPECT_EQ(editor.questionCount(), 8);

    // 题型 › 编辑: 问答 is called 解答 in this school, with a note for the paper.
    // The rename reaches the questions and the editor's own list of types.
    {
        TypeEditor types(run.store, prompter, course, [&] { editor.loadEditorGrid(); });
        types.load();
        int essay = 0;
        for (int r = 1; r < types.grid().rowCount(); ++r) {
            if (types.grid().text(r, TypeEditor::NameColumn) == u"问答"_s)
                essay = r;
        }
        ASSERT_GT(essay, 0);
        prompter.answerOkCancel(true, u"确定要将题型 问答 修改为 解答 吗？"_s);
        types.grid().setCursor(essay, TypeEditor::NameColumn);
        EXPECT_TRUE(types.grid().editInPlace(essay, TypeEditor::NameColumn, u"解答"_s));
        types.grid().setCursor(essay, TypeEditor::DescriptionColumn);
        EXPECT_TRUE(types.grid().editInPlace(essay, TypeEditor::DescriptionColumn, u"写出必要的步骤。"_s));
        ASSERT_TRUE(run.store.setCurrent(course));
    }
    for (Expected& q : m_expected) {
        if (q.type == u"问答"_s)
            q.type = u"解答"_s;
    }
    EXPECT_EQ(hands.text(titleId, E::TypeColumn), u"解答"_s);
    EXPECT_EQ(editor.typeNames(), (QStringList{u"判断"_s, u"选择"_s, u"填空"_s, u"名词"_s, u"解答"_s}));
    // A third sub-question of the renamed type.
    const Expected third =
        question(u"时间"_s, u"材料题"_s, u"3"_s, u"他7:40出发，几点到校？"_s, {}, u"7:55"_s, u"解答"_s, 5, 2);
    const qint32 thirdId = hands.add(third);
    EXPECT_TRUE(hands.type(thirdId, E::GroupNameColumn, u"材料题"_s));
    EXPECT_TRUE(hands.edit(thirdId, E::GroupNumberColumn, u"3"_s));
    m_expected << third;
    EXPECT_EQ(hands.text(titleId, E::ScoreColumn), u"12"_s);
    EXPECT_EQ(hands.text(thirdId, E::GroupNumberColumn), u"3"_s);

    // Sorted hardest first, the rows move; edits still reach their own records.
    hands.click(fillIn, E::DifficultyColumn);
    editor.sortCurrentColumn(false);
    for (int r = 2; r < editor.grid().rowCount(); ++r) {
        EXPECT_GE(editor.grid().text(r - 1, E::DifficultyColumn).toInt(),
                  editor.grid().text(r, E::DifficultyColumn).toInt());
    }
    EXPECT_TRUE(hands.type(fillIn, E::KnowledgeColumn, u"圆 | 周长"_s));
    EXPECT_EQ(hands.text(fillIn, E::KnowledgeColumn), u"圆|周长"_s);
    EXPECT_TRUE(hands.edit(choiceIds.at(1), E::DifficultyColumn, u"2"_s));
    for (Expected& q : m_expected) {
        if (q.stem1 == u"半径为r的圆，周长是____。"_s)
            q.knowledge = u"圆|周长"_s;
        if (q.stem1 == u"下列各数中是偶数的有"_s)
            q.difficulty = 2;
    }

    // Every row passes the question rules; nothing was said so far.
    for (int r = 1; r < editor.grid().rowCount(); ++r)
        EXPECT_TRUE(editor.validateQuestionRow(r)) << "row " << r;
    EXPECT_EQ(prompter.messages().size(), saidBefore) << prompter.messages().join(u'|').toStdString();

    // 导出 to the stick: both table files, byte for byte.
    prompter.answerChooseFolder(m_stick.path());
    prompter.expectMessage(u"导出课程完毕。"_s);
    transfer.exportCourse();
    m_exportPath = QDir(m_stick.path()).filePath(u"数学备份-王老师.edb"_s);
    EXPECT_EQ(fileHash(m_exportPath), fileHash(u"数学.edb"_s));
    EXPECT_EQ(fileHash(QDir(m_stick.path()).filePath(u"数学备份-王老师.edt"_s)), fileHash(u"数学.edt"_s));

    // Closing: one letter version and one circled version is what the guide asks
    // for, so nothing is asked (an unexpected question fails the test).
    EXPECT_TRUE(editor.mayCloseEditor());
}

// ---- 4: a colleague's data folder imports the export

void TeacherFirstHour::colleagueImports() {
    QDir::setCurrent(m_colleague.path());
    {
        ProgramRun run;
        ASSERT_NO_FATAL_FAILURE(run.firstStart(u"李老师"_s, u"li"_s, kCourse, u"lz"_s));
        run.chooseCourse(u"lz"_s);
        run.shell.bankEditor = [&](const QString& course) {
            BankEditor editor(run.store, run.prompter, course, countLines);
            editor.open(1000);
            // She has started a group of her own under the same name.
            EditorHands hands(editor);
            const Expected hers = colleaguesTitle();
            hands.add(hers);
            run.prompter.answerOkCancel(true);
            EXPECT_TRUE(hands.type(hands.currentId(), E::GroupNameColumn, u"材料题"_s));

            // The import asks for another name for the incoming group; the name
            // dialog refuses one already in use.
            CourseTransfer transfer(editor, run.store, run.prompter, [&] {
                NewGroupNameCheck dialog(editor.grid(), run.prompter);
                EXPECT_FALSE(dialog.accept(u"材料题"_s));
                EXPECT_TRUE(dialog.accept(u"行程问题"_s));
                return dialog.chosenGroupName();
            });
            // The copy keeps the first teacher's course password.
            run.prompter.answerOpenFile(m_exportPath);
            run.prompter.answerInput(kCoursePassword, m_exportPath);
            run.prompter.answerOkCancel(true, u"分组名重复！按确定更改源分组名并导入，按取消跳过"_s);
            run.prompter.expectMessage(u"该分组名已经存在！"_s);
            run.prompter.expectMessage(u"成功导入11条记录。"_s);
            transfer.importCourse();
            EXPECT_EQ(editor.questionCount(), 9);
            EXPECT_EQ(editor.caption(), u"题库编辑 —— 数学（共 9 题）"_s);
            EXPECT_EQ(editor.grid().rowCount(), 13);
            QList<Expected> merged = m_expected;
            for (Expected& q : merged) {
                if (q.groupName == u"材料题"_s)
                    q.groupName = u"行程问题"_s;
            }
            merged << hers;
            ASSERT_TRUE(run.store.setCurrent(course));
            expectBankHolds(readBank(run.store), merged);
            // Both groups in group order, each title before its own sub-questions.
            for (int r = 1; r < editor.grid().rowCount(); ++r) {
                if (editor.grid().text(r, E::GroupNameColumn) == u"行程问题"_s) {
                    EXPECT_EQ(editor.grid().text(r, E::GroupNumberColumn), u"0"_s);
                    EXPECT_EQ(editor.grid().text(r + 1, E::GroupNumberColumn), u"1"_s);
                    EXPECT_EQ(editor.grid().text(r + 2, E::GroupNumberColumn), u"2"_s);
                    EXPECT_EQ(editor.grid().text(r + 2, E::GroupNameColumn), u"行程问题"_s);
                    break;
                }
            }

            // The same copy again brings nothing new.
            run.prompter.answerOpenFile(m_exportPath);
            run.prompter.answerInput(kCoursePassword, m_exportPath);
            run.prompter.expectMessage(u"11条记录重复，实际导入0条记录。"_s);
            transfer.importCourse();
            ASSERT_TRUE(run.store.setCurrent(course));
            EXPECT_EQ(run.store.recordCount(), 12);

            // Her merged bank goes back to the first teacher.
            run.prompter.answerChooseFolder(m_stick.path());
            run.prompter.expectMessage(u"导出课程完毕。"_s);
            transfer.exportCourse();
            m_mergedPath = QDir(m_stick.path()).filePath(u"数学备份-李老师.edb"_s);
            EXPECT_TRUE(QFile::exists(m_mergedPath));
            EXPECT_TRUE(editor.mayCloseEditor());
        };
        run.logic.openBankEditor();
        EXPECT_EQ(run.shell.opened, QStringList{u"题库编辑 数学"_s});
    }
    // The export was only read.
    EXPECT_EQ(fileHash(m_exportPath), fileHash(m_folder.file(u"数学.edb"_s)));
    QDir::setCurrent(m_folder.path());
}

// The first teacher imports the colleague's merged bank: everything of her own
// is dropped as a duplicate, the colleague's group comes in under a new name.
void TeacherFirstHour::mergeBack() {
    ProgramRun run;
    ASSERT_TRUE(run.logic.start());
    run.chooseCourse(kCoursePassword);
    run.shell.bankEditor = [&](const QString& course) {
        BankEditor editor(run.store, run.prompter, course, countLines);
        editor.open(1000);
        CourseTransfer transfer(editor, run.store, run.prompter, [&] {
            NewGroupNameCheck dialog(editor.grid(), run.prompter);
            EXPECT_TRUE(dialog.accept(u"称重问题"_s));
            return dialog.chosenGroupName();
        });
        run.prompter.answerOpenFile(m_mergedPath);
        run.prompter.answerInput(u"lz"_s, m_mergedPath);
        run.prompter.answerOkCancel(true, u"分组名重复！按确定更改源分组名并导入，按取消跳过"_s);
        run.prompter.expectMessage(u"11条记录重复，实际导入1条记录。"_s);
        transfer.importCourse();
        EXPECT_EQ(editor.caption(), u"题库编辑 —— 数学（共 9 题）"_s);
        Expected hers = colleaguesTitle();
        hers.groupName = u"称重问题"_s;
        m_expected << hers;
        ASSERT_TRUE(run.store.setCurrent(course));
        expectBankHolds(readBank(run.store), m_expected);
        EXPECT_TRUE(editor.mayCloseEditor());
    };
    run.logic.openBankEditor();
    EXPECT_EQ(run.shell.opened, QStringList{u"题库编辑 数学"_s});
}

// ---- 5–6: papers by hand, then automatically

void TeacherFirstHour::composePapers() {
    ProgramRun run;
    ASSERT_TRUE(run.logic.start());
    EXPECT_EQ(run.logic.courseList(), QStringList{kCourse});
    run.chooseCourse(kCoursePassword);
    run.shell.paperComposer = [&](const QString& course) { composerSession(run, course); };
    run.logic.openPaperComposer();
    EXPECT_EQ(run.shell.opened, QStringList{u"组卷 数学"_s});
}

void TeacherFirstHour::composerSession(ProgramRun& run, const QString& course) {
    BuiltInWordProcessor word;
    PaperComposer composer(run.store, run.prompter, course, word);
    RecordingOpener opener;
    RandomSource random(1);
    AssembledPaper lastPaper;
    std::unique_ptr<AutoComposer> autoComposer;
    P::Hooks hooks;
    hooks.generatePaper = [&](PaperComposer& c, const QString& paper) {
        PaperGeneration generation(random, opener, m_temp.path() + u'/');
        lastPaper = generation.generatePaper(c, paper);
    };
    // The first composition finds no numbering file: the settings window opens
    // and saves the default styles when it closes.
    int numberingWindows = 0;
    hooks.runNumberingSettings = [&] {
        ++numberingWindows;
        NumberingSettings settings(run.prompter);
        settings.open();
        EXPECT_TRUE(settings.mayClose());
        EXPECT_TRUE(settings.close());
    };
    hooks.showAutoComposer = [&] {
        autoComposer = std::make_unique<AutoComposer>(composer, run.prompter, course);
        autoComposer->open();
    };
    hooks.closeAutoComposer = [&] {
        autoComposer.reset();
        composer.autoComposerClosed();
    };
    composer.setHooks(hooks);
    composer.open();
    EXPECT_EQ(numberingWindows, 1);
    EXPECT_TRUE(QFile::exists(NumberingSettings::fileName()));
    EXPECT_EQ(composer.numberingStyles(), (QStringList{u"大写"_s, u"罗马"_s}));
    EXPECT_TRUE(composer.outputChoiceEnabled());
    EXPECT_EQ(composer.questionGrid().rowCount(), 13);

    GridModel& grid = composer.questionGrid();
    auto rowOf = [&](const QString& stem, const QString& answer = {}) {
        for (int r = 1; r < grid.rowCount(); ++r) {
            if (grid.text(r, P::StemText1Column) != stem)
                continue;
            // The composer does not show answers; twins differ by record.
            if (answer.isEmpty())
                return r;
            const qint32 id = grid.text(r, P::RecordIdColumn).toInt();
            if (run.store.setCurrent(course) && run.store.goToRecordId(id) &&
                run.store.readText(Q::Answer) == answer)
                return r;
        }
        ADD_FAILURE() << "no row for " << stem.toStdString();
        return 0;
    };
    auto click = [&](GridModel& g, int row, int column) {
        Q_EMIT g.events().leftButtonDown(0, 0, Qt::NoModifier);
        g.setCursor(row, column);
        Q_EMIT g.events().leftButtonUp(0, 0, Qt::NoModifier);
    };
    auto tick = [&](int row, P::Paper paper) {
        const int column = paper == P::Paper::A ? P::PaperAColumn : P::PaperBColumn;
        click(grid, row, column);
        EXPECT_TRUE(grid.editInPlace(row, column, true));
    };

    // 判断 is worth 3 from now on: the type order table's score goes to every
    // judgement question and to the type library.
    GridModel& types = composer.typeOrderTable();
    int judgement = 0;
    for (int r = 1; r < types.rowCount(); ++r)
        if (types.text(r, P::TypeNameColumn) == u"判断"_s)
            judgement = r;
    ASSERT_GT(judgement, 0);
    click(types, judgement, P::TypeScoreColumn);
    run.prompter.answerOkCancel(true, u"确定要改变题型分值吗？"_s);
    EXPECT_TRUE(types.editInPlace(judgement, P::TypeScoreColumn, u"3"_s));
    for (const QString& stem : {u"两点确定一条直线。"_s, u"三角形的内角和是360度。"_s}) {
        EXPECT_EQ(grid.text(rowOf(stem), P::ScoreColumn), u"3"_s);
        for (Expected& q : m_expected)
            if (q.stem1 == stem)
                q.score = 3;
    }

    // The answers to 填空 stand on lines of their own from now on, as those to
    // 解答 (once 问答) do from the start; the type library keeps it.
    for (int r = 1; r < types.rowCount(); ++r) {
        EXPECT_EQ(types.checked(r, P::AnswerLineBreakColumn), types.text(r, P::TypeNameColumn) == u"解答"_s);
        if (types.text(r, P::TypeNameColumn) == u"填空"_s) {
            click(types, r, P::AnswerLineBreakColumn);
            EXPECT_TRUE(types.editInPlace(r, P::AnswerLineBreakColumn, true));
        }
    }

    // Paper A: a judgement, a text choice, the circled picture question, the
    // fill-in and the group (its title ticks the whole group). Paper B: the other
    // judgement and choice, the letter picture question, the fill-in and the group.
    const QString titleStem = u"小明家到学校1200米，他每分钟走80米。"_s;
    for (const int row :
         {rowOf(u"两点确定一条直线。"_s), rowOf(u"下列各数中最大的是"_s), rowOf(kPictureStem, u"②"_s),
          rowOf(u"半径为r的圆，周长是____。"_s), rowOf(titleStem)})
        tick(row, P::Paper::A);
    EXPECT_TRUE(grid.checked(rowOf(u"他走到学校要几分钟？"_s), P::PaperAColumn));
    for (const int row :
         {rowOf(u"三角形的内角和是360度。"_s), rowOf(u"下列各数中是偶数的有"_s), rowOf(kPictureStem, u"B"_s),
          rowOf(u"半径为r的圆，周长是____。"_s), rowOf(titleStem)})
        tick(row, P::Paper::B);
    EXPECT_EQ(composer.totalText(P::Paper::A), u"28"_s);
    EXPECT_EQ(composer.totalText(P::Paper::B), u"28"_s);
    // The fill-in question (3 points) and the group (12) are in both.
    EXPECT_EQ(composer.similarityText(), QString::number(P::similarityPercent(15, 28, 28)));
    EXPECT_EQ(composer.similarityText(), u"53"_s);
    ASSERT_TRUE(composer.generateEnabled(P::Paper::A));
    ASSERT_TRUE(composer.generateEnabled(P::Paper::B));

    // 生成A卷 as HTML.
    composer.setWordSelected(false);
    composer.generatePaper(P::Paper::A);
    ASSERT_EQ(opener.opened.size(), 2);
    checkHtmlPaperA(lastPaper, opener.opened);

    // 生成B卷 as .docx, 判断 moved to the end, with circled option labels,
    // sub-questions numbered through the paper and the score of each major
    // question noted.
    click(types, judgement, P::OrderColumn);
    EXPECT_TRUE(types.editInPlace(judgement, P::OrderColumn, u"9"_s));
    EXPECT_EQ(types.text(types.rowCount() - 1, P::TypeNameColumn), u"判断"_s);
    composer.setWordSelected(true);
    composer.setOptionLabelIndex(1);
    composer.setContinuousNumbering(true);
    composer.setMajorScoreNote(true);
    composer.generatePaper(P::Paper::B);
    ASSERT_EQ(opener.opened.size(), 4);
    checkDocxPaperB(lastPaper, opener.opened.mid(2));
    EXPECT_TRUE(run.prompter.messages().isEmpty()) << run.prompter.messages().join(u'|').toStdString();

    autoCompose(run, composer, autoComposer);

    // The drawn paper A goes out as HTML like a hand-made one.
    composer.setWordSelected(false);
    composer.generatePaper(P::Paper::A);
    ASSERT_EQ(opener.opened.size(), 6);
    EXPECT_EQ(lastPaper.rows.size(), 2);
    EXPECT_EQ(lastPaper.settings.totalText, u"8"_s);
    // The settings chosen for paper B still hold: numbers run on.
    EXPECT_EQ(lastPaper.minorNumbers(), (QList<int>{1, 2}));
    const QString drawn = fromGbk(fileBytes(opener.opened.at(4)));
    for (int i = 0; i < lastPaper.rows.size(); ++i) {
        EXPECT_TRUE(drawn.contains(QString::number(i + 1) + u". "_s + lastPaper.rows[i].stem1))
            << lastPaper.rows[i].stem1.toStdString();
    }

    // Edits made in the composer reach the bank when it closes: a sub-question's
    // score (its title follows) and a question's difficulty.
    const int sub = rowOf(u"他走到学校要几分钟？"_s);
    click(grid, sub, P::ScoreColumn);
    EXPECT_TRUE(grid.editInPlace(sub, P::ScoreColumn, u"5"_s));
    EXPECT_EQ(grid.text(rowOf(u"小明家到学校1200米，他每分钟走80米。"_s), P::ScoreColumn), u"13"_s);
    const int choice = rowOf(u"下列各数中最大的是"_s);
    click(grid, choice, P::DifficultyColumn);
    EXPECT_TRUE(grid.editInPlace(choice, P::DifficultyColumn, u"6"_s));
    for (Expected& q : m_expected) {
        if (q.stem1 == u"他走到学校要几分钟？"_s)
            q.score = 5;
        if (q.groupName == u"材料题"_s && q.groupNumber == u"0"_s)
            q.score = 13;
        if (q.stem1 == u"下列各数中最大的是"_s)
            q.difficulty = 6;
    }
    composer.close();
    EXPECT_TRUE(run.prompter.messages().size() == 1) << run.prompter.messages().join(u'|').toStdString();
}

void TeacherFirstHour::checkHtmlPaperA(const AssembledPaper& paper, const QStringList& files) {
    // Each generation in a folder of its own inside the user's folder.
    const QString folder = QFileInfo(files.at(0)).path() + u'/';
    EXPECT_TRUE(folder.startsWith(m_temp.path() + u"/helan-"_s)) << folder.toStdString();
    EXPECT_TRUE(QDir(folder).dirName().endsWith(u"  A卷  "_s + paper.settings.generationTime));
    EXPECT_EQ(files.at(0), folder + paper.documentTitle(u"试题"_s) + u".html"_s);
    EXPECT_EQ(files.at(1), folder + paper.documentTitle(u"答案"_s) + u".html"_s);
    EXPECT_TRUE(paper.documentTitle(u"试题"_s).startsWith(u"数学  "_s));
    EXPECT_TRUE(
        paper.documentTitle(u"试题"_s).endsWith(u"  A卷  "_s + paper.settings.generationTime + u"  试题"_s));
    const QString html = fromGbk(fileBytes(files.at(0)));
    const QString answers = fromGbk(fileBytes(files.at(1)));
    EXPECT_TRUE(html.contains(paper.documentTitle(u"试题"_s)));
    EXPECT_TRUE(answers.contains(paper.documentTitle(u"答案"_s)));

    // Major questions in the type order table's order — the types as the
    // composer's grid first shows them, groups before ungrouped questions —
    // numbered by the style 大写.
    const QStringList headings{u"一. 解答"_s, u"二. 判断"_s, u"三. 填空"_s, u"四. 选择"_s};
    qsizetype last = -1;
    for (const QString& heading : headings) {
        const qsizetype at = html.indexOf(heading);
        EXPECT_GT(at, last) << heading.toStdString();
        last = at;
        EXPECT_TRUE(answers.contains(heading)) << heading.toStdString();
    }
    for (const QString& stem :
         {u"两点确定一条直线。"_s, u"下列各数中最大的是"_s, kPictureStem, u"半径为r的圆，周长是____。"_s,
          u"小明家到学校1200米，他每分钟走80米。"_s, u"他走到学校要几分钟？"_s,
          u"要10分钟到校，每分钟要走多少米？"_s, u"他7:40出发，几点到校？"_s})
        EXPECT_TRUE(html.contains(stem)) << stem.toStdString();
    for (const QString& stem : {u"三角形的内角和是360度。"_s, u"下列各数中是偶数的有"_s})
        EXPECT_FALSE(html.contains(stem)) << stem.toStdString();

    // Per row: the number the writers give it, and the row itself.
    const QList<int> minors = paper.minorNumbers();
    auto rowFor = [&](const QString& stem) -> int {
        for (int i = 0; i < paper.rows.size(); ++i)
            if (paper.rows[i].stem1 == stem)
                return i;
        ADD_FAILURE() << "not in paper A: " << stem.toStdString();
        return 0;
    };
    ASSERT_EQ(paper.rows.size(), 8);

    // The drawn option order: the paper shows the label with the option, the
    // answer sheet the same label under the question's number.
    const PaperRow& choice = paper.rows[rowFor(u"下列各数中最大的是"_s)];
    const QRegularExpression labelled(u"([A-D])\\. 四分之三"_s);
    const QRegularExpressionMatch option = labelled.match(choice.stem2);
    ASSERT_TRUE(option.hasMatch()) << choice.stem2.toStdString();
    EXPECT_EQ(choice.answer, option.captured(1));
    EXPECT_TRUE(html.contains(option.captured(0)));
    const int choiceNumber = minors[rowFor(u"下列各数中最大的是"_s)];
    EXPECT_TRUE(answers.contains(QString::number(choiceNumber) + u". "_s + choice.answer + u"&nbsp"_s));

    // Letter labels were chosen: the circled question gives way to its letter twin.
    const PaperRow& picture = paper.rows[rowFor(kPictureStem)];
    EXPECT_EQ(picture.answer, u"B"_s);
    EXPECT_TRUE(answers.contains(QString::number(minors[rowFor(kPictureStem)]) + u". B"_s));
    EXPECT_TRUE(html.contains(u"<img src='"_s + PaperText::fileUrl(folder + u"A卷试题0.jpg"_s) + u"'/>"_s));
    EXPECT_EQ(fileBytes(folder + u"A卷试题0.jpg"_s), expected(kPictureStem, u"B"_s).stemPicture);

    // The answer sheet: answers in order, the fill-in's drawing, no title number.
    const int judgementNumber = minors[rowFor(u"两点确定一条直线。"_s)];
    EXPECT_EQ(judgementNumber, 1);
    EXPECT_TRUE(answers.contains(u"1. 对"_s));
    EXPECT_TRUE(answers.contains(u"<div>1. 2πr<img src='"_s + PaperText::fileUrl(folder + u"A卷答案0.jpg"_s) +
                                 u"'/></div><div>&nbsp</div>"_s));
    EXPECT_EQ(fileBytes(folder + u"A卷答案0.jpg"_s), fileBytes(m_jpeg));
    // The group: its title unnumbered, then its sub-questions in number order,
    // their answers one a line.
    const int title = rowFor(u"小明家到学校1200米，他每分钟走80米。"_s);
    EXPECT_EQ(paper.rows[title + 1].stem1, u"他走到学校要几分钟？"_s);
    EXPECT_EQ(paper.rows[title + 2].stem1, u"要10分钟到校，每分钟要走多少米？"_s);
    EXPECT_EQ(paper.rows[title + 3].stem1, u"他7:40出发，几点到校？"_s);
    EXPECT_EQ(minors.mid(title, 4), (QList<int>{0, 1, 2, 3}));
    EXPECT_TRUE(html.contains(u"<div>1. 他走到学校要几分钟？"_s));
    EXPECT_TRUE(answers.contains(u"<div>1. 15分钟</div><div>&nbsp</div><div>2. 120米</div><div>&nbsp</div>"
                                 u"<div>3. 7:55</div><div>&nbsp</div>"_s));
    EXPECT_FALSE(answers.contains(u"小明家"_s));
    // The type's note follows its heading on the paper, not on the answer sheet.
    EXPECT_TRUE(html.contains(
        u"一. 解答</strong><font size='4'><div style='text-indent: 1em'>写出必要的步骤。</div>"_s));
    EXPECT_FALSE(answers.contains(u"写出必要的步骤。"_s));
}

void TeacherFirstHour::checkDocxPaperB(const AssembledPaper& paperB, const QStringList& files) {
    EXPECT_TRUE(files.at(0).startsWith(m_temp.path() + u"/helan-"_s));
    EXPECT_TRUE(QFileInfo(files.at(0)).fileName().startsWith(u"数学  "_s));
    EXPECT_TRUE(files.at(0).endsWith(u"  试题.docx"_s));
    EXPECT_TRUE(files.at(1).endsWith(u"  答案.docx"_s));

    DocxReader paper(files.at(0));
    ASSERT_TRUE(paper.opened());
    EXPECT_EQ(paper.problems(), QStringList());
    const QString document = QString::fromUtf8(paper.parts().value(u"word/document.xml"_s));
    for (const QString& stem : {u"三角形的内角和是360度。"_s, u"下列各数中是偶数的有"_s, kPictureStem,
                                u"半径为r的圆，周长是____。"_s, u"小明家到学校1200米，他每分钟走80米。"_s})
        EXPECT_TRUE(document.contains(stem)) << stem.toStdString();
    EXPECT_FALSE(document.contains(u"两点确定一条直线。"_s));
    EXPECT_FALSE(document.contains(u"下列各数中最大的是"_s));
    for (const QString& option : {u"十二"_s, u"十五"_s, u"二十"_s, u"二十七"_s})
        EXPECT_TRUE(document.contains(option)) << option.toStdString();
    int pictures = 0;
    for (const DocxReader::Paragraph& p : paper.paragraphs()) {
        for (const QString& id : p.pictures) {
            ++pictures;
            EXPECT_TRUE(paper.parts().contains(u"word/"_s + paper.target(id))) << id.toStdString();
        }
    }
    EXPECT_EQ(pictures, 1) << "the picture question's drawing";
    QStringList media;
    for (const QString& part : paper.parts().keys())
        if (part.startsWith(u"word/media/"_s))
            media << part;
    ASSERT_EQ(media.size(), 1);
    EXPECT_EQ(QImage::fromData(paper.parts().value(media.first())).size(), QSize(64, 32));

    DocxReader answers(files.at(1));
    ASSERT_TRUE(answers.opened());
    EXPECT_EQ(answers.problems(), QStringList());
    const QString answerText = QString::fromUtf8(answers.parts().value(u"word/document.xml"_s));
    EXPECT_TRUE(answerText.contains(u"错"_s));
    EXPECT_TRUE(answerText.contains(u"2πr"_s));
    // Both correct options keep their labels from the paper to the answer sheet.
    const auto evens = std::find_if(paperB.rows.begin(), paperB.rows.end(), [](const PaperRow& row) {
        return row.stem1 == u"下列各数中是偶数的有"_s;
    });
    ASSERT_NE(evens, paperB.rows.end());
    QString labels;
    for (const QString& option : {u"十二"_s, u"二十"_s}) {
        const QRegularExpressionMatch m =
            QRegularExpression(u"([①-④])\\. "_s + option + u" "_s).match(evens->stem2);
        ASSERT_TRUE(m.hasMatch()) << evens->stem2.toStdString();
        labels += m.captured(1);
    }
    std::sort(labels.begin(), labels.end());
    EXPECT_EQ(evens->answer, labels);
    const int number = paperB.minorNumbers().at(int(evens - paperB.rows.begin()));
    QString answerParagraphs;
    for (const DocxReader::Paragraph& p : answers.paragraphs())
        answerParagraphs += p.text + u'\n';
    EXPECT_TRUE(answerParagraphs.contains(QString::number(number) + u". "_s + labels))
        << answerParagraphs.toStdString();
    // Circled labels: the letter picture question gives way to its circled twin.
    for (const PaperRow& row : paperB.rows) {
        if (row.stem1 == kPictureStem) {
            EXPECT_EQ(row.answer, u"②"_s);
        }
    }
    // Numbers run on through the paper; each major question notes its scores.
    // The group's title carries no number and the group's 10 points stand for
    // each 问答 question.
    EXPECT_EQ(paperB.minorNumbers(), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    QString paperParagraphs;
    for (const DocxReader::Paragraph& p : paper.paragraphs())
        paperParagraphs += p.text + u'\n';
    for (const QString& numbered :
         {u"\n小明家到学校1200米，他每分钟走80米。"_s, u"\n1. 他走到学校要几分钟？"_s,
          u"\n2. 要10分钟到校，每分钟要走多少米？"_s, u"\n3. 他7:40出发，几点到校？"_s,
          u"\n4. 半径为r的圆，周长是____。"_s, u"\n7. 三角形的内角和是360度。"_s,
          u"\n写出必要的步骤。\n"_s}) {
        EXPECT_TRUE(paperParagraphs.contains(numbered)) << numbered.toStdString();
    }
    for (const QString& numbered : {u"\n1. 15分钟\n"_s, u"\n2. 120米\n"_s, u"\n3. 7:55\n"_s, u"\n7. 错"_s}) {
        EXPECT_TRUE(answerParagraphs.contains(numbered)) << numbered.toStdString();
    }
    // The group's sub-questions are worth different scores: the total only.
    for (const QString& heading : {u"一. 解答（共12分）"_s, u"二. 填空（每题3分，共3分）"_s,
                                   u"三. 选择（每题5分，共10分）"_s, u"四. 判断（每题3分，共3分）"_s}) {
        EXPECT_TRUE(paperParagraphs.contains(heading)) << heading.toStdString();
        EXPECT_TRUE(answerParagraphs.contains(heading)) << heading.toStdString();
    }
    int answerMedia = 0;
    for (const QString& part : answers.parts().keys())
        if (part.startsWith(u"word/media/"_s)) {
            ++answerMedia;
            EXPECT_EQ(QImage::fromData(answers.parts().value(part)).size(), QSize(40, 40));
        }
    EXPECT_EQ(answerMedia, 1) << "the fill-in question's answer drawing";
}

void TeacherFirstHour::autoCompose(ProgramRun& run, PaperComposer& composer,
                                   std::unique_ptr<AutoComposer>& autoComposer) {
    // Difficulty 2 to 3: the range bounds what the table counts as usable (the
    // picture questions and the fill-in are 4); the draw itself looks only at
    // type, score and knowledge points.
    composer.highestDifficultyPressed();
    composer.chooseHighestDifficulty(u"3"_s);
    composer.lowestDifficultyPressed();
    composer.chooseLowestDifficulty(u"2"_s);
    EXPECT_EQ(composer.lowestDifficulty(), u"2"_s);
    EXPECT_EQ(composer.highestDifficulty(), u"3"_s);

    composer.startAutoComposition();
    ASSERT_TRUE(autoComposer);
    EXPECT_TRUE(composer.isAutoComposerOpen());
    EXPECT_FALSE(composer.autoComposeEnabled());

    // One 3-point judgement and one 5-point choice per paper.
    GridModel& table = autoComposer->typeTable();
    auto choose = [&](const QString& type, int score, int count) {
        for (int r = 1; r < table.rowCount(); ++r) {
            if (table.text(r, A::TypeNameColumn) != type || table.text(r, A::ScoreColumn).toInt() != score)
                continue;
            table.setCursor(r, A::ChosenColumn);
            Q_EMIT table.events().leftButtonUp(0, 0, Qt::NoModifier);
            EXPECT_TRUE(table.editInPlace(r, A::ChosenColumn, QString::number(count)));
            return;
        }
        ADD_FAILURE() << "no type row " << type.toStdString() << score;
    };
    QStringList counts;
    for (int r = 1; r < table.rowCount(); ++r) {
        QStringList cells;
        for (int c = A::TypeNameColumn; c <= A::SelectableColumn; ++c)
            cells << table.text(r, c);
        counts << cells.join(u'/');
    }
    counts.sort();
    // 题型/分值/题数/可用/可选: 可选 counts knowledge points ("三角形|内角和" two),
    // never more than the questions there are.
    EXPECT_EQ(counts, (QStringList{u"判断/3/2/2/2"_s, u"填空/3/1//0"_s, u"解答/12/1//0"_s, u"选择/5/4/2/2"_s,
                                   u"问答/0/1//0"_s}));
    choose(u"判断"_s, 3, 1);
    choose(u"选择"_s, 5, 1);
    EXPECT_EQ(autoComposer->chosenTotal(), 2);
    autoComposer->setPaperChoice(true, true);
    autoComposer->setSimilarityLimit(u"30"_s);

    RandomSource random(12345);
    AutoComposeRun composing(*autoComposer, random);
    run.prompter.answerOkCancel(true, u"自动组A、B卷将取消原来A、B卷所有选择，确定要自动组A、B卷吗？"_s);
    run.prompter.expectMessage(u"自动组A、B卷完毕，请在组卷窗口查看。"_s);
    composing.startOrStop();
    ASSERT_TRUE(composing.running());
    EXPECT_TRUE(composer.locked());
    composing.runToEnd();
    EXPECT_FALSE(composing.running());
    EXPECT_FALSE(composer.locked());

    EXPECT_EQ(composer.totalText(P::Paper::A), u"8"_s);
    EXPECT_EQ(composer.totalText(P::Paper::B), u"8"_s);
    EXPECT_LE(composer.similarityText().toInt(), 30);
    // Exactly what the papers hold now, with no knowledge point twice in a paper;
    // the hand-made papers are gone.
    const GridModel& grid = composer.questionGrid();
    for (const int column : {int(P::PaperAColumn), int(P::PaperBColumn)}) {
        QStringList points;
        QStringList types;
        for (int r = 1; r < grid.rowCount(); ++r) {
            if (!grid.checked(r, column))
                continue;
            points << grid.text(r, P::KnowledgeColumn);
            types << grid.text(r, P::TypeColumn) + grid.text(r, P::ScoreColumn);
        }
        types.sort();
        EXPECT_EQ(types, (QStringList{u"判断3"_s, u"选择5"_s})) << "column " << column;
        EXPECT_EQ(QSet<QString>(points.begin(), points.end()).size(), points.size());
    }
    composer.recomputePaperState();
    EXPECT_LE(composer.similarityText().toInt(), 30) << "a rebuild agrees";

    EXPECT_TRUE(autoComposer->requestClose());
    composer.hooks().closeAutoComposer();
    EXPECT_FALSE(composer.isAutoComposerOpen());
    EXPECT_TRUE(composer.autoComposeEnabled());
}

// ---- 7: the next start reads the bank back from its files

void TeacherFirstHour::reopenTheBank() {
    ProgramRun run;
    ASSERT_TRUE(run.logic.start());
    run.chooseCourse(kCoursePassword + u"?"_s);
    run.prompter.expectMessage(u"课程密码错误！"_s);
    run.logic.openBankEditor();
    EXPECT_TRUE(run.shell.opened.isEmpty());

    // The administrator gives the course a new password; the bank is locked
    // with it and the old one no longer opens it.
    const QString newPassword = u"新密码2026"_s;
    run.prompter.answerInput(kAdministratorPassword, u"请输入管理员密码："_s);
    run.scriptDialog(u"重置课程密码"_s, kCourse, newPassword);
    run.logic.resetCoursePassword();
    EXPECT_TRUE(run.shell.dialogs.empty());
    EXPECT_TRUE(run.logic.isPasswordEnabled());
    run.logic.setCoursePassword(kCoursePassword);
    run.prompter.expectMessage(u"课程密码错误！"_s);
    run.logic.openBankEditor();
    EXPECT_TRUE(run.shell.opened.isEmpty());

    run.logic.setCoursePassword(newPassword);
    run.shell.bankEditor = [&](const QString& course) {
        expectBankHolds(readBank(run.store), m_expected);
        BankEditor editor(run.store, run.prompter, course, countLines);
        editor.open(1000);
        EXPECT_EQ(editor.caption(), u"题库编辑 —— 数学（共 9 题）"_s);
        for (int r = 1; r < editor.grid().rowCount(); ++r)
            EXPECT_TRUE(editor.validateQuestionRow(r)) << "row " << r;

        // 查找 goes column by column, stems before answers, and never wraps.
        EditorSearch search(editor, run.prompter);
        search.setText(u"分钟"_s);
        run.prompter.expectMessage(u"没有找到指定文本"_s);
        search.searchFromStart();
        QStringList found;
        for (int k = 0; k < 4; ++k) {
            found << editor.grid().text(search.searchRow(), search.searchColumn());
            search.searchNext();
        }
        EXPECT_EQ(found, (QStringList{u"小明家到学校1200米，他每分钟走80米。"_s, u"他走到学校要几分钟？"_s,
                                      u"要10分钟到校，每分钟要走多少米？"_s, u"15分钟"_s}));
        EXPECT_TRUE(run.prompter.done());
        EXPECT_TRUE(editor.mayCloseEditor());
    };
    run.logic.openBankEditor();
    EXPECT_EQ(run.shell.opened, QStringList{u"题库编辑 数学"_s});

    QuestionTypeLibrary library(run.store, run.prompter);
    ASSERT_EQ(library.openTypeLibrary(), OpenOutcome::Ready);
    // The type library kept what the composer changed at once.
    QStringList kept;
    for (int k = 1; k <= run.store.recordCount(); ++k) {
        run.store.goTo(k);
        kept << run.store.readText(QuestionTypeLibrary::TypeName) + u'=' +
                    run.store.readText(QuestionTypeLibrary::Score) +
                    (run.store.readBool(QuestionTypeLibrary::AnswerLineBreak) ? u"/换行"_s : QString());
    }
    EXPECT_EQ(kept, (QStringList{u"判断=3"_s, u"选择=0"_s, u"填空=0/换行"_s, u"名词=0/换行"_s,
                                 u"解答=0/换行"_s, u"问答=0"_s}));

    // Without the new password the bank's files do not open at all.
    for (const QString& password : {QString(), kCoursePassword}) {
        RecordStore stranger;
        EXPECT_FALSE(stranger.open(u"数学.edb"_s, u"试开"_s, password));
    }
}

TEST_F(TeacherFirstHour, FromAnEmptyFolderToTwoPapersAndBack) {
    {
        SCOPED_TRACE("first start, the course and its bank");
        ASSERT_NO_FATAL_FAILURE(writeTheBank());
    }
    ASSERT_EQ(m_expected.size(), 11);
    {
        SCOPED_TRACE("a colleague imports the export");
        ASSERT_NO_FATAL_FAILURE(colleagueImports());
    }
    {
        SCOPED_TRACE("the merged bank comes back");
        ASSERT_NO_FATAL_FAILURE(mergeBack());
    }
    {
        SCOPED_TRACE("papers by hand and automatically");
        ASSERT_NO_FATAL_FAILURE(composePapers());
    }
    {
        SCOPED_TRACE("the bank read back");
        ASSERT_NO_FATAL_FAILURE(reopenTheBank());
    }
    for (const QString& file :
         {u"课程列表.edb"_s, u"题型库.edb"_s, u"数学.edb"_s, u"数学.edt"_s, u"大题编号类型"_s})
        EXPECT_TRUE(QFile::exists(m_folder.file(file))) << file.toStdString();
}

} // namespace
} // namespace helan::test
