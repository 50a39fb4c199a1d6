#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>

class QLabel;

namespace helan {

// The window "图片预览": one question picture at its own size in 图片框1, which
// takes the whole window; a picture larger than the screen is scrolled.
// Undecodable bytes show an empty box.
class PicturePreviewWindow : public QDialog {
    Q_OBJECT
public:
    PicturePreviewWindow(const QByteArray& picture, const QString& caption, QWidget* parent = nullptr);

    bool showsPicture() const;

private:
    QLabel* m_box;
};

} // namespace helan
