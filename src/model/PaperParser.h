#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "model/PaperSource.h"

namespace helan {

// One question as the paper gave it, in bank terms.
struct ParsedQuestion {
    QString number;         // the number the paper gives it ("3"); empty for a group title
    int section = -1;       // index into ParsedPaper::sections; -1 before any heading
    QString type;           // 题型; empty when nothing tells it
    bool typeKnown = false; // the course's type library has the type
    QString stem;           // 题文1, lines joined by CR LF
    QStringList options;    // text options without their labels (题文2, one a line)
    QString answer;         // 答案 as stored: option contents for text options
    QString explanation;    // 解析 as written, starting with its marker ("【解析】…")
    int score = 0;          // 分值
    bool choice = false;    // 选择
    int stemPicture = -1;   // index into ParsedPaper::pictures, or -1
    int answerPicture = -1;
    int group = -1;       // groups counted from 0; a title and its members share it
    int groupNumber = -1; // 0 for the group's title, 1 … for its members, -1 outside groups
    // What could not be understood, one short sentence each.
    QStringList notes;

    bool isTitle() const { return groupNumber == 0; }
};

// A major question of the paper ("二、填空题（每题3分，共15分）").
struct ParsedSection {
    QString heading; // the name as written ("填空题")
    QString type;    // the type it stands for
    bool typeKnown = false;
    int score = -1;       // the score of each question it gives, or -1
    bool reading = false; // a heading of reading passages ("阅读理解")
};

struct ParsedPaper {
    QList<ParsedQuestion> questions;
    QList<ParsedSection> sections;
    QList<PaperPicture> pictures;
    // Lines about the paper as a whole (text left out, answers without a question).
    QStringList report;
};

// Reads the common Chinese convention of written papers from the lines of a
// paper: major-question headings that name the type and maybe the score of each
// question, numbered questions, options labelled A … I (or ① … ⑨) one a line or
// several on one line, answers after "答案：" / "【答案】" or in an answer section
// at the end ("参考答案" then numbered answers; a separate answer sheet is the same),
// explanations after "【解析】", reading groups (a passage before numbered
// sub-questions, announced by "阅读下面的材料，回答1～4题" or by a heading with
// "阅读"), and pictures standing in a question's lines.
//
// The parser guesses the way a reader would, so every guess that could be wrong
// is written down: text it left out goes into the paper's report, and whatever
// it could not fully understand about a question into that question's notes.
class PaperParser {
public:
    // One type of the course's type library.
    struct TypeInfo {
        QString name;
        QString description; // 说明, printed under the type's heading by the program's own papers
        int score = 0;       // the type's default score
    };

    explicit PaperParser(QList<TypeInfo> types);

    // The questions of a paper; answers, when given, is a separate answer sheet
    // read as an answer section.
    ParsedPaper parse(const PaperSource& paper, const PaperSource* answers = nullptr) const;

    // The type a heading's name stands for: a type of the library named like it
    // (with or without its final "题", or the start of it), else the usual name
    // (选择题 → 选择, 解答题 → 问答, 名词解释 → 名词 …). known tells whether the
    // library has it.
    QString typeForHeading(const QString& name, bool* known) const;

    // Whether questions of the type are choice questions by their name.
    static bool isChoiceType(const QString& type);

private:
    QList<TypeInfo> m_types;
};

} // namespace helan
