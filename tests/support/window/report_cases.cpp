#include "report_cases.h"

#include "simulated_reader.h"

std::string OutcomeName(Outcome outcome) {
    static const char* const names[] = {"Success", "Failure", "NoReply", "OtherStatus", "Truncated"};
    return names[static_cast<int>(outcome)];
}

std::vector<std::wstring> FailureLines(const std::wstring& failure, const std::wstring& reason) {
    return {failure + L"{t}", reason + L"\r\n"};
}

std::vector<std::wstring> ArrangeOutcome(Outcome outcome, const std::string& command,
                                         const ReportLines& lines) {
    SimulatedReader& reader = SimulatedReader::Instance();
    switch (outcome) {
    case Outcome::Success:
        return lines.success;
    case Outcome::Failure:
        reader.Control(("force " + command + " reason 83").c_str());
        return FailureLines(lines.failure, L"卡不存在....");
    case Outcome::NoReply:
        reader.Control("silence");
        return {lines.noData};
    case Outcome::Truncated:
        // The length byte says more than the read delivers.
        reader.Control("oversize FF");
        return {lines.noData};
    case Outcome::OtherStatus:
        break;
    }
    reader.Control(("force " + command + " status 02").c_str());
    return {lines.otherStatus};
}
