#pragma once

#include <optional>

#include <QString>

namespace helan {

// Everything the logic classes ask of or tell the user goes through this
// interface: the program shows real dialogs, the tests answer from a script.
class Prompter {
public:
    enum class Icon { None, Information, Warning, Error };

    virtual ~Prompter() = default;

    // A message box with one OK button.
    virtual void message(const QString& text, const QString& title = {}, Icon icon = Icon::Information) = 0;
    // OK / Cancel; true for OK. Closing the box counts as Cancel.
    virtual bool okCancel(const QString& text, const QString& title = {}) = 0;
    // Yes / No; true for Yes. Closing the box counts as No.
    virtual bool yesNo(const QString& text, const QString& title = {}) = 0;
    // An input box; no value on Cancel.
    virtual std::optional<QString> input(const QString& title, const QString& prompt,
                                         const QString& initial = {}, bool masked = false) = 0;
    // The file-open dialog; an empty result on Cancel.
    virtual QString openFile(const QString& title, const QString& filter, const QString& folder = {}) = 0;
    // A folder browser; an empty result on Cancel.
    virtual QString chooseFolder(const QString& title, const QString& folder = {}) = 0;
    // The colour chooser (0xAARRGGBB); no value on Cancel.
    virtual std::optional<unsigned int> chooseColour(unsigned int initial) = 0;
};

} // namespace helan
