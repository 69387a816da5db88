#include "skin_data/WinSkinData.h"

#include <framework/dialogs.h>
#include <framework/forms.h>
#include <framework/sysutils.h>

#include <cstdint>
#include <span>

#include "skin_archive/SkinRead.h"
#include "skin_archive/WinSkinIni.h"
#include "skin_data/SkinDraw.h"
#include "skin_data/SkinIniValues.h"
#include "skin_data/WinSkinStore.h"
#include "skin_forms/WinSkinDlg.h"

const TIdentMap SkinControlTypeIdents{
    {L"xcMainMenu", xcMainMenu},
    {L"xcPopupMenu", xcPopupMenu},
    {L"xcMenuItem", xcMenuItem},
    {L"xcToolbar", xcToolbar},
    {L"xcControlbar", xcControlbar},
    {L"xcCombo", xcCombo},
    {L"xcCheckBox", xcCheckBox},
    {L"xcRadioButton", xcRadioButton},
    {L"xcProgress", xcProgress},
    {L"xcScrollbar", xcScrollbar},
    {L"xcEdit", xcEdit},
    {L"xcButton", xcButton},
    {L"xcBitBtn", xcBitBtn},
    {L"xcSpeedButton", xcSpeedButton},
    {L"xcPanel", xcPanel},
    {L"xcGroupBox", xcGroupBox},
    {L"xcStatusBar", xcStatusBar},
    {L"xcTab", xcTab},
    {L"xcSystemMenu", xcSystemMenu},
    {L"xcFastReport", xcFastReport},
};
const TIdentMap SkinOptionIdents{
    {L"xoMDIScrollbar", xoMDIScrollbar}, {L"xoMenuMerge", xoMenuMerge}, {L"xoNCPaint", xoNCPaint}};
const TIdentMap SkinFormTypeIdents{
    {L"sfMainform", sfMainform}, {L"sfOnlyThisForm", sfOnlyThisForm}, {L"sfDialog", sfDialog}};

namespace {

constexpr int kSkinAll = 1, kUnskin = 2, kRefresh = 3;

// The skinner kinds of foreign control classes, as the control walk looks them up (first match).
const wchar_t* const kDefaultSkin3rd[] = {
    L"TAdvPanelGroup=embedscrollbar",
    L"TComboboxex=combobox",
    L"TRxSpeedButton=speedbutton",
    L"TControlBar=Panel",
    L"TTBDock=Panel",
    L"TTBToolbar=Panel",
    L"TAdvPageControl=nil",
    L"TImageEnMView=scrollbar",
    L"TImageEnView=scrollbar",
    L"TcxDBLookupComboBox=combobox",
    L"TcxDBComboBox=combobox",
    L"TcxDBDateEdit=combobox",
    L"TcxDBImageComboBox=combobox",
    L"TcxDBCalcEdit=combobox",
    L"TcxDBBlobEdit=combobox",
    L"TcxDBPopupEdit=combobox",
    L"TcxDBFontNameComboBox=combobox",
    L"TcxDBShellComboBox=combobox",
    L"TRxLookupEdit=combobox",
    L"TRxDBLookupCombo=combobox",
    L"TRzButton=button",
    L"TRzBitbtn=bitbtn",
    L"TRzMenuButton=bitbtn",
    L"TRzCheckGroup=CheckGroup",
    L"TRzRadioGroup=Radiogroup",
    L"TRzDBRadioGroup=Radiogroup",
    L"TRzRadioButton=Radiobutton",
    L"TRzDBRadioButton=Radiobutton",
    L"TRzCheckBox=Checkbox",
    L"TRzButtonEdit=Edit",
    L"TRzDateTimeEdit=combobox",
    L"TRzColorEdit=combobox",
    L"TRzDateTimePicker=combobox",
    L"TRzDBDateTimeEdit=combobox",
    L"TRzDbColorEdit=combobox",
    L"TRzDBDateTimePicker=combobox",
    L"TDBCheckboxEh=Checkbox",
    L"TDBCheckboxEh=Checkbox",
    L"TLMDGroupBox=Groupbox",
    L"TLMDCalculator=Panel",
    L"TLMDCheckGroup=CheckGroup",
    L"TLMDDBCheckGroup=CheckGroup",
    L"TLMDRADIOGROUP=Radiogroup",
    L"TLMDDBRADIOGROUP=Radiogroup",
    L"TLMDRadiobutton=Radiobutton",
    L"TLMDGROUPBOX=Panel",
    L"TLMDSIMPLEPANEL=panel",
    L"TLMDDBCalendar=panel",
    L"TLMDButtonPanel=panel",
    L"TLMDLMDCalculator=panel",
    L"TLMDHeaderPanel=panel",
    L"TLMDTechnicalLine=panel",
    L"TLMDLMDClock=panel",
    L"TLMDTrackbar=panel",
    L"TLMDCHECKBOX=checkbox",
    L"TLMDDBCHECKBOX=checkbox",
    L"TLMDListCombobox=combobox",
    L"TLMDCheckListCombobox=combobox",
    L"TLMDHeaderListCombobox=combobox",
    L"TLMDImageCombobox=combobox",
    L"TLMDColorCombobox=combobox",
    L"TLMDFontCombobox=combobox",
    L"TLMDFontSizeCombobox=combobox",
    L"TLMDFontSizeCombobox=combobox",
    L"TLMDPrinterCombobox=combobox",
    L"TLMDDriveCombobox=combobox",
    L"TLMDCalculatorComboBox=combobox",
    L"TLMDTrackBarComboBox=combobox",
    L"TLMDCalendarComboBox=combobox",
    L"TLMDTreeComboBox=combobox",
    L"TLMDCalculatorEdit=edit",
    L"TLMDEDIT=Edit",
    L"TLMDMASKEDIT=Edit",
    L"TLMDBROWSEEDIT=Edit",
    L"TLMDEXTSPINEDIT=Edit",
    L"TLMDCALENDAREDIT=Edit",
    L"TLMDFILEOPENEDIT=Edit",
    L"TLMDFILESAVEEDIT=Edit",
    L"TLMDCOLOREDIT=Edit",
    L"TLMDDBEDIT=Edit",
    L"TLMDDBMASKEDIT=Edit",
    L"TLMDDBEXTSPINEDIT=Edit",
    L"TLMDDBSPINEDIT=Edit",
    L"TLMDDBEDITDBLookup=Edit",
    L"TLMDEDITDBLookup=Edit",
    L"TDBLookupCombobox=Combobox",
    L"TWWDBCombobox=Combobox",
    L"TWWDBCombobox=Combobox",
    L"TWWDBLookupCombo=Combobox",
    L"TWWKeyCombo=Combobox",
    L"TWWTempKeyCombo=Combobox",
    L"TWWDBDateTimePicker=Combobox",
    L"TWWRADIOGROUP=radiogroup",
    L"TWWDBEDIT=edit",
    L"TAdvMemo=scrollbar",
    L"TDBAdvMemo=scrollbar",
    L"TcxButton=bitbtn",
    L"TcxDBRadioGroup=radiogroup",
    L"TcxRadioGroup=radiogroup",
    L"TcxDBCheckBox=checkbox",
    L"TcxCheckBox=checkbox",
    L"TOVCPICTUREFIELD=Edit",
    L"TOVCDBPICTUREFIELD=Edit",
    L"TOVCSLIDEREDIT=Edit",
    L"TOVCDBSLIDEREDIT=Edit",
    L"TOVCSIMPLEFIELD=Edit",
    L"TOVCDBSIMPLEFIELD=Edit",
    L"TO32DBFLEXEDIT=Edit",
    L"TOVCNUMERICFIELD=Edit",
    L"TOVCDBNUMERICFIELD=Edit",
};
static_assert(std::size(kDefaultSkin3rd) == 110);

// The system menu's glyphs (restore, maximize, minimize, close), 16 x 16 each, white transparent.
constexpr const wchar_t* kSystemMenuBitmap = L"TOLVANEMENU";

} // namespace

TSkinData::TSkinData(TComponent* AOwner)
    : TComponent(AOwner), FSkin3rd(std::make_unique<TStringList>()),
      FSkinStream(std::make_unique<TMemoryStream>()) {
    SetDefaultSkin3rd();
    Buttons = std::make_unique<TDataSkinButton>("Buttons");
    const char* borderNames[] = {"Left", "Right", "Top", "Bottom"};
    for (int i = 0; i < 4; ++i)
        Borders[static_cast<std::size_t>(i)] = std::make_unique<TDataSkinBorder>(borderNames[i]);
    Title = std::make_unique<TDataSkinTitle>("Title");
}

// Only a skinned system menu that is opened needs them, and each skin data would load them at start.
TImageList* TSkinData::SystemMenuImages() const {
    if (FSystemMenuImages) return FSystemMenuImages.get();
    FSystemMenuImages = std::make_unique<TImageList>(nullptr);
    if (FindResourceW(HInstance(), kSystemMenuBitmap, MAKEINTRESOURCEW(2))) { // RT_BITMAP
        TBitmap glyphs;
        glyphs.LoadFromResourceName(HInstance(), kSystemMenuBitmap);
        FSystemMenuImages->AddMasked(glyphs, clWhite);
    }
    return FSystemMenuImages.get();
}

TSkinData::~TSkinData() {
    ForgetSkinStrips();
    if (SkinManager) SkinManager->RemoveSkinData(this);
}

const TClassInfo* TSkinData::StaticClassInfo() {
    static const TClassInfo info(
        L"TSkinData", TComponent::StaticClassInfo(),
        {
            BoolProp<TSkinData>(L"Active", &TSkinData::Active, &TSkinData::SetActive),
            IntProp<TSkinData>(L"DisableTag", &TSkinData::DisableTag, &TSkinData::SetDisableTag),
            SetProp<TSkinData>(L"SkinControls", &TSkinData::SkinControls, &TSkinData::SetSkinControls,
                               SkinControlTypeIdents),
            SetProp<TSkinData>(L"Options", &TSkinData::Options, &TSkinData::SetOptions, SkinOptionIdents),
            ObjProp<TSkinData>(L"Skin3rd", &TSkinData::Skin3rd),
            StrProp<TSkinData>(L"SkinFile", &TSkinData::SkinFile, &TSkinData::SetSkinFile),
            StrProp<TSkinData>(L"SkinStore", &TSkinData::SkinStore, &TSkinData::SetSkinStore),
            EnumProp<TSkinData>(L"SkinFormtype", &TSkinData::SkinFormtype, &TSkinData::SetSkinFormtype,
                                SkinFormTypeIdents),
            StrProp<TSkinData>(L"Version", &TSkinData::Version, &TSkinData::SetVersion),
            BoolProp<TSkinData>(L"MenuUpdate", &TSkinData::MenuUpdate, &TSkinData::SetMenuUpdate),
            BoolProp<TSkinData>(L"MenuMerge", &TSkinData::MenuMerge, &TSkinData::SetMenuMerge),
            EventProp<TSkinData>(L"OnFormSkin", &TSkinData::OnFormSkin),
            EventProp<TSkinData>(L"OnSkinChanged", &TSkinData::OnSkinChanged),
            EventProp<TSkinData>(L"OnSkinControl", &TSkinData::OnSkinControl),
            BinaryProp<TSkinData>(L"SkinStream", &TSkinData::ReadSkinStream, &TSkinData::WriteSkinStream),
        });
    return &info;
}

void TSkinData::SetDefaultSkin3rd() {
    FSkin3rd->BeginUpdate();
    FSkin3rd->Clear();
    for (const wchar_t* line : kDefaultSkin3rd) FSkin3rd->Add(line);
    FSkin3rd->EndUpdate();
}

void TSkinData::SetSkin3rd(const TStrings* value) {
    FSkin3rd->Assign(value);
}

void TSkinData::EnsureSkinManager() {
    // Loaded creates the manager and registers this component with it.
    if (!SkinManager) Loaded();
}

void TSkinData::Loaded() {
    TComponent::Loaded();
    CreateSkinManager();
    SkinManager->AddSkinData(this);
    if (FSkinFormtype != sfMainform) {
        SkinManager->Active = true;
        ++SkinManager->ActivationCount;
        if (auto* form = dynamic_cast<TCustomForm*>(Owner())) SkinManager->SkinWindow(form->Handle());
        return;
    }
    SkinManager->InstallHook();
    if (FActive) {
        if (FSkinNotLoaded)
            FActive = false;
        else
            SkinManager->ScheduleAction(kSkinAll, ActionDelay);
    }
    if (!FSkinControls.Contains(xcMainMenu))
        FSkinControls.Exclude(xcSystemMenu);
    else
        FSkinControls.Exclude(xcMenuItem);
}

void TSkinData::SetActive(bool value) {
    if (value == FActive) return;
    FActive = value;
    if (IsLoading()) return;
    switch (FSkinFormtype) {
    case sfMainform:
        if (value && FSkinNotLoaded) return;
        EnsureSkinManager();
        SkinManager->ScheduleAction(value ? kSkinAll : kUnskin, ActionDelay);
        if (value) SkinManager->ActivationCount = 1;
        SkinManager->ActionSkinData = this;
        return;
    case sfOnlyThisForm:
        EnsureSkinManager();
        SkinManager->ActionSkinData = this;
        if (value && FSkinNotLoaded) return;
        SkinManager->ScheduleAction(value ? kSkinAll : kUnskin, ActionDelay);
        return;
    case sfDialog:
        return;
    }
}

void TSkinData::SetSkinFile(const String& value) {
    FSkinNotLoaded = true;
    FSkinFile = value;
    if (value.empty() || !FileExists(value)) return;
    TMemoryStream file;
    file.LoadFromFile(value);
    FSkinStream->Clear();
    FSkinStream->CopyFrom(file, 0);
    ParseSkin();
    if (FSkinFormtype == sfMainform) ApplySkin();
}

void TSkinData::LoadFromSkinStore(TSkinStore* Store, int Index) {
    if (!Store || Index >= Store->Store()->Count()) return;
    // The item first: a refused index leaves the current skin untouched.
    TSkinCollectionItem* item = Store->Store()->Items(Index);
    FSkinNotLoaded = true;
    FSkinStream->Clear();
    item->DataStream()->SetPosition(0);
    FSkinStream->CopyFrom(*item->DataStream(), 0);
    ParseSkin();
    if (FSkinFormtype == sfMainform) ApplySkin();
}

bool TSkinData::ParseSkin() {
    FSkinNotLoaded = true;
    TSkinReader reader;
    reader.OnMessage = [](const std::string& text) { ShowMessage(AnsiToWide(text)); };
    TByteStream archive(std::span<const std::uint8_t>(FSkinStream->Memory(), FSkinStream->Bytes().size()));
    if (!reader.OpenArchive(archive)) return false;
    TByteStream iniText;
    std::string iniName;
    reader.FindEntry(".ini", iniText, iniName);
    iniText.SetPosition(0);
    TQuickIni ini;
    ini.LoadFromStream(&iniText);
    // The strips are loaded anew: pictures kept from the old ones would be wrong.
    ForgetSkinStrips();
    BuildElements(reader, ini);
    return true;
}

void TSkinData::ApplySkin() {
    if (IsLoading()) return;
    EnsureSkinManager();
    SkinManager->ActionSkinData = this;
    SkinManager->ClearSysButtons();
    if (SkinManager->ActivationCount == 1) SkinManager->ScheduleAction(kRefresh, ActionDelay);
}

void TSkinData::DoFormSkin(const String& aName, bool& DoSkin) {
    if (OnFormSkin) {
        OnFormSkin(this, aName, DoSkin);
        return;
    }
    if (aName == L"SysMonthCal32" || (FSkinControls.Contains(xcFastReport) && aName.starts_with(L"Tfr")))
        DoSkin = false;
}

void TSkinData::DoSkinChanged() {
    if (OnSkinChanged) OnSkinChanged(this);
}

void TSkinData::ReadSkinStream(TStream& stream) {
    std::int32_t length = 0;
    stream.ReadBuffer(&length, sizeof length);
    switch (SkinStreamFrame(length, stream.Size() - stream.Position())) {
    case TSkinStreamFrame::Empty:
        return;
    case TSkinStreamFrame::Damaged:
        throw EReadError(L"Stream read error");
    case TSkinStreamFrame::Archive:
        break;
    }
    TMemoryStream bytes;
    bytes.SetSize(length);
    stream.ReadBuffer(bytes.Memory(), length);
    FSkinStream->Clear();
    FSkinStream->CopyFrom(bytes, 0);
    ParseSkin();
}

void TSkinData::WriteSkinStream(TStream& stream) const {
    const auto length = static_cast<std::int32_t>(FSkinStream->Bytes().size());
    stream.WriteBuffer(&length, sizeof length);
    if (length > 0) stream.WriteBuffer(FSkinStream->Memory(), length);
}
