#include "store/RecordStore.h"

#include <mutex>
#include <set>

#include <QDir>
#include <QFileInfo>

#include "store/StoreTable.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

// A table file is open at most once in the whole process, whichever store opened it.
std::mutex g_openMutex;
std::set<QString> g_openFiles;

bool claimFile(const QString& canonical)
{
    std::lock_guard lock(g_openMutex);
    return g_openFiles.insert(canonical).second;
}

void releaseFile(const QString& canonical)
{
    std::lock_guard lock(g_openMutex);
    g_openFiles.erase(canonical);
}

bool fileIsOpen(const QString& canonical)
{
    std::lock_guard lock(g_openMutex);
    return g_openFiles.count(canonical) > 0;
}

bool noTable()
{
    setStoreError(StoreError::NoCurrentTable, u"没有当前表"_s);
    return false;
}

bool noRecord()
{
    setStoreError(StoreError::NoCurrentRecord, u"没有当前记录"_s);
    return false;
}

// Addressing a field the table does not have is a mistake in the program, not in
// the data: stop loudly in a debug build, refuse and change nothing otherwise.
void badField(const StoreTable& t, const FieldRef& ref)
{
    setStoreError(StoreError::NoSuchField, u"表 %1 没有字段 %2"_s.arg(t.alias(), ref.describe()));
    Q_ASSERT_X(false, "RecordStore", qPrintable(u"no field %1 in table %2"_s.arg(ref.describe(), t.alias())));
}

} // namespace

RecordStore::RecordStore() = default;

RecordStore::~RecordStore()
{
    closeAll();
}

QString RecordStore::tableFileName(const QString& fileName)
{
    if (QFileInfo(fileName).suffix().isEmpty())
        return fileName + u".edb"_s;
    return fileName;
}

QString RecordStore::memoFileName(const QString& tableFile)
{
    const QFileInfo fi(tableFileName(tableFile));
    return fi.dir().filePath(fi.completeBaseName() + u".edt"_s);
}

bool RecordStore::holds(const StoreTable* table) const
{
    for (const auto& entry : m_tables)
        if (entry.second.get() == table)
            return true;
    return false;
}

StoreTable* RecordStore::current() const
{
    return m_current;
}

StoreTable* RecordStore::tableFor(const QString& alias) const
{
    if (alias.isEmpty())
        return m_current;
    const auto it = m_tables.find(alias);
    return it == m_tables.end() ? nullptr : it->second.get();
}

bool RecordStore::create(const QString& fileName, const QList<FieldDef>& fields)
{
    if (fileName.trimmed().isEmpty() || QFileInfo(fileName).completeBaseName().isEmpty()) {
        setStoreError(StoreError::InvalidDefinition, u"文件名无效"_s);
        return false;
    }
    return StoreTable::createFile(QFileInfo(tableFileName(fileName)).absoluteFilePath(), fields);
}

bool RecordStore::open(const QString& fileName, const QString& alias, const QString& password, bool readOnly)
{
    const QString path = tableFileName(fileName);
    const QFileInfo fi(path);
    const QString name = alias.isEmpty() ? fi.completeBaseName() : alias;
    if (!fi.exists()) {
        setStoreError(StoreError::FileMissing, u"文件不存在"_s);
        return false;
    }
    if (m_tables.count(name)) {
        setStoreError(StoreError::AliasInUse, u"别名 %1 已被使用"_s.arg(name));
        return false;
    }
    const QString canonical = fi.canonicalFilePath();
    if (!claimFile(canonical)) {
        setStoreError(StoreError::AlreadyOpen, u"文件已经打开"_s);
        return false;
    }
    std::unique_ptr<StoreTable> table = StoreTable::openFile(path, name, password, readOnly);
    if (!table) {
        releaseFile(canonical);
        return false;
    }
    m_current = table.get();
    m_tables.emplace(name, std::move(table));
    clearStoreError();
    return true;
}

bool RecordStore::isOpen(const QString& alias) const
{
    return m_tables.count(alias) > 0;
}

bool RecordStore::setCurrent(const QString& alias)
{
    StoreTable* t = tableFor(alias);
    if (alias.isEmpty() || !t) {
        setStoreError(StoreError::NoSuchAlias, u"没有打开别名为 %1 的表"_s.arg(alias));
        return false;
    }
    m_current = t;
    clearStoreError();
    return true;
}

QString RecordStore::currentAlias() const
{
    return m_current ? m_current->alias() : QString();
}

bool RecordStore::close(const QString& alias)
{
    StoreTable* t = tableFor(alias);
    if (!t) {
        setStoreError(StoreError::NoSuchAlias, u"没有打开别名为 %1 的表"_s.arg(alias));
        return false;
    }
    if (m_current == t)
        m_current = nullptr;
    releaseFile(t->canonicalPath());
    m_tables.erase(t->alias());
    clearStoreError();
    return true;
}

void RecordStore::closeAll()
{
    for (auto& entry : m_tables)
        releaseFile(entry.second->canonicalPath());
    m_tables.clear();
    m_current = nullptr;
}

bool RecordStore::isProtected(const QString& fileNameOrAlias)
{
    if (const auto it = m_tables.find(fileNameOrAlias); it != m_tables.end())
        return it->second->isProtected();
    return StoreTable::fileIsProtected(tableFileName(fileNameOrAlias));
}

bool RecordStore::setPassword(const QString& password)
{
    if (!m_current)
        return noTable();
    if (!m_current->setPassword(password))
        return false;
    clearStoreError();
    return true;
}

int RecordStore::recordCount() const
{
    return m_current ? m_current->count() : 0;
}

int RecordStore::recordNumber() const
{
    return m_current ? m_current->position() : 0;
}

bool RecordStore::goTo(int number)
{
    if (!m_current)
        return noTable();
    if (m_current->count() == 0) {
        m_current->setPosition(0);
        return noRecord();
    }
    m_current->setPosition(std::clamp(number, 1, m_current->count()));
    clearStoreError();
    return true;
}

bool RecordStore::first()
{
    return goTo(1);
}

bool RecordStore::last()
{
    return goTo(m_current ? m_current->count() : 0);
}

bool RecordStore::skip(int count)
{
    if (!m_current)
        return noTable();
    const qint64 target = qint64(m_current->position()) + count;
    m_current->setPosition(int(std::clamp<qint64>(target, 0, m_current->count() + 1)));
    clearStoreError();
    return m_current->hasRecord();
}

bool RecordStore::atBegin() const
{
    return !m_current || m_current->position() < 1 || m_current->count() == 0;
}

bool RecordStore::atEnd() const
{
    return !m_current || m_current->position() > m_current->count() || m_current->count() == 0;
}

qint32 RecordStore::recordId() const
{
    if (!m_current) {
        noTable();
        return 0;
    }
    if (!m_current->hasRecord()) {
        noRecord();
        return 0;
    }
    return m_current->idAt(m_current->position());
}

bool RecordStore::goToRecordId(qint32 id)
{
    if (!m_current)
        return noTable();
    const int number = m_current->numberOfId(id);
    if (number == 0) {
        setStoreError(StoreError::NoSuchRecord, u"没有该记录"_s);
        return false;
    }
    m_current->setPosition(number);
    clearStoreError();
    return true;
}

bool RecordStore::find(const Condition& condition)
{
    StoreTable* t = m_current;
    if (!t)
        return noTable();
    const int start = std::max(t->position(), 1);
    const int before = t->position();
    for (int n = start; n <= t->count(); ++n) {
        t->setPosition(n);
        const bool hit = condition();
        // The condition may have switched tables; the search goes on in this one.
        m_current = t;
        if (hit) {
            clearStoreError();
            return true;
        }
    }
    t->setPosition(before);
    setStoreError(StoreError::NoSuchRecord, u"没有找到"_s);
    return false;
}

int RecordStore::fieldCount() const
{
    return m_current ? int(m_current->fields().size()) : 0;
}

QString RecordStore::fieldName(int position) const
{
    if (!m_current || position < 1 || position > m_current->fields().size())
        return QString();
    return m_current->fields().at(position - 1).name;
}

QList<FieldDef> RecordStore::fields() const
{
    return m_current ? m_current->fields() : QList<FieldDef>();
}

bool RecordStore::isDeleted() const
{
    return m_current && m_current->hasRecord() && m_current->deletedAt(m_current->position());
}

QVariant RecordStore::read(const FieldRef& field, const QString& alias)
{
    StoreTable* t = tableFor(alias);
    if (!t) {
        noTable();
        return {};
    }
    const int idx = t->fieldIndex(field);
    if (idx < 0) {
        badField(*t, field);
        return {};
    }
    if (!t->hasRecord()) {
        noRecord();
        return {};
    }
    bool ok = false;
    QVariant v = t->value(t->position(), idx, &ok);
    if (ok)
        clearStoreError();
    return v;
}

QString RecordStore::readText(const FieldRef& field, const QString& alias)
{
    return read(field, alias).toString();
}

int RecordStore::readInt(const FieldRef& field, const QString& alias)
{
    return read(field, alias).toInt();
}

bool RecordStore::readBool(const FieldRef& field, const QString& alias)
{
    return read(field, alias).toBool();
}

QByteArray RecordStore::readBytes(const FieldRef& field, const QString& alias)
{
    return read(field, alias).toByteArray();
}

bool RecordStore::write(const FieldRef& field, const QVariant& value, const QString& alias)
{
    StoreTable* t = tableFor(alias);
    if (!t)
        return noTable();
    const int idx = t->fieldIndex(field);
    if (idx < 0) {
        badField(*t, field);
        return false;
    }
    if (!t->hasRecord())
        return noRecord();
    QVariant normalized;
    if (!t->normalize(idx, value, &normalized))
        return false;
    if (!t->writeValue(t->position(), idx, normalized))
        return false;
    clearStoreError();
    return true;
}

bool RecordStore::append(const QVariantList& values)
{
    StoreTable* t = m_current;
    if (!t)
        return noTable();
    QList<QVariant> normalized;
    for (int i = 0; i < values.size() && i < t->fields().size(); ++i) {
        QVariant v;
        if (!t->normalize(i, values[i], &v))
            return false;
        normalized.append(v);
    }
    if (!t->appendRecord(normalized))
        return false;
    clearStoreError();
    return true;
}

bool RecordStore::modify(const QVariantList& values)
{
    StoreTable* t = m_current;
    if (!t)
        return noTable();
    if (!t->hasRecord())
        return noRecord();
    QList<QVariant> normalized;
    for (int i = 0; i < values.size() && i < t->fields().size(); ++i) {
        QVariant v;
        if (values[i].isValid() && !t->normalize(i, values[i], &v))
            return false;
        normalized.append(v);
    }
    if (!t->modifyRecord(t->position(), normalized))
        return false;
    clearStoreError();
    return true;
}

bool RecordStore::markDeleted()
{
    StoreTable* t = m_current;
    if (!t)
        return noTable();
    if (!t->hasRecord())
        return noRecord();
    if (!t->markDeleted(t->position()))
        return false;
    clearStoreError();
    return true;
}

bool RecordStore::purge()
{
    if (!m_current)
        return noTable();
    if (!m_current->purge())
        return false;
    clearStoreError();
    return true;
}

bool RecordStore::copyTo(const QString& fileName, const Condition& condition)
{
    StoreTable* t = m_current;
    if (!t)
        return noTable();
    const QString path = QFileInfo(tableFileName(fileName)).absoluteFilePath();
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (!canonical.isEmpty() && fileIsOpen(canonical)) {
        setStoreError(StoreError::AlreadyOpen, u"目标文件已经打开"_s);
        return false;
    }
    std::vector<int> chosen;
    const int before = t->position();
    for (int n = 1; n <= t->count(); ++n) {
        if (condition) {
            t->setPosition(n);
            const bool hit = condition();
            m_current = t;
            if (!hit)
                continue;
        }
        chosen.push_back(n);
    }
    t->setPosition(before);
    if (!t->copyRecordsTo(path, chosen))
        return false;
    clearStoreError();
    return true;
}

bool RecordStore::appendFrom(const QString& sourceAlias, const Condition& condition)
{
    StoreTable* dest = m_current;
    if (!dest)
        return noTable();
    StoreTable* source = tableFor(sourceAlias);
    if (!source || sourceAlias.isEmpty()) {
        setStoreError(StoreError::NoSuchAlias, u"没有打开别名为 %1 的表"_s.arg(sourceAlias));
        return false;
    }
    if (source == dest) {
        setStoreError(StoreError::Unsupported, u"不能从表自身追加"_s);
        return false;
    }

    // Field pairs: same name ignoring case, and the same type or both numeric.
    const QList<FieldDef>& df = dest->fields();
    const QList<FieldDef>& sf = source->fields();
    std::vector<int> from(size_t(df.size()), -1);
    for (int d = 0; d < df.size(); ++d) {
        const int s = source->fieldIndex(FieldRef(df[d].name));
        if (s < 0)
            continue;
        const bool numeric = (df[d].type == FieldType::Short || df[d].type == FieldType::Int) &&
                             (sf[s].type == FieldType::Short || sf[s].type == FieldType::Int);
        if (sf[s].type == df[d].type || numeric)
            from[size_t(d)] = s;
    }

    const int sourcePos = source->position();
    Batch batch(*this, dest->alias());
    bool ok = batch.active();
    for (int n = 1; ok && n <= source->count(); ++n) {
        if (condition) {
            source->setPosition(n);
            m_current = source;
            const bool hit = condition();
            m_current = dest;
            if (!hit)
                continue;
        }
        QList<QVariant> values;
        for (int d = 0; ok && d < df.size(); ++d) {
            QVariant v;
            if (from[size_t(d)] >= 0) {
                bool readOk = false;
                const QVariant raw = source->value(n, from[size_t(d)], &readOk);
                ok = readOk && dest->normalize(d, raw, &v);
            }
            values.append(v);
        }
        ok = ok && dest->appendRecord(values);
    }
    source->setPosition(sourcePos);
    m_current = dest;
    if (!ok)
        return false;
    if (!batch.commit())
        return false;
    clearStoreError();
    return true;
}

RecordStore::Batch::Batch(RecordStore& store, const QString& alias) : m_store(store)
{
    StoreTable* t = store.tableFor(alias);
    if (!t) {
        noTable();
        return;
    }
    if (t->beginBatch())
        m_table = t;
}

RecordStore::Batch::~Batch()
{
    if (m_table && m_store.holds(m_table))
        m_table->endBatch(false);
}

bool RecordStore::Batch::commit()
{
    if (!m_table)
        return false;
    StoreTable* t = m_table;
    m_table = nullptr;
    if (!m_store.holds(t))
        return noTable();
    return t->endBatch(true);
}

int RecordStore::lastError()
{
    return storeLastError();
}

QString RecordStore::lastErrorText()
{
    return storeLastErrorText();
}

} // namespace helan
