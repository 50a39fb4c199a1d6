#include "editor/ClipboardPictureWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "editor/ClipboardPictureImport.h"
#include "editor/PictureCodec.h"

using namespace Qt::StringLiterals;

namespace helan {

ClipboardPictureWindow::ClipboardPictureWindow(ClipboardPictureImport& logic, Store store, QWidget* parent)
    : QDialog(parent), m_logic(logic), m_store(std::move(store)) {
    setObjectName(u"从剪贴板导入图片"_s);
    setWindowTitle(u"从剪贴板导入图片"_s);

    auto* menuBar = new QMenuBar(this);
    QMenu* help = menuBar->addMenu(u"帮助(&H)"_s);
    QAction* about = help->addAction(u"说明(&E)"_s);
    connect(about, &QAction::triggered, this, [this] { m_logic.showHelp(); });

    auto* area = new QScrollArea(this);
    area->setAlignment(Qt::AlignCenter);
    m_box = new QLabel;
    m_box->setObjectName(u"图片框1"_s);
    m_box->setAlignment(Qt::AlignCenter);
    area->setWidget(m_box);
    area->setWidgetResizable(true);

    auto* reimportButton = new QPushButton(u"重新导入"_s, this);
    reimportButton->setObjectName(u"按钮重新导入"_s);
    m_save = new QPushButton(u"保存"_s, this);
    m_save->setObjectName(u"按钮保存"_s);
    auto* cancel = new QPushButton(u"取消"_s, this);
    cancel->setObjectName(u"按钮取消"_s);
    auto* formula = new QPushButton(u"打开word公式编辑器"_s, this);
    formula->setObjectName(u"按钮打开word公式编辑器"_s);
    for (QPushButton* b : {reimportButton, m_save, cancel, formula})
        b->setAutoDefault(false);
    connect(reimportButton, &QPushButton::clicked, this, &ClipboardPictureWindow::reimport);
    connect(m_save, &QPushButton::clicked, this, &ClipboardPictureWindow::save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(formula, &QPushButton::clicked, this, [this] { m_logic.openFormulaEditor(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(formula);
    buttons->addStretch(1);
    buttons->addWidget(reimportButton);
    buttons->addWidget(m_save);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addWidget(area, 1);
    layout->addLayout(buttons);
    resize(560, 420);
    reimport();
}

void ClipboardPictureWindow::reimport() {
    m_logic.importPicture();
    const QImage image = PictureCodec::decode(m_logic.pictureBytes());
    m_box->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
    m_save->setEnabled(m_logic.saveEnabled());
}

void ClipboardPictureWindow::save() {
    if (!m_logic.saveEnabled())
        return;
    if (m_store)
        m_store(m_logic.pictureBytes());
    accept();
}

} // namespace helan
