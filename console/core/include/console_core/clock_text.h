// Clock texts of the console: the time stamp of every log line and the status-bar clock.
#pragma once

#include <string>

namespace core {

// A local date and time as the clock shows it; hour 0-23.
struct ClockTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The current local time.
ClockTime LocalClockTime();

// "hh:mm:ss AM/PM" on the 12-hour clock: 15:04:05 -> "03:04:05 PM", 00:30:00 -> "12:30:00 AM",
// 12:05:00 -> "12:05:00 PM".
std::wstring TimeStampText(const ClockTime& t);

// The status-bar clock: "   yyyy.mm.dd   hh:mm:ss AM/PM   ".
std::wstring ClockPanelText(const ClockTime& t);

} // namespace core
