#pragma once

#include <QHash>
#include <QList>
#include <QString>

namespace helan {

// Which records share a question's joined stem texts (题文1 followed by 题文2)
// and its answer, kept in step with every edit so that leaving a row does not
// have to read the whole bank. Keys compare exactly, case-sensitively. Pictures
// also tell questions apart; the few records that share the texts are compared
// by their pictures afterwards (othersWith), so the index holds texts only.
class DuplicateIndex {
public:
    void clear();
    // Sets (or replaces) the texts of a record.
    void set(qint32 recordId, const QString& joinedStem, const QString& answer);
    void remove(qint32 recordId);
    // Whether a record other than exceptId has these texts.
    bool containsOther(const QString& joinedStem, const QString& answer, qint32 exceptId) const;
    // The records other than exceptId that have these texts.
    QList<qint32> othersWith(const QString& joinedStem, const QString& answer, qint32 exceptId) const;
    qsizetype size() const { return m_keyOf.size(); }

private:
    struct Key {
        QString stem;
        QString answer;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& key, size_t seed) { return qHashMulti(seed, key.stem, key.answer); }

    QHash<qint32, Key> m_keyOf;
    QHash<Key, QList<qint32>> m_idsOf;
};

} // namespace helan
