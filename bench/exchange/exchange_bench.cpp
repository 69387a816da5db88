// One exchange with the simulated reader, from Send to the report line in the log box, and the CPU
// time a page's full wait (Delayy(1000)) costs. Runs readerconsole's main window in-process.
#include "Unit1.h"

#include <bench_clock.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
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
    try {
        Application->Initialize();
        Form1 = Application->CreateForm<TForm1>();
        Form1->Show();
    } catch (const Exception& e) {
        std::printf("exchange: the main window did not load: %s\n", e.what());
        return 1;
    }
    Application->ProcessMessages();

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
    std::printf("exchange Send -> report line, %d exchanges:\n", exchanges);
    std::printf("  median %7.3f ms   (target < 5 ms)\n", bench::Percentile(times, 0.5));
    std::printf("  p90    %7.3f ms\n", bench::Percentile(times, 0.9));
    std::printf("  max    %7.3f ms\n", bench::Percentile(times, 1.0));

    const double cpuBefore = ProcessCpuMs(), wallBefore = bench::NowMs();
    Form1->Delayy(1000);
    const double cpu = ProcessCpuMs() - cpuBefore, wall = bench::NowMs() - wallBefore;
    std::printf("Delayy(1000): %.0f ms waited, %.1f ms CPU   (target < 50 ms)\n", wall, cpu);
    return 0;
}
