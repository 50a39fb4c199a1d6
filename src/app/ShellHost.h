#pragma once

#include <QString>

#include "app/ColourScheme.h"

namespace helan {

class CourseAdminLogic;

// What the main window's logic asks of the window around it: the modal windows
// it opens, the look, the file manager, and the end of the program. MainWindow
// implements it with real windows; tests implement it with scripts.
class ShellHost {
public:
    virtual ~ShellHost() = default;

    // Shows CourseAdminDialog modal on this logic; returns when it has closed.
    virtual void runCourseAdminDialog(CourseAdminLogic& dialog) = 0;
    // Shows BankEditor / PaperComposer modal on the course whose bank has just
    // been opened and made current; returns when the window has closed.
    virtual void runBankEditor(const QString& course) = 0;
    virtual void runPaperComposer(const QString& course) = 0;
    // Shows the window 程序说明 modal.
    virtual void runProgramHelp() = 0;
    virtual void applyColourScheme(ColourScheme::Scheme scheme) = 0;
    // Shows a folder in the desktop's file manager; false when none could be
    // asked to.
    virtual bool openFolder(const QString& folder) = 0;
    // Ends the program; the reason, if any, has been shown.
    virtual void endProgram() = 0;
};

} // namespace helan
