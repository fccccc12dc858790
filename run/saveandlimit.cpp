#include "run/saveandlimit.h"

#include "imaging/jpegheader.h"
#include "imaging/pictureservice.h"
#include "platform/nativefile.h"
#include "platform/process.h"
#include "run/step3choices.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace Pw {

namespace {

// The translation context of this file's texts.
struct SaveText
{
    Q_DECLARE_TR_FUNCTIONS(Pw::SaveAndLimit)
};

QString describeToolFailure(const ProcessResult &result)
{
    if (!result.started)
        return SaveText::tr("无法启动pwReadSM：%1").arg(result.error);
    if (result.timedOut)
        return SaveText::tr("pwReadSM超时未结束，已被终止");
    if (result.crashed)
        return SaveText::tr("pwReadSM异常退出");
    const QString said = QString::fromLocal8Bit(result.standardError).trimmed().section(u'\n', -1);
    return SaveText::tr("pwReadSM出错（退出码%1）").arg(result.exitCode)
           + (said.isEmpty() ? QString() : QStringLiteral("：") + said);
}

// Runs the camera tool on a scratch copy of the candidate, so the run folder only ever sees
// the finished file. A tool that fails leaves the plain candidate.
CameraResult runCameraTool(const SaveSettings &settings, const QString &sourcePath,
                           const QByteArray &plain)
{
    // Only ever inside the folder made for it: never a relative path into the current folder.
    if (settings.workFolder.isEmpty() || !settings.workFolder.startsWith(u'/'))
        return {plain, SaveText::tr("没有可用的临时文件夹")};
    const QString scratch = settings.workFolder + QStringLiteral("candidate.jpg");
    // The tool opens the source by name; a name that is not UTF-8 goes through a link to its
    // bytes on disk.
    QString toolSource = sourcePath;
    const QByteArray native = NativePath(sourcePath);
    if (native != QFile::encodeName(sourcePath)) {
        toolSource = settings.workFolder + QStringLiteral("source");
        const QByteArray link = QFile::encodeName(toolSource);
        ::unlink(link.constData());
        if (::symlink(native.constData(), link.constData()) != 0)
            return {plain, SaveText::tr("无法写入临时文件%1").arg(toolSource)};
    }
    QFile file(scratch);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(plain) != plain.size())
        return {plain, SaveText::tr("无法写入临时文件%1").arg(scratch)};
    file.close();
    // The tool runs in a process group of its own, so a Ctrl+C on the terminal (the stop press
    // of `pixwright run`) never cuts the file in hand short.
    const ProcessResult result = RunAndWait(
            settings.cameraTool, {QStringLiteral("-te"), toolSource, scratch}, settings.yield,
            CameraToolTimeoutMs(RegularFileSize(sourcePath)));
    if (!result.succeeded())
        return {plain, describeToolFailure(result), result.timedOut};
    if (!file.open(QIODevice::ReadOnly))
        return {plain, SaveText::tr("无法读回临时文件%1").arg(scratch)};
    return {file.readAll(), QString()};
}

// The tool rewrites the file it is given; what comes back must still be the picture drawn.
QString checkToolResult(const QByteArray &bytes, QSize drawn)
{
    const QSize stated = JpegFrameSize(bytes);
    if (stated == drawn)
        return QString();
    return SaveText::tr("pwReadSM的结果不是%1×%2像素的JPEG图片，已改存不含数码信息的图片")
            .arg(drawn.width())
            .arg(drawn.height());
}

const QByteArray &encoded(EncodedQualities &encodings, const QImage &canvas, int quality)
{
    auto it = encodings.find(quality);
    if (it == encodings.end())
        it = encodings.emplace(quality, EncodeJpeg(canvas, quality, kOutputDpi)).first;
    return it->second;
}

} // namespace

int CameraToolTimeoutMs(qint64 sourceBytes)
{
    constexpr qint64 kBaseMs = 10000;
    constexpr qint64 kMaxMs = 300000;
    const qint64 perSize = std::max<qint64>(0, sourceBytes) / (qint64(16) << 20) * 1000;
    return int(std::min(kMaxMs, kBaseMs + perSize));
}

EncodedQualities EncodeAhead(const QImage &canvas, const SaveSettings &settings)
{
    EncodedQualities encodings;
    if (!settings.sizeLimitOn) {
        encoded(encodings, canvas, QualityOfIndex(settings.qualityIndex));
        return encodings;
    }
    for (int index = kLimitFirstIndex; index >= 0; --index) {
        const QByteArray &bytes = encoded(encodings, canvas, QualityOfIndex(index));
        if (bytes.isEmpty() || bytes.size() <= settings.limitBytes)
            break;
    }
    return encodings;
}

SaveOutcome SaveAndLimit(const SaveSettings &settings, const QImage &canvas,
                         const QString &sourcePath, NameFacts facts, EncodedQualities &encodings)
{
    SaveOutcome outcome;
    bool camera = settings.keepCamera;
    int chosen = 0;
    QByteArray finalBytes;

    // One attempt: the bytes the file would hold after the camera step.
    auto attempt = [&](int quality, QByteArray &stored) -> bool {
        const QByteArray &plain = encoded(encodings, canvas, quality);
        if (plain.isEmpty()) {
            outcome.error = SaveText::tr("JPEG编码失败");
            return false;
        }
        stored = plain;
        if (camera) {
            CameraResult step = settings.cameraStep ? settings.cameraStep(sourcePath, plain)
                                                    : runCameraTool(settings, sourcePath, plain);
            if (step.problem.isEmpty())
                step.problem = checkToolResult(step.bytes, canvas.size());
            if (step.problem.isEmpty()) {
                stored = step.bytes;
            } else {
                // Keep the picture without camera information rather than lose it.
                outcome.cameraProblem = step.problem;
                outcome.cameraTimedOut = step.timedOut;
                camera = false;
            }
        }
        return true;
    };

    if (!settings.sizeLimitOn) {
        chosen = QualityOfIndex(settings.qualityIndex);
        if (!attempt(chosen, finalBytes))
            return outcome;
    } else {
        // The camera tool adds the same block to every candidate of one canvas (it does not
        // touch the compressed data), so once its size is known a candidate whose plain length
        // plus that block is over the limit is rejected without running the tool. The block is
        // measured again on the candidate that stays; should it differ, the walk is redone
        // running the tool on every candidate, as the plain walk would.
        bool predict = true;
        for (bool again = true; again;) {
            again = false;
            qint64 block = -1;
            for (int index = kLimitFirstIndex; index >= 0; --index) {
                const int quality = QualityOfIndex(index);
                if (camera && predict && block >= 0) {
                    const QByteArray &plain = encoded(encodings, canvas, quality);
                    if (!plain.isEmpty() && plain.size() + block > settings.limitBytes)
                        continue;
                }
                const bool cameraBefore = camera;
                QByteArray stored;
                if (!attempt(quality, stored))
                    return outcome;
                if (camera && cameraBefore) {
                    const qint64 measured = stored.size() - encodings.at(quality).size();
                    if (predict && block >= 0 && measured != block) {
                        predict = false;
                        again = true;
                        break;
                    }
                    block = measured;
                }
                if (stored.size() <= settings.limitBytes) {
                    chosen = quality;
                    finalBytes = stored;
                    break;
                }
            }
        }
        if (chosen == 0) {
            outcome.error = SaveText::tr("无法满足限定的体积,请尝试缩小像素值");
            return outcome;
        }
    }

    facts.quality = chosen;
    const QString name = BuildOutputName(settings.rule, NamingRun::Batch, facts);
    if (name.startsWith(u'.')) {
        outcome.error = HiddenNamesWarning();
        return outcome;
    }
    const QString path = MakeUniquePath(settings.runFolder, name, settings.rule.NamingSeparator,
                                        settings.copyNumbers);
    const QString writeError = WriteJpegFile(finalBytes, path);
    if (!writeError.isEmpty()) {
        outcome.error = writeError;
        return outcome;
    }
    const qint64 written = RegularFileSize(path);
    if (written < 0) {
        outcome.error = SaveText::tr("保存后找不到输出文件");
        return outcome;
    }
    outcome.saved = true;
    outcome.path = path;
    outcome.bytes = written;
    outcome.quality = chosen;
    return outcome;
}

} // namespace Pw
