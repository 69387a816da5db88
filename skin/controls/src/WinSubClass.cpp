#include "skin_controls/WinSubClass.h"

#include <framework/forms.h>

#include <framework/wndthunk.h>
#include "skin_data/SkinDraw.h"
#include "skin_data/WinSkinData.h"
#include "skin_forms/WinSkinDlg.h"
#include "skin_forms/WinSkinForm.h"

// The hook's far end. A framework control's WindowProc holds a TControlHook that shares it; a bare
// window's procedure is a thunk onto it. While the skinner lives, messages go to SkinWndProc;
// afterwards straight to what the hook replaced.
struct TSkinHookLink : std::enable_shared_from_this<TSkinHookLink> {
    TSkinControl* Skinner = nullptr;
    // Framework control: the WindowProc before ours.
    TWndMethod SavedWindowProc;
    // Bare window: the procedure before ours, and our thunk.
    HWND Window = nullptr;
    WNDPROC OldWndProc = nullptr;
    bool Unicode = false;
    std::unique_ptr<TWndProcThunk> WndProcInstance;

    void CallSaved(TMessage& m) const {
        if (WndProcInstance) {
            m.Result = Unicode ? CallWindowProcW(OldWndProc, Window, m.Msg, m.WParam, m.LParam)
                               : CallWindowProcA(OldWndProc, Window, m.Msg, m.WParam, m.LParam);
        } else if (SavedWindowProc) {
            SavedWindowProc(m);
        }
    }

    void Dispatch(TMessage& m) {
        auto keep = shared_from_this(); // the skinner may be freed by what this message does
        try {
            if (Skinner)
                Skinner->SkinWndProc(m);
            else
                CallSaved(m);
        } catch (...) {
            ReportCurrentException(nullptr);
        }
        if (m.Msg == WM_NCDESTROY && WndProcInstance) ReleaseWindow();
    }

    // The window procedure is ours: put the old one back.
    bool WindowHooked() const {
        if (!Window || !IsWindow(Window)) return false;
        const LONG_PTR now =
            Unicode ? GetWindowLongPtrW(Window, GWLP_WNDPROC) : GetWindowLongPtrA(Window, GWLP_WNDPROC);
        return reinterpret_cast<WNDPROC>(now) == WndProcInstance->Proc();
    }
    void ReleaseWindow() {
        if (WindowHooked()) {
            const auto old = reinterpret_cast<LONG_PTR>(OldWndProc);
            Unicode ? SetWindowLongPtrW(Window, GWLP_WNDPROC, old)
                    : SetWindowLongPtrA(Window, GWLP_WNDPROC, old);
        }
        Window = nullptr; // gone or given back: nothing reaches the thunk any more
    }
};

namespace {

// What a hooked framework control's WindowProc holds.
struct TControlHook {
    std::shared_ptr<TSkinHookLink> Link;
    void operator()(TMessage& m) const { Link->Dispatch(m); }
};

bool IsOurHook(const TControl* control, const TSkinHookLink* link) {
    const TControlHook* hook = control->WindowProc.target<TControlHook>();
    return hook && hook->Link.get() == link;
}

bool Inverted(const RECT& r) {
    return r.right < r.left || r.bottom < r.top;
}

// Frame `frame` of a count-frame horizontal strip, stretched into a new bitmap of rect's size.
std::unique_ptr<TBitmap> StripFrameBitmap(const RECT& rect, TBitmap& strip, int frame, int count) {
    if (Inverted(rect) || strip.Empty() || count <= 0) return nullptr;
    const int w = strip.Width() / count;
    auto out = std::make_unique<TBitmap>(rect.right - rect.left, rect.bottom - rect.top, pf24bit);
    if (out->Empty()) return nullptr;
    const RECT source{w * (frame - 1), 0, w * frame, strip.Height()};
    out->Canvas()->CopyRect(RECT{0, 0, out->Width(), out->Height()}, strip.Canvas(), source);
    out->SetTransparentColor(SkinKeyColour);
    out->SetTransparent(true);
    return out;
}

} // namespace

TSkinControl::TSkinControl(TComponent* AOwner) : TComponent(AOwner) {}

TSkinControl::~TSkinControl() {
    Unhook();
    if (SkinForm) SkinForm->RemoveSkinControl(this);
}

void TSkinControl::Unhook() {
    if (!Link) return;
    Link->Skinner = nullptr;
    if (HookedControl && IsOurHook(HookedControl, Link.get()))
        HookedControl->WindowProc = Link->SavedWindowProc;
    HookedControl = nullptr;
    if (Link->WndProcInstance) {
        if (Link->WindowHooked() || !Link->Window || !IsWindow(Link->Window)) {
            Link->ReleaseWindow();
        } else {
            // Someone subclassed the window after us and still calls our procedure: keep the
            // thunk alive, passing messages on, for as long as the program runs.
            new std::shared_ptr<TSkinHookLink>(Link);
        }
    }
    Link.reset();
}

void TSkinControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    // A control freed before its skinner: nothing of it may be touched any more.
    if (AComponent == HookedControl) {
        if (Link) Link->Skinner = nullptr;
        HookedControl = nullptr;
    }
    if (AComponent == Control) Control = nullptr;
    if (AComponent == GraphicControl) GraphicControl = nullptr;
}

void TSkinControl::HookControlProc(TControl* control) {
    Link = std::make_shared<TSkinHookLink>();
    Link->Skinner = this;
    Link->SavedWindowProc = control->WindowProc;
    control->WindowProc = TControlHook{Link};
    HookedControl = control;
    if (control != Owner()) control->FreeNotification(this);
}

TWinControl* TSkinControl::TakeControl(TSkinData* skinData, TCanvas* formCanvas, bool setColor) {
    auto* control = dynamic_cast<TWinControl*>(Owner());
    if (!control) return nullptr;
    SetColor = setColor;
    SkinData = skinData;
    FormCanvas = formCanvas;
    Control = control;
    Handle = control->Handle();
    return control;
}

void TSkinControl::TakeSkinColour() {
    if (!SetColor || !Control) return;
    SavedColor = Control->Color();
    Control->SetColor(SkinData->Colours.ButtonFace);
}

void TSkinControl::Register(TWinSkinForm* form) {
    SkinForm = form;
    if (form) form->AddSkinControl(this);
}

DWORD TSkinControl::WindowStyle() const {
    return Handle ? static_cast<DWORD>(GetWindowLongPtrW(Handle, GWL_STYLE)) : 0;
}

void TSkinControl::RefreshFocusAndEnabled() {
    Focused = Handle && GetFocus() == Handle;
    Enabled = !(WindowStyle() & WS_DISABLED);
}

void TSkinControl::AttachControl(TWinSkinForm* form, TSkinData* skinData, TCanvas* formCanvas,
                                 bool setColor) {
    if (Attached) return;
    TWinControl* control = TakeControl(skinData, formCanvas, setColor);
    if (!control) return;
    HookControlProc(control);
    Register(form);
    RefreshFocusAndEnabled();
    Caption = GetWindowTextString(Handle);
    TakeSkinColour();
    control->Invalidate();
    Attached = true;
    State = 1;
}

void TSkinControl::AttachWindow(HWND window, TSkinData* skinData, TCanvas* formCanvas, TWinSkinForm* form) {
    SkinData = skinData;
    FormCanvas = formCanvas;
    Handle = window;
    Enabled = true;
    Register(form);
    Caption = GetWindowTextString(window);
    if (window && !Link) {
        Link = std::make_shared<TSkinHookLink>();
        Link->Skinner = this;
        Link->Window = window;
        // Unicode windows keep the wide procedure, so that no text is squeezed through a code page.
        Link->Unicode = IsWindowUnicode(window);
        Link->WndProcInstance = TWndProcThunk::Make<&TSkinHookLink::Dispatch>(Link.get());
        const auto proc = reinterpret_cast<LONG_PTR>(Link->WndProcInstance->Proc());
        Link->OldWndProc =
            reinterpret_cast<WNDPROC>(Link->Unicode ? SetWindowLongPtrW(window, GWLP_WNDPROC, proc)
                                                    : SetWindowLongPtrA(window, GWLP_WNDPROC, proc));
        InvalidateRect(window, nullptr, TRUE);
    }
    Attached = true;
    State = 1;
}

void TSkinControl::Unskin() {
    if (SetColor && Control) Control->SetColor(SavedColor);
}

void TSkinControl::SkinChanged() {
    if (SetColor && Control) Control->SetColor(SkinData->Colours.ButtonFace);
    // The form skinner repaints its whole window after a skin change, this control with it.
    if (SkinForm && SkinForm->SkinChanging) return;
    Redraw();
}

void TSkinControl::SkinWndProc(TMessage& Message) {
    if (!SkinEnabled) {
        if (Message.Msg == SKM_SKINENABLE) {
            SkinEnabled = Message.WParam > 0;
            if (SkinEnabled) Redraw();
            return;
        }
        CallOriginalProc(Message);
        return;
    }
    if (!BeforeMessage(Message)) return;
    const std::shared_ptr<TSkinHookLink> link = Link;
    CallOriginalProc(Message);
    // The control's own handling may have freed this skinner (a click that closes the form).
    if (!link || link->Skinner != this) return;
    AfterMessage(Message);
}

void TSkinControl::CallOriginalProc(TMessage& Message) {
    if (Link) {
        Link->CallSaved(Message);
    } else if (Handle) {
        Message.Result = DefWindowProcW(Handle, Message.Msg, Message.WParam, Message.LParam);
    }
}

bool TSkinControl::CallOriginalProcAndLive(TMessage& Message) {
    const std::shared_ptr<TSkinHookLink> link = Link;
    CallOriginalProc(Message);
    return !link || link->Skinner == this;
}

bool TSkinControl::BeforeMessage(TMessage& Message) {
    if (Message.Msg != WM_NCDESTROY) return true;
    const std::shared_ptr<TSkinHookLink> link = Link;
    CallOriginalProc(Message);
    if (link && link->Skinner != this) return false;
    State = 6;
    Unskin();
    return false;
}

void TSkinControl::AfterMessage(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
        PaintSkin(reinterpret_cast<HDC>(Message.WParam));
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case CM_ENABLEDCHANGED:
        Redraw();
        break;
    case WM_SETTEXT:
        if (Message.LParam) {
            const bool wide = !Link || !Link->WndProcInstance || Link->Unicode;
            Caption = wide ? std::wstring(reinterpret_cast<const wchar_t*>(Message.LParam))
                           : AnsiToWide(reinterpret_cast<const char*>(Message.LParam));
        } else {
            Caption.clear();
        }
        Redraw();
        break;
    case SKM_SKINENABLE:
        SkinEnabled = Message.WParam > 0;
        break;
    default:
        break;
    }
}

void TSkinControl::PaintSkin(HDC dc) {
    try {
        RECT r;
        if (!Handle || !GetWindowRect(Handle, &r)) return;
        WindowRect = r;
        OffsetRect(&r, -r.left, -r.top);
        HDC target = dc ? dc : GetWindowDC(Handle);
        if (!target) return;
        try {
            DrawSkin(target, r);
        } catch (...) {
            if (!dc) ReleaseDC(Handle, target);
            throw;
        }
        if (!dc) ReleaseDC(Handle, target);
    } catch (...) {
        // A paint that fails leaves the control as it painted itself.
    }
}

void TSkinControl::DrawSkin(HDC, const RECT&) {}

void TSkinControl::SendMouseLeave() {
    if (Handle) SendMessageW(Handle, CM_MOUSELEAVE, 0, 0);
}

void TSkinControl::Redraw() {
    if (Control) {
        Control->Invalidate();
    } else if (GraphicControl) {
        GraphicControl->Invalidate();
    } else if (Handle) {
        InvalidateRect(Handle, nullptr, TRUE);
        UpdateWindow(Handle);
    }
}

TColor TSkinControl::ParentColor(TColor def) const {
    return Control && Control->Parent() ? Control->Parent()->Color() : def;
}

void TSkinControl::FillSkinColor(HDC dc, const RECT& rect) {
    TBrushHandle brush(CreateSolidBrush(SkinColour(SkinData->Colours.ButtonFace)));
    FillRect(dc, &rect, brush.Get());
}

void TSkinControl::FillParentColor(HDC dc, const RECT& rect) {
    TBrushHandle brush(CreateSolidBrush(SkinColour(ParentColor(SkinData->Colours.ButtonFace))));
    FillRect(dc, &rect, brush.Get());
}

void TSkinControl::PaintOnBeginPaint(TMessage& Message) {
    PAINTSTRUCT ps{};
    HDC dc = Message.WParam ? reinterpret_cast<HDC>(Message.WParam) : BeginPaint(Handle, &ps);
    RECT r;
    if (GetWindowRect(Handle, &r)) {
        WindowRect = r;
        OffsetRect(&r, -r.left, -r.top);
        try {
            DrawSkin(dc, r);
        } catch (...) {
            // as in PaintSkin: the paint ends
        }
    }
    if (!Message.WParam) EndPaint(Handle, &ps);
}

void TSkinControl::DrawElementFrame(HDC dc, const RECT& rect, TDataSkinObject* element, int frame,
                                    int count) {
    if (Inverted(rect) || !element || element->Bitmap.Empty() || count <= 0) return;
    const RECT size{0, 0, rect.right - rect.left, rect.bottom - rect.top};
    if (size.right == 0 || size.bottom == 0) return;
    auto bitmap =
        BuildSkinBitmap(size, element->Bitmap, element->Margins(), frame, count, element->Tile == 1, false);
    if (element->Trans == 1)
        DrawTransparentBitmap(dc, rect, *bitmap, SkinKeyColour);
    else
        BitBlt(dc, rect.left, rect.top, size.right, size.bottom, bitmap->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TSkinControl::DrawStripFrameDC(HDC dc, const RECT& rect, TBitmap& bitmap, int frame, int count) {
    TCanvas canvas;
    canvas.SetHandle(dc);
    DrawStripFrameCanvas(canvas, rect, bitmap, frame, count);
    canvas.SetHandle(nullptr);
}

void TSkinControl::DrawStripFrameCanvas(TCanvas& canvas, const RECT& rect, TBitmap& bitmap, int frame,
                                        int count) {
    if (auto cell = StripFrameBitmap(rect, bitmap, frame, count))
        canvas.Draw(rect.left, rect.top, cell.get());
}

void TSkinControl::DrawStripFrameMasked(HDC dc, const RECT& rect, TBitmap& bitmap, int frame, int count) {
    if (auto cell = StripFrameBitmap(rect, bitmap, frame, count))
        DrawTransparentBitmap(dc, rect, *cell, SkinKeyColour);
}

bool TSkinControl::IsTopLevelWindow(HWND window) {
    return (GetWindowLongPtrW(window, GWL_STYLE) & WS_POPUP) ||
           GetParent(window) == reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x10014));
}
