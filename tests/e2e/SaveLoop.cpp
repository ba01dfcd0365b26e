// A helper for the kill test: writes search.ini in the directory given as
// its argument through the program's own save path, B and A in turn, for
// ever. Writes "ready\n" to stdout once both lists are built; exits with 2
// when a save fails.
#include "SaveLoopLists.h"
#include "settings/TextFile.h"

#include <cstdio>
#include <exception>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fault_save_loop DIR\n");
        return 1;
    }
    const std::filesystem::path dir = argv[1];
    const TFavoriteList lists[2] = {SaveLoopList(0), SaveLoopList(1)};
    if (::write(STDOUT_FILENO, "ready\n", 6) != 6)
        return 1;
    try {
        for (unsigned n = 1;; ++n)
            WriteFavorites(dir, fkSearchWord, lists[n % 2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "save failed: %s\n", e.what());
        return 2;
    }
}
