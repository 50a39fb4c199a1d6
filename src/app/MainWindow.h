#pragma once

#include <functional>

#include <QMainWindow>

#include "app/MainWindowLogic.h"
#include "app/ShellHost.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace helan {

struct AppState;
class Prompter;
class RecordStore;

// The program's first and only non-modal window: course list, course password,
// 题库编辑 and 组卷, and the menus. State and actions live in MainWindowLogic;
// this class renders the one and forwards to the other.
class MainWindow : public QMainWindow, public ShellHost {
    Q_OBJECT
public:
    // Opens a window modal over parent on the course whose bank is open and
    // current, and returns when it has closed.
    using ModalOpener = std::function<void(QWidget* parent, const QString& course)>;

    MainWindow(RecordStore& store, Prompter& prompter, AppState& state, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Where BankEditor and PaperComposer come in. Until one is set, a stand-in
    // window with the right caption ("题库编辑" / "组卷") opens.
    void setBankEditorOpener(ModalOpener opener) { m_bankEditorOpener = std::move(opener); }
    void setPaperComposerOpener(ModalOpener opener) { m_paperComposerOpener = std::move(opener); }
    // How a folder is shown; the desktop's file manager until one is set, so
    // that tests open nothing.
    using FolderOpener = std::function<bool(const QString& folder)>;
    void setFolderOpener(FolderOpener opener) { m_folderOpener = std::move(opener); }

    // The rest of start-up, once the window is shown. False when the program
    // must end (the reason has been shown).
    bool start();

    MainWindowLogic& logic() { return m_logic; }

    // ShellHost
    void runCourseAdminDialog(CourseAdminLogic& dialog) override;
    void runBankEditor(const QString& course) override;
    void runPaperComposer(const QString& course) override;
    void runProgramHelp() override;
    void applyColourScheme(ColourScheme::Scheme scheme) override;
    bool openFolder(const QString& folder) override;
    void endProgram() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void render();

    MainWindowLogic m_logic;
    ModalOpener m_bankEditorOpener;
    ModalOpener m_paperComposerOpener;
    FolderOpener m_folderOpener;

    QLabel* m_courseLabel = nullptr;
    QComboBox* m_courseList = nullptr;
    QLabel* m_passwordLabel = nullptr;
    QLineEdit* m_password = nullptr;
    QPushButton* m_editButton = nullptr;
    QPushButton* m_composeButton = nullptr;
    QPlainTextEdit* m_measureBox = nullptr;
    QAction* m_deleteAction = nullptr;
    QAction* m_resetAction = nullptr;
};

} // namespace helan
