// Settings load and save over an in-memory profile.
#include <benchmark/benchmark.h>

#include "core/commands/accelerators.h"
#include "core/settings/memory_profile.h"
#include "core/settings/settings.h"

namespace pelio {
namespace {

MemoryProfile SavedProfile() {
    MemoryProfile p;
    Settings s;
    WriteStoredAccelerators(p, DefaultAccelerators());
    SaveAllSettings(p, s);
    return p;
}

void BM_LoadAllSettings(benchmark::State& state) {
    MemoryProfile p = SavedProfile();
    SettingsEnvironment env{[](const std::wstring&) { return true; }, L"C:\\Docs"};
    for (auto _ : state) {
        Settings s;
        LoadAllSettings(p, env, s);
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_LoadAllSettings);

void BM_LoadAccelerators(benchmark::State& state) {
    MemoryProfile p = SavedProfile();
    for (auto _ : state) benchmark::DoNotOptimize(ReadStoredAccelerators(p));
}
BENCHMARK(BM_LoadAccelerators);

void BM_ParseProfileInt(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseProfileInt(L"  -2147483647"));
        benchmark::DoNotOptimize(ParseProfileInt(L"0x7FFF"));
    }
}
BENCHMARK(BM_ParseProfileInt);

}  // namespace
}  // namespace pelio
