// The whole program with each of its writes failed in turn: a disk that fills,
// a stick pulled out, a read-only file. Every flow that writes (courses, the
// administrator, the editor's edits, pictures, types, import, export, the
// composer's write-back, its settings and the papers) is run once as it should
// go, then again with its first, second, … write, copy, rename, change or
// commit failing, kind by kind, until the flow goes through. Each time the
// teacher must hear it once, nothing may say success, every table must be as it
// was before one of the flow's steps or after it (an import: a prefix of whole
// questions, the count said), and no record ID may be handed out twice.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "ProgramDriver.h"
#include "base/RandomSource.h"
#include "base/WriteFaults.h"
#include "compose/BuiltInWordProcessor.h"
#include "compose/NumberingSettings.h"
#include "compose/PaperComposer.h"
#include "compose/PaperGeneration.h"
#include "compose/TypeColourSettings.h"
#include "editor/CourseTransfer.h"
#include "editor/EditorPictures.h"
#include "editor/TypeEditor.h"
#include "model/CourseBank.h"
#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;

namespace helan::test {
namespace {

using Q = QuestionRecord;
using E = BankEditor;
using P = PaperComposer;
using Kind = WriteFaults::Kind;

const QString kAdministrator = u"王老师"_s;
const QString kAdministratorPassword = u"管理123"_s;
const QString kCourse = u"数学"_s;
const QString kCoursePassword = u"sx2026"_s;
const QString kEmptyCourse = u"空课"_s;
const QString kNewPassword = u"新密码"_s;

// Thousands of small folders: in memory where the system has it.
const bool kFoldersInMemory = [] {
    if (QDir(u"/dev/shm"_s).exists())
        qputenv("TMPDIR", "/dev/shm");
    return true;
}();

QVariantList record(const QString& stem, const QString& answer, const QString& type, int score,
                    const QString& group = {}, const QString& number = {}, const QByteArray& picture = {}) {
    return {u"考点"_s + stem.left(2), group, number, stem, picture.isEmpty() ? QString() : Q::pictureMark(),
            QString(), answer, QString(), type, 3, score, false, false, false, picture, QByteArray()};
}

// The places a flow reaches besides the data folder.
struct Places {
    QString picture;   // a picture file on the desktop
    QString colleague; // a colleague's exported bank
    QString stick;     // where exports go
    QString papers;    // the system's temporary folder for papers
};

// One start of the program, the course chosen and unlocked.
struct Session {
    RecordStore store;
    ScriptedPrompter prompter;
    AppState state;
    ScriptedShell shell;
    MainWindowLogic logic{store, prompter, state, shell};

    explicit Session(const QString& course) {
        shell.store = &store;
        EXPECT_TRUE(logic.start());
        const int position = int(logic.courseList().indexOf(course));
        EXPECT_GE(position, 0);
        logic.chooseCourse(position);
        if (course == kCourse)
            logic.setCoursePassword(kCoursePassword);
    }
    ~Session() { logic.shutDown(); }
};

// What a flow's steps have at hand in the window they run in.
struct Hands {
    Session& s;
    const Places& places;
    BankEditor* editor = nullptr;
    EditorHands* hands = nullptr;
    EditorPictures* pictures = nullptr;
    CourseTransfer* transfer = nullptr;
    PaperComposer* composer = nullptr;
    RecordingOpener* opener = nullptr;

    ScriptedPrompter& prompter() { return s.prompter; }
    qint32 id(const QString& stem) const {
        GridModel& grid = editor ? editor->grid() : composer->questionGrid();
        const int stemColumn = editor ? int(E::StemText1Column) : int(P::StemText1Column);
        const int idColumn = editor ? int(E::RecordIdColumn) : int(P::RecordIdColumn);
        for (int r = 1; r < grid.rowCount(); ++r)
            if (grid.text(r, stemColumn) == stem)
                return grid.text(r, idColumn).toInt();
        ADD_FAILURE() << "no row " << stem.toStdString();
        return 0;
    }
    int composerRow(const QString& stem) const {
        GridModel& grid = composer->questionGrid();
        for (int r = 1; r < grid.rowCount(); ++r)
            if (grid.text(r, P::StemText1Column) == stem)
                return r;
        ADD_FAILURE() << "no row " << stem.toStdString();
        return 0;
    }
    void composerEdit(const QString& stem, int column, const QVariant& value) {
        GridModel& grid = composer->questionGrid();
        const int row = composerRow(stem);
        Q_EMIT grid.events().leftButtonDown(0, 0, Qt::NoModifier);
        grid.setCursor(row, column);
        Q_EMIT grid.events().leftButtonUp(0, 0, Qt::NoModifier);
        grid.editInPlace(row, column, value);
    }
    // The type editor as its window runs it: opened, one action, closed.
    void withTypes(const std::function<void(TypeEditor&)>& act) {
        TypeEditor types(s.store, s.prompter, kCourse, [this] { editor->loadEditorGrid(); });
        types.load();
        act(types);
    }
    static int typeRow(TypeEditor& types, const QString& name) {
        for (int r = 1; r < types.grid().rowCount(); ++r)
            if (types.grid().text(r, TypeEditor::NameColumn) == name)
                return r;
        ADD_FAILURE() << "no type " << name.toStdString();
        return 1;
    }
};

enum class Window { Main, Editor, Composer };
using Step = std::function<void(Hands&)>;

struct Flow {
    const char* name;
    Window window;
    QList<Step> steps;
    bool prefix = false; // an import: any prefix of whole questions
    QString course = kCourse;
};

// Every table of the data folder and of the stick, read back through the store
// (whatever password opens it), and every other file as its bytes.
using Snapshot = std::map<QString, QStringList>;

Snapshot snapshot(const QStringList& folders) {
    Snapshot out;
    RecordStore store;
    for (const QString& folder : folders) {
        QDirIterator files(folder, QDir::Files);
        while (files.hasNext()) {
            const QString path = files.next();
            const QString name = QFileInfo(path).fileName();
            if (name.endsWith(u".edt"_s) || name.endsWith(u"-journal"_s) || name.endsWith(u"-wal"_s) ||
                name.endsWith(u"-shm"_s))
                continue;
            QStringList& entry = out[name];
            if (!name.endsWith(u".edb"_s)) {
                QFile file(path);
                entry << (file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll().toHex())
                                                         : u"unreadable"_s);
                continue;
            }
            const QString alias = u"看"_s;
            QString opened;
            for (const QString& password : {QString(), kCoursePassword, kNewPassword}) {
                if (store.open(path, alias, password, true)) {
                    opened = u"password:"_s + password;
                    break;
                }
            }
            if (opened.isEmpty()) {
                entry << u"unreadable"_s;
                continue;
            }
            QStringList records;
            for (int k = 1; k <= store.recordCount(); ++k) {
                store.goTo(k);
                QStringList fields{store.isDeleted() ? u"deleted"_s : u"kept"_s};
                for (int f = 1; f <= store.fieldCount(); ++f) {
                    const QVariant v = store.read(f);
                    fields << (v.typeId() == QMetaType::QByteArray ? QString::fromLatin1(v.toByteArray().toHex())
                                                                    : v.toString());
                }
                records << fields.join(u'\x1f');
            }
            records.sort();
            entry << opened << records;
            store.close(alias);
        }
    }
    return out;
}

class ProgramFaultSweep : public ::testing::Test {
protected:
    void SetUp() override {
        for (const QTemporaryDir* dir : {&m_template, &m_outside})
            ASSERT_TRUE(dir->isValid());
        const QDir outside(m_outside.path());
        m_places.picture = outside.filePath(u"图.png"_s);
        m_places.colleague = outside.filePath(u"同事.edb"_s);
        m_places.papers = outside.filePath(u"papers"_s);
        ASSERT_TRUE(outside.mkpath(u"papers"_s));
        {
            QFile file(m_places.picture);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(encoded(drawing(24, 16), "PNG"));
        }
        buildTemplate();
    }

    // The data folder every run starts from: the administrator, a protected
    // course with a bank, an empty course, the composer's settings files.
    void buildTemplate() {
        const QString previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_template.path()));
        {
            ProgramRun run;
            run.firstStart(kAdministrator, kAdministratorPassword, kCourse, kCoursePassword);
            run.prompter.answerInput(kAdministratorPassword, u"请输入管理员密码："_s);
            run.prompter.answerOkCancel(true);
            run.scriptDialog(u"添加课程"_s, kEmptyCourse, QString());
            run.logic.addCourse();
            RecordStore& store = run.store;
            ASSERT_TRUE(store.open(CourseBank::fileName(kCourse), kCourse, kCoursePassword));
            const QByteArray jpeg = encoded(drawing(8, 8), "JPG");
            const QList<QVariantList> bank = {
                record(u"一元二次方程的根"_s, u"x=1"_s, u"填空"_s, 4, {}, {}, jpeg),
                record(u"三角形内角和是180度"_s, u"对"_s, u"判断"_s, 2),
                record(u"圆的周长公式"_s, u"2πr"_s, u"填空"_s, 3),
                record(u"阅读下列材料"_s, QString(), u"问答"_s, 10, u"阅读"_s, u"0"_s),
                record(u"第一问"_s, u"甲"_s, u"问答"_s, 5, u"阅读"_s, u"1"_s),
                record(u"第二问"_s, u"乙"_s, u"问答"_s, 5, u"阅读"_s, u"2"_s),
                record(u"平行线的性质"_s, u"同位角相等"_s, u"问答"_s, 2),
                record(u"勾股定理"_s, u"a²+b²=c²"_s, u"填空"_s, 3),
            };
            for (const QVariantList& values : bank)
                ASSERT_TRUE(store.append(values));
            ASSERT_TRUE(store.close(kCourse));
            // A colleague's export, two of its questions already ours.
            ASSERT_TRUE(store.create(m_places.colleague, Q::fieldDefs()));
            ASSERT_TRUE(store.open(m_places.colleague, u"同事"_s));
            // A term's worth: forty questions, some with drawings, and a group.
            for (int k = 1; k <= 40; ++k)
                ASSERT_TRUE(store.append(record(u"同事的题%1"_s.arg(k), u"答%1"_s.arg(k), u"判断"_s, 2, {}, {},
                                                k % 10 == 0 ? jpeg : QByteArray())));
            ASSERT_TRUE(store.append(record(u"同事的材料"_s, QString(), u"问答"_s, 6, u"材料"_s, u"0"_s)));
            for (int k = 1; k <= 3; ++k)
                ASSERT_TRUE(store.append(record(u"材料第%1问"_s.arg(k), u"解"_s, u"问答"_s, 2, u"材料"_s,
                                                QString::number(k))));
            ASSERT_TRUE(store.append(bank.at(1)));
            ASSERT_TRUE(store.append(bank.at(2)));
            ASSERT_TRUE(store.close(u"同事"_s));
            NumberingSettings numbering(run.prompter);
            numbering.open();
            ASSERT_TRUE(numbering.close());
            TypeColourSettings colours(run.prompter, nullptr);
            colours.open();
            ASSERT_TRUE(colours.close());
            run.prompter.clear();
        }
        ASSERT_TRUE(QDir::setCurrent(previous));
    }

    struct Outcome {
        bool hit = false;
        QStringList said;
        Snapshot state; // once the program has ended
        bool reusedId = false;
    };

    // Runs the flow in a fresh copy of the template, with the n-th operation of
    // the kind failing (none without a kind). A run stops after the step the
    // fault hit. The store keeps its files to itself while they are open, so the
    // tables are read once the program has ended.
    Outcome run(const Flow& flow, std::optional<Kind> kind, int n) {
        Outcome out;
        QTemporaryDir folder;
        QTemporaryDir stick;
        EXPECT_TRUE(folder.isValid() && stick.isValid());
        const QDir from(m_template.path());
        for (const QString& name : from.entryList(QDir::Files))
            EXPECT_TRUE(QFile::copy(from.filePath(name), QDir(folder.path()).filePath(name)));
        Places places = m_places;
        places.stick = stick.path();
        const QString previous = QDir::currentPath();
        EXPECT_TRUE(QDir::setCurrent(folder.path()));
        const QStringList folders{folder.path(), stick.path()};
        {
            Session s(flow.course);
            s.prompter.clear();
            Hands hands{s, places};
            const auto steps = [&] {
                if (kind)
                    WriteFaults::failNth(*kind, n);
                for (int k = 0; k < flow.steps.size(); ++k) {
                    flow.steps.at(k)(hands);
                    if (kind && WriteFaults::counted(*kind) >= n) {
                        out.hit = true;
                        break;
                    }
                }
                WriteFaults::reset();
                out.said = s.prompter.messages();
                // The next record the bank hands out must not be one a row of the
                // window already shows. Probed in a batch left uncommitted.
                if (hands.editor || hands.composer) {
                    GridModel& grid = hands.editor ? hands.editor->grid() : hands.composer->questionGrid();
                    const int idColumn = hands.editor ? int(E::RecordIdColumn) : int(P::RecordIdColumn);
                    QSet<qint32> ids;
                    for (int r = 1; r < grid.rowCount(); ++r)
                        ids.insert(grid.text(r, idColumn).toInt());
                    const QString current = s.store.currentAlias();
                    EXPECT_TRUE(s.store.setCurrent(kCourse));
                    {
                        RecordStore::Batch probe(s.store);
                        EXPECT_TRUE(s.store.append(record(u"探针"_s, {}, u"判断"_s, 1)));
                        out.reusedId = ids.contains(s.store.recordId());
                    }
                    s.store.setCurrent(current);
                }
            };
            switch (flow.window) {
            case Window::Main:
                steps();
                break;
            case Window::Editor:
                s.shell.bankEditor = [&](const QString& course) {
                    BankEditor editor(s.store, s.prompter, course, countLines);
                    editor.open(1000);
                    EditorHands editorHands(editor);
                    UnusedClipboard clipboard;
                    EditorPictures pictures(editor, s.store, s.prompter, clipboard);
                    CourseTransfer transfer(editor, s.store, s.prompter, [] { return QString(); });
                    hands.editor = &editor;
                    hands.hands = &editorHands;
                    hands.pictures = &pictures;
                    hands.transfer = &transfer;
                    steps();
                    hands.editor = nullptr;
                };
                s.logic.openBankEditor();
                break;
            case Window::Composer:
                s.shell.paperComposer = [&](const QString& course) {
                    BuiltInWordProcessor word;
                    PaperComposer composer(s.store, s.prompter, course, word);
                    RecordingOpener opener;
                    RandomSource random(1);
                    P::Hooks composerHooks;
                    composerHooks.generatePaper = [&](PaperComposer& c, const QString& paper) {
                        PaperGeneration(random, opener, places.papers + u'/').generatePaper(c, paper);
                    };
                    composer.setHooks(composerHooks);
                    composer.open();
                    hands.composer = &composer;
                    hands.opener = &opener;
                    steps();
                    hands.composer = nullptr;
                };
                s.logic.openPaperComposer();
                break;
            }
        }
        out.state = snapshot(folders);
        EXPECT_TRUE(QDir::setCurrent(previous));
        return out;
    }

    static QList<Flow> flows();

    QTemporaryDir m_template;
    QTemporaryDir m_outside;
    Places m_places;
};

Step ok(const QString& question = {}) {
    return [=](Hands& h) { h.prompter().answerOkCancel(true, question); };
}

QList<Flow> ProgramFaultSweep::flows() {
    const auto then = [](Step first, Step second) {
        return [=](Hands& h) {
            first(h);
            second(h);
        };
    };
    const auto dialog = [](std::function<void(CourseAdminLogic&)> fill) {
        return [=](Hands& h) {
            h.s.shell.dialogs.push_back([=](CourseAdminLogic& d) {
                fill(d);
                d.accept();
            });
        };
    };
    const auto administrator = [](Hands& h) {
        h.prompter().answerInput(kAdministratorPassword, u"请输入管理员密码："_s);
    };
    // A new chapter typed in question by question, each field a step of its own.
    QList<Step> chapter;
    for (int k = 1; k <= 14; ++k) {
        const QString stem = u"第%1节练习：计算 %1 + %1 = ？"_s.arg(k);
        chapter << [stem](Hands& h) {
            h.editor->addQuestion();
            h.editor->acceptTextDialog(stem);
        };
        chapter << [stem](Hands& h) { h.hands->edit(h.id(stem), E::TypeColumn, u"填空"_s); };
        chapter << [stem, k](Hands& h) { h.hands->type(h.id(stem), E::AnswerColumn, QString::number(2 * k)); };
        chapter << [stem, k](Hands& h) { h.hands->edit(h.id(stem), E::DifficultyColumn, QString::number((k - 1) % 9 + 1)); };
        chapter << [stem](Hands& h) { h.hands->edit(h.id(stem), E::ScoreColumn, u"2"_s); };
        chapter << [stem](Hands& h) { h.hands->type(h.id(stem), E::KnowledgeColumn, u"加法|整数"_s); };
    }
    // The composer's boxes for this term, question by question, each stored at once.
    QList<Step> term;
    for (const QString& stem : {u"一元二次方程的根"_s, u"三角形内角和是180度"_s, u"圆的周长公式"_s, u"第一问"_s,
                                u"第二问"_s, u"平行线的性质"_s, u"勾股定理"_s}) {
        term << [stem](Hands& h) { h.composerEdit(stem, P::FixedScoreColumn, true); };
        term << [stem](Hands& h) { h.composerEdit(stem, P::BlockedColumn, true); };
        term << [stem](Hands& h) { h.composerEdit(stem, P::BlockedColumn, false); };
    }
    return {
        {"a new chapter typed in", Window::Editor, chapter},
        {"the composer's boxes for the term", Window::Composer, term},
        {"add a course", Window::Main,
         {then(administrator, then(dialog([](CourseAdminLogic& d) {
                                       d.setText(CourseAdminLogic::NewCourse, u"物理"_s);
                                       d.setText(CourseAdminLogic::CoursePassword, u"wl"_s);
                                       d.setText(CourseAdminLogic::CoursePassword1, u"wl"_s);
                                   }),
                                   [](Hands& h) { h.s.logic.addCourse(); }))}},
        {"delete a course", Window::Main,
         {then(ok(u"确定要删除 "_s + kEmptyCourse + u" 题库吗？"_s), [](Hands& h) { h.s.logic.deleteCourse(); })},
         false, kEmptyCourse},
        {"reset a course password", Window::Main,
         {then(administrator, then(dialog([](CourseAdminLogic& d) {
                                       d.setText(CourseAdminLogic::CoursePassword, kNewPassword);
                                       d.setText(CourseAdminLogic::CoursePassword1, kNewPassword);
                                   }),
                                   [](Hands& h) { h.s.logic.resetCoursePassword(); }))}},
        {"administrator's name", Window::Main,
         {then(dialog([](CourseAdminLogic& d) {
                   d.setText(CourseAdminLogic::CoursePassword, kAdministratorPassword);
                   d.setText(CourseAdminLogic::CoursePassword1, u"李老师"_s);
               }),
               [](Hands& h) { h.s.logic.changeAdministratorName(); })}},
        {"administrator's password", Window::Main,
         {then(dialog([](CourseAdminLogic& d) {
                   d.setText(CourseAdminLogic::NewCourse, kAdministratorPassword);
                   d.setText(CourseAdminLogic::CoursePassword, u"新的"_s);
                   d.setText(CourseAdminLogic::CoursePassword1, u"新的"_s);
               }),
               [](Hands& h) { h.s.logic.changeAdministratorPassword(); })}},
        {"an afternoon of edits", Window::Editor,
         {[](Hands& h) { h.hands->edit(h.id(u"圆的周长公式"_s), E::DifficultyColumn, u"6"_s); },
          [](Hands& h) { h.hands->edit(h.id(u"勾股定理"_s), E::ScoreColumn, u"5"_s); },
          [](Hands& h) { h.hands->type(h.id(u"圆的周长公式"_s), E::StemText1Column, u"圆的面积公式"_s); },
          [](Hands& h) { h.hands->type(h.id(u"勾股定理"_s), E::AnswerColumn, u"c²=a²+b²"_s); },
          [](Hands& h) { h.hands->type(h.id(u"勾股定理"_s), E::KnowledgeColumn, u"几何|直角三角形"_s); },
          [](Hands& h) { h.hands->edit(h.id(u"第一问"_s), E::ScoreColumn, u"7"_s); },
          [](Hands& h) { h.hands->edit(h.id(u"第二问"_s), E::BlockedColumn, true); },
          [](Hands& h) { h.hands->edit(h.id(u"勾股定理"_s), E::FixedScoreColumn, true); },
          [](Hands& h) { h.hands->edit(h.id(u"平行线的性质"_s), E::TypeColumn, u"名词"_s); },
          [](Hands& h) { h.hands->type(h.id(u"三角形内角和是180度"_s), E::StemText2Column, u"（判断对错）"_s); },
          [](Hands& h) { h.hands->edit(h.id(u"三角形内角和是180度"_s), E::DifficultyColumn, u"1"_s); },
          [](Hands& h) { h.hands->edit(h.id(u"一元二次方程的根"_s), E::ScoreColumn, u"6"_s); },
          [](Hands& h) { h.hands->type(h.id(u"一元二次方程的根"_s), E::AnswerColumn, u"x₁=1，x₂=-1"_s); },
          [](Hands& h) { h.hands->type(h.id(u"阅读下列材料"_s), E::StemText2Column, u"材料：<a&b>"_s); },
          [](Hands& h) { h.hands->type(h.id(u"第一问"_s), E::AnswerColumn, u"甲乙丙"_s); },
          [](Hands& h) { h.hands->edit(h.id(u"第一问"_s), E::BlockedColumn, true); },
          [](Hands& h) { h.hands->edit(h.id(u"第一问"_s), E::BlockedColumn, false); },
          [](Hands& h) { h.hands->edit(h.id(u"勾股定理"_s), E::FixedScoreColumn, false); },
          [](Hands& h) { h.hands->type(h.id(u"平行线的性质"_s), E::KnowledgeColumn, u"平行线|角"_s); }}},
        {"group changes", Window::Editor,
         {[](Hands& h) { h.hands->type(h.id(u"平行线的性质"_s), E::GroupNameColumn, u"阅读"_s); },
          [](Hands& h) {
              h.prompter().answerOkCancel(true);
              h.hands->edit(h.id(u"第二问"_s), E::GroupNumberColumn, QString());
          },
          [](Hands& h) {
              h.prompter().answerOkCancel(true);
              h.hands->type(h.id(u"阅读下列材料"_s), E::GroupNameColumn, u"阅读理解"_s);
          },
          [](Hands& h) {
              h.prompter().answerOkCancel(true);
              h.hands->edit(h.id(u"阅读下列材料"_s), E::DifficultyColumn, u"5"_s);
          }}},
        {"add, copy and delete questions", Window::Editor,
         {[](Hands& h) {
              h.hands->click(h.id(u"圆的周长公式"_s), E::StemText1Column);
              h.editor->addQuestion();
              h.editor->acceptTextDialog(u"新加的题"_s);
          },
          [](Hands& h) { h.hands->edit(h.id(u"新加的题"_s), E::TypeColumn, u"判断"_s); },
          [](Hands& h) { h.hands->type(h.id(u"新加的题"_s), E::AnswerColumn, u"对"_s); },
          [](Hands& h) {
              h.hands->click(h.id(u"勾股定理"_s), E::StemText1Column);
              h.editor->copyQuestionBelow();
          },
          [](Hands& h) { h.hands->type(h.hands->currentId(), E::StemText1Column, u"勾股定理的逆定理"_s); },
          [](Hands& h) {
              h.hands->click(h.id(u"三角形内角和是180度"_s), E::StemText1Column);
              h.prompter().answerOkCancel(true);
              h.editor->deleteSelectedQuestions();
          },
          [](Hands& h) {
              h.hands->click(h.id(u"第一问"_s), E::StemText1Column);
              h.prompter().answerOkCancel(true);
              h.editor->deleteSelectedQuestions();
          },
          [](Hands& h) {
              // Three rows at once.
              GridModel& grid = h.editor->grid();
              const int first = h.hands->rowOf(h.id(u"圆的周长公式"_s));
              h.hands->click(h.id(u"圆的周长公式"_s), E::StemText1Column);
              grid.selectRange(first, 0, std::min(first + 2, grid.rowCount() - 1), E::StemText1Column);
              h.prompter().answerOkCancel(true);
              h.editor->deleteSelectedQuestions();
          }}},
        {"pictures", Window::Editor,
         {[](Hands& h) {
              h.hands->click(h.id(u"勾股定理"_s), E::AnswerPictureColumn);
              h.prompter().answerOpenFile(h.places.picture);
              h.pictures->addPictureFromFile();
          },
          [](Hands& h) {
              h.hands->click(h.id(u"一元二次方程的根"_s), E::StemPictureColumn);
              h.prompter().answerOkCancel(true, u"确定要删除该图片吗"_s);
              h.pictures->deletePicture();
          }}},
        {"types", Window::Editor,
         {[](Hands& h) {
              h.withTypes([&](TypeEditor& types) {
                  h.prompter().answerInput(u"作图"_s, u"请输入题型名称（字母512字内，汉字256字内）："_s);
                  types.addType();
              });
          },
          [](Hands& h) {
              h.withTypes([&](TypeEditor& types) {
                  h.prompter().answerOkCancel(true, u"确定要将题型 填空 修改为 填充 吗？"_s);
                  types.grid().editInPlace(Hands::typeRow(types, u"填空"_s), TypeEditor::NameColumn, u"填充"_s);
              });
          },
          [](Hands& h) {
              h.withTypes([&](TypeEditor& types) {
                  types.grid().setCursor(Hands::typeRow(types, u"选择"_s), TypeEditor::NameColumn);
                  types.deleteType();
              });
          }}},
        {"import a colleague's bank", Window::Editor,
         {[](Hands& h) {
             h.prompter().answerOpenFile(h.places.colleague);
             h.transfer->importCourse();
         }},
         true},
        {"export", Window::Editor,
         {[](Hands& h) {
             h.prompter().answerChooseFolder(h.places.stick);
             h.transfer->exportCourse();
         }}},
        {"composer edits written back", Window::Composer,
         // A sub-question's score goes in at once with its title's; the others
         // wait for the window to close.
         {[](Hands& h) { h.composerEdit(u"第一问"_s, P::ScoreColumn, u"4"_s); },
          [](Hands& h) {
              h.composerEdit(u"圆的周长公式"_s, P::DifficultyColumn, u"8"_s);
              h.composerEdit(u"勾股定理"_s, P::ScoreColumn, u"6"_s);
              h.composer->close();
          }}},
        {"composer blocks and fixes at once", Window::Composer,
         {[](Hands& h) { h.composerEdit(u"平行线的性质"_s, P::BlockedColumn, true); },
          [](Hands& h) { h.composerEdit(u"勾股定理"_s, P::FixedScoreColumn, true); },
          [](Hands& h) { h.composerEdit(u"阅读下列材料"_s, P::BlockedColumn, true); },
          // The right button's box operations over every row, each row at once.
          [](Hands& h) {
              GridModel& grid = h.composer->questionGrid();
              grid.setCursor(1, P::FixedScoreColumn);
              Q_EMIT grid.events().rightButtonUp(0, 0, Qt::NoModifier);
              grid.selectRange(1, P::FixedScoreColumn, grid.rowCount() - 1, P::FixedScoreColumn);
              h.composer->applyBoxOperation(P::BoxOperation::Invert);
          },
          [](Hands& h) {
              GridModel& grid = h.composer->questionGrid();
              grid.setCursor(1, P::BlockedColumn);
              Q_EMIT grid.events().rightButtonUp(0, 0, Qt::NoModifier);
              grid.selectRange(1, P::BlockedColumn, grid.rowCount() - 1, P::BlockedColumn);
              h.composer->applyBoxOperation(P::BoxOperation::ClearAll);
          }}},
        {"numbering and colours", Window::Composer,
         {[](Hands& h) {
              NumberingSettings numbering(h.prompter());
              numbering.open();
              numbering.addRow();
              for (int c = 1; c < numbering.grid().columnCount(); ++c)
                  numbering.grid().setText(numbering.grid().rowCount() - 1, c, u"十"_s);
              numbering.close();
          },
          [](Hands& h) {
              TypeColourSettings colours(h.prompter(), &h.composer->typeOrderTable());
              colours.open();
              colours.grid().setCursor(1, 0);
              h.prompter().answerChooseColour(0xFF3366CCu);
              colours.modify();
              colours.close();
          }}},
        {"papers", Window::Composer,
         {[](Hands& h) {
              for (const QString& stem : {u"一元二次方程的根"_s, u"三角形内角和是180度"_s, u"勾股定理"_s})
                  h.composerEdit(stem, P::PaperAColumn, true);
              h.composer->setWordSelected(false);
              h.composer->generatePaper(P::Paper::A);
          },
          [](Hands& h) {
              h.composer->setWordSelected(true);
              h.composer->generatePaper(P::Paper::A);
          },
          [](Hands& h) {
              for (const QString& stem : {u"阅读下列材料"_s, u"圆的周长公式"_s, u"平行线的性质"_s})
                  h.composerEdit(stem, P::PaperBColumn, true);
              h.composer->setWordSelected(false);
              h.composer->generatePaper(P::Paper::B);
          }}},
    };
}

// Tables as they may stand: before the flow, or after any of its steps.
bool isWhole(const QString& table, const QStringList& now, const QList<Snapshot>& allowed) {
    for (const Snapshot& state : allowed) {
        const auto found = state.find(table);
        if ((found == state.end() && now.isEmpty()) || (found != state.end() && found->second == now))
            return true;
    }
    return false;
}

TEST_F(ProgramFaultSweep, EveryWriteOfEveryFlowFailedInTurn) {
    int injected = 0;
    int silent = 0;
    int inconsistent = 0;
    int reused = 0;
    const QList<Flow> all = flows();
    for (const Flow& flow : all) {
        SCOPED_TRACE(flow.name);
        const int injectedBefore = injected;
        // The tables before the flow and after each of its steps.
        QList<Snapshot> allowed;
        Outcome clean;
        for (qsizetype k = 0; k <= flow.steps.size(); ++k) {
            clean = run(Flow{flow.name, flow.window, flow.steps.mid(0, k), flow.prefix, flow.course}, std::nullopt, 0);
            ASSERT_FALSE(clean.reusedId);
            allowed << clean.state;
        }
        const Snapshot& before = allowed.first();
        // What the flow says when it goes through (an import's count, the export).
        const QStringList success = clean.said;

        for (const Kind kind : {Kind::StoreChange, Kind::StoreCommit, Kind::FileWrite, Kind::FileCopy, Kind::Rename}) {
            for (int n = 1;; ++n) {
                SCOPED_TRACE(u"kind %1, operation %2"_s.arg(int(kind)).arg(n).toStdString());
                const Outcome faulty = run(flow, kind, n);
                if (!faulty.hit)
                    break;
                ++injected;
                const bool onceSaid = faulty.said.size() == 1 && !success.contains(faulty.said.first());
                EXPECT_TRUE(onceSaid) << faulty.said.join(u" | "_s).toStdString();
                silent += onceSaid ? 0 : 1;
                bool whole = true;
                std::map<QString, QStringList> now = faulty.state;
                for (const Snapshot& state : allowed)
                    for (const auto& [table, content] : state)
                        now.try_emplace(table);
                for (const auto& [table, content] : now) {
                    if (isWhole(table, content, allowed))
                        continue;
                    const QString bank = CourseBank::fileName(kCourse);
                    if (flow.prefix && table == bank) {
                        // Whole questions came in; as many as were said.
                        const QStringList& old = before.at(bank);
                        const QStringList& full = clean.state.at(bank);
                        int added = 0;
                        bool within = content.first() == old.first();
                        for (const QString& question : content.mid(1)) {
                            within = within && full.contains(question);
                            added += old.contains(question) ? 0 : 1;
                        }
                        const QString said = faulty.said.value(0);
                        const QString count = said.section(u"实际导入"_s, 1).section(u"条"_s, 0, 0);
                        if (within && count == QString::number(added))
                            continue;
                    }
                    QStringList strange; // rows no allowed state has
                    for (const QString& row : content) {
                        if (std::none_of(allowed.begin(), allowed.end(), [&](const Snapshot& state) {
                                return state.count(table) && state.at(table).contains(row);
                            }))
                            strange << row.left(120);
                    }
                    ADD_FAILURE() << "table " << table.toStdString() << " is neither as before nor as after: "
                                  << strange.join(u" / "_s).toStdString();
                    whole = false;
                }
                inconsistent += whole ? 0 : 1;
                EXPECT_FALSE(faulty.reusedId);
                reused += faulty.reusedId ? 1 : 0;
            }
        }
        std::printf("  %s: %d faults\n", flow.name, injected - injectedBefore);
    }
    std::printf("program-wide sweep: %d flows, %d injected faults, %d silent successes, %d inconsistent tables, "
                "%d reused record IDs\n",
                int(all.size()), injected, silent, inconsistent, reused);
    EXPECT_GE(injected, 300);
}

} // namespace
} // namespace helan::test
