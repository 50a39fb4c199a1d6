#pragma once

#include <QString>

namespace helan {

// The text of the window 程序说明.
class ProgramHelp {
public:
    static QString windowTitle();
    // An empty line first; every text line followed by an empty line, the version
    // line by two. Leading spaces are part of the layout.
    static QString text();
};

} // namespace helan
