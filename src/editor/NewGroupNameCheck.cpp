#include "editor/NewGroupNameCheck.h"

#include "base/Prompter.h"
#include "editor/BankEditor.h"
#include "grid/GridModel.h"

using namespace Qt::StringLiterals;

namespace helan {

NewGroupNameCheck::NewGroupNameCheck(const GridModel& grid, Prompter& prompter)
    : m_grid(grid), m_prompter(prompter) {}

bool NewGroupNameCheck::accept(const QString& typed) {
    if (typed.isEmpty()) {
        m_prompter.message(u"分组名不能为空！"_s);
        return false;
    }
    for (int row = 1; row < m_grid.rowCount(); ++row) {
        if (m_grid.text(row, BankEditor::GroupNameColumn) == typed) {
            m_prompter.message(u"该分组名已经存在！"_s);
            return false;
        }
    }
    m_chosenGroupName = typed;
    return true;
}

bool NewGroupNameCheck::cancel() {
    return m_prompter.okCancel(u"确定取消更改源分组名并跳过该题吗"_s);
}

} // namespace helan
