#pragma once

#include <QString>

namespace helan {

class Prompter;
class RecordStore;

// One course's question bank: the table course name + ".edb", opened under the
// course name as alias, its records laid out as QuestionRecord. A bank with a
// course password is protected by that password in plain form.
class CourseBank {
public:
    struct OpenRequest {
        QString courseName;
        // Compare the typed password with the course's before opening. Without the
        // check the caller has made the course's catalogue record current.
        bool checkPassword = false;
        QString typedPassword;
        // The course's position in the course list (catalogue record + 2); used
        // with the check only.
        int listPosition = -1;
    };

    static QString fileName(const QString& courseName); // name + ".edb"

    CourseBank(RecordStore& store, Prompter& prompter);

    // Creates the empty bank table of a course.
    bool createCourseBank(const QString& courseName);
    // Makes the course's bank the current table, opening it with the course
    // password when it is not open yet. Failures are shown to the user. A bank
    // already open is made current without any check: it stays unlocked until
    // it is closed.
    bool openCourseBank(const OpenRequest& request);

private:
    RecordStore& m_store;
    Prompter& m_prompter;
};

} // namespace helan
