#pragma once

#include "naming/namingrule.h"
#include "naming/outputname.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>
#include <map>

namespace Pw {

// Every JPEG written by a run carries 300 dpi.
inline constexpr int kOutputDpi = 300;
// The size-limit walk: index 16 (quality 85) down to index 0 (quality 5).
inline constexpr int kLimitFirstIndex = 16;

// The camera step of one candidate: the bytes it holds once the source's camera information is
// in it, or a problem text (the candidate then stays as it was, without the information).
struct CameraResult
{
    QByteArray bytes;
    QString problem;       // empty when the information was copied
    bool timedOut = false; // the tool ran past its time and was stopped
};

// How long the camera tool may take for a source of sourceBytes: 10 s, and 1 s more for every
// 16 MiB, at most 5 minutes (it reads only the headers, but a damaged file may make it search).
int CameraToolTimeoutMs(qint64 sourceBytes);
using CameraStep = std::function<CameraResult(const QString &sourcePath, const QByteArray &plain)>;

// What the save step of one run needs; fixed when the run starts.
struct SaveSettings
{
    QString runFolder; // ends with '/'
    NamingRule rule;
    bool keepCamera = false;
    bool sizeLimitOn = false;
    qint64 limitBytes = 0;
    int qualityIndex = 16;
    QString cameraTool;          // full path of pwReadSM
    QString workFolder;          // scratch folder outside runFolder for the camera tool, ending '/'
    std::function<void()> yield; // called while the camera tool runs
    CameraStep cameraStep;       // empty: pwReadSM on a scratch copy in workFolder
    CopyNumbers *copyNumbers = nullptr; // the run's " 副本" numbers (MakeUniquePath)
};

// JPEG encodings of one canvas, by quality. Whoever drew the canvas may fill it ahead of time;
// the save step encodes whatever is missing.
using EncodedQualities = std::map<int, QByteArray>;

// The encodings the save step will need whatever the camera step adds: the chosen quality, or
// under a size limit 85, 80, ... down to the first whose plain JPEG fits. Thread-safe.
EncodedQualities EncodeAhead(const QImage &canvas, const SaveSettings &settings);

struct SaveOutcome
{
    bool saved = false; // one output file stays at `path`
    QString path;
    qint64 bytes = 0; // its length
    int quality = 0;
    QString error;         // no output: the text the report puts in brackets
    QString cameraProblem; // the camera step failed; the file was kept without camera information
    bool cameraTimedOut = false; // ... because the tool ran past its time
};

// Saves the canvas as the file the walk 85, 80, ..., 5 of the size limit (or the chosen quality
// without one) would leave, camera information included when asked: every candidate is encoded
// in memory and only the one that stays is written, so the run folder never holds more than
// one output of a source. facts.quality is set for each attempt.
SaveOutcome SaveAndLimit(const SaveSettings &settings, const QImage &canvas,
                         const QString &sourcePath, NameFacts facts, EncodedQualities &encodings);

} // namespace Pw
