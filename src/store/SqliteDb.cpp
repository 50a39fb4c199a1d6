#include "store/SqliteDb.h"

#include <QFile>

#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace helan {

SqliteStmt::SqliteStmt(sqlite3* db, const char* sql)
{
    if (db && sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

SqliteStmt::~SqliteStmt()
{
    sqlite3_finalize(m_stmt);
}

SqliteStmt::SqliteStmt(SqliteStmt&& other) noexcept : m_stmt(other.m_stmt)
{
    other.m_stmt = nullptr;
}

SqliteStmt& SqliteStmt::operator=(SqliteStmt&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_stmt = other.m_stmt;
        other.m_stmt = nullptr;
    }
    return *this;
}

void SqliteStmt::bind(int index, qint64 value)
{
    sqlite3_bind_int64(m_stmt, index, value);
}

void SqliteStmt::bind(int index, const QByteArray& blob)
{
    // A zero-length blob must still be a blob, not NULL.
    sqlite3_bind_blob64(m_stmt, index, blob.isEmpty() ? "" : blob.constData(), sqlite3_uint64(blob.size()),
                        SQLITE_TRANSIENT);
}

void SqliteStmt::bindText(int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text64(m_stmt, index, utf8.constData(), sqlite3_uint64(utf8.size()), SQLITE_TRANSIENT,
                        SQLITE_UTF8);
}

void SqliteStmt::bindNull(int index)
{
    sqlite3_bind_null(m_stmt, index);
}

int SqliteStmt::step()
{
    if (!m_stmt)
        return SQLITE_MISUSE;
    return sqlite3_step(m_stmt);
}

bool SqliteStmt::run()
{
    if (!m_stmt)
        return false;
    int rc;
    while ((rc = sqlite3_step(m_stmt)) == SQLITE_ROW) {
    }
    sqlite3_reset(m_stmt);
    return rc == SQLITE_DONE;
}

void SqliteStmt::reset()
{
    if (m_stmt) {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
}

qint64 SqliteStmt::columnInt(int index) const
{
    return sqlite3_column_int64(m_stmt, index);
}

QByteArray SqliteStmt::columnBlob(int index) const
{
    const void* data = sqlite3_column_blob(m_stmt, index);
    const int size = sqlite3_column_bytes(m_stmt, index);
    if (!data || size <= 0)
        return QByteArray();
    return QByteArray(static_cast<const char*>(data), size);
}

QString SqliteStmt::columnText(int index) const
{
    const unsigned char* data = sqlite3_column_text(m_stmt, index);
    const int size = sqlite3_column_bytes(m_stmt, index);
    if (!data || size <= 0)
        return QString();
    return QString::fromUtf8(reinterpret_cast<const char*>(data), size);
}

bool SqliteStmt::columnIsNull(int index) const
{
    return sqlite3_column_type(m_stmt, index) == SQLITE_NULL;
}

int SqliteStmt::columnCount() const
{
    return m_stmt ? sqlite3_column_count(m_stmt) : 0;
}

SqliteDb::~SqliteDb()
{
    close();
}

bool SqliteDb::open(const QString& path, bool create, bool readOnly)
{
    close();
    int flags = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (create && !readOnly)
        flags |= SQLITE_OPEN_CREATE;
    flags |= SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_URI;
    const QByteArray name = path.toUtf8();
    if (sqlite3_open_v2(name.constData(), &m_db, flags, nullptr) != SQLITE_OK) {
        close();
        return false;
    }
    sqlite3_extended_result_codes(m_db, 1);
    // Files may come from anyone (a colleague's export, a damaged disk): treat
    // every schema as untrusted and let SQLite check what it reads.
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_limit(m_db, SQLITE_LIMIT_ATTACHED, 2);
    sqlite3_busy_timeout(m_db, 0);
    exec("PRAGMA cell_size_check=ON");
    // Reads go through a memory map: no copy of every page into the page cache.
    // Nothing else writes these files while they are open, so the map stays valid.
    exec("PRAGMA mmap_size=268435456");
    exec("PRAGMA foreign_keys=OFF");
    return true;
}

void SqliteDb::close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

bool SqliteDb::exec(const char* sql)
{
    return m_db && sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool SqliteDb::exec(const QString& sql)
{
    return exec(sql.toUtf8().constData());
}

SqliteStmt SqliteDb::prepare(const QString& sql) const
{
    return SqliteStmt(m_db, sql.toUtf8().constData());
}

QString SqliteDb::queryText(const QString& sql) const
{
    SqliteStmt st = prepare(sql);
    if (st.valid() && st.step() == SQLITE_ROW)
        return st.columnText(0);
    return QString();
}

qint64 SqliteDb::queryInt(const QString& sql) const
{
    SqliteStmt st = prepare(sql);
    if (st.valid() && st.step() == SQLITE_ROW)
        return st.columnInt(0);
    return 0;
}

QString SqliteDb::errorMessage() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
}

int SqliteDb::errorCode() const
{
    return m_db ? sqlite3_errcode(m_db) : SQLITE_ERROR;
}

bool SqliteDb::forceDurableJournal(const QString& schema)
{
    const QString mode = queryText(u"PRAGMA \"%1\".journal_mode=DELETE"_s.arg(schema));
    if (mode.compare(u"delete"_s, Qt::CaseInsensitive) != 0)
        return false;
    exec(u"PRAGMA \"%1\".synchronous=FULL"_s.arg(schema));
    return queryInt(u"PRAGMA \"%1\".synchronous"_s.arg(schema)) == 2;
}

FileHeaderCheck checkDatabaseHeader(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return FileHeaderCheck::Missing;
    if (!file.open(QIODevice::ReadOnly))
        return FileHeaderCheck::Unreadable;
    if (file.size() == 0)
        return FileHeaderCheck::Empty;
    const QByteArray head = file.read(100);
    static const QByteArray magic("SQLite format 3\0", 16);
    if (head.size() < 100 || !head.startsWith(magic))
        return FileHeaderCheck::NotDatabase;
    // Bytes 18 and 19: file format write/read versions; 2 means WAL.
    const auto w = static_cast<unsigned char>(head.at(18));
    const auto r = static_cast<unsigned char>(head.at(19));
    if (w == 2 || r == 2)
        return FileHeaderCheck::WalFlag;
    if (w != 1 || r != 1)
        return FileHeaderCheck::NotDatabase;
    return FileHeaderCheck::Ok;
}

} // namespace helan
