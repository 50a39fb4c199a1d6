#include "editor/DuplicateIndex.h"

#include <algorithm>

namespace helan {

void DuplicateIndex::clear() {
    m_keyOf.clear();
    m_idsOf.clear();
}

void DuplicateIndex::reserve(qsizetype records) {
    m_keyOf.reserve(records);
    m_idsOf.reserve(records);
}

// The hash of the joined stem, without joining: most questions have no 题文2,
// and the others reuse one buffer.
size_t DuplicateIndex::hashOf(QStringView stem1, QStringView stem2, QStringView answer) {
    size_t stemHash = 0;
    if (stem2.isEmpty()) {
        stemHash = qHash(stem1);
    } else if (stem1.isEmpty()) {
        stemHash = qHash(stem2);
    } else {
        thread_local QString joined;
        joined.resize(0);
        joined.append(stem1);
        joined.append(stem2);
        stemHash = qHash(QStringView(joined));
    }
    return qHashMulti(0, stemHash, answer);
}

bool DuplicateIndex::Key::sameTexts(QStringView joinedStem, QStringView otherAnswer) const {
    return answer == otherAnswer && joinedStem.size() == stem1.size() + stem2.size() &&
           joinedStem.left(stem1.size()) == stem1 && joinedStem.mid(stem1.size()) == stem2;
}

void DuplicateIndex::set(qint32 recordId, const QString& stem1, const QString& stem2, const QString& answer) {
    remove(recordId);
    const size_t hash = hashOf(stem1, stem2, answer);
    m_idsOf.insert(hash, recordId);
    m_keyOf.insert(recordId, Key{stem1, stem2, answer, hash});
}

void DuplicateIndex::remove(qint32 recordId) {
    const auto found = m_keyOf.constFind(recordId);
    if (found == m_keyOf.cend())
        return;
    m_idsOf.remove(found->hash, recordId);
    m_keyOf.erase(found);
}

bool DuplicateIndex::containsOther(const QString& joinedStem, const QString& answer, qint32 exceptId) const {
    const size_t hash = hashOf(joinedStem, {}, answer);
    for (auto it = m_idsOf.constFind(hash); it != m_idsOf.cend() && it.key() == hash; ++it) {
        if (it.value() != exceptId && m_keyOf.value(it.value()).sameTexts(joinedStem, answer))
            return true;
    }
    return false;
}

QList<qint32> DuplicateIndex::othersWith(const QString& joinedStem, const QString& answer,
                                         qint32 exceptId) const {
    QList<qint32> out;
    const size_t hash = hashOf(joinedStem, {}, answer);
    for (auto it = m_idsOf.constFind(hash); it != m_idsOf.cend() && it.key() == hash; ++it) {
        if (it.value() != exceptId && m_keyOf.value(it.value()).sameTexts(joinedStem, answer))
            out.append(it.value());
    }
    // Oldest first, as records were indexed, whatever order the hash keeps.
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace helan
