// The web edition after its first visit: with the network gone, Quibly still starts and answers,
// from what its worker kept; what it keeps is the site's files and nothing of the conversation.
// Chromium is driven directly over its DevTools protocol, whose network emulation takes the
// page offline.

#include "web/Chromium.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace {

using TestDriver::web::Chromium;
using TestDriver::web::Json;

std::string Setting(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        throw std::runtime_error(std::string("the offline test needs ") + name + " to be set");
    return value;
}

class Offline : public ::testing::Test {
protected:
    void SetUp() override {
        browser_.Call("Page.enable");
        browser_.Call("Network.enable");
    }

    // The value of a script's expression in the page, a promise's once it settles.
    Json Evaluate(const std::string& expression) {
        const Json reply = browser_.Call("Runtime.evaluate", {{"expression", expression},
                                                               {"awaitPromise", true},
                                                               {"returnByValue", true}});
        if (reply.contains("exceptionDetails"))
            throw std::runtime_error(expression + " threw: " + reply["exceptionDetails"].dump());
        return reply["result"].value("value", Json());
    }

    // Waits until the expression is true in the page, or fails saying what never came.
    void WaitFor(const std::string& what, const std::string& expression) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (true) {
            try {
                if (Evaluate(expression) == true)
                    return;
            } catch (const std::runtime_error&) {
                // a document between navigations
            }
            if (std::chrono::steady_clock::now() > until)
                FAIL() << what << " did not happen within 30 s";
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    void Open() {
        const Json navigated = browser_.Call("Page.navigate", {{"url", site_}});
        ASSERT_FALSE(navigated.contains("errorText")) << site_ << ": " << navigated["errorText"];
        WaitFor("the conversation window showing",
                "!!document.querySelector('[data-form=\"frmMain\"]:not([hidden]) [data-control=\"Text1\"]')");
    }

    // Everything the site keeps in the browser, as addresses below the site's: the worker's
    // caches' entries, and what the page's own storage holds.
    std::vector<std::string> Kept() {
        const Json kept = Evaluate(R"((async () => {
            const urls = [];
            for (const name of await caches.keys())
              for (const request of await (await caches.open(name)).keys()) urls.push(request.url);
            for (let at = 0; at < localStorage.length; ++at) urls.push('local ' + localStorage.key(at));
            for (let at = 0; at < sessionStorage.length; ++at) urls.push('session ' + sessionStorage.key(at));
            for (const base of await indexedDB.databases()) urls.push('indexedDB ' + base.name);
            if (document.cookie) urls.push('cookie ' + document.cookie);
            return urls.sort();
          })())");
        std::vector<std::string> paths;
        for (const Json& url : kept) {
            std::string path = url;
            if (path.starts_with(site_))
                path.erase(0, site_.size());
            paths.push_back(path.empty() ? "./" : path);
        }
        return paths;
    }

    Chromium browser_{Setting("QUIBLY_BROWSER")};
    const std::string site_ = Setting("QUIBLY_WEB_ADDRESS") + "site/";
};

TEST_F(Offline, StartsAndAnswersWithNoNetworkAfterTheFirstVisit) {
    Open();
    WaitFor("the worker taking over the site",
            "navigator.serviceWorker.getRegistration().then(r => !!r && !!r.active &&"
            " r.active.state === 'activated')");
    const std::vector<std::string> site{"./",
                                        "Quibly.js",
                                        "Quibly.wasm",
                                        "assets/Quibly.ico",
                                        "assets/app-192.png",
                                        "assets/app-512.png",
                                        "assets/backdrop.bmp",
                                        "assets/frmMain.ico",
                                        "assets/splash.gif",
                                        "fonts/arial-400.woff2",
                                        "fonts/arial-700.woff2",
                                        "index.html",
                                        "manifest.webmanifest",
                                        "quibly.css"};
    EXPECT_EQ(Kept(), site);

    browser_.Call("Network.emulateNetworkConditions", {{"offline", true},
                                                        {"latency", 0},
                                                        {"downloadThroughput", -1},
                                                        {"uploadThroughput", -1}});
    Open();
    EXPECT_EQ(Evaluate("document.querySelector('[data-form=\"frmMain\"] [data-control=\"Label1\"]')"
                       ".textContent"),
              "Hello, I'm Quibly beta 2.3. It is nice to meet you.");
    Evaluate("(() => { const box = document.querySelector('[data-control=\"Text1\"]');"
             " box.focus(); box.value = 'hi'; box.dispatchEvent(new Event('input'));"
             " document.querySelector('[data-control=\"Command1\"]').click(); })()");
    WaitFor("the reply \"hello\"",
            "document.querySelector('[data-control=\"Label1\"]').textContent === 'hello'");
    EXPECT_EQ(Kept(), site) << "the browser keeps more than the site's files";
}

} // namespace
