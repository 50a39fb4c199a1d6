#include "SyntheticBank.h"

#include <random>

#include <QBuffer>
#include <QImage>
#include <QStringList>

#include "DataFolderWriter.h"
#include "SampleFolder.h"
#include "base/Gbk.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

using Engine = std::mt19937;

// Draws are reduced by hand: the standard distributions differ between library
// implementations, and a bank must be the same wherever it is generated.
int draw(Engine& engine, int low, int high)
{
    return low + int(engine() % std::uint32_t(high - low + 1));
}

bool chance(Engine& engine, int percent)
{
    return draw(engine, 1, 100) <= percent;
}

template <typename List>
const auto& pick(Engine& engine, const List& list)
{
    return list.at(draw(engine, 0, int(list.size()) - 1));
}

const QStringList& typeNames()
{
    static const QStringList names = {u"判断"_s, u"选择"_s, u"填空"_s, u"名词"_s, u"问答"_s};
    return names;
}
const QString kChoiceType = u"选择"_s;

const QStringList& phrases()
{
    static const QStringList list = {
        u"已知某班学生的平均身高为一定值，"_s, u"在平面直角坐标系中，"_s, u"如图所示，"_s, u"根据题意列出方程，"_s,
        u"求代数式的值并说明理由，"_s, u"一个不透明的袋子中装有若干个小球，"_s, u"某商店销售一种商品，"_s,
        u"甲乙两人同时从两地出发，"_s, u"把一根长为若干米的绳子剪成两段，"_s, u"已知抛物线与坐标轴交于三点，"_s,
        u"在等腰三角形中，"_s, u"某校开展课外阅读活动，"_s, u"用一条长为定值的铁丝围成一个矩形，"_s,
        u"在一次数学测验中，"_s, u"若关于x的方程有两个不相等的实数根，"_s, u"请写出解答过程，"_s,
        u"小明从家出发步行去学校，"_s, u"观察下列一组数的排列规律，"_s, u"将一副三角板按如图方式叠放，"_s,
        u"某工程队计划修建一条公路，"_s, u"已知圆的半径和弦长，"_s, u"试判断两条直线的位置关系，"_s,
        u"请说明你的理由，"_s, u"并求出此时的最大值，"_s, u"结果精确到0.1，"_s, u"其中a、b为常数，"_s,
    };
    return list;
}

QString knowledgePoint(Engine& engine)
{
    static const QStringList topics = {
        u"有理数"_s, u"绝对值"_s, u"整式"_s, u"因式分解"_s, u"分式"_s, u"二次根式"_s, u"实数"_s,
        u"一元一次方程"_s, u"二元一次方程组"_s, u"一元二次方程"_s, u"分式方程"_s, u"不等式"_s, u"一次函数"_s,
        u"反比例函数"_s, u"二次函数"_s, u"三角形"_s, u"全等三角形"_s, u"等腰三角形"_s, u"勾股定理"_s,
        u"平行四边形"_s, u"矩形"_s, u"相似三角形"_s, u"锐角三角函数"_s, u"圆"_s, u"轴对称"_s, u"平移"_s,
        u"旋转"_s, u"统计"_s, u"概率"_s, u"视图"_s,
    };
    static const QStringList aspects = {u"概念"_s, u"计算"_s, u"应用"_s, u"证明"_s, u"综合"_s};
    return pick(engine, topics) + pick(engine, aspects);
}

QString knowledgePoints(Engine& engine)
{
    const int roll = draw(engine, 1, 10);
    const int count = roll == 1 ? 0 : roll <= 8 ? 1 : draw(engine, 2, 3);
    QStringList points;
    while (points.size() < count) {
        const QString point = knowledgePoint(engine);
        if (!points.contains(point))
            points.append(point);
    }
    return points.join(u'|');
}

// A text of low … high GBK bytes that starts with a serial, so that no two
// generated questions are duplicates.
QString text(Engine& engine, const QString& serial, int low, int high)
{
    const int length = draw(engine, low, high);
    QString result = serial;
    while (gbkLength(result) < length)
        result += pick(engine, phrases()) + QString::number(draw(engine, 1, 999));
    // A cut before a two-byte character leaves the text one byte short.
    result = cutToGbkBytes(result, length);
    if (gbkLength(result) < length)
        result += u'.';
    return result;
}

// Options that cannot coincide: each ends in its own number, and no phrase ends
// in a digit.
QStringList options(Engine& engine, int count)
{
    static const QStringList stems = {u"x="_s, u"结果为"_s, u"约"_s, u"第"_s, u"面积为"_s, u"长度为"_s};
    const int base = draw(engine, 1, 90);
    QStringList list;
    for (int k = 0; k < count; ++k)
        list.append(pick(engine, stems) + QString::number(base + 7 * k));
    return list;
}

// Noise does not compress, so a picture of the wanted size is a noise image just
// tall enough.
QByteArray noisePicture(Engine& engine)
{
    constexpr int width = 160;
    for (int height = 40;; height += 8) {
        QImage image(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < width; ++x)
                line[x] = 0xff000000u | (engine() & 0xffffffu);
        }
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPG", 90);
        if (bytes.size() >= SyntheticBank::kPictureBytes || height > 4000)
            return bytes;
    }
}

void fillAnswer(Engine& engine, SampleQuestion& q, const QString& serial)
{
    if (q.type == kChoiceType) {
        const QStringList list = options(engine, draw(engine, 4, 5));
        q.choice = true;
        q.stemText2 = list.join(u"\r\n"_s);
        QStringList answers = {pick(engine, list)};
        if (chance(engine, 20)) {
            const QString second = pick(engine, list);
            if (second != answers.first())
                answers.append(second);
        }
        q.answer = answers.join(u"\r\n"_s);
    } else if (q.type == u"判断") {
        q.answer = chance(engine, 50) ? u"√"_s : u"×"_s;
    } else if (q.type == u"填空") {
        q.answer = text(engine, QString(), 4, 40);
    } else {
        q.answer = text(engine, u"答"_s + serial, 40, 200);
    }
}

SampleQuestion ungrouped(Engine& engine, int serial)
{
    SampleQuestion q;
    const QString number = QString::number(serial);
    // A quarter choice questions, the rest spread over the other four types.
    static const int others[] = {0, 2, 3, 4};
    q.type = chance(engine, 25) ? kChoiceType : typeNames().at(others[draw(engine, 0, 3)]);
    q.knowledgePoints = knowledgePoints(engine);
    q.stemText1 = text(engine, u"（"_s + number + u"）"_s, 100, 400);
    fillAnswer(engine, q, number);
    q.difficulty = draw(engine, 1, 9);
    q.score = draw(engine, 1, 10);
    q.fixedScore = chance(engine, 5);
    q.blocked = chance(engine, 3);
    return q;
}

QList<SampleQuestion> groupOf(Engine& engine, int firstSerial, int size, int groupIndex)
{
    const QString name = u"材料"_s + QString::number(groupIndex);
    SampleQuestion title;
    title.groupName = name;
    title.groupNumber = u"0"_s;
    title.type = typeNames().at(draw(engine, 0, 4));
    title.knowledgePoints = knowledgePoints(engine);
    title.stemText1 = text(engine, u"（"_s + QString::number(firstSerial) + u"）阅读材料："_s, 100, 400);
    title.difficulty = draw(engine, 1, 9);
    title.score = 0;
    QList<SampleQuestion> group = {title};
    for (int k = 1; k < size; ++k) {
        SampleQuestion sub;
        const QString number = QString::number(firstSerial + k);
        sub.groupName = name;
        sub.groupNumber = QString::number(k);
        sub.type = title.type;
        sub.difficulty = title.difficulty;
        sub.knowledgePoints = knowledgePoints(engine);
        sub.stemText1 = text(engine, u"（"_s + number + u"）"_s, 100, 400);
        fillAnswer(engine, sub, number);
        sub.score = draw(engine, 1, 10);
        sub.blocked = chance(engine, 5);
        if (!sub.blocked)
            group.first().score += sub.score;
        group.append(sub);
    }
    return group;
}

} // namespace

QList<SampleQuestion> SyntheticBank::generate(int count, std::uint32_t seed)
{
    Engine engine(seed);
    QList<QByteArray> pictures;
    for (int k = 0; k < 8; ++k)
        pictures.append(noisePicture(engine));

    QList<SampleQuestion> questions;
    questions.reserve(count);
    int grouped = 0;
    int groups = 0;
    while (questions.size() < count) {
        const int remaining = count - int(questions.size());
        const int size = draw(engine, 4, 6);
        // A group whenever that keeps grouped records within a tenth of the bank.
        if (size <= remaining && (grouped + size) * 10 <= int(questions.size()) + size) {
            questions.append(groupOf(engine, int(questions.size()) + 1, size, ++groups));
            grouped += size;
        } else {
            questions.append(ungrouped(engine, int(questions.size()) + 1));
        }
    }
    for (SampleQuestion& q : questions) {
        if (!chance(engine, 5))
            continue;
        q.stemPictureData = pick(engine, pictures);
        if (q.groupNumber != u"0" && chance(engine, 25))
            q.answerPictureData = pick(engine, pictures);
    }
    return questions;
}

bool SyntheticBank::write(const QString& folder, const Options& options, QString* error)
{
    DataFolderWriter writer(folder);
    const bool written = writer.prepare(SampleFolder::administratorName(), SampleFolder::administratorPassword())
        && writer.addCourse(options.courseName, options.password, QString(),
                            generate(options.questionCount, options.seed));
    if (!written && error)
        *error = writer.errorText();
    return written;
}

} // namespace helan
