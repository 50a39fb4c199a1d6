#pragma once

#include "base/Prompter.h"

class QWidget;

namespace helan {

// The Prompter of the running program: Qt message boxes, input boxes and the
// file, folder and colour dialogs, each modal over the active window.
//
// With the environment variable HELAN_PROMPTS=stderr set (tests that start the
// real program use it) nothing is shown: every prompt is written to standard
// error as one line and answered at once as if closed (Cancel / No / nothing).
class QtPrompter : public Prompter {
public:
    QtPrompter();

    void message(const QString& text, const QString& title = {}, Icon icon = Icon::Information) override;
    bool okCancel(const QString& text, const QString& title = {}) override;
    bool yesNo(const QString& text, const QString& title = {}) override;
    std::optional<QString> input(const QString& title, const QString& prompt, const QString& initial = {},
                                 bool masked = false) override;
    QString openFile(const QString& title, const QString& filter, const QString& folder = {}) override;
    QString chooseFolder(const QString& title, const QString& folder = {}) override;
    std::optional<unsigned int> chooseColour(unsigned int initial) override;

    // "描述（*.a）|*.a|描述2|*.b;*.c" → "描述（*.a） (*.a);;描述2 (*.b *.c)". A
    // description without its pattern part is kept as a filter that shows all.
    static QString toQtFilter(const QString& filter);

private:
    static QWidget* dialogParent();
    void echo(const char* kind, const QString& text, const QString& title) const;

    bool m_echoOnly = false;
};

} // namespace helan
