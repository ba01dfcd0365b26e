// The favorites tree: 3 x 20,000 entries read from their files and shown in
// TreeView1 by LoadFavorites (the reload button's work).
#include "shell/Unit1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTreeWidget>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A browser that loads nothing: the tree's work only.
class TIdleBrowser final : public THostedBrowser {
public:
    QWidget* Widget() override { return &m_widget; }
    void Navigate(const QString&) override { }
    void GoBack() override { }
    void GoForward() override { }
    void Refresh() override { }
    QString LocationURL() const override { return {}; }
    bool DocumentPresent() const override { return false; }
    void AddRequestPolicy(RequestPolicy) override { }
    void HideSecretParameter(const QString&, const QString&) override { }

private:
    QWidget m_widget;
};

class TQuietReporter final : public TMessageReporter {
public:
    void ShowError(const QString& m) override { std::fprintf(stderr, "error: %s\n", qPrintable(m)); }
    void ShowMessage(const QString&) override { }
    bool AskYesNo(const QString&) override { return false; }
};

// Resident memory of this process, in KiB.
long ResidentKb()
{
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void WriteFavoriteFiles(const fs::path& dir, int perKind)
{
    // Names mix Shift_JIS kana (カメラ = 83 4A 83 81 83 89) and ASCII.
    for (const char* file : {"search.ini", "username.ini", "exhibit.ini"}) {
        std::ofstream out(dir / file, std::ios::binary);
        for (int i = 0; i < perKind; ++i)
            out << "\x83\x4A\x83\x81\x83\x89 " << i << ",https://auctions.example.jp/search/auc?p=%a5%ab" << i
                << "\r\n";
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const fs::path dir =
        fs::temp_directory_path() / ("lotscope-bench-tree-" + std::to_string(QCoreApplication::applicationPid()));
    fs::create_directories(dir);
    WriteFavoriteFiles(dir, 0);
    std::ofstream(dir / "login.ini", std::ios::binary) << "taro,\r\n";
    std::ofstream(dir / "option.ini", std::ios::binary) << "2,1,0\r\n";

    TQuietReporter reporter;
    TForm1 form(TEndpoints::Defaults(), std::make_unique<TIdleBrowser>(), reporter, dir);
    form.show();
    QCoreApplication::processEvents();
    const long baseKb = ResidentKb();

    // How the cost grows with the number of favorites: about 1k, 10k and
    // 100k in all, and the 3 x 20,000 of the target.
    for (const int perKind : {333, 3333, 20000, 33333}) {
        WriteFavoriteFiles(dir, perKind);
        std::vector<double> ms;
        for (int i = 0; i < 7; ++i) {
            QElapsedTimer t;
            t.start();
            form.LoadFavorites();
            ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
            QCoreApplication::processEvents();
        }
        int nodes = 0;
        for (int k = 0; k < form.TreeView1->topLevelItemCount(); ++k)
            nodes += 1 + form.TreeView1->topLevelItem(k)->childCount();
        std::sort(ms.begin(), ms.end());
        std::printf("LoadFavorites, 3 x %d entries (%d nodes): median %.1f ms, best %.1f ms, worst %.1f ms, "
                    "resident +%.1f MiB%s\n",
                    perKind, nodes, ms[ms.size() / 2], ms.front(), ms.back(),
                    static_cast<double>(ResidentKb() - baseKb) / 1024.0, perKind == 20000 ? " (target < 150 ms)" : "");
    }
    fs::remove_all(dir);
    return 0;
}
