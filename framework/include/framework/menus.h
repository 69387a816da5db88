// Menus: items in a tree, the menu bar of a form (TMainMenu) and context menus (TPopupMenu), over
// native menus that are rebuilt whenever an item changes.
#pragma once

#include <framework/classes.h>
#include <framework/controls.h>
#include <framework/graphics.h>
#include <framework/typinfo.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TMenu;
class TCustomImageList; // imglist.h

using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TMenuDrawItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, RECT ARect, bool Selected)>;

// A virtual-key code with modifier bits.
using TShortCut = std::uint16_t;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;
// "Ctrl+S", "Shift+F5", "Del" ...; empty for scNone.
String ShortCutToText(TShortCut shortCut);
TShortCut ShortCut(WORD key, TShortCut modifiers);

class TMenuItem : public TComponent {
    DECLARE_PUBLISHED
public:
    explicit TMenuItem(TComponent* AOwner);
    ~TMenuItem() override;

    // "-" makes the item a separator line.
    const String& Caption() const { return caption_; }
    void SetCaption(const String& value);
    bool IsLine() const { return caption_ == L"-"; }
    bool Checked() const { return checked_; }
    void SetChecked(bool value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    // Hidden items are left out of the native menu.
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    // Shown in bold; the item a double click would choose.
    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool value);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut value);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value) { imageIndex_ = value; }
    const String& Hint() const { return hint_; }
    void SetHint(const String& value) { hint_ = value; }

    // Sub-items, in menu order.
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const;
    int IndexOf(const TMenuItem* item) const;
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    // Takes the item out of this one's sub-items without destroying it.
    void Delete(int index);
    void Remove(TMenuItem* item);
    // Destroys every sub-item.
    void Clear();
    TMenuItem* Parent() const { return parent_; }
    int MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }
    // The menu this item belongs to (walking up to the root item).
    TMenu* GetParentMenu() const;

    // The command id of WM_COMMAND for this item (unique in the program).
    UINT Command() const { return command_; }
    // The native popup menu of the sub-items (made on demand); nullptr for an item without them.
    HMENU Handle() const;
    bool HasHandle() const { return static_cast<bool>(handle_); }

    // Runs OnClick when the item is enabled (what choosing it does).
    virtual void Click();
    TNotifyEvent OnClick;
    // Owner-drawn items (the menu's OwnerDraw) are measured and painted through these; without
    // them the item is drawn plainly.
    TMenuMeasureItemEvent OnMeasureItem;
    TMenuDrawItemEvent OnDrawItem;

    void SetParentComponent(TComponent* parent) override;

    // For the window procedures: a live item by its id / by a pointer a native menu handed back.
    static TMenuItem* FindByCommand(UINT command);
    static TMenuItem* FromItemData(ULONG_PTR data);
    // Native owner-draw messages for this item.
    void MeasureItem(MEASUREITEMSTRUCT& measure);
    void DrawItem(const DRAWITEMSTRUCT& draw);

protected:
    void BeforeDestruction() override;

private:
    friend class TMenu;
    class Handle_;
    void Changed();        // this item's own look: its parent's native menu is rebuilt
    void ItemsChanged();   // the list of sub-items: this item's native menu is rebuilt
    void RebuildHandle() const;
    bool OwnerDrawn() const;
    String NativeCaption() const;

    String caption_;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    bool default_ = false;
    bool radioItem_ = false;
    TShortCut shortCut_ = scNone;
    int imageIndex_ = -1;
    String hint_;
    UINT command_ = 0;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr; // set on a menu's root item
    std::vector<TMenuItem*> items_;
    mutable std::unique_ptr<Handle_> handle_;
};

class TMenu : public TComponent {
    DECLARE_PUBLISHED
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    // The root item: its sub-items are the menu's items.
    TMenuItem* Items() const { return items_.get(); }
    HMENU Handle() const { return items_->Handle(); }
    // Native owner drawing of every item (WM_MEASUREITEM / WM_DRAWITEM go to the items' events).
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool value);
    bool IsRightToLeft() const { return false; }
    // The images items show by their ImageIndex (not owned); nullptr for none.
    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* images) { images_ = images; }

    enum TFindItemKind { fkCommand, fkHandle, fkShortCut };
    TMenuItem* FindItem(UINT_PTR value, TFindItemKind kind) const;
    // Runs the item with this command id; false when it is not one of this menu's.
    bool DispatchCommand(UINT command);

protected:
    // The native menu's contents changed (the menu bar must be drawn again).
    virtual void MenuChanged() {}
    virtual bool IsMenuBar() const { return false; }

private:
    friend class TMenuItem;
    std::unique_ptr<TMenuItem> items_;
    bool ownerDraw_ = false;
    TCustomImageList* images_ = nullptr;
};

// The menu bar of the form that owns it (the form's Menu).
class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

protected:
    void MenuChanged() override;
    bool IsMenuBar() const override { return true; }
};

enum TPopupAlignment { paLeft, paRight, paCenter };
extern const TIdentMap PopupAlignmentIdents;

// Shown by Popup, and by a right click on a control whose PopupMenu it is.
class TPopupMenu : public TMenu {
    DECLARE_PUBLISHED
public:
    explicit TPopupMenu(TComponent* AOwner);

    // Shows the menu at screen coordinates and waits until it closes; the chosen item's Click runs
    // after that.
    virtual void Popup(int x, int y);
    // The control the menu was last shown for.
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* component);
    TPopupAlignment Alignment() const { return alignment_; }
    void SetAlignment(TPopupAlignment value) { alignment_ = value; }
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool value) { autoPopup_ = value; }

    TNotifyEvent OnPopup;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TComponent* popupComponent_ = nullptr;
    TPopupAlignment alignment_ = paLeft;
    bool autoPopup_ = true;
};
