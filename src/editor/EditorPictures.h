#pragma once

#include <QByteArray>
#include <QString>

namespace helan {

class BankEditor;
class PictureClipboard;
class Prompter;
class RecordStore;

// The picture items of the bank editor's right-click menu, on the question of the
// current row and the picture slot of the current column (题图 or 答图): preview,
// delete, copy to the clipboard, add from a file, and storing a picture that the
// clipboard window took. A picture only ever goes into an empty slot.
class EditorPictures {
public:
    // The file-open dialog's filter for pictures.
    static QString fileFilter();
    static QString tooLargeMessage();

    EditorPictures(BankEditor& editor, RecordStore& store, Prompter& prompter, PictureClipboard& clipboard);

    // Reads the current cell's picture for the preview window; false (nothing to
    // show) when the cell holds no picture.
    bool preparePreview();
    const QByteArray& previewPicture() const { return m_previewPicture; }
    const QString& previewCaption() const { return m_previewCaption; }

    // 删除图片, after asking.
    void deletePicture();
    // 复制图片: the decoded picture onto the clipboard; nothing happens (and
    // nothing is said) when it cannot be decoded.
    void copyPictureToClipboard();
    // 从文件添加: any format the readers know becomes JPEG unless the file is
    // named as a JPEG; what cannot be decoded is kept as the file's bytes.
    void addPictureFromFile();
    // Puts picture bytes into the current slot. A stem picture that would make
    // the question a duplicate is taken out again; false then.
    bool storePicture(const QByteArray& picture);

private:
    bool isPictureColumn(int column) const;
    // Makes the bank current and its record of the row current.
    bool goToRowRecord(int row);
    bool writePicture(int column, const QString& mark, const QByteArray& bytes);

    BankEditor& m_editor;
    RecordStore& m_store;
    Prompter& m_prompter;
    PictureClipboard& m_clipboard;
    QByteArray m_previewPicture;
    QString m_previewCaption;
};

} // namespace helan
