#include "model/QuestionRecord.h"

#include <array>

using namespace Qt::StringLiterals;

namespace helan {

namespace {

struct FieldLayout {
    const char16_t* name;
    FieldType type;
    int width;
};

constexpr std::array<FieldLayout, QuestionRecord::kFieldCount> kFields{{
    {u"知识点", FieldType::Text, QuestionRecord::kKnowledgePointsWidth},
    {u"分组名", FieldType::Text, QuestionRecord::kGroupNameWidth},
    {u"分组号", FieldType::Text, QuestionRecord::kGroupNumberWidth},
    {u"题文1", FieldType::Memo, 0},
    {u"题图", FieldType::Text, 4},
    {u"题文2", FieldType::Memo, 0},
    {u"答案", FieldType::Memo, 0},
    {u"答图", FieldType::Text, 4},
    {u"题型", FieldType::Text, QuestionRecord::kTypeWidth},
    {u"难度", FieldType::Short, 0},
    {u"分值", FieldType::Short, 0},
    {u"选择", FieldType::Bool, 0},
    {u"定分", FieldType::Bool, 0},
    {u"屏蔽", FieldType::Bool, 0},
    {u"题图数据", FieldType::Bytes, 0},
    {u"答图数据", FieldType::Bytes, 0},
}};

} // namespace

QString QuestionRecord::fieldName(Field field)
{
    return QString::fromUtf16(kFields.at(size_t(field - 1)).name);
}

QList<FieldDef> QuestionRecord::fieldDefs()
{
    QList<FieldDef> defs;
    defs.reserve(kFieldCount);
    for (const FieldLayout& layout : kFields)
        defs.append({QString::fromUtf16(layout.name), layout.type, layout.width});
    return defs;
}

QString QuestionRecord::pictureMark()
{
    return u"√"_s;
}

bool QuestionRecord::isGroupTitle(const QString& groupNumber)
{
    return groupNumber == u"0";
}

} // namespace helan
