#include "app/CourseAdminLogic.h"

#include <QFile>

#include "app/AppState.h"
#include "app/CourseNameRules.h"
#include "base/Gbk.h"
#include "base/Prompter.h"
#include "base/TextRules.h"
#include "model/CourseBank.h"
#include "model/CourseCatalog.h"
#include "model/DataCipher.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {
constexpr int kAdministratorRecord = 1;
}

QString CourseAdminLogic::modeText(Mode mode)
{
    switch (mode) {
    case Mode::SetUpAdministrator: return u"设置管理员姓名密码"_s;
    case Mode::AddCourse: return u"添加课程"_s;
    case Mode::ResetCoursePassword: return u"重置课程密码"_s;
    case Mode::ChangeAdministratorName: return u"修改管理员姓名"_s;
    case Mode::ChangeAdministratorPassword: return u"修改管理员密码"_s;
    }
    return {};
}

std::optional<CourseAdminLogic::Mode> CourseAdminLogic::modeOf(const QString& text)
{
    for (Mode mode : {Mode::SetUpAdministrator, Mode::AddCourse, Mode::ResetCoursePassword,
                      Mode::ChangeAdministratorName, Mode::ChangeAdministratorPassword}) {
        if (modeText(mode) == text)
            return mode;
    }
    return std::nullopt;
}

QString CourseAdminLogic::controlName(Field field)
{
    switch (field) {
    case NewCourse: return u"新课程"_s;
    case CoursePassword: return u"课程密码"_s;
    case CoursePassword1: return u"课程密码1"_s;
    }
    return {};
}

QString CourseAdminLogic::labelName(Field field)
{
    return u"标签"_s + QString::number(int(field) + 1);
}

CourseAdminLogic::CourseAdminLogic(RecordStore& store, Prompter& prompter, AppState& state,
                                   int selectedListPosition)
    : m_store(store), m_prompter(prompter), m_state(state), m_listPosition(selectedListPosition),
      m_mode(modeOf(state.dialogMode).value_or(Mode::AddCourse))
{
    CourseCatalog catalog(m_store, m_prompter);
    if (m_mode == Mode::ResetCoursePassword)
        m_texts[NewCourse] = m_state.selectedCourse;
    else if (m_mode == Mode::ChangeAdministratorName)
        m_texts[NewCourse] = catalog.administratorName();
}

QString CourseAdminLogic::caption() const
{
    return modeText(m_mode);
}

CourseAdminLogic::FieldSetup CourseAdminLogic::setup(Field field) const
{
    // Labels of the three fields per mode; the second and third field are
    // masked unless the table below says otherwise.
    const auto labels = [this]() -> std::array<QString, 3> {
        switch (m_mode) {
        case Mode::AddCourse:
        case Mode::ResetCoursePassword: return {u"课程名称："_s, u"课程密码："_s, u"课程密码复核："_s};
        case Mode::SetUpAdministrator:
            return {u"管理员姓名："_s, u"管理员密码："_s, u"管理员密码复核："_s};
        case Mode::ChangeAdministratorName: return {u"原姓名："_s, u"原密码："_s, u"新姓名："_s};
        case Mode::ChangeAdministratorPassword: return {u"旧密码："_s, u"新密码："_s, u"新密码复核："_s};
        }
        return {};
    }();

    FieldSetup s;
    s.label = labels[field];
    switch (field) {
    case NewCourse:
        s.masked = m_mode == Mode::ChangeAdministratorPassword;
        s.readOnly = m_mode == Mode::ResetCoursePassword || m_mode == Mode::ChangeAdministratorName;
        break;
    case CoursePassword: s.masked = true; break;
    case CoursePassword1: s.masked = m_mode != Mode::ChangeAdministratorName; break;
    }
    return s;
}

bool CourseAdminLogic::accept()
{
    bool closes = false;
    switch (m_mode) {
    case Mode::SetUpAdministrator: closes = acceptSetUpAdministrator(); break;
    case Mode::AddCourse: closes = acceptAddCourse(); break;
    case Mode::ResetCoursePassword: closes = acceptResetCoursePassword(); break;
    case Mode::ChangeAdministratorName: closes = acceptChangeAdministratorName(); break;
    case Mode::ChangeAdministratorPassword: closes = acceptChangeAdministratorPassword(); break;
    }
    return closes;
}

bool CourseAdminLogic::passwordFits(const QString& password, const QString& refusal)
{
    if (DataCipher::passwordFits(password))
        return true;
    m_prompter.message(refusal, {}, Prompter::Icon::Warning);
    return false;
}

bool CourseAdminLogic::acceptSetUpAdministrator()
{
    const QString name = trimSpaces(m_texts[NewCourse]);
    const QString& password = m_texts[CoursePassword];
    if (name.isEmpty()) {
        m_prompter.message(u"管理员姓名不能为空！"_s, {}, Prompter::Icon::Warning);
        return false;
    }
    // The name field of the catalogue is 20 bytes wide; refuse rather than cut.
    if (gbkLength(name) > CourseCatalog::kNameWidth) {
        m_prompter.message(u"管理员姓名不能超过20个字节（10个汉字）！"_s, {}, Prompter::Icon::Warning);
        return false;
    }
    if (password.isEmpty()) {
        m_prompter.message(u"管理员密码不能为空！"_s, {}, Prompter::Icon::Warning);
        return false;
    }
    if (password != m_texts[CoursePassword1]) {
        m_prompter.message(u"管理员密码复核错误！"_s, {}, Prompter::Icon::Warning);
        return false;
    }
    if (!passwordFits(password, u"管理员密码不能超过64个字节（32个汉字）！"_s))
        return false;
    CourseCatalog catalog(m_store, m_prompter);
    m_succeeded = catalog.appendAdministrator(name, password);
    return true;
}

bool CourseAdminLogic::acceptAddCourse()
{
    const QString name = trimSpaces(m_texts[NewCourse]);
    const QString& password = m_texts[CoursePassword];
    if (name.isEmpty()) {
        m_prompter.message(u"课程名称不能为空 ！"_s, {}, Prompter::Icon::Warning);
        return false;
    }
    if (const QString refusal = CourseNameRules::refusal(name); !refusal.isEmpty()) {
        m_prompter.message(refusal, {}, Prompter::Icon::Warning);
        return false;
    }
    CourseCatalog catalog(m_store, m_prompter);
    if (catalog.courseNames().contains(name)) {
        m_prompter.message(u"已经存在课程 "_s + name + u" ！"_s, {}, Prompter::Icon::Warning);
        return false;
    }
    if (password != m_texts[CoursePassword1]) {
        m_prompter.message(u"课程密码复核错误！"_s, {}, Prompter::Icon::Warning);
        return false;
    }
    if (!passwordFits(password, u"课程密码不能超过64个字节（32个汉字）！"_s))
        return false;
    if (password.isEmpty() && !m_prompter.okCancel(u"您确定要将密码设置为空吗？"_s))
        return false;

    const QString file = CourseBank::fileName(name);
    if (QFile::exists(file)) {
        if (!m_prompter.yesNo(u"已经存在 "_s + file + u" 是否覆盖？"_s))
            return false;
        QFile::remove(file);
        QFile::remove(RecordStore::memoFileName(file));
    }

    CourseBank bank(m_store, m_prompter);
    if (!bank.createCourseBank(name)) {
        m_prompter.message(u"创建课程数据库“"_s + file + u"”失败！"_s, u"错误"_s, Prompter::Icon::Error);
        return false;
    }
    if (catalog.openCatalog() != OpenOutcome::Ready || !m_store.append({name, QString()})) {
        failAddCourse(name, file, -1, RecordStore::lastErrorText());
        return false;
    }
    const int record = m_store.recordNumber();

    // The bank and the catalogue carry the password together or the course is
    // not added: an unprotected course the teacher believes protected, or a
    // protected bank whose password the catalogue lacks, would be worse.
    if (!password.isEmpty()) {
        const bool opened = m_store.open(file, name);
        const bool protectedBank = opened && m_store.setPassword(password);
        // The reason is taken before closing the bank clears it.
        QString reason = protectedBank ? QString() : RecordStore::lastErrorText();
        if (opened)
            m_store.close(name);
        const bool recorded = protectedBank && catalog.openCatalog() == OpenOutcome::Ready && m_store.goTo(record) &&
                              m_store.write(CourseCatalog::Password, DataCipher::encryptPassword(password));
        if (!recorded) {
            if (protectedBank)
                reason = RecordStore::lastErrorText();
            failAddCourse(name, file, record, reason);
            return false;
        }
    }
    m_succeeded = true;
    return true;
}

// Takes back what was made of a course that could not be added whole, and says so.
void CourseAdminLogic::failAddCourse(const QString& name, const QString& file, int record, const QString& reason)
{
    CourseCatalog catalog(m_store, m_prompter);
    if (record > 0 && catalog.openCatalog() == OpenOutcome::Ready && m_store.goTo(record) &&
        m_store.readText(CourseCatalog::Name) == name && m_store.markDeleted())
        m_store.purge();
    if (m_store.isOpen(name))
        m_store.close(name);
    QFile::remove(file);
    QFile::remove(RecordStore::memoFileName(file));
    m_prompter.message(u"添加课程 "_s + name + u" 失败："_s + reason + u"。课程没有添加，请检查磁盘后重试。"_s,
                       u"错误"_s, Prompter::Icon::Error);
}

bool CourseAdminLogic::acceptResetCoursePassword()
{
    const QString& password = m_texts[CoursePassword];
    if (password != m_texts[CoursePassword1]) {
        m_prompter.message(u"课程密码复核错误 ！"_s, {}, Prompter::Icon::Warning);
        return false;
    }
    if (!passwordFits(password, u"课程密码不能超过64个字节（32个汉字）！"_s))
        return false;
    if (password.isEmpty() && !m_prompter.okCancel(u"您确定要将密码设置为空吗？"_s))
        return false;

    CourseCatalog catalog(m_store, m_prompter);
    if (!catalog.goToCourse(m_listPosition))
        return true;
    const QString name = m_store.readText(CourseCatalog::Name);
    const QString oldPassword = DataCipher::decryptPassword(catalog.storedCoursePassword(m_listPosition));
    CourseBank bank(m_store, m_prompter);
    if (!bank.openCourseBank({name, false, {}, m_listPosition}))
        return true;
    if (!m_store.setPassword(password)) {
        const QString reason = RecordStore::lastErrorText();
        m_store.close(name);
        failResetPassword(name, reason);
        return true;
    }
    m_store.close(name);
    // The catalogue must learn the new password, or the course could never be
    // opened again: when it cannot, the bank takes its old password back.
    if (catalog.goToCourse(m_listPosition) &&
        m_store.write(CourseCatalog::Password, password.isEmpty() ? QString() : DataCipher::encryptPassword(password))) {
        m_succeeded = true;
        return true;
    }
    const QString reason = RecordStore::lastErrorText();
    bool restored = false;
    if (m_store.open(CourseBank::fileName(name), name, password)) {
        restored = m_store.setPassword(oldPassword);
        m_store.close(name);
    }
    if (!restored) {
        // The disk refused the way back too: the teacher must know which
        // password the bank now holds.
        m_prompter.message(u"课程 "_s + name + u" 的密码未能重设："_s + reason +
                               u"。题库已改用新密码，但课程列表未能记下新密码，课程暂时无法打开，请检查磁盘。"_s,
                           u"错误"_s, Prompter::Icon::Error);
        return true;
    }
    failResetPassword(name, reason);
    return true;
}

void CourseAdminLogic::failResetPassword(const QString& name, const QString& reason)
{
    m_prompter.message(u"课程 "_s + name + u" 的密码未能重设："_s + reason + u"。课程仍使用原来的密码。"_s, u"错误"_s,
                       Prompter::Icon::Error);
}

bool CourseAdminLogic::acceptChangeAdministratorName()
{
    CourseCatalog catalog(m_store, m_prompter);
    if (DataCipher::encryptPassword(m_texts[CoursePassword]) != catalog.administratorStoredPassword()) {
        m_prompter.message(u"管理员密码错误！"_s, {}, Prompter::Icon::Warning);
        return false;
    }
    const QString& name = m_texts[CoursePassword1];
    if (name.isEmpty()) {
        m_prompter.message(u"管理员姓名不能为空！"_s, {}, Prompter::Icon::Warning);
        return false;
    }
    if (gbkLength(name) > CourseCatalog::kNameWidth) {
        m_prompter.message(u"管理员姓名不能超过20个字节（10个汉字）！"_s, {}, Prompter::Icon::Warning);
        return false;
    }
    m_succeeded = m_store.goTo(kAdministratorRecord) && m_store.write(CourseCatalog::Name, name);
    if (!m_succeeded)
        m_prompter.message(u"管理员姓名未能保存："_s + RecordStore::lastErrorText() + u"。管理员姓名没有改变。"_s,
                           u"错误"_s, Prompter::Icon::Error);
    return true;
}

bool CourseAdminLogic::acceptChangeAdministratorPassword()
{
    CourseCatalog catalog(m_store, m_prompter);
    const QString& password = m_texts[CoursePassword];
    if (DataCipher::encryptPassword(m_texts[NewCourse]) != catalog.administratorStoredPassword()) {
        m_prompter.message(u"旧密码错误！"_s, {}, Prompter::Icon::Warning);
        return false;
    }
    if (password != m_texts[CoursePassword1]) {
        m_prompter.message(u"新密码复核错误！"_s, {}, Prompter::Icon::Warning);
        return false;
    }
    if (password.isEmpty()) {
        m_prompter.message(u"新密码不能为空！"_s, {}, Prompter::Icon::Warning);
        return false;
    }
    if (!passwordFits(password, u"新密码不能超过64个字节（32个汉字）！"_s))
        return false;
    m_succeeded = m_store.goTo(kAdministratorRecord) &&
                  m_store.write(CourseCatalog::Password, DataCipher::encryptPassword(password));
    if (!m_succeeded)
        m_prompter.message(u"管理员密码未能保存："_s + RecordStore::lastErrorText() + u"。管理员密码仍是原来的密码。"_s,
                           u"错误"_s, Prompter::Icon::Error);
    return true;
}

} // namespace helan
