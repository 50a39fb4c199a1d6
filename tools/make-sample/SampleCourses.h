#pragma once

#include <QList>

#include "SampleQuestion.h"

namespace helan {

// The hand-written questions of the sample folder.
class SampleCourses {
public:
    // Junior middle-school mathematics: every default type, two reading groups,
    // choice questions with text options and with options drawn in a picture (each
    // picture-option question twice, answered once with letters and once with
    // circled numbers), drawn stems and answers, blocked and fixed-score questions.
    // The pictures need a QGuiApplication.
    static QList<SampleQuestion> mathQuestions();
    // A handful of English questions without pictures.
    static QList<SampleQuestion> englishQuestions();
};

} // namespace helan
