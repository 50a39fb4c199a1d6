#include "editor/BankEditorHelpWindow.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "editor/BankEditorHelp.h"

using namespace Qt::StringLiterals;

namespace helan {

BankEditorHelpWindow::BankEditorHelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(u"题库编辑帮助"_s);
    setWindowTitle(u"题库编辑帮助"_s);
    auto* box = new QPlainTextEdit(this);
    box->setObjectName(u"编辑框1"_s);
    box->setReadOnly(true);
    QFont font(u"宋体"_s);
    font.setPointSize(11);
    box->setFont(font);
    box->setPlainText(BankEditorHelp::text().replace(u"\r\n"_s, u"\n"_s));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box);
    resize(640, 520);
}

} // namespace helan
