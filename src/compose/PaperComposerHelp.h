#pragma once

#include <QString>

namespace helan {

// The fixed text of the window "组卷帮助": 24 lines joined by CR LF.
class PaperComposerHelp {
public:
    static QString text();
    static constexpr int kLineCount = 24;
};

} // namespace helan
