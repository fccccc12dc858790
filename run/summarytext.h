#pragma once

#include "naming/namingrule.h"
#include "options/modecaption.h"
#include "options/processingoptions.h"

#include <QString>

namespace Pw {

// What the step-3 summary is built from.
struct SummaryInputs
{
    bool keepCamera = false;
    ProcessingOptions options;
    NamingRule rule;
    int qualityIndex = 16;
    int selectedCount = 0;     // pictures the run will take; 0 leaves the line out
    QString backgroundPicture; // named in the border modes when the file exists
};

// The size part of the naming pattern for the chosen mode ("800[宽]x600[高]", ...).
QString SummarySizePart(const ProcessingOptions &options, QChar separator);

// The quality element of the pattern: "Q85", or "Q[自动]" when the size limit picks it.
QString SummaryQualityText(const ProcessingOptions &options, int qualityIndex);

// SummaryText as step 3 builds it (CR LF line breaks), which the run report copies.
QString SummaryText(const SummaryInputs &inputs);

// The line step 3 shows while it builds the summary: "---======即将处理选定的【N】个文件======---".
QString SummaryHeading(int selectedCount);

// The hint step 3 shows under the summary: the summary and the closing request.
QString SummaryHint(const QString &summaryText);

// What step 3's panel shows in rename-only mode: the rule in its rename form, the count and
// the request to press the batch-rename button, each part followed by two line breaks.
QString RenameModeText(const NamingRule &rule, int selectedCount);

// The hint step 3 shows while a batch run lasts.
QString RunningHint();

} // namespace Pw
