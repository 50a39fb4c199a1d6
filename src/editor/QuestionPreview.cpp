#include "editor/QuestionPreview.h"

#include <algorithm>

#include "editor/PictureCodec.h"
#include "model/QuestionRecord.h"
#include "store/RecordStore.h"

namespace helan {

QuestionPreview::QuestionPreview(const QString& stem1, const QString& stem2, const QByteArray& stemPicture)
    : m_stem1(stem1), m_stem2(stem2), m_stemPicture(stemPicture) {
    const QImage image = PictureCodec::decode(stemPicture);
    if (image.isNull())
        return;
    m_pictureSize = image.size();
    if (m_pictureSize.width() > kLabelWidth)
        m_pictureSize =
            QSize(kLabelWidth,
                  std::max(1, int(qint64(m_pictureSize.height()) * kLabelWidth / m_pictureSize.width())));
}

QuestionPreview QuestionPreview::fromRecord(RecordStore& store, const QString& alias, qint32 recordId) {
    if (!store.setCurrent(alias) || !store.goToRecordId(recordId))
        return QuestionPreview({}, {}, {});
    using Q = QuestionRecord;
    const bool hasPicture = store.readText(Q::StemPicture) == Q::pictureMark();
    return QuestionPreview(store.readText(Q::StemText1), store.readText(Q::StemText2),
                           hasPicture ? store.readBytes(Q::StemPictureData) : QByteArray());
}

QuestionPreview::Layout QuestionPreview::layout(const LineCounter& countWrappedLines) const {
    const auto lines = [&](const QString& text) {
        return std::max(1, countWrappedLines ? countWrappedLines(kLabelWidth, text) : 1);
    };
    Layout l;
    l.stem1Top = kMargin;
    l.stem1Height = lines(m_stem1) * kPixelsPerLine;
    l.pictureTop = l.stem1Top + l.stem1Height;
    l.pictureSize = m_pictureSize;
    l.stem2Top = l.pictureTop + m_pictureSize.height();
    l.stem2Height = lines(m_stem2) * kPixelsPerLine;
    l.windowHeight = l.stem1Height + l.stem2Height + m_pictureSize.height() + kExtraHeight;
    return l;
}

} // namespace helan
