#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include "app/ColourScheme.h"

namespace helan {

struct AppState;
class Prompter;
class RecordStore;
class ShellHost;

// The logic of MainWindow: the course list, the course password, which controls
// are enabled, and every menu and button action. The window renders this state
// after each stateChanged() and forwards its events here.
class MainWindowLogic : public QObject {
    Q_OBJECT
public:
    MainWindowLogic(RecordStore& store, Prompter& prompter, AppState& state, ShellHost& host,
                    QObject* parent = nullptr);

    // ---- State shown by the window
    QStringList courseList() const { return m_courses; }
    int currentPosition() const { return m_position; } // -1: nothing selected
    QString coursePassword() const { return m_password; }
    bool isPasswordEnabled() const { return m_passwordEnabled; }
    // "删除(&S)", "重置密码(&R)", 按钮题库编辑 and 按钮组卷 are enabled together.
    bool areCourseActionsEnabled() const { return m_courseActionsEnabled; }
    // Set once the program has been told to end.
    bool hasEnded() const { return m_ended; }

    // ---- Events
    // The rest of start-up once the window exists: colour scheme 1, the course
    // list (with the administrator set-up on the first run). False when the
    // program must end.
    bool start();
    // Rebuilds the course list from the catalogue, dropping courses whose bank
    // file is gone. Nothing is selected afterwards. False when the program must end.
    bool refreshCourseList();
    // A course was chosen in 组合框1 (-1: none).
    void chooseCourse(int position);
    // The content of 课程密码 was edited.
    void setCoursePassword(const QString& text) { m_password = text; }
    // 按钮题库编辑 / 按钮组卷.
    void openBankEditor();
    void openPaperComposer();
    // "课程(&P)" › "添加(&A)" / "删除(&S)" / "重置密码(&R)".
    void addCourse();
    void deleteCourse();
    void resetCoursePassword();
    // "程序(&F)" › "管理员(&G)" › "修改姓名(&N)" / "修改密码(&M)".
    void changeAdministratorName();
    void changeAdministratorPassword();
    // "程序(&F)" › "XP风格(&F)" › "蓝色(&B)" / "绿色(&G)" / "银色(&S)".
    void chooseColourScheme(ColourScheme::Scheme scheme);
    // "帮助(&H)" › "说明(&E)".
    void showProgramHelp();
    // "帮助(&H)" › "打开数据文件夹": the working folder in the file manager.
    void openDataFolder();
    // "退出(&X)".
    void quit();
    // The window is going: every table is closed.
    void shutDown();

Q_SIGNALS:
    void stateChanged();

private:
    enum class Opened { BankEditor, PaperComposer };
    void openCourse(Opened which);
    bool administratorConfirmed(bool viaStoredForm);
    bool runCourseAdminDialog(const QString& mode);
    void endProgram();
    void disableCourseControls();
    void closeSelectedBank();

    RecordStore& m_store;
    Prompter& m_prompter;
    AppState& m_state;
    ShellHost& m_host;

    QStringList m_courses;
    int m_position = -1;
    QString m_password;
    bool m_passwordEnabled = false;
    bool m_courseActionsEnabled = false;
    bool m_ended = false;
};

} // namespace helan
