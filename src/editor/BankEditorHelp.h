#pragma once

#include <QString>

namespace helan {

// The fixed text of the window "题库编辑帮助".
class BankEditorHelp {
public:
    static QString text();
};

} // namespace helan
