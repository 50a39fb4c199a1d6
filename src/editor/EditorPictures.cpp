#include "editor/EditorPictures.h"

#include <QFile>
#include <QVariantList>

#include "base/Prompter.h"
#include "editor/BankEditor.h"
#include "editor/PictureClipboard.h"
#include "editor/PictureCodec.h"
#include "model/QuestionRecord.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

using Q = QuestionRecord;

int flagField(int column) {
    return column == BankEditor::StemPictureColumn ? Q::StemPicture : Q::AnswerPicture;
}

int bytesField(int column) {
    return column == BankEditor::StemPictureColumn ? Q::StemPictureData : Q::AnswerPictureData;
}

} // namespace

QString EditorPictures::fileFilter() {
    return u"所有图片文件|*.jpg;*.gif;*.bmp;*.png;*.ico;*.tiff|jpeg（*.jpg;*.jpeg;*.jpe;*.jfif）|*.jpg;*."
           u"jpeg;*.jpe;"
           u"*.jfif|gif（*.gif）|*.gif|bmp（*.bmp）|*.bmp|png（*.png）|*.png|ico（*.ico）|*.ico|tiff（*.tif;*"
           u".tiff）|"
           u"*.tif;*.tiff"_s;
}

QString EditorPictures::tooLargeMessage() {
    return u"图片尺寸太大，无法读取，请缩小后再添加！"_s;
}

EditorPictures::EditorPictures(BankEditor& editor, RecordStore& store, Prompter& prompter,
                               PictureClipboard& clipboard)
    : m_editor(editor), m_store(store), m_prompter(prompter), m_clipboard(clipboard) {}

bool EditorPictures::isPictureColumn(int column) const {
    return column == BankEditor::StemPictureColumn || column == BankEditor::AnswerPictureColumn;
}

bool EditorPictures::goToRowRecord(int row) {
    const GridModel& grid = m_editor.grid();
    if (row < 1 || row >= grid.rowCount() || !m_store.setCurrent(m_editor.courseName()))
        return false;
    return m_store.goToRecordId(qint32(grid.text(row, BankEditor::RecordIdColumn).toInt()));
}

bool EditorPictures::writePicture(int column, const QString& mark, const QByteArray& bytes) {
    // Flag and bytes change in one write, so they never disagree on disk.
    QVariantList values(Q::kFieldCount);
    values[flagField(column) - 1] = mark;
    values[bytesField(column) - 1] = bytes;
    return m_store.modify(values);
}

bool EditorPictures::preparePreview() {
    const int row = m_editor.currentRow();
    const int column = m_editor.currentColumn();
    if (!isPictureColumn(column) || m_editor.grid().text(row, column).isEmpty() || !goToRowRecord(row))
        return false;
    m_previewPicture = m_store.readBytes(bytesField(column));
    m_previewCaption = m_editor.grid().text(0, column);
    return true;
}

void EditorPictures::deletePicture() {
    const int row = m_editor.currentRow();
    const int column = m_editor.currentColumn();
    if (!isPictureColumn(column) || m_editor.grid().text(row, column) != Q::pictureMark())
        return;
    if (!m_prompter.okCancel(u"确定要删除该图片吗"_s))
        return;
    if (!goToRowRecord(row) || !writePicture(column, QString(), QByteArray())) {
        m_prompter.message(u"图片未能从题库删除："_s + RecordStore::lastErrorText(), {}, Prompter::Icon::Error);
        return;
    }
    m_editor.grid().setText(row, column, QString());
}

void EditorPictures::copyPictureToClipboard() {
    const int row = m_editor.currentRow();
    const int column = m_editor.currentColumn();
    if (!isPictureColumn(column) || m_editor.grid().text(row, column).isEmpty() || !goToRowRecord(row))
        return;
    const QImage image = PictureCodec::decode(m_store.readBytes(bytesField(column)));
    if (!image.isNull())
        m_clipboard.setImage(image);
}

void EditorPictures::addPictureFromFile() {
    if (!isPictureColumn(m_editor.currentColumn()))
        return;
    m_store.setCurrent(m_editor.courseName());
    const QString path = m_prompter.openFile(QString(), fileFilter());
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_prompter.message(u"无法读取文件 "_s + path, {}, Prompter::Icon::Error);
        return;
    }
    QByteArray picture = file.readAll();
    // A picture the readers would refuse to allocate could never be shown or
    // printed; it is refused here rather than stored as undecodable bytes.
    if (PictureCodec::exceedsDecoderLimit(picture)) {
        m_prompter.message(tooLargeMessage(), {}, Prompter::Icon::Warning);
        return;
    }
    if (!PictureCodec::keepsFileAsIs(path)) {
        if (std::optional<QByteArray> jpeg = PictureCodec::reencodeAsJpeg(picture))
            picture = std::move(*jpeg);
    }
    storePicture(picture);
}

bool EditorPictures::storePicture(const QByteArray& picture) {
    const int row = m_editor.currentRow();
    const int column = m_editor.currentColumn();
    if (!isPictureColumn(column) || !goToRowRecord(row))
        return false;
    if (!writePicture(column, Q::pictureMark(), picture)) {
        m_prompter.message(u"图片未能写入题库："_s + RecordStore::lastErrorText(), {}, Prompter::Icon::Error);
        return false;
    }
    if (column == BankEditor::StemPictureColumn && m_editor.isDuplicate(row)) {
        m_editor.moveToCell(row, BankEditor::StemText1Column);
        m_prompter.message(u"试题重复！"_s);
        if (goToRowRecord(row) && writePicture(column, QString(), QByteArray()))
            return false;
        // The picture could not be taken out again: the cell shows what is stored.
        m_editor.grid().setText(row, column, Q::pictureMark());
        m_prompter.message(u"图片未能从题库删除："_s + RecordStore::lastErrorText(), {}, Prompter::Icon::Error);
        return false;
    }
    m_editor.grid().setText(row, column, Q::pictureMark());
    return true;
}

} // namespace helan
