#pragma once

#include "compose/PaperComposer.h"

namespace helan {

// "导出为Moodle XML" of the composition window: the questions ticked for paper A
// or paper B, with the 难度, 分值, 定分 and 屏蔽 the window shows, written as a
// Moodle XML file named course name + "A卷" / "B卷".
class PaperMoodleExport {
public:
    // True when the file was written.
    static bool run(PaperComposer& composer, PaperComposer::Paper paper);
};

} // namespace helan
