#pragma once

#include <QString>

namespace helan {

class GridModel;
class Prompter;

// The rules of the dialog "请输入新分组名", through which the import asks for
// another name for a group whose name the bank already uses.
class NewGroupNameCheck {
public:
    // grid: the editor's grid, whose 分组名 column holds the names in use.
    NewGroupNameCheck(const GridModel& grid, Prompter& prompter);

    // 确定 with the typed name; true when the dialog closes with the name chosen.
    bool accept(const QString& typed);
    // 取消; true when the user confirms skipping the question.
    bool cancel();
    // The last name accepted; unchanged by 取消.
    QString chosenGroupName() const { return m_chosenGroupName; }

private:
    const GridModel& m_grid;
    Prompter& m_prompter;
    QString m_chosenGroupName;
};

} // namespace helan
