#include "model/CourseBank.h"

#include <QFile>

#include "base/Prompter.h"
#include "model/CourseCatalog.h"
#include "model/DataCipher.h"
#include "model/QuestionRecord.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;

namespace helan {

QString CourseBank::fileName(const QString& courseName)
{
    // Always spelled out: a course name may itself contain a dot.
    return courseName + u".edb"_s;
}

CourseBank::CourseBank(RecordStore& store, Prompter& prompter) : m_store(store), m_prompter(prompter) {}

bool CourseBank::createCourseBank(const QString& courseName)
{
    return m_store.create(fileName(courseName), QuestionRecord::fieldDefs());
}

bool CourseBank::openCourseBank(const OpenRequest& request)
{
    const QString& name = request.courseName;
    if (m_store.setCurrent(name))
        return true;

    CourseCatalog catalog(m_store, m_prompter);
    if (request.checkPassword) {
        if (!catalog.goToCourse(request.listPosition))
            return false;
    } else if (catalog.openCatalog() != OpenOutcome::Ready) {
        return false;
    }

    const QString stored = m_store.readText(CourseCatalog::Password);
    QString password;
    if (!stored.isEmpty()) {
        password = DataCipher::decryptPassword(stored);
        if (request.checkPassword && password != request.typedPassword) {
            m_prompter.message(u"课程密码错误！"_s, {}, Prompter::Icon::Warning);
            return false;
        }
    }

    if (m_store.open(fileName(name), name, password)) {
        m_store.setCurrent(name);
        return true;
    }
    const QString reason = RecordStore::lastErrorText();
    if (QFile::exists(fileName(name)))
        m_prompter.message(u"打开 "_s + name + u" 题库错误！"_s + reason, {}, Prompter::Icon::Error);
    else
        m_prompter.message(name + u".edb不存在！"_s, {}, Prompter::Icon::Error);
    return false;
}

} // namespace helan
