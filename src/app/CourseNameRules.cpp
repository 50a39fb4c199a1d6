#include "app/CourseNameRules.h"

#include <QRegularExpression>

#include "base/Gbk.h"
#include "model/CourseCatalog.h"
#include "model/QuestionTypeLibrary.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

bool hasForbiddenCharacter(const QString& name)
{
    static const QString forbidden = u"/\\:*?\"<>|"_s;
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || forbidden.contains(c))
            return true;
    }
    return false;
}

// Names Windows reserves for devices, with or without an extension; a bank file
// named like that could not be copied to a Windows machine.
bool isDeviceName(const QString& name)
{
    static const QRegularExpression device(u"^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])(\\..*)?$"_s,
                                           QRegularExpression::CaseInsensitiveOption);
    return device.match(name).hasMatch();
}

} // namespace

QString CourseNameRules::refusal(const QString& name)
{
    if (gbkLength(name) > kMaxBytes)
        return u"课程名称不能超过20个字节（10个汉字）！"_s;
    if (name == CourseCatalog::tableName() || name == QuestionTypeLibrary::tableName())
        return u"课程名称不能是“课程列表”或“题型库”！"_s;
    if (hasForbiddenCharacter(name))
        return u"课程名称不能含有 / \\ : * ? \" < > | 和控制字符！"_s;
    if (name.startsWith(u'.') || name.endsWith(u'.'))
        return u"课程名称不能以“.”开头或结尾！"_s;
    if (isDeviceName(name))
        return u"课程名称不能是设备名 "_s + name + u" ！"_s;
    return {};
}

} // namespace helan
