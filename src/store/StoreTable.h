#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

#include "store/SqliteDb.h"
#include "store/StoreCrypto.h"
#include "store/StoreTypes.h"

namespace helan {

// Sets the calling thread's last error of the store.
void setStoreError(int code, const QString& description = {});
void clearStoreError();
int storeLastError();
QString storeLastErrorText();

// One open table: the .edb connection with the .edt attached, the record IDs and
// fixed-width values held in memory (so moving and reading are cheap), and the
// sealing key when the table has a password. Memo and byte values stay on disk and
// are read when asked for.
class StoreTable {
public:
    ~StoreTable();
    StoreTable(const StoreTable&) = delete;
    StoreTable& operator=(const StoreTable&) = delete;

    // Writes a new empty table. path ends in ".edb".
    static bool createFile(const QString& path, const QList<FieldDef>& fields);
    static std::unique_ptr<StoreTable> openFile(const QString& path, const QString& alias,
                                                const QString& password, bool readOnly);
    // Whether a table file carries a password, from its header alone.
    static bool fileIsProtected(const QString& path);
    static bool validFieldName(const QString& name);

    const QString& alias() const { return m_alias; }
    const QString& canonicalPath() const { return m_canonical; }
    const QString& path() const { return m_path; }
    const QList<FieldDef>& fields() const { return m_fields; }
    bool isProtected() const { return !m_key.isEmpty(); }
    bool readOnly() const { return m_readOnly; }

    // Position and records.
    int count() const { return int(m_rows.size()); }
    int position() const { return m_pos; }
    void setPosition(int pos) { m_pos = pos; }
    bool hasRecord() const { return m_pos >= 1 && m_pos <= count(); }
    qint32 idAt(int recordNumber) const { return m_rows[size_t(recordNumber - 1)].id; }
    bool deletedAt(int recordNumber) const { return m_rows[size_t(recordNumber - 1)].deleted; }
    // Record number of an ID, or 0.
    int numberOfId(qint32 id) const;

    // Field index (0-based) of a reference, or -1 (a programming error the caller reports).
    int fieldIndex(const FieldRef& ref) const;

    // Values of the record at a record number. ok is false (and the error set) on failure.
    QVariant value(int recordNumber, int fieldIdx, bool* ok = nullptr) const;
    // Checks and converts a value for a field; false (and the error set) when refused.
    bool normalize(int fieldIdx, const QVariant& in, QVariant* out) const;

    bool writeValue(int recordNumber, int fieldIdx, const QVariant& normalized);
    // Values aligned with the fields; invalid entries: empty (append) or unchanged (modify).
    bool appendRecord(const QList<QVariant>& normalized);
    bool modifyRecord(int recordNumber, const QList<QVariant>& normalized);
    bool markDeleted(int recordNumber);
    bool purge();
    bool setPassword(const QString& password);

    // A new table file with the same fields and protection, holding the given records.
    bool copyRecordsTo(const QString& path, const std::vector<int>& recordNumbers);

    // Transactions grouping many operations.
    bool beginBatch();
    bool endBatch(bool commit);

private:
    struct Row {
        qint32 id = 0;
        bool deleted = false;
        QByteArray packed; // the fixed values as stored, each length-prefixed
    };

    StoreTable() = default;
    bool load(const QString& password);
    bool checkMainSchema();
    bool attachMemoFile(bool memoUsed);
    bool loadRows();
    bool reloadAfterFailure();

    QByteArray associated(qint32 id, int fieldIdx) const;
    QByteArray encodeStored(qint32 id, int fieldIdx, const QVariant& normalized) const;
    QByteArray encodeStoredWithKey(const QByteArray& key, qint32 id, int fieldIdx, const QVariant& normalized) const;
    bool decodeStored(qint32 id, int fieldIdx, QByteArray stored, QVariant* out) const;
    // Checksum of the associated data, the seed of a plain memo value's checksum.
    quint32 associatedChecksum(qint32 id, int fieldIdx) const;
    QByteArray packRow(const QByteArray& key, qint32 id, const std::vector<QByteArray>& parts) const;
    bool unpackRow(const Row& row, std::vector<QByteArray>* parts) const;
    bool decodeRow(const Row& row, std::vector<QVariant>* values) const;
    quint32 rowChecksum(qint32 id, bool deleted, const QByteArray& packed) const;
    QByteArray nextIdBlob(qint32 nextId) const;
    quint32 headerChecksum() const;

    bool ensureMemoTables();
    bool putMemo(qint32 id, int fieldIdx, const QVariant& normalized);
    bool readMemo(qint32 id, int fieldIdx, QByteArray* stored) const;
    bool loadMemoTexts(qint32 id) const;
    void closeMemoCursor() const;
    bool updateRow(const Row& row);

    // Runs body inside a savepoint; rolls it back when body or the release fails.
    template <typename Body>
    bool inSavepoint(Body body);
    bool failSql(const QString& what) const;
    bool writable() const;

    QString m_path;
    QString m_canonical;
    QString m_alias;
    bool m_readOnly = false;
    QList<FieldDef> m_fields;
    std::vector<int> m_slot; // field index -> fixed slot, or -1 for memo and bytes
    std::vector<int> m_fixedFields;
    bool m_hasMemoFields = false;
    bool m_memoAttached = false;
    bool m_memoReady = false;
    QByteArray m_identity;
    mutable std::optional<quint32> m_identityChecksum;
    QByteArray m_key;
    crypto::KdfParams m_kdf;
    QByteArray m_salt;
    qint32 m_nextId = 1;
    std::vector<Row> m_rows;
    int m_pos = 0;
    int m_batchDepth = 0;
    bool m_batchFailed = false;

    struct MemoCache {
        qint32 id = 0; // record whose memo texts are held; 0: none
        std::vector<QByteArray> text;
        std::vector<bool> present;
    };
    mutable MemoCache m_memoCache;
    struct FixedCache {
        qint32 id = 0; // record whose fixed values are held decoded; 0: none
        std::vector<QVariant> values;
    };
    mutable FixedCache m_fixedCache;

    SqliteDb m_db;
    mutable SqliteStmt m_selectMemo;
    mutable SqliteStmt m_memoScan;
    struct MemoCursor {
        bool active = false;
        qint64 pendingKey = -1; // key of the row the scan stands on, not yet taken; -1: none
        qint64 lastStart = -1;  // first key of the last record read through the scan
    };
    mutable MemoCursor m_memoCursor;
    SqliteStmt m_upsertMemo;
    SqliteStmt m_deleteMemo;
    SqliteStmt m_updateRow;
    SqliteStmt m_insertRow;
    SqliteStmt m_updateNextId;
};

} // namespace helan
