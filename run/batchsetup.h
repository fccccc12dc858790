#pragma once

#include "naming/namingrule.h"
#include "options/processingoptions.h"
#include "platform/sourceselection.h"
#include "run/batchengine.h"
#include "run/step3choices.h"

#include <QString>

// One set-up for a batch run, shared by the wizard and `pixwright run`: both read the same
// remembered choices and complete them into BatchInputs the same way.
namespace Pw {

// The choices of the three steps as the user left them (the wizard reads its controls, the
// command line the settings file and its options).
struct BatchChoices
{
    SourceSelection selection;
    ProcessingOptions options;
    Step3Choices step3; // summaryText is filled by MakeBatchInputs
    NamingRule rule;
};

struct BatchSetup
{
    BatchInputs inputs;
    bool photoLetterDropped = false; // rule option 3 was turned off: no camera information kept
};

// Completes the choices into the inputs of a run: the photo-letter guard, the step-3 summary,
// the output base (outputBase, else the remembered output folder, else the desktop), the
// program name (the
// executable's base name) and the camera tool beside the executable.
BatchSetup MakeBatchInputs(BatchChoices choices, const QString &outputBase = QString());

} // namespace Pw
