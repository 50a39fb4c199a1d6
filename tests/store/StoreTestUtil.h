#pragma once

#include <QList>
#include <QString>

#include "store/StoreTypes.h"

namespace helan::test {

using namespace Qt::StringLiterals;

// A small table with one field of every type.
inline QList<FieldDef> sampleFields()
{
    return {
        {u"名称"_s, FieldType::Text, 20},
        {u"数量"_s, FieldType::Short},
        {u"编号"_s, FieldType::Int},
        {u"选中"_s, FieldType::Bool},
        {u"正文"_s, FieldType::Memo},
        {u"图片"_s, FieldType::Bytes},
    };
}

} // namespace helan::test
