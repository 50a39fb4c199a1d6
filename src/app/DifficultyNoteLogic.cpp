#include "app/DifficultyNoteLogic.h"

#include "app/AppState.h"
#include "base/Gbk.h"
#include "model/CourseCatalog.h"
#include "store/RecordStore.h"

namespace helan {

namespace {

// The course's record is found by name: names are unique among courses, and the
// list position of the main window is not at hand in the windows that open this.
bool goToCourse(CourseCatalog& catalog, const QString& course)
{
    const qsizetype position = catalog.courseNames().indexOf(course);
    return position >= 0 && catalog.goToCourse(int(position));
}

} // namespace

DifficultyNoteLogic::DifficultyNoteLogic(RecordStore& store, Prompter& prompter, AppState& state,
                                         ClosedHook onClosed)
    : m_store(store), m_prompter(prompter), m_state(state), m_onClosed(std::move(onClosed))
{
    CourseCatalog catalog(m_store, m_prompter);
    if (goToCourse(catalog, m_state.selectedCourse))
        m_text = m_store.readText(CourseCatalog::Difficulty);
}

void DifficultyNoteLogic::close()
{
    if (m_closed)
        return;
    m_closed = true;
    if (m_onClosed)
        m_onClosed(m_text);
    CourseCatalog catalog(m_store, m_prompter);
    if (goToCourse(catalog, m_state.selectedCourse))
        m_store.write(CourseCatalog::Difficulty, cutToGbkBytes(m_text, CourseCatalog::kDifficultyWidth));
    m_store.setCurrent(m_state.selectedCourse);
}

} // namespace helan
