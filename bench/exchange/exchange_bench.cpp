// One exchange with the simulated reader, from Send to the report line in the log box, a line added
// to a log box that is already full, and the CPU time a page's full wait (Delayy(1000)) costs. Runs
// readerconsole's main window in-process, skinned as the program is.
#include <bench_console.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double ProcessCpuMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e4;
    };
    return ms(kernel) + ms(user);
}

} // namespace

int main(int argc, char** argv) {
    const int exchanges = argc > 1 ? std::max(10, atoi(argv[1])) : 300;
    if (!bench::ShowSkinnedConsole("exchange")) return 1;

    const core::ReplyReportRow version{.success = L"read version number success ",
                                       .successForm = core::SuccessLineForm::TextOnly,
                                       .failure = L"read version number false    "};
    std::vector<double> times;
    for (int i = 0; i < exchanges + 10; ++i) {
        if (i % 50 == 0) Form1->RichEdit1->Clear();
        const double start = bench::NowMs();
        Form1->Send(L"c0");
        Form1->Delay(300);
        const core::ReplyKind kind = Form1->ReportReply(version);
        const double took = bench::NowMs() - start;
        if (kind != core::ReplyKind::Success) {
            std::printf("exchange: the simulated reader did not answer (usb.dll beside the program?)\n");
            return 1;
        }
        if (i >= 10) times.push_back(took); // the first ones warm up the library and the log box
    }
    std::printf("exchange Send -> report line, %d exchanges (load %s):\n", exchanges,
                bench::LoadAverage().c_str());
    std::printf("  median %7.3f ms   (target < 5 ms)\n", bench::Percentile(times, 0.5));
    std::printf("  p90    %7.3f ms   (target <= 3 ms)\n", bench::Percentile(times, 0.9));
    std::printf("  max    %7.3f ms\n", bench::Percentile(times, 1.0));

    // A full box: many more lines than it shows. Each added line is timed with the paint it causes.
    TRichEdit* box = Form1->RichEdit1;
    box->Clear();
    for (int i = 0; i < 400; ++i)
        Form1->AddLog(L"filling line " + String(std::to_wstring(i)) + L" of the log box");
    bench::PumpUntilIdle();
    std::vector<double> added, addOnly;
    bool newestShown = true;
    for (int i = 0; i < 200; ++i) {
        const double start = bench::NowMs();
        Form1->AddLog(L"12:00:00 PM read version number success " + String(std::to_wstring(i)));
        addOnly.push_back(bench::NowMs() - start);
        bench::PumpUntilIdle();
        added.push_back(bench::NowMs() - start);
        // The newest line must be in view: the last line with text lies within the shown rows.
        const int lines = static_cast<int>(SendMessageW(box->Handle(), EM_GETLINECOUNT, 0, 0));
        RECT client{};
        GetClientRect(box->Handle(), &client);
        const LRESULT lastChar = SendMessageW(box->Handle(), EM_LINEINDEX, static_cast<WPARAM>(lines - 2), 0);
        POINTL at{};
        SendMessageW(box->Handle(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), lastChar);
        if (at.y < 0 || at.y >= client.bottom) newestShown = false;
    }
    std::printf("line added to a full log box (400 lines), with its paint, %zu lines:\n", added.size());
    std::printf("  median %7.3f ms   (target <= 2 ms)\n", bench::Percentile(added, 0.5));
    std::printf("  p90    %7.3f ms\n", bench::Percentile(added, 0.9));
    std::printf("  median of the call alone %7.3f ms\n", bench::Percentile(addOnly, 0.5));
    std::printf("  newest line in view: %s\n", newestShown ? "yes" : "NO");

    const double cpuBefore = ProcessCpuMs(), wallBefore = bench::NowMs();
    Form1->Delayy(1000);
    const double cpu = ProcessCpuMs() - cpuBefore, wall = bench::NowMs() - wallBefore;
    std::printf("Delayy(1000): %.0f ms waited, %.1f ms CPU   (target < 50 ms)\n", wall, cpu);
    return 0;
}
