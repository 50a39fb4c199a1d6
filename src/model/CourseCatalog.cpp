#include "model/CourseCatalog.h"

#include <QFile>

#include "base/Prompter.h"
#include "model/DataCipher.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;

namespace helan {

QString CourseCatalog::tableName()
{
    return u"课程列表"_s;
}

QString CourseCatalog::fileName()
{
    return u"课程列表.edb"_s;
}

QString CourseCatalog::fieldName(Field field)
{
    switch (field) {
    case Name: return u"课程名称"_s;
    case Password: return u"课程密码"_s;
    case Difficulty: return u"难度说明"_s;
    }
    return {};
}

QList<FieldDef> CourseCatalog::fieldDefs()
{
    // The password field holds hex text, so it is as wide as the longest
    // password's stored form rather than its raw ciphertext.
    return {
        {fieldName(Name), FieldType::Text, kNameWidth},
        {fieldName(Password), FieldType::Text, DataCipher::kStoredFormWidth},
        {fieldName(Difficulty), FieldType::Text, kDifficultyWidth},
    };
}

CourseCatalog::CourseCatalog(RecordStore& store, Prompter& prompter) : m_store(store), m_prompter(prompter) {}

OpenOutcome CourseCatalog::openCatalog()
{
    if (m_store.setCurrent(tableName()))
        return OpenOutcome::Ready;
    if (!QFile::exists(fileName()) && !m_store.create(fileName(), fieldDefs())) {
        m_prompter.message(u"创建 课程列表.edb 不成功"_s, {}, Prompter::Icon::Error);
        return OpenOutcome::ProgramMustEnd;
    }
    if (!m_store.open(fileName(), tableName())) {
        m_prompter.message(u"打开课程列表错误！"_s, {}, Prompter::Icon::Error);
        return OpenOutcome::ProgramMustEnd;
    }
    m_store.setCurrent(tableName());
    return OpenOutcome::Ready;
}

bool CourseCatalog::isEmpty()
{
    return openCatalog() != OpenOutcome::Ready || m_store.recordCount() == 0;
}

bool CourseCatalog::appendAdministrator(const QString& name, const QString& password)
{
    if (openCatalog() != OpenOutcome::Ready || m_store.recordCount() != 0)
        return false;
    return m_store.append({name, DataCipher::encryptPassword(password)});
}

QString CourseCatalog::administratorName()
{
    if (openCatalog() != OpenOutcome::Ready || m_store.recordCount() < 1 || !m_store.goTo(1))
        return {};
    return m_store.readText(Name);
}

QString CourseCatalog::administratorStoredPassword()
{
    if (openCatalog() != OpenOutcome::Ready || m_store.recordCount() < 1 || !m_store.goTo(1))
        return {};
    return m_store.readText(Password);
}

bool CourseCatalog::administratorPasswordMatches(const QString& typed)
{
    // A damaged stored form decrypts to nothing; that must not match an empty entry.
    const QString password = DataCipher::decryptPassword(administratorStoredPassword());
    return !password.isEmpty() && password == typed;
}

QStringList CourseCatalog::courseNames()
{
    QStringList names;
    if (openCatalog() != OpenOutcome::Ready)
        return names;
    const int count = m_store.recordCount();
    for (int record = 2; record <= count; ++record) {
        m_store.goTo(record);
        names.append(m_store.readText(Name));
    }
    return names;
}

bool CourseCatalog::goToCourse(int listPosition)
{
    if (openCatalog() != OpenOutcome::Ready || listPosition < 0)
        return false;
    const int record = recordOfListPosition(listPosition);
    return record <= m_store.recordCount() && m_store.goTo(record);
}

QString CourseCatalog::storedCoursePassword(int listPosition)
{
    return goToCourse(listPosition) ? m_store.readText(Password) : QString();
}

} // namespace helan
