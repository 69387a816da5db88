#include <framework/sysutils.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <limits>

namespace {

bool ParseInteger(const String& text, long long& value, long long minValue, long long maxValue,
                  unsigned long long hexLimit) {
    size_t i = 0, n = text.size();
    while (i < n && text[i] <= L' ') ++i;
    bool negative = false;
    if (i < n && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    bool hex = false;
    if (i < n && text[i] == L'$') {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X')) {
        hex = true;
        i += 2;
    }
    if (i == n) return false;
    unsigned long long acc = 0;
    const unsigned long long limit =
        hex ? hexLimit : static_cast<unsigned long long>(maxValue) + (negative ? 1 : 0);
    for (; i < n; ++i) {
        wchar_t c = text[i];
        unsigned digit;
        if (c >= L'0' && c <= L'9')
            digit = c - L'0';
        else if (hex && c >= L'a' && c <= L'f')
            digit = c - L'a' + 10;
        else if (hex && c >= L'A' && c <= L'F')
            digit = c - L'A' + 10;
        else
            return false;
        unsigned base = hex ? 16 : 10;
        if (acc > (limit - digit) / base) return false;
        acc = acc * base + digit;
    }
    if (hex) {
        // Hex digits give the bit pattern: $FFFFFFFF is -1 as a 32-bit integer.
        long long v;
        if (hexLimit == 0xFFFFFFFFull)
            v = static_cast<std::int32_t>(static_cast<std::uint32_t>(acc));
        else
            v = static_cast<long long>(acc);
        value = negative ? -v : v;
        return true;
    }
    if (negative) {
        value =
            acc == static_cast<unsigned long long>(maxValue) + 1 ? minValue : -static_cast<long long>(acc);
    } else {
        value = static_cast<long long>(acc);
    }
    return true;
}

[[noreturn]] void InvalidInteger(const String& text) {
    throw EConvertError(L"'" + text + L"' is not a valid integer value");
}

bool IsAsciiLower(wchar_t c) {
    return c >= L'a' && c <= L'z';
}
bool IsAsciiUpper(wchar_t c) {
    return c >= L'A' && c <= L'Z';
}
wchar_t AsciiUpper(wchar_t c) {
    return IsAsciiLower(c) ? wchar_t(c - 32) : c;
}
wchar_t AsciiLower(wchar_t c) {
    return IsAsciiUpper(c) ? wchar_t(c + 32) : c;
}

// Days from 1970-01-01 of a civil date (proleptic Gregorian).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

constexpr long long kDelta1970 = 25569; // days from 1899-12-30 to 1970-01-01
constexpr long long kMsPerDay = 86400000;

// Whole milliseconds since 1899-12-30 00:00, rounded, so that 15:04:05 never reads 15:04:04.999.
long long ToMilliseconds(TDateTime t) {
    double whole = std::floor(t);
    double frac = t - whole;
    if (t < 0) frac = -(t - std::ceil(t)); // negative dates keep the time as a positive fraction
    long long days = static_cast<long long>(t < 0 ? std::ceil(t) : whole);
    long long ms = std::llround(frac * kMsPerDay);
    return days * kMsPerDay + ms;
}

const wchar_t* const kShortMonths[] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                       L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
const wchar_t* const kLongMonths[] = {L"January",   L"February", L"March",    L"April",
                                      L"May",       L"June",     L"July",     L"August",
                                      L"September", L"October",  L"November", L"December"};
const wchar_t* const kShortDays[] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
const wchar_t* const kLongDays[] = {L"Sunday",   L"Monday", L"Tuesday", L"Wednesday",
                                    L"Thursday", L"Friday", L"Saturday"};

String Pad(int value, int width) {
    String s = std::to_wstring(value);
    if (static_cast<int>(s.size()) < width) s.insert(0, width - s.size(), L'0');
    return s;
}

bool MatchesAt(const String& s, size_t i, const wchar_t* token) {
    size_t n = std::wcslen(token);
    if (i + n > s.size()) return false;
    for (size_t k = 0; k < n; ++k)
        if (AsciiLower(s[i + k]) != AsciiLower(token[k])) return false;
    return true;
}

// True when an AM/PM-style token follows position i (outside quotes).
bool HasAmPmAfter(const String& f, size_t i) {
    for (; i < f.size(); ++i) {
        wchar_t c = f[i];
        if (c == L'"' || c == L'\'') {
            size_t close = f.find(c, i + 1);
            if (close == String::npos) return false;
            i = close;
        } else if (MatchesAt(f, i, L"am/pm") || MatchesAt(f, i, L"a/p")) {
            return true;
        }
    }
    return false;
}

} // namespace

String IntToStr(long long value) {
    return std::to_wstring(value);
}

String IntToHex(long long value, int digits) {
    unsigned long long bits;
    if (value < 0 && value >= std::numeric_limits<std::int32_t>::min())
        bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
    else
        bits = static_cast<unsigned long long>(value);
    String s;
    do {
        s.insert(s.begin(), L"0123456789ABCDEF"[bits & 0xF]);
        bits >>= 4;
    } while (bits);
    if (static_cast<int>(s.size()) < digits) s.insert(0, digits - s.size(), L'0');
    return s;
}

int StrToInt(const String& text) {
    long long v;
    if (!ParseInteger(text, v, std::numeric_limits<std::int32_t>::min(),
                      std::numeric_limits<std::int32_t>::max(), 0xFFFFFFFFull))
        InvalidInteger(text);
    return static_cast<int>(v);
}

long long StrToInt64(const String& text) {
    long long v;
    if (!ParseInteger(text, v, std::numeric_limits<long long>::min(), std::numeric_limits<long long>::max(),
                      std::numeric_limits<unsigned long long>::max()))
        InvalidInteger(text);
    return v;
}

bool TryStrToInt(const String& text, int& value) {
    long long v;
    if (!ParseInteger(text, v, std::numeric_limits<std::int32_t>::min(),
                      std::numeric_limits<std::int32_t>::max(), 0xFFFFFFFFull))
        return false;
    value = static_cast<int>(v);
    return true;
}

int StrToIntDef(const String& text, int defaultValue) {
    int v;
    return TryStrToInt(text, v) ? v : defaultValue;
}

String Trim(const String& text) {
    return TrimLeft(TrimRight(text));
}

String TrimLeft(const String& text) {
    size_t i = 0;
    while (i < text.size() && text[i] <= L' ') ++i;
    return text.substr(i);
}

String TrimRight(const String& text) {
    size_t n = text.size();
    while (n > 0 && text[n - 1] <= L' ') --n;
    return text.substr(0, n);
}

String UpperCase(const String& text) {
    String s = text;
    for (auto& c : s) c = AsciiUpper(c);
    return s;
}

String LowerCase(const String& text) {
    String s = text;
    for (auto& c : s) c = AsciiLower(c);
    return s;
}

int CompareText(const String& a, const String& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        wchar_t x = AsciiUpper(a[i]), y = AsciiUpper(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameText(const String& a, const String& b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

String Format(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = _vsnwprintf(nullptr, 0, format, copy);
    va_end(copy);
    String s;
    if (n > 0) {
        s.resize(static_cast<size_t>(n) + 1);
        _vsnwprintf(s.data(), s.size(), format, args);
        s.resize(static_cast<size_t>(n));
    }
    va_end(args);
    return s;
}

TDateTime EncodeDate(int year, int month, int day) {
    if (month < 1 || month > 12 || day < 1 || day > 31 || year < 1 || year > 9999)
        throw EConvertError(L"Invalid argument to date encode");
    long long days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    int y, m, d;
    CivilFromDays(days, y, m, d);
    if (y != year || m != month || d != day) throw EConvertError(L"Invalid argument to date encode");
    return static_cast<TDateTime>(days + kDelta1970);
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999)
        throw EConvertError(L"Invalid argument to time encode");
    return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / kMsPerDay;
}

void DecodeDate(TDateTime t, int& year, int& month, int& day) {
    long long ms = ToMilliseconds(t);
    long long days = ms >= 0 ? ms / kMsPerDay : -((-ms + kMsPerDay - 1) / kMsPerDay);
    CivilFromDays(days - kDelta1970, year, month, day);
}

void DecodeTime(TDateTime t, int& hour, int& minute, int& second, int& millisecond) {
    long long ms = ToMilliseconds(t) % kMsPerDay;
    if (ms < 0) ms += kMsPerDay;
    hour = static_cast<int>(ms / 3600000);
    minute = static_cast<int>(ms / 60000 % 60);
    second = static_cast<int>(ms / 1000 % 60);
    millisecond = static_cast<int>(ms % 1000);
}

TDateTime Now() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return EncodeDate(st.wYear, st.wMonth, st.wDay) +
           EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
}

TDateTime Date() {
    return std::floor(Now());
}

String FormatDateTime(const String& f, TDateTime t) {
    int year, month, day, hour, minute, second, ms;
    DecodeDate(t, year, month, day);
    DecodeTime(t, hour, minute, second, ms);
    long long dayNumber = ToMilliseconds(t) / kMsPerDay;
    int weekday = static_cast<int>((dayNumber % 7 + 7 + 6) % 7); // Sunday 0; 1899-12-30 was a Saturday
    String out;
    wchar_t lastToken = 0;
    size_t i = 0;
    while (i < f.size()) {
        wchar_t c = f[i];
        wchar_t lc = AsciiLower(c);
        size_t run = 1;
        while (i + run < f.size() && AsciiLower(f[i + run]) == lc) ++run;
        if (c == L'"' || c == L'\'') {
            size_t close = f.find(c, i + 1);
            if (close == String::npos) close = f.size();
            out += f.substr(i + 1, close - i - 1);
            i = close + 1;
            continue;
        }
        if (MatchesAt(f, i, L"am/pm")) {
            bool upper = IsAsciiUpper(f[i]);
            out += hour < 12 ? (upper ? L"AM" : L"am") : (upper ? L"PM" : L"pm");
            i += 5;
            continue;
        }
        if (MatchesAt(f, i, L"a/p")) {
            bool upper = IsAsciiUpper(f[i]);
            out += hour < 12 ? (upper ? L"A" : L"a") : (upper ? L"P" : L"p");
            i += 3;
            continue;
        }
        switch (lc) {
        case L'y':
            out += run >= 3 ? Pad(year, 4) : Pad(year % 100, 2);
            lastToken = L'y';
            break;
        case L'm':
            if (lastToken == L'h') {
                out += Pad(minute, run >= 2 ? 2 : 1);
                run = std::min<size_t>(run, 2);
            } else if (run >= 4) {
                out += kLongMonths[month - 1];
                run = 4;
            } else if (run == 3) {
                out += kShortMonths[month - 1];
            } else {
                out += Pad(month, static_cast<int>(run));
            }
            lastToken = L'm';
            break;
        case L'd':
            if (run >= 4) {
                out += kLongDays[weekday];
                run = 4;
            } else if (run == 3) {
                out += kShortDays[weekday];
            } else {
                out += Pad(day, static_cast<int>(run));
            }
            lastToken = L'd';
            break;
        case L'h': {
            run = std::min<size_t>(run, 2);
            int h = hour;
            if (HasAmPmAfter(f, i + run)) {
                h = hour % 12;
                if (h == 0) h = 12;
            }
            out += Pad(h, static_cast<int>(run));
            lastToken = L'h';
            break;
        }
        case L'n':
            run = std::min<size_t>(run, 2);
            out += Pad(minute, static_cast<int>(run));
            lastToken = L'n';
            break;
        case L's':
            run = std::min<size_t>(run, 2);
            out += Pad(second, static_cast<int>(run));
            lastToken = L's';
            break;
        case L'z':
            run = run >= 3 ? 3 : 1;
            out += Pad(ms, static_cast<int>(run));
            lastToken = L'z';
            break;
        default:
            out.append(run, c);
            break;
        }
        i += run;
    }
    return out;
}

String AnsiToWide(std::string_view bytes, unsigned codePage) {
    if (bytes.empty()) return {};
    int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    String s(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), s.data(), n);
    return s;
}

std::string WideToAnsi(const String& text, unsigned codePage) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), s.data(), n, nullptr,
                        nullptr);
    return s;
}

String Utf8ToString(std::string_view utf8) {
    // Plain ASCII (names and numbers of form descriptions) widens as it is, without two system calls.
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return String(utf8.begin(), utf8.end());
    return AnsiToWide(utf8, CP_UTF8);
}
std::string StringToUtf8(const String& text) {
    return WideToAnsi(text, CP_UTF8);
}

bool FileExists(const String& fileName) {
    DWORD a = GetFileAttributesW(fileName.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {
size_t LastSeparator(const String& fileName) {
    return fileName.find_last_of(L"\\/:");
}
} // namespace

String ExtractFilePath(const String& fileName) {
    size_t p = LastSeparator(fileName);
    return p == String::npos ? String() : fileName.substr(0, p + 1);
}

String ExtractFileName(const String& fileName) {
    size_t p = LastSeparator(fileName);
    return p == String::npos ? fileName : fileName.substr(p + 1);
}

String ExtractFileExt(const String& fileName) {
    size_t p = fileName.find_last_of(L".\\/:");
    return p != String::npos && fileName[p] == L'.' ? fileName.substr(p) : String();
}

String ChangeFileExt(const String& fileName, const String& extension) {
    size_t p = fileName.find_last_of(L".\\/:");
    if (p != String::npos && fileName[p] == L'.') return fileName.substr(0, p) + extension;
    return fileName + extension;
}
