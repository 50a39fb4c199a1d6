#pragma once

#include <deque>
#include <optional>

#include <QString>
#include <QStringList>

#include "base/Prompter.h"

namespace helan::test {

// A Prompter that answers from a script. Every prompt is recorded; a prompt the
// script did not expect fails the running test (and is answered with Cancel / No)
// instead of hanging on a dialog.
class ScriptedPrompter : public Prompter {
public:
    enum class Kind { Message, OkCancel, YesNo, Input, OpenFile, ChooseFolder, ChooseColour };

    struct Prompt {
        Kind kind;
        QString text;  // message / question text, or the input box's title
        QString title; // message title, or the input box's prompt
        Icon icon = Icon::None;
    };

    ~ScriptedPrompter() override;

    // Script: answers in the order the prompts will come.
    ScriptedPrompter& expectMessage(const QString& text = {});
    ScriptedPrompter& answerOkCancel(bool ok, const QString& text = {});
    ScriptedPrompter& answerYesNo(bool yes, const QString& text = {});
    ScriptedPrompter& answerInput(std::optional<QString> value, const QString& title = {});
    ScriptedPrompter& answerOpenFile(const QString& path);
    ScriptedPrompter& answerChooseFolder(const QString& path);
    ScriptedPrompter& answerChooseColour(std::optional<unsigned int> colour);

    // What was shown, in order.
    const QList<Prompt>& prompts() const { return m_prompts; }
    // The texts of the message boxes shown, in order.
    QStringList messages() const;
    // Whether every scripted answer was used.
    bool done() const { return m_script.empty(); }
    void clear();

    void message(const QString& text, const QString& title, Icon icon) override;
    bool okCancel(const QString& text, const QString& title) override;
    bool yesNo(const QString& text, const QString& title) override;
    std::optional<QString> input(const QString& title, const QString& prompt, const QString& initial,
                                 bool masked) override;
    QString openFile(const QString& title, const QString& filter, const QString& folder) override;
    QString chooseFolder(const QString& title, const QString& folder) override;
    std::optional<unsigned int> chooseColour(unsigned int initial) override;

    // Messages are shown without a script entry unless strict mode is on.
    void setStrictMessages(bool strict) { m_strictMessages = strict; }

private:
    struct Answer {
        Kind kind;
        QString expectedText; // empty: any text
        bool yes = false;
        std::optional<QString> value;
        std::optional<unsigned int> colour;
    };
    std::optional<Answer> take(Kind kind, const QString& text);

    std::deque<Answer> m_script;
    QList<Prompt> m_prompts;
    bool m_strictMessages = false;
};

} // namespace helan::test
