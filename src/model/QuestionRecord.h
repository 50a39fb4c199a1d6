#pragma once

#include <QList>
#include <QString>

#include "store/StoreTypes.h"

namespace helan {

// The schema of a course bank record. Several operations address fields by
// position and export/import copy whole records, so the order is fixed.
class QuestionRecord {
public:
    // Field positions, from 1. Usable wherever the store takes a FieldRef.
    enum Field : int {
        KnowledgePoints = 1, // 知识点: pieces separated by "|"
        GroupName,           // 分组名
        GroupNumber,         // 分组号: "0" for a group's title question
        StemText1,           // 题文1
        StemPicture,         // 题图: pictureMark() when StemPictureData holds one
        StemText2,           // 题文2: a choice question's text options, one a line
        Answer,              // 答案
        AnswerPicture,       // 答图: pictureMark() when AnswerPictureData holds one
        Type,                // 题型: a type name of the question type library
        Difficulty,          // 难度: 1 … 9
        Score,               // 分值: 1 … 100
        Choice,              // 选择
        FixedScore,          // 定分: left alone by batch score changes
        Blocked,             // 屏蔽: never used in a paper
        StemPictureData,     // 题图数据: encoded image
        AnswerPictureData,   // 答图数据
    };
    static constexpr int kFieldCount = 16;

    // Byte limits the editors enforce before writing.
    static constexpr int kKnowledgePointsWidth = 512;
    static constexpr int kGroupNameWidth = 512;
    static constexpr int kGroupNumberWidth = 2;
    static constexpr int kTypeWidth = 512;

    // The field's name in the table, e.g. "知识点".
    static QString fieldName(Field field);
    // The sixteen field definitions in order.
    static QList<FieldDef> fieldDefs();

    // "√", the mark of 题图 / 答图 when there is a picture.
    static QString pictureMark();
    // A question is a group's title question exactly when its 分组号 is "0".
    static bool isGroupTitle(const QString& groupNumber);
};

} // namespace helan
