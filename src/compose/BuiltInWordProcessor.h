#pragma once

#include "compose/WordProcessor.h"

namespace helan {

// The program's own .docx writer standing in for a word processor driven by
// automation: it is part of the program, so it is always there.
class BuiltInWordProcessor : public WordProcessor {
public:
    bool isWordInstalled() const override;
};

} // namespace helan
