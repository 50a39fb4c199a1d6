#include "ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace helan::test {

namespace {
const char* kindName(ScriptedPrompter::Kind kind)
{
    switch (kind) {
    case ScriptedPrompter::Kind::Message: return "message";
    case ScriptedPrompter::Kind::OkCancel: return "OK/Cancel question";
    case ScriptedPrompter::Kind::YesNo: return "Yes/No question";
    case ScriptedPrompter::Kind::Input: return "input box";
    case ScriptedPrompter::Kind::OpenFile: return "file dialog";
    case ScriptedPrompter::Kind::ChooseFolder: return "folder dialog";
    case ScriptedPrompter::Kind::ChooseColour: return "colour chooser";
    }
    return "prompt";
}
} // namespace

ScriptedPrompter::~ScriptedPrompter() = default;

ScriptedPrompter& ScriptedPrompter::expectMessage(const QString& text)
{
    m_script.push_back(Answer{Kind::Message, text, false, std::nullopt, std::nullopt});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::answerOkCancel(bool ok, const QString& text)
{
    m_script.push_back(Answer{Kind::OkCancel, text, ok, std::nullopt, std::nullopt});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::answerYesNo(bool yes, const QString& text)
{
    m_script.push_back(Answer{Kind::YesNo, text, yes, std::nullopt, std::nullopt});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::answerInput(std::optional<QString> value, const QString& title)
{
    Answer a{Kind::Input, title, false, std::nullopt, std::nullopt};
    a.value = std::move(value);
    m_script.push_back(std::move(a));
    return *this;
}

ScriptedPrompter& ScriptedPrompter::answerOpenFile(const QString& path)
{
    Answer a{Kind::OpenFile, {}, false, std::nullopt, std::nullopt};
    a.value = path;
    m_script.push_back(std::move(a));
    return *this;
}

ScriptedPrompter& ScriptedPrompter::answerChooseFolder(const QString& path)
{
    Answer a{Kind::ChooseFolder, {}, false, std::nullopt, std::nullopt};
    a.value = path;
    m_script.push_back(std::move(a));
    return *this;
}

ScriptedPrompter& ScriptedPrompter::answerChooseColour(std::optional<unsigned int> colour)
{
    Answer a{Kind::ChooseColour, {}, false, std::nullopt, std::nullopt};
    a.colour = colour;
    m_script.push_back(std::move(a));
    return *this;
}

QStringList ScriptedPrompter::messages() const
{
    QStringList out;
    for (const Prompt& p : m_prompts)
        if (p.kind == Kind::Message)
            out.append(p.text);
    return out;
}

void ScriptedPrompter::clear()
{
    m_script.clear();
    m_prompts.clear();
}

std::optional<ScriptedPrompter::Answer> ScriptedPrompter::take(Kind kind, const QString& text)
{
    if (m_script.empty() || m_script.front().kind != kind) {
        ADD_FAILURE() << "unexpected " << kindName(kind) << ": " << text.toStdString()
                      << (m_script.empty() ? " (script is empty)"
                                           : std::string(" (script expects a ") +
                                                 kindName(m_script.front().kind) + ")");
        return std::nullopt;
    }
    Answer a = m_script.front();
    m_script.pop_front();
    if (!a.expectedText.isEmpty()) {
        EXPECT_EQ(a.expectedText.toStdString(), text.toStdString()) << "text of the " << kindName(kind);
    }
    return a;
}

void ScriptedPrompter::message(const QString& text, const QString& title, Icon icon)
{
    m_prompts.append(Prompt{Kind::Message, text, title, icon});
    // Messages need no answer; they are checked against the script only when one
    // is scripted next or strict mode asks for it.
    if (m_strictMessages || (!m_script.empty() && m_script.front().kind == Kind::Message))
        take(Kind::Message, text);
}

bool ScriptedPrompter::okCancel(const QString& text, const QString& title)
{
    m_prompts.append(Prompt{Kind::OkCancel, text, title, Icon::None});
    const auto a = take(Kind::OkCancel, text);
    return a && a->yes;
}

bool ScriptedPrompter::yesNo(const QString& text, const QString& title)
{
    m_prompts.append(Prompt{Kind::YesNo, text, title, Icon::None});
    const auto a = take(Kind::YesNo, text);
    return a && a->yes;
}

std::optional<QString> ScriptedPrompter::input(const QString& title, const QString& prompt,
                                               const QString& initial, bool masked)
{
    Q_UNUSED(initial);
    Q_UNUSED(masked);
    m_prompts.append(Prompt{Kind::Input, title, prompt, Icon::None});
    const auto a = take(Kind::Input, title);
    return a ? a->value : std::nullopt;
}

QString ScriptedPrompter::openFile(const QString& title, const QString& filter, const QString& folder)
{
    Q_UNUSED(folder);
    m_prompts.append(Prompt{Kind::OpenFile, title, filter, Icon::None});
    const auto a = take(Kind::OpenFile, {});
    return a && a->value ? *a->value : QString();
}

QString ScriptedPrompter::chooseFolder(const QString& title, const QString& folder)
{
    m_prompts.append(Prompt{Kind::ChooseFolder, title, folder, Icon::None});
    const auto a = take(Kind::ChooseFolder, {});
    return a && a->value ? *a->value : QString();
}

std::optional<unsigned int> ScriptedPrompter::chooseColour(unsigned int initial)
{
    m_prompts.append(Prompt{Kind::ChooseColour, QString::number(initial, 16), {}, Icon::None});
    const auto a = take(Kind::ChooseColour, {});
    return a ? a->colour : std::nullopt;
}

} // namespace helan::test
