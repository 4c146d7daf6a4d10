// The printer's address, command line and browser search, and the lock that
// keeps two prints off one profile folder.
#include "publish/pdf/PdfPrinter.h"
#include "publish/pdf/PdfBrowser.h"
#include "publish/pdf/PdfProfileLock.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <thread>

namespace fs = std::filesystem;
using namespace qm;
using namespace qm::pdf;
using namespace qm::test;

TEST(PdfPrinter, ManualAddress) {
    struct Case {
        const char* path;
        const char* address;
    };
    const Case cases[] = {
        {"C:\\Users\\Ann Lee\\Help\\build\\pdf\\manual.html",
         "file:///C:/Users/Ann Lee/Help/build/pdf/manual.html"},
        {"/home/ann/My Help/build/pdf/manual.html",
         "file:////home/ann/My Help/build/pdf/manual.html"},
        // These three would start an escape, the fragment and the query.
        {"/home/ann/C# 100%/why?/manual.html", "file:////home/ann/C%23 100%25/why%3F/manual.html"},
        {"/home/ann/\xD0\x9F\xD1\x80\xD0\xB8/manual.html",
         "file:////home/ann/\xD0\x9F\xD1\x80\xD0\xB8/manual.html"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ManualAddress(c.path), c.address);
}

TEST(PdfPrinter, ArgumentsKeepEachValueWhole) {
    const std::vector<std::string> common = {
        "/opt/my browser/chrome",
        "--headless",
        "--disable-gpu",
        "--no-first-run",
        "--no-default-browser-check",
        "--disable-print-preview",
        "--kiosk-printing",
        "--user-data-dir=/tmp/Edge Pdf Profile",
        "--print-to-pdf=/home/ann/My Help/manual.pdf",
        "--generate-pdf-document-outline",
        "--no-pdf-header-footer",
        "--disable-background-networking",
        "--disable-component-update",
        "--disable-sync",
    };
    const std::string address = "file:////home/ann/My Help/manual.html";
    for (const bool asRoot : {false, true}) {
        std::vector<std::string> expected = common;
        if (asRoot)
            expected.push_back("--no-sandbox");
        expected.push_back(address);
        EXPECT_EQ(PrinterArguments("/opt/my browser/chrome", "/tmp/Edge Pdf Profile",
                                   "/home/ann/My Help/manual.pdf", address, asRoot),
                  expected)
            << asRoot;
    }
}

TEST(PdfPrinter, ProfileFolderIsInTheUsersTemporaryFolder) {
    EXPECT_EQ(fs::path(PdfProfileFolder()).filename(), "EdgePdfProfile");
    EXPECT_EQ(fs::path(PdfProfileFolder()).parent_path(), fs::temp_directory_path());
}

namespace {

// Sets PATH for the life of the object.
class TPathScope {
public:
    explicit TPathScope(const std::string& path) {
        if (const char* old = std::getenv("PATH"))
            FOld = old;
        ::setenv("PATH", path.c_str(), 1);
    }
    ~TPathScope() {
        if (FOld)
            ::setenv("PATH", FOld->c_str(), 1);
        else
            ::unsetenv("PATH");
    }
    TPathScope(const TPathScope&) = delete;
    TPathScope& operator=(const TPathScope&) = delete;

private:
    std::optional<std::string> FOld;
};

void WriteProgram(const std::string& file, fs::perms perms) {
    WriteFile(file, "#!/bin/sh\n");
    fs::permissions(file, perms);
}

} // namespace

TEST(PdfBrowser, FirstExecutableOfTheFirstBrowserFound) {
    TTempDir dir;
    const fs::perms exec = fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec;
    WriteProgram(dir / "fixed/edge", exec);
    WriteProgram(dir / "fixed/plain", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_directories(dir / "fixed/folder");
    WriteProgram(dir / "bin/chromium-test", exec);
    const TPathScope path(dir / "bin");

    struct Case {
        const char* name;
        TBrowserSearch search;
        std::string found;
    };
    const Case cases[] = {
        {"a fixed file", {{"Edge", {dir / "nope", dir / "fixed/edge"}, {}}}, dir / "fixed/edge"},
        {"not executable, a folder: skipped",
         {{"Edge", {dir / "fixed/plain", dir / "fixed/folder"}, {}},
          {"Chromium", {dir / "fixed/edge"}, {}}},
         dir / "fixed/edge"},
        {"a name on PATH before a later browser's fixed file",
         {{"Edge", {dir / "nope"}, {"no-such-browser", "chromium-test"}},
          {"Chromium", {dir / "fixed/edge"}, {}}},
         dir / "bin/chromium-test"},
        {"nothing", {{"Edge", {dir / "nope"}, {"no-such-browser"}}}, ""},
        {"no browsers at all", {}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindBrowser(c.search), c.found) << c.name;
}

TEST(PdfBrowser, NotFoundMessageNamesTheBrowsersLookedFor) {
    EXPECT_EQ(BrowserNotFoundMessage({{"Microsoft Edge", {"C:\\msedge.exe"}, {}}}),
              "Microsoft Edge not found");
    EXPECT_EQ(BrowserNotFoundMessage({}), "Microsoft Edge not found");
    EXPECT_EQ(BrowserNotFoundMessage({{"Microsoft Edge", {}, {}}, {"Chromium", {}, {}}}),
              "Microsoft Edge not found (looked for Microsoft Edge and Chromium in their usual "
              "places and on PATH); install chromium (Debian package chromium)");
    EXPECT_EQ(BrowserNotFoundMessage({{"Microsoft Edge", {}, {}}, {"Google Chrome", {}, {}}}),
              "Microsoft Edge not found (looked for Microsoft Edge and Google Chrome in their "
              "usual places and on PATH)");
#ifndef _WIN32
    EXPECT_EQ(BrowserNotFoundMessage(DefaultBrowserSearch()),
              "Microsoft Edge not found (looked for Microsoft Edge, Chromium and Google Chrome in "
              "their usual places and on PATH); install chromium (Debian package chromium)");
#endif
}

TEST(PdfProfileLock, ASecondPrintWaitsForTheFirst) {
    using namespace std::chrono_literals;
    TTempDir dir;
    std::atomic<bool> secondHasIt{false};
    std::optional<TPrintProfileLock> first;
    first.emplace(dir.Path(), nullptr);
    std::thread second([&] {
        const TPrintProfileLock lock(dir.Path(), nullptr);
        secondHasIt = true;
    });
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(secondHasIt);
    first.reset();
    second.join();
    EXPECT_TRUE(secondHasIt);
}

TEST(PdfProfileLock, WaitingEndsWhenCancelled) {
    TTempDir dir;
    const TPrintProfileLock held(dir.Path(), nullptr);
    TCancellationToken token;
    token.Cancel();
    EXPECT_THROW(TPrintProfileLock(dir.Path(), &token), EPublishCancelled);
}
