#pragma once

#include "options/processingoptions.h"

#include <QString>

namespace Pw {

// The caption of a mode option as step 2 shows it for these options (mode 3 names its edge,
// mode 5 its percentage or factor); the step-3 summary repeats it.
QString ModeCaption(const ProcessingOptions &options);

} // namespace Pw
