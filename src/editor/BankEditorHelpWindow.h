#pragma once

#include "ui/HelpTextWindow.h"

namespace helan {

// The window "题库编辑帮助": the editor's help text in a read-only box. Not modal.
class BankEditorHelpWindow : public HelpTextWindow {
    Q_OBJECT
public:
    explicit BankEditorHelpWindow(QWidget* parent = nullptr);
};

} // namespace helan
