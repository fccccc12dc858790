// Times step 1 as a user meets it: the window appearing after start, a folder of 10,000
// pictures listed and usable, and the preview of large photos with their information lines.
// Headless (offscreen) unless QT_QPA_PLATFORM says otherwise; warm cache: every figure is the
// median of several runs after one unmeasured run.
//
// usage: pw_step1bench [PHOTOS_FOLDER]   (default ../shared/photos; skipped when missing)

#include "app/frm1.h"
#include "app/guiservices.h"
#include "app/step1model.h"
#include "app/wizard.h"
#include "platform/apppaths.h"
#include "platform/fonts.h"
#include "platform/translations.h"
#include "settings/inistore.h"
#include "settings/sourcesettings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

using namespace Pw;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// CPU time of the calling thread: steadier than wall time when the machine is shared.
double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The child: what `pixwright` does to open the wizard, then reports the first paint of step 1
// on stdout and ends.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->objectName() == u"Frm1" && !m_done) {
            m_done = true;
            QTimer::singleShot(0, [] {
                std::puts("shown");
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool m_done = false;
};

int startupChild(int argc, char *argv[])
{
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC")));
    InstallTranslations(app, UiLanguage::Chinese);
    SetAppFolder(QStringLiteral(PW_APP_DIR));
    FirstPaint probe;
    app.installEventFilter(&probe);
    DesktopServices services;
    Wizard wizard(services);
    QApplication::setWindowIcon(wizard.icon());
    wizard.start();
    return app.exec();
}

// Start to first paint of step 1, measured from outside the process (dynamic loading, the
// application object, fonts, settings, listing and the window).
void benchStartup(const QString &self, const QString &settings, const char *what)
{
    std::vector<double> times;
    for (int run = 0; run < 6; ++run) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("PW_BENCH_SETTINGS"), settings);
        child.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        child.start(self, {QStringLiteral("--startup-child")});
        if (!child.waitForReadyRead(10000)) {
            std::fprintf(stderr, "startup child failed: %s\n",
                         child.readAllStandardError().constData());
            return;
        }
        const double ms = timer.nsecsElapsed() / 1e6;
        child.waitForFinished(5000);
        if (run > 0)
            times.push_back(ms);
    }
    std::printf("window shown after start, %-17s %7.1f ms  (median of %zu)\n", what, median(times),
                times.size());
}

// A folder of 10,000 pictures: the names only are read, nothing is decoded.
void benchLargeFolder(Frm1 &step1, const QString &folder)
{
    std::vector<double> list, usable;
    for (int run = 0; run < 4; ++run) {
        QElapsedTimer timer;
        timer.start();
        step1.useFolderAsSource(folder);
        const double listed = timer.nsecsElapsed() / 1e6;
        QApplication::processEvents(); // layout, paint: the list can be used
        const double ready = timer.nsecsElapsed() / 1e6;
        if (step1.List1->count() != 10000) {
            std::fprintf(stderr, "expected 10000 entries, got %d\n", step1.List1->count());
            return;
        }
        if (run > 0) {
            list.push_back(listed);
            usable.push_back(ready);
        }
    }
    std::printf("10,000 pictures chosen, listed, selected:    %7.1f ms  (usable after %.1f ms)\n",
                median(list), median(usable));
}

void benchPreview(Frm1 &step1, const QString &photos)
{
    const QStringList names = QDir(photos).entryList({QStringLiteral("*.jpg")}, QDir::Files,
                                                     QDir::Name);
    if (names.isEmpty()) {
        std::printf("preview: skipped (no photos in %s)\n", qPrintable(photos));
        return;
    }
    const QSize canvas = step1.PicShow->size() * step1.devicePixelRatioF();
    for (const QString &name : names) {
        const QString path = photos + u'/' + name;
        const QSize size = QImageReader(path).size();
        if (qint64(size.width()) * size.height() < 20'000'000)
            continue; // the large ones only
        std::vector<double> times, cpuTimes;
        for (int run = 0; run < 6; ++run) {
            QElapsedTimer timer;
            timer.start();
            const double cpuStart = threadCpuMs();
            const Preview preview = LoadPreview(path, canvas, Qt::black);
            if (run > 0) {
                times.push_back(timer.nsecsElapsed() / 1e6);
                cpuTimes.push_back(threadCpuMs() - cpuStart);
            }
            if (preview.size.startsWith(QStringLiteral("→宽0")))
                std::fprintf(stderr, "%s did not load\n", qPrintable(name));
        }
        std::printf("preview %-26s %4.1f MP:  %7.1f ms  (CPU %.1f ms; decode, letterbox, "
                    "times, camera)\n",
                    qPrintable(name), size.width() * size.height() / 1e6, median(times),
                    median(cpuTimes));
    }

    // The same through the window: a click on the entry to the lines on screen.
    step1.useFolderAsSource(photos);
    QSignalSpy shown(&step1, &Frm1::previewShown);
    shown.wait(5000);
    std::vector<double> times;
    for (int run = 0; run < 6; ++run) {
        // The two enlarged 24 MP copies, in turn; the last one is current after select all.
        const int row = step1.List1->count() - 2 + (run % 2);
        shown.clear();
        QElapsedTimer timer;
        timer.start();
        step1.List1->setCurrentRow(row);
        if (!shown.wait(5000))
            break;
        if (run > 1)
            times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("click to preview on screen in step 1 (24 MP): %7.1f ms  (median of %zu)\n",
                median(times), times.size());
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--startup-child") == 0) {
        SetDefaultSettingsFile(qEnvironmentVariable("PW_BENCH_SETTINGS"));
        return startupChild(argc, argv);
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC")));
    SetAppFolder(QStringLiteral(PW_APP_DIR));
    const QString photos = app.arguments().value(1, QStringLiteral(PW_PHOTOS_DIR));

    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("Set.ini"));
    SetDefaultSettingsFile(settings);
    benchStartup(app.applicationFilePath(), settings, "demo folder");

    // 10,000 small JPEG files (all the same bytes: listing must not open them).
    const QString large = dir.filePath(QStringLiteral("large"));
    QDir().mkpath(large);
    QFile source(DemoFolder() + QStringLiteral("小图山景.jpg"));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "no demo picture in %s\n", qPrintable(DemoFolder()));
        return 1;
    }
    const QByteArray bytes = source.readAll();
    for (int i = 0; i < 10000; ++i) {
        QFile file(large + QStringLiteral("/IMG_%1.JPG").arg(i, 5, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 1;
    }

    StoreSourceFolder(large);
    benchStartup(app.applicationFilePath(), settings, "10,000 remembered");

    DesktopServices services;
    Wizard wizard(services);
    wizard.start();
    Frm1 &step1 = *wizard.frm1();
    QApplication::processEvents();
    benchLargeFolder(step1, large);

    if (QFileInfo(photos).isDir())
        benchPreview(step1, photos);
    else
        std::printf("preview: skipped (%s not found)\n", qPrintable(photos));
    return 0;
}
