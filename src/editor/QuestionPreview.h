#pragma once

#include <functional>

#include <QByteArray>
#include <QSize>
#include <QString>

namespace helan {

class RecordStore;

// The logic of the window "试题预览": a question's 题文1, its stem picture and
// its 题文2, stacked. Used by the bank editor and the composition window.
class QuestionPreview {
public:
    using LineCounter = std::function<int(int width, const QString& text)>;

    static constexpr int kWindowWidth = 600;
    static constexpr int kMargin = 10;
    static constexpr int kLabelWidth = kWindowWidth - 2 * kMargin;
    static constexpr int kPixelsPerLine = 14;
    // Room for the window's frame and margins below the contents.
    static constexpr int kExtraHeight = 80;

    struct Layout {
        int stem1Top = 0;
        int stem1Height = 0;
        int pictureTop = 0;
        QSize pictureSize; // empty for no picture
        int stem2Top = 0;
        int stem2Height = 0;
        int windowHeight = 0;
    };

    QuestionPreview(const QString& stem1, const QString& stem2, const QByteArray& stemPicture);
    // The question of a record of a course bank open under alias; empty when the
    // record cannot be read.
    static QuestionPreview fromRecord(RecordStore& store, const QString& alias, qint32 recordId);

    const QString& stem1() const { return m_stem1; }
    const QString& stem2() const { return m_stem2; }
    const QByteArray& stemPicture() const { return m_stemPicture; }
    // The picture's size as shown: its own, shrunk to the label width when wider;
    // empty when there is none or it cannot be decoded.
    QSize pictureSize() const { return m_pictureSize; }

    Layout layout(const LineCounter& countWrappedLines) const;

private:
    QString m_stem1;
    QString m_stem2;
    QByteArray m_stemPicture;
    QSize m_pictureSize{0, 0};
};

} // namespace helan
