#include "editor/NewGroupNameDialog.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace helan {

NewGroupNameDialog::NewGroupNameDialog(const GridModel& editorGrid, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_check(editorGrid, prompter), m_name(new QLineEdit(this)) {
    setObjectName(u"请输入新分组名"_s);
    setWindowTitle(u"请输入新分组名"_s);
    setModal(true);
    m_name->setObjectName(u"新分组名"_s);
    auto* ok = new QPushButton(u"确定"_s, this);
    ok->setObjectName(u"确定"_s);
    auto* cancel = new QPushButton(u"取消"_s, this);
    cancel->setObjectName(u"取消"_s);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_name);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, [this] {
        if (m_check.accept(m_name->text()))
            accept();
    });
    connect(cancel, &QPushButton::clicked, this, &NewGroupNameDialog::reject);
}

// 取消, Escape and the close box all ask before the question is skipped.
void NewGroupNameDialog::reject() {
    if (m_check.cancel())
        QDialog::reject();
}

} // namespace helan
