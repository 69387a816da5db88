#include <framework/timer.h>

#include <map>
#include <mutex>

namespace {

// Running timers by their system timer id. A thread timer needs no window of its own: the message
// loop of the thread that set it dispatches WM_TIMER to TimerProc.
struct RunningTimers {
    std::mutex lock;
    std::map<UINT_PTR, TTimer*> byId;
};

RunningTimers& Running() {
    static auto* running = new RunningTimers; // never destroyed: timers may stop during exit
    return *running;
}

} // namespace

const TClassInfo* TTimer::StaticClassInfo() {
    static const TClassInfo info(L"TTimer", TComponent::StaticClassInfo(),
                                 {
                                     StrProp<TTimer>(L"Name", &TTimer::Name, &TTimer::SetName),
                                     IntProp<TTimer>(L"Tag", &TTimer::Tag, &TTimer::SetTag),
                                     BoolProp<TTimer>(L"Enabled", &TTimer::Enabled, &TTimer::SetEnabled),
                                     IntProp<TTimer>(L"Interval", &TTimer::Interval, &TTimer::SetInterval),
                                     EventProp<TTimer>(L"OnTimer", &TTimer::OnTimer),
                                 });
    return &info;
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
    Update();
}

TTimer::~TTimer() {
    Stop();
}

void TTimer::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    Update();
}

void TTimer::SetInterval(unsigned value) {
    if (value == interval_) return;
    interval_ = value;
    Update();
}

void TTimer::Stop() {
    if (!id_) return;
    KillTimer(nullptr, id_);
    RunningTimers& running = Running();
    std::lock_guard<std::mutex> guard(running.lock);
    running.byId.erase(id_);
    id_ = 0;
}

void TTimer::Update() {
    Stop();
    if (!enabled_ || interval_ == 0) return;
    id_ = SetTimer(nullptr, 0, interval_, &TTimer::TimerProc);
    if (!id_) return;
    RunningTimers& running = Running();
    std::lock_guard<std::mutex> guard(running.lock);
    running.byId[id_] = this;
}

void TTimer::Timer() {
    if (OnTimer) OnTimer(this);
}

void CALLBACK TTimer::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    TTimer* timer = nullptr;
    {
        RunningTimers& running = Running();
        std::lock_guard<std::mutex> guard(running.lock);
        auto it = running.byId.find(id);
        if (it != running.byId.end()) timer = it->second;
    }
    if (!timer) return;
    // Nothing may unwind through the system's dispatch.
    try {
        timer->Timer();
    } catch (...) {
        ReportCurrentException(timer);
    }
}
