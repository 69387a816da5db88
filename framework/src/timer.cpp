#include <framework/timer.h>

namespace {
constexpr UINT_PTR kTimerId = 1;
}

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
    window_ = AllocateHWnd([this](TMessage& m) { WndProc(m); });
    Update();
}

TTimer::~TTimer() {
    KillTimer(window_, kTimerId);
    DeallocateHWnd(window_);
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

void TTimer::Update() {
    KillTimer(window_, kTimerId);
    if (enabled_ && interval_ > 0) SetTimer(window_, kTimerId, interval_, nullptr);
}

void TTimer::Timer() {
    if (OnTimer) OnTimer(this);
}

void TTimer::WndProc(TMessage& m) {
    if (m.Msg == WM_TIMER && m.WParam == kTimerId) {
        Timer();
        return;
    }
    m.Result = DefWindowProcW(window_, m.Msg, m.WParam, m.LParam);
}
