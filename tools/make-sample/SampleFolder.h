#pragma once

#include <QString>

namespace helan {

// The complete sample data folder: a catalogue with its administrator, the
// question type library with its defaults, the password-protected mathematics
// course and an English course without password.
class SampleFolder {
public:
    static QString administratorName();     // "林老师"
    static QString administratorPassword(); // "lin2024"
    static QString mathCourse();            // "示例课程"
    static QString mathPassword();          // "shuxue"
    static QString englishCourse();         // "英语练习", no password

    // Writes the folder, creating it when needed. Refuses a folder that already
    // holds a catalogue. Needs a QGuiApplication for the pictures' text.
    static bool write(const QString& folder, QString* error = nullptr);
};

} // namespace helan
