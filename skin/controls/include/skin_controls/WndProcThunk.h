#pragma once
// A window procedure that calls a method of one object: a few bytes of executable code that put
// the object where the window handle was and jump to a plain function.

#include <framework/classes.h>

#include <windows.h>

#include <memory>

class TSkinProcThunk {
public:
    // The object's method receives every message; it sets Message.Result.
    template <auto Method, class T> static std::unique_ptr<TSkinProcThunk> Make(T* object) {
        return std::unique_ptr<TSkinProcThunk>(
            new TSkinProcThunk(object, [](void* o, TMessage& m) { (static_cast<T*>(o)->*Method)(m); }));
    }
    ~TSkinProcThunk();
    TSkinProcThunk(const TSkinProcThunk&) = delete;
    TSkinProcThunk& operator=(const TSkinProcThunk&) = delete;

    // The procedure for SetWindowLongPtr; a thunk may be freed by the method it runs.
    WNDPROC Proc() const { return reinterpret_cast<WNDPROC>(code_); }

    using TCall = void (*)(void* object, TMessage& message);
    struct TData {
        void* object;
        TCall call;
    };

private:
    TSkinProcThunk(void* object, TCall call);
    unsigned char* code_;
};
