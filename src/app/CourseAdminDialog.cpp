#include "app/CourseAdminDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/CourseAdminLogic.h"

using namespace Qt::StringLiterals;

namespace helan {

CourseAdminDialog::CourseAdminDialog(CourseAdminLogic& logic, QWidget* parent) : QDialog(parent), m_logic(logic)
{
    setObjectName(u"CourseAdminDialog"_s);
    setWindowTitle(m_logic.caption());
    setModal(true);

    auto* fields = new QGridLayout;
    fields->setHorizontalSpacing(10);
    fields->setVerticalSpacing(12);
    for (int i = 0; i < 3; ++i) {
        const auto field = CourseAdminLogic::Field(i);
        const CourseAdminLogic::FieldSetup setup = m_logic.setup(field);
        m_labels[i] = new QLabel(setup.label, this);
        m_labels[i]->setObjectName(CourseAdminLogic::labelName(field));
        m_edits[i] = new QLineEdit(m_logic.text(field), this);
        m_edits[i]->setObjectName(CourseAdminLogic::controlName(field));
        m_edits[i]->setEchoMode(setup.masked ? QLineEdit::Password : QLineEdit::Normal);
        m_edits[i]->setReadOnly(setup.readOnly);
        m_edits[i]->setMinimumWidth(220);
        m_labels[i]->setBuddy(m_edits[i]);
        fields->addWidget(m_labels[i], i, 0, Qt::AlignRight);
        fields->addWidget(m_edits[i], i, 1);
        connect(m_edits[i], &QLineEdit::textEdited, this,
                [this, field](const QString& text) { m_logic.setText(field, text); });
    }

    m_ok = new QPushButton(u"确定"_s, this);
    m_ok->setObjectName(u"确定"_s);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(u"取消"_s, this);
    m_cancel->setObjectName(u"取消"_s);
    connect(m_ok, &QPushButton::clicked, this, &CourseAdminDialog::confirm);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addSpacing(12);
    buttons->addWidget(m_cancel);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 18);
    layout->setSpacing(18);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    // Start typing where there is something to type.
    for (QLineEdit* edit : m_edits) {
        if (!edit->isReadOnly()) {
            edit->setFocus();
            break;
        }
    }
}

void CourseAdminDialog::confirm()
{
    for (int i = 0; i < 3; ++i)
        m_logic.setText(CourseAdminLogic::Field(i), m_edits[i]->text());
    if (m_logic.accept())
        accept();
}

} // namespace helan
