#pragma once

#include <deque>
#include <functional>
#include <ostream>

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "ScriptedPrompter.h"
#include "app/AppState.h"
#include "app/CourseAdminLogic.h"
#include "app/MainWindowLogic.h"
#include "app/ShellHost.h"
#include "compose/DocumentOpener.h"
#include "editor/BankEditor.h"
#include "editor/PictureClipboard.h"
#include "store/RecordStore.h"

// Readable failure output for the texts the test compares.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << '{' << texts.join(QStringLiteral(" | ")).toStdString() << '}';
}

// What the end-to-end test drives the program through: a start of the program
// with its main window's logic, a pair of hands on the bank editor, and the
// few stand-ins for what is outside the program (dialogs, the desktop, fonts).
namespace helan::test {

// One question as the teacher means it, field by field.
struct Expected {
    QString knowledge;
    QString groupName;
    QString groupNumber;
    QString stem1;
    QString stem2;
    QString answer;
    QString type;
    int difficulty = 1;
    int score = 0;
    bool choice = false;
    QByteArray stemPicture;
    QByteArray answerPicture;
};

Expected question(const QString& knowledge, const QString& groupName, const QString& groupNumber,
                  const QString& stem1, const QString& stem2, const QString& answer, const QString& type,
                  int difficulty, int score, bool choice = false);

// Every question record of the current table, in record order.
QList<Expected> readBank(RecordStore& store);
// The bank holds the expected questions, each once, field by field.
void expectBankHolds(const QList<Expected>& bank, const QList<Expected>& expected);

QByteArray fileBytes(const QString& path);
QByteArray fileHash(const QString& path);
QByteArray encoded(const QImage& image, const char* format);
// A small checked drawing, as an option picture might be.
QImage drawing(int width, int height);

// Stand-in for the measuring font: twenty characters a line.
int countLines(int width, const QString& text);

// The window around the main window's logic: the course administration dialog
// plays from a script; the editor and the composer run what the test hands in,
// with the course's bank open and current as the real windows find it.
class ScriptedShell : public ShellHost {
public:
    std::deque<std::function<void(CourseAdminLogic&)>> dialogs;
    std::function<void(const QString& course)> bankEditor;
    std::function<void(const QString& course)> paperComposer;
    QStringList opened;
    RecordStore* store = nullptr;

    void runCourseAdminDialog(CourseAdminLogic& dialog) override;
    void runBankEditor(const QString& course) override;
    void runPaperComposer(const QString& course) override;
    void runProgramHelp() override {}
    void applyColourScheme(ColourScheme::Scheme) override {}
    bool openFolder(const QString&) override { return false; }
    void endProgram() override;
};

// One start of the program in the working folder, shut down when it goes.
struct ProgramRun {
    RecordStore store;
    ScriptedPrompter prompter;
    AppState state;
    ScriptedShell shell;
    MainWindowLogic logic{store, prompter, state, shell};

    ProgramRun();
    ~ProgramRun();

    // 确定 in the next course administration dialog with the fields filled.
    void scriptDialog(const QString& caption, const QString& name, const QString& password);
    // The first start in an empty folder: the administrator, then one course.
    void firstStart(const QString& administrator, const QString& password, const QString& course,
                    const QString& coursePassword);
    // Chooses the only course and types its password.
    void chooseCourse(const QString& password);
};

// The editor is never asked to copy or paste a picture in this story.
class UnusedClipboard : public PictureClipboard {
public:
    QImage image() const override;
    void setImage(const QImage&) override;
};

// The desktop's "open" of a written paper: remembered, not shown.
class RecordingOpener : public DocumentOpener {
public:
    bool openDocument(const QString& path) override {
        opened << path;
        return true;
    }
    QStringList opened;
};

// Drives a BankEditor the way its window does: clicks, in-place edits and the
// text dialog, rows always found again by record ID because rows move.
class EditorHands {
public:
    explicit EditorHands(BankEditor& editor);

    int rowOf(qint32 id) const;
    qint32 currentId() const;
    QString text(qint32 id, int column) const { return grid().text(rowOf(id), column); }

    void click(qint32 id, int column);
    bool edit(qint32 id, int column, const QVariant& value);
    // Double click, then 确定 with the text.
    bool type(qint32 id, int column, const QString& content);
    // 添加, then the fields of an ungrouped question or a group's title, typed
    // as people type: stray spaces, blank lines between options, line breaks at
    // the end, "|" doubled. Returns the question's record ID.
    qint32 add(const Expected& q);

private:
    GridModel& grid() const { return m_editor.grid(); }
    BankEditor& m_editor;
    int m_dialogs = 0;
};

} // namespace helan::test
