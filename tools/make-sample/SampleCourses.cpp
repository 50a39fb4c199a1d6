#include "SampleCourses.h"

#include <QStringList>

#include "SamplePictures.h"
#include "model/QuestionRecord.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

const QString kTrueFalse = u"判断"_s;
const QString kChoice = u"选择"_s;
const QString kFillIn = u"填空"_s;
const QString kTerm = u"名词"_s;
const QString kEssay = u"问答"_s;

SampleQuestion make(const QString& type, const QString& points, int difficulty, int score, const QString& stem,
                    const QString& answer)
{
    SampleQuestion q;
    q.type = type;
    q.knowledgePoints = points;
    q.difficulty = difficulty;
    q.score = score;
    q.stemText1 = stem;
    q.answer = answer;
    return q;
}

// Options and multiple answers are lines separated by CR LF.
QString lines(const QStringList& items)
{
    return items.join(u"\r\n"_s);
}

SampleQuestion textChoice(const QString& points, int difficulty, const QString& stem, const QStringList& options,
                          const QStringList& answers)
{
    SampleQuestion q = make(kChoice, points, difficulty, 3, stem, lines(answers));
    q.stemText2 = lines(options);
    q.choice = true;
    return q;
}

// A question whose options are drawn in its stem picture, answered with labels.
SampleQuestion pictureChoice(const QString& points, int difficulty, const QString& stem, const QByteArray& picture,
                             const QString& labels)
{
    SampleQuestion q = make(kChoice, points, difficulty, 3, stem, labels);
    q.stemPictureData = picture;
    q.choice = true;
    return q;
}

QStringList letterLabels()
{
    return {u"A"_s, u"B"_s, u"C"_s, u"D"_s};
}

QStringList circledLabels()
{
    return {u"①"_s, u"②"_s, u"③"_s, u"④"_s};
}

// A group: its title (number "0", no answer) followed by its sub-questions, which
// share the title's type and difficulty. The title's score is the total of the
// sub-questions that are not blocked.
QList<SampleQuestion> group(const QString& name, SampleQuestion title, QList<SampleQuestion> subs)
{
    title.groupName = name;
    title.groupNumber = u"0"_s;
    title.answer.clear();
    title.answerPictureData.clear();
    title.score = 0;
    int number = 0;
    for (SampleQuestion& sub : subs) {
        sub.groupName = name;
        sub.groupNumber = QString::number(++number);
        sub.type = title.type;
        sub.difficulty = title.difficulty;
        sub.fixedScore = title.fixedScore;
        if (!sub.blocked)
            title.score += sub.score;
    }
    return QList<SampleQuestion>{title} + subs;
}

QList<SampleQuestion> trueFalseQuestions()
{
    QList<SampleQuestion> list = {
        make(kTrueFalse, u"有理数"_s, 1, 2, u"0是最小的有理数。"_s, u"×"_s),
        make(kTrueFalse, u"绝对值|相反数"_s, 2, 2, u"互为相反数的两个数的绝对值相等。"_s, u"√"_s),
        make(kTrueFalse, u"实数|无理数"_s, 4, 2, u"两个无理数的和一定是无理数。"_s, u"×"_s),
        make(kTrueFalse, u"全等三角形"_s, 5, 2, u"有两边和其中一边的对角分别相等的两个三角形全等。"_s, u"×"_s),
        make(kTrueFalse, u"平行四边形"_s, 3, 2, u"对角线互相平分的四边形是平行四边形。"_s, u"√"_s),
        make(kTrueFalse, u"三角形"_s, 2, 2, u"三角形的三条中线相交于一点。"_s, u"√"_s),
        make(kTrueFalse, u"不等式"_s, 6, 2, u"若a>b，则ac^2>bc^2。"_s, u"×"_s),
        make(kTrueFalse, u"概率"_s, 1, 2, u"任意抛掷一枚质地均匀的硬币，正面朝上的概率是二分之一。"_s, u"√"_s),
    };
    // Too easy for a paper this term.
    list.last().blocked = true;
    return list;
}

QList<SampleQuestion> choiceQuestions()
{
    QList<SampleQuestion> list = {
        textChoice(u"绝对值"_s, 1, u"-3的绝对值是（　）。"_s, {u"3"_s, u"-3"_s, u"1/3"_s, u"-1/3"_s}, {u"3"_s}),
        textChoice(u"整式|幂的运算"_s, 3, u"下列运算正确的是（　）。"_s,
                   {u"a^2·a^3=a^6"_s, u"(a^2)^3=a^5"_s, u"a^6÷a^2=a^4"_s, u"a^2+a^2=a^4"_s}, {u"a^6÷a^2=a^4"_s}),
        textChoice(u"科学记数法"_s, 2,
                   u"某市参加中考的学生约有128000人，数据128000用科学记数法表示为（　）。"_s,
                   {u"1.28×10^5"_s, u"12.8×10^4"_s, u"1.28×10^6"_s, u"0.128×10^6"_s}, {u"1.28×10^5"_s}),
        textChoice(u"实数|无理数"_s, 4, u"下列各数中，是无理数的有（　）。（多选）"_s,
                   {u"√2"_s, u"π"_s, u"22/7"_s, u"0.333…"_s, u"√9"_s}, {u"√2"_s, u"π"_s}),
        textChoice(u"一元二次方程|根的判别式"_s, 4, u"一元二次方程x^2-4x+4=0的根的情况是（　）。"_s,
                   {u"有两个不相等的实数根"_s, u"有两个相等的实数根"_s, u"没有实数根"_s, u"无法确定"_s},
                   {u"有两个相等的实数根"_s}),
        textChoice(u"一次函数"_s, 3, u"一次函数y=2x-1的图象不经过（　）。"_s,
                   {u"第一象限"_s, u"第二象限"_s, u"第三象限"_s, u"第四象限"_s}, {u"第二象限"_s}),
        textChoice(u"反比例函数"_s, 3, u"已知反比例函数y=k/x的图象经过点(2，-3)，则k的值是（　）。"_s,
                   {u"6"_s, u"-6"_s, u"3/2"_s, u"-3/2"_s}, {u"-6"_s}),
        textChoice(u"统计|众数|中位数"_s, 2, u"一组数据3，5，5，6，8的众数和中位数分别是（　）。"_s,
                   {u"5，5"_s, u"5，6"_s, u"6，5"_s, u"5，5.4"_s}, {u"5，5"_s}),
        textChoice(u"等腰三角形|三角形内角和"_s, 6, u"下列说法中，正确的有（　）。（多选）"_s,
                   {u"等腰三角形的两个底角相等"_s, u"直角三角形的两个锐角互余"_s, u"三角形的外角大于任何一个内角"_s,
                    u"三角形的一个外角等于与它不相邻的两个内角的和"_s},
                   {u"等腰三角形的两个底角相等"_s, u"直角三角形的两个锐角互余"_s,
                    u"三角形的一个外角等于与它不相邻的两个内角的和"_s}),
    };
    // A drawn stem with text options: the options are the text lines.
    SampleQuestion sine = textChoice(u"锐角三角函数|勾股定理"_s, 5,
                                     u"如图，在Rt△ABC中，∠C=90°，AC=3，BC=4，则sinA的值为（　）。"_s,
                                     {u"3/5"_s, u"4/5"_s, u"3/4"_s, u"4/3"_s}, {u"4/5"_s});
    sine.stemPictureData = SamplePictures::rightTriangle();
    list.append(sine);

    // The same two questions with the options in the picture, once labelled with
    // letters and once with circled numbers.
    const QString symmetric = u"下列图形中，既是轴对称图形又是中心对称图形的是（　）。"_s;
    const QString decreasing = u"下列一次函数的图象中，y随x的增大而减小的有（　）。（多选）"_s;
    list.append(pictureChoice(u"轴对称|中心对称"_s, 3, symmetric, SamplePictures::shapeOptions(letterLabels()),
                              u"C"_s));
    list.append(pictureChoice(u"轴对称|中心对称"_s, 3, symmetric, SamplePictures::shapeOptions(circledLabels()),
                              u"③"_s));
    list.append(pictureChoice(u"一次函数|函数图象"_s, 4, decreasing, SamplePictures::lineOptions(letterLabels()),
                              u"BD"_s));
    list.append(pictureChoice(u"一次函数|函数图象"_s, 4, decreasing, SamplePictures::lineOptions(circledLabels()),
                              u"②④"_s));
    return list;
}

QList<SampleQuestion> fillInQuestions()
{
    QList<SampleQuestion> list = {
        make(kFillIn, u"因式分解"_s, 3, 3, u"分解因式：x^2-9=________。"_s, u"(x+3)(x-3)"_s),
        make(kFillIn, u"二次根式"_s, 3, 3, u"若二次根式√(x-2)有意义，则x的取值范围是________。"_s, u"x≥2"_s),
        make(kFillIn, u"一元一次方程"_s, 1, 3, u"方程2x+3=7的解是________。"_s, u"x=2"_s),
        make(kFillIn, u"等腰三角形|三角形内角和"_s, 2, 3, u"如图，在△ABC中，AB=AC，∠A=40°，则∠B=________度。"_s,
             u"70"_s),
        make(kFillIn, u"概率"_s, 2, 3,
             u"一个不透明的袋子中装有3个红球和2个白球，它们除颜色外都相同。从中随机摸出一个球，摸到红球的概率是________。"_s,
             u"3/5"_s),
        make(kFillIn, u"二次函数"_s, 4, 3, u"二次函数y=(x-1)^2+2的图象的顶点坐标是________。"_s, u"(1，2)"_s),
        make(kFillIn, u"圆|直线与圆的位置关系"_s, 4, 3,
             u"⊙O的半径为5cm，圆心O到直线l的距离为3cm，则直线l与⊙O的位置关系是________。"_s, u"相交"_s),
        make(kFillIn, u"不等式组"_s, 5, 3, u"不等式组x+1>0，2x-4≤0的解集是________。"_s, u"-1<x≤2"_s),
        make(kFillIn, u"二次函数|函数图象"_s, 6, 3,
             u"如图是二次函数y=-(x-1)^2+4的图象，当x________时，y随x的增大而增大。"_s, u"<1"_s),
        make(kFillIn, u"勾股定理|直角三角形"_s, 5, 3,
             u"在Rt△ABC中，∠C=90°，AC=6，BC=8，则斜边AB上的中线长为________。"_s, u"5"_s),
        make(kFillIn, u"实数|零指数幂"_s, 3, 4, u"计算：|-2|+(π-3)^0-(1/2)^(-1)=________。"_s, u"1"_s),
    };
    list[3].stemPictureData = SamplePictures::isoscelesTriangle();
    list[8].stemPictureData = SamplePictures::parabolaGraph();
    // Worth more than the other blanks whatever the type's score becomes.
    list[10].fixedScore = true;
    return list;
}

QList<SampleQuestion> termQuestions()
{
    QList<SampleQuestion> list = {
        make(kTerm, u"有理数"_s, 1, 4, u"有理数"_s, u"整数和分数统称为有理数。"_s),
        make(kTerm, u"勾股定理"_s, 2, 4, u"勾股定理"_s, u"直角三角形两条直角边的平方和等于斜边的平方。"_s),
        make(kTerm, u"平行四边形"_s, 1, 4, u"平行四边形"_s, u"两组对边分别平行的四边形叫做平行四边形。"_s),
        make(kTerm, u"一元二次方程"_s, 2, 4, u"一元二次方程"_s,
             u"只含有一个未知数，并且未知数的最高次数是2的整式方程叫做一元二次方程。"_s),
        make(kTerm, u"统计|中位数"_s, 2, 4, u"中位数"_s,
             u"将一组数据按大小顺序排列，处在最中间位置的一个数（或最中间两个数的平均数）叫做这组数据的中位数。"_s),
        make(kTerm, u"反比例函数"_s, 3, 4, u"反比例函数"_s, u"形如y=k/x（k为常数，k≠0）的函数叫做反比例函数。"_s),
        make(kTerm, u"相似三角形"_s, 3, 4, u"相似三角形"_s, u"对应角相等、对应边成比例的两个三角形叫做相似三角形。"_s),
    };
    // Kept for next year's syllabus.
    list.last().blocked = true;
    return list;
}

QList<SampleQuestion> essayQuestions()
{
    QList<SampleQuestion> list = {
        make(kEssay, u"二元一次方程组"_s, 3, 6, u"解方程组：x+y=5，2x-y=1。"_s,
             u"两式相加得3x=6，所以x=2；把x=2代入x+y=5得y=3。所以方程组的解是x=2，y=3。"_s),
        make(kEssay, u"一元二次方程|因式分解"_s, 4, 6, u"解方程：x^2-5x+6=0。"_s,
             u"因式分解得(x-2)(x-3)=0，所以x-2=0或x-3=0，即x1=2，x2=3。"_s),
        make(kEssay, u"分式"_s, 5, 6, u"先化简，再求值：(1-1/(x+1))÷x/(x^2-1)，其中x=3。"_s,
             u"原式=x/(x+1)·(x+1)(x-1)/x=x-1。当x=3时，原式=3-1=2。"_s),
        make(kEssay, u"一次函数|平面直角坐标系"_s, 4, 8,
             u"在平面直角坐标系中画出一次函数y=2x-1的图象，并写出它与两坐标轴的交点坐标。"_s,
             u"图象如答图所示。它与x轴的交点为(1/2，0)，与y轴的交点为(0，-1)。"_s),
        make(kEssay, u"轴对称"_s, 3, 6, u"如图，已知△ABC和直线l，画出△ABC关于直线l对称的△A′B′C′。"_s,
             u"分别作点A、B、C关于直线l的对称点A′、B′、C′，顺次连接即得△A′B′C′，如答图所示。"_s),
        make(kEssay, u"全等三角形|等腰三角形"_s, 6, 8, u"如图，在△ABC中，AB=AC，D是BC的中点。求证：AD⊥BC。"_s,
             u"证明：在△ABD和△ACD中，AB=AC，BD=CD，AD=AD，所以△ABD≌△ACD（SSS），所以∠ADB=∠ADC。"
             u"又因为∠ADB+∠ADC=180°，所以∠ADB=90°，即AD⊥BC。"_s),
        make(kEssay, u"二次函数|二次函数的应用"_s, 8, 10,
             u"某商品每件进价40元，售价60元时每天可卖出300件。经调查，售价每上涨1元，每天少卖出10件。"
             u"售价定为多少元时，每天的利润最大？最大利润是多少？"_s,
             u"设售价为x元，每天的利润为y元，则y=(x-40)[300-10(x-60)]=-10(x-65)^2+6250。"
             u"所以售价定为65元时，每天的利润最大，最大利润为6250元。"_s),
        make(kEssay, u"一元二次方程|根的判别式"_s, 5, 6,
             u"已知关于x的一元二次方程x^2+2x+m=0有两个不相等的实数根，求m的取值范围。"_s,
             u"由题意得Δ=2^2-4m>0，解得m<1。"_s),
        make(kEssay, u"圆|圆周角"_s, 7, 8,
             u"如图，AB是⊙O的直径，点C在⊙O上，∠ABC=30°，AC=2，求⊙O的半径。"_s,
             u"因为AB是⊙O的直径，所以∠ACB=90°。又∠ABC=30°，所以AB=2AC=4，故⊙O的半径为2。"_s),
        make(kEssay, u"统计|方差"_s, 5, 8,
             u"某小组5名同学一次数学测验的成绩分别为82，90，75，90，88（单位：分）。求这组数据的平均数、众数和方差。"_s,
             u"平均数为(82+90+75+90+88)÷5=85（分）；众数为90分；"
             u"方差为[(82-85)^2+(90-85)^2+(75-85)^2+(90-85)^2+(88-85)^2]÷5=33.6。"_s),
        make(kEssay, u"勾股定理"_s, 3, 6,
             u"一艘船从A港出发，向正东方向航行20海里到达B处，再向正北方向航行15海里到达C处。求C处到A港的距离。"_s,
             u"由题意，∠ABC=90°，AB=20，BC=15，所以AC=√(20^2+15^2)=25（海里）。"_s),
        make(kEssay, u"二次函数|轴对称|三角形面积"_s, 9, 12,
             u"已知抛物线y=x^2-2x-3与x轴交于A、B两点（点A在点B的左侧），与y轴交于点C。"
             u"(1)求A、B、C三点的坐标；(2)求△ABC的面积；"
             u"(3)在抛物线的对称轴上是否存在点P，使PA+PC的值最小？若存在，求出点P的坐标。"_s,
             u"(1)A(-1，0)，B(3，0)，C(0，-3)。(2)AB=4，OC=3，所以△ABC的面积为4×3÷2=6。"
             u"(3)存在。点A、B关于对称轴x=1对称，所以PA+PC=PB+PC，当P在线段BC上时最小。"
             u"直线BC的解析式为y=x-3，当x=1时y=-2，所以P(1，-2)。"_s),
        make(kEssay, u"相似三角形"_s, 4, 6,
             u"在△ABC中，点D、E分别在边AB、AC上，DE∥BC，AD=2，DB=3，DE=4，求BC的长。"_s,
             u"因为DE∥BC，所以△ADE∽△ABC，所以DE/BC=AD/AB=2/5，所以BC=10。"_s),
        make(kEssay, u"分式方程|一元二次方程"_s, 7, 8,
             u"甲、乙两地相距360千米，一辆汽车从甲地开往乙地。若每小时比原计划多行驶10千米，则可提前1.2小时到达。"
             u"求原计划的速度。"_s,
             u"设原计划的速度为每小时x千米，则360/x-360/(x+10)=1.2，整理得x^2+10x-3000=0，"
             u"解得x1=50，x2=-60（舍去）。经检验x=50是原方程的解。答：原计划的速度为每小时50千米。"_s),
    };
    list[3].answerPictureData = SamplePictures::lineGraph();
    list[4].stemPictureData = SamplePictures::reflection(false);
    list[4].answerPictureData = SamplePictures::reflection(true);
    list[5].stemPictureData = SamplePictures::isoscelesMedian();
    list[8].stemPictureData = SamplePictures::circleWithDiameter();
    // A long problem the teacher always marks out of 12.
    list[11].fixedScore = true;
    return list;
}

QList<SampleQuestion> yangHuiGroup()
{
    SampleQuestion title = make(kFillIn, u"杨辉三角|规律探究"_s, 5, 0,
                                u"阅读下列材料，解答后面的问题。我国南宋数学家杨辉在《详解九章算法》中记载了一个由数排成的"
                                u"三角形数表（如图），后人称之为“杨辉三角”。表中每行两端的数都是1，其余每个数都等于它"
                                u"肩上两个数的和。"_s,
                                QString());
    title.stemPictureData = SamplePictures::yangHuiTriangle();
    QList<SampleQuestion> subs = {
        make(kFillIn, u"杨辉三角|规律探究"_s, 5, 3, u"杨辉三角第6行的数依次是________。"_s, u"1，5，10，10，5，1"_s),
        make(kFillIn, u"杨辉三角|整式"_s, 5, 3, u"第n行所有数的和是________（用含n的式子表示）。"_s, u"2^(n-1)"_s),
        make(kFillIn, u"杨辉三角|多项式乘法"_s, 5, 3, u"(a+b)^4展开后各项的系数依次是________。"_s,
             u"1，4，6，4，1"_s),
        make(kFillIn, u"杨辉三角|多项式乘法"_s, 5, 4, u"(a+b)^5展开式中a^3b^2项的系数是________。"_s, u"10"_s),
    };
    // Beyond this year's syllabus: left out of papers, and of the title's score.
    subs.last().blocked = true;
    return group(u"阅读材料杨辉三角"_s, title, subs);
}

QList<SampleQuestion> readingTimeGroup()
{
    SampleQuestion title = make(kChoice, u"统计|频数分布表"_s, 4, 0,
                                u"某校为了解九年级学生每周的课外阅读时间，随机抽查了部分学生，并将调查结果整理成下表"
                                u"（如图）。根据表中信息，回答下列问题。"_s,
                                QString());
    title.stemPictureData = SamplePictures::readingTimeTable();
    QList<SampleQuestion> subs = {
        textChoice(u"统计|样本容量"_s, 4, u"本次共抽查了多少名学生？（　）"_s,
                   {u"40名"_s, u"50名"_s, u"60名"_s, u"100名"_s}, {u"50名"_s}),
        textChoice(u"统计|百分比"_s, 4, u"每周阅读时间在4～6小时的学生所占的百分比是（　）。"_s,
                   {u"14%"_s, u"20%"_s, u"28%"_s, u"40%"_s}, {u"28%"_s}),
        textChoice(u"统计|中位数"_s, 4, u"这组数据的中位数落在哪一组？（　）"_s,
                   {u"0～2小时"_s, u"2～4小时"_s, u"4～6小时"_s, u"6～8小时"_s}, {u"2～4小时"_s}),
        textChoice(u"统计|用样本估计总体"_s, 4,
                   u"若该校九年级共有600名学生，估计每周课外阅读时间不少于6小时的约有（　）。"_s,
                   {u"48人"_s, u"96人"_s, u"120人"_s, u"160人"_s}, {u"96人"_s}),
        textChoice(u"统计|样本容量"_s, 4, u"下列说法中，正确的有（　）。（多选）"_s,
                   {u"样本容量是50"_s, u"阅读时间在2～4小时的人数最多"_s, u"被抽查学生的阅读时间都超过2小时"_s,
                    u"阅读时间在6～8小时的人数最少"_s},
                   {u"样本容量是50"_s, u"阅读时间在2～4小时的人数最多"_s}),
    };
    subs[0].score = 2;
    subs[1].score = 2;
    subs[2].score = 2;
    subs[3].score = 2;
    return group(u"阅读材料课外阅读调查"_s, title, subs);
}

} // namespace

QList<SampleQuestion> SampleCourses::mathQuestions()
{
    return trueFalseQuestions() + choiceQuestions() + yangHuiGroup() + fillInQuestions() + termQuestions()
        + readingTimeGroup() + essayQuestions();
}

QList<SampleQuestion> SampleCourses::englishQuestions()
{
    SampleQuestion polite = textChoice(u"交际用语"_s, 2, u"— Would you like some tea? — ________."_s,
                                       {u"Yes, please."_s, u"No, I don't."_s, u"Yes, I would like."_s,
                                        u"That's right."_s},
                                       {u"Yes, please."_s});
    SampleQuestion nouns = textChoice(u"词性|名词"_s, 3, u"Which of the following words are nouns? (多选)"_s,
                                      {u"happy"_s, u"teacher"_s, u"quickly"_s, u"apple"_s},
                                      {u"teacher"_s, u"apple"_s});
    return {
        make(kTrueFalse, u"名词|名词复数"_s, 1, 2, u"\"Children\" is the plural form of \"child\"."_s, u"√"_s),
        make(kTrueFalse, u"时态|一般过去时"_s, 2, 2, u"The past tense of \"go\" is \"goed\"."_s, u"×"_s),
        polite,
        nouns,
        make(kFillIn, u"时态|一般现在时"_s, 2, 3, u"She ________ (go) to school by bike every day."_s, u"goes"_s),
        make(kFillIn, u"介词"_s, 3, 3, u"My birthday is ________ May 5th."_s, u"on"_s),
        make(kTerm, u"词汇"_s, 3, 4, u"library"_s, u"A place where books are kept for people to read or borrow."_s),
        make(kEssay, u"翻译|一般现在时"_s, 4, 6, u"把下列句子翻译成英语：我每天早上七点起床。"_s,
             u"I get up at seven every morning."_s),
    };
}

} // namespace helan
