// A timer component: OnTimer runs every Interval milliseconds on the main thread while Enabled.
#pragma once

#include <framework/classes.h>
#include <framework/typinfo.h>

class TTimer : public TComponent {
    DECLARE_PUBLISHED
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned value);

    TNotifyEvent OnTimer;

protected:
    virtual void Timer();

private:
    void Update();
    void Stop();
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD);
    UINT_PTR id_ = 0; // the thread timer while running
    bool enabled_ = true;
    unsigned interval_ = 1000;
};
