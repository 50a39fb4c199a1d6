#include "app/StandInWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace helan {

StandInWindow::StandInWindow(const QString& caption, const QString& course, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(caption);
    setModal(true);
    auto* label = new QLabel(u"课程："_s + course, this);
    auto* close = new QPushButton(u"关闭"_s, this);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 18);
    layout->addWidget(label);
    layout->addStretch();
    layout->addWidget(close, 0, Qt::AlignCenter);
    resize(480, 320);
}

} // namespace helan
