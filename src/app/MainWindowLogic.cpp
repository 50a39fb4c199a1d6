#include "app/MainWindowLogic.h"

#include <QDir>
#include <QFile>

#include "app/AppState.h"
#include "app/CourseAdminLogic.h"
#include "app/ShellHost.h"
#include "base/Prompter.h"
#include "model/CourseBank.h"
#include "model/CourseCatalog.h"
#include "model/DataCipher.h"
#include "model/QuestionTypeLibrary.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;

namespace helan {

MainWindowLogic::MainWindowLogic(RecordStore& store, Prompter& prompter, AppState& state, ShellHost& host,
                                 QObject* parent)
    : QObject(parent), m_store(store), m_prompter(prompter), m_state(state), m_host(host)
{
}

bool MainWindowLogic::start()
{
    m_host.applyColourScheme(ColourScheme::Blue);
    if (!refreshCourseList())
        return false;
    disableCourseControls();
    Q_EMIT stateChanged();
    return !m_ended;
}

bool MainWindowLogic::refreshCourseList()
{
    CourseCatalog catalog(m_store, m_prompter);
    if (catalog.openCatalog() != OpenOutcome::Ready) {
        endProgram();
        return false;
    }

    if (m_store.recordCount() == 0) {
        runCourseAdminDialog(CourseAdminLogic::modeText(CourseAdminLogic::Mode::SetUpAdministrator));
        // Nobody may use the program before there is an administrator.
        if (catalog.isEmpty()) {
            endProgram();
            return false;
        }
        QuestionTypeLibrary types(m_store, m_prompter);
        if (types.openTypeLibrary() != OpenOutcome::Ready) {
            endProgram();
            return false;
        }
    } else {
        // A course whose bank file has gone (deleted outside the program) leaves
        // the catalogue; its other files are not touched.
        bool dropped = false;
        const int count = m_store.recordCount();
        for (int record = 2; record <= count; ++record) {
            m_store.goTo(record);
            if (!QFile::exists(CourseBank::fileName(m_store.readText(CourseCatalog::Name))))
                dropped = m_store.markDeleted() || dropped;
        }
        if (dropped)
            m_store.purge();
    }

    // The list has no selection after a rebuild, so no course is chosen either:
    // choosing the same course again must enable its controls and ask for its
    // password again.
    closeSelectedBank();
    m_courses = catalog.courseNames();
    m_position = -1;
    disableCourseControls();
    Q_EMIT stateChanged();
    return true;
}

void MainWindowLogic::chooseCourse(int position)
{
    if (position < 0 || position >= m_courses.size()) {
        m_position = -1;
        disableCourseControls();
        Q_EMIT stateChanged();
        return;
    }
    const QString name = m_courses[position];
    if (name == m_state.selectedCourse)
        return;
    closeSelectedBank();

    CourseCatalog catalog(m_store, m_prompter);
    const QString stored = catalog.storedCoursePassword(position);
    m_position = position;
    m_password.clear();
    m_courseActionsEnabled = true;
    m_state.selectedCourse = name;
    m_passwordEnabled = !stored.isEmpty();
    Q_EMIT stateChanged();
}

void MainWindowLogic::openBankEditor()
{
    openCourse(Opened::BankEditor);
}

void MainWindowLogic::openPaperComposer()
{
    openCourse(Opened::PaperComposer);
}

void MainWindowLogic::openCourse(Opened which)
{
    if (m_position < 0)
        return;
    const QString name = m_courses[m_position];
    CourseBank bank(m_store, m_prompter);
    if (!bank.openCourseBank({name, true, m_password, m_position}))
        return;
    // The course stays unlocked until another course is chosen.
    m_passwordEnabled = false;
    Q_EMIT stateChanged();
    if (which == Opened::BankEditor)
        m_host.runBankEditor(name);
    else
        m_host.runPaperComposer(name);
}

bool MainWindowLogic::administratorConfirmed(bool viaStoredForm)
{
    const std::optional<QString> typed = m_prompter.input(u"请输入管理员密码："_s, QString(), QString(), true);
    if (!typed)
        return false;
    CourseCatalog catalog(m_store, m_prompter);
    // Both comparisons agree for every password the program stores.
    const bool matches = viaStoredForm
        ? DataCipher::encryptPassword(*typed) == catalog.administratorStoredPassword()
        : catalog.administratorPasswordMatches(*typed);
    if (!matches)
        m_prompter.message(u"管理员密码错误！"_s, {}, Prompter::Icon::Warning);
    return matches;
}

bool MainWindowLogic::runCourseAdminDialog(const QString& mode)
{
    m_state.dialogMode = mode;
    CourseAdminLogic dialog(m_store, m_prompter, m_state, m_position);
    m_host.runCourseAdminDialog(dialog);
    return dialog.succeeded();
}

void MainWindowLogic::addCourse()
{
    if (!administratorConfirmed(false))
        return;
    if (runCourseAdminDialog(CourseAdminLogic::modeText(CourseAdminLogic::Mode::AddCourse)))
        refreshCourseList();
}

void MainWindowLogic::deleteCourse()
{
    if (m_position < 0 || m_state.selectedCourse.isEmpty()) {
        m_prompter.message(u"请选择课程！"_s, {}, Prompter::Icon::Warning);
        return;
    }
    const QString name = m_state.selectedCourse;
    const int position = m_position;
    CourseCatalog catalog(m_store, m_prompter);
    CourseBank bank(m_store, m_prompter);

    // The bank is opened here without the password only to look at it; a bank
    // the user had not unlocked must not stay open after a refusal.
    const bool wasOpen = m_store.isOpen(name);
    catalog.goToCourse(position);
    if (bank.openCourseBank({name, false, {}, position})) {
        if (m_store.recordCount() > 0) {
            m_prompter.message(name + u" 题库不为空，不能删除！"_s, {}, Prompter::Icon::Warning);
            if (!wasOpen)
                m_store.close(name);
            return;
        }
    }
    if (!m_prompter.okCancel(u"确定要删除 "_s + name + u" 题库吗？"_s)) {
        if (!wasOpen && m_store.isOpen(name))
            m_store.close(name);
        return;
    }

    if (m_store.isOpen(name))
        m_store.close(name);
    // The catalogue first: should it refuse, the course stays listed with its
    // bank; the other way round it would be listed with no bank behind it.
    bool removed = false;
    QString reason;
    if (catalog.goToCourse(position)) {
        RecordStore::Batch batch(m_store);
        removed = m_store.markDeleted() && m_store.purge() && batch.commit();
        if (!removed)
            reason = RecordStore::lastErrorText();
    }
    if (!removed) {
        m_prompter.message(u"删除课程 "_s + name + u" 失败："_s + reason, {}, Prompter::Icon::Error);
        refreshCourseList();
        return;
    }
    const QString file = CourseBank::fileName(name);
    QStringList left;
    for (const QString& path : {file, RecordStore::memoFileName(file), name + u".enx"_s}) {
        if (QFile::exists(path) && !QFile::remove(path))
            left << path;
    }
    refreshCourseList();
    if (!left.isEmpty())
        m_prompter.message(u"课程 "_s + name + u" 已删除，但以下文件未能删除：\n"_s + left.join(u'\n'), {},
                           Prompter::Icon::Warning);
}

void MainWindowLogic::resetCoursePassword()
{
    if (m_position < 0 || m_state.selectedCourse.isEmpty()) {
        m_prompter.message(u"请选择课程！"_s, {}, Prompter::Icon::Warning);
        return;
    }
    const int position = m_position;
    const bool reset = administratorConfirmed(true)
        && runCourseAdminDialog(CourseAdminLogic::modeText(CourseAdminLogic::Mode::ResetCoursePassword));

    CourseCatalog catalog(m_store, m_prompter);
    const QString stored = catalog.storedCoursePassword(position);
    if (reset || !m_store.isOpen(m_state.selectedCourse)) {
        // The bank was closed with its new password (or, after a failure, with
        // its old one): it must be typed again.
        m_password.clear();
        m_passwordEnabled = !stored.isEmpty();
        Q_EMIT stateChanged();
    }
}

void MainWindowLogic::changeAdministratorName()
{
    runCourseAdminDialog(CourseAdminLogic::modeText(CourseAdminLogic::Mode::ChangeAdministratorName));
}

void MainWindowLogic::changeAdministratorPassword()
{
    runCourseAdminDialog(CourseAdminLogic::modeText(CourseAdminLogic::Mode::ChangeAdministratorPassword));
}

void MainWindowLogic::chooseColourScheme(ColourScheme::Scheme scheme)
{
    m_host.applyColourScheme(scheme);
}

void MainWindowLogic::showProgramHelp()
{
    m_host.runProgramHelp();
}

void MainWindowLogic::openDataFolder()
{
    // The data folder is the folder the program was started in; the path in
    // the message lets the teacher find it by hand.
    const QString folder = QDir::currentPath();
    if (!m_host.openFolder(folder))
        m_prompter.message(u"无法打开数据文件夹：\n"_s + QDir::toNativeSeparators(folder), {},
                           Prompter::Icon::Warning);
}

void MainWindowLogic::quit()
{
    endProgram();
}

void MainWindowLogic::shutDown()
{
    m_store.closeAll();
}

void MainWindowLogic::endProgram()
{
    m_ended = true;
    m_host.endProgram();
}

void MainWindowLogic::disableCourseControls()
{
    m_password.clear();
    m_passwordEnabled = false;
    m_courseActionsEnabled = false;
}

void MainWindowLogic::closeSelectedBank()
{
    const QString& course = m_state.selectedCourse;
    // A course can never be called like the program's own tables, but an old
    // catalogue might hold such a name: never close those under it.
    if (!course.isEmpty() && course != CourseCatalog::tableName()
        && course != QuestionTypeLibrary::tableName() && m_store.isOpen(course))
        m_store.close(course);
    m_state.selectedCourse.clear();
}

} // namespace helan
