#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace helan {

// A prepared statement; resets itself when it goes out of scope.
class SqliteStmt {
public:
    SqliteStmt() = default;
    SqliteStmt(sqlite3* db, const char* sql);
    ~SqliteStmt();
    SqliteStmt(SqliteStmt&& other) noexcept;
    SqliteStmt& operator=(SqliteStmt&& other) noexcept;
    SqliteStmt(const SqliteStmt&) = delete;
    SqliteStmt& operator=(const SqliteStmt&) = delete;

    bool valid() const { return m_stmt != nullptr; }
    void bind(int index, qint64 value);
    void bind(int index, const QByteArray& blob);
    void bindText(int index, const QString& text);
    void bindNull(int index);
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    // Steps to the end; true when it finished with SQLITE_DONE.
    bool run();
    void reset();

    qint64 columnInt(int index) const;
    QByteArray columnBlob(int index) const;
    QString columnText(int index) const;
    bool columnIsNull(int index) const;
    int columnCount() const;

private:
    sqlite3_stmt* m_stmt = nullptr;
};

// One connection with the settings the store needs on every file it touches:
// defensive mode, no trusted schema, cell size checks, rollback journal, full sync.
class SqliteDb {
public:
    SqliteDb() = default;
    ~SqliteDb();
    SqliteDb(const SqliteDb&) = delete;
    SqliteDb& operator=(const SqliteDb&) = delete;

    // Opens an existing file (create = false) or creates it.
    bool open(const QString& path, bool create, bool readOnly = false);
    void close();
    sqlite3* handle() const { return m_db; }
    bool isOpen() const { return m_db != nullptr; }

    bool exec(const char* sql);
    bool exec(const QString& sql);
    SqliteStmt prepare(const char* sql) const { return SqliteStmt(m_db, sql); }
    SqliteStmt prepare(const QString& sql) const;

    // A single text/integer result of a query ("" / 0 when it gives none).
    QString queryText(const QString& sql) const;
    qint64 queryInt(const QString& sql) const;

    // The message of the connection's last error.
    QString errorMessage() const;
    int errorCode() const;

    // Forces journal_mode DELETE and synchronous FULL on a schema ("main" or an
    // attached name) and checks that they took.
    bool forceDurableJournal(const QString& schema);

private:
    sqlite3* m_db = nullptr;
};

// Reads the first 100 bytes of a file and tells whether it looks like a database
// this store could have written: the SQLite magic and the rollback-journal format
// bytes (a WAL-flagged file is refused). An empty file gives Empty.
enum class FileHeaderCheck { Ok, Missing, Empty, NotDatabase, WalFlag, Unreadable };
FileHeaderCheck checkDatabaseHeader(const QString& path);

} // namespace helan
