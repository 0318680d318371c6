// Start-up switches, the hand-over payload and the OS generation.
#include <gtest/gtest.h>

#include "core/commands/command_line.h"

namespace pelio {
namespace {

using Args = std::vector<std::wstring>;

TEST(CommandLine, StartRequests) {
    struct Case {
        Args argv;
        StartAction action;
        const wchar_t* file;
    } cases[] = {
        {{L"Pelio.exe"}, StartAction::Normal, L""},
        {{L"Pelio.exe", L"a.png"}, StartAction::Open, L"a.png"},
        {{L"Pelio.exe", L"a.png", L"b.png"}, StartAction::Open, L"a.png"},
        {{L"Pelio.exe", L"/v"}, StartAction::Viewer, L""},
        {{L"Pelio.exe", L"/v", L"a.png"}, StartAction::Viewer, L"a.png"},
        {{L"Pelio.exe", L"/s", L"a.png"}, StartAction::Edit, L"a.png"},
        {{L"Pelio.exe", L"/f", L"a.png"}, StartAction::FullScreen, L"a.png"},
        {{L"Pelio.exe", L"/a"}, StartAction::Slideshow, L""},
        {{L"Pelio.exe", L"/a", L"a.png", L"c.png"}, StartAction::Slideshow, L"a.png"},
        {{L"Pelio.exe", L"/slideshow", L"a.png"}, StartAction::Edit, L"a.png"},  // first letter only
        {{L"Pelio.exe", L"/o", L"a.png"}, StartAction::Options, L""},           // file ignored
        {{L"Pelio.exe", L"/x", L"a.png"}, StartAction::Normal, L""},            // file dropped
        {{L"Pelio.exe", L"/V", L"a.png"}, StartAction::Normal, L""},            // lower case only
        {{L"Pelio.exe", L"/", L"a.png"}, StartAction::Normal, L""},
    };
    for (const Case& c : cases) {
        StartRequest r = ParseStartCommandLine(c.argv);
        EXPECT_EQ(r.action, c.action) << c.argv.back();
        EXPECT_EQ(r.file, c.file) << c.argv.back();
    }
}

TEST(CommandLine, HandoverPayload) {
    struct Case {
        Args argv;
        uint32_t data;
        bool hasFile;
        const wchar_t* file;
    } cases[] = {
        {{L"Pelio.exe", L"a.png"}, 0, true, L"a.png"},
        {{L"Pelio.exe", L"/a"}, L'a', false, L""},
        {{L"Pelio.exe", L"/a", L"b.png"}, L'a', true, L"b.png"},
        {{L"Pelio.exe", L"/x", L"b.png"}, L'x', true, L"b.png"},
        {{L"Pelio.exe", L"/o"}, L'o', false, L""},
    };
    for (const Case& c : cases) {
        Handover h = MakeHandover(c.argv);
        EXPECT_EQ(h.data, c.data) << c.argv[1];
        EXPECT_EQ(h.hasFile, c.hasFile) << c.argv[1];
        EXPECT_EQ(h.file, c.file) << c.argv[1];
    }
}

TEST(CommandLine, HandoverActionLooksAtTheLow16Bits) {
    EXPECT_EQ(HandoverAction(0), StartAction::Open);
    EXPECT_EQ(HandoverAction(L'a'), StartAction::Slideshow);
    EXPECT_EQ(HandoverAction(L'f'), StartAction::FullScreen);
    EXPECT_EQ(HandoverAction(L's'), StartAction::Edit);
    EXPECT_EQ(HandoverAction(L'v'), StartAction::Viewer);
    EXPECT_EQ(HandoverAction(L'o'), StartAction::Options);
    EXPECT_EQ(HandoverAction(L'x'), StartAction::Ignore);
    EXPECT_EQ(HandoverAction(0x10000 + L's'), StartAction::Edit);
    EXPECT_EQ(HandoverAction(0x10000), StartAction::Open);
}

TEST(CommandLine, OsGeneration) {
    struct Case {
        unsigned major, minor;
        int generation;
    } cases[] = {{4, 0, 0}, {5, 0, 0}, {5, 1, 1}, {5, 2, 0}, {6, 0, 2},
                 {6, 1, 2}, {6, 3, 2}, {7, 0, 3}, {10, 0, 3}};
    for (const Case& c : cases)
        EXPECT_EQ(OsGeneration(c.major, c.minor), c.generation) << c.major << "." << c.minor;
}

}  // namespace
}  // namespace pelio
