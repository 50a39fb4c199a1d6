#pragma once

#include <QHash>
#include <QList>
#include <QMultiHash>
#include <QString>

namespace helan {

// Which records share a question's joined stem texts (题文1 followed by 题文2)
// and its answer, kept in step with every edit so that leaving a row does not
// have to read the whole bank. Keys compare exactly, case-sensitively. Pictures
// also tell questions apart; the few records that share the texts are compared
// by their pictures afterwards (othersWith), so the index holds texts only.
// The texts are held as given (the grid's own strings, shared, not copied) with
// a hash of the joined texts, so a bank of 100,000 questions costs no second
// copy of its stems.
class DuplicateIndex {
public:
    void clear();
    void reserve(qsizetype records);
    // Sets (or replaces) the texts of a record.
    void set(qint32 recordId, const QString& stem1, const QString& stem2, const QString& answer);
    void remove(qint32 recordId);
    // Whether a record other than exceptId has these texts.
    bool containsOther(const QString& joinedStem, const QString& answer, qint32 exceptId) const;
    // The records other than exceptId that have these texts.
    QList<qint32> othersWith(const QString& joinedStem, const QString& answer, qint32 exceptId) const;
    qsizetype size() const { return m_keyOf.size(); }

private:
    struct Key {
        QString stem1;
        QString stem2;
        QString answer;
        size_t hash = 0;
        bool sameTexts(QStringView joinedStem, QStringView otherAnswer) const;
    };
    static size_t hashOf(QStringView stem1, QStringView stem2, QStringView answer);

    QHash<qint32, Key> m_keyOf;
    QMultiHash<size_t, qint32> m_idsOf;
};

} // namespace helan
