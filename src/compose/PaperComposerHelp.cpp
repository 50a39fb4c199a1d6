#include "compose/PaperComposerHelp.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace helan {

QString PaperComposerHelp::text() {
    static const QStringList lines = {
        u""_s,  u"     可进行人工组卷和自动组卷。对不想利用的试题可进行屏蔽。组卷设计时即刻"_s,
        u" "_s, u" 显示题型和分数。"_s,
        u""_s,  u"     在“题型排序与分值设置”表格的排序列输入大于0的整数，组卷及输出时题型"_s,
        u" "_s, u" 将按这列整数升序排列；在分值列输入非零整数可批量调整题型分值（固定分值的"_s,
        u" "_s, u" 题目不调整）；鼠标右键单击可设置题型行背景颜色。"_s,
        u""_s,  u"     鼠标左键双击试题表格行可预览试题；鼠标右键单击可按单击列排序（分组序"_s,
        u" "_s, u" 号除外）或对该列选择框操作；先对知识点排序然后再对A卷或B卷降序可方便地查"_s,
        u""_s,  u" 看A卷或B卷的知识点是否重复。"_s,
        u""_s,  u"     输出文档的标题组成： 课程名 + 组卷时间（年月日时分秒）+ 试卷分值 + AB"_s,
        u""_s,  u" 卷相似度 + AB卷类型 + 试卷生成时间（年月日时分秒）+ 试题/答案。"_s,
        u""_s,  u"     每次重新生成试卷都将对同一大题的小题（同一分组的除外）以及选择类小题"_s,
        u""_s,  u" 的选项随机排序，只有试卷生成时间相同的试题和答案才是配套的。"_s,
    };
    return lines.join(u"\r\n"_s);
}

} // namespace helan
