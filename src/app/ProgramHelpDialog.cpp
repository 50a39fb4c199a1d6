#include "app/ProgramHelpDialog.h"

#include <algorithm>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/ProgramHelp.h"
#include "ui/TextMeasure.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

// The text is laid out with spaces for a font whose Latin characters are half as
// wide as its Chinese ones, as in 宋体. Where 宋体 is missing, a CJK font with
// half-width Latin keeps that layout; a proportional one would not.
QFont helpFont()
{
    QFont font = measuringFont();
    const QStringList installed = QFontDatabase::families();
    if (!installed.contains(u"宋体"_s) && !installed.contains(u"SimSun"_s)
        && installed.contains(u"Noto Sans Mono CJK SC"_s))
        font.setFamily(u"Noto Sans Mono CJK SC"_s);
    font.setPixelSize(14);
    return font;
}

} // namespace

ProgramHelpDialog::ProgramHelpDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(u"程序说明"_s);
    setWindowTitle(ProgramHelp::windowTitle());
    setModal(true);

    const QFont font = helpFont();
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
    const int available = screen() ? screen()->availableGeometry().height() - 80 : 640;
    m_text->setMinimumSize(widest + chrome, std::min(lines * metrics.lineSpacing() + 48, available));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
}

} // namespace helan
