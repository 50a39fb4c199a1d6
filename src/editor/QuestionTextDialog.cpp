#include "editor/QuestionTextDialog.h"

#include <algorithm>

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/Gbk.h"
#include "editor/BankEditor.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

QString shownText(const QString& stored) {
    QString text = stored;
    return text.replace(u"\r\n"_s, u"\n"_s);
}

bool clipboardHasText() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard && !clipboard->text().isEmpty();
}

} // namespace

QuestionTextDialog::QuestionTextDialog(BankEditor& editor, QWidget* parent)
    : QDialog(parent), m_editor(editor), m_edit(new QPlainTextEdit(this)),
      m_copyPaste(new QPushButton(this)) {
    setObjectName(u"试题编辑"_s);
    setWindowTitle(editor.dialogCaption());
    setModal(true);
    resize(560, 320);

    m_edit->setObjectName(u"编辑框1"_s);
    // Tab goes to the buttons; a question's text never needs a tab character.
    m_edit->setTabChangesFocus(true);
    QFont font = m_edit->font();
    font.setPointSize(12);
    m_edit->setFont(font);
    auto* ok = new QPushButton(u"确定"_s, this);
    ok->setObjectName(u"按钮确定"_s);
    auto* cancel = new QPushButton(u"取消"_s, this);
    cancel->setObjectName(u"按钮取消"_s);
    m_copyPaste->setObjectName(u"按钮复制粘贴"_s);
    ok->setAutoDefault(false);
    cancel->setAutoDefault(false);
    m_copyPaste->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_copyPaste);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_edit);
    layout->addLayout(buttons);

    m_typingLimit = editor.dialogTypingLimit();
    const QString initial = editor.dialogInitialText();
    setContent(initial);
    if (!initial.isEmpty()) {
        m_copyPaste->setText(u"复制全部"_s);
        m_copyPaste->setEnabled(true);
    } else {
        m_copyPaste->setText(u"粘贴"_s);
        m_copyPaste->setEnabled(clipboardHasText());
    }

    connect(ok, &QPushButton::clicked, this, &QuestionTextDialog::okClicked);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_copyPaste, &QPushButton::clicked, this, &QuestionTextDialog::copyPasteClicked);
    connect(m_edit, &QPlainTextEdit::textChanged, this, &QuestionTextDialog::textEdited);
}

QuestionTextDialog::~QuestionTextDialog() = default;

QString QuestionTextDialog::content() const {
    QString text = m_edit->toPlainText();
    return text.replace(u"\n"_s, u"\r\n"_s);
}

void QuestionTextDialog::setContent(const QString& text) {
    m_settingText = true;
    m_edit->setPlainText(shownText(text));
    m_lastText = m_edit->toPlainText();
    m_settingText = false;
}

void QuestionTextDialog::reject() {
    m_editor.cancelTextDialog();
    QDialog::reject();
}

void QuestionTextDialog::okClicked() {
    if (m_editor.acceptTextDialog(content()))
        accept();
}

void QuestionTextDialog::copyPasteClicked() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (m_copyPaste->text() == u"复制全部"_s) {
        if (clipboard)
            clipboard->setText(m_edit->toPlainText());
        reject();
        return;
    }
    if (clipboard)
        setContent(clipboard->text());
}

// What the user types may not take the text beyond the limit: the inserted part
// is cut to what still fits. Text the program puts in is left whole.
void QuestionTextDialog::textEdited() {
    const QString now = m_edit->toPlainText();
    if (!m_settingText && m_typingLimit > 0 && gbkLength(now) > m_typingLimit &&
        gbkLength(now) > gbkLength(m_lastText)) {
        qsizetype prefix = 0;
        const qsizetype common = std::min(now.size(), m_lastText.size());
        while (prefix < common && now.at(prefix) == m_lastText.at(prefix))
            ++prefix;
        qsizetype suffix = 0;
        while (suffix < common - prefix &&
               now.at(now.size() - 1 - suffix) == m_lastText.at(m_lastText.size() - 1 - suffix))
            ++suffix;
        const QString kept = m_lastText.left(prefix) + m_lastText.right(suffix);
        const QString inserted = now.mid(prefix, now.size() - prefix - suffix);
        const qsizetype room = std::max<qsizetype>(0, m_typingLimit - gbkLength(kept));
        const QString fitted = cutToGbkBytes(inserted, room);
        m_settingText = true;
        m_edit->setPlainText(m_lastText.left(prefix) + fitted + m_lastText.right(suffix));
        QTextCursor cursor = m_edit->textCursor();
        cursor.setPosition(int(prefix + fitted.size()));
        m_edit->setTextCursor(cursor);
        m_settingText = false;
    }
    m_lastText = m_edit->toPlainText();
    m_copyPaste->setEnabled(!m_lastText.isEmpty());
}

} // namespace helan
