#pragma once

#include <functional>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace helan {

// One row of WorkList / AssembledPaper: a question as it is written.
struct PaperRow {
    QString groupNumber;       // 分组号: empty, "0" for a group title, else the sub-question number
    QString stem1;             // 题文1
    QString stemPictureMark;   // 题图 mark ("√" or empty)
    QString stem2;             // 题文2, or the final option text of a choice question
    QString answer;            // 答案, or the new answer of a shuffled choice question
    QString answerPictureMark; // 答图 mark
    QString type;              // 题型
    int score = 0;             // 分值
    qint64 recordId = 0;       // the record the pictures come from
    bool choice = false;       // 选择 (read by the assembly only)

    bool isTitle() const { return groupNumber == QStringLiteral("0"); }
    bool hasStemPicture() const { return !stemPictureMark.isEmpty(); }
    bool hasAnswerPicture() const { return !answerPictureMark.isEmpty(); }
};

// The picture bytes of a record: 题图数据, or 答图数据 when answerPicture.
using PaperPictures = std::function<QByteArray(qint64 recordId, bool answerPicture)>;

// One TypeOrderTable row, with what the writers need of the type.
struct PaperType {
    QString name;
    QString score;                // 分值 of TypeOrderTable
    bool answerLineBreak = false; // 答案换行
    QString totalScore;           // the type's 分值 in the paper's PaperTypeScores
    QString description;          // 说明 of the type library
};

// 卷头设置 of a course: the printed form of a paper (exam title, candidate
// line, score table, notes, page size). Off, papers are written as they always
// were, with the internal title line at the top.
struct PaperHeader {
    enum class Page { A4, A3, B4 }; // A3 and B4: landscape, two columns, a sealing line

    bool on = false;
    QString examTitle; // e.g. "2026—2027学年第一学期期末考试"
    QString subject;   // the subject line; the course name when empty
    int minutes = 0;   // 考试时间 in minutes; 0 leaves the time out
    bool classField = true;  // 班级 on the candidate line
    bool nameField = true;   // 姓名
    bool numberField = true; // 学号 / 考号
    QString numberCaption = QStringLiteral("学号"); // "学号" or "考号"
    bool scoreTable = true;  // 题号 一 二 … 总分 / 得分
    QString notes;           // 注意事项, may be empty
    Page page = Page::A4;

    bool twoColumns() const { return page != Page::A4; }
};

// The numbering choices and title parts of one generation.
struct PaperSettings {
    QString courseName;
    QString compositionTime;
    QString totalText;      // A卷总分 / B卷总分
    QString similarityText; // 标签相似度
    QString paper;          // "A卷" or "B卷"
    QString generationTime;
    QStringList majorLabels; // the NumberingTable column of the chosen style; row k is label k
    QString majorSuffix;
    bool majorScoreNote = false;
    bool continuousNumbering = false;
    bool optionLineBreak = false;
    int optionLabelSet = 0; // 0 letters, 1 circled numbers
    QString optionSuffix;
    QList<PaperType> types; // in TypeOrderTable order
    PaperHeader header;
};

// The assembled paper: its rows in output order and the rules both writers
// number and title it by.
class AssembledPaper {
public:
    PaperSettings settings;
    QList<PaperRow> rows;

    // The title line; kind is "试题" or "答案".
    QString documentTitle(const QString& kind) const;
    // The label of major question k (from 1); empty beyond the table.
    QString majorLabel(int k) const;
    QString majorHeading(int k, const QString& type) const;
    // N when every numbered question of the type is worth N (N > 0), else empty.
    QString perQuestionScore(const QString& type) const;
    QString typeTotalScore(const QString& type) const;
    // "（每题…分，共…分）", "（共…分）" when the questions are not all worth the
    // same, or empty when the note is off.
    QString scoreNote(const QString& type) const;
    bool answerLineBreak(const QString& type) const;
    QString description(const QString& type) const;

    // The printed form (settings.header on): its lines, each empty when left out.
    QString headerSubjectLine() const;   // "数学（A卷）"
    QString headerTimeLine() const;      // "考试时间：120分钟    满分：100分"
    QString headerCandidateLine() const; // "班级：＿＿＿  姓名：＿＿＿  学号：＿＿＿"; empty on A3 / B4
    QString answerSheetTitle() const;    // exam title + "参考答案"
    QString sealingLineText() const;     // the candidate fields and "密封线"
    // 题号 一 二 … 总分 over 得分 with empty cells; one column per major question.
    QList<QStringList> scoreTable() const;
    int majorCount() const;

    // Per row: the number of the major question the row begins, or 0.
    QList<int> majorStarts() const;
    // Per row: its minor number, 0 for group titles.
    QList<int> minorNumbers() const;

private:
    const PaperType* findType(const QString& name) const;
};

} // namespace helan
