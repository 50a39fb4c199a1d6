#pragma once

#include <QString>

namespace helan {

// A course name is the catalogue's 课程名称 (20 bytes), the base name of the
// course's files in the data folder and the alias of its bank, so it must fit
// all three.
class CourseNameRules {
public:
    static constexpr int kMaxBytes = 20;

    // The message that refuses a (trimmed, non-empty) course name, or an empty
    // text when the name is acceptable.
    static QString refusal(const QString& name);
};

} // namespace helan
