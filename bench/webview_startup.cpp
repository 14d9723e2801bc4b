// Start-up of the main window, and what the web engine costs once the Website View is used.
//
// Each run is a fresh process (a copy of this program started with "--run lazy" or "--run
// eager"), so that every run starts the web engine from nothing:
//   lazy  - the program as it is: the web view is created when the Website View first opens a
//           page.
//   eager - the web view created while the main window is built, as a comparison.
// A run measures the time from main() to the main window's first exposure on screen, the peak
// resident memory (VmHWM) of the program's own process at that point, then selects the "Website
// View" tab, opens a page of a local server there and measures the time until it has loaded, the
// program's peak resident memory after that, and, at both points, the resident memory of the web
// engine's helper processes (the page renderer). The figures are the medians over the runs.
//
// Usage: webview_startup [runs]   (needs a display; under Xvfb with the web engine's usual flags)
#include "core/settings/program_folder.h"
#include "core/settings/user_settings.h"
#include "gui/main/main_window.h"
#include "support/local_http_server.h"
#include "gui/webview/lazy_web_view.h"
#include "gui/webview/website_frame.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace tally;

namespace {

// A field of /proc/<pid>/status in KiB ("VmHWM", "VmRSS"); 0 when unreadable.
long statusKiB(const QString& pid, const char* field) {
    QFile file(QStringLiteral("/proc/") + pid + QStringLiteral("/status"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    return 0;
}

// The resident memory of every descendant process, in KiB.
long descendantsRssKiB(const QString& pid) {
    long total = 0;
    const QDir tasks(QStringLiteral("/proc/") + pid + QStringLiteral("/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children(tasks.filePath(task) + QStringLiteral("/children"));
        if (!children.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& child : children.readAll().simplified().split(' ')) {
            if (child.isEmpty())
                continue;
            const QString childPid = QString::fromLatin1(child);
            total += statusKiB(childPid, "VmRSS") + descendantsRssKiB(childPid);
        }
    }
    return total;
}

// One run in this process; prints "shown_ms hwm_before_kib helpers_before_kib page_ms
// hwm_after_kib helpers_after_kib".
int runOnce(bool eager, const QElapsedTimer& sinceMain, QApplication& app) {
    QTemporaryDir folder;
    ProgramFolder::setOverride(folder.path());
    setUserSettingsFile(folder.filePath(QStringLiteral("store.conf")));
    writeSetting(QLatin1String(settingkeys::ShowHelp), QStringLiteral("0"));
    ProgramFolder::ensureFolders();
    test::LocalHttpServer server;
    server.route(QStringLiteral("/"),
                 test::HttpResponse::page("<html><head><title>Home</title></head><body><h1>A "
                                          "home page</h1><p>Some text.</p></body></html>"));

    MainWindow form;
    if (eager)
        form.websiteFrame()->browser()->view();
    form.show();
    qint64 shownMs = -1;
    while (shownMs < 0) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (form.windowHandle() && form.windowHandle()->isExposed())
            shownMs = sinceMain.elapsed();
    }
    // Let the start-up settle before reading the memory.
    QTimer::singleShot(500, &app, &QCoreApplication::quit);
    QCoreApplication::exec();
    const QString self = QString::number(QCoreApplication::applicationPid());
    const long hwmBefore = statusKiB(self, "VmHWM");
    const long helpersBefore = descendantsRssKiB(self);

    WebsiteFrame* frame = form.websiteFrame();
    QElapsedTimer page;
    page.start();
    form.selectTab(3);
    frame->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(server.urlString());
    QObject::connect(frame->browser(), &LazyWebView::DownloadComplete, &app,
                     &QCoreApplication::quit);
    QTimer::singleShot(60000, &app, &QCoreApplication::quit);
    frame->findChild<QPushButton*>(QStringLiteral("Command10"))->click();
    QCoreApplication::exec();
    const qint64 pageMs = page.elapsed();
    QTimer::singleShot(500, &app, &QCoreApplication::quit);
    QCoreApplication::exec();
    const long hwmAfter = statusKiB(self, "VmHWM");
    const long helpers = descendantsRssKiB(self);
    std::printf("%lld %ld %ld %lld %ld %ld\n", static_cast<long long>(shownMs), hwmBefore,
                helpersBefore, static_cast<long long>(pageMs), hwmAfter, helpers);
    std::fflush(stdout);
    ProgramFolder::setOverride(QString());
    setUserSettingsFile(QString());
    return 0;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n == 0 ? 0 : (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2);
}

} // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    if (argc > 2 && std::strcmp(argv[1], "--run") == 0) {
        const bool eager = std::strcmp(argv[2], "eager") == 0;
        // As the program starts: shared OpenGL contexts, and no Chromium sandbox for root.
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        if (geteuid() == 0)
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        QApplication app(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        return runOnce(eager, sinceMain, app);
    }

    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    for (const char* variant : {"lazy", "eager"}) {
        std::vector<double> shown, before, helpersBefore, page, after, helpers;
        for (int i = 0; i < runs; ++i) {
            QProcess run;
            run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            // Without the web engine's start-up report on every run.
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            if (!env.contains(QStringLiteral("QT_LOGGING_RULES")))
                env.insert(QStringLiteral("QT_LOGGING_RULES"),
                           QStringLiteral("qt.webenginecontext.info=false"));
            run.setProcessEnvironment(env);
            run.start(QCoreApplication::applicationFilePath(),
                      {QStringLiteral("--run"), QString::fromLatin1(variant)});
            if (!run.waitForFinished(120000) || run.exitCode() != 0) {
                std::fprintf(stderr, "run %s %d failed\n", variant, i);
                return 1;
            }
            const QList<QByteArray> f = run.readAllStandardOutput().trimmed().split(' ');
            if (f.size() != 6)
                return 1;
            shown.push_back(f[0].toDouble());
            before.push_back(f[1].toDouble() / 1024);
            helpersBefore.push_back(f[2].toDouble() / 1024);
            page.push_back(f[3].toDouble());
            after.push_back(f[4].toDouble() / 1024);
            helpers.push_back(f[5].toDouble() / 1024);
        }
        std::printf("webview_%s_startup_to_shown: %.0f ms\n", variant, median(shown));
        std::printf("webview_%s_peak_rss_at_start: %.1f MiB\n", variant, median(before));
        std::printf("webview_%s_helper_processes_rss_at_start: %.1f MiB\n", variant,
                    median(helpersBefore));
        std::printf("webview_%s_first_page_in_website_view: %.0f ms\n", variant, median(page));
        std::printf("webview_%s_peak_rss_after_website_view: %.1f MiB\n", variant, median(after));
        std::printf("webview_%s_helper_processes_rss_after_website_view: %.1f MiB\n", variant,
                    median(helpers));
    }
    return 0;
}
