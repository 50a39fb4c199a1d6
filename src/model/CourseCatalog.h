#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "model/OpenOutcome.h"
#include "store/StoreTypes.h"

namespace helan {

class Prompter;
class RecordStore;

// The table 课程列表: record 1 is the administrator (name, stored password),
// records 2 … n are the courses in the order they were added. Course list
// position k (from 0) is record k + 2.
class CourseCatalog {
public:
    enum Field : int {
        Name = 1,     // 课程名称: the administrator's or the course's name
        Password = 2, // 课程密码: stored form (DataCipher), empty for no password
        Difficulty = 3, // 难度说明
    };
    static constexpr int kNameWidth = 20;
    static constexpr int kDifficultyWidth = 80;

    static QString tableName();         // "课程列表", also the alias
    static QString fileName();          // "课程列表.edb"
    static QString fieldName(Field field);
    static QList<FieldDef> fieldDefs();
    // The catalogue record of a course list position.
    static int recordOfListPosition(int listPosition) { return listPosition + 2; }

    CourseCatalog(RecordStore& store, Prompter& prompter);

    // Makes the catalogue open and current, creating it when its file is missing.
    // A failure is shown to the user and the program must end.
    [[nodiscard]] OpenOutcome openCatalog();

    // The operations below open the catalogue first and leave it current. They
    // read as empty (or fail) when it cannot be opened.

    // No record yet: the administrator has not been set up.
    bool isEmpty();
    // Appends record 1 with the administrator's name and stored password.
    bool appendAdministrator(const QString& name, const QString& password);
    QString administratorName();
    QString administratorStoredPassword();
    bool administratorPasswordMatches(const QString& typed);
    // 课程名称 of records 2 … n, in record order.
    QStringList courseNames();
    // Makes the course's record current; false when the position has no record.
    bool goToCourse(int listPosition);
    // The course's stored password; empty when it has none or does not exist.
    QString storedCoursePassword(int listPosition);

private:
    RecordStore& m_store;
    Prompter& m_prompter;
};

} // namespace helan
