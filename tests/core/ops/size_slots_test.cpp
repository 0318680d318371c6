// The ratio and preset lists: labels and the registration rule.
#include <gtest/gtest.h>

#include "core/ops/size_slots.h"

namespace pelio {
namespace {

TEST(SizeSlots, LabelsAndRegistrationOfRatiosAndPresets) {
    const struct {
        SizeSlot typed;
        SlotKind kind;
        SizeSlot kept;
        const wchar_t* label;
    } cases[] = {
        {{16, 9}, SlotKind::Ratio, {16, 9}, L"16:9"},
        {{12000, 5}, SlotKind::Ratio, {9999, 5}, L"9999:5"},
        {{4, 0}, SlotKind::Ratio, {0, 0}, L"-"},  // a ratio needs both numbers
        {{0, 0}, SlotKind::Ratio, {0, 0}, L"-"},
        {{1024, 768}, SlotKind::Preset, {1024, 768}, L"W:1024 H:768"},
        {{640, 0}, SlotKind::Preset, {640, 0}, L"W:640 "},
        {{0, 10000}, SlotKind::Preset, {0, 9999}, L"H:9999"},
        {{-3, 0}, SlotKind::Preset, {0, 0}, L"-"},
    };
    for (const auto& c : cases) {
        const SizeSlot kept = RegisteredSlot(c.typed, c.kind);
        EXPECT_EQ(kept, c.kept) << c.label;
        EXPECT_EQ(SlotLabel(kept, c.kind), c.label);
    }
    SizeSlots slots{};
    slots[0] = {1024, 768};
    const auto ratios = SlotListItems(slots, SlotKind::Ratio), presets = SlotListItems(slots, SlotKind::Preset);
    EXPECT_EQ(ratios,
              (std::vector<std::wstring>{L"-", L"1024:768", L"-", L"-", L"-", L"-", L"-", L"-", L"-", L"登録"}));
    EXPECT_EQ(presets[0], L"プリセット");
}

}  // namespace
}  // namespace pelio
