#include "compose/PaperComposerHelpWindow.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "compose/PaperComposerHelp.h"

using namespace Qt::StringLiterals;

namespace helan {

PaperComposerHelpWindow::PaperComposerHelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(u"组卷帮助"_s);
    setWindowTitle(u"组卷帮助"_s);
    auto* edit = new QPlainTextEdit(this);
    edit->setObjectName(u"编辑框1"_s);
    edit->setReadOnly(true);
    QFont font(u"宋体"_s);
    font.setPointSize(10);
    edit->setFont(font);
    // The box shows CR LF as one line break.
    edit->setPlainText(PaperComposerHelp::text().replace(u"\r\n"_s, u"\n"_s));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit);
    resize(620, 420);
}

} // namespace helan
