#include "editor/BankEditorWindow.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include "editor/BankEditorHelpWindow.h"
#include "editor/QuestionTextDialog.h"
#include "gridview/GridView.h"
#include "ui/ScreenFit.h"
#include "ui/TextMeasure.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

// The toolbar's two images: a green plus and a red cross, drawn here so that the
// window looks the same whatever icon theme the desktop has.
QIcon drawnIcon(bool plus) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(
        QPen(plus ? QColor(0x2e, 0x8b, 0x3d) : QColor(0xc6, 0x28, 0x28), 4, Qt::SolidLine, Qt::RoundCap));
    if (plus) {
        painter.drawLine(12, 4, 12, 20);
        painter.drawLine(4, 12, 20, 12);
    } else {
        painter.drawLine(6, 6, 18, 18);
        painter.drawLine(18, 6, 6, 18);
    }
    return QIcon(pixmap);
}

const char16_t* const kContextCaptions[] = {
    u"预览图片(&Y)", u"复制图片(&C)", u"从剪贴板导入(&P)", u"从文件添加(&T)",
    u"删除图片(&D)", u"升序(&A)",     u"降序(&S)",         u"复制该题并粘贴(&C)",
};

} // namespace

BankEditorWindow::BankEditorWindow(BankEditor& editor, QWidget* parent) : QDialog(parent), m_editor(editor) {
    setObjectName(u"题库编辑"_s);
    setWindowTitle(u"题库编辑"_s);
    setModal(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    resizeWithinScreen(this, QSize(1100, 680));

    buildControls();
    buildMenus();

    connect(&m_editor, &BankEditor::captionChanged, this, &QWidget::setWindowTitle);
    connect(&m_editor, &BankEditor::deleteEnabledChanged, this, [this](bool on) {
        m_deleteButton->setEnabled(on);
        m_deleteItem->setEnabled(on);
    });
    connect(&m_editor, &BankEditor::autoRowHeightEnabledChanged, m_autoHeight, &QWidget::setEnabled);
    connect(&m_editor, &BankEditor::statusTextChanged, m_statusBar,
            [this](const QString& text) { m_statusBar->showMessage(text); });
    // Queued: the dialog opens after the click that asked for it has been handled.
    connect(&m_editor, &BankEditor::textDialogRequested, this, &BankEditorWindow::openTextDialog,
            Qt::QueuedConnection);
    connect(&m_editor, &BankEditor::contextMenuRequested, this, &BankEditorWindow::showContextMenu);

    layoutControls();
    // 自动 sizes rows in the font the text cells are drawn in, less the cell's
    // text margins on both sides.
    QFont cellFont;
    cellFont.setPixelSize(BankEditor::kTextFontHeight);
    const int margins = 2 * (m_gridView->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_gridView) + 1);
    m_editor.setTextMeasure(
        [cellFont, margins](int width, const QString& text) {
            return countWrappedLinesIn(cellFont, width - margins, text);
        },
        lineHeightIn(cellFont));
    m_editor.open(gridClientWidth());
    setWindowTitle(m_editor.caption());
    m_deleteButton->setEnabled(m_editor.deleteEnabled());
    m_deleteItem->setEnabled(m_editor.deleteEnabled());
    m_autoHeight->setEnabled(m_editor.autoRowHeightEnabled());
}

BankEditorWindow::~BankEditorWindow() = default;

void BankEditorWindow::runModal(RecordStore& store, Prompter& prompter, const QString& course,
                                BankEditor::LineCounter countWrappedLines, QWidget* parent) {
    BankEditor editor(store, prompter, course, std::move(countWrappedLines));
    BankEditorWindow window(editor, parent);
    window.exec();
}

QString BankEditorWindow::searchText() const {
    return m_searchText->text();
}

void BankEditorWindow::setSearchButtonsEnabled(bool fromStartAndCurrent, bool next) {
    m_searchFromStart->setEnabled(fromStartAndCurrent);
    m_searchFromCurrent->setEnabled(fromStartAndCurrent);
    m_searchNext->setEnabled(next);
}

void BankEditorWindow::buildControls() {
    m_menuBar = new QMenuBar(this);

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(u"工具条1"_s);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_addButton = m_toolBar->addAction(QIcon::fromTheme(u"list-add"_s, drawnIcon(true)), u"添加"_s);
    m_deleteButton = m_toolBar->addAction(QIcon::fromTheme(u"list-remove"_s, drawnIcon(false)), u"删除"_s);
    connect(m_addButton, &QAction::triggered, &m_editor, &BankEditor::addQuestion);
    connect(m_deleteButton, &QAction::triggered, &m_editor, &BankEditor::deleteSelectedQuestions);

    m_searchBox = new QGroupBox(u"查找"_s, this);
    m_searchBox->setObjectName(u"分组框1"_s);
    m_searchText = new QLineEdit(m_searchBox);
    m_searchText->setObjectName(u"编辑框1"_s);
    auto* fromStart = new QPushButton(u"从头"_s, m_searchBox);
    fromStart->setObjectName(u"按钮从头查找"_s);
    auto* fromCurrent = new QPushButton(u"从当前"_s, m_searchBox);
    fromCurrent->setObjectName(u"按钮从当前查找"_s);
    auto* next = new QPushButton(u"下一个"_s, m_searchBox);
    next->setObjectName(u"按钮下一个"_s);
    auto* searchLayout = new QHBoxLayout(m_searchBox);
    searchLayout->setContentsMargins(6, 2, 6, 4);
    searchLayout->addWidget(m_searchText, 1);
    searchLayout->addWidget(fromStart);
    searchLayout->addWidget(fromCurrent);
    searchLayout->addWidget(next);
    for (QPushButton* button : {fromStart, fromCurrent, next}) {
        button->setAutoDefault(false);
        button->setEnabled(false);
    }
    m_searchFromStart = fromStart;
    m_searchFromCurrent = fromCurrent;
    m_searchNext = next;
    connect(m_searchText, &QLineEdit::textChanged, this,
            [this] { m_editor.runPlug(BankEditor::Plug::SearchTextChanged); });
    connect(fromStart, &QPushButton::clicked, this,
            [this] { m_editor.runPlug(BankEditor::Plug::SearchFromStart); });
    connect(fromCurrent, &QPushButton::clicked, this,
            [this] { m_editor.runPlug(BankEditor::Plug::SearchFromCurrent); });
    connect(next, &QPushButton::clicked, this, [this] { m_editor.runPlug(BankEditor::Plug::SearchNext); });

    m_heightLabel = new QLabel(u"行高："_s, this);
    m_heightLabel->setObjectName(u"标签1"_s);
    m_heightLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_heightSlider = new QSlider(Qt::Horizontal, this);
    m_heightSlider->setObjectName(u"横向滚动条1"_s);
    m_heightSlider->setRange(1, 500);
    m_heightSlider->setPageStep(10);
    m_heightSlider->setSingleStep(1);
    m_heightSlider->setValue(1);
    connect(m_heightSlider, &QSlider::valueChanged, &m_editor, &BankEditor::rowHeightSliderMoved);
    m_autoHeight = new QPushButton(u"自动"_s, this);
    m_autoHeight->setObjectName(u"按钮自动行高"_s);
    m_autoHeight->setAutoDefault(false);
    connect(m_autoHeight, &QPushButton::clicked, &m_editor, &BankEditor::autoRowHeightClicked);

    m_gridView = new GridView(m_editor.grid(), this);
    m_gridView->setObjectName(u"高级表格1"_s);
    m_gridView->viewport()->installEventFilter(this);
    m_gridView->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(u"状态条1"_s);
    m_statusBar->setSizeGripEnabled(true);

    m_contextMenu = new QMenu(u"右键菜单(&R)"_s, this);
    m_contextMenu->setObjectName(u"右键菜单"_s);
    for (int i = 0; i < 8; ++i) {
        QAction* action = m_contextMenu->addAction(QString::fromUtf16(kContextCaptions[i]));
        const auto item = BankEditor::MenuItem(i);
        connect(action, &QAction::triggered, &m_editor, [this, item] { m_editor.runMenuItem(item); });
        m_contextItems.append(action);
    }
}

void BankEditorWindow::buildMenus() {
    QMenu* questions = m_menuBar->addMenu(u"试题(&Q)"_s);
    connect(questions->addAction(u"添加(&A)"_s), &QAction::triggered, &m_editor, &BankEditor::addQuestion);
    m_deleteItem = questions->addAction(u"删除(&D)"_s);
    connect(m_deleteItem, &QAction::triggered, &m_editor, &BankEditor::deleteSelectedQuestions);
    questions->addSeparator();
    connect(questions->addAction(u"导入(&R)"_s), &QAction::triggered, this,
            [this] { m_editor.runPlug(BankEditor::Plug::Import); });
    connect(questions->addAction(u"从Word/文本导入…"_s), &QAction::triggered, this,
            [this] { m_editor.runPlug(BankEditor::Plug::ImportPaper); });
    QAction* exportItem = questions->addAction(u"导出(&C)"_s);
    connect(exportItem, &QAction::triggered, this, [this] { m_editor.runPlug(BankEditor::Plug::Export); });
    exportItem->setEnabled(m_editor.exportEnabled());
    connect(&m_editor, &BankEditor::exportEnabledChanged, exportItem, &QAction::setEnabled);
    QAction* moodleExport = questions->addAction(u"导出为Moodle XML…"_s);
    connect(moodleExport, &QAction::triggered, this,
            [this] { m_editor.runPlug(BankEditor::Plug::MoodleExport); });
    moodleExport->setEnabled(m_editor.exportEnabled());
    connect(&m_editor, &BankEditor::exportEnabledChanged, moodleExport, &QAction::setEnabled);
    connect(questions->addAction(u"从Moodle XML导入…"_s), &QAction::triggered, this,
            [this] { m_editor.runPlug(BankEditor::Plug::MoodleImport); });
    connect(&m_editor, &BankEditor::busyChanged, this, [this](bool busy) {
        setEnabled(!busy);
        if (busy)
            QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        else
            QApplication::restoreOverrideCursor();
    });

    QMenu* types = m_menuBar->addMenu(u"题型(&T)"_s);
    connect(types->addAction(u"编辑(&E)"_s), &QAction::triggered, this,
            [this] { m_editor.runPlug(BankEditor::Plug::TypeEditor); });
    QMenu* difficulty = m_menuBar->addMenu(u"难度(&N)"_s);
    connect(difficulty->addAction(u"说明(&E)"_s), &QAction::triggered, this,
            [this] { m_editor.runPlug(BankEditor::Plug::DifficultyHelp); });
    QMenu* help = m_menuBar->addMenu(u"帮助(&H)"_s);
    connect(help->addAction(u"题库编辑帮助(&H)"_s), &QAction::triggered, this, &BankEditorWindow::showHelp);
}

void BankEditorWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layoutControls();
    m_editor.setGridWidth(gridClientWidth());
}

// The width the columns share: the grid less its row numbers, scroll bar and frame,
// so that the columns fit without a horizontal scroll bar.
int BankEditorWindow::gridClientWidth() const {
    const QHeaderView* rowHeader = m_gridView->verticalHeader();
    const int rowNumbers = rowHeader->isHidden() ? 0 : rowHeader->sizeHint().width();
    const int scrollBar = m_gridView->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return m_gridView->width() - rowNumbers - scrollBar - 2 * m_gridView->frameWidth();
}

// The top strip: toolbar, search box, then the row-height controls sharing the
// room to the right; the grid fills what is left above the status bar.
void BankEditorWindow::layoutControls() {
    const int w = width();
    const int menuHeight = m_menuBar->sizeHint().height();
    m_menuBar->setGeometry(0, 0, w, menuHeight);
    const int stripTop = menuHeight + 2;
    // The strip grows with the interface font so the search buttons keep their captions.
    const QSize searchSize = m_searchBox->sizeHint();
    const int stripHeight = std::max(44, searchSize.height());
    const QSize toolSize = m_toolBar->sizeHint();
    m_toolBar->setGeometry(2, stripTop + (stripHeight - toolSize.height()) / 2, toolSize.width(),
                           toolSize.height());
    m_searchBox->setGeometry(toolSize.width() + 10, stripTop, std::max(380, searchSize.width()), stripHeight);

    const int labelWidth = 48;
    const int buttonWidth = 56;
    const int sliderWidth = (w - m_searchBox->geometry().left() - m_searchBox->width()) / 3;
    const int sliderLeft = w - 2 * sliderWidth + labelWidth;
    const int rowY = stripTop + (stripHeight - 24) / 2;
    m_heightSlider->setGeometry(sliderLeft, rowY, sliderWidth, 24);
    m_autoHeight->setGeometry(sliderLeft + sliderWidth, rowY - 2, buttonWidth, 28);
    m_heightLabel->setGeometry(sliderLeft - labelWidth, rowY, labelWidth, 24);

    const int statusHeight = m_statusBar->sizeHint().height();
    m_statusBar->setGeometry(0, height() - statusHeight, w, statusHeight);
    const int gridTop = stripTop + stripHeight + 4;
    m_gridView->setGeometry(0, gridTop, w, m_statusBar->geometry().top() - gridTop);
}

// A right click outside the selection first makes its cell current, as a left
// click would (with the same row checks), so that the menu acts on the cell under
// the mouse; inside the selection it keeps the selection for the menu.
bool BankEditorWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_gridView->viewport() || event->type() != QEvent::MouseButtonPress)
        return QDialog::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::RightButton)
        return QDialog::eventFilter(watched, event);
    const QModelIndex index = m_gridView->indexAt(mouse->position().toPoint());
    if (!index.isValid())
        return true;
    GridModel& grid = m_editor.grid();
    const int row = index.row() + 1;
    const int column = index.column();
    const bool inSelection = row >= grid.selectionStartRow() && row <= grid.selectionEndRow() &&
                             column >= grid.selectionStartColumn() && column <= grid.selectionEndColumn();
    if (!inSelection) {
        const QPoint p = m_gridView->viewport()->mapTo(m_gridView, mouse->position().toPoint());
        Q_EMIT grid.events().leftButtonDown(p.x(), p.y(), mouse->modifiers());
        grid.setCursor(row, column);
        Q_EMIT grid.events().leftButtonUp(p.x(), p.y(), mouse->modifiers());
    }
    return true;
}

void BankEditorWindow::reject() {
    if (m_editor.mayCloseEditor())
        QDialog::reject();
}

void BankEditorWindow::openTextDialog() {
    QuestionTextDialog dialog(m_editor, this);
    m_textDialog = &dialog;
    dialog.exec();
    m_textDialog = nullptr;
}

void BankEditorWindow::showContextMenu(const QList<BankEditor::MenuItem>& items, int x, int y) {
    for (int i = 0; i < m_contextItems.size(); ++i)
        m_contextItems.at(i)->setVisible(items.contains(BankEditor::MenuItem(i)));
    if (items.isEmpty())
        return;
    m_contextMenu->popup(m_gridView->mapToGlobal(QPoint(x, y)));
}

void BankEditorWindow::showHelp() {
    if (!m_help)
        m_help = new BankEditorHelpWindow(this);
    m_help->show();
    m_help->raise();
}

} // namespace helan
