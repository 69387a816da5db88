// Base types of the component framework: the root object, the exception family and small value types
// shared by every other header.
#pragma once

#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <typeinfo>

using String = std::wstring;
using NativeInt = std::intptr_t;

class TClassInfo; // typinfo.h

// Name of a C++ class as written in the source ("TButton", "TForm1"), from its run-time type.
String ClassNameOf(const std::type_info& type);
template <class T> String ClassNameOf() {
    return ClassNameOf(typeid(T));
}

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = default;
    TObject& operator=(const TObject&) = default;
    virtual ~TObject() = default;

    // The most derived class's own name, e.g. "TForm1" for a form class the program defines.
    virtual String ClassName() const;
    // Published properties of the nearest class that registered a table (typinfo.h).
    virtual const TClassInfo* ClassInfo() const;
    static const TClassInfo* StaticClassInfo();

    template <class T> bool Is() const { return dynamic_cast<const T*>(this) != nullptr; }
};

// Root of every exception the framework and the programs raise. what() gives the message in UTF-8.
class Exception : public TObject, public std::exception {
public:
    explicit Exception(String message);
    const String& Message() const { return message_; }
    void SetMessage(const String& message);
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    String message_;
    std::string utf8_;
};

#define FRAMEWORK_EXCEPTION(Name, Base)                                                                      \
    class Name : public Base {                                                                               \
    public:                                                                                                  \
        using Base::Base;                                                                                    \
    }

FRAMEWORK_EXCEPTION(EConvertError, Exception);
FRAMEWORK_EXCEPTION(EInvalidOperation, Exception);
FRAMEWORK_EXCEPTION(EInvalidCast, Exception);
FRAMEWORK_EXCEPTION(EListError, Exception);
FRAMEWORK_EXCEPTION(EComponentError, Exception);
FRAMEWORK_EXCEPTION(EOutOfResources, Exception);
FRAMEWORK_EXCEPTION(EResNotFound, Exception);
FRAMEWORK_EXCEPTION(EThread, Exception);
FRAMEWORK_EXCEPTION(EStreamError, Exception);
FRAMEWORK_EXCEPTION(EFOpenError, EStreamError);
FRAMEWORK_EXCEPTION(EFCreateError, EStreamError);
FRAMEWORK_EXCEPTION(EReadError, EStreamError); // form descriptions and short stream reads
FRAMEWORK_EXCEPTION(EWriteError, EStreamError);

// A Win32 call failed; ErrorCode() is GetLastError() at the time.
class EOSError : public Exception {
public:
    EOSError(String message, unsigned long errorCode)
        : Exception(std::move(message)), errorCode_(errorCode) {}
    unsigned long ErrorCode() const { return errorCode_; }

private:
    unsigned long errorCode_;
};

// The silent exception: it ends the running handler and is never reported.
FRAMEWORK_EXCEPTION(EAbort, Exception);
[[noreturn]] void Abort();

// Throws EOSError with the system's text for GetLastError(), prefixed by `what`.
[[noreturn]] void RaiseLastOSError(const String& what = L"");

// A small set of enumeration values, stored as bits (value n is bit n).
template <class E> class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> values) {
        for (E v : values) bits_ |= Bit(v);
    }
    static constexpr TSet FromInt(std::uint64_t bits) {
        TSet s;
        s.bits_ = bits;
        return s;
    }
    constexpr std::uint64_t ToInt() const { return bits_; }
    constexpr bool Contains(E v) const { return (bits_ & Bit(v)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr TSet& Include(E v) {
        bits_ |= Bit(v);
        return *this;
    }
    constexpr TSet& Exclude(E v) {
        bits_ &= ~Bit(v);
        return *this;
    }
    constexpr TSet operator+(TSet o) const { return FromInt(bits_ | o.bits_); }
    constexpr TSet operator-(TSet o) const { return FromInt(bits_ & ~o.bits_); }
    constexpr TSet operator*(TSet o) const { return FromInt(bits_ & o.bits_); }
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr std::uint64_t Bit(E v) { return std::uint64_t(1) << static_cast<unsigned>(v); }
    std::uint64_t bits_ = 0;
};
