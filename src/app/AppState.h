#pragma once

#include <QString>

namespace helan {

// What every window of a run shares: the course chosen in the main window and
// the mode the course administration dialog opens in. One instance, owned by
// main() and handed to each window's logic.
struct AppState {
    // The course chosen most recently in the course list; its bank, when open, is
    // open under this name as alias. Empty when no course is chosen.
    QString selectedCourse;
    // The caption and mode of the next CourseAdminDialog, e.g. "添加课程".
    QString dialogMode;
};

} // namespace helan
