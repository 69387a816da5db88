#pragma once
// The skin component: the non-visual component a form carries to be skinned. It owns the current
// skin (the archive bytes of its SkinStream, and the elements and colours built from them) and the
// settings that say which windows and controls are skinned. When its form has loaded it starts the
// skin manager, which skins the windows.

#include <framework/controls.h>
#include <framework/imglist.h>
#include <framework/typinfo.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin_data/SkinElements.h"

class TSkinStore;
class TSkinReader;
class TQuickIni;
class TByteStream;

enum TSkinControlType {
    xcMainMenu,
    xcPopupMenu,
    xcMenuItem,
    xcToolbar,
    xcControlbar,
    xcCombo,
    xcCheckBox,
    xcRadioButton,
    xcProgress,
    xcScrollbar,
    xcEdit,
    xcButton,
    xcBitBtn,
    xcSpeedButton,
    xcPanel,
    xcGroupBox,
    xcStatusBar,
    xcTab,
    xcSystemMenu,
    xcFastReport
};
using TSkinControlTypes = TSet<TSkinControlType>;
extern const TIdentMap SkinControlTypeIdents;
// Every kind but xcMenuItem and xcFastReport (0x7FFFB).
constexpr TSkinControlTypes DefaultSkinControls = TSkinControlTypes::FromInt(0x7FFFB);

enum TSkinOption { xoMDIScrollbar, xoMenuMerge, xoNCPaint };
using TSkinOptions = TSet<TSkinOption>;
extern const TIdentMap SkinOptionIdents;

// The application's main skin, the skin of the owning form only, or the skin of dialogs.
enum TSkinFormType { sfMainform, sfOnlyThisForm, sfDialog };
extern const TIdentMap SkinFormTypeIdents;

class TSkinData;
// Asked before a top-level window is skinned; aName is the window's class name.
using TOnFormSkin = std::function<void(TObject* Sender, String aName, bool& DoSkin)>;
// Asked first for every control of a skinned form; a control skinner returned in SkinnedControl is
// used for that control.
using TOnSkinControl =
    std::function<void(TComponent* Sender, TSkinData* SkinData, TControl* Form, TControl* Control,
                       String ControlClass, TComponent*& SkinnedControl)>;

// The four window border elements, in the order of the skin's Personality keys.
enum TBorderPart { bpLeft, bpRight, bpTop, bpBottom };

class TSkinData : public TComponent {
    DECLARE_PUBLISHED
public:
    static constexpr const wchar_t* DataVersion = L"3.02.03.09";
    // The action timer's delay of every skin action this component schedules.
    static constexpr unsigned ActionDelay = 250;

    explicit TSkinData(TComponent* AOwner);
    ~TSkinData() override;

    // --- published ---
    bool Active() const { return FActive; }
    // Switching on needs a loaded skin; the change reaches the windows through the skin manager.
    void SetActive(bool value);
    int DisableTag() const { return FDisableTag; }
    void SetDisableTag(int value) { FDisableTag = value; }
    TSkinControlTypes SkinControls() const { return FSkinControls; }
    void SetSkinControls(TSkinControlTypes value) { FSkinControls = value; }
    TSkinOptions Options() const { return FOptions; }
    void SetOptions(TSkinOptions value) { FOptions = value; }
    // Lines "ClassName=kind" naming the skinner kind of foreign control classes.
    TStrings* Skin3rd() const { return FSkin3rd.get(); }
    void SetSkin3rd(const TStrings* value);
    const String& SkinFile() const { return FSkinFile; }
    // Loads and applies the skin archive file at run time; a missing file changes only the name.
    void SetSkinFile(const String& value);
    // A designer's indicator; "(none)" at run time. Writes are ignored.
    String SkinStore() const { return L"(none)"; }
    void SetSkinStore(const String&) {}
    TSkinFormType SkinFormtype() const { return FSkinFormtype; }
    void SetSkinFormtype(TSkinFormType value) { FSkinFormtype = value; }
    String Version() const { return DataVersion; }
    void SetVersion(const String&) {}
    bool MenuUpdate() const { return FMenuUpdate; }
    void SetMenuUpdate(bool value) { FMenuUpdate = value; }
    bool MenuMerge() const { return FMenuMerge; }
    void SetMenuMerge(bool value) { FMenuMerge = value; }

    TOnFormSkin OnFormSkin;
    TNotifyEvent OnSkinChanged;
    TOnSkinControl OnSkinControl;

    // --- loading ---
    // Loads item index of the store and applies it; an index at or above the count does nothing,
    // a negative one raises the collection's list-index error.
    void LoadFromSkinStore(TSkinStore* Store, int Index);
    // Builds the skin from SkinStream; false when the archive did not open (the previous skin
    // stays). A skin that fails while being built raises, and SkinNotLoaded stays set.
    bool ParseSkin();
    // Makes this the manager's action skin data and schedules the refresh of its windows.
    void ApplySkin();
    // OnFormSkin's answer, or by default: no skin for month calendars and, with xcFastReport,
    // report windows.
    void DoFormSkin(const String& aName, bool& DoSkin);
    void DoSkinChanged();
    void Loaded() override;

    // The skin archive bytes; the form property SkinStream holds a 32-bit length, then them.
    TMemoryStream* SkinStream() const { return FSkinStream.get(); }
    void ReadSkinStream(TStream& stream);
    void WriteSkinStream(TStream& stream) const;
    // Set from the start of every load until the skin has been built.
    bool SkinNotLoaded() const { return FSkinNotLoaded; }

    // --- the skin, built by BuildElements ---
    std::array<std::unique_ptr<TDataSkinBorder>, 4> Borders; // always present
    TDataSkinBorder& Border(TBorderPart part) const { return *Borders[part]; }
    std::unique_ptr<TDataSkinButton> Buttons; // always present
    std::unique_ptr<TDataSkinTitle> Title;    // always present
    // Present only when the skin gives their bitmap.
    std::unique_ptr<TDataSkinBorder> Progress;
    std::unique_ptr<TDataSkinObject> MenuBar; // Personality key menuBar; margins TileLeftMenu, TileRightMenu
    std::unique_ptr<TDataSkinObject> GroupBoxEdge;
    std::unique_ptr<TDataSkinBoxLabel> GroupBox;
    std::unique_ptr<TDataSkinObject> Toolbars;
    std::unique_ptr<TDataSkinBorder> Tabs;
    std::unique_ptr<TDataSkinObject> StatusBarEdges;
    std::unique_ptr<TDataSkinBorder> ComboButton;
    std::unique_ptr<TDataSkinObject> SunkEdge;
    std::unique_ptr<TDataSkinObject> ExtraImages;
    std::unique_ptr<TDataSkinObject> Headerbar;
    std::unique_ptr<TDataSkinObject> MenuItem;
    std::unique_ptr<TDataSkinObject> MenuBackground;
    std::unique_ptr<TDataSkinObject> Scrollbar;
    std::unique_ptr<TDataSkinObject> HorzScroll, VertScroll;
    std::unique_ptr<TDataSkinObject> HorzScrollThumb, VertScrollThumb;
    std::unique_ptr<TDataSkinObject> TrackbarThumbHorz, TrackbarThumbVert, TrackbarThumbLeft,
        TrackbarThumbRight, TrackbarThumbUp, TrackbarThumbDown;
    std::unique_ptr<TDataSkinBorder> UpDownHorz, UpDownVert;
    // One entry per accepted BUTTON section, in ini order, then the three MDI child buttons.
    std::vector<std::unique_ptr<TDataSkinSysButton>> SysButtons;
    TSkinColours Colours;
    // A solid brush of the ButtonFace colour.
    HBRUSH FaceBrush() const { return FFaceBrush.Get(); }

    // A window icon that form skinners keep for windows without one; empty until one does.
    TBitmap IconBitmap;
    // The system menu's glyphs: restore, maximize, minimize, close; loaded when first asked for.
    TImageList* SystemMenuImages() const;
    // The form skinner paints the non-client area only while this is set.
    bool NCPaintEnabled = true;

    // Runs the element readers over an opened archive and its ini (ParseSkin's step).
    void BuildElements(TSkinReader& reader, TQuickIni& ini);

private:
    // The open archive, its ini and the section list while BuildElements runs.
    struct TBuildContext;

    void LoadEntryBitmap(TBuildContext& c, TBitmap& bitmap, const std::string& value);
    void ReadPersonality(TBuildContext& c);
    void ReadColours(TBuildContext& c);
    void ReadSysButtons(TBuildContext& c);
    void ReadMDIControls(TBuildContext& c);
    void ReadButtons(TBuildContext& c);
    void ReadTitleText(TBuildContext& c);
    // Empties the slot; when the section names its bitmap under imageKey, a new element with it.
    template <class T>
    T* NewElement(TBuildContext& c, std::unique_ptr<T>& slot, const char* section, const char* imageKey);
    // Margins, Trans and Tile.
    void ReadDrawingKeys(TBuildContext& c, TDataSkinObject& element, const char* section);
    template <class T>
    void ReadElement(TBuildContext& c, std::unique_ptr<T>& slot, const char* section, const char* second);
    void ReadMenuBar(TBuildContext& c);
    void ReadProgress(TBuildContext& c);
    void SetFrameCounts(TBuildContext& c);
    void BuildComboStrip();
    void SetDefaultSkin3rd();
    void EnsureSkinManager();

    bool FActive = false;
    int FDisableTag = 99;
    TSkinControlTypes FSkinControls = DefaultSkinControls;
    TSkinOptions FOptions;
    std::unique_ptr<TStringList> FSkin3rd;
    String FSkinFile;
    TSkinFormType FSkinFormtype = sfMainform;
    bool FMenuUpdate = true;
    bool FMenuMerge = false;
    std::unique_ptr<TMemoryStream> FSkinStream;
    bool FSkinNotLoaded = true;
    TBrushHandle FFaceBrush;
    mutable std::unique_ptr<TImageList> FSystemMenuImages;
};
