#include "compose/BuiltInWordProcessor.h"

namespace helan {

bool BuiltInWordProcessor::isWordInstalled() const {
    return true;
}

} // namespace helan
