#pragma once

#include <cstdint>

#include <QList>
#include <QString>

#include "SampleQuestion.h"

namespace helan {

// Large generated banks for benchmarks and tests. The same count and seed always
// give the same questions, byte for byte:
// - about 10 % of the questions are in groups: a title ("0", no answer, its score
//   the total of its unblocked sub-questions) followed by 3 to 5 sub-questions of
//   its type and difficulty;
// - about 25 % are choice questions with four or five text options and one or two
//   of them as the answer;
// - about 5 % carry a stem picture of about 50 KB (a noise JPEG), a quarter of
//   those an answer picture too;
// - stems of 100 to 400 GBK bytes, types over the five defaults, difficulties
//   1 to 9, scores 1 to 10, knowledge points drawn from a pool of 150 (so they
//   repeat), some blocked and some fixed-score questions.
// Every question passes the validation rules and no two are duplicates.
// Pictures need no QGuiApplication.
class SyntheticBank {
public:
    struct Options {
        int questionCount = 10000;
        std::uint32_t seed = 1;
        QString password; // the course password; empty for none
        QString courseName = QStringLiteral("大题库");
    };

    // Exactly count records, titles and sub-questions included.
    static QList<SampleQuestion> generate(int count, std::uint32_t seed);

    // Adds the course with its generated questions to a data folder (created when
    // needed). A folder without a catalogue gets one, with the sample folder's
    // administrator, and the type library. Refuses a course that exists already.
    static bool write(const QString& folder, const Options& options, QString* error = nullptr);

    // Size the generated pictures are made to reach, in bytes.
    static constexpr int kPictureBytes = 50 * 1024;
};

} // namespace helan
