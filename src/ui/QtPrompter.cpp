#include "ui/QtPrompter.h"

#include <cstdio>

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace helan {

namespace {

// Message boxes without a title of their own carry the program's name.
QString titleOr(const QString& title)
{
    return title.isEmpty() ? u"禾岚"_s : title;
}

QMessageBox::Icon boxIcon(Prompter::Icon icon)
{
    switch (icon) {
    case Prompter::Icon::None: return QMessageBox::NoIcon;
    case Prompter::Icon::Information: return QMessageBox::Information;
    case Prompter::Icon::Warning: return QMessageBox::Warning;
    case Prompter::Icon::Error: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// The buttons carry Chinese captions whether or not Qt's own translations are
// installed.
QString captionOf(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Ok: return u"确定"_s;
    case QMessageBox::Cancel: return u"取消"_s;
    case QMessageBox::Yes: return u"是(&Y)"_s;
    case QMessageBox::No: return u"否(&N)"_s;
    default: return {};
    }
}

QMessageBox::StandardButton ask(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                const QString& text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, title, text, buttons, parent);
    for (QAbstractButton* button : box.buttons())
        button->setText(captionOf(box.standardButton(button)));
    box.setDefaultButton(defaultButton);
    return QMessageBox::StandardButton(box.exec());
}

} // namespace

QtPrompter::QtPrompter() : m_echoOnly(qgetenv("HELAN_PROMPTS") == "stderr") {}

QWidget* QtPrompter::dialogParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

void QtPrompter::echo(const char* kind, const QString& text, const QString& title) const
{
    std::fprintf(stderr, "[%s] %s | %s\n", kind, text.toUtf8().constData(), title.toUtf8().constData());
    std::fflush(stderr);
}

void QtPrompter::message(const QString& text, const QString& title, Icon icon)
{
    if (m_echoOnly) {
        echo("message", text, title);
        return;
    }
    ask(dialogParent(), boxIcon(icon), titleOr(title), text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtPrompter::okCancel(const QString& text, const QString& title)
{
    if (m_echoOnly) {
        echo("okCancel", text, title);
        return false;
    }
    return ask(dialogParent(), QMessageBox::Question, titleOr(title), text,
               QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
        == QMessageBox::Ok;
}

bool QtPrompter::yesNo(const QString& text, const QString& title)
{
    if (m_echoOnly) {
        echo("yesNo", text, title);
        return false;
    }
    return ask(dialogParent(), QMessageBox::Question, titleOr(title), text, QMessageBox::Yes | QMessageBox::No,
               QMessageBox::Yes)
        == QMessageBox::Yes;
}

std::optional<QString> QtPrompter::input(const QString& title, const QString& prompt, const QString& initial,
                                         bool masked)
{
    if (m_echoOnly) {
        echo("input", title, prompt);
        return std::nullopt;
    }
    // A dialog of its own rather than QInputDialog, whose size constraint would
    // squeeze a box with an empty prompt below the width of its title.
    QDialog dialog(dialogParent());
    dialog.setWindowTitle(titleOr(title));
    auto* label = new QLabel(prompt, &dialog);
    label->setVisible(!prompt.isEmpty());
    auto* edit = new QLineEdit(initial, &dialog);
    edit->setEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
    edit->setMinimumWidth(300);
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(u"确定"_s, QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(u"取消"_s, QDialogButtonBox::RejectRole);
    buttons->setCenterButtons(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(20, 18, 20, 16);
    layout->setSpacing(12);
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addWidget(buttons);
    edit->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return edit->text();
}

QString QtPrompter::openFile(const QString& title, const QString& filter, const QString& folder)
{
    if (m_echoOnly) {
        echo("openFile", title, filter);
        return {};
    }
    // The descriptions already name their patterns; do not show them twice.
    return QFileDialog::getOpenFileName(dialogParent(), title, folder, toQtFilter(filter), nullptr,
                                        QFileDialog::HideNameFilterDetails);
}

QString QtPrompter::chooseFolder(const QString& title, const QString& folder)
{
    if (m_echoOnly) {
        echo("chooseFolder", title, folder);
        return {};
    }
    return QFileDialog::getExistingDirectory(dialogParent(), title, folder);
}

std::optional<unsigned int> QtPrompter::chooseColour(unsigned int initial)
{
    if (m_echoOnly) {
        echo("chooseColour", QString::number(initial, 16), {});
        return std::nullopt;
    }
    const QColor colour = QColorDialog::getColor(QColor::fromRgba(initial), dialogParent());
    if (!colour.isValid())
        return std::nullopt;
    return colour.rgba();
}

QString QtPrompter::toQtFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QStringList patterns;
        if (i + 1 < parts.size()) {
            for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts))
                patterns.append(pattern.trimmed());
        }
        if (description.isEmpty() && patterns.isEmpty())
            continue;
        if (patterns.isEmpty())
            patterns.append(u"*"_s);
        filters.append((description.isEmpty() ? patterns.join(u' ') : description) + u" ("_s
                       + patterns.join(u' ') + u')');
    }
    return filters.join(u";;"_s);
}

} // namespace helan
