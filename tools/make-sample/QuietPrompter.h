#pragma once

#include <QStringList>

#include "base/Prompter.h"

namespace helan {

// The prompter of unattended writers: messages are kept for the error report,
// every question is answered with Cancel / No and every dialog is cancelled.
class QuietPrompter : public Prompter {
public:
    const QStringList& messages() const { return m_messages; }

    void message(const QString& text, const QString& title, Icon icon) override;
    bool okCancel(const QString& text, const QString& title) override;
    bool yesNo(const QString& text, const QString& title) override;
    std::optional<QString> input(const QString& title, const QString& prompt, const QString& initial,
                                 bool masked) override;
    QString openFile(const QString& title, const QString& filter, const QString& folder) override;
    QString chooseFolder(const QString& title, const QString& folder) override;
    std::optional<unsigned int> chooseColour(unsigned int initial) override;

private:
    QStringList m_messages;
};

} // namespace helan
