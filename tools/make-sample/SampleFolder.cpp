#include "SampleFolder.h"

#include "DataFolderWriter.h"
#include "SampleCourses.h"

using namespace Qt::StringLiterals;

namespace helan {

QString SampleFolder::administratorName()
{
    return u"林老师"_s;
}

QString SampleFolder::administratorPassword()
{
    return u"lin2024"_s;
}

QString SampleFolder::mathCourse()
{
    return u"示例课程"_s;
}

QString SampleFolder::mathPassword()
{
    return u"shuxue"_s;
}

QString SampleFolder::englishCourse()
{
    return u"英语练习"_s;
}

bool SampleFolder::write(const QString& folder, QString* error)
{
    DataFolderWriter writer(folder);
    const auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    if (writer.hadCatalogue())
        return fail(folder + u" already holds a catalogue"_s);
    const bool written = writer.prepare(administratorName(), administratorPassword())
        && writer.addCourse(mathCourse(), mathPassword(), u"1-3 基础题，4-6 中档题，7-9 压轴题"_s,
                            SampleCourses::mathQuestions())
        && writer.addCourse(englishCourse(), QString(), u"1-3 基础，4-6 提高"_s, SampleCourses::englishQuestions());
    return written || fail(writer.errorText());
}

} // namespace helan
