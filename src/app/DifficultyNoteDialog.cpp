#include "app/DifficultyNoteDialog.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "app/DifficultyNoteLogic.h"

using namespace Qt::StringLiterals;

namespace helan {

DifficultyNoteDialog::DifficultyNoteDialog(DifficultyNoteLogic& logic, QWidget* parent)
    : QDialog(parent), m_logic(logic)
{
    setObjectName(u"难度说明"_s);
    setWindowTitle(u"难度说明"_s);
    setModal(true);
    m_edit = new QPlainTextEdit(m_logic.text(), this);
    m_edit->setObjectName(u"编辑框2"_s);
    connect(m_edit, &QPlainTextEdit::textChanged, this, [this] { m_logic.setText(m_edit->toPlainText()); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(m_edit);
    resize(420, 240);
}

void DifficultyNoteDialog::done(int result)
{
    m_logic.setText(m_edit->toPlainText());
    m_logic.close();
    QDialog::done(result);
}

} // namespace helan
