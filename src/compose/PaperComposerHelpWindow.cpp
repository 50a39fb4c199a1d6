#include "compose/PaperComposerHelpWindow.h"

#include "compose/PaperComposerHelp.h"

using namespace Qt::StringLiterals;

namespace helan {

PaperComposerHelpWindow::PaperComposerHelpWindow(QWidget* parent)
    : HelpTextWindow(u"组卷帮助"_s, PaperComposerHelp::text(), 10, QSize(620, 420), parent) {}

} // namespace helan
