// The file list's name rule and navigation targets.
#include <gtest/gtest.h>

#include "core/view/folder_list.h"

namespace pelio {
namespace {

TEST(FolderList, ExtensionLengthRule) {
    struct Case {
        const wchar_t* name;
        size_t length;
        bool listed;
    } cases[] = {
        {L"a.jpeg", 5, true},      {L"a.jpeg", 4, false},  // ".jpe" matching x.jpeg
        {L"b.jpe", 4, true},       {L"c.JPG", 4, true},     {L"photo.PNG", 4, true},
        {L"LONGNA~1.TIF", 4, true}, {L"archive.tiff", 4, false},
        {L"noext", 4, false},      {L"C:\\d.x\\e.gif", 4, true},
    };
    for (const Case& c : cases) EXPECT_EQ(ListedForPattern(c.name, c.length), c.listed) << c.name;
}

TEST(FolderList, NavigationStopsAtBothEnds) {
    using K = NavigateKind;
    struct Case {
        K kind;
        int count, selected, target;
    } cases[] = {
        {K::First, 5, 3, 0},    {K::First, 5, 0, -1},   {K::First, 5, -1, 0},  {K::First, 0, -1, -1},
        {K::Last, 5, 3, 4},     {K::Last, 5, 4, -1},    {K::Last, 5, -1, 4},
        {K::Previous, 5, 3, 2}, {K::Previous, 5, 0, -1}, {K::Previous, 5, -1, -1},
        {K::Next, 5, 3, 4},     {K::Next, 5, 4, -1},    {K::Next, 5, -1, 0},   {K::Next, 1, 0, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NavigationTarget(c.kind, c.count, c.selected), c.target)
            << static_cast<int>(c.kind) << " " << c.count << " " << c.selected;
}

}  // namespace
}  // namespace pelio
