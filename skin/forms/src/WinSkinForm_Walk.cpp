// The control walk: which control of a skinned window gets which control skinner, by the skin
// component's settings (DisableTag, SkinControls, Skin3rd, OnSkinControl), and the list of the
// skinners attached to the window's controls.
#include <framework/comctrls.h>
#include <framework/extctrls.h>
#include <framework/stdctrls.h>

#include <algorithm>

#include "skin_controls/SkinFactories.h"
#include "skin_controls/WinSubClass.h"
#include "skin_data/SkinDraw.h"
#include "skin_data/WinSkinData.h"
#include "skin_forms/WinSkinForm.h"

namespace {

String Upper(String s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(towupper(c)); });
    return s;
}

String Lower(String s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(towlower(c)); });
    return s;
}

bool OneOf(const String& name, std::initializer_list<const wchar_t*> names) {
    return std::any_of(names.begin(), names.end(), [&](const wchar_t* n) { return name == n; });
}

bool HasTabs(TSkinData* data) {
    return data->Tabs && !data->Tabs->Bitmap.Empty();
}

// The control or one of its parents below the top-level window is hidden.
bool HiddenBelowTopLevel(const TControl* control) {
    for (const TControl* c = control; c && c->Parent(); c = c->Parent())
        if (!c->Visible()) return true;
    return false;
}

} // namespace

// --- the list of control skinners ---

TSkinControl* TWinSkinForm::FindSkinControl(HWND window) const {
    for (TSkinControl* s : SkinControlList)
        if (s->Handle == window && s->State != 6) return s; // a gone window's handle may be reused
    return nullptr;
}

bool TWinSkinForm::AddSkinControl(TSkinControl* skinner) {
    if (std::find(SkinControlList.begin(), SkinControlList.end(), skinner) != SkinControlList.end())
        return true;
    SkinControlList.push_back(skinner);
    return false;
}

void TWinSkinForm::RemoveSkinControl(TSkinControl* skinner) {
    auto it = std::find(SkinControlList.rbegin(), SkinControlList.rend(), skinner);
    if (it != SkinControlList.rend()) SkinControlList.erase(std::next(it).base());
    if (HotControlSkinner == skinner) HotControlSkinner = nullptr;
}

void TWinSkinForm::PurgeSkinControls() {
    for (std::size_t i = SkinControlList.size(); i-- > 0;) {
        if (i >= SkinControlList.size()) continue; // a freed skinner took others with it
        TSkinControl* s = SkinControlList[i];
        if (s->State != 6) continue;
        RemoveSkinControl(s);
        s->SkinForm = nullptr;
        delete s;
    }
}

void TWinSkinForm::FreeSkinControls() {
    while (!SkinControlList.empty()) {
        TSkinControl* s = SkinControlList.front();
        if (s->State != 6) s->Unskin();
        RemoveSkinControl(s);
        s->SkinForm = nullptr;
        delete s;
    }
    HotControlSkinner = nullptr;
}

void TWinSkinForm::SkinControlsChanged() {
    const std::vector<TSkinControl*> skinners = SkinControlList;
    for (TSkinControl* s : skinners)
        if (std::find(SkinControlList.begin(), SkinControlList.end(), s) != SkinControlList.end())
            s->SkinChanged();
}

void TWinSkinForm::ReleaseHotControl() {
    TSkinControl* hot = HotControlSkinner;
    HotControlSkinner = nullptr;
    if (hot) hot->SendMouseLeave();
}

bool TWinSkinForm::HotControlContains(POINT screen) const {
    return HotControlSkinner && PtInRect(&HotControlSkinner->WindowRect, screen);
}

// --- the walk over a framework form's components ---

void TWinSkinForm::SkinComponents(TComponent* component) {
    PurgeSkinControls();
    if (!component) return;
    for (int i = 0; i < component->ComponentCount(); ++i)
        if (auto* control = dynamic_cast<TControl*>(component->Components(i)))
            SkinComponent(control, component);
}

bool TWinSkinForm::IsSkinned(TComponent* component) {
    auto* windowed = dynamic_cast<TWinControl*>(component);
    for (TSkinControl* s : SkinControlList) {
        TControl* skinned = s->Control ? static_cast<TControl*>(s->Control) : s->GraphicControl;
        if (skinned) {
            if (skinned == component) return true;
            continue;
        }
        if (!windowed) continue;
        if (windowed->HandleAllocated()) {
            if (windowed->Handle() == s->Handle) return true;
            continue;
        }
        const String name = component->Name();
        return Lower(name).find(L"preview") != String::npos ||
               OneOf(name, {L"TQRStandardPreview", L"TppPrintPreview", L"TdxfmStdPreview"});
    }
    return false;
}

bool TWinSkinForm::NeedsScrollSkinner(TComponent* component) {
    auto* control = dynamic_cast<TWinControl*>(component);
    if (!control) return false;
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(control->Handle(), GWL_STYLE));
    return (style & (WS_HSCROLL | WS_VSCROLL)) || dynamic_cast<TListBox*>(control) ||
           dynamic_cast<TMemo*>(control) || dynamic_cast<TCustomListBox*>(control) || control->Tag() == 55;
}

void TWinSkinForm::SkinComponent(TComponent* component, TComponent* walkedOwner) {
    auto* control = dynamic_cast<TControl*>(component);
    if (!control || !SkinData) return;
    TSkinData& data = *SkinData;
    const TSkinControlTypes kinds = data.SkinControls();
    auto has = [&](TSkinControlType kind) { return kinds.Contains(kind); };
    TCanvas* canvas = ControlCanvas();
    auto* windowed = dynamic_cast<TWinControl*>(control);
    auto attach = [&](TSkinControl* s, bool setColor) {
        if (s) s->AttachControl(this, &data, canvas, setColor);
    };
    auto attachByWindow = [&](TSkinControl* s) {
        if (s && windowed) s->AttachWindow(windowed->Handle(), &data, canvas, this);
    };
    auto scroll = [&] {
        if (windowed) NewScrollSkinner(windowed, &data, this, canvas);
    };

    if (control->Tag() % 100 == data.DisableTag()) return;
    if (IsSkinned(control)) return;
    if (windowed) {
        // A control on a page that is not shown gets its window when the page is first shown, and
        // its skinner from the walk that the window's creation asks for (SKM_SKINCONTROLS): making
        // every window of every page at once holds the program up for as long as the first
        // skinning pass takes.
        if (!windowed->HandleAllocated() && HiddenBelowTopLevel(windowed)) return;
        try {
            windowed->HandleNeeded();
        } catch (...) {
            return; // a control whose window cannot be made is left out
        }
    }
    const String className = Upper(control->ClassName());
    if (data.OnSkinControl) {
        TComponent* skinned = nullptr;
        data.OnSkinControl(this, &data, dynamic_cast<TControl*>(walkedOwner), control, className, skinned);
        if (auto* s = dynamic_cast<TSkinControl*>(skinned)) {
            if (!AddSkinControl(s)) s->AttachControl(this, &data, canvas, s->SetColor);
            if (dynamic_cast<TCustomPanel*>(control)) SkinComponents(control);
            return;
        }
    }
    if (SkinByKind(className, control)) return;
    if (OneOf(className, {L"TDBCOMBOBOXEH", L"TQRPREVIEW", L"TFRDESIGNERPAGE", L"TFRPBOX"})) return;
    if (dynamic_cast<TCustomTabControl*>(control) && has(xcTab) && HasTabs(&data)) {
        attachByWindow(new TSkinTab(control));
    } else if (className == L"TTABSET" && has(xcTab) && HasTabs(&data)) {
        attach(new TSkinTab31(control), false);
    } else if (className == L"TTABBEDNOTEBOOK" && has(xcTab) && HasTabs(&data)) {
        attachByWindow(new TSkinTab(control));
    } else if (className == L"TMVCPANEL") {
        SkinComponents(control);
    } else if (dynamic_cast<TCustomCheckBox*>(control) && has(xcCheckBox)) {
        attach(new TSkinCheckBox(control), false);
    } else if (className == L"TTRACKBAR" && has(xcButton)) {
        attach(new TSkinTrackBar(control), false);
    } else if (OneOf(className, {L"TUPDOWN", L"TSPINBUTTON"}) && has(xcButton)) {
        attach(new TSkinUpDown(control), false);
    } else if (className == L"TDBNAVIGATOR" && has(xcPanel)) {
        SetPropFromText(control, L"Flat", L"True");
        attach(new TSkinBox(control), true);
    } else if (className == L"TRZDBCHECKBOX" && has(xcCheckBox)) {
        attach(NewObjImageSkinner(control, 1), true);
    } else if (dynamic_cast<TCustomGroupBox*>(control) && has(xcPanel)) {
        attach(new TSkinGroupBox(control), true);
        SkinComponents(control);
    } else if (dynamic_cast<TRadioButton*>(control) && has(xcRadioButton)) {
        attach(new TSkinRadioButton(control), false);
    } else if (auto* bar = dynamic_cast<TCustomStatusBar*>(control); bar && has(xcStatusBar)) {
        bar->SetSizeGrip(false);
        attach(new TSkinStatusBar(control), false);
    } else if (dynamic_cast<TCustomComboBox*>(control) && has(xcCombo)) {
        attach(NewComboSkinner(control), false);
    } else if (className == L"TDATETIMEPICKER" && has(xcEdit)) {
        // An up-down picker or a time picker is an edit; a drop-down date picker a combo box.
        const bool editLike = Lower(GetEnumPropName(control, L"DateMode")) == L"dmupdown" ||
                              Lower(GetEnumPropName(control, L"Kind")) == L"dtktime";
        attach(editLike ? NewEditSkinner(control) : NewComboSkinner(control), false);
    } else if (has(xcScrollbar) && OneOf(className, {L"TRICHEDIT", L"TWWDBRICHEDIT", L"TDXDBMEMO"})) {
        scroll();
    } else if (dynamic_cast<TCustomPanel*>(control) && has(xcPanel)) {
        attach(new TSkinBox(control), true);
        SkinComponents(control);
    } else if (OneOf(className, {L"TDXTREELIST", L"TDXDBTREELIST", L"TDXDBGRID"}) && has(xcScrollbar)) {
        scroll();
    } else if (has(xcScrollbar) && dynamic_cast<TCustomMemo*>(control)) {
        scroll();
    } else if (has(xcScrollbar) && NeedsScrollSkinner(control)) {
        scroll();
    } else if (dynamic_cast<TButton*>(control) && has(xcButton)) {
        attach(new TSkinButton(control), false);
    } else if (dynamic_cast<TCustomEdit*>(control) && has(xcEdit)) {
        attachByWindow(NewEditSkinner(control));
    } else if (OneOf(className, {L"TDCEDIT", L"TDCDBEDIT"})) {
        const auto buttons = GetOrdPropByName(control, L"NumButtons");
        if (buttons == 1 && has(xcCombo))
            attach(NewComboSkinner(control), false);
        else if (buttons == 0 && has(xcEdit))
            attachByWindow(NewEditSkinner(control));
    } else if (dynamic_cast<TCustomForm*>(control)) {
        attach(new TSkinBox(control), true);
        SkinComponents(control);
    }
}

bool TWinSkinForm::SkinByKind(const String& className, TComponent* component) {
    const String key = Lower(className) + L"=";
    String kind;
    bool found = false;
    TStrings* lines = SkinData->Skin3rd();
    for (int i = 0; lines && i < lines->Count(); ++i) {
        const String line = Lower(lines->Strings(i));
        if (line.compare(0, key.size(), key) == 0) {
            kind = line.substr(key.size(), 50);
            found = true;
            break;
        }
    }
    if (!found || kind.empty()) return false;

    TSkinData& data = *SkinData;
    const TSkinControlTypes kinds = data.SkinControls();
    auto has = [&](TSkinControlType k) { return kinds.Contains(k); };
    TCanvas* canvas = ControlCanvas();
    auto* control = dynamic_cast<TWinControl*>(component);
    auto attach = [&](TSkinControl* s, bool setColor) {
        if (s) s->AttachControl(this, &data, canvas, setColor);
    };
    // Each child control of the component, when it is a windowed control.
    auto children = [&](auto&& each) {
        if (!control) return;
        for (int i = 0; i < control->ControlCount(); ++i)
            if (TControl* child = control->Controls(i)) each(child);
    };

    if (kind == L"combobox" && has(xcCombo)) {
        attach(NewComboSkinner(component), false);
    } else if (kind == L"edit" && has(xcEdit)) {
        if (TSkinControl* s = NewEditSkinner(component); s && control)
            s->AttachWindow(control->Handle(), &data, canvas, this);
    } else if (kind == L"radiobutton" && has(xcRadioButton)) {
        attach(new TSkinRadioButton(component), false);
    } else if (kind == L"panel" && has(xcPanel)) {
        SetPropFromText(component, L"Transparent", L"True");
        attach(new TSkinBox(component), true);
    } else if (kind == L"trackbar" && has(xcButton)) {
        SetPropFromText(component, L"Transparent", L"True");
        attach(new TSkinTrackBar(component), false);
    } else if (kind == L"button" && has(xcButton)) {
        attach(new TSkinButton(component), false);
    } else if (kind == L"bitbtn" && has(xcButton)) {
        attach(new TSkinBitButton(component), false);
    } else if (kind == L"speedbutton" && has(xcSpeedButton)) {
        (new TSkinSpeedButton(component))->AttachGraphicControl(this, &data, canvas);
    } else if (kind == L"tab" && has(xcTab) && HasTabs(&data)) {
        if (control) (new TSkinTab(component))->AttachWindow(control->Handle(), &data, canvas, this);
    } else if (kind == L"progress" && has(xcProgress)) {
        attach(new TSkinProgress(component), false);
    } else if (kind == L"scrollbar" && has(xcScrollbar)) {
        if (control) NewScrollSkinner(control, &data, this, canvas);
        SkinComponents(component);
    } else if (kind == L"embedscrollbar" && has(xcScrollbar)) {
        children([&](TControl* child) {
            if (auto* w = dynamic_cast<TWinControl*>(child); w && NeedsScrollSkinner(w))
                NewScrollSkinner(w, &data, this, canvas);
        });
    } else if (kind == L"container") {
        children([&](TControl* child) { SkinByKind(child->ClassName(), child); });
    } else if (kind == L"groupbox" && has(xcGroupBox)) {
        attach(new TSkinGroupBox(component), true);
    } else if (kind == L"radiogroup" && has(xcGroupBox)) {
        if (has(xcRadioButton))
            children([&](TControl* child) {
                (new TSkinRadioButton(child))->AttachControl(this, &data, canvas, false);
            });
        attach(new TSkinGroupBox(component), true);
    } else if (kind == L"checkgroup" && has(xcPanel)) {
        if (has(xcRadioButton))
            children([&](TControl* child) {
                (new TSkinCheckBox(child))->AttachControl(this, &data, canvas, false);
            });
        if (has(xcGroupBox)) attach(new TSkinGroupBox(component), true);
    } else if (kind == L"checkbox" && has(xcCheckBox)) {
        attach(new TSkinCheckBox(component), false);
    }
    return true;
}

// --- the walk over a plain window's child windows ---

void TWinSkinForm::SkinChildWindows() {
    for (HWND child = GetTopWindow(Window); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetWindowLongPtrW(child, GWL_STYLE) & WS_CHILD) SkinChildWindow(child);
}

void TWinSkinForm::SkinChildWindow(HWND child) {
    if (!child || FindSkinControl(child)) return;
    const String className = Lower(AnsiToWide(GetWindowClassString(child)));
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
    HWND target = child;
    TSkinControl* skinner = nullptr;
    if (className == L"button") {
        if ((style & 7) == 7) return;
        if ((style & 3) == 3 || (style & 2) == 2 || (style & 5) == 5)
            skinner = new TSkinCheckBox(this);
        else if ((style & 9) == 9 || (style & 4) == 4)
            skinner = new TSkinRadioButton(this);
        else
            skinner = new TSkinButton(this);
    } else if (className == L"combobox") {
        if ((style & 3) == CBS_SIMPLE) return;
        skinner = NewComboSkinner(this);
    } else if (className == L"comboboxex32") {
        target = GetTopWindow(child);
        if (!target) return;
        skinner = NewComboSkinner(this);
    } else if (className == L"scrollbar") {
        skinner = NewSizerSkinner(this);
    } else if (className == L"#32770") {
        skinner = NewDialogBackgroundSkinner(this);
    } else if (className == L"edit") {
        skinner = NewEditSkinner(this);
    }
    if (skinner) skinner->AttachWindow(target, SkinData, ControlCanvas(), this);
}
