#include "compose/PaperComposerWindow.h"

#include <memory>
#include <optional>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "app/AppState.h"
#include "app/DifficultyNoteDialog.h"
#include "app/DifficultyNoteLogic.h"
#include "autocompose/AutoComposerWindow.h"
#include "base/RandomSource.h"
#include "compose/BuiltInWordProcessor.h"
#include "compose/DesktopDocumentOpener.h"
#include "compose/NumberingSettings.h"
#include "compose/NumberingSettingsWindow.h"
#include "compose/PaperHeaderSettings.h"
#include "compose/PaperHeaderWindow.h"
#include "compose/PaperComposerHelpWindow.h"
#include "compose/PaperGeneration.h"
#include "compose/PaperMoodleExport.h"
#include "compose/PaperPrinting.h"
#include "compose/SystemPrintDialog.h"
#include "compose/TypeColourSettings.h"
#include "compose/TypeColourWindow.h"
#include "editor/QuestionPreview.h"
#include "editor/QuestionPreviewWindow.h"
#include "gridview/GridView.h"
#include "ui/BusyCursor.h"
#include "ui/Named.h"
#include "ui/ScreenFit.h"
#include "ui/TextMeasure.h"

using namespace Qt::StringLiterals;

namespace helan {

void PaperComposerWindow::run(RecordStore& store, Prompter& prompter, const QString& course, QWidget* parent,
                              const PaperComposer::Hooks& hooks) {
    BuiltInWordProcessor word;
    PaperComposer composer(store, prompter, course, word);
    composer.setHooks(hooks);
    std::optional<BusyCursor> opening(std::in_place);
    PaperComposerWindow window(composer, parent);
    opening.reset();
    window.exec();
}

PaperComposerWindow::PaperComposerWindow(PaperComposer& composer, QWidget* parent)
    : QDialog(parent), m_composer(composer) {
    setObjectName(u"组卷"_s);
    setWindowTitle(u"组卷"_s);
    setModal(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);

    buildControls();
    buildMenus();
    plugWindows();

    connect(&m_composer, &PaperComposer::stateChanged, this, &PaperComposerWindow::render);
    connect(&m_composer, &PaperComposer::sortMenuRequested, this, &PaperComposerWindow::showSortMenu);
    connect(&m_composer, &PaperComposer::typeMenuRequested, this,
            [this](int x, int y) { m_typeMenu->popup(m_typeView->mapToGlobal(QPoint(x, y))); });

    m_composer.open();
    render();
    resizeWithinScreen(this, QSize(1400, 800));
}

PaperComposerWindow::~PaperComposerWindow() {
    // 自动组卷 goes first, while this window can still take the composer's news.
    delete m_autoComposer.data();
}

void PaperComposerWindow::buildControls() {
    // ---- QuestionGrid and its row-height bar
    m_questionView = named(new GridView(m_composer.questionGrid(), this), u"高级表格1"_s);
    m_questionView->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_questionView->viewport()->installEventFilter(this);
    auto* heightLabel = label(u"标签6"_s, u"行高"_s, this);
    m_rowHeight = named(new QSlider(Qt::Vertical, this), u"纵向滚动条1"_s);
    m_rowHeight->setRange(PaperComposer::kRowHeightMinimum, PaperComposer::kRowHeightMaximum);
    m_rowHeight->setPageStep(10);
    m_rowHeight->setSingleStep(1);
    m_rowHeight->setValue(PaperComposer::kRowHeightMinimum);
    // Position 1 at the top, as a scroll bar has it.
    m_rowHeight->setInvertedAppearance(true);
    connect(m_rowHeight, &QSlider::valueChanged, &m_composer, &PaperComposer::rowHeightChanged);
    auto* heightColumn = new QVBoxLayout;
    heightColumn->addWidget(heightLabel, 0, Qt::AlignHCenter);
    heightColumn->addWidget(m_rowHeight, 1, Qt::AlignHCenter);

    // ---- Right-hand panel
    auto* panel = new QVBoxLayout;
    panel->setSpacing(4);

    auto* typeBox = named(new QGroupBox(u"题型排序与分值设置"_s, this), u"分组框6"_s);
    m_typeView = named(new GridView(m_composer.typeOrderTable(), typeBox), u"高级表格题型排序分值"_s);
    m_typeView->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    auto* typeLayout = new QVBoxLayout(typeBox);
    typeLayout->setContentsMargins(4, 2, 4, 4);
    typeLayout->addWidget(m_typeView);
    panel->addWidget(typeBox, 3);

    auto* papers = new QHBoxLayout;
    const auto paperBox = [this](const QString& boxName, const QString& caption, const QString& gridName,
                                 GridModel& grid, const QString& labelName, const QString& labelText,
                                 const QString& totalName, GridView*& view, QLabel*& total) {
        auto* box = named(new QGroupBox(caption, this), boxName);
        view = named(new GridView(grid, box), gridName);
        view->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
        // A large total (six digits) is shown whole, not cut to "1276…": the
        // score takes the room it needs, the type's name the rest.
        view->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
        view->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        auto* layout = new QVBoxLayout(box);
        layout->setContentsMargins(4, 2, 4, 4);
        layout->addWidget(view);
        auto* totalRow = new QHBoxLayout;
        totalRow->addWidget(label(labelName, labelText, box));
        total = label(totalName, QString(), box);
        totalRow->addWidget(total, 1);
        layout->addLayout(totalRow);
        return box;
    };
    papers->addWidget(paperBox(u"分组框3"_s, u"A卷题型分值"_s, u"高级表格A卷题型分值"_s,
                               m_composer.paperTypeScores(PaperComposer::Paper::A), u"标签3"_s,
                               u"A卷总分："_s, u"A卷总分"_s, m_scoresAView, m_totalA));
    papers->addWidget(paperBox(u"分组框4"_s, u"B卷题型分值"_s, u"高级表格B卷题型分值"_s,
                               m_composer.paperTypeScores(PaperComposer::Paper::B), u"标签1"_s,
                               u"B卷总分："_s, u"B卷总分"_s, m_scoresBView, m_totalB));
    panel->addLayout(papers, 3);

    auto* notes = new QHBoxLayout;
    auto* similarityBox = named(new QGroupBox(u"A、B卷相似度"_s, this), u"分组框5"_s);
    m_similarity = label(u"标签相似度"_s, QString(), similarityBox);
    m_similarity->setAlignment(Qt::AlignCenter);
    (new QVBoxLayout(similarityBox))->addWidget(m_similarity);
    auto* difficultyBox = named(new QGroupBox(u"难度说明"_s, this), u"分组框2"_s);
    m_difficultyNote = label(u"标签2"_s, QString(), difficultyBox);
    m_difficultyNote->setWordWrap(true);
    (new QVBoxLayout(difficultyBox))->addWidget(m_difficultyNote);
    notes->addWidget(similarityBox, 1);
    notes->addWidget(difficultyBox, 3);
    panel->addLayout(notes);

    auto* autoBox = named(new QGroupBox(this), u"分组框自动组卷"_s);
    m_lowest = named(new QComboBox(autoBox), u"组合框最低难度"_s);
    m_highest = named(new QComboBox(autoBox), u"组合框最高难度"_s);
    m_autoCompose = named(new QPushButton(u"自动组卷"_s, autoBox), u"按钮自动组卷"_s);
    auto* autoLayout = new QHBoxLayout(autoBox);
    autoLayout->setContentsMargins(6, 4, 6, 4);
    autoLayout->addWidget(m_lowest);
    autoLayout->addWidget(label(u"标签难度"_s, u"≤难度≤"_s, autoBox));
    autoLayout->addWidget(m_highest);
    autoLayout->addStretch(1);
    autoLayout->addWidget(m_autoCompose);
    m_lowest->installEventFilter(this);
    m_highest->installEventFilter(this);
    connect(m_lowest, &QComboBox::textActivated, &m_composer, &PaperComposer::chooseLowestDifficulty);
    connect(m_highest, &QComboBox::textActivated, &m_composer, &PaperComposer::chooseHighestDifficulty);
    connect(m_autoCompose, &QPushButton::clicked, &m_composer, &PaperComposer::startAutoComposition);
    panel->addWidget(autoBox);

    auto* outputBox = named(new QGroupBox(u"输出"_s, this), u"分组框1"_s);
    m_word = named(new QRadioButton(u"word"_s, outputBox), u"单选框word"_s);
    m_html = named(new QRadioButton(u"html"_s, outputBox), u"单选框html"_s);
    m_pdf = named(new QRadioButton(u"pdf"_s, outputBox), u"单选框pdf"_s);
    auto* outputLayout = new QHBoxLayout(outputBox);
    outputLayout->setContentsMargins(6, 2, 6, 2);
    for (const auto& [button, output] : {std::pair{m_word, PaperComposer::Output::Word},
                                         std::pair{m_html, PaperComposer::Output::Html},
                                         std::pair{m_pdf, PaperComposer::Output::Pdf}}) {
        outputLayout->addWidget(button);
        connect(button, &QRadioButton::toggled, this, [this, output](bool on) {
            if (on && !m_rendering)
                m_composer.setOutput(output);
        });
    }
    m_continuous = named(new QCheckBox(u"小题连续编号"_s, this), u"选择框小题连续编号"_s);
    m_optionBreak = named(new QCheckBox(u"选项换行"_s, this), u"选择框选项换行"_s);
    m_scoreNote = named(new QCheckBox(u"大题分值说明"_s, this), u"选择框大题分值"_s);
    connect(m_continuous, &QCheckBox::toggled, &m_composer, &PaperComposer::setContinuousNumbering);
    connect(m_optionBreak, &QCheckBox::toggled, &m_composer, &PaperComposer::setOptionLineBreak);
    connect(m_scoreNote, &QCheckBox::toggled, &m_composer, &PaperComposer::setMajorScoreNote);
    auto* outputRow = new QHBoxLayout;
    outputRow->addWidget(outputBox);
    auto* boxes = new QVBoxLayout;
    boxes->setSpacing(0);
    boxes->addWidget(m_continuous);
    boxes->addWidget(m_optionBreak);
    boxes->addWidget(m_scoreNote);
    outputRow->addLayout(boxes);
    panel->addLayout(outputRow);

    m_numberingStyle = named(new QComboBox(this), u"组合框大题编号类型"_s);
    m_majorSuffix = named(new QComboBox(this), u"组合框大题编号后缀"_s);
    m_optionLabels = named(new QComboBox(this), u"组合框选项编号类型"_s);
    m_optionSuffix = named(new QComboBox(this), u"组合框选项编号后缀"_s);
    m_majorSuffix->addItems(PaperComposer::majorSuffixes());
    m_optionLabels->addItems(PaperComposer::optionLabelSets());
    m_optionSuffix->addItems(PaperComposer::optionSuffixes());
    connect(m_numberingStyle, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!m_rendering)
            m_composer.chooseNumberingStyle(index);
    });
    connect(m_majorSuffix, &QComboBox::currentIndexChanged, &m_composer, &PaperComposer::setMajorSuffixIndex);
    connect(m_optionLabels, &QComboBox::currentIndexChanged, &m_composer,
            &PaperComposer::setOptionLabelIndex);
    connect(m_optionSuffix, &QComboBox::currentIndexChanged, &m_composer,
            &PaperComposer::setOptionSuffixIndex);
    m_numberingStyle->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_numberingStyle, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_numberingMenu->popup(m_numberingStyle->mapToGlobal(pos)); });
    auto* numbering = new QGridLayout;
    numbering->addWidget(label(u"标签7"_s, u"大题编号类型"_s, this), 0, 0);
    numbering->addWidget(m_numberingStyle, 0, 1);
    numbering->addWidget(label(u"标签9"_s, u"大题编号后缀"_s, this), 0, 2);
    numbering->addWidget(m_majorSuffix, 0, 3);
    numbering->addWidget(label(u"标签4"_s, u"选项编号类型"_s, this), 1, 0);
    numbering->addWidget(m_optionLabels, 1, 1);
    numbering->addWidget(label(u"标签8"_s, u"选项编号后缀"_s, this), 1, 2);
    numbering->addWidget(m_optionSuffix, 1, 3);
    panel->addLayout(numbering);

    m_generateA = named(new QPushButton(u"生成A卷"_s, this), u"按钮A卷"_s);
    m_generateB = named(new QPushButton(u"生成B卷"_s, this), u"按钮B卷"_s);
    m_print = named(new QPushButton(u"打印…"_s, this), u"按钮打印"_s);
    for (QPushButton* button : {m_autoCompose, m_generateA, m_generateB, m_print})
        button->setAutoDefault(false);
    // A paper of the whole bank takes a while: the wait cursor says so.
    connect(m_generateA, &QPushButton::clicked, this, [this] {
        const BusyCursor busy;
        m_composer.generatePaper(PaperComposer::Paper::A);
    });
    connect(m_generateB, &QPushButton::clicked, this, [this] {
        const BusyCursor busy;
        m_composer.generatePaper(PaperComposer::Paper::B);
    });
    connect(m_print, &QPushButton::clicked, &m_composer, &PaperComposer::printPapers);
    auto* generate = new QHBoxLayout;
    generate->addWidget(m_generateA);
    generate->addWidget(m_generateB);
    generate->addWidget(m_print);

    // The numbering and colour tables and the generation's work grids are kept
    // in grids the user does not see.
    for (auto [grid, name] : {std::pair{&m_composer.numberingTable(), u"高级表格大题编号类型"_s},
                              std::pair{&m_composer.typeColourTable(), u"高级表格题型排列颜色"_s},
                              std::pair{&m_composer.workList(), u"高级表格3"_s},
                              std::pair{&m_composer.assembledPaper(), u"高级表格2"_s}}) {
        auto* hidden = named(new GridView(*grid, this), name);
        hidden->hide();
    }

    // On a low screen the panel scrolls; the generate buttons stay below it,
    // always in sight.
    auto* panelWidget = new QWidget;
    panelWidget->setLayout(panel);
    panel->setContentsMargins(0, 0, 4, 0);
    auto* panelScroll = named(new QScrollArea(this), u"滚动区右侧"_s);
    panelScroll->setWidget(panelWidget);
    panelScroll->setWidgetResizable(true);
    panelScroll->setFrameShape(QFrame::NoFrame);
    panelScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    panelWidget->setMinimumHeight(560);
    auto* side = new QVBoxLayout;
    side->addWidget(panelScroll, 1);
    side->addLayout(generate);
    auto* sideWidget = new QWidget(this);
    sideWidget->setLayout(side);
    side->setContentsMargins(0, 0, 0, 0);
    sideWidget->setFixedWidth(396);

    auto* columns = new QHBoxLayout;
    columns->addWidget(m_questionView, 1);
    columns->addLayout(heightColumn);
    columns->addWidget(sideWidget);
    m_status = named(new QStatusBar(this), u"状态栏"_s);
    m_status->setSizeGripEnabled(false);
    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(4, 4, 4, 0);
    main->setSpacing(2);
    main->addLayout(columns, 1);
    main->addWidget(m_status);
}

// The grid's columns are drawn for a wide screen. Where the window is
// narrower, the two stem columns give up width first, so that the A卷 and B卷
// boxes at the right end stay in sight without scrolling.
void PaperComposerWindow::fitQuestionColumns() {
    QHeaderView* header = m_questionView->horizontalHeader();
    const GridModel& grid = m_composer.questionGrid();
    int wanted = 0;
    for (int c = 0; c < grid.columnCount(); ++c)
        wanted += grid.columnWidth(c);
    const int stem1 = PaperComposer::StemText1Column;
    const int stem2 = PaperComposer::StemText2Column;
    const int base1 = grid.columnWidth(stem1);
    const int stems = base1 + grid.columnWidth(stem2);
    const int room = m_questionView->viewport()->width();
    const int give = std::clamp(wanted - room, 0, std::max(0, stems - 2 * kNarrowestStem));
    const int first = base1 - give * base1 / std::max(1, stems);
    header->resizeSection(stem1, std::max(kNarrowestStem, first));
    header->resizeSection(stem2, std::max(kNarrowestStem, stems - give - first));
}


void PaperComposerWindow::buildMenus() {
    auto* menuBar = new QMenuBar(this);
    layout()->setMenuBar(menuBar);

    m_numberingMenu = menuBar->addMenu(u"大题"_s);
    connect(m_numberingMenu->addAction(u"编号设置"_s), &QAction::triggered, &m_composer,
            &PaperComposer::openNumberingSettings);
    QMenu* papers = menuBar->addMenu(u"试卷(&P)"_s);
    connect(papers->addAction(u"打开试卷文件夹(&O)"_s), &QAction::triggered, &m_composer,
            &PaperComposer::openPaperFolder);
    connect(papers->addAction(u"卷头设置…"_s), &QAction::triggered, this, [this] {
        PaperHeaderSettings settings(m_composer.prompter(), m_composer.courseName());
        PaperHeaderWindow window(settings, this);
        window.exec();
    });
    QMenu* moodle = papers->addMenu(u"导出为Moodle XML"_s);
    connect(moodle->addAction(u"A卷…"_s), &QAction::triggered, this,
            [this] { PaperMoodleExport::run(m_composer, PaperComposer::Paper::A); });
    connect(moodle->addAction(u"B卷…"_s), &QAction::triggered, this,
            [this] { PaperMoodleExport::run(m_composer, PaperComposer::Paper::B); });
    QMenu* difficulty = menuBar->addMenu(u"难度(&N)"_s);
    connect(difficulty->addAction(u"说明(&E)"_s), &QAction::triggered, &m_composer,
            &PaperComposer::openDifficultyNote);
    QMenu* help = menuBar->addMenu(u"帮助(&H)"_s);
    connect(help->addAction(u"组卷帮助(&H)"_s), &QAction::triggered, this, &PaperComposerWindow::showHelp);

    m_sortMenu = new QMenu(u"排序(&S)"_s, this);
    connect(m_sortMenu->addAction(u"升序(&A)"_s), &QAction::triggered, this,
            [this] { m_composer.sortCurrentColumn(true); });
    connect(m_sortMenu->addAction(u"降序(&S)"_s), &QAction::triggered, this,
            [this] { m_composer.sortCurrentColumn(false); });
    m_boxSeparator = m_sortMenu->addSeparator();
    const std::pair<const char16_t*, PaperComposer::BoxOperation> boxItems[] = {
        {u"全选(&X)", PaperComposer::BoxOperation::CheckAll},
        {u"清空(&Q)", PaperComposer::BoxOperation::ClearAll},
        {u"取反(&F)", PaperComposer::BoxOperation::Invert},
    };
    for (const auto& [caption, operation] : boxItems) {
        QAction* action = m_sortMenu->addAction(QString::fromUtf16(caption));
        connect(action, &QAction::triggered, this,
                [this, operation] { m_composer.applyBoxOperation(operation); });
        m_boxItems << action;
    }

    m_typeMenu = new QMenu(u"题型"_s, this);
    connect(m_typeMenu->addAction(u"排序颜色"_s), &QAction::triggered, &m_composer,
            &PaperComposer::openTypeColours);
}

// The settings windows the composer opens, unless the opener brought its own.
void PaperComposerWindow::plugWindows() {
    PaperComposer::Hooks& hooks = m_composer.hooks();
    // "打印…" prints what the last generation in this window assembled.
    const auto printing =
        std::make_shared<PaperPrinting>(m_composer.prompter(), systemPrintDialog(this));
    if (!hooks.generatePaper) {
        // Papers go to the system's temporary folder and are shown by the desktop.
        hooks.generatePaper = [printing](PaperComposer& composer, const QString& paper) {
            DesktopDocumentOpener opener;
            PaperGeneration generation(RandomSource::process(), opener, QDir::tempPath() + u'/');
            printing->remember(generation.generatePaper(composer, paper), PaperGeneration::pictures(composer));
        };
    }
    if (!hooks.printPapers)
        hooks.printPapers = [printing](PaperComposer&) { printing->print(); };
    if (!hooks.openFolder) {
        hooks.openFolder = [](const QString& folder) {
            DesktopDocumentOpener opener;
            return opener.openDocument(folder);
        };
    }
    if (!hooks.showAutoComposer) {
        // Not modal; it goes with this window at the latest.
        hooks.showAutoComposer = [this] {
            m_autoComposer = new AutoComposerWindow(m_composer, m_composer.prompter(), RandomSource::process(), this);
            // A tool window of this one: it stays above it for as long as it is
            // open, also while a run locks this window.
            m_autoComposer->setWindowFlag(Qt::Tool, true);
            connect(m_autoComposer, &QObject::destroyed, &m_composer, &PaperComposer::autoComposerClosed);
            m_autoComposer->show();
            keepOnScreen(m_autoComposer);
        };
    }
    if (!hooks.closeAutoComposer)
        hooks.closeAutoComposer = [this] { delete m_autoComposer.data(); };
    if (!hooks.runNumberingSettings) {
        hooks.runNumberingSettings = [this] {
            NumberingSettings settings(m_composer.prompter());
            NumberingSettingsWindow window(settings, this);
            window.exec();
            activateWindow();
        };
    }
    if (!hooks.runTypeColours) {
        hooks.runTypeColours = [this] {
            TypeColourSettings settings(m_composer.prompter(), &m_composer.typeOrderTable());
            TypeColourWindow window(settings, this);
            window.exec();
            activateWindow();
        };
    }
    if (!hooks.previewQuestion) {
        hooks.previewQuestion = [this](const PaperComposer::Preview& question) {
            // Opened once the double click has been handled, not inside it.
            QTimer::singleShot(0, this, [this, question] {
                const QuestionPreview preview(question.stem1, question.stem2, question.stemPicture);
                QuestionPreviewWindow window(preview, countWrappedLines, this);
                window.exec();
            });
        };
    }
    if (!hooks.runDifficultyNote) {
        hooks.runDifficultyNote = [this] {
            AppState state;
            state.selectedCourse = m_composer.courseName();
            DifficultyNoteLogic logic(m_composer.store(), m_composer.prompter(), state,
                                      [this](const QString& text) { m_composer.setDifficultyNote(text); });
            DifficultyNoteDialog dialog(logic, this);
            dialog.exec();
        };
    }
}

void PaperComposerWindow::fillCombo(QComboBox* combo, const QStringList& items, const QString& current) {
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i)
        shown << combo->itemText(i);
    if (shown != items) {
        combo->clear();
        combo->addItems(items);
    }
    combo->setCurrentIndex(int(items.indexOf(current)));
}

void PaperComposerWindow::render() {
    m_rendering = true;
    // During an automatic composition nothing here may change the grid; the
    // status line says why.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow() && child != m_status)
            child->setEnabled(!m_composer.locked());
    }
    if (m_status->currentMessage() != m_composer.statusText())
        m_status->showMessage(m_composer.statusText());
    setWindowTitle(m_composer.caption().isEmpty() ? u"组卷"_s : m_composer.caption());
    m_totalA->setText(m_composer.totalText(PaperComposer::Paper::A));
    m_totalB->setText(m_composer.totalText(PaperComposer::Paper::B));
    m_similarity->setText(m_composer.similarityText());
    m_difficultyNote->setText(m_composer.difficultyNote());
    m_generateA->setEnabled(m_composer.generateEnabled(PaperComposer::Paper::A));
    m_generateB->setEnabled(m_composer.generateEnabled(PaperComposer::Paper::B));
    m_autoCompose->setEnabled(m_composer.autoComposeEnabled());
    m_lowest->setEnabled(m_composer.difficultyListsEnabled());
    m_highest->setEnabled(m_composer.difficultyListsEnabled());
    fillCombo(m_lowest, m_composer.lowestDifficultyItems(), m_composer.lowestDifficulty());
    fillCombo(m_highest, m_composer.highestDifficultyItems(), m_composer.highestDifficulty());
    m_word->setEnabled(m_composer.outputChoiceEnabled());
    m_word->setChecked(m_composer.output() == PaperComposer::Output::Word);
    m_html->setChecked(m_composer.output() == PaperComposer::Output::Html);
    m_pdf->setChecked(m_composer.output() == PaperComposer::Output::Pdf);
    m_print->setEnabled(m_composer.printEnabled());
    const QStringList styles = m_composer.numberingStyles();
    const int index = m_composer.numberingStyleIndex();
    fillCombo(m_numberingStyle, styles, index >= 0 ? styles.at(index) : QString());
    m_rendering = false;
}

bool PaperComposerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && watched == m_questionView->viewport())
        fitQuestionColumns();
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // The items are rebuilt before the list opens, so the lowest never
        // passes the highest.
        if (watched == m_lowest)
            m_composer.lowestDifficultyPressed();
        else if (watched == m_highest)
            m_composer.highestDifficultyPressed();
    }
    return QDialog::eventFilter(watched, event);
}

void PaperComposerWindow::showSortMenu(bool boxItems, int x, int y) {
    m_boxSeparator->setVisible(boxItems);
    for (QAction* action : std::as_const(m_boxItems))
        action->setVisible(boxItems);
    m_sortMenu->popup(m_questionView->mapToGlobal(QPoint(x, y)));
}

void PaperComposerWindow::showHelp() {
    if (!m_help)
        m_help = new PaperComposerHelpWindow(this);
    m_help->show();
    m_help->raise();
}

void PaperComposerWindow::done(int result) {
    // Not while an automatic composition writes into the grid, nor before the
    // teacher agrees to lose the papers' ticks.
    if (!m_composer.mayClose())
        return;
    delete m_autoComposer.data();
    m_composer.close();
    QDialog::done(result);
}

} // namespace helan
