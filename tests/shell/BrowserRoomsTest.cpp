// The browser layer's plain pieces: when a page's events complete a
// document, how the request gate asks its rules, and the table of injected
// scripts.
#include "shell/browser/LoadTracker.h"
#include "shell/browser/PageScripts.h"
#include "shell/browser/RequestPolicies.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

// Events: S load started, U address changed, E address changed to empty,
// F load ended, X load stopped or refused. Expected: for each event, 1 when
// it completes a document.
TEST(LoadTracker, ReportsEachNewDocumentOnce)
{
    struct Row {
        const char* name;
        const char* events;
        const char* completes;
    };
    const Row rows[] = {
        {"a new document: its address", "SUF", "010"},
        {"a reload of the same address: its end", "SF", "01"},
        {"a stopped or refused load", "SX", "00"},
        {"stopped after its address came", "SUX", "010"},
        {"an anchor without a load", "U", "1"},
        {"anchors during a load", "SUUF", "0110"},
        {"an empty address completes nothing", "SEF", "001"},
        {"an end without a start", "F", "0"},
        {"an anchor, then a reload", "USF", "101"},
    };
    for (const Row& row : rows) {
        TLoadTracker tracker;
        std::string completes;
        for (const char* e = row.events; *e; ++e) {
            bool done = false;
            switch (*e) {
            case 'S':
                tracker.Started();
                break;
            case 'U':
            case 'E':
                done = tracker.AddressChanged(*e == 'E');
                break;
            default:
                done = tracker.Ended(*e == 'X');
            }
            completes += done ? '1' : '0';
        }
        EXPECT_EQ(completes, row.completes) << row.name;
    }
}

// Each rule: h sets a header, r refuses, - lets the request pass as it is.
TEST(RequestPolicies, AskedInTurnUntilTheFirstRefusal)
{
    struct Row {
        const char* rules;
        const char* asked;
        bool refused;
        std::size_t headers;
    };
    const Row rows[] = {
        {"", "", false, 0},    {"-", "-", false, 0},   {"h-h", "h-h", false, 2},
        {"hr", "hr", true, 0}, {"-rh", "-r", true, 0}, {"rr", "r", true, 0},
    };
    for (const Row& row : rows) {
        std::string asked;
        TRequestPolicies policies;
        for (const char* r = row.rules; *r; ++r)
            policies.Add([&asked, rule = *r](const TGateRequest&, TGateVerdict& verdict) {
                asked += rule;
                if (rule == 'r')
                    verdict.Refused = true;
                else if (rule == 'h')
                    verdict.Headers.emplace_back("Referer", "http://a.test/");
            });
        const TGateVerdict verdict = policies.Ask(TGateRequest{QUrl("http://a.test/x"), {}, true, "GET"});
        EXPECT_EQ(asked, row.asked) << row.rules;
        EXPECT_EQ(verdict.Refused, row.refused) << row.rules;
        EXPECT_EQ(verdict.Headers.size(), row.headers) << row.rules;
    }
}

TEST(PageScripts, EveryNameHasOneRowAndAMissingOneIsAnError)
{
    const struct {
        QStringView name;
        bool subFrames;
    } rows[] = {{kFrameCompleteScript, true}, {kHideSecretScript, false}};
    for (const auto& row : rows) {
        const TPageScript& script = PageScript(row.name);
        EXPECT_EQ(script.World, TScriptWorld::Program) << row.name.toString().toStdString();
        EXPECT_EQ(script.SubFrames, row.subFrames) << row.name.toString().toStdString();
        EXPECT_TRUE(PageScriptSource(script, QStringLiteral("ARG")).contains(QStringLiteral("ARG")));
    }
    EXPECT_THROW(PageScript(u"lotscope-no-such-script"), std::out_of_range);
}

}  // namespace
