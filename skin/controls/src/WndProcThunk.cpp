#include "skin_controls/WndProcThunk.h"

#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

#if !defined(__x86_64__) && !defined(_M_X64)
#error "The window-procedure thunk is written for x86-64."
#endif

namespace {

// Thunks are cut from executable chunks and handed back to a free list: skinning many windows
// costs neither a page nor an allocation granule each.
constexpr std::size_t SlotSize = 48;
constexpr std::size_t ChunkSize = 64 * 1024;

class TThunkPool {
public:
    unsigned char* Take() {
        std::lock_guard<std::mutex> guard(lock_);
        if (free_.empty()) Grow();
        unsigned char* slot = free_.back();
        free_.pop_back();
        return slot;
    }
    void Give(unsigned char* slot) {
        std::lock_guard<std::mutex> guard(lock_);
        std::memset(slot, 0xCC, SlotSize); // int3: a stale caller traps instead of running on
        free_.push_back(slot);
    }

private:
    void Grow() {
        auto* chunk = static_cast<unsigned char*>(
            VirtualAlloc(nullptr, ChunkSize, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
        if (!chunk) throw std::bad_alloc();
        for (std::size_t at = ChunkSize; at >= SlotSize; at -= SlotSize)
            free_.push_back(chunk + at - SlotSize);
    }
    std::mutex lock_;
    std::vector<unsigned char*> free_;
};

// Chunks live as long as the process: a window may call its procedure until the very end.
TThunkPool& Pool() {
    static auto* pool = new TThunkPool;
    return *pool;
}

// What every thunk jumps to: the data block in place of the window handle.
LRESULT CALLBACK ThunkEntry(TSkinProcThunk::TData* data, UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage m{msg, wParam, lParam, 0};
    data->call(data->object, m);
    return m.Result;
}

} // namespace

TSkinProcThunk::TSkinProcThunk(void* object, TCall call) : code_(Pool().Take()) {
    // The data block sits behind the code. Windows x64 passes the window handle in rcx:
    //   48 B9 imm64   mov rcx, data
    //   48 B8 imm64   mov rax, ThunkEntry
    //   FF E0         jmp rax
    constexpr std::size_t CodeSize = 24;
    auto* data = reinterpret_cast<TData*>(code_ + CodeSize);
    data->object = object;
    data->call = call;
    const auto dataBits = reinterpret_cast<std::uint64_t>(data);
    const auto entryBits = reinterpret_cast<std::uint64_t>(&ThunkEntry);
    unsigned char* p = code_;
    *p++ = 0x48;
    *p++ = 0xB9;
    std::memcpy(p, &dataBits, 8);
    p += 8;
    *p++ = 0x48;
    *p++ = 0xB8;
    std::memcpy(p, &entryBits, 8);
    p += 8;
    *p++ = 0xFF;
    *p++ = 0xE0;
    FlushInstructionCache(GetCurrentProcess(), code_, SlotSize);
}

TSkinProcThunk::~TSkinProcThunk() {
    Pool().Give(code_);
    FlushInstructionCache(GetCurrentProcess(), code_, SlotSize);
}
