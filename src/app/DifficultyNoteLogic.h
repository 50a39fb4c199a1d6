#pragma once

#include <functional>

#include <QString>

namespace helan {

struct AppState;
class Prompter;
class RecordStore;

// The logic of the window 难度说明: the selected course's free-text difficulty
// description (难度说明 of its catalogue record), shown in 编辑框2 and written
// back when the window goes.
class DifficultyNoteLogic {
public:
    // Called with the final text when the window closes; the composition window
    // passes one to update its own difficulty label.
    using ClosedHook = std::function<void(const QString& text)>;

    // Loads the description of AppState::selectedCourse from the catalogue.
    DifficultyNoteLogic(RecordStore& store, Prompter& prompter, AppState& state, ClosedHook onClosed = {});

    QString text() const { return m_text; }
    void setText(const QString& text) { m_text = text; }

    // The window goes: runs the hook, writes the text (cut to the field's 80
    // bytes) into the course's record and makes the course's bank current again.
    void close();

private:
    RecordStore& m_store;
    Prompter& m_prompter;
    AppState& m_state;
    ClosedHook m_onClosed;
    QString m_text;
    bool m_closed = false;
};

} // namespace helan
