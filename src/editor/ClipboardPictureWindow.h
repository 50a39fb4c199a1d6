#pragma once

#include <functional>

#include <QByteArray>
#include <QDialog>

class QLabel;
class QPushButton;

namespace helan {

class ClipboardPictureImport;

// The window "从剪贴板导入图片": shows the clipboard's picture in 图片框1; 保存
// hands its bytes to the store callback and closes the window.
class ClipboardPictureWindow : public QDialog {
    Q_OBJECT
public:
    using Store = std::function<void(const QByteArray& picture)>;

    ClipboardPictureWindow(ClipboardPictureImport& logic, Store store, QWidget* parent = nullptr);

private:
    void reimport();
    void save();

    ClipboardPictureImport& m_logic;
    Store m_store;
    QLabel* m_box;
    QPushButton* m_save;
};

} // namespace helan
