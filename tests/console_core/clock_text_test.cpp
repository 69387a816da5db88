#include "console_core/clock_text.h"

#include <gtest/gtest.h>

using namespace core;

TEST(ClockText, TwelveHourClock) {
    struct Case {
        ClockTime time;
        const wchar_t* stamp;
        const wchar_t* panel;
    };
    const Case cases[] = {
        {{2026, 12, 9, 15, 4, 5}, L"03:04:05 PM", L"   2026.12.09   03:04:05 PM   "},
        {{2026, 1, 2, 0, 30, 0}, L"12:30:00 AM", L"   2026.01.02   12:30:00 AM   "},
        {{2026, 6, 30, 12, 5, 0}, L"12:05:00 PM", L"   2026.06.30   12:05:00 PM   "},
        {{2026, 6, 30, 11, 59, 59}, L"11:59:59 AM", L"   2026.06.30   11:59:59 AM   "},
        {{2026, 6, 30, 23, 59, 59}, L"11:59:59 PM", L"   2026.06.30   11:59:59 PM   "},
        {{999, 6, 30, 1, 0, 0}, L"01:00:00 AM", L"   0999.06.30   01:00:00 AM   "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TimeStampText(c.time), c.stamp);
        EXPECT_EQ(ClockPanelText(c.time), c.panel);
    }
}

TEST(ClockText, LocalTimeIsACalendarTime) {
    const ClockTime now = LocalClockTime();
    EXPECT_GE(now.year, 2024);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_GE(now.day, 1);
    EXPECT_LE(now.day, 31);
    EXPECT_LE(now.hour, 23);
}
