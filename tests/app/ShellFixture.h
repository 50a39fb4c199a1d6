#pragma once

#include <deque>
#include <functional>

#include <QFile>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include "Printers.h"
#include "ScriptedPrompter.h"
#include "TempFolder.h"
#include "app/AppState.h"
#include "app/CourseAdminLogic.h"
#include "app/MainWindowLogic.h"
#include "app/ShellHost.h"
#include "store/RecordStore.h"

namespace helan::test {

// A ShellHost that records what the main window's logic opened and plays each
// course administration dialog from a script.
class FakeHost : public ShellHost {
public:
    using DialogScript = std::function<void(CourseAdminLogic&)>;

    std::deque<DialogScript> dialogs;
    QStringList dialogCaptions;
    QStringList opened; // "题库编辑 课程" / "组卷 课程"
    QList<int> schemes;
    int helpShown = 0;
    QStringList foldersShown;
    bool fileManagerWorks = true;
    bool ended = false;
    // Checked while a window runs: the bank of the course must be current.
    RecordStore* store = nullptr;

    void runCourseAdminDialog(CourseAdminLogic& dialog) override;
    void runBankEditor(const QString& course) override;
    void runPaperComposer(const QString& course) override;
    void runProgramHelp() override { ++helpShown; }
    void applyColourScheme(ColourScheme::Scheme scheme) override { schemes.append(int(scheme)); }
    bool openFolder(const QString& folder) override
    {
        foldersShown.append(folder);
        return fileManagerWorks;
    }
    void endProgram() override { ended = true; }
};

// Fills the dialog's three fields and presses 确定; expects it to close or stay.
void fillAndConfirm(CourseAdminLogic& dialog, const QString& first, const QString& second, const QString& third,
                    bool closes);

// A temporary data folder, a store, a scripted prompter and the main window's
// logic over them.
class ShellTest : public ::testing::Test {
protected:
    TempFolder m_folder;
    RecordStore m_store;
    ScriptedPrompter m_prompter;
    AppState m_state;
    FakeHost m_host;
    MainWindowLogic m_logic{m_store, m_prompter, m_state, m_host};

    static inline const QString kAdminPassword = QStringLiteral("管理123");

    void SetUp() override;
    // A catalogue holding the administrator 王老师, as after the first run.
    void makeAdministrator();
    // Adds a course through "添加(&A)" as the administrator would.
    void addCourse(const QString& name, const QString& password);
    // Puts one question into a course's bank (opened without the check).
    void addQuestion(const QString& course, const QString& password);
    // The stored password of a course, read from the catalogue file.
    QString storedPassword(const QString& course);
    // Whether a bank opens with the given password, tried in a store of its own.
    static bool bankOpensWith(const QString& course, const QString& password);
    // Everything enabled / disabled as the window shows it.
    void expectNothingChosen();
    static bool exists(const QString& file) { return QFile::exists(file); }
};

} // namespace helan::test
