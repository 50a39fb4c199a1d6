#pragma once

#include <QDialog>
#include <QString>

#include "editor/NewGroupNameCheck.h"

class QLineEdit;

namespace helan {

class GridModel;
class Prompter;

// The dialog "请输入新分组名": asks for a group name no row of the editor uses.
class NewGroupNameDialog : public QDialog {
    Q_OBJECT
public:
    NewGroupNameDialog(const GridModel& editorGrid, Prompter& prompter, QWidget* parent = nullptr);

    // The name accepted by 确定; unchanged when the dialog was left through 取消.
    QString chosenGroupName() const { return m_check.chosenGroupName(); }

    void reject() override;

private:
    NewGroupNameCheck m_check;
    QLineEdit* m_name;
};

} // namespace helan
