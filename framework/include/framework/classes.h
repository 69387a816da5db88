// Component model: persistent objects, components with owners and names, string lists, collections,
// streams, threads and hidden utility windows.
#pragma once

#include <framework/types.h>

#include <windows.h>

#include <any>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

class TComponent;
class TStream;

using TNotifyEvent = std::function<void(TObject* Sender)>;

// One window message as the framework passes it around (WindowProc, Perform, utility windows).
struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};
using TWndMethod = std::function<void(TMessage& Message)>;

// Hands the exception being handled (call only inside a catch block) to the application's report.
// Every window procedure and event boundary of the framework calls it; it never throws.
void ReportCurrentException(TObject* Sender) noexcept;

class TPersistent : public TObject {
public:
    // Copies Source into this object; classes that cannot take Source throw EConvertError
    // "Cannot assign a <Source class> to a <this class>".
    virtual void Assign(const TPersistent* Source);

protected:
    virtual void AssignTo(TPersistent* Dest) const;
};

// A handler registered by name so that form descriptions can bind "OnClick = Button1Click".
// Code holds a std::function of the handler's own signature.
String ReadableSignature(const char* mangledTypeName);

struct TMethod {
    String Name;
    std::any Code;
    const char* SignatureType = ""; // the mangled name of Code's type
    // Readable form of the signature, for error messages; made only then, since a form binds
    // hundreds of handlers and demangling each would slow every start.
    String Signature() const { return ReadableSignature(SignatureType); }
    explicit operator bool() const { return Code.has_value(); }
};

template <class Fn> TMethod MakeMethod(const String& name, Fn fn) {
    using F = decltype(std::function(fn));
    return TMethod{name, std::any(F(std::move(fn))), typeid(F).name()};
}

enum TComponentStateFlag { csLoading, csReading, csDestroying, csFreeNotification, csInline };
using TComponentState = TSet<TComponentStateFlag>;
enum TOperation { opInsert, opRemove };

// Components own the components created with them as owner (new T(owner) or owner->MakeComponent<T>())
// and destroy them, last created first, when they are destroyed. Deleting an owned component takes it
// out of its owner. Components with an owner must live on the heap.
class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    // `delete component` first runs BeforeDestruction on the whole object (events such as OnDestroy,
    // window destruction), then the destructors.
    void operator delete(TComponent* p, std::destroying_delete_t);
    // The pair a new-expression uses (and releases with when a constructor throws).
    static void* operator new(std::size_t size) { return ::operator new(size); }
    static void operator delete(void* p) { ::operator delete(p); }
    void Free() { delete this; }

    TComponent* Owner() const { return owner_; }
    const String& Name() const { return name_; }
    // Names are empty or identifiers, unique (ignoring case) among the owner's components;
    // otherwise EComponentError.
    virtual void SetName(const String& NewName);
    NativeInt Tag() const { return tag_; }
    void SetTag(NativeInt value) { tag_ = value; }

    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const;
    int ComponentIndex() const; // position in the owner's list, -1 without owner
    // Direct children only, case-insensitive.
    TComponent* FindComponent(const String& name) const;

    template <class T, class... A> T* MakeComponent(A&&... args) {
        return new T(this, std::forward<A>(args)...);
    }
    // Moves the ownership of `component` to this component (taking it from its current owner).
    void InsertComponent(TComponent* component);
    // Gives `component` up without destroying it; the caller owns it afterwards.
    void RemoveComponent(TComponent* component);
    void DestroyComponents();

    TComponentState ComponentState() const { return state_; }
    bool IsLoading() const { return state_.Contains(csLoading); }
    bool IsDestroying() const { return state_.Contains(csDestroying); }
    void SetLoading(bool loading); // set by the form reader; Loaded() runs when it clears

    // `component` is told (Notification opRemove) when this component is destroyed, and this one when
    // `component` is. Use it for references to components one does not own.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);
    virtual void Notification(TComponent* AComponent, TOperation Operation);

    // Called once the form reader has set every property of this component and of its root.
    virtual void Loaded();
    // The form reader places a component read inside another object: controls take it as their
    // parent (when it is a windowed control), menu items join their menu or item. Default: nothing.
    virtual void SetParentComponent(TComponent* parent);

    // --- binding of fields and handlers by name (used by the form reader on the root component) ---
    // The component named `name` is stored in `field` after reading; a component of another class is a
    // load error. Fields are optional: a component without a field is fine.
    template <class T> void BindField(const String& name, T*& field);
    // A handler that descriptions may name. The signature comes from the method; a later registration
    // under the same name replaces the earlier one.
    template <class C, class R, class... A>
    void BindHandler(const String& name, C* object, R (C::*method)(A...)) {
        AddHandler(MakeMethod(name, std::function<R(A...)>([object, method](A... args) -> R {
                                  return (object->*method)(args...);
                              })));
    }
    template <class Fn> void BindHandlerFn(const String& name, Fn fn) {
        AddHandler(MakeMethod(name, std::move(fn)));
    }

    struct TFieldBinding {
        std::function<bool(TComponent*)> Assign; // false: the component has the wrong class
        String ClassName;
    };
    const TMethod* FindHandler(const String& name) const;
    const TFieldBinding* FindFieldBinding(const String& name) const;
    void AddHandler(TMethod method);
    void AddFieldBinding(const String& name, TFieldBinding binding);

protected:
    // Runs while the whole object still exists, before any destructor. Overrides call the base last.
    virtual void BeforeDestruction();
    void SetComponentState(TComponentStateFlag flag, bool on);

private:
    struct Bindings;
    void DetachFromOwner();

    TComponent* owner_ = nullptr;
    String name_;
    NativeInt tag_ = 0;
    TComponentState state_;
    std::vector<std::unique_ptr<TComponent>> components_;
    std::vector<TComponent*> freeNotifies_;
    std::unique_ptr<Bindings> bindings_;
};

void RegisterClassFactory(const String& className, const TClassInfo* info,
                          std::function<TComponent*(TComponent* owner)> create); // formreader.cpp

template <class T> void TComponent::BindField(const String& name, T*& field) {
    static_assert(std::is_base_of_v<TComponent, T>);
    if constexpr (std::is_constructible_v<T, TComponent*> && !std::is_abstract_v<T>) {
        // Once per class: a form binds hundreds of fields each time it is made.
        static const bool registered = (RegisterClassFactory(ClassNameOf<T>(), T::StaticClassInfo(),
                                                             [](TComponent* o) { return new T(o); }),
                                        true);
        (void)registered;
    }
    T** slot = &field;
    AddFieldBinding(name, TFieldBinding{[slot](TComponent* c) {
                                            T* typed = dynamic_cast<T*>(c);
                                            if (!typed) return false;
                                            *slot = typed;
                                            return true;
                                        },
                                        ClassNameOf<T>()});
}

// ---------------------------------------------------------------------------------------------------
// String lists

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
public:
    virtual int Count() const = 0;
    virtual String Strings(int index) const = 0;
    virtual void Put(int index, const String& s) = 0;
    virtual void Insert(int index, const String& s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    virtual int Add(const String& s);
    void Append(const String& s) { Add(s); }
    void AddStrings(const TStrings& other);
    String operator[](int index) const { return Strings(index); }
    // Case-insensitive, -1 when absent.
    virtual int IndexOf(const String& s) const;

    // name=value lines
    String Names(int index) const;
    String Values(const String& name) const;
    void SetValue(const String& name, const String& value);
    int IndexOfName(const String& name) const;

    // Every line followed by CR LF; SetText splits at CR LF, LF or CR.
    virtual String Text() const;
    virtual void SetText(const String& text);
    // Lines joined by commas, with quotes where a line has blanks, commas or quotes.
    String CommaText() const;

    // Saves in code page 936 when every character fits, otherwise UTF-8 with a byte-order mark.
    // Loading recognises UTF-8 and UTF-16 by their marks, then valid UTF-8, else code page 936.
    void SaveToFile(const String& fileName) const;
    void LoadFromFile(const String& fileName);
    // Virtual: a rich edit's lines save and load rich text.
    virtual void SaveToStream(TStream& stream) const;
    virtual void LoadFromStream(TStream& stream);

    void Assign(const TPersistent* Source) override;
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

protected:
    // Told when the first BeginUpdate starts and the last EndUpdate ends a batch of changes.
    virtual void SetUpdateState(bool updating) { (void)updating; }
    void CheckIndex(int index, int limit) const; // EListError "List index out of bounds (n)"

private:
    int updateCount_ = 0;
};

class TStringList : public TStrings {
public:
    TStringList() = default;
    int Count() const override { return static_cast<int>(items_.size()); }
    String Strings(int index) const override;
    void Put(int index, const String& s) override;
    void Insert(int index, const String& s) override;
    void Delete(int index) override;
    void Clear() override;
    int Add(const String& s) override;
    int IndexOf(const String& s) const override;

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates d) { duplicates_ = d; }
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool on);
    void Sort();
    // Binary search in a sorted list; index is where s is or would go.
    bool Find(const String& s, int& index) const;

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool updating) override;
    void Changing();
    void Changed();

private:
    int Compare(const String& a, const String& b) const;
    std::vector<String> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    TDuplicates duplicates_ = dupIgnore;
};

// ---------------------------------------------------------------------------------------------------
// Collections: lists of items that have published properties of their own (status-bar panels, skin
// store entries). The form reader fills them from "< item ... end >".

class TCollection;

class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* Collection) : collection_(Collection) {}
    TCollection* Collection() const { return collection_; }
    int Index() const;
    void SetIndex(int index);
    int ID() const { return id_; }
    virtual String DisplayName() const { return ClassName(); }

protected:
    // Tells the collection that this item (or, with allItems, the whole collection) changed.
    void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection* collection_;
    int id_ = 0;
};

class TCollection : public TPersistent {
public:
    using ItemFactory = std::function<std::unique_ptr<TCollectionItem>(TCollection*)>;
    TCollection(TPersistent* Owner, ItemFactory factory);
    ~TCollection() override;

    TCollectionItem* Add();
    TCollectionItem* Insert(int index);
    void Delete(int index);
    void Clear();
    int Count() const { return static_cast<int>(items_.size()); }
    TCollectionItem* Items(int index) const;
    TCollectionItem* FindItemID(int id) const;
    int IndexOf(const TCollectionItem* item) const;
    void Move(int from, int to);
    TPersistent* Owner() const { return owner_; }

    void BeginUpdate();
    void EndUpdate();
    void Assign(const TPersistent* Source) override;

    // Called after a change: item is the changed item, or nullptr for the whole collection.
    std::function<void(TCollectionItem* item)> OnUpdate;

protected:
    virtual void Update(TCollectionItem* item);
    void Changed(TCollectionItem* item);

private:
    friend class TCollectionItem;
    TPersistent* owner_;
    ItemFactory factory_;
    std::vector<std::unique_ptr<TCollectionItem>> items_;
    int nextId_ = 0;
    int updateCount_ = 0;
};

// A collection whose items are all of class Item (constructed as Item(TCollection*)).
template <class Item> class TCollectionOf : public TCollection {
public:
    explicit TCollectionOf(TPersistent* Owner)
        : TCollection(Owner, [](TCollection* c) { return std::unique_ptr<TCollectionItem>(new Item(c)); }) {}
    Item* Add() { return static_cast<Item*>(TCollection::Add()); }
    Item* Insert(int index) { return static_cast<Item*>(TCollection::Insert(index)); }
    Item* Items(int index) const { return static_cast<Item*>(TCollection::Items(index)); }
};

// ---------------------------------------------------------------------------------------------------
// Streams

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
    // Read and Write move up to count bytes and return how many moved.
    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
    std::int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(std::int64_t pos) { Seek(pos, soBeginning); }
    virtual std::int64_t Size();
    virtual void SetSize(std::int64_t size);
    // Exactly count bytes or EReadError "Stream read error" / EWriteError "Stream write error".
    void ReadBuffer(void* buffer, std::int64_t count);
    void WriteBuffer(const void* buffer, std::int64_t count);
    // Copies count bytes from source's position, or all of source from its start when count is 0.
    std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }
    void SetSize(std::int64_t size) override;
    void Clear();
    std::uint8_t* Memory() { return data_.data(); }
    const std::uint8_t* Memory() const { return data_.data(); }
    const std::vector<std::uint8_t>& Bytes() const { return data_; }
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    void LoadFromFile(const String& fileName);
    void SaveToFile(const String& fileName) const;

private:
    std::vector<std::uint8_t> data_;
    std::size_t pos_ = 0;
};

// Read-only stream over bytes that live elsewhere (a resource, a caller's buffer).
class TPointerStream : public TStream {
public:
    TPointerStream(const void* data, std::size_t size)
        : data_(static_cast<const std::uint8_t*>(data)), size_(size) {}
    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void*, std::int64_t) override { return 0; }
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(size_); }
    const std::uint8_t* Memory() const { return data_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// An RCDATA (or other type) resource of a module; EResNotFound "Resource <name> not found".
class TResourceStream : public TPointerStream {
public:
    TResourceStream(HINSTANCE instance, const String& name, const wchar_t* type = MAKEINTRESOURCEW(10));
    static bool Exists(HINSTANCE instance, const String& name, const wchar_t* type = MAKEINTRESOURCEW(10));
};

enum : unsigned {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00,
};

// A file; EFOpenError / EFCreateError with the file name and the system's reason when it cannot be had.
class TFileStream : public TStream {
public:
    TFileStream(const String& fileName, unsigned mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;
    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    void SetSize(std::int64_t size) override;
    HANDLE Handle() const { return handle_; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// ---------------------------------------------------------------------------------------------------
// Threads

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// A thread that runs Execute(). It is created suspended and runs from Start() (or Resume()).
// The destructor asks it to stop (Terminate), lets a suspended one run, and waits for its end; a derived
// class whose Execute uses its own members should do the same in its own destructor (StopAndWait()).
class TThread : public TObject {
public:
    TThread();
    ~TThread() override;
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();
    void Resume();
    void Suspend();
    bool Suspended() const { return suspended_; }
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    bool Finished() const { return finished_; }
    // Waits for the end of Execute; on the main thread, calls that other threads make through
    // Synchronize are served meanwhile.
    DWORD WaitFor();
    void StopAndWait();
    TThreadPriority Priority() const;
    void SetPriority(TThreadPriority priority);
    HANDLE Handle() const { return handle_; }
    DWORD ThreadID() const { return threadId_; }
    DWORD ReturnValue() const { return returnValue_; }

    // Runs fn on the main thread and waits for it; an exception it raises is raised again here.
    static void Synchronize(const std::function<void()>& fn);
    // Called on the main thread after Execute returns.
    TNotifyEvent OnTerminate;

protected:
    virtual void Execute() = 0;
    void SetReturnValue(DWORD value) { returnValue_ = value; }

private:
    static DWORD WINAPI ThreadProc(LPVOID self);
    HANDLE handle_ = nullptr;
    DWORD threadId_ = 0;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    bool suspended_ = true;
    DWORD returnValue_ = 0;
};

DWORD MainThreadID();

// A hidden window whose messages all go to `method` (which calls DefWindowProc for what it leaves);
// exceptions from `method` are reported, never passed on. Destroy it with DeallocateHWnd.
// It is a message-only window (cheap to make, sees no broadcasts and can never be shown);
// AllocateTopLevelHWnd makes a hidden top-level one, for what must be able to become the
// foreground window (the owner of a popup menu).
HWND AllocateHWnd(TWndMethod method);
HWND AllocateTopLevelHWnd(TWndMethod method);
void DeallocateHWnd(HWND window);
