#pragma once

#include <QPalette>
#include <QString>

namespace helan {

// The three looks of the user interface. Nothing remembers the choice: every
// start uses Blue.
class ColourScheme {
public:
    enum Scheme { Blue = 1, Green = 2, Silver = 3 };

    static QPalette palette(Scheme scheme);
    // Gradients for buttons, menus and edit boxes on top of the palette.
    static QString styleSheet(Scheme scheme);
};

} // namespace helan
