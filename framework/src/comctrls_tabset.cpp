#include <framework/comctrls.h>

#include <windowsx.h>

#include <algorithm>

#include <framework/handles.h>

#include "stdctrls_internal.h"

namespace {

// A tab is as wide as its text and a little air on both sides.
constexpr int kTabAir = 9;
constexpr int kScrollerWidth = 24;

} // namespace

const TClassInfo* TTabSet::StaticClassInfo() {
    static const TClassInfo info(
        L"TTabSet", TWinControl::StaticClassInfo(),
        {
            ObjProp<TTabSet>(L"Tabs", &TTabSet::Tabs),
            IntProp<TTabSet>(L"TabIndex", &TTabSet::TabIndex, &TTabSet::SetTabIndex),
            IntProp<TTabSet>(L"StartMargin", &TTabSet::StartMargin, &TTabSet::SetStartMargin),
            IntProp<TTabSet>(L"EndMargin", &TTabSet::EndMargin, &TTabSet::SetEndMargin),
            IntProp<TTabSet>(L"FirstIndex", &TTabSet::FirstIndex, &TTabSet::SetFirstIndex),
            EventProp<TTabSet>(L"OnChange", &TTabSet::OnChange),
            EventProp<TTabSet>(L"OnClick", &TTabSet::OnClick),
        });
    return &info;
}

TTabSet::TTabSet(TComponent* AOwner) : TWinControl(AOwner) {
    auto tabs = std::make_unique<TStringList>();
    tabs->OnChange = [this](TObject*) {
        tabIndex_ = std::min(tabIndex_, tabs_->Count() - 1);
        firstIndex_ = std::clamp(firstIndex_, 0, std::max(tabs_->Count() - 1, 0));
        Changed();
    };
    tabs_ = std::move(tabs);
    SetControlStyle(ControlStyle() + TControlStyle{csClickEvents, csOpaque});
    SetColor(clBtnFace);
    SetBounds(0, 0, 185, 21);
    scroller_ = new TUpDown(this);
    scroller_->SetVisible(false);
    scroller_->SetOrientation(udHorizontal);
    scroller_->OnClick = [this](TObject*, TUDBtnType button) {
        SetFirstIndex(firstIndex_ + (button == btNext ? 1 : -1));
    };
    scroller_->SetParent(this);
}

TTabSet::~TTabSet() = default;

TStrings* TTabSet::Tabs() const {
    return tabs_.get();
}

void TTabSet::SetTabIndex(int value) {
    value = std::clamp(value, -1, tabs_->Count() - 1);
    if (value == tabIndex_) return;
    tabIndex_ = value;
    Invalidate();
}

void TTabSet::SetStartMargin(int value) {
    value = std::max(value, 0);
    if (value == startMargin_) return;
    startMargin_ = value;
    Changed();
}

void TTabSet::SetEndMargin(int value) {
    value = std::max(value, 0);
    if (value == endMargin_) return;
    endMargin_ = value;
    Changed();
}

void TTabSet::SetFirstIndex(int value) {
    value = std::clamp(value, 0, std::max(tabs_->Count() - 1, 0));
    if (value == firstIndex_) return;
    firstIndex_ = value;
    Changed();
}

TCanvas* TTabSet::Canvas() {
    canvas_.SetFont(Font());
    return &canvas_;
}

void TTabSet::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

void TTabSet::CreateWnd() {
    TWinControl::CreateWnd();
    Layout();
}

void TTabSet::Resize() {
    TWinControl::Resize();
    Changed();
}

void TTabSet::ApplyState(UINT change) {
    TWinControl::ApplyState(change);
    if (change == CM_FONTCHANGED || change == CM_ENABLEDCHANGED) Changed();
}

void TTabSet::Changed() {
    if (!HandleAllocated() || IsDestroying()) return;
    Layout();
    Invalidate();
}

void TTabSet::Layout() {
    const int count = tabs_->Count();
    boxes_.assign(static_cast<size_t>(count), RECT{});
    if (!HandleAllocated()) return;
    HDC dc = GetDC(Handle());
    HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
    std::vector<int> widths(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const String text = tabs_->Strings(i);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        widths[static_cast<size_t>(i)] = size.cx + kTabAir;
    }
    SelectObject(dc, oldFont);
    ReleaseDC(Handle(), dc);

    const int height = ClientHeight();
    // Places the tabs from FirstIndex on until one does not fit; true when all of them are placed.
    auto place = [&](int limit) {
        boxes_.assign(static_cast<size_t>(count), RECT{});
        int x = startMargin_;
        for (int i = firstIndex_; i < count; ++i) {
            const int w = widths[static_cast<size_t>(i)];
            if (x + w > limit) return false;
            boxes_[static_cast<size_t>(i)] = RECT{x, 0, x + w, height};
            x += w;
        }
        return true;
    };
    const int limit = ClientWidth() - endMargin_;
    const bool scroll = !place(limit) || firstIndex_ > 0;
    if (scroll) place(limit - kScrollerWidth);
    scroller_->SetBounds(ClientWidth() - kScrollerWidth, 1, kScrollerWidth, std::max(height - 2, 1));
    scroller_->SetMax(std::max(count - 1, 0));
    scroller_->SetPosition(firstIndex_);
    scroller_->SetVisible(scroll);
}

RECT TTabSet::ItemRect(int index) {
    if (index < 0 || index >= static_cast<int>(boxes_.size())) return RECT{};
    return boxes_[static_cast<size_t>(index)];
}

int TTabSet::ItemAtPos(POINT point) {
    for (size_t i = 0; i < boxes_.size(); ++i)
        if (!IsRectEmpty(&boxes_[i]) && PtInRect(&boxes_[i], point)) return static_cast<int>(i);
    return -1;
}

void TTabSet::Paint(HDC dc) {
    RECT client{0, 0, ClientWidth(), ClientHeight()};
    FillRect(dc, &client, ColorBrush(Color()));
    const int saved = SaveDC(dc);
    // The edge the tabs hang from.
    TOwnedHandle<HPEN, DeleteObject> edge(CreatePen(PS_SOLID, 1, ColorToRGB(clBtnShadow)));
    SelectObject(dc, edge.Get());
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, client.right, 0);
    TOwnedHandle<HPEN, DeleteObject> outlinePen(CreatePen(PS_SOLID, 1, ColorToRGB(clWindowText)));
    SelectObject(dc, outlinePen.Get());
    SelectObject(dc, Font()->Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
    for (int i = 0; i < static_cast<int>(boxes_.size()); ++i) {
        RECT box = boxes_[static_cast<size_t>(i)];
        if (IsRectEmpty(&box)) continue;
        const POINT outline[] = {{box.left, box.top},
                                 {box.left + 3, box.bottom - 2},
                                 {box.right - 3, box.bottom - 2},
                                 {box.right, box.top}};
        SelectObject(dc, ColorBrush(i == tabIndex_ ? clWindow : Color()));
        Polygon(dc, outline, 4);
        const String text = tabs_->Strings(i);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    RestoreDC(dc, saved); // the pens are freed after they are deselected
}

void TTabSet::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_ERASEBKGND: // Paint covers the whole face
        m.Result = 1;
        return;
    case WM_PAINT:
        ctl_detail::PaintOwnWindow(Handle(), m, [this](HDC dc) { Paint(dc); });
        return;
    case WM_LBUTTONDOWN: {
        const int index = ItemAtPos(POINT{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
        if (index >= 0 && index != tabIndex_) {
            SetTabIndex(index);
            if (OnChange) OnChange(this);
        }
        break;
    }
    default:
        break;
    }
    TWinControl::WndProc(m);
}
