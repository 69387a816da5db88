#include "console_core/clock_text.h"

#include <cstdio>
#include <ctime>

namespace core {
namespace {

std::wstring TwoDigits(int value) {
    wchar_t text[16];
    std::swprintf(text, 16, L"%02d", value);
    return text;
}

} // namespace

ClockTime LocalClockTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return ClockTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                     local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::wstring TimeStampText(const ClockTime& t) {
    const int hour12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    return TwoDigits(hour12) + L":" + TwoDigits(t.minute) + L":" + TwoDigits(t.second) +
           (t.hour < 12 ? L" AM" : L" PM");
}

std::wstring ClockPanelText(const ClockTime& t) {
    wchar_t year[16];
    std::swprintf(year, 16, L"%04d", t.year);
    return L"   " + std::wstring(year) + L"." + TwoDigits(t.month) + L"." + TwoDigits(t.day) + L"   " +
           TimeStampText(t) + L"   ";
}

} // namespace core
