// What the browser layer makes of text handed to it: a typed address, the
// file name a site suggests, a link's scheme.
#include "shell/browser/DownloadSaver.h"
#include "shell/browser/PageQuestions.h"
#include "shell/browser/WebEngineBrowser.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

TEST(TypedAddress, BareHostGetsHttpAndSchemesArePassedAsIs)
{
    struct Row {
        const char* text;
        const char* expected;
    };
    const Row rows[] = {
        {"example.com", "http://example.com"},
        {"example.com/a?b=c", "http://example.com/a?b=c"},
        {"localhost:8080/x", "http://localhost:8080/x"},
        {"https://example.com/a%20b?q=%c6%fc", "https://example.com/a%20b?q=%C6%FC"},  // escapes kept
        {"http://127.0.0.1:1/test.jp/jp/show/mystatus", "http://127.0.0.1:1/test.jp/jp/show/mystatus"},
        {"qrc:/lotscope/home.html", "qrc:/lotscope/home.html"},
        {"about:blank", "about:blank"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TWebEngineBrowser::AddressFromText(QString::fromUtf8(row.text)).toString(QUrl::FullyEncoded),
                  QString::fromUtf8(row.expected))
            << row.text;
}

TEST(DownloadName, OnlyAPlainBaseNameOfTheSuggestionIsOffered)
{
    const std::pair<const char*, const char*> rows[] = {
        {"../../login.ini", "login.ini"},
        {"/etc/cron.d/x", "x"},
        {"..\\..\\a.exe", "a.exe"},
        {".bashrc", "bashrc"},
        {"...", "download"},
        {"", "download"},
        {"dir/", "download"},
        {"a\nb\x01.txt", "ab.txt"},
        {"注文 一覧.csv", "注文 一覧.csv"},
    };
    for (const auto& [suggested, offered] : rows)
        EXPECT_EQ(SafeDownloadName(QString::fromUtf8(suggested)), QString::fromUtf8(offered)) << suggested;
}

TEST(OtherProgramLinks, OnlySchemesTheEngineDoesNotShowAreHandedOn)
{
    using R = TSchemeRoute;
    const std::pair<const char*, R> rows[] = {
        {"HTTPS", R::Engine},        {"javascript", R::Engine}, {"data", R::Engine},
        {"file", R::Engine},         {"view-source", R::Never}, {"devtools", R::Never},
        {"mailto", R::OtherProgram}, {"tel", R::OtherProgram},  {"blob", R::Engine},
    };
    for (const auto& [scheme, route] : rows)
        EXPECT_EQ(RouteForScheme(scheme), route) << scheme;
}

}  // namespace
