#include <framework/sysutils.h>
#include <framework/typinfo.h>

#include <windows.h>

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <typeindex>
#include <unordered_map>

String ClassNameOf(const std::type_info& type) {
    // Demangling is slow and names never change: keep each once.
    static std::mutex lock;
    static auto* cache = new std::unordered_map<std::type_index, String>;
    std::lock_guard<std::mutex> guard(lock);
    auto it = cache->find(type);
    if (it != cache->end()) return it->second;
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
    std::string name = status == 0 && demangled ? demangled.get() : type.name();
    // Classes in namespaces keep only their own name, as a class name should read.
    auto colon = name.rfind("::");
    if (colon != std::string::npos && name.find('<') == std::string::npos) name = name.substr(colon + 2);
    String wide(name.begin(), name.end());
    cache->emplace(type, wide);
    return wide;
}

String TObject::ClassName() const {
    return ClassNameOf(typeid(*this));
}

const TClassInfo* TObject::ClassInfo() const {
    return StaticClassInfo();
}

const TClassInfo* TObject::StaticClassInfo() {
    static const TClassInfo info(L"TObject", nullptr, {});
    return &info;
}

Exception::Exception(String message) : message_(std::move(message)), utf8_(StringToUtf8(message_)) {}

void Exception::SetMessage(const String& message) {
    message_ = message;
    utf8_ = StringToUtf8(message_);
}

void Abort() {
    throw EAbort(L"Operation aborted");
}

void RaiseLastOSError(const String& what) {
    DWORD code = GetLastError();
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    String text = n && buffer ? TrimRight(String(buffer, n)) : L"System error. Code: " + IntToStr(code);
    if (buffer) LocalFree(buffer);
    throw EOSError(what.empty() ? text : what + L": " + text, code);
}
