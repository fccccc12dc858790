#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace Pw {

// The background picture of a run, stretched once to the canvas that every file of modes 1 and
// 2 shares.
struct RunBackground
{
    QImage image;     // null: the run goes on without it
    QString problem;  // for the report: why it is left out (or drawn only in part)
    QString note;     // for the report: drawn whole, but not quite as the file asks
    qint64 bytes = 0; // what it holds for the whole run
};

// Measures the file first and decodes it only when the decoding (a progressive JPEG holds every
// coefficient of its full size) and the stretched picture fit in budget, the picture being at
// most half of it, as it stays for the whole run.
RunBackground LoadRunBackground(const QString &path, QSize canvas, qint64 budget);

} // namespace Pw
