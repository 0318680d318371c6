// The preview worker: a confirm computes what was asked, an abort stops a long kernel at once
// and leaves no thread.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <atomic>
#include <chrono>
#include <vector>

#include "core/ops/filters.h"
#include "core/ops/pixel_job.h"
#include "win/ops/preview_worker.h"

namespace pelio {
namespace {

int ThreadsOfThisProcess() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    CloseHandle(snapshot);
    return count;
}

TEST(PreviewWorker, AnAbortDuringAGaussianOf24MegapixelsReturnsWithin100Ms) {
    constexpr int kW = 6000, kH = 4000;
    const int stride = kW * 3;
    std::vector<uint8_t> source(size_t(stride) * kH), target(source.size());
    for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i * 131 >> 3);
    std::atomic<bool> cancel{false};
    PixelJob job;
    job.width = kW;
    job.height = kH;
    job.stride = stride;
    job.source = source.data();
    job.target = target.data();
    job.cancel = &cancel;
    ScratchBytes temporary;

    const int threadsBefore = ThreadsOfThisProcess();
    std::atomic<bool> computing{false}, shown{false};
    PreviewWorker worker;
    ASSERT_TRUE(worker.Start({[&](LPARAM) {
                                  computing = true;
                                  GaussianBlur(job, temporary, 20);
                              },
                              [&] { shown = true; }},
                             &cancel));
    worker.Request(0);
    while (!computing) Sleep(1);
    Sleep(50);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(worker.Stop(false, 9999));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 100);
    EXPECT_FALSE(shown) << "the kernel finished before the stop: the test proves nothing";
    EXPECT_FALSE(worker.Running());
    EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore);
}

TEST(PreviewWorker, AConfirmComputesTheLastRequestBeforeItStops) {
    std::atomic<bool> cancel{false};
    std::atomic<LPARAM> computed{0};
    std::atomic<int> shown{0};
    PreviewWorker worker;
    ASSERT_TRUE(worker.Start({[&](LPARAM lp) { computed = lp; }, [&] { ++shown; }}, &cancel));
    worker.Request(1);
    worker.Request(2);
    EXPECT_TRUE(worker.Stop(true, 9999));
    EXPECT_EQ(computed.load(), 2);
    EXPECT_GE(shown.load(), 1);
}

}  // namespace
}  // namespace pelio
