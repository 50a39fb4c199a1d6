#pragma once

#include <functional>
#include <map>
#include <memory>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

#include "store/StoreTypes.h"

namespace helan {

class StoreTable;

// The program's table store: named, typed fields; 1-based record numbers; record
// IDs that only grow; deleted marks with purge; a current table and a current
// record per table; optional passwords.
//
// A table "name" is the pair name.edb (field definitions, header, fixed-width
// fields) and name.edt (memo and byte values). Both are SQLite databases on one
// connection, so every operation commits both files in one durable transaction.
//
// Values: text and memo fields read and write QString, bytes fields QByteArray,
// bool fields bool, short and int fields int. A numeric field also takes any
// number (converted). An invalid QVariant stands for an omitted value.
class RecordStore {
public:
    RecordStore();
    ~RecordStore();
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    // ---- Table management
    // A file name without an extension gets ".edb".
    bool create(const QString& fileName, const QList<FieldDef>& fields);
    // The alias defaults to the file's base name. The table becomes current; its
    // current record is position 0 until the caller moves. A read-only table refuses
    // every change and never writes its files.
    bool open(const QString& fileName, const QString& alias = {}, const QString& password = {},
              bool readOnly = false);
    bool isOpen(const QString& alias) const;
    bool setCurrent(const QString& alias);
    QString currentAlias() const;
    bool close(const QString& alias = {});
    void closeAll();
    // For an open alias, its state; otherwise the file's header is examined.
    bool isProtected(const QString& fileNameOrAlias);
    // "" removes the protection, "?" is refused. Re-seals every value at once.
    bool setPassword(const QString& password);

    // ---- Reading and moving (current table)
    int recordCount() const;
    // 0 before the first record, 1 … count, count + 1 after the last.
    int recordNumber() const;
    bool goTo(int recordNumber);
    bool first();
    bool last();
    bool skip(int count = 1);
    bool atBegin() const; // position 0 (or an empty table)
    bool atEnd() const;   // position count + 1 (or an empty table)
    qint32 recordId() const;
    bool goToRecordId(qint32 id);
    // Tests records from the current one onward with each made current in turn.
    bool find(const Condition& condition);
    int fieldCount() const;
    QString fieldName(int position) const;
    QList<FieldDef> fields() const;
    bool isDeleted() const;

    QVariant read(const FieldRef& field, const QString& alias = {});
    QString readText(const FieldRef& field, const QString& alias = {});
    int readInt(const FieldRef& field, const QString& alias = {});
    bool readBool(const FieldRef& field, const QString& alias = {});
    QByteArray readBytes(const FieldRef& field, const QString& alias = {});

    // ---- Changing (current table)
    // An invalid value writes the field's empty value.
    bool write(const FieldRef& field, const QVariant& value = {}, const QString& alias = {});
    // Values in field order; missing ones are empty. The new record becomes current.
    bool append(const QVariantList& values = {});
    // Values in field order; missing or invalid ones leave their field unchanged.
    bool modify(const QVariantList& values);
    // Sets the deleted mark of the current record.
    bool markDeleted();
    // Removes every marked record; the current position is 0 afterwards.
    bool purge();
    bool copyTo(const QString& fileName, const Condition& condition = {});
    // With the destination current: appends copies of the source's records for which
    // the condition holds (evaluated with the source table and record current).
    bool appendFrom(const QString& sourceAlias, const Condition& condition = {});

    // ---- Batches
    // Groups every operation on one table into one transaction: nothing of it is on
    // disk until commit, and all of it is after. Leaving the scope without commit
    // rolls the table back to where it was.
    class Batch {
    public:
        Batch(RecordStore& store, const QString& alias = {});
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        bool commit();
        bool active() const { return m_table != nullptr; }

    private:
        RecordStore& m_store;
        StoreTable* m_table = nullptr;
    };

    // ---- Errors, kept per thread
    static int lastError();
    static QString lastErrorText();

    // File name with ".edb" added when it has no extension.
    static QString tableFileName(const QString& fileName);
    // The ".edt" beside a table file.
    static QString memoFileName(const QString& tableFile);

private:
    StoreTable* current() const;
    StoreTable* tableFor(const QString& alias) const;
    bool holds(const StoreTable* table) const;

    std::map<QString, std::unique_ptr<StoreTable>> m_tables;
    StoreTable* m_current = nullptr;
};

} // namespace helan
