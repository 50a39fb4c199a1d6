#pragma once

#include <QDialog>

#include "editor/QuestionPreview.h"

class QLabel;

namespace helan {

// The window "试题预览": 标签tiwen1, 图片框titu1 and 标签tiwen2 stacked, 600
// pixels wide, each as high as its content needs.
class QuestionPreviewWindow : public QDialog {
    Q_OBJECT
public:
    QuestionPreviewWindow(const QuestionPreview& preview,
                          const QuestionPreview::LineCounter& countWrappedLines, QWidget* parent = nullptr);

private:
    QLabel* m_stem1;
    QLabel* m_picture;
    QLabel* m_stem2;
};

} // namespace helan
