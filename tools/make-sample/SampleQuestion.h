#pragma once

#include <QByteArray>
#include <QString>
#include <QVariantList>

namespace helan {

// One question on its way into a bank, field by field. The picture marks are not
// kept here: a picture's mark follows from whether its bytes are there.
struct SampleQuestion {
    QString knowledgePoints;
    QString groupName;
    QString groupNumber;
    QString stemText1;
    QString stemText2;
    QString answer;
    QString type;
    int difficulty = 1;
    int score = 1;
    bool choice = false;
    bool fixedScore = false;
    bool blocked = false;
    QByteArray stemPictureData;
    QByteArray answerPictureData;

    // The sixteen values in the order of a bank record, ready to append.
    QVariantList toValues() const;
};

} // namespace helan
