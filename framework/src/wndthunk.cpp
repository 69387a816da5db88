#include <framework/wndthunk.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

// The code passes the thunk's own data in place of the window handle (the first argument) and jumps
// to one shared entry, which calls the object's method with the message.
#pragma pack(push, 1)
struct TWndProcThunk::TCode {
#if defined(__x86_64__)
    std::uint8_t movRcx[2]; // mov rcx, imm64
    void* data;
    std::uint8_t movRax[2]; // mov rax, imm64
    void* entry;
    std::uint8_t jmpRax[2]; // jmp rax
#elif defined(__i386__)
    std::uint8_t movArg[4]; // mov dword ptr [esp + 4], imm32
    void* data;
    std::uint8_t jmp; // jmp rel32
    std::int32_t offset;
#else
#error "window procedure thunks are made for x86 and x86-64 only"
#endif
    void* object;
    TCall call;
};
#pragma pack(pop)
static_assert(offsetof(TWndProcThunk::TCode, object) == (sizeof(void*) == 8 ? 22 : 13), "packed code");

namespace {

// Thunks live in executable pages carved into slots; freed slots are used again.
class TThunkPool {
public:
    static TThunkPool& Instance() {
        static auto* pool = new TThunkPool; // thunks may be freed until the program's very end
        return *pool;
    }
    void* Allocate() {
        std::lock_guard<std::mutex> guard(lock_);
        if (free_.empty()) Grow();
        void* slot = free_.back();
        free_.pop_back();
        return slot;
    }
    void Release(void* slot) {
        std::lock_guard<std::mutex> guard(lock_);
        free_.push_back(slot);
    }

private:
    static constexpr std::size_t kSlot = 64, kBlock = 64 * 1024;
    void Grow() {
        void* block = VirtualAlloc(nullptr, kBlock, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
        if (!block) throw EOutOfResources(L"Out of memory for window procedures");
        auto* bytes = static_cast<std::uint8_t*>(block);
        for (std::size_t at = kBlock; at >= kSlot; at -= kSlot) free_.push_back(bytes + at - kSlot);
    }
    std::mutex lock_;
    std::vector<void*> free_;
};

LRESULT CALLBACK ThunkEntry(HWND data, UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto* code = reinterpret_cast<const TWndProcThunk::TCode*>(data);
    // Taken before the call: the method may free its thunk.
    void* const object = code->object;
    const auto call = code->call;
    TMessage m{msg, wParam, lParam, 0};
    try {
        call(object, m);
    } catch (...) {
        ReportCurrentException(nullptr);
    }
    return m.Result;
}

} // namespace

TWndProcThunk::TWndProcThunk(void* object, TCall call) {
    static_assert(sizeof(TCode) <= 64, "a thunk fits its slot");
    code_ = static_cast<TCode*>(TThunkPool::Instance().Allocate());
    TCode code{};
#if defined(__x86_64__)
    code.movRcx[0] = 0x48;
    code.movRcx[1] = 0xB9;
    code.data = code_;
    code.movRax[0] = 0x48;
    code.movRax[1] = 0xB8;
    code.entry = reinterpret_cast<void*>(&ThunkEntry);
    code.jmpRax[0] = 0xFF;
    code.jmpRax[1] = 0xE0;
#else
    const std::uint8_t movArg[4] = {0xC7, 0x44, 0x24, 0x04};
    std::memcpy(code.movArg, movArg, sizeof movArg);
    code.data = code_;
    code.jmp = 0xE9;
    code.offset = static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(&ThunkEntry) -
                                            reinterpret_cast<std::intptr_t>(&code_->offset + 1));
#endif
    code.object = object;
    code.call = call;
    std::memcpy(static_cast<void*>(code_), &code, sizeof code);
    FlushInstructionCache(GetCurrentProcess(), code_, sizeof(TCode));
}

TWndProcThunk::~TWndProcThunk() {
    std::memset(static_cast<void*>(code_), 0xCC, sizeof(TCode)); // a stale call traps at once
    FlushInstructionCache(GetCurrentProcess(), code_, sizeof(TCode));
    TThunkPool::Instance().Release(code_);
}

WNDPROC TWndProcThunk::Proc() const {
    return reinterpret_cast<WNDPROC>(static_cast<void*>(code_));
}
