// What the form parser takes from the framework's Win32 side, for the host build alone. Names and
// messages only widen here: code-page conversion is not what these targets fuzz.

#include <framework/sysutils.h>

String TObject::ClassName() const {
    return L"TObject";
}

const TClassInfo* TObject::ClassInfo() const {
    return nullptr;
}

Exception::Exception(String message) : message_(std::move(message)) {}

void Exception::SetMessage(const String& message) {
    message_ = message;
}

String Utf8ToString(std::string_view utf8) {
    return String(utf8.begin(), utf8.end());
}

String IntToStr(long long value) {
    return std::to_wstring(value);
}

bool SameText(const String& a, const String& b) {
    auto upper = [](wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}
