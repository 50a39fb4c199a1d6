#include <QApplication>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

#include <gtest/gtest.h>

#include "Printers.h"
#include "ui/QtPrompter.h"
#include "ui/TextMeasure.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

// The line count of a real multi-line edit box of that width, framed and
// margined as the measuring box is.
int linesInEditBox(int width, const QString& text)
{
    QPlainTextEdit edit;
    edit.setFont(measuringFont());
    edit.setFrameStyle(QFrame::Box | QFrame::Plain);
    edit.setLineWidth(kMeasuringBoxFrame);
    edit.document()->setDocumentMargin(kMeasuringBoxMargin);
    edit.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    edit.resize(width, 400);
    edit.setPlainText(text);
    edit.show();
    QApplication::processEvents();
    int lines = 0;
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next())
        lines += block.layout()->lineCount();
    return lines;
}

} // namespace

TEST(CountWrappedLines, UsesACjkFontOf19Pixels)
{
    const QFont font = measuringFont();
    EXPECT_EQ(font.pixelSize(), 19);
    EXPECT_EQ(font.weight(), QFont::Normal);
    const QFontMetrics metrics(font);
    EXPECT_TRUE(metrics.inFont(u'禾'));
    EXPECT_TRUE(metrics.inFont(u'岚'));
}

TEST(CountWrappedLines, EmptyTextAndHardBreaks)
{
    EXPECT_EQ(countWrappedLines(300, QString()), 1);
    EXPECT_EQ(countWrappedLines(5, QString()), 1);
    EXPECT_EQ(countWrappedLines(300, u"题"_s), 1);
    EXPECT_EQ(countWrappedLines(300, u"一\r\n二\r\n三"_s), 3);
    EXPECT_EQ(countWrappedLines(300, u"一\n二"_s), 2);
    EXPECT_EQ(countWrappedLines(300, u"一\r\n"_s), 2);
    EXPECT_EQ(countWrappedLines(300, u"\r\n\r\n"_s), 3);
}

TEST(CountWrappedLines, WrapsLikeAMultiLineEditBox)
{
    const QString chinese = u"本系统以课程为单位存放与操作试题，一次编写题库，无限次组卷使用，方便、快捷、高效。"_s;
    const QString english = u"The quick brown fox jumps over the lazy dog while the teacher composes paper A."_s;
    const QString texts[] = {
        chinese,
        english,
        chinese + u"\r\n"_s + english,
        u"Supercalifragilisticexpialidocious-and-then-some-more-without-any-spaces"_s,
        u"A：甲\r\nB：乙\r\nC：丙丙丙丙丙丙丙丙丙丙丙丙丙丙丙丙丙丙丙丙丙丙丙丙丙丙丙丙丙丙\r\n"_s,
        u"混合 mixed 文本 text，带标点。And  two  spaces."_s,
    };
    for (const int width : {60, 120, 200, 333, 640}) {
        for (const QString& text : texts) {
            EXPECT_EQ(countWrappedLines(width, text), linesInEditBox(width, text))
                << "width " << width << ": " << text.toStdString();
        }
    }
    // Narrower boxes never hold fewer lines.
    EXPECT_GT(countWrappedLines(120, chinese), countWrappedLines(640, chinese));
    EXPECT_GE(countWrappedLines(120, chinese), 5);
}

TEST(QtPrompterFilter, DescriptionPatternPairsBecomeQtFilters)
{
    EXPECT_EQ(QtPrompter::toQtFilter(u"图片文件（*.jpg）|*.jpg"_s), u"图片文件（*.jpg） (*.jpg)"_s);
    EXPECT_EQ(QtPrompter::toQtFilter(u"图片|*.jpg;*.png;*.bmp|所有文件|*.*"_s),
              u"图片 (*.jpg *.png *.bmp);;所有文件 (*.*)"_s);
    EXPECT_EQ(QtPrompter::toQtFilter(u"题库（*.edb）|*.edb|"_s), u"题库（*.edb） (*.edb)"_s);
    EXPECT_EQ(QtPrompter::toQtFilter(u"任意文件"_s), u"任意文件 (*)"_s);
    EXPECT_EQ(QtPrompter::toQtFilter(QString()), QString());
}
