#pragma once

#include <QFile>
#include <QList>
#include <QString>

#include <sqlite3.h>

#include "store/StoreTypes.h"

namespace helan::test {

using namespace Qt::StringLiterals;

// A small table with one field of every type.
inline QList<FieldDef> sampleFields()
{
    return {
        {u"名称"_s, FieldType::Text, 20},
        {u"数量"_s, FieldType::Short},
        {u"编号"_s, FieldType::Int},
        {u"选中"_s, FieldType::Bool},
        {u"正文"_s, FieldType::Memo},
        {u"图片"_s, FieldType::Bytes},
    };
}

inline QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Runs SQL on a table file behind the store's back, as a damaged disk or a
// meddling program would.
inline bool execSql(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

} // namespace helan::test
