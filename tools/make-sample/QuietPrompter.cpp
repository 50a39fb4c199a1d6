#include "QuietPrompter.h"

namespace helan {

void QuietPrompter::message(const QString& text, const QString&, Icon)
{
    m_messages.append(text);
}

bool QuietPrompter::okCancel(const QString& text, const QString&)
{
    m_messages.append(text);
    return false;
}

bool QuietPrompter::yesNo(const QString& text, const QString&)
{
    m_messages.append(text);
    return false;
}

std::optional<QString> QuietPrompter::input(const QString&, const QString&, const QString&, bool)
{
    return std::nullopt;
}

QString QuietPrompter::openFile(const QString&, const QString&, const QString&)
{
    return {};
}

QString QuietPrompter::chooseFolder(const QString&, const QString&)
{
    return {};
}

std::optional<unsigned int> QuietPrompter::chooseColour(unsigned int)
{
    return std::nullopt;
}

} // namespace helan
