// The report tests of the window suites: every reporting command of a page's table with every
// outcome of the reader's reply, and the lines of the standard reply report for each.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

// How the reader answers a command: as it does, with the reason "card not present", not at all,
// with a status that is neither success nor failure, or with a reply cut short of its own length
// byte (which is no reply either).
enum class Outcome { Success, Failure, NoReply, OtherStatus, Truncated };

std::string OutcomeName(Outcome outcome);

// A failure line (the handler's text and the time) and the reason's line after it, as LogText
// shows them.
std::vector<std::wstring> FailureLines(const std::wstring& failure, const std::wstring& reason);

// What a command's report writes, as LogText shows it ("{t}" for the time).
struct ReportLines {
    std::vector<std::wstring> success; // for the reader's own answer
    std::wstring failure;              // the failure text, without the time
    std::wstring noData;               // the whole no-reply line
    std::wstring otherStatus;          // the whole line of another status
};

// Makes the simulated reader answer the next `command` (hex) with the outcome, and gives the lines
// the report writes for it.
std::vector<std::wstring> ArrangeOutcome(Outcome outcome, const std::string& command,
                                         const ReportLines& lines);

// One row of a page's table with one outcome; `Row` has a `name`.
template <class Row> struct ReportCase {
    const Row* row;
    Outcome outcome;
};

template <class Row, std::size_t N> std::vector<ReportCase<Row>> AllReportCases(const Row (&rows)[N]) {
    std::vector<ReportCase<Row>> cases;
    for (const Row& row : rows)
        for (Outcome outcome :
             {Outcome::Success, Outcome::Failure, Outcome::NoReply, Outcome::OtherStatus, Outcome::Truncated})
            cases.push_back({&row, outcome});
    return cases;
}

template <class Row> std::string ReportCaseName(const ::testing::TestParamInfo<ReportCase<Row>>& info) {
    return std::string(info.param.row->name) + "_" + OutcomeName(info.param.outcome);
}
