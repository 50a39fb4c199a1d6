#include "editor/BankEditorHelp.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace helan {

QString BankEditorHelp::text() {
    // The lines are wrapped by hand for the help box's width; a blank line stands
    // between each two of them.
    static const QStringList lines = {
        u"     每道试题题目可使用2段文本和1幅图片，答案可使用1段文本和1幅图片。"_s,
        u"     双击单元格编辑文本和预览图片。在图片单元格单击鼠标右键可添加、预"_s,
        u" 览和删除图片（试题中若要用到表格，可将表格截屏转为图片使用）；在非图"_s,
        u" 片单元格上单击鼠标右键可按该列排序（分组序号除外）。"_s,
        u"     试题知识点可以有多个，用“|”分割。"_s,
        u"     分组名和分组序号专为英语和医学的无编号题干带多道有编号小题之题型"_s,
        u" 而设计，相同分组名的试题将同时被选择（单独屏蔽的除外）或不被选择，分"_s,
        u" 组序号为0的试题为无编号题干（即分组标题试题，该题目不允许输入答案），"_s,
        u" 后续小题在输出时将按分组序号升序排列。"_s,
        u"     课程题库可导出为.edb文件（有图片时还带一个.edt文件，导出文件名为"_s,
        u" ：课程名 + 备份- + 管理员姓名）、可从.edb文件（有图片时还带一个.edt"_s,
        u" 文件，注意两个文件应同名且位于同一目录下）导入，导入时自动排除题文1+"_s,
        u" 题文2+题图相同的试题以及分组名相同的标题试题，这样同一课程题库可分工"_s,
        u" 编写试题，再通过导出、导入进行整合。"_s,
        u"    所以选择题都需选中“选择”标记，选项为图片时整个用一张图放在题图里"_s,
        u" 而将题文2留空，答案直接输入选项编号，为满足组卷时两种选项编号的需要，"_s,
        u" 应用这两种编号即大写字母和带圈数字分别各编一题；选项为文本时放在题文2"_s,
        u" 里，选项和答案均不输编号，只输内容，选项间用回车符分割，编号将在组卷"_s,
        u" 时按随机排序生成。"_s,
    };
    return lines.join(u"\r\n\r\n"_s);
}

} // namespace helan
