#include "editor/BankEditorHelpWindow.h"

#include "editor/BankEditorHelp.h"

using namespace Qt::StringLiterals;

namespace helan {

BankEditorHelpWindow::BankEditorHelpWindow(QWidget* parent)
    : HelpTextWindow(u"题库编辑帮助"_s, BankEditorHelp::text(), 11, QSize(640, 520), parent) {}

} // namespace helan
