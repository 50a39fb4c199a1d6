#include "compose/PaperHeaderSettings.h"

#include <QFileInfo>

#include "base/Prompter.h"
#include "grid/GridModel.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

// Rows of the settings file, by the name in its first column.
const QString kOn = u"使用卷头"_s;
const QString kTitle = u"考试名称"_s;
const QString kSubject = u"科目"_s;
const QString kMinutes = u"考试时间"_s;
const QString kClass = u"班级"_s;
const QString kName = u"姓名"_s;
const QString kNumber = u"学号"_s;
const QString kNumberCaption = u"学号名称"_s;
const QString kScoreTable = u"得分表"_s;
const QString kNotes = u"注意事项"_s;
const QString kPage = u"纸张"_s;

QString yesNo(bool on) {
    return on ? u"是"_s : u"否"_s;
}

} // namespace

QString PaperHeaderSettings::fileName(const QString& course) {
    return u"卷头设置-"_s + course;
}

QStringList PaperHeaderSettings::pageNames() {
    return {u"A4 纵向"_s, u"A3 横向两栏"_s, u"B4 横向两栏"_s};
}

QStringList PaperHeaderSettings::numberCaptions() {
    return {u"学号"_s, u"考号"_s};
}

PaperHeader PaperHeaderSettings::load(const QString& course) {
    PaperHeader header;
    GridModel grid(2);
    if (!QFileInfo::exists(fileName(course)) || !grid.load(fileName(course)) || grid.columnCount() < 2)
        return header;
    QHash<QString, QString> values;
    for (int r = 1; r < grid.rowCount(); ++r)
        values.insert(grid.text(r, 0), grid.text(r, 1));
    const auto flag = [&](const QString& key, bool fallback) {
        return values.contains(key) ? values.value(key) == u"是"_s : fallback;
    };
    header.on = flag(kOn, false);
    header.examTitle = values.value(kTitle);
    header.subject = values.value(kSubject);
    header.minutes = std::clamp(values.value(kMinutes).toInt(), 0, 9999);
    header.classField = flag(kClass, true);
    header.nameField = flag(kName, true);
    header.numberField = flag(kNumber, true);
    if (numberCaptions().contains(values.value(kNumberCaption)))
        header.numberCaption = values.value(kNumberCaption);
    header.scoreTable = flag(kScoreTable, true);
    header.notes = values.value(kNotes);
    const qsizetype page = pageNames().indexOf(values.value(kPage));
    header.page = page < 0 ? PaperHeader::Page::A4 : PaperHeader::Page(page);
    return header;
}

bool PaperHeaderSettings::save(const QString& course, const PaperHeader& header) {
    const QList<std::pair<QString, QString>> rows{
        {kOn, yesNo(header.on)},
        {kTitle, header.examTitle},
        {kSubject, header.subject},
        {kMinutes, header.minutes > 0 ? QString::number(header.minutes) : QString()},
        {kClass, yesNo(header.classField)},
        {kName, yesNo(header.nameField)},
        {kNumber, yesNo(header.numberField)},
        {kNumberCaption, header.numberCaption},
        {kScoreTable, yesNo(header.scoreTable)},
        {kNotes, header.notes},
        {kPage, pageNames().value(int(header.page))},
    };
    GridModel grid(2);
    grid.setRowCount(int(rows.size()) + 1);
    grid.setText(0, 0, u"项目"_s);
    grid.setText(0, 1, u"内容"_s);
    for (int r = 0; r < rows.size(); ++r) {
        grid.setText(r + 1, 0, rows[r].first);
        grid.setText(r + 1, 1, rows[r].second);
    }
    return grid.save(fileName(course));
}

PaperHeaderSettings::PaperHeaderSettings(Prompter& prompter, QString course)
    : m_prompter(prompter), m_course(std::move(course)) {}

void PaperHeaderSettings::open() {
    m_header = load(m_course);
}

bool PaperHeaderSettings::accept() {
    m_header.minutes = std::clamp(m_header.minutes, 0, 9999);
    if (save(m_course, m_header))
        return true;
    m_prompter.message(u"卷头设置无法保存：无法写入文件“"_s + fileName(m_course) + u"”。"_s, {},
                       Prompter::Icon::Error);
    return false;
}

} // namespace helan
