#pragma once

#include <QList>
#include <QString>

#include "SampleQuestion.h"

namespace helan::bench {

// The course of the composition benches: 10,000 generated questions (seed 1)
// spread over the 20 types "题型01" … "题型20" (a group keeps one type), the
// types in the library, and enough major-question numbers for all of them.
inline constexpr int kQuestions = 10000;
inline constexpr int kTypes = 20;
QString courseName();
QString typeName(int k);

// Generated questions of the given count (seed 1) over the twenty types; a group
// keeps one type.
QList<SampleQuestion> twentyTypeQuestions(int count);

// Writes the data folder; false with the reason in error.
bool writeTwentyTypeFolder(const QString& folder, QString& error);

// The twenty-type course ten times larger, "十万题库", added to a folder written
// by writeTwentyTypeFolder (its types and numbering serve both). Without
// pictures: they play no part in composing, and the bank stays small.
inline constexpr int kLargeQuestions = 100000;
QString largeCourseName();
bool addLargeCourse(const QString& folder, QString& error);

} // namespace helan::bench
