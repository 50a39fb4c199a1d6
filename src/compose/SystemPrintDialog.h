#pragma once

#include "compose/PaperPrinting.h"

class QWidget;

namespace helan {

// The system's print dialog over parent and the printer chosen in it, offered
// the sheets the paper is laid out on.
PaperPrinting::PrintDialog systemPrintDialog(QWidget* parent);

} // namespace helan
