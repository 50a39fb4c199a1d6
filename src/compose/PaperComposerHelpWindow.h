#pragma once

#include "ui/HelpTextWindow.h"

namespace helan {

// The window "组卷帮助": the composition window's help text in a read-only box.
// Not modal; owned by the composition window.
class PaperComposerHelpWindow : public HelpTextWindow {
    Q_OBJECT
public:
    explicit PaperComposerHelpWindow(QWidget* parent = nullptr);
};

} // namespace helan
