#include "app/ProgramHelpDialog.h"

#include <algorithm>

#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/ProgramHelp.h"
#include "ui/TextMeasure.h"

using namespace Qt::StringLiterals;

namespace helan {

ProgramHelpDialog::ProgramHelpDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(u"程序说明"_s);
    setWindowTitle(ProgramHelp::windowTitle());
    setModal(true);

    QFont font = measuringFont();
    font.setPixelSize(15);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(u"编辑框1"_s);
    m_text->setFont(font);
    m_text->setReadOnly(true);
    // The text is laid out by hand with leading spaces: show its lines as they are.
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setPlainText(ProgramHelp::text());

    const QFontMetrics metrics(font);
    int widest = 0;
    int lines = 0;
    for (const QString& line : ProgramHelp::text().split(u'\n')) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
        ++lines;
    }
    const int chrome = 2 * (m_text->frameWidth() + 8) + m_text->verticalScrollBar()->sizeHint().width();
    m_text->setMinimumSize(widest + chrome, std::min(lines * metrics.lineSpacing() + 24, 640));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
}

} // namespace helan
