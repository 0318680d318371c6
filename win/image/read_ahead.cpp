// Read-ahead of the neighbouring files. Win32.
#include "win/image/read_ahead.h"

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "core/image/format.h"
#include "win/image/allocators.h"
#include "win/image/load_dispatch.h"

namespace pelio {

namespace {

// Pixels kept ahead at most, over both pictures and their frames.
constexpr size_t kBudget = sizeof(void*) == 8 ? size_t{512} << 20 : size_t{128} << 20;

struct FileStamp {
    uint64_t size = 0, time = 0;
    bool operator==(const FileStamp&) const = default;
};

bool StampOf(const std::wstring& path, FileStamp& stamp) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    stamp.size = uint64_t{data.nFileSizeLow} | uint64_t{data.nFileSizeHigh} << 32;
    stamp.time = uint64_t{data.ftLastWriteTime.dwLowDateTime} | uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32;
    return true;
}

// Bitmap sections within what is left of the budget.
class BudgetAllocator final : public PixelAllocator {
public:
    explicit BudgetAllocator(size_t left) : left_(left) {}
    bool Allocate(Image& image) override {
        const size_t bytes = image.PixelBytes();
        if (bytes > left_ || !dib_.Allocate(image)) return false;
        left_ -= bytes;
        return true;
    }
    void Release(Image& image) override {
        left_ += image.PixelBytes();
        dib_.Release(image);
    }

private:
    DibAllocator dib_;
    size_t left_;
};

size_t PixelBytesOf(const PreparedPicture& p) {
    size_t bytes = p.result.image.PixelBytes();
    for (const Image& frame : p.animation.frames) bytes += frame.PixelBytes();
    return bytes;
}

void Drop(PreparedPicture& p) {
    DibAllocator dib;
    if (p.result.image.bitmap) dib.Release(p.result.image);
    ReleaseGifAnimation(p.animation, dib);
}

struct Entry {
    std::wstring path;
    LoadOptions options;
    FileStamp stamp;
    bool decoded = false;  // false: failed or not for read-ahead
    PreparedPicture picture;
};

struct ReadAheadState {
    std::mutex lock;
    std::condition_variable changed;
    std::thread thread;
    bool stopping = false;
    std::vector<std::wstring> wanted;
    LoadOptions options;
    std::vector<Entry> ready;  // at most two
    std::wstring busy;         // the path being decoded
};

// Never destroyed: a thread left running at exit ends with the process.
ReadAheadState& State() {
    static ReadAheadState* state = new ReadAheadState;
    return *state;
}

bool IsWanted(const ReadAheadState& s, const std::wstring& path) {
    for (const std::wstring& w : s.wanted)
        if (w == path) return true;
    return false;
}

bool IsReady(const ReadAheadState& s, const std::wstring& path) {
    for (const Entry& e : s.ready)
        if (e.path == path) return true;
    return false;
}

size_t ReadyBytes(const ReadAheadState& s) {
    size_t bytes = 0;
    for (const Entry& e : s.ready) bytes += PixelBytesOf(e.picture);
    return bytes;
}

// Decodes one file as a normal load would, without the plug-ins (not known to be safe on
// another thread).
void Decode(Entry& e, size_t budget) {
    const ImageFormat format = DetectFormat(e.path);
    if (format == ImageFormat::Unknown || format == ImageFormat::Empty) return;
    BudgetAllocator allocator(budget);
    e.decoded = DecodeFileWith(format, e.path, e.options, allocator, e.picture.result, &e.picture.animation) &&
                StampOf(e.path, e.stamp) && e.stamp.time == e.picture.result.image.fileTime;
    if (!e.decoded) Drop(e.picture);
}

void Work() {
    ReadAheadState& s = State();
    std::unique_lock<std::mutex> hold(s.lock);
    for (;;) {
        std::wstring next;
        s.changed.wait(hold, [&] {
            if (s.stopping) return true;
            for (const std::wstring& w : s.wanted)
                if (!IsReady(s, w)) {
                    next = w;
                    return true;
                }
            return false;
        });
        if (s.stopping) return;
        Entry e;
        e.path = next;
        e.options = s.options;
        const size_t budget = kBudget - std::min(kBudget, ReadyBytes(s));
        s.busy = next;
        hold.unlock();
        Decode(e, budget);
        hold.lock();
        s.busy.clear();
        if (IsWanted(s, e.path) && e.options == s.options && s.ready.size() < 2) {
            s.ready.push_back(std::move(e));
        } else {
            Drop(e.picture);
        }
        s.changed.notify_all();
    }
}

}  // namespace

void ReadAhead(const std::vector<std::wstring>& paths, const LoadOptions& options) {
    ReadAheadState& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    s.wanted.assign(paths.begin(), paths.begin() + std::min<size_t>(paths.size(), 2));
    if (!(options == s.options)) {
        s.options = options;
        for (Entry& e : s.ready) Drop(e.picture);
        s.ready.clear();
    }
    for (size_t i = 0; i < s.ready.size();) {
        if (IsWanted(s, s.ready[i].path)) {
            ++i;
            continue;
        }
        Drop(s.ready[i].picture);
        s.ready.erase(s.ready.begin() + std::ptrdiff_t(i));
    }
    if (!s.thread.joinable() && !s.wanted.empty()) s.thread = std::thread(Work);
    s.changed.notify_all();
}

bool TakePrepared(const std::wstring& path, const LoadOptions& options, PreparedPicture& out) {
    ReadAheadState& s = State();
    std::unique_lock<std::mutex> hold(s.lock);
    s.changed.wait(hold, [&] { return s.busy != path; });
    for (size_t i = 0; i < s.ready.size(); ++i) {
        Entry& e = s.ready[i];
        if (e.path != path) continue;
        FileStamp now;
        const bool usable = e.decoded && e.options == options && StampOf(path, now) && now == e.stamp;
        if (usable) out = std::move(e.picture);
        else Drop(e.picture);
        s.ready.erase(s.ready.begin() + std::ptrdiff_t(i));
        std::erase(s.wanted, path);
        return usable;
    }
    // Loaded now by the caller: not prepared again until asked for anew.
    std::erase(s.wanted, path);
    return false;
}

void WaitForReadAhead() {
    ReadAheadState& s = State();
    std::unique_lock<std::mutex> hold(s.lock);
    s.changed.wait(hold, [&] {
        for (const std::wstring& w : s.wanted)
            if (!IsReady(s, w)) return false;
        return true;
    });
}

void StopReadAhead() {
    ReadAheadState& s = State();
    {
        std::lock_guard<std::mutex> hold(s.lock);
        s.stopping = true;
        s.changed.notify_all();
    }
    if (s.thread.joinable()) s.thread.join();
    for (Entry& e : s.ready) Drop(e.picture);
    s.ready.clear();
    s.wanted.clear();
}

}  // namespace pelio
