#pragma once

#include <QString>
#include <QStringList>

namespace helan {

// The rules that make a question complete enough to leave its editor row: a stem,
// a type, an answer unless it is a group title, and for choice questions options
// and answers that agree. The check is pure: the editor reads the row, calls
// check(), and itself moves the cursor and shows the message.
class QuestionRules {
public:
    // Columns of the bank editor's grid the rules point at.
    enum Column : int {
        GroupNumberColumn = 2,
        StemText1Column = 3,
        StemPictureColumn = 4,
        StemText2Column = 5,
        AnswerColumn = 6,
        TypeColumn = 8,
        ChoiceColumn = 11,
    };

    // The values of one question as the editor row shows them.
    struct Values {
        QString groupNumber; // 分组号
        QString stemText1;   // 题文1
        QString stemPicture; // 题图: the picture mark or empty
        QString stemText2;   // 题文2
        QString answer;      // 答案
        QString type;        // 题型
        bool choice = false; // 选择
    };

    // The first rule a question fails, or a pass (rule 0).
    struct Verdict {
        int rule = 0;   // number of the failing rule (2 … 13); 0 when the question passes
        int column = 0; // the grid column to put the cursor in
        QString message;
        // The answer-contents rule only reports: the cursor stays where it is.
        bool messageOnly = false;

        bool passed() const { return rule == 0; }
    };

    // Checks the rules in order and stops at the first that fails.
    static Verdict check(const Values& values);

    // The option labels of answers whose options are drawn in the stem picture:
    // "A" … "I" (one GBK byte each) and "①" … "⑨" (two bytes each).
    static const QStringList& optionLetters();
    static const QStringList& circledNumbers();
};

} // namespace helan
