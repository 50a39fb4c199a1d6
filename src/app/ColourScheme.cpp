#include "app/ColourScheme.h"

#include <QColor>

using namespace Qt::StringLiterals;

namespace helan {

namespace {

// The colours one scheme is made of; the style sheet and the palette are both
// derived from them so the two never disagree.
struct Colours {
    QColor window;     // window and dialog background
    QColor buttonTop;  // button gradient, top
    QColor buttonFoot; // button gradient, bottom
    QColor border;     // frames of buttons and edit boxes
    QColor highlight;  // selection, focus frame, hovered menu item
    QColor menuTop;    // menu bar gradient
    QColor menuFoot;
};

Colours coloursOf(ColourScheme::Scheme scheme)
{
    switch (scheme) {
    case ColourScheme::Green:
        return {QColor(0xEE, 0xF3, 0xE2), QColor(0xFF, 0xFF, 0xFF), QColor(0xD9, 0xE5, 0xBE),
                QColor(0x8B, 0xA3, 0x5A), QColor(0x5E, 0x80, 0x2E), QColor(0xF6, 0xF9, 0xEE),
                QColor(0xDC, 0xE8, 0xC2)};
    case ColourScheme::Silver:
        return {QColor(0xEE, 0xEE, 0xF2), QColor(0xFF, 0xFF, 0xFF), QColor(0xDA, 0xDA, 0xE3),
                QColor(0x8E, 0x8F, 0xA7), QColor(0x6B, 0x70, 0x96), QColor(0xF8, 0xF8, 0xFA),
                QColor(0xDD, 0xDD, 0xE6)};
    case ColourScheme::Blue:
        break;
    }
    return {QColor(0xEA, 0xF1, 0xFB), QColor(0xFF, 0xFF, 0xFF), QColor(0xD3, 0xE2, 0xF6),
            QColor(0x6B, 0x8F, 0xC9), QColor(0x31, 0x6A, 0xC5), QColor(0xF4, 0xF8, 0xFE),
            QColor(0xD0, 0xDF, 0xF4)};
}

} // namespace

QPalette ColourScheme::palette(Scheme scheme)
{
    const Colours c = coloursOf(scheme);
    QPalette p;
    p.setColor(QPalette::Window, c.window);
    p.setColor(QPalette::WindowText, Qt::black);
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, c.window);
    p.setColor(QPalette::Text, Qt::black);
    p.setColor(QPalette::Button, c.buttonFoot);
    p.setColor(QPalette::ButtonText, Qt::black);
    p.setColor(QPalette::Highlight, c.highlight);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xE1));
    p.setColor(QPalette::ToolTipText, Qt::black);
    const QColor grey(0x9A, 0x9A, 0x9A);
    p.setColor(QPalette::Disabled, QPalette::WindowText, grey);
    p.setColor(QPalette::Disabled, QPalette::Text, grey);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, grey);
    p.setColor(QPalette::Disabled, QPalette::Base, c.window);
    return p;
}

QString ColourScheme::styleSheet(Scheme scheme)
{
    const Colours c = coloursOf(scheme);
    const auto hex = [](const QColor& colour) { return colour.name(); };
    QString sheet = uR"(
QPushButton {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 @BTOP, stop:1 @BFOOT);
    border: 1px solid @BORDER; border-radius: 3px; padding: 4px 14px; min-width: 60px; outline: none;
}
QPushButton:hover { border-color: @HIGH; }
QPushButton:pressed { background: @BFOOT; }
QPushButton:disabled { color: #9a9a9a; border-color: #c4c4c4; background: @WINDOW; }
QPushButton:focus { border: 2px solid @HIGH; padding: 3px 13px; }
QLineEdit, QPlainTextEdit, QTextEdit {
    border: 1px solid @BORDER; border-radius: 2px; background: white;
    selection-background-color: @HIGH;
}
QLineEdit { padding: 3px 4px; }
QLineEdit { lineedit-password-character: 42; }
QLineEdit:disabled { background: @WINDOW; border-color: #c4c4c4; }
QLineEdit:read-only { background: @WINDOW; }
QMenuBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 @MTOP, stop:1 @MFOOT);
    border-bottom: 1px solid @BORDER; }
QMenuBar::item { padding: 4px 10px; background: transparent; }
QMenuBar::item:selected { background: @HIGH; color: white; }
QMenu { background: white; border: 1px solid @BORDER; }
QMenu::item { padding: 5px 28px 5px 24px; }
QMenu::item:selected { background: @HIGH; color: white; }
QMenu::item:disabled { color: #9a9a9a; }
QMenu::separator { height: 1px; background: @BORDER; margin: 3px 6px; }
)"_s;
    sheet.replace(u"@BTOP"_s, hex(c.buttonTop))
        .replace(u"@BFOOT"_s, hex(c.buttonFoot))
        .replace(u"@BORDER"_s, hex(c.border))
        .replace(u"@HIGH"_s, hex(c.highlight))
        .replace(u"@WINDOW"_s, hex(c.window))
        .replace(u"@MTOP"_s, hex(c.menuTop))
        .replace(u"@MFOOT"_s, hex(c.menuFoot));
    return sheet;
}

} // namespace helan
