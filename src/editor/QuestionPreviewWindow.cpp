#include "editor/QuestionPreviewWindow.h"

#include <algorithm>

#include <QLabel>
#include <QPixmap>
#include <QScreen>

#include "editor/PictureCodec.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

QLabel* textLabel(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

QuestionPreviewWindow::QuestionPreviewWindow(const QuestionPreview& preview,
                                             const QuestionPreview::LineCounter& countWrappedLines,
                                             QWidget* parent)
    : QDialog(parent) {
    setObjectName(u"试题预览"_s);
    setWindowTitle(u"试题预览"_s);
    m_stem1 = textLabel(u"标签tiwen1"_s, preview.stem1(), this);
    m_stem2 = textLabel(u"标签tiwen2"_s, preview.stem2(), this);
    m_picture = new QLabel(this);
    m_picture->setObjectName(u"图片框titu1"_s);

    const QuestionPreview::Layout l = preview.layout(countWrappedLines);
    const int left = QuestionPreview::kMargin;
    const int width = QuestionPreview::kLabelWidth;
    // An empty text keeps its one line of room but shows nothing.
    m_stem1->setGeometry(left, l.stem1Top, width, l.stem1Height);
    m_stem2->setGeometry(left, l.stem2Top, width, l.stem2Height);
    m_picture->setGeometry(left, l.pictureTop, l.pictureSize.width(), l.pictureSize.height());
    const QImage image = PictureCodec::decode(preview.stemPicture());
    if (!image.isNull() && !l.pictureSize.isEmpty())
        m_picture->setPixmap(
            QPixmap::fromImage(image.scaled(l.pictureSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));

    int height = l.windowHeight;
    if (const QScreen* screen = parent ? parent->screen() : this->screen())
        height = std::min(height, screen->availableGeometry().height());
    // The width stays fixed whatever the user does.
    setFixedWidth(QuestionPreview::kWindowWidth);
    resize(QuestionPreview::kWindowWidth, height);
}

} // namespace helan
