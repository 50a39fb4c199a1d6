#include "compose/PaperHeaderWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "compose/PaperHeaderSettings.h"
#include "ui/Named.h"
#include "ui/ScreenFit.h"

using namespace Qt::StringLiterals;

namespace helan {

PaperHeaderWindow::PaperHeaderWindow(PaperHeaderSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings) {
    setObjectName(u"卷头设置"_s);
    setWindowTitle(u"卷头设置 —— "_s + settings.course());
    setModal(true);

    m_on = named(new QCheckBox(u"试卷使用卷头（不选时试卷与以前相同）"_s, this), u"复选框卷头"_s);
    m_title = named(new QLineEdit(this), u"编辑框考试名称"_s);
    m_title->setPlaceholderText(u"例如：2026—2027学年第一学期期末考试"_s);
    m_subject = named(new QLineEdit(this), u"编辑框科目"_s);
    m_subject->setPlaceholderText(settings.course());
    m_minutes = named(new QSpinBox(this), u"数字框考试时间"_s);
    m_minutes->setRange(0, 999);
    m_minutes->setSuffix(u" 分钟"_s);
    m_minutes->setSpecialValueText(u"不写"_s);
    m_class = named(new QCheckBox(u"班级"_s, this), u"复选框班级"_s);
    m_name = named(new QCheckBox(u"姓名"_s, this), u"复选框姓名"_s);
    m_number = named(new QCheckBox(this), u"复选框学号"_s);
    m_numberCaption = named(new QComboBox(this), u"列表学号名称"_s);
    m_numberCaption->addItems(PaperHeaderSettings::numberCaptions());
    m_scoreTable = named(new QCheckBox(u"得分表（题号 一 二 … 总分 / 得分）"_s, this), u"复选框得分表"_s);
    m_notes = named(new QPlainTextEdit(this), u"编辑框注意事项"_s);
    m_notes->setPlaceholderText(u"可以不填"_s);
    m_notes->setTabChangesFocus(true);
    m_page = named(new QComboBox(this), u"列表纸张"_s);
    m_page->addItems(PaperHeaderSettings::pageNames());

    auto* candidate = new QHBoxLayout;
    candidate->addWidget(m_class);
    candidate->addWidget(m_name);
    candidate->addWidget(m_number);
    candidate->addWidget(m_numberCaption);
    candidate->addStretch();

    auto* form = new QFormLayout;
    form->addRow(label(u"标签考试名称"_s, u"考试名称："_s, this), m_title);
    form->addRow(label(u"标签科目"_s, u"科目："_s, this), m_subject);
    form->addRow(label(u"标签考试时间"_s, u"考试时间："_s, this), m_minutes);
    form->addRow(label(u"标签满分"_s, u"满分："_s, this),
                 label(u"标签满分说明"_s, u"生成时填入该卷的总分"_s, this));
    form->addRow(label(u"标签考生信息"_s, u"考生信息："_s, this), candidate);
    form->addRow(QString(), m_scoreTable);
    form->addRow(label(u"标签注意事项"_s, u"注意事项："_s, this), m_notes);
    form->addRow(label(u"标签纸张"_s, u"纸张："_s, this), m_page);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(u"确定"_s);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"取消"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* main = new QVBoxLayout(this);
    main->addWidget(m_on);
    main->addLayout(form);
    main->addWidget(buttons);

    connect(m_on, &QCheckBox::toggled, this, &PaperHeaderWindow::enableFields);
    connect(m_number, &QCheckBox::toggled, this, &PaperHeaderWindow::enableFields);
    m_settings.open();
    showSettings();
    resizeWithinScreen(this, QSize(560, 460));
}

void PaperHeaderWindow::showSettings() {
    const PaperHeader& h = m_settings.header();
    m_on->setChecked(h.on);
    m_title->setText(h.examTitle);
    m_subject->setText(h.subject);
    m_minutes->setValue(h.minutes);
    m_class->setChecked(h.classField);
    m_name->setChecked(h.nameField);
    m_number->setChecked(h.numberField);
    m_numberCaption->setCurrentText(h.numberCaption);
    m_scoreTable->setChecked(h.scoreTable);
    m_notes->setPlainText(h.notes);
    m_page->setCurrentIndex(int(h.page));
    enableFields();
}

void PaperHeaderWindow::takeSettings() {
    PaperHeader& h = m_settings.header();
    h.on = m_on->isChecked();
    h.examTitle = m_title->text().trimmed();
    h.subject = m_subject->text().trimmed();
    h.minutes = m_minutes->value();
    h.classField = m_class->isChecked();
    h.nameField = m_name->isChecked();
    h.numberField = m_number->isChecked();
    h.numberCaption = m_numberCaption->currentText();
    h.scoreTable = m_scoreTable->isChecked();
    h.notes = m_notes->toPlainText().trimmed();
    h.page = PaperHeader::Page(std::max(m_page->currentIndex(), 0));
}

// The form is kept while the header is off, so that switching it on again
// brings back what was written.
void PaperHeaderWindow::enableFields() {
    const bool on = m_on->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{m_title, m_subject, m_minutes, m_class, m_name, m_number,
                                                      m_scoreTable, m_notes, m_page})
        w->setEnabled(on);
    m_numberCaption->setEnabled(on && m_number->isChecked());
}

void PaperHeaderWindow::accept() {
    takeSettings();
    if (m_settings.accept())
        QDialog::accept();
}

} // namespace helan
