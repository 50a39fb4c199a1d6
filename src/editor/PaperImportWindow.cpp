#include "editor/PaperImportWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "editor/PaperImport.h"
#include "ui/Named.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

// A cell shows a text on one line; the whole text is its tooltip.
QString oneLine(const QString& text) {
    QString shown = text;
    shown.replace(u"\r\n"_s, u" ⏎ "_s);
    return shown;
}

const QColor kIncomplete(255, 222, 222);
const QColor kNoted(255, 246, 210);

} // namespace

PaperImportWindow::PaperImportWindow(PaperImport& logic, std::function<bool()> import, QWidget* parent)
    : QDialog(parent), m_logic(logic), m_import(std::move(import)) {
    setObjectName(u"从Word文本导入"_s);
    setWindowTitle(u"从Word/文本导入 —— "_s + m_logic.fileName());

    m_summary = label(u"标签摘要"_s, QString(), this);
    m_summary->setWordWrap(true);

    m_table = named(new QTableWidget(0, ColumnCount, this), u"表格试题"_s);
    m_table->setHorizontalHeaderLabels({u"导入"_s, u"题号"_s, u"分组"_s, u"题型"_s, u"题干"_s, u"选项"_s,
                                        u"答案"_s, u"分值"_s, u"图片"_s, u"说明"_s});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->setWordWrap(false);
    QHeaderView* header = m_table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(true);
    const int widths[ColumnCount] = {40, 44, 56, 64, 300, 200, 120, 44, 70, 200};
    for (int c = 0; c < ColumnCount; ++c)
        m_table->setColumnWidth(c, widths[c]);
    connect(m_table, &QTableWidget::cellChanged, this, &PaperImportWindow::tickChanged);

    m_report = named(new QPlainTextEdit(this), u"文本框报告"_s);
    m_report->setReadOnly(true);
    m_report->setMaximumHeight(90);

    m_type = named(new QComboBox(this), u"组合框题型"_s);
    m_type->addItem(u"按试卷"_s);
    m_type->addItems(m_logic.typeNames());
    m_difficulty = named(new QSpinBox(this), u"数字框难度"_s);
    m_difficulty->setRange(1, 9);
    m_difficulty->setValue(m_logic.difficulty());
    m_knowledge = named(new QLineEdit(this), u"文本框知识点"_s);
    m_knowledge->setPlaceholderText(u"用“|”分隔"_s);
    m_keepExplanations = named(new QCheckBox(u"保留解析"_s, this), u"选择框保留解析"_s);
    connect(m_type, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_logic.setTypeForAll(index <= 0 ? QString() : m_type->itemText(index));
        refresh();
    });
    connect(m_difficulty, &QSpinBox::valueChanged, this, [this](int value) { m_logic.setDifficulty(value); });
    connect(m_knowledge, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_logic.setKnowledge(text); });
    connect(m_keepExplanations, &QCheckBox::toggled, this, [this](bool on) {
        m_logic.setKeepExplanations(on);
        refresh();
    });

    auto* choices = new QHBoxLayout;
    choices->addWidget(label(u"标签题型"_s, u"题型："_s, this));
    choices->addWidget(m_type);
    choices->addSpacing(12);
    choices->addWidget(label(u"标签难度"_s, u"难度："_s, this));
    choices->addWidget(m_difficulty);
    choices->addSpacing(12);
    choices->addWidget(label(u"标签知识点"_s, u"知识点："_s, this));
    choices->addWidget(m_knowledge, 1);
    choices->addSpacing(12);
    choices->addWidget(m_keepExplanations);

    auto* all = named(new QPushButton(u"全选"_s, this), u"按钮全选"_s);
    auto* none = named(new QPushButton(u"全不选"_s, this), u"按钮全不选"_s);
    auto* answers = named(new QPushButton(u"读取答案文件…"_s, this), u"按钮读取答案"_s);
    auto* importButton = named(new QPushButton(u"导入"_s, this), u"按钮导入"_s);
    auto* cancel = named(new QPushButton(u"取消"_s, this), u"按钮取消"_s);
    for (QPushButton* b : {all, none, answers, importButton, cancel})
        b->setAutoDefault(false);
    connect(all, &QPushButton::clicked, this, [this] {
        m_logic.setAllTicked(true);
        refresh();
    });
    connect(none, &QPushButton::clicked, this, [this] {
        m_logic.setAllTicked(false);
        refresh();
    });
    connect(answers, &QPushButton::clicked, this, [this] {
        if (m_logic.chooseAnswers())
            refresh();
    });
    connect(importButton, &QPushButton::clicked, this, &PaperImportWindow::runImport);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(all);
    buttons->addWidget(none);
    buttons->addWidget(answers);
    buttons->addStretch(1);
    buttons->addWidget(importButton);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_report);
    layout->addLayout(choices);
    layout->addLayout(buttons);
    resize(1100, 640);
    refresh();
}

void PaperImportWindow::refresh() {
    m_filling = true;
    const int rows = m_logic.rowCount();
    m_table->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        const PaperImport::Row row = m_logic.row(r);
        QStringList pictures;
        if (row.stemPicture)
            pictures << u"题图"_s;
        if (row.answerPicture)
            pictures << u"答图"_s;
        QStringList notes;
        if (!row.incomplete.isEmpty())
            notes << u"不完整："_s + row.incomplete;
        notes += row.notes;
        QString group = row.group;
        if (row.member)
            group += u" 小题"_s;
        const QString texts[ColumnCount] = {QString(),
                                            row.number,
                                            group,
                                            row.type + (row.newType ? u"（新）"_s : QString()),
                                            row.stem,
                                            row.options.join(u" | "_s),
                                            row.answer,
                                            QString::number(row.score),
                                            pictures.join(u"、"_s),
                                            notes.join(u"；"_s)};
        const QColor background = !row.incomplete.isEmpty() ? kIncomplete
                                  : !row.notes.isEmpty()    ? kNoted
                                                            : QColor();
        for (int c = 0; c < ColumnCount; ++c) {
            auto* item = new QTableWidgetItem(oneLine(texts[c]));
            if (!texts[c].isEmpty())
                item->setToolTip(texts[c]);
            if (c == TickColumn) {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
                item->setCheckState(row.ticked ? Qt::Checked : Qt::Unchecked);
            } else {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            }
            if (background.isValid())
                item->setBackground(background);
            m_table->setItem(r, c, item);
        }
    }
    m_summary->setText(m_logic.summary() + u"  勾选了"_s + QString::number(m_logic.tickedCount()) +
                       u"条。"_s);
    QStringList report = m_logic.report();
    m_report->setPlainText(report.isEmpty() ? u"试卷中的文字都已读入。"_s : report.join(u"\n"_s));
    m_filling = false;
}

void PaperImportWindow::tickChanged(int row, int column) {
    if (m_filling || column != TickColumn)
        return;
    m_logic.setTicked(row, m_table->item(row, column)->checkState() == Qt::Checked);
    refresh();
}

void PaperImportWindow::runImport() {
    if (m_import && m_import())
        accept();
    else
        refresh();
}

} // namespace helan
