#include <framework/comctrls.h>

#include <commctrl.h>

#include <algorithm>

const TIdentMap TrackBarOrientationIdents{{L"trHorizontal", trHorizontal}, {L"trVertical", trVertical}};
const TIdentMap TickMarkIdents{{L"tmBottomRight", tmBottomRight}, {L"tmTopLeft", tmTopLeft}, {L"tmBoth", tmBoth}};
const TIdentMap TickStyleIdents{{L"tsNone", tsNone}, {L"tsAuto", tsAuto}, {L"tsManual", tsManual}};
const TIdentMap UDOrientationIdents{{L"udHorizontal", udHorizontal}, {L"udVertical", udVertical}};
const TIdentMap UDAlignButtonIdents{{L"udLeft", udLeft}, {L"udRight", udRight}};
const TIdentMap ProgressBarOrientationIdents{{L"pbHorizontal", pbHorizontal}, {L"pbVertical", pbVertical}};

// ---------------------------------------------------------------------------------------------------
// TTrackBar

const TClassInfo* TTrackBar::StaticClassInfo() {
    static const TClassInfo info(
        L"TTrackBar", TWinControl::StaticClassInfo(),
        {
            IntProp<TTrackBar>(L"Min", &TTrackBar::Min, &TTrackBar::SetMin),
            IntProp<TTrackBar>(L"Max", &TTrackBar::Max, &TTrackBar::SetMax),
            IntProp<TTrackBar>(L"Position", &TTrackBar::Position, &TTrackBar::SetPosition),
            IntProp<TTrackBar>(L"Frequency", &TTrackBar::Frequency, &TTrackBar::SetFrequency),
            IntProp<TTrackBar>(L"LineSize", &TTrackBar::LineSize, &TTrackBar::SetLineSize),
            IntProp<TTrackBar>(L"PageSize", &TTrackBar::PageSize, &TTrackBar::SetPageSize),
            EnumProp<TTrackBar>(L"Orientation", &TTrackBar::Orientation, &TTrackBar::SetOrientation,
                                TrackBarOrientationIdents),
            EnumProp<TTrackBar>(L"TickMarks", &TTrackBar::TickMarks, &TTrackBar::SetTickMarks, TickMarkIdents),
            EnumProp<TTrackBar>(L"TickStyle", &TTrackBar::TickStyle, &TTrackBar::SetTickStyle, TickStyleIdents),
            IntProp<TTrackBar>(L"SelStart", &TTrackBar::SelStart, &TTrackBar::SetSelStart),
            IntProp<TTrackBar>(L"SelEnd", &TTrackBar::SelEnd, &TTrackBar::SetSelEnd),
            EventProp<TTrackBar>(L"OnChange", &TTrackBar::OnChange),
        });
    return &info;
}

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 150, 45);
    SetTabStop(true);
}

void TTrackBar::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.WinClassName = TRACKBAR_CLASSW;
    p.OwnClass = false;
    p.Style |= (orientation_ == trVertical ? TBS_VERT : TBS_HORZ) | TBS_ENABLESELRANGE;
    if (tickStyle_ == tsNone) p.Style |= TBS_NOTICKS;
    else if (tickStyle_ == tsAuto) p.Style |= TBS_AUTOTICKS;
    if (tickMarks_ == tmBoth) p.Style |= TBS_BOTH;
    else if (tickMarks_ == tmTopLeft) p.Style |= orientation_ == trVertical ? TBS_LEFT : TBS_TOP;
}

void TTrackBar::CreateWnd() {
    TWinControl::CreateWnd();
    PushState();
}

void TTrackBar::PushState() {
    if (!HandleAllocated()) return;
    HWND w = Handle();
    SendMessageW(w, TBM_SETRANGEMIN, FALSE, min_);
    SendMessageW(w, TBM_SETRANGEMAX, FALSE, max_);
    SendMessageW(w, TBM_SETTICFREQ, static_cast<WPARAM>(frequency_), 0);
    SendMessageW(w, TBM_SETLINESIZE, 0, lineSize_);
    SendMessageW(w, TBM_SETPAGESIZE, 0, pageSize_);
    SendMessageW(w, TBM_SETSELSTART, FALSE, selStart_);
    SendMessageW(w, TBM_SETSELEND, FALSE, selEnd_);
    SendMessageW(w, TBM_SETPOS, TRUE, position_);
}

int TTrackBar::Position() const {
    if (HandleAllocated()) position_ = static_cast<int>(SendMessageW(Handle(), TBM_GETPOS, 0, 0));
    return position_;
}

void TTrackBar::SetPosition(int value) {
    position_ = std::clamp(value, min_, std::max(min_, max_));
    if (HandleAllocated()) SendMessageW(Handle(), TBM_SETPOS, TRUE, position_);
}

void TTrackBar::SetMin(int value) {
    min_ = value;
    if (max_ < min_) max_ = min_;
    position_ = std::clamp(Position(), min_, max_);
    PushState();
}

void TTrackBar::SetMax(int value) {
    max_ = value;
    if (min_ > max_) min_ = max_;
    position_ = std::clamp(Position(), min_, max_);
    PushState();
}

void TTrackBar::SetFrequency(int value) {
    frequency_ = std::max(value, 1);
    if (HandleAllocated()) SendMessageW(Handle(), TBM_SETTICFREQ, static_cast<WPARAM>(frequency_), 0);
}

void TTrackBar::SetLineSize(int value) {
    lineSize_ = std::max(value, 1);
    if (HandleAllocated()) SendMessageW(Handle(), TBM_SETLINESIZE, 0, lineSize_);
}

void TTrackBar::SetPageSize(int value) {
    pageSize_ = std::max(value, 1);
    if (HandleAllocated()) SendMessageW(Handle(), TBM_SETPAGESIZE, 0, pageSize_);
}

void TTrackBar::SetOrientation(TTrackBarOrientation value) {
    if (value == orientation_) return;
    position_ = Position();
    orientation_ = value;
    RecreateWnd();
}

void TTrackBar::SetTickMarks(TTickMark value) {
    if (value == tickMarks_) return;
    position_ = Position();
    tickMarks_ = value;
    RecreateWnd();
}

void TTrackBar::SetTickStyle(TTickStyle value) {
    if (value == tickStyle_) return;
    position_ = Position();
    tickStyle_ = value;
    RecreateWnd();
}

void TTrackBar::SetSelStart(int value) {
    selStart_ = value;
    if (HandleAllocated()) SendMessageW(Handle(), TBM_SETSELSTART, TRUE, value);
}

void TTrackBar::SetSelEnd(int value) {
    selEnd_ = value;
    if (HandleAllocated()) SendMessageW(Handle(), TBM_SETSELEND, TRUE, value);
}

void TTrackBar::WndProc(TMessage& m) {
    if (m.Msg == CN_HSCROLL || m.Msg == CN_VSCROLL) {
        position_ = static_cast<int>(SendMessageW(Handle(), TBM_GETPOS, 0, 0));
        if (OnChange) OnChange(this);
        m.Result = 0;
        return;
    }
    TWinControl::WndProc(m);
}

// ---------------------------------------------------------------------------------------------------
// TUpDown

const TClassInfo* TUpDown::StaticClassInfo() {
    static const TClassInfo info(
        L"TUpDown", TWinControl::StaticClassInfo(),
        {
            IntProp<TUpDown>(L"Min", &TUpDown::Min, &TUpDown::SetMin),
            IntProp<TUpDown>(L"Max", &TUpDown::Max, &TUpDown::SetMax),
            IntProp<TUpDown>(L"Position", &TUpDown::Position, &TUpDown::SetPosition),
            IntProp<TUpDown>(L"Increment", &TUpDown::Increment, &TUpDown::SetIncrement),
            EnumProp<TUpDown>(L"Orientation", &TUpDown::Orientation, &TUpDown::SetOrientation, UDOrientationIdents),
            EnumProp<TUpDown>(L"AlignButton", &TUpDown::AlignButton, &TUpDown::SetAlignButton, UDAlignButtonIdents),
            RefProp<TUpDown, TWinControl>(L"Associate", &TUpDown::Associate, &TUpDown::SetAssociate),
            BoolProp<TUpDown>(L"ArrowKeys", &TUpDown::ArrowKeys, &TUpDown::SetArrowKeys),
            BoolProp<TUpDown>(L"Thousands", &TUpDown::Thousands, &TUpDown::SetThousands),
            BoolProp<TUpDown>(L"Wrap", &TUpDown::Wrap, &TUpDown::SetWrap),
            EventProp<TUpDown>(L"OnChanging", &TUpDown::OnChanging),
            EventProp<TUpDown>(L"OnClick", &TUpDown::OnClick),
        });
    return &info;
}

TUpDown::TUpDown(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 17, 25); }

void TUpDown::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.WinClassName = UPDOWN_CLASSW;
    p.OwnClass = false;
    p.Style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
    p.Style |= UDS_SETBUDDYINT | (alignButton_ == udLeft ? UDS_ALIGNLEFT : UDS_ALIGNRIGHT);
    if (arrowKeys_) p.Style |= UDS_ARROWKEYS;
    if (!thousands_) p.Style |= UDS_NOTHOUSANDS;
    if (wrap_) p.Style |= UDS_WRAP;
    if (orientation_ == udHorizontal) p.Style |= UDS_HORZ;
}

void TUpDown::CreateWnd() {
    TWinControl::CreateWnd();
    HWND w = Handle();
    SendMessageW(w, UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
    UDACCEL accel{0, static_cast<UINT>(std::max(increment_, 1))};
    SendMessageW(w, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
    if (associate_) SendMessageW(w, UDM_SETBUDDY, reinterpret_cast<WPARAM>(associate_->Handle()), 0);
    SendMessageW(w, UDM_SETPOS32, 0, position_);
}

int TUpDown::Position() const {
    if (HandleAllocated()) {
        BOOL failed = FALSE;
        int pos = static_cast<int>(SendMessageW(Handle(), UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
        if (!failed) position_ = pos;
    }
    return position_;
}

void TUpDown::SetPosition(int value) {
    position_ = std::clamp(value, std::min(min_, max_), std::max(min_, max_));
    if (HandleAllocated()) SendMessageW(Handle(), UDM_SETPOS32, 0, position_);
}

void TUpDown::SetMin(int value) {
    min_ = value;
    if (HandleAllocated()) SendMessageW(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
    SetPosition(Position());
}

void TUpDown::SetMax(int value) {
    max_ = value;
    if (HandleAllocated()) SendMessageW(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
    SetPosition(Position());
}

void TUpDown::SetIncrement(int value) {
    increment_ = std::max(value, 1);
    if (!HandleAllocated()) return;
    UDACCEL accel{0, static_cast<UINT>(increment_)};
    SendMessageW(Handle(), UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
}

void TUpDown::SetAssociate(TWinControl* control) {
    if (control == associate_) return;
    if (associate_) RemoveFreeNotification(associate_);
    associate_ = control;
    if (control) FreeNotification(control);
    if (HandleAllocated())
        SendMessageW(Handle(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(control ? control->Handle() : nullptr), 0);
    if (control && HandleAllocated()) SendMessageW(Handle(), UDM_SETPOS32, 0, position_);
}

void TUpDown::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == associate_) {
        associate_ = nullptr;
        if (HandleAllocated() && !IsDestroying()) SendMessageW(Handle(), UDM_SETBUDDY, 0, 0);
    }
}

void TUpDown::SetOrientation(TUDOrientation value) {
    if (value == orientation_) return;
    position_ = Position();
    orientation_ = value;
    RecreateWnd();
}

void TUpDown::SetAlignButton(TUDAlignButton value) {
    if (value == alignButton_) return;
    position_ = Position();
    alignButton_ = value;
    RecreateWnd();
}

void TUpDown::SetArrowKeys(bool value) {
    if (value == arrowKeys_) return;
    position_ = Position();
    arrowKeys_ = value;
    RecreateWnd();
}

void TUpDown::SetThousands(bool value) {
    if (value == thousands_) return;
    position_ = Position();
    thousands_ = value;
    RecreateWnd();
}

void TUpDown::SetWrap(bool value) {
    if (value == wrap_) return;
    position_ = Position();
    wrap_ = value;
    RecreateWnd();
}

void TUpDown::WndProc(TMessage& m) {
    if (m.Msg == CN_NOTIFY && reinterpret_cast<NMHDR*>(m.LParam)->code == UDN_DELTAPOS) {
        auto* change = reinterpret_cast<NMUPDOWN*>(m.LParam);
        bool allow = true;
        if (OnChanging) OnChanging(this, allow);
        lastDelta_ = change->iDelta;
        m.Result = allow ? 0 : 1;
        return;
    }
    if ((m.Msg == CN_VSCROLL || m.Msg == CN_HSCROLL) && LOWORD(m.WParam) == SB_THUMBPOSITION) {
        Position();
        if (OnClick) OnClick(this, lastDelta_ >= 0 ? btNext : btPrev);
        m.Result = 0;
        return;
    }
    TWinControl::WndProc(m);
}

// ---------------------------------------------------------------------------------------------------
// TProgressBar

const TClassInfo* TProgressBar::StaticClassInfo() {
    static const TClassInfo info(
        L"TProgressBar", TWinControl::StaticClassInfo(),
        {
            IntProp<TProgressBar>(L"Min", &TProgressBar::Min, &TProgressBar::SetMin),
            IntProp<TProgressBar>(L"Max", &TProgressBar::Max, &TProgressBar::SetMax),
            IntProp<TProgressBar>(L"Position", &TProgressBar::Position, &TProgressBar::SetPosition),
            IntProp<TProgressBar>(L"Step", &TProgressBar::Step, &TProgressBar::SetStep),
            EnumProp<TProgressBar>(L"Orientation", &TProgressBar::Orientation, &TProgressBar::SetOrientation,
                                   ProgressBarOrientationIdents),
            BoolProp<TProgressBar>(L"Smooth", &TProgressBar::Smooth, &TProgressBar::SetSmooth),
        });
    return &info;
}

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 150, 16); }

void TProgressBar::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.WinClassName = PROGRESS_CLASSW;
    p.OwnClass = false;
    p.Style &= ~static_cast<DWORD>(WS_CLIPCHILDREN);
    if (orientation_ == pbVertical) p.Style |= PBS_VERTICAL;
    if (smooth_) p.Style |= PBS_SMOOTH;
}

void TProgressBar::CreateWnd() {
    TWinControl::CreateWnd();
    HWND w = Handle();
    SendMessageW(w, PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
    SendMessageW(w, PBM_SETSTEP, static_cast<WPARAM>(step_), 0);
    SendMessageW(w, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

int TProgressBar::Position() const {
    if (HandleAllocated()) position_ = static_cast<int>(SendMessageW(Handle(), PBM_GETPOS, 0, 0));
    return position_;
}

void TProgressBar::SetPosition(int value) {
    position_ = std::clamp(value, min_, std::max(min_, max_));
    if (HandleAllocated()) SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetMin(int value) {
    min_ = value;
    if (max_ < min_) max_ = min_;
    if (HandleAllocated()) SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
    SetPosition(Position());
}

void TProgressBar::SetMax(int value) {
    max_ = value;
    if (min_ > max_) min_ = max_;
    if (HandleAllocated()) SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
    SetPosition(Position());
}

void TProgressBar::SetStep(int value) {
    step_ = value;
    if (HandleAllocated()) SendMessageW(Handle(), PBM_SETSTEP, static_cast<WPARAM>(step_), 0);
}

void TProgressBar::SetOrientation(TProgressBarOrientation value) {
    if (value == orientation_) return;
    position_ = Position();
    orientation_ = value;
    RecreateWnd();
}

void TProgressBar::SetSmooth(bool value) {
    if (value == smooth_) return;
    position_ = Position();
    smooth_ = value;
    RecreateWnd();
}

void TProgressBar::StepIt() {
    if (HandleAllocated()) {
        SendMessageW(Handle(), PBM_STEPIT, 0, 0);
        Position();
        return;
    }
    int next = position_ + step_;
    position_ = next > max_ ? min_ + (next - max_) % std::max(max_ - min_, 1) : next;
}

void TProgressBar::StepBy(int delta) { SetPosition(Position() + delta); }
