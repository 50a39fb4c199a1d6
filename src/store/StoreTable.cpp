#include "store/StoreTable.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QUrl>

#include <sqlite3.h>

#include "base/Gbk.h"
#include "base/WriteFaults.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

thread_local int t_lastError = 0;
thread_local QString t_lastErrorText;

constexpr int kFormatVersion = 1;
constexpr int kMaxFields = 255;
constexpr int kMemoShift = 10; // memo key = record ID << 10 | field index
constexpr int kIdentitySize = 16;
constexpr int kRowField = 0xFF; // associated-data field byte of a sealed record

const char* const kMetaDdl = "CREATE TABLE meta(key TEXT PRIMARY KEY NOT NULL, value BLOB NOT NULL)";
const char* const kFieldsDdl =
    "CREATE TABLE fields(pos INTEGER PRIMARY KEY, name TEXT NOT NULL, type INTEGER NOT NULL, width INTEGER NOT NULL)";
const char* const kMemoMetaDdl = "CREATE TABLE edtmeta(key TEXT PRIMARY KEY NOT NULL, value BLOB NOT NULL)";
const char* const kMemoDdl = "CREATE TABLE memo(k INTEGER PRIMARY KEY, v BLOB NOT NULL)";

bool isFixed(FieldType t)
{
    return t != FieldType::Memo && t != FieldType::Bytes;
}

QString recordsDdl(const QList<FieldDef>& fields)
{
    // The fixed-width values of a record travel together in one blob (each value
    // length-prefixed), so loading a table is one read per record.
    Q_UNUSED(fields);
    return u"CREATE TABLE records(id INTEGER PRIMARY KEY, deleted INTEGER NOT NULL, chk INTEGER NOT NULL, "
           u"data BLOB NOT NULL)"_s;
}

QByteArray le32(qint64 v)
{
    const auto u = quint32(v);
    QByteArray b(4, Qt::Uninitialized);
    b[0] = char(u & 0xFF);
    b[1] = char((u >> 8) & 0xFF);
    b[2] = char((u >> 16) & 0xFF);
    b[3] = char((u >> 24) & 0xFF);
    return b;
}

qint32 fromLe32(const char* p)
{
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return qint32(quint32(u[0]) | (quint32(u[1]) << 8) | (quint32(u[2]) << 16) | (quint32(u[3]) << 24));
}

QByteArray packValues(const std::vector<QByteArray>& parts)
{
    qsizetype size = 0;
    for (const QByteArray& b : parts)
        size += 4 + b.size();
    QByteArray out;
    out.reserve(size);
    for (const QByteArray& b : parts) {
        out += le32(b.size());
        out += b;
    }
    return out;
}

// Calls onValue(offset, length) for each value of a packed record; false when the
// blob is malformed.
template <typename OnValue>
bool walkPacked(const QByteArray& packed, OnValue onValue)
{
    qsizetype at = 0;
    while (at < packed.size()) {
        if (packed.size() - at < 4)
            return false;
        const qint32 len = fromLe32(packed.constData() + at);
        at += 4;
        if (len < 0 || packed.size() - at < len)
            return false;
        onValue(at, len);
        at += len;
    }
    return true;
}

bool unpackValues(const QByteArray& packed, size_t count, std::vector<QByteArray>* out)
{
    out->clear();
    return walkPacked(packed, [&](qsizetype at, qint32 len) { out->push_back(packed.mid(at, len)); }) &&
           out->size() == count;
}

bool packedHolds(const QByteArray& packed, size_t count)
{
    size_t n = 0;
    return walkPacked(packed, [&](qsizetype, qint32) { ++n; }) && n == count;
}

QByteArray encodePlain(FieldType type, const QVariant& v)
{
    switch (type) {
    case FieldType::Short:
    case FieldType::Int:
        return le32(v.toInt());
    case FieldType::Bool:
        return QByteArray(1, v.toBool() ? '\1' : '\0');
    case FieldType::Text:
    case FieldType::Memo:
        return v.toString().toUtf8();
    case FieldType::Bytes:
        return v.toByteArray();
    }
    return {};
}

// Decodes a value from bytes it may keep (bytes fields take them without a copy).
bool decodePlain(FieldType type, QByteArrayView b, QByteArray* owner, QVariant* out)
{
    switch (type) {
    case FieldType::Short:
    case FieldType::Int:
        if (b.size() != 4)
            return false;
        *out = QVariant(int(fromLe32(b.data())));
        return true;
    case FieldType::Bool:
        if (b.size() != 1 || (b[0] != '\0' && b[0] != '\1'))
            return false;
        *out = QVariant(b[0] == '\1');
        return true;
    case FieldType::Text:
    case FieldType::Memo:
        *out = QVariant(QString::fromUtf8(b));
        return true;
    case FieldType::Bytes:
        if (owner && owner->constData() == b.data()) {
            owner->truncate(b.size());
            *out = QVariant(std::move(*owner));
        } else {
            *out = QVariant(b.toByteArray());
        }
        return true;
    }
    return false;
}

QVariant emptyValue(FieldType type)
{
    switch (type) {
    case FieldType::Short:
    case FieldType::Int:
        return QVariant(0);
    case FieldType::Bool:
        return QVariant(false);
    case FieldType::Text:
    case FieldType::Memo:
        return QVariant(QString());
    case FieldType::Bytes:
        return QVariant(QByteArray());
    }
    return {};
}

QString memoFileOf(const QString& edbPath)
{
    const QFileInfo fi(edbPath);
    return fi.dir().filePath(fi.completeBaseName() + u".edt"_s);
}

QString fileUri(const QString& path, const char* mode)
{
    const QByteArray encoded = QUrl::toPercentEncoding(QFileInfo(path).absoluteFilePath(), "/");
    return u"file:"_s + QString::fromLatin1(encoded) + u"?mode="_s + QString::fromLatin1(mode);
}

struct SchemaObject {
    QString type;
    QString name;
    QString sql;
    bool operator==(const SchemaObject&) const = default;
};

// The objects of one schema, or false when they cannot be listed.
bool listSchema(const SqliteDb& db, const QString& schema, QList<SchemaObject>* out)
{
    SqliteStmt st = db.prepare(u"SELECT type, name, sql FROM \"%1\".sqlite_schema ORDER BY name"_s.arg(schema));
    if (!st.valid())
        return false;
    int rc;
    while ((rc = st.step()) == SQLITE_ROW)
        out->append({st.columnText(0), st.columnText(1), st.columnText(2)});
    return rc == SQLITE_DONE;
}

bool quickCheck(const SqliteDb& db, const QString& schema)
{
    SqliteStmt st = db.prepare(u"PRAGMA \"%1\".quick_check(1)"_s.arg(schema));
    return st.valid() && st.step() == SQLITE_ROW && st.columnText(0) == u"ok"_s;
}

const QString kDamaged = u"文件已损坏"_s;

} // namespace

void setStoreError(int code, const QString& description)
{
    t_lastError = code;
    t_lastErrorText = description;
}

void clearStoreError()
{
    t_lastError = 0;
    t_lastErrorText.clear();
}

int storeLastError()
{
    return t_lastError;
}

QString storeLastErrorText()
{
    return t_lastErrorText;
}

StoreTable::~StoreTable()
{
    closeMemoCursor();
    if (m_batchDepth > 0)
        m_db.exec("ROLLBACK");
}

bool StoreTable::validFieldName(const QString& name)
{
    if (name.isEmpty() || gbkLength(name) > 16)
        return false;
    if (name.at(0).isDigit())
        return false;
    for (const QChar c : name)
        if (!c.isLetterOrNumber() && c != u'_')
            return false;
    return true;
}

bool StoreTable::createFile(const QString& path, const QList<FieldDef>& fields)
{
    if (fields.isEmpty() || fields.size() > kMaxFields) {
        setStoreError(StoreError::InvalidDefinition, u"字段定义无效"_s);
        return false;
    }
    QSet<QString> seen;
    for (const FieldDef& f : fields) {
        const int t = int(f.type);
        if (!validFieldName(f.name) || t < int(FieldType::Short) || t > int(FieldType::Bytes) ||
            (f.type == FieldType::Text && (f.width < 1 || f.width > 1024))) {
            setStoreError(StoreError::InvalidDefinition, u"字段定义无效：%1"_s.arg(f.name));
            return false;
        }
        const QString folded = f.name.toCaseFolded();
        if (seen.contains(folded)) {
            setStoreError(StoreError::InvalidDefinition, u"字段名重复：%1"_s.arg(f.name));
            return false;
        }
        seen.insert(folded);
    }
    if (QFileInfo::exists(path)) {
        setStoreError(StoreError::FileExists, u"文件已经存在"_s);
        return false;
    }

    // Built under a temporary name and renamed at the end, so a crash never leaves a
    // half-made table under the real name.
    const QString temp = path + u".creating"_s;
    QFile::remove(temp);
    QFile::remove(temp + u"-journal"_s);
    bool ok = false;
    {
        SqliteDb db;
        if (db.open(temp, true) && db.forceDurableJournal(u"main"_s) && db.exec("BEGIN IMMEDIATE") &&
            db.exec(kMetaDdl) && db.exec(kFieldsDdl) && db.exec(recordsDdl(fields))) {
            ok = true;
            SqliteStmt insField = db.prepare("INSERT INTO fields(pos, name, type, width) VALUES(?,?,?,?)");
            for (int i = 0; ok && i < fields.size(); ++i) {
                insField.bind(1, qint64(i + 1));
                insField.bindText(2, fields[i].name);
                insField.bind(3, qint64(fields[i].type));
                insField.bind(4, qint64(fields[i].type == FieldType::Text ? fields[i].width : 0));
                ok = insField.run();
            }
            StoreTable shape;
            shape.m_fields = fields;
            shape.m_identity = crypto::randomBytes(kIdentitySize);
            SqliteStmt insMeta = db.prepare("INSERT INTO meta(key, value) VALUES(?,?)");
            const auto putMeta = [&](const char* key, const QByteArray& value) {
                insMeta.bindText(1, QString::fromLatin1(key));
                insMeta.bind(2, value);
                return insMeta.run();
            };
            ok = ok && putMeta("format", QByteArray::number(kFormatVersion)) &&
                 putMeta("identity", shape.m_identity) && putMeta("next_id", shape.nextIdBlob(1)) &&
                 putMeta("memo_used", "0") && putMeta("kdf", {}) && putMeta("salt", {}) &&
                 putMeta("verifier", {}) && putMeta("header_chk", QByteArray::number(shape.headerChecksum()));
            ok = ok && db.exec("COMMIT");
        }
        if (!ok)
            setStoreError(StoreError::Io, u"无法创建文件：%1"_s.arg(db.errorMessage()));
    }
    if (ok && !QFile::rename(temp, path)) {
        setStoreError(StoreError::Io, u"无法创建文件"_s);
        ok = false;
    }
    if (!ok) {
        QFile::remove(temp);
        QFile::remove(temp + u"-journal"_s);
        return false;
    }
    // A stale .edt under the new name would belong to another table.
    QFile::remove(memoFileOf(path));
    clearStoreError();
    return true;
}

bool StoreTable::fileIsProtected(const QString& path)
{
    if (checkDatabaseHeader(path) != FileHeaderCheck::Ok)
        return false;
    SqliteDb db;
    if (!db.open(fileUri(path, "ro"), false, true))
        return false;
    QList<SchemaObject> objects;
    if (!listSchema(db, u"main"_s, &objects))
        return false;
    bool hasMeta = false;
    for (const SchemaObject& o : objects)
        if (o.type == u"table"_s && o.name == u"meta"_s && o.sql == QString::fromLatin1(kMetaDdl))
            hasMeta = true;
    if (!hasMeta)
        return false;
    SqliteStmt st = db.prepare("SELECT value FROM meta WHERE key='kdf'");
    return st.valid() && st.step() == SQLITE_ROW && !st.columnBlob(0).isEmpty();
}

std::unique_ptr<StoreTable> StoreTable::openFile(const QString& path, const QString& alias,
                                                 const QString& password, bool readOnly)
{
    std::unique_ptr<StoreTable> t(new StoreTable);
    t->m_path = QFileInfo(path).absoluteFilePath();
    t->m_canonical = QFileInfo(path).canonicalFilePath();
    t->m_alias = alias;
    t->m_readOnly = readOnly;
    if (!t->load(password))
        return nullptr;
    clearStoreError();
    return t;
}

bool StoreTable::load(const QString& password)
{
    switch (checkDatabaseHeader(m_path)) {
    case FileHeaderCheck::Ok:
        break;
    case FileHeaderCheck::Missing:
        setStoreError(StoreError::FileMissing, u"文件不存在"_s);
        return false;
    case FileHeaderCheck::Unreadable:
        setStoreError(StoreError::Io, u"文件无法读取"_s);
        return false;
    case FileHeaderCheck::WalFlag:
        setStoreError(StoreError::NotATable, u"不是本程序的表文件（使用了不支持的日志模式）"_s);
        return false;
    case FileHeaderCheck::Empty:
    case FileHeaderCheck::NotDatabase:
        setStoreError(StoreError::NotATable, u"不是本程序的表文件"_s);
        return false;
    }

    // The connection may create files (the .edt is made on first use); the URI mode
    // keeps the table file itself from being created.
    if (!m_db.open(fileUri(m_path, m_readOnly ? "ro" : "rw"), !m_readOnly, m_readOnly)) {
        setStoreError(StoreError::Io, u"文件无法打开"_s);
        return false;
    }
    // Table files are never shared with another process (the program runs once),
    // so the connection keeps its file locks: no lock round trip and no cache
    // revalidation for every single read.
    m_db.exec("PRAGMA locking_mode=EXCLUSIVE");
    if (!m_readOnly && !m_db.forceDurableJournal(u"main"_s)) {
        setStoreError(StoreError::Io, u"文件无法写入：%1"_s.arg(m_db.errorMessage()));
        return false;
    }
    if (!checkMainSchema())
        return false;
    if (!quickCheck(m_db, u"main"_s)) {
        setStoreError(StoreError::Damaged, kDamaged);
        return false;
    }

    // Header values.
    QHash<QString, QByteArray> meta;
    {
        SqliteStmt st = m_db.prepare("SELECT key, value FROM main.meta");
        int rc;
        while ((rc = st.step()) == SQLITE_ROW)
            meta.insert(st.columnText(0), st.columnBlob(1));
        if (rc != SQLITE_DONE) {
            setStoreError(StoreError::Damaged, kDamaged);
            return false;
        }
    }
    const QStringList required = {u"format"_s, u"identity"_s, u"next_id"_s, u"memo_used"_s,
                                  u"kdf"_s,    u"salt"_s,     u"verifier"_s, u"header_chk"_s};
    for (const QString& k : required) {
        if (!meta.contains(k)) {
            setStoreError(StoreError::Damaged, kDamaged);
            return false;
        }
    }
    if (meta.value(u"format"_s) != QByteArray::number(kFormatVersion)) {
        setStoreError(StoreError::Unsupported, u"文件格式版本不受支持"_s);
        return false;
    }
    m_identity = meta.value(u"identity"_s);
    const QByteArray memoUsed = meta.value(u"memo_used"_s);
    if (m_identity.size() != kIdentitySize || (memoUsed != "0" && memoUsed != "1")) {
        setStoreError(StoreError::Damaged, kDamaged);
        return false;
    }
    m_memoReady = memoUsed == "1";
    const QByteArray kdfText = meta.value(u"kdf"_s);
    m_salt = meta.value(u"salt"_s);
    const QByteArray verifier = meta.value(u"verifier"_s);
    if (!kdfText.isEmpty()) {
        const auto params = crypto::KdfParams::decode(QString::fromUtf8(kdfText));
        if (!params || m_salt.size() != crypto::kSaltSize) {
            setStoreError(StoreError::Damaged, kDamaged);
            return false;
        }
        m_kdf = *params;
    }
    if (meta.value(u"header_chk"_s) != QByteArray::number(headerChecksum())) {
        setStoreError(StoreError::Damaged, kDamaged);
        return false;
    }
    const QByteArray nextId = meta.value(u"next_id"_s);
    if (nextId.size() != 8 || nextIdBlob(fromLe32(nextId.constData())) != nextId ||
        fromLe32(nextId.constData()) < 1) {
        setStoreError(StoreError::Damaged, kDamaged);
        return false;
    }
    m_nextId = fromLe32(nextId.constData());

    // The password.
    if (!kdfText.isEmpty()) {
        if (password.isEmpty()) {
            setStoreError(StoreError::PasswordRequired, u"需要密码"_s);
            return false;
        }
        const QByteArray key = crypto::deriveKey(password, m_salt, m_kdf);
        const auto check = crypto::unseal(key, verifier, m_identity + "verifier");
        if (key.isEmpty() || !check || *check != "helan-verifier") {
            setStoreError(StoreError::WrongPassword, u"密码错误"_s);
            return false;
        }
        m_key = key;
    }

    if (!attachMemoFile(m_memoReady))
        return false;
    return loadRows();
}

bool StoreTable::checkMainSchema()
{
    QList<SchemaObject> objects;
    if (!listSchema(m_db, u"main"_s, &objects)) {
        setStoreError(StoreError::Damaged, kDamaged);
        return false;
    }
    const SchemaObject* records = nullptr;
    const SchemaObject* fields = nullptr;
    const SchemaObject* metaT = nullptr;
    for (const SchemaObject& o : objects) {
        if (o.type == u"table"_s && o.name == u"records"_s)
            records = &o;
        else if (o.type == u"table"_s && o.name == u"fields"_s)
            fields = &o;
        else if (o.type == u"table"_s && o.name == u"meta"_s)
            metaT = &o;
        else if (!(o.type == u"index"_s && o.name == u"sqlite_autoindex_meta_1"_s && o.sql.isEmpty())) {
            setStoreError(StoreError::NotATable, u"不是本程序的表文件（含有多余的对象 %1）"_s.arg(o.name));
            return false;
        }
    }
    if (objects.size() != 4 || !records || !fields || !metaT ||
        metaT->sql != QString::fromLatin1(kMetaDdl) || fields->sql != QString::fromLatin1(kFieldsDdl)) {
        setStoreError(StoreError::NotATable, u"不是本程序的表文件"_s);
        return false;
    }

    SqliteStmt st = m_db.prepare("SELECT pos, name, type, width FROM main.fields ORDER BY pos");
    int rc;
    int expected = 1;
    QSet<QString> seen;
    while ((rc = st.step()) == SQLITE_ROW) {
        FieldDef f;
        const qint64 pos = st.columnInt(0);
        f.name = st.columnText(1);
        const qint64 type = st.columnInt(2);
        const qint64 width = st.columnInt(3);
        if (pos != expected++ || type < int(FieldType::Short) || type > int(FieldType::Bytes) ||
            !validFieldName(f.name) || seen.contains(f.name.toCaseFolded())) {
            setStoreError(StoreError::Damaged, kDamaged);
            return false;
        }
        seen.insert(f.name.toCaseFolded());
        f.type = FieldType(type);
        f.width = int(width);
        if ((f.type == FieldType::Text && (width < 1 || width > 1024)) || (f.type != FieldType::Text && width != 0)) {
            setStoreError(StoreError::Damaged, kDamaged);
            return false;
        }
        m_fields.append(f);
    }
    if (rc != SQLITE_DONE || m_fields.isEmpty() || m_fields.size() > kMaxFields ||
        records->sql != recordsDdl(m_fields)) {
        setStoreError(StoreError::Damaged, kDamaged);
        return false;
    }
    int slot = 0;
    for (const FieldDef& f : m_fields) {
        if (isFixed(f.type)) {
            m_slot.push_back(slot++);
        } else {
            m_slot.push_back(-1);
            m_hasMemoFields = true;
        }
    }
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_slot[size_t(i)] >= 0)
            m_fixedFields.push_back(i);
    return true;
}

bool StoreTable::attachMemoFile(bool memoUsed)
{
    if (!m_hasMemoFields) {
        if (memoUsed) {
            setStoreError(StoreError::Damaged, kDamaged);
            return false;
        }
        return true;
    }
    const QString memoPath = memoFileOf(m_path);
    const FileHeaderCheck head = checkDatabaseHeader(memoPath);
    if (head == FileHeaderCheck::Missing || head == FileHeaderCheck::Empty) {
        if (memoUsed) {
            setStoreError(StoreError::MemoFileMissing, u"缺少配套的 .edt 文件"_s);
            return false;
        }
        if (m_readOnly)
            return true; // nothing to read, and a read-only open creates nothing
    } else if (head != FileHeaderCheck::Ok) {
        setStoreError(StoreError::MemoFileForeign, u"配套的 .edt 文件不属于此表"_s);
        return false;
    }

    const bool exists = head == FileHeaderCheck::Ok;
    SqliteStmt attach = m_db.prepare("ATTACH DATABASE ? AS edt");
    attach.bindText(1, fileUri(memoPath, m_readOnly ? "ro" : (exists ? "rw" : "rwc")));
    if (!attach.run()) {
        setStoreError(StoreError::Io, u"配套的 .edt 文件无法打开：%1"_s.arg(m_db.errorMessage()));
        return false;
    }
    m_memoAttached = true;
    // A smaller map than the main file's: the whole-file check reads every page
    // of the memo file, pictures too, and every mapped page it touches counts as
    // the program's memory. 64 MB map a course of a few thousand pictures whole.
    m_db.exec("PRAGMA edt.mmap_size=67108864");
    if (!m_readOnly && !m_db.forceDurableJournal(u"edt"_s)) {
        setStoreError(StoreError::Io, u"配套的 .edt 文件无法写入"_s);
        return false;
    }
    QList<SchemaObject> objects;
    if (!listSchema(m_db, u"edt"_s, &objects)) {
        setStoreError(StoreError::Damaged, u"配套的 .edt 文件已损坏"_s);
        return false;
    }
    if (objects.isEmpty()) {
        if (memoUsed) {
            setStoreError(StoreError::MemoFileMissing, u"配套的 .edt 文件是空的"_s);
            return false;
        }
        return true;
    }
    const QList<SchemaObject> expected = {
        {u"table"_s, u"edtmeta"_s, QString::fromLatin1(kMemoMetaDdl)},
        {u"table"_s, u"memo"_s, QString::fromLatin1(kMemoDdl)},
        {u"index"_s, u"sqlite_autoindex_edtmeta_1"_s, QString()},
    };
    QList<SchemaObject> sortedExpected = expected;
    std::sort(sortedExpected.begin(), sortedExpected.end(),
              [](const SchemaObject& a, const SchemaObject& b) { return a.name < b.name; });
    std::sort(objects.begin(), objects.end(),
              [](const SchemaObject& a, const SchemaObject& b) { return a.name < b.name; });
    if (objects != sortedExpected) {
        setStoreError(StoreError::MemoFileForeign, u"配套的 .edt 文件不属于此表"_s);
        return false;
    }
    if (!quickCheck(m_db, u"edt"_s)) {
        setStoreError(StoreError::Damaged, u"配套的 .edt 文件已损坏"_s);
        return false;
    }
    SqliteStmt id = m_db.prepare("SELECT value FROM edt.edtmeta WHERE key='identity'");
    if (!id.valid() || id.step() != SQLITE_ROW || id.columnBlob(0) != m_identity) {
        setStoreError(StoreError::MemoFileForeign, u"配套的 .edt 文件不属于此表"_s);
        return false;
    }
    m_memoReady = true;
    return true;
}

bool StoreTable::loadRows()
{
    std::vector<Row> rows;
    SqliteStmt st = m_db.prepare("SELECT id, deleted, chk, data FROM main.records ORDER BY id");
    if (!st.valid()) {
        setStoreError(StoreError::Damaged, kDamaged);
        return false;
    }
    int rc;
    qint64 previous = 0;
    const size_t fixedCount = m_fixedFields.size();
    while ((rc = st.step()) == SQLITE_ROW) {
        Row row;
        const qint64 id = st.columnInt(0);
        const qint64 deleted = st.columnInt(1);
        const qint64 chk = st.columnInt(2);
        if (id <= previous || id >= m_nextId || (deleted != 0 && deleted != 1)) {
            setStoreError(StoreError::Damaged, kDamaged);
            return false;
        }
        previous = id;
        row.id = qint32(id);
        row.deleted = deleted == 1;
        row.packed = st.columnBlob(3);
        if (chk < 0 || chk > 0xFFFFFFFFll || quint32(chk) != rowChecksum(row.id, row.deleted, row.packed) ||
            (m_key.isEmpty() && !packedHolds(row.packed, fixedCount))) {
            setStoreError(StoreError::Damaged, kDamaged);
            return false;
        }
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        setStoreError(StoreError::Damaged, kDamaged);
        return false;
    }
    m_rows = std::move(rows);
    return true;
}

bool StoreTable::reloadAfterFailure()
{
    m_memoCache.id = 0;
    m_fixedCache.id = 0;
    m_selectMemo = SqliteStmt();
    closeMemoCursor();
    m_memoScan = SqliteStmt();
    m_upsertMemo = SqliteStmt();
    m_deleteMemo = SqliteStmt();
    SqliteStmt st = m_db.prepare("SELECT key, value FROM main.meta WHERE key IN ('next_id', 'memo_used')");
    int rc;
    while ((rc = st.step()) == SQLITE_ROW) {
        const QString key = st.columnText(0);
        const QByteArray value = st.columnBlob(1);
        if (key == u"next_id"_s && value.size() == 8)
            m_nextId = fromLe32(value.constData());
        else if (key == u"memo_used"_s)
            m_memoReady = value == "1";
    }
    const int pos = m_pos;
    const bool ok = loadRows();
    m_pos = std::min(pos, count() + 1);
    return ok;
}

quint32 StoreTable::associatedChecksum(qint32 id, int fieldIdx) const
{
    if (!m_identityChecksum)
        m_identityChecksum = crypto::crc32(m_identity);
    QByteArray tail = le32(id);
    tail += char(fieldIdx & 0xFF);
    return crypto::crc32(tail, *m_identityChecksum);
}

QByteArray StoreTable::associated(qint32 id, int fieldIdx) const
{
    QByteArray aad = m_identity;
    aad += le32(id);
    aad += char(fieldIdx & 0xFF);
    return aad;
}

QByteArray StoreTable::encodeStoredWithKey(const QByteArray& key, qint32 id, int fieldIdx,
                                           const QVariant& normalized) const
{
    const QByteArray plain = encodePlain(m_fields[fieldIdx].type, normalized);
    if (isFixed(m_fields[fieldIdx].type))
        return plain; // sealed or checked together with the rest of the record (packRow)
    if (!key.isEmpty())
        return crypto::seal(key, plain, associated(id, fieldIdx));
    // Memo and byte values carry their own checksum, bound to record and field.
    const quint32 crc = crypto::crc32(plain, associatedChecksum(id, fieldIdx));
    return plain + le32(crc);
}

QByteArray StoreTable::encodeStored(qint32 id, int fieldIdx, const QVariant& normalized) const
{
    return encodeStoredWithKey(m_key, id, fieldIdx, normalized);
}

// The fixed values of a record travel as one unit: under a password they are
// sealed together, bound to the table and record ID (a value's field is its place
// in the unit), which costs one seal per record instead of one per value.
QByteArray StoreTable::packRow(const QByteArray& key, qint32 id, const std::vector<QByteArray>& parts) const
{
    const QByteArray packed = packValues(parts);
    return key.isEmpty() ? packed : crypto::seal(key, packed, associated(id, kRowField));
}

// Decodes straight from the stored unit, without a copy of each value first.
bool StoreTable::decodeRow(const Row& row, std::vector<QVariant>* values) const
{
    std::optional<QByteArray> plain;
    if (!m_key.isEmpty()) {
        plain = crypto::unseal(m_key, row.packed, associated(row.id, kRowField));
        if (!plain) {
            setStoreError(StoreError::Tampered, u"数据已被改动或损坏"_s);
            return false;
        }
    }
    const QByteArray& packed = plain ? *plain : row.packed;
    values->assign(m_fixedFields.size(), QVariant());
    size_t n = 0;
    bool decoded = true;
    const bool walked = walkPacked(packed, [&](qsizetype at, qint32 len) {
        if (n < m_fixedFields.size() && decoded)
            decoded = decodePlain(m_fields[m_fixedFields[n]].type, QByteArrayView(packed.constData() + at, len),
                                  nullptr, &(*values)[n]);
        ++n;
    });
    if (plain && (!walked || n != m_fixedFields.size())) {
        setStoreError(StoreError::Tampered, u"数据已被改动或损坏"_s);
        return false;
    }
    if (!walked || !decoded || n != m_fixedFields.size()) {
        setStoreError(StoreError::Damaged, kDamaged);
        return false;
    }
    return true;
}

bool StoreTable::unpackRow(const Row& row, std::vector<QByteArray>* parts) const
{
    if (!m_key.isEmpty()) {
        const auto plain = crypto::unseal(m_key, row.packed, associated(row.id, kRowField));
        if (!plain || !unpackValues(*plain, m_fixedFields.size(), parts)) {
            setStoreError(StoreError::Tampered, u"数据已被改动或损坏"_s);
            return false;
        }
        return true;
    }
    if (!unpackValues(row.packed, m_fixedFields.size(), parts)) {
        setStoreError(StoreError::Damaged, kDamaged);
        return false;
    }
    return true;
}

bool StoreTable::decodeStored(qint32 id, int fieldIdx, QByteArray stored, QVariant* out) const
{
    const FieldType type = m_fields[fieldIdx].type;
    if (!m_key.isEmpty()) {
        auto plain = crypto::unseal(m_key, stored, associated(id, fieldIdx));
        if (!plain || !decodePlain(type, *plain, &*plain, out)) {
            setStoreError(StoreError::Tampered, u"数据已被改动或损坏"_s);
            return false;
        }
        return true;
    }
    if (isFixed(type)) {
        if (!decodePlain(type, stored, &stored, out)) {
            setStoreError(StoreError::Damaged, kDamaged);
            return false;
        }
        return true;
    }
    if (stored.size() < 4) {
        setStoreError(StoreError::Damaged, kDamaged);
        return false;
    }
    const qsizetype n = stored.size() - 4;
    const quint32 crc = crypto::crc32(stored.constData(), n, associatedChecksum(id, fieldIdx));
    if (crc != quint32(fromLe32(stored.constData() + n))) {
        setStoreError(StoreError::Damaged, kDamaged);
        return false;
    }
    if (!decodePlain(type, QByteArrayView(stored.constData(), n), &stored, out)) {
        setStoreError(StoreError::Damaged, kDamaged);
        return false;
    }
    return true;
}

quint32 StoreTable::rowChecksum(qint32 id, bool deleted, const QByteArray& packed) const
{
    QByteArray head = m_identity;
    head += le32(id);
    head += char(deleted ? 1 : 0);
    return crypto::crc32(packed, crypto::crc32(head));
}

QByteArray StoreTable::nextIdBlob(qint32 nextId) const
{
    const QByteArray value = le32(nextId);
    return value + le32(crypto::crc32(value, crypto::crc32(m_identity)));
}

quint32 StoreTable::headerChecksum() const
{
    QByteArray all = QByteArray::number(kFormatVersion);
    all += '\0';
    all += m_identity;
    all += m_memoReady ? '1' : '0';
    all += m_salt.isEmpty() ? QByteArray() : m_kdf.encode().toUtf8();
    all += '\0';
    all += m_salt;
    for (int i = 0; i < m_fields.size(); ++i) {
        all += '\0';
        all += m_fields[i].name.toUtf8();
        all += le32(int(m_fields[i].type));
        all += le32(m_fields[i].width);
    }
    return crypto::crc32(all);
}

int StoreTable::numberOfId(qint32 id) const
{
    if (id <= 0)
        return 0;
    const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), id,
                                     [](const Row& r, qint32 v) { return r.id < v; });
    if (it == m_rows.end() || it->id != id)
        return 0;
    return int(it - m_rows.begin()) + 1;
}

int StoreTable::fieldIndex(const FieldRef& ref) const
{
    if (ref.isPosition()) {
        const int p = ref.position();
        return p >= 1 && p <= m_fields.size() ? p - 1 : -1;
    }
    const QString folded = ref.name().toCaseFolded();
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.toCaseFolded() == folded)
            return i;
    return -1;
}

bool StoreTable::normalize(int fieldIdx, const QVariant& in, QVariant* out) const
{
    const FieldDef& f = m_fields[fieldIdx];
    if (!in.isValid()) {
        *out = emptyValue(f.type);
        return true;
    }
    const int id = in.metaType().id();
    switch (f.type) {
    case FieldType::Text:
    case FieldType::Memo: {
        if (id != QMetaType::QString)
            break;
        QString s = in.toString();
        const qsizetype nul = s.indexOf(QChar(0));
        if (nul >= 0)
            s.truncate(nul); // a text ends at its first zero character
        if (f.type == FieldType::Text)
            s = cutToGbkBytes(s, f.width);
        *out = QVariant(s);
        return true;
    }
    case FieldType::Bytes:
        if (id != QMetaType::QByteArray)
            break;
        *out = in;
        return true;
    case FieldType::Bool:
        if (id != QMetaType::Bool)
            break;
        *out = in;
        return true;
    case FieldType::Short:
    case FieldType::Int: {
        double v = 0;
        switch (id) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::SChar:
        case QMetaType::UChar:
            v = double(in.toLongLong());
            if (id == QMetaType::ULongLong || id == QMetaType::ULong)
                v = double(in.toULongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            v = in.toDouble();
            if (std::isnan(v))
                v = 0;
            v = std::trunc(v);
            break;
        default:
            setStoreError(StoreError::WrongType, u"值的类型与字段不符"_s);
            return false;
        }
        const double lo = f.type == FieldType::Short ? -32768.0 : double(std::numeric_limits<qint32>::min());
        const double hi = f.type == FieldType::Short ? 32767.0 : double(std::numeric_limits<qint32>::max());
        *out = QVariant(int(std::clamp(v, lo, hi)));
        return true;
    }
    }
    setStoreError(StoreError::WrongType, u"值的类型与字段不符"_s);
    return false;
}

QVariant StoreTable::value(int recordNumber, int fieldIdx, bool* ok) const
{
    if (ok)
        *ok = false;
    const Row& row = m_rows[size_t(recordNumber - 1)];
    const int slot = m_slot[size_t(fieldIdx)];
    if (slot >= 0) {
        if (m_fixedCache.id != row.id) {
            // Decode the whole record at once: its other values are usually read
            // next. Only one record is held decoded: whoever reads the whole table
            // keeps the values (a grid), so holding them here too would double it.
            m_fixedCache.id = 0;
            if (!decodeRow(row, &m_fixedCache.values))
                return {};
            m_fixedCache.id = row.id;
        }
        if (ok)
            *ok = true;
        return m_fixedCache.values[size_t(slot)];
    }
    QByteArray stored;
    if (!readMemo(row.id, fieldIdx, &stored))
        return {};
    QVariant out = emptyValue(m_fields[fieldIdx].type);
    if (!stored.isNull() && !decodeStored(row.id, fieldIdx, std::move(stored), &out))
        return {};
    if (ok)
        *ok = true;
    return out;
}

bool StoreTable::loadMemoTexts(qint32 id) const
{
    // Memo texts come from one forward cursor over the .edt, so reading the records
    // in order is one scan. Pictures are only noted as present and read when asked
    // for, so a search over texts never loads them.
    m_memoCache.id = 0;
    m_memoCache.text.assign(size_t(m_fields.size()), QByteArray());
    m_memoCache.present.assign(size_t(m_fields.size()), false);
    const qint64 low = qint64(id) << kMemoShift;
    const qint64 high = low | ((1 << kMemoShift) - 1);
    if (!m_memoCursor.active || m_memoCursor.pendingKey > high || m_memoCursor.lastStart >= low) {
        if (!m_memoScan.valid()) {
            // Only the texts' values are fetched: stepping over a picture's row
            // would otherwise read its whole value from the file.
            QStringList textFields;
            for (int f = 0; f < int(m_fields.size()); ++f) {
                if (m_fields[f].type == FieldType::Memo)
                    textFields << QString::number(f);
            }
            const QString fetched = textFields.isEmpty()
                                        ? u"NULL"_s
                                        : u"CASE WHEN (k & "_s + QString::number((1 << kMemoShift) - 1) +
                                              u") IN ("_s + textFields.join(u',') + u") THEN v END"_s;
            m_memoScan = m_db.prepare((u"SELECT k, "_s + fetched + u" FROM edt.memo WHERE k >= ? ORDER BY k"_s)
                                          .toUtf8()
                                          .constData());
        }
        m_memoScan.reset();
        m_memoScan.bind(1, low);
        m_memoCursor.active = true;
        m_memoCursor.pendingKey = -1;
    }
    m_memoCursor.lastStart = low;
    // Reading in record order is one scan; a record further on is sought
    // afresh once the rows in between run past a few records' worth, so that
    // reading one record costs the same whatever lies before it.
    int skipped = 0;
    const int seekAfter = 4 * int(m_fields.size()) + 16;
    for (;;) {
        if (m_memoCursor.pendingKey < 0) {
            const int rc = m_memoScan.step();
            if (rc == SQLITE_DONE) {
                m_memoCursor.pendingKey = std::numeric_limits<qint64>::max();
            } else if (rc == SQLITE_ROW) {
                m_memoCursor.pendingKey = m_memoScan.columnInt(0);
            } else {
                closeMemoCursor();
                setStoreError(StoreError::Damaged, u"配套的 .edt 文件已损坏"_s);
                return false;
            }
        }
        const qint64 k = m_memoCursor.pendingKey;
        if (k > high)
            break;
        m_memoCursor.pendingKey = -1;
        if (k < low) {
            if (++skipped == seekAfter) {
                m_memoScan.reset();
                m_memoScan.bind(1, low);
            }
            continue;
        }
        const int f = int(k & ((1 << kMemoShift) - 1));
        if (f >= m_fields.size())
            continue;
        m_memoCache.present[size_t(f)] = true;
        if (m_fields[f].type == FieldType::Memo) {
            m_memoCache.text[size_t(f)] = m_memoScan.columnBlob(1);
            if (m_memoCache.text[size_t(f)].isNull())
                m_memoCache.text[size_t(f)] = QByteArray("");
        }
    }
    m_memoCache.id = id;
    return true;
}

void StoreTable::closeMemoCursor() const
{
    if (m_memoCursor.active)
        m_memoScan.reset();
    m_memoCursor.active = false;
    m_memoCursor.pendingKey = -1;
}

bool StoreTable::readMemo(qint32 id, int fieldIdx, QByteArray* stored) const
{
    *stored = QByteArray();
    if (!m_memoReady)
        return true;
    if (m_memoCache.id != id && !loadMemoTexts(id))
        return false;
    if (!m_memoCache.present[size_t(fieldIdx)])
        return true;
    if (m_fields[fieldIdx].type == FieldType::Memo) {
        *stored = m_memoCache.text[size_t(fieldIdx)];
        return true;
    }
    if (!m_selectMemo.valid())
        m_selectMemo = m_db.prepare("SELECT v FROM edt.memo WHERE k=?");
    m_selectMemo.bind(1, (qint64(id) << kMemoShift) | fieldIdx);
    const int rc = m_selectMemo.step();
    if (rc == SQLITE_ROW) {
        *stored = m_selectMemo.columnBlob(0);
        if (stored->isNull())
            *stored = QByteArray(""); // present but empty: still to be checked
    }
    m_selectMemo.reset();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        setStoreError(StoreError::Damaged, u"配套的 .edt 文件已损坏"_s);
        return false;
    }
    return true;
}

bool StoreTable::failSql(const QString& what) const
{
    const int code = m_db.errorCode() & 0xFF;
    const int err = (code == SQLITE_CORRUPT || code == SQLITE_NOTADB) ? StoreError::Damaged : StoreError::Io;
    setStoreError(err, u"%1：%2"_s.arg(what, m_db.errorMessage()));
    return false;
}

bool StoreTable::writable() const
{
    // No read may be under way while the files change.
    closeMemoCursor();
    m_memoCache.id = 0;
    if (m_readOnly) {
        setStoreError(StoreError::ReadOnly, u"表以只读方式打开"_s);
        return false;
    }
    return true;
}

template <typename Body>
bool StoreTable::inSavepoint(Body body)
{
    if (!m_db.exec("SAVEPOINT op"))
        return failSql(u"写入失败"_s);
    bool ok = true;
    if (WriteFaults::fail(WriteFaults::Kind::StoreChange)) {
        setStoreError(StoreError::Io, u"写入失败"_s);
        ok = false;
    } else {
        ok = body();
    }
    if (ok && !m_db.exec("RELEASE op")) {
        failSql(u"写入失败"_s);
        ok = false;
    }
    if (!ok) {
        const int code = t_lastError;
        const QString text = t_lastErrorText;
        m_db.exec("ROLLBACK TO op");
        m_db.exec("RELEASE op");
        if (m_batchDepth == 0)
            m_db.exec("ROLLBACK"); // in case a failed commit left the transaction open
        reloadAfterFailure();
        setStoreError(code, text);
    }
    return ok;
}

bool StoreTable::ensureMemoTables()
{
    if (m_memoReady)
        return true;
    if (!m_memoAttached) {
        setStoreError(StoreError::ReadOnly, u"表以只读方式打开"_s);
        return false;
    }
    if (!m_db.exec("CREATE TABLE edt.edtmeta(key TEXT PRIMARY KEY NOT NULL, value BLOB NOT NULL)") ||
        !m_db.exec("CREATE TABLE edt.memo(k INTEGER PRIMARY KEY, v BLOB NOT NULL)"))
        return failSql(u"无法创建配套的 .edt 文件"_s);
    SqliteStmt ins = m_db.prepare("INSERT INTO edt.edtmeta(key, value) VALUES(?, ?)");
    ins.bindText(1, u"identity"_s);
    ins.bind(2, m_identity);
    if (!ins.run())
        return failSql(u"无法创建配套的 .edt 文件"_s);
    ins.bindText(1, u"format"_s);
    ins.bind(2, QByteArray::number(kFormatVersion));
    if (!ins.run())
        return failSql(u"无法创建配套的 .edt 文件"_s);
    m_memoReady = true;
    SqliteStmt up = m_db.prepare("UPDATE main.meta SET value=? WHERE key=?");
    up.bind(1, QByteArray("1"));
    up.bindText(2, u"memo_used"_s);
    bool ok = up.run();
    up.bind(1, QByteArray::number(headerChecksum()));
    up.bindText(2, u"header_chk"_s);
    ok = ok && up.run();
    if (!ok)
        return failSql(u"写入失败"_s);
    return true;
}

bool StoreTable::putMemo(qint32 id, int fieldIdx, const QVariant& normalized)
{
    m_memoCache.id = 0;
    const qint64 k = (qint64(id) << kMemoShift) | fieldIdx;
    const bool empty = m_fields[fieldIdx].type == FieldType::Bytes ? normalized.toByteArray().isEmpty()
                                                                    : normalized.toString().isEmpty();
    if (empty) {
        if (!m_memoReady)
            return true;
        if (!m_deleteMemo.valid())
            m_deleteMemo = m_db.prepare("DELETE FROM edt.memo WHERE k=?");
        m_deleteMemo.bind(1, k);
        return m_deleteMemo.run() || failSql(u"写入失败"_s);
    }
    if (!ensureMemoTables())
        return false;
    if (!m_upsertMemo.valid())
        m_upsertMemo = m_db.prepare("INSERT OR REPLACE INTO edt.memo(k, v) VALUES(?, ?)");
    m_upsertMemo.bind(1, k);
    m_upsertMemo.bind(2, encodeStored(id, fieldIdx, normalized));
    return m_upsertMemo.run() || failSql(u"写入失败"_s);
}

bool StoreTable::updateRow(const Row& row)
{
    if (!m_updateRow.valid()) {
        m_updateRow = m_db.prepare("UPDATE main.records SET deleted=?, chk=?, data=? WHERE id=?");
    }
    m_updateRow.bind(1, qint64(row.deleted ? 1 : 0));
    m_updateRow.bind(2, qint64(rowChecksum(row.id, row.deleted, row.packed)));
    m_updateRow.bind(3, row.packed);
    m_updateRow.bind(4, qint64(row.id));
    if (!m_updateRow.run())
        return failSql(u"写入失败"_s);
    if (sqlite3_changes(m_db.handle()) != 1) {
        setStoreError(StoreError::Damaged, kDamaged);
        return false;
    }
    return true;
}

bool StoreTable::writeValue(int recordNumber, int fieldIdx, const QVariant& normalized)
{
    if (!writable())
        return false;
    Row& row = m_rows[size_t(recordNumber - 1)];
    const int slot = m_slot[size_t(fieldIdx)];
    if (slot < 0)
        return inSavepoint([&] { return putMemo(row.id, fieldIdx, normalized); });
    // One statement, atomic without a savepoint; the test seam sits here too.
    if (WriteFaults::fail(WriteFaults::Kind::StoreChange)) {
        setStoreError(StoreError::Io, u"写入失败"_s);
        return false;
    }
    std::vector<QByteArray> parts;
    if (!unpackRow(row, &parts))
        return false;
    parts[size_t(slot)] = encodeStored(row.id, fieldIdx, normalized);
    Row changed;
    changed.id = row.id;
    changed.deleted = row.deleted;
    changed.packed = packRow(m_key, row.id, parts);
    if (!updateRow(changed))
        return false;
    row.packed = std::move(changed.packed);
    if (m_fixedCache.id == row.id)
        m_fixedCache.values[size_t(slot)] = normalized;
    return true;
}

bool StoreTable::appendRecord(const QList<QVariant>& normalized)
{
    if (!writable())
        return false;
    if (m_nextId == std::numeric_limits<qint32>::max()) {
        setStoreError(StoreError::Unsupported, u"记录号已用尽"_s);
        return false;
    }
    Row row;
    row.id = m_nextId;
    std::vector<QVariant> values(m_fixedFields.size());
    std::vector<QByteArray> parts;
    for (int f : m_fixedFields) {
        const QVariant v = normalized.value(f).isValid() ? normalized.value(f) : emptyValue(m_fields[f].type);
        parts.push_back(encodeStored(row.id, f, v));
        values[size_t(m_slot[size_t(f)])] = v;
    }
    row.packed = packRow(m_key, row.id, parts);
    const bool ok = inSavepoint([&] {
        if (!m_insertRow.valid()) {
            m_insertRow = m_db.prepare("INSERT INTO main.records(id, deleted, chk, data) VALUES(?, ?, ?, ?)");
        }
        m_insertRow.bind(1, qint64(row.id));
        m_insertRow.bind(2, qint64(0));
        m_insertRow.bind(3, qint64(rowChecksum(row.id, false, row.packed)));
        m_insertRow.bind(4, row.packed);
        if (!m_insertRow.run())
            return failSql(u"写入失败"_s);
        for (int f = 0; f < m_fields.size(); ++f) {
            if (m_slot[size_t(f)] >= 0 || !normalized.value(f).isValid())
                continue;
            if (!putMemo(row.id, f, normalized.value(f)))
                return false;
        }
        if (!m_updateNextId.valid())
            m_updateNextId = m_db.prepare("UPDATE main.meta SET value=? WHERE key='next_id'");
        m_updateNextId.bind(1, nextIdBlob(row.id + 1));
        return m_updateNextId.run() || failSql(u"写入失败"_s);
    });
    if (!ok)
        return false;
    m_rows.push_back(std::move(row));
    m_fixedCache.id = m_rows.back().id;
    m_fixedCache.values = std::move(values);
    m_nextId = m_rows.back().id + 1;
    m_pos = count();
    return true;
}

bool StoreTable::modifyRecord(int recordNumber, const QList<QVariant>& normalized)
{
    if (!writable())
        return false;
    Row& row = m_rows[size_t(recordNumber - 1)];
    Row changed = row;
    std::vector<QByteArray> parts;
    if (!unpackRow(row, &parts))
        return false;
    bool fixedChanged = false;
    for (int f : m_fixedFields) {
        if (!normalized.value(f).isValid())
            continue;
        parts[size_t(m_slot[size_t(f)])] = encodeStored(row.id, f, normalized.value(f));
        fixedChanged = true;
    }
    changed.packed = packRow(m_key, row.id, parts);
    const bool ok = inSavepoint([&] {
        if (fixedChanged && !updateRow(changed))
            return false;
        for (int f = 0; f < m_fields.size(); ++f) {
            if (m_slot[size_t(f)] >= 0 || !normalized.value(f).isValid())
                continue;
            if (!putMemo(row.id, f, normalized.value(f)))
                return false;
        }
        return true;
    });
    if (ok) {
        if (fixedChanged && m_fixedCache.id == row.id) {
            for (int f : m_fixedFields) {
                if (normalized.value(f).isValid())
                    m_fixedCache.values[size_t(m_slot[size_t(f)])] = normalized.value(f);
            }
        }
        row = std::move(changed);
    }
    return ok;
}

bool StoreTable::markDeleted(int recordNumber)
{
    if (!writable())
        return false;
    Row& row = m_rows[size_t(recordNumber - 1)];
    if (row.deleted)
        return true;
    Row changed = row;
    changed.deleted = true;
    if (!updateRow(changed))
        return false;
    row.deleted = true;
    return true;
}

bool StoreTable::purge()
{
    if (!writable())
        return false;
    const bool ok = inSavepoint([&] {
        if (m_memoReady) {
            SqliteStmt del = m_db.prepare("DELETE FROM edt.memo WHERE k BETWEEN ? AND ?");
            for (const Row& r : m_rows) {
                if (!r.deleted)
                    continue;
                del.bind(1, qint64(r.id) << kMemoShift);
                del.bind(2, (qint64(r.id) << kMemoShift) | ((1 << kMemoShift) - 1));
                if (!del.run())
                    return failSql(u"写入失败"_s);
            }
        }
        return m_db.exec("DELETE FROM main.records WHERE deleted=1") || failSql(u"写入失败"_s);
    });
    if (!ok)
        return false;
    std::erase_if(m_rows, [](const Row& r) { return r.deleted; });
    m_memoCache.id = 0;
    m_pos = 0;
    return true;
}

bool StoreTable::setPassword(const QString& password)
{
    if (!writable())
        return false;
    if (password == u"?"_s) {
        setStoreError(StoreError::InvalidPassword, u"密码无效"_s);
        return false;
    }
    if (m_batchDepth > 0) {
        setStoreError(StoreError::Unsupported, u"批量写入中不能更改密码"_s);
        return false;
    }
    crypto::KdfParams kdf;
    QByteArray salt;
    QByteArray key;
    if (!password.isEmpty()) {
        salt = crypto::randomBytes(crypto::kSaltSize);
        key = crypto::deriveKey(password, salt, kdf);
        if (key.isEmpty()) {
            setStoreError(StoreError::Io, u"无法生成密钥"_s);
            return false;
        }
    }

    // Every value is opened with the old key and sealed with the new one.
    std::vector<Row> rows;
    rows.reserve(m_rows.size());
    for (size_t r = 0; r < m_rows.size(); ++r) {
        Row row;
        row.id = m_rows[r].id;
        row.deleted = m_rows[r].deleted;
        std::vector<QByteArray> parts;
        for (int f : m_fixedFields) {
            bool ok = false;
            const QVariant v = value(int(r) + 1, f, &ok);
            if (!ok)
                return false;
            parts.push_back(encodeStoredWithKey(key, row.id, f, v));
        }
        row.packed = packRow(key, row.id, parts);
        rows.push_back(std::move(row));
    }
    const QByteArray oldKey = m_key;
    const QByteArray oldSalt = m_salt;
    const crypto::KdfParams oldKdf = m_kdf;
    const bool ok = inSavepoint([&] {
        for (const Row& row : rows)
            if (!updateRow(row))
                return false;
        if (m_memoReady) {
            std::vector<qint64> keys;
            SqliteStmt list = m_db.prepare("SELECT k FROM edt.memo ORDER BY k");
            int rc;
            while ((rc = list.step()) == SQLITE_ROW)
                keys.push_back(list.columnInt(0));
            if (rc != SQLITE_DONE)
                return failSql(u"读取失败"_s);
            SqliteStmt up = m_db.prepare("UPDATE edt.memo SET v=? WHERE k=?");
            for (const qint64 k : keys) {
                const auto id = qint32(k >> kMemoShift);
                const int f = int(k & ((1 << kMemoShift) - 1));
                if (f >= m_fields.size() || m_slot[size_t(f)] >= 0) {
                    setStoreError(StoreError::Damaged, kDamaged);
                    return false;
                }
                QByteArray stored;
                QVariant v;
                if (!readMemo(id, f, &stored) || !decodeStored(id, f, stored, &v))
                    return false;
                up.bind(1, encodeStoredWithKey(key, id, f, v));
                up.bind(2, k);
                if (!up.run())
                    return failSql(u"写入失败"_s);
            }
        }
        m_key = key;
        m_salt = salt;
        m_kdf = kdf;
        const QByteArray verifier =
            key.isEmpty() ? QByteArray() : crypto::seal(key, "helan-verifier", m_identity + "verifier");
        SqliteStmt up = m_db.prepare("UPDATE main.meta SET value=? WHERE key=?");
        const auto put = [&](const char* k, const QByteArray& v) {
            up.bind(1, v);
            up.bindText(2, QString::fromLatin1(k));
            return up.run();
        };
        return (put("kdf", key.isEmpty() ? QByteArray() : kdf.encode().toUtf8()) && put("salt", salt) &&
                put("verifier", verifier) && put("header_chk", QByteArray::number(headerChecksum()))) ||
               failSql(u"写入失败"_s);
    });
    if (!ok) {
        m_key = oldKey;
        m_salt = oldSalt;
        m_kdf = oldKdf;
        reloadAfterFailure();
        return false;
    }
    for (size_t r = 0; r < rows.size(); ++r)
        m_rows[r].packed = std::move(rows[r].packed);
    m_memoCache.id = 0;
    return true;
}

bool StoreTable::copyRecordsTo(const QString& path, const std::vector<int>& recordNumbers)
{
    const QFileInfo target(path);
    const QString temp = target.dir().filePath(u"~"_s + target.completeBaseName() + u".copying.edb"_s);
    QFile::remove(temp);
    QFile::remove(memoFileOf(temp));
    if (!createFile(temp, m_fields))
        return false;
    bool ok = false;
    {
        std::unique_ptr<StoreTable> copy = openFile(temp, QString(), QString(), false);
        if (copy) {
            ok = true;
            if (!m_key.isEmpty()) {
                // The copy keeps the password: same key, its own identity.
                copy->m_key = m_key;
                copy->m_salt = m_salt;
                copy->m_kdf = m_kdf;
                const QByteArray verifier = crypto::seal(m_key, "helan-verifier", copy->m_identity + "verifier");
                SqliteStmt up = copy->m_db.prepare("UPDATE main.meta SET value=? WHERE key=?");
                const auto put = [&](const char* k, const QByteArray& v) {
                    up.bind(1, v);
                    up.bindText(2, QString::fromLatin1(k));
                    return up.run();
                };
                ok = put("kdf", m_kdf.encode().toUtf8()) && put("salt", m_salt) && put("verifier", verifier) &&
                     put("header_chk", QByteArray::number(copy->headerChecksum()));
                if (!ok)
                    copy->failSql(u"写入失败"_s);
            }
            ok = ok && copy->beginBatch();
            for (size_t i = 0; ok && i < recordNumbers.size(); ++i) {
                QList<QVariant> values;
                for (int f = 0; ok && f < m_fields.size(); ++f) {
                    bool readOk = false;
                    values.append(value(recordNumbers[i], f, &readOk));
                    ok = readOk;
                }
                ok = ok && copy->appendRecord(values);
            }
            if (copy->m_batchDepth > 0)
                ok = copy->endBatch(ok) && ok;
        }
    }
    if (ok) {
        const QString memoTemp = memoFileOf(temp);
        const QString memoTarget = memoFileOf(path);
        QFile::remove(path);
        QFile::remove(memoTarget);
        ok = QFile::rename(temp, path) && (!QFile::exists(memoTemp) || QFile::rename(memoTemp, memoTarget));
        if (!ok)
            setStoreError(StoreError::Io, u"无法写入目标文件"_s);
    }
    if (!ok) {
        const int code = t_lastError;
        const QString text = t_lastErrorText;
        QFile::remove(temp);
        QFile::remove(memoFileOf(temp));
        setStoreError(code, text);
    }
    return ok;
}

bool StoreTable::beginBatch()
{
    if (!writable())
        return false;
    if (m_batchDepth == 0) {
        if (!m_db.exec("BEGIN IMMEDIATE"))
            return failSql(u"写入失败"_s);
        m_batchFailed = false;
    }
    ++m_batchDepth;
    return true;
}

bool StoreTable::endBatch(bool commit)
{
    closeMemoCursor();
    if (m_batchDepth <= 0)
        return false;
    if (!commit)
        m_batchFailed = true;
    if (--m_batchDepth > 0)
        return commit;
    const bool injected = !m_batchFailed && WriteFaults::fail(WriteFaults::Kind::StoreCommit);
    if (!m_batchFailed && !injected && m_db.exec("COMMIT"))
        return true;
    if (injected)
        setStoreError(StoreError::Io, u"写入失败"_s);
    else if (!m_batchFailed)
        failSql(u"写入失败"_s);
    const int code = t_lastError;
    const QString text = t_lastErrorText;
    m_db.exec("ROLLBACK");
    reloadAfterFailure();
    m_batchFailed = false;
    if (commit)
        setStoreError(code, text);
    return false;
}

} // namespace helan
