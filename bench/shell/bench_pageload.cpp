// Page-load benchmark: a local page with 300 subresources (images, scripts
// and a frame) loaded alternately by the program's browser, with the bid
// stop on and the login address's secret rule set as the program sets
// them, and by a bare QWebEngineView, each on a profile of its own, in one
// process against one HTTP server on 127.0.0.1. Every load uses addresses
// of its own, so no cache serves it. Prints the median time from load() to
// a finished load and the ratio.
// Usage: bench_pageload [rounds=15]
#include "BenchChild.h"
#include "LocalHttpServer.h"
#include "shell/BidStop.h"
#include "shell/browser/WebEngineBrowser.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kImages = 150;
constexpr int kScripts = 149;  // and one frame: 300 subresources

QByteArray PageFor(const QByteArray& prefix)
{
    QByteArray html = "<!DOCTYPE html><html><head><meta charset='utf-8'><title>load</title>";
    for (int i = 0; i < kScripts; ++i)
        html += "<script src='" + prefix + "/js/" + QByteArray::number(i) + ".js'></script>";
    html += "</head><body><iframe src='" + prefix + "/frame'></iframe>";
    for (int i = 0; i < kImages; ++i)
        html += "<img src='" + prefix + "/img/" + QByteArray::number(i) + ".svg' width='8' height='8'>";
    return html + "</body></html>";
}

THttpResponse Answer(const THttpRequest& request)
{
    const QByteArray& path = request.Path;
    const QByteArray prefix = path.left(path.indexOf('/', 1));
    if (path.endsWith("/page"))
        return THttpResponse::Html(PageFor(prefix));
    if (path.endsWith("/frame"))
        return THttpResponse::Html("<p>frame</p>");
    if (path.endsWith(".js"))
        return {200, {{"Content-Type", "text/javascript"}}, "window.n = (window.n || 0) + 1;"};
    return {200,
            {{"Content-Type", "image/svg+xml"}},
            "<svg xmlns='http://www.w3.org/2000/svg' width='8' height='8'><rect width='8' height='8'/></svg>"};
}

// Loads url in page and returns the milliseconds to its finished load.
double Load(QWebEnginePage* page, const QUrl& url)
{
    QEventLoop loop;
    bool ok = false;
    const auto done = QObject::connect(page, &QWebEnginePage::loadFinished, &loop, [&](bool finished) {
        ok = finished;
        loop.quit();
    });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    const long long start = bench::MonotonicNs();
    page->load(url);
    loop.exec();
    const long long end = bench::MonotonicNs();
    QObject::disconnect(done);
    if (!ok) {
        std::fprintf(stderr, "load of %s failed\n", qPrintable(url.toString()));
        std::exit(1);
    }
    return static_cast<double>(end - start) / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;

    TLocalHttpServer server;
    server.Fallback(Answer);
    if (!server.Start())
        return 1;

    TBidStop bidStop;
    bidStop.Flag = 1;
    std::unique_ptr<TWebEngineBrowser> program = TWebEngineBrowser::CreateOffTheRecord();
    program->AddRequestPolicy([&bidStop](std::string_view url) noexcept { return bidStop.Allows(url); });
    program->HideSecretParameter(server.Base() + "/login/config/login?", QStringLiteral("passwd"));
    program->Widget()->resize(771, 609);
    program->Widget()->show();
    QWebEnginePage* programPage = static_cast<QWebEngineView*>(program->Widget())->page();

    QWebEngineProfile bareProfile;
    QWebEngineView bare;
    auto* barePage = new QWebEnginePage(&bareProfile, &bare);
    bare.setPage(barePage);
    bare.resize(771, 609);
    bare.show();

    // One load each first, so that both engines are warm.
    int serial = 0;
    const auto next = [&] { return QUrl(server.Base() + QStringLiteral("/r%1/page").arg(++serial)); };
    Load(programPage, next());
    Load(barePage, next());
    std::vector<double> programMs, bareMs;
    for (int i = 0; i < rounds; ++i) {
        programMs.push_back(Load(programPage, next()));
        bareMs.push_back(Load(barePage, next()));
    }
    const double p = bench::Median(programMs), b = bench::Median(bareMs);
    std::printf("page with %d subresources, load() to finished load (median of %d runs)\n", kImages + kScripts + 1,
                rounds);
    std::printf("  lotscope: %8.1f ms\n  bare    : %8.1f ms\n  ratio %.3f (target <= 1.05)\n", p, b, p / b);
    program.reset();
    return 0;
}
