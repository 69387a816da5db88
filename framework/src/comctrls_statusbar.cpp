#include <framework/comctrls.h>

#include <commctrl.h>

const TIdentMap StatusPanelBevelIdents{{L"pbNone", pbNone}, {L"pbLowered", pbLowered}, {L"pbRaised", pbRaised}};
const TIdentMap StatusPanelStyleIdents{{L"psText", psText}, {L"psOwnerDraw", psOwnerDraw}};
const TIdentMap BiDiModeIdents{{L"bdLeftToRight", bdLeftToRight}, {L"bdRightToLeft", bdRightToLeft}};

// ---------------------------------------------------------------------------------------------------
// TStatusPanel

const TClassInfo* TStatusPanel::StaticClassInfo() {
    static const TClassInfo info(
        L"TStatusPanel", TPersistent::StaticClassInfo(),
        {
            StrProp<TStatusPanel>(L"Text", &TStatusPanel::Text, &TStatusPanel::SetText),
            IntProp<TStatusPanel>(L"Width", &TStatusPanel::Width, &TStatusPanel::SetWidth),
            EnumProp<TStatusPanel>(L"Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment, AlignmentIdents),
            EnumProp<TStatusPanel>(L"Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel, StatusPanelBevelIdents),
            EnumProp<TStatusPanel>(L"Style", &TStatusPanel::Style, &TStatusPanel::SetStyle,
                                   StatusPanelStyleIdents),
            EnumProp<TStatusPanel>(L"BiDiMode", &TStatusPanel::BiDiMode, &TStatusPanel::SetBiDiMode,
                                   BiDiModeIdents),
        });
    return &info;
}

void TStatusPanel::SetText(const String& value) {
    if (value == text_) return;
    text_ = value;
    Changed(false);
}

void TStatusPanel::SetWidth(int value) {
    if (value < 0) value = 0;
    if (value == width_) return;
    width_ = value;
    Changed(true); // the edges of the panels after it move too
}

void TStatusPanel::SetAlignment(TAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel value) {
    if (value == bevel_) return;
    bevel_ = value;
    Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle value) {
    if (value == style_) return;
    style_ = value;
    Changed(false);
}

void TStatusPanel::SetBiDiMode(TBiDiMode value) {
    if (value == biDiMode_) return;
    biDiMode_ = value;
    Changed(false);
}

TAlignment TStatusPanel::ShownAlignment() const {
    if (biDiMode_ != bdRightToLeft) return alignment_;
    return alignment_ == taLeftJustify    ? taRightJustify
           : alignment_ == taRightJustify ? taLeftJustify
                                          : alignment_;
}

void TStatusPanel::Assign(const TPersistent* Source) {
    if (auto* other = dynamic_cast<const TStatusPanel*>(Source)) {
        text_ = other->text_;
        width_ = other->width_;
        alignment_ = other->alignment_;
        bevel_ = other->bevel_;
        style_ = other->style_;
        biDiMode_ = other->biDiMode_;
        Changed(true);
        return;
    }
    TCollectionItem::Assign(Source);
}

// ---------------------------------------------------------------------------------------------------
// TCustomStatusBar

const TClassInfo* TCustomStatusBar::StaticClassInfo() {
    static const TClassInfo info(
        L"TCustomStatusBar", TWinControl::StaticClassInfo(),
        {
            ObjProp<TCustomStatusBar>(L"Panels", &TCustomStatusBar::Panels),
            BoolProp<TCustomStatusBar>(L"SimplePanel", &TCustomStatusBar::SimplePanel, &TCustomStatusBar::SetSimplePanel),
            StrProp<TCustomStatusBar>(L"SimpleText", &TCustomStatusBar::SimpleText, &TCustomStatusBar::SetSimpleText),
            BoolProp<TCustomStatusBar>(L"SizeGrip", &TCustomStatusBar::SizeGrip, &TCustomStatusBar::SetSizeGrip),
            EventProp<TCustomStatusBar>(L"OnClick", &TCustomStatusBar::OnClick),
            EventProp<TCustomStatusBar>(L"OnDblClick", &TCustomStatusBar::OnDblClick),
            EventProp<TCustomStatusBar>(L"OnResize", &TCustomStatusBar::OnResize),
        });
    return &info;
}

TCustomStatusBar::TCustomStatusBar(TComponent* AOwner)
    : TWinControl(AOwner), panels_(std::make_unique<TStatusPanels>(this)) {
    panels_->OnUpdate = [this](TCollectionItem*) { UpdatePanels(); };
    SetBounds(0, 0, 150, 19);
    SetAlign(alBottom);
    SetControlStyle(ControlStyle() + TControlStyle{csClickEvents});
}

TCustomStatusBar::~TCustomStatusBar() = default;

void TCustomStatusBar::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.WinClassName = STATUSCLASSNAMEW;
    p.OwnClass = false;
    // The framework places the bar (Align); the control must not move or size itself.
    p.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NOMOVEY;
    if (sizeGrip_) p.Style |= SBARS_SIZEGRIP;
}

void TCustomStatusBar::CreateWnd() {
    TWinControl::CreateWnd();
    UpdatePanels();
}

void TCustomStatusBar::UpdatePanels() {
    if (!HandleAllocated() || IsDestroying()) return;
    HWND window = Handle();
    if (simplePanel_) {
        SendMessageW(window, SB_SIMPLE, TRUE, 0);
        SendMessageW(window, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(simpleText_.c_str()));
        return;
    }
    SendMessageW(window, SB_SIMPLE, FALSE, 0);
    const int count = panels_->Count();
    if (count == 0) {
        int edge = -1;
        SendMessageW(window, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&edge));
        SendMessageW(window, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L""));
        return;
    }
    // Each panel ends where the widths so far add up; the last one takes the rest of the bar.
    std::vector<int> edges(static_cast<size_t>(count));
    int edge = 0;
    for (int i = 0; i < count; ++i) {
        edge += panels_->Items(i)->Width();
        edges[static_cast<size_t>(i)] = i == count - 1 ? -1 : edge;
    }
    SendMessageW(window, SB_SETPARTS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(edges.data()));
    for (int i = 0; i < count; ++i) {
        TStatusPanel* panel = panels_->Items(i);
        WPARAM flags = panel->Bevel() == pbNone ? SBT_NOBORDERS : panel->Bevel() == pbRaised ? SBT_POPOUT : 0;
        if (panel->Style() == psOwnerDraw) {
            // The bar sends WM_DRAWITEM for the part, with the panel's index as its data.
            SendMessageW(window, SB_SETTEXTW, static_cast<WPARAM>(i) | flags | SBT_OWNERDRAW,
                         static_cast<LPARAM>(i));
            continue;
        }
        // A tab before the text centres it, two right-align it.
        const TAlignment shown = panel->ShownAlignment();
        String text = shown == taCenter         ? L"\t" + panel->Text()
                      : shown == taRightJustify ? L"\t\t" + panel->Text()
                                                : panel->Text();
        SendMessageW(window, SB_SETTEXTW, static_cast<WPARAM>(i) | flags,
                     reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void TCustomStatusBar::WndProc(TMessage& m) {
    if (m.Msg == CN_DRAWITEM) {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
        const int index = static_cast<int>(dis->itemID);
        if (OnDrawPanel && index >= 0 && index < panels_->Count()) {
            canvas_.SetFont(Font());
            canvas_.SetHandle(dis->hDC);
            try {
                OnDrawPanel(this, panels_->Items(index), dis->rcItem);
            } catch (...) {
                canvas_.SetHandle(nullptr);
                throw;
            }
            canvas_.SetHandle(nullptr);
        }
        m.Result = TRUE;
        return;
    }
    TWinControl::WndProc(m);
}

void TCustomStatusBar::SetSimplePanel(bool value) {
    if (value == simplePanel_) return;
    simplePanel_ = value;
    UpdatePanels();
}

void TCustomStatusBar::SetSimpleText(const String& value) {
    if (value == simpleText_) return;
    simpleText_ = value;
    if (simplePanel_ && HandleAllocated())
        SendMessageW(Handle(), SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(simpleText_.c_str()));
}

void TCustomStatusBar::SetSizeGrip(bool value) {
    if (value == sizeGrip_) return;
    sizeGrip_ = value;
    RecreateWnd();
}
