#include "model/QuestionTypeLibrary.h"

#include <QFile>

#include "base/Prompter.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;

namespace helan {

QString QuestionTypeLibrary::tableName()
{
    return u"题型库"_s;
}

QString QuestionTypeLibrary::fileName()
{
    return u"题型库.edb"_s;
}

QString QuestionTypeLibrary::fieldName(Field field)
{
    switch (field) {
    case TypeName: return u"题型"_s;
    case Score: return u"分值"_s;
    case Description: return u"说明"_s;
    case AnswerLineBreak: return u"答案换行"_s;
    }
    return {};
}

QList<FieldDef> QuestionTypeLibrary::fieldDefs()
{
    return {
        {fieldName(TypeName), FieldType::Text, kTypeNameWidth},
        {fieldName(Score), FieldType::Int, 0},
        {fieldName(Description), FieldType::Text, kDescriptionWidth},
        {fieldName(AnswerLineBreak), FieldType::Bool, 0},
    };
}

QuestionTypeLibrary::QuestionTypeLibrary(RecordStore& store, Prompter& prompter)
    : m_store(store), m_prompter(prompter)
{
}

OpenOutcome QuestionTypeLibrary::openTypeLibrary()
{
    if (m_store.setCurrent(tableName()))
        return OpenOutcome::Ready;
    if (!QFile::exists(fileName()) && !m_store.create(fileName(), fieldDefs())) {
        m_prompter.message(u"创建 题型库.edb 不成功"_s, {}, Prompter::Icon::Error);
        return OpenOutcome::ProgramMustEnd;
    }
    if (!m_store.open(fileName(), tableName())) {
        m_prompter.message(u"打开题型库错误！"_s, {}, Prompter::Icon::Error);
        return OpenOutcome::ProgramMustEnd;
    }
    m_store.setCurrent(tableName());
    if (m_store.recordCount() == 0) {
        // All five or none, so a crash cannot leave a partial default list that
        // would never be completed (defaults only go into an empty library).
        RecordStore::Batch batch(m_store, tableName());
        const bool appended = m_store.append({u"判断"_s, 0, QString(), false})
            && m_store.append({u"选择"_s, 0, QString(), false})
            && m_store.append({u"填空"_s, 0, QString(), false})
            && m_store.append({u"名词"_s, 0, QString(), true})
            && m_store.append({u"问答"_s, 0, QString(), true});
        if (appended)
            batch.commit();
    }
    return OpenOutcome::Ready;
}

QStringList QuestionTypeLibrary::typeNames()
{
    QStringList names;
    if (openTypeLibrary() != OpenOutcome::Ready)
        return names;
    const int count = m_store.recordCount();
    for (int record = 1; record <= count; ++record) {
        m_store.goTo(record);
        names.append(m_store.readText(TypeName));
    }
    return names;
}

} // namespace helan
