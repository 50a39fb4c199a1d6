#include "ui/HelpTextWindow.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace helan {

HelpTextWindow::HelpTextWindow(const QString& caption, const QString& text, int pointSize, QSize size,
                               QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(caption);
    setWindowTitle(caption);
    auto* box = new QPlainTextEdit(this);
    box->setObjectName(u"编辑框1"_s);
    box->setReadOnly(true);
    QFont font(u"宋体"_s);
    font.setPointSize(pointSize);
    box->setFont(font);
    // The box shows CR LF as one line break.
    box->setPlainText(QString(text).replace(u"\r\n"_s, u"\n"_s));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box);
    resize(size);
}

} // namespace helan
