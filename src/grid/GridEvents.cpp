#include "grid/GridEvents.h"

namespace helan {

bool GridEvents::requestEdit()
{
    bool allowed = true;
    Q_EMIT editRequested(allowed);
    return allowed;
}

bool GridEvents::offerKey(int key, Qt::KeyboardModifiers modifiers)
{
    bool swallowed = false;
    Q_EMIT keyDown(key, modifiers, swallowed);
    return swallowed;
}

} // namespace helan
