#include "editor/DuplicateIndex.h"

namespace helan {

void DuplicateIndex::clear() {
    m_keyOf.clear();
    m_idsOf.clear();
}

void DuplicateIndex::set(qint32 recordId, const QString& joinedStem, const QString& answer) {
    remove(recordId);
    Key key{joinedStem, answer};
    m_idsOf[key].append(recordId);
    m_keyOf.insert(recordId, std::move(key));
}

void DuplicateIndex::remove(qint32 recordId) {
    const auto found = m_keyOf.constFind(recordId);
    if (found == m_keyOf.cend())
        return;
    const auto ids = m_idsOf.find(*found);
    if (ids != m_idsOf.end()) {
        ids->removeOne(recordId);
        if (ids->isEmpty())
            m_idsOf.erase(ids);
    }
    m_keyOf.erase(found);
}

bool DuplicateIndex::containsOther(const QString& joinedStem, const QString& answer, qint32 exceptId) const {
    const auto ids = m_idsOf.constFind(Key{joinedStem, answer});
    if (ids == m_idsOf.cend())
        return false;
    for (const qint32 id : *ids) {
        if (id != exceptId)
            return true;
    }
    return false;
}

QList<qint32> DuplicateIndex::othersWith(const QString& joinedStem, const QString& answer,
                                         qint32 exceptId) const {
    QList<qint32> out;
    const auto ids = m_idsOf.constFind(Key{joinedStem, answer});
    if (ids == m_idsOf.cend())
        return out;
    for (const qint32 id : *ids) {
        if (id != exceptId)
            out.append(id);
    }
    return out;
}

} // namespace helan
