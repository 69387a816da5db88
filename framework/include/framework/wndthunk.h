// A window procedure that calls a method of one object. Subclassing a window through GWLP_WNDPROC
// needs a plain function the system can call; each thunk is a small piece of machine code of its
// own, so any number of objects (of one class or of several) can subclass windows, even one
// window in a chain.
#pragma once

#include <framework/classes.h>

#include <windows.h>

#include <memory>

class TWndProcThunk {
public:
    // The object's method receives every message; it sets Message.Result.
    template <auto Method, class T> static std::unique_ptr<TWndProcThunk> Make(T* object) {
        return std::unique_ptr<TWndProcThunk>(
            new TWndProcThunk(object, [](void* o, TMessage& m) { (static_cast<T*>(o)->*Method)(m); }));
    }
    ~TWndProcThunk();
    TWndProcThunk(const TWndProcThunk&) = delete;
    TWndProcThunk& operator=(const TWndProcThunk&) = delete;

    // The procedure to hand to SetWindowLongPtr. It stays callable until the thunk is freed; a
    // thunk may be freed by the method it is running (the call has left the thunk by then).
    WNDPROC Proc() const;

    using TCall = void (*)(void* object, TMessage& message);
    struct TCode; // the machine code and its data

private:
    TWndProcThunk(void* object, TCall call);
    TCode* code_;
};
