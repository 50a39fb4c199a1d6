#include "app/ProgramHelp.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace helan {

QString ProgramHelp::windowTitle()
{
    return u"程序说明"_s;
}

QString ProgramHelp::text()
{
    const QStringList lines = {
        u"                        禾岚"_s,
        u"                                1.0"_s,
        u"    本系统以课程为单位存放与操作试题，一次编写题库，无限次组卷使用，"_s,
        u" 方便、快捷、高效，适用于各级各类试题，包括英语和医学试卷使用的一个"_s,
        u" 题干带多道小题的形式。   "_s,
        u"    本系统可任意方便地添加、删除课程和题型，每道试题题目可使用2段文"_s,
        u" 本和1幅图片，答案可使用1段文本和1幅图片。课程题库可导出导入，导入时"_s,
        u" 自动排除重复试题，这样同一课程题库可分工编写试题，再通过导出、导入"_s,
        u" 进行整合。"_s,
        u"    本系统可进行人工组卷和自动组卷。对不想利用的试题可进行屏蔽。自动"_s,
        u" 组卷时相同知识点（不包括空知识点）不会重复。可单独或同时组A、B卷，并"_s,
        u" 可对A、B卷的相似度进行控制。组卷设计时即刻显示题型和分数。可批量调整"_s,
        u" 题型分值。"_s,
        u"    本系统可将组好的试卷及其答案输出为word（优先）文档或html文档，题"_s,
        u" 型题目自动编号，全卷小题可连续编号，并可调整试卷的题型顺序。"_s,
    };
    // Lines joined by line breaks: the leading empty line, then each text line
    // with the empty line (two for the version) that follows it.
    QStringList shown = {QString()};
    for (qsizetype i = 0; i < lines.size(); ++i) {
        shown << lines[i] << QString();
        if (i == 1)
            shown << QString();
    }
    return shown.join(u'\n');
}

} // namespace helan
