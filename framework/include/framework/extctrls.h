// Panels, images, bevels and the timer.
#pragma once

#include <framework/controls.h>
#include <framework/stdctrls.h>
#include <framework/timer.h>

#include <memory>

enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };
extern const TIdentMap PanelBevelIdents;

// A box with bevels and a centred caption that holds other controls.
class TCustomPanel : public TWinControl {
    DECLARE_PUBLISHED
public:
    explicit TCustomPanel(TComponent* AOwner);

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    TPanelBevel BevelInner() const { return bevelInner_; }
    void SetBevelInner(TPanelBevel value);
    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel value);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int value);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int value);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);

    void WndProc(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void ApplyState(UINT change) override;
    void AlignControls(RECT& rect) override;
    virtual void Paint(HDC dc);

private:
    void Changed();
    TAlignment alignment_ = taCenter;
    TPanelBevel bevelInner_ = bvNone;
    TPanelBevel bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TBorderStyle borderStyle_ = bsNone;
};

class TPanel : public TCustomPanel {
public:
    explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// Shows a picture (bitmap or JPEG): at its own size from the top-left, centred, or stretched.
class TImage : public TGraphicControl {
    DECLARE_PUBLISHED
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    TPicture* Picture() const { return picture_.get(); }
    void SetPicture(const TPicture* value) { picture_->Assign(value); }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool value);
    // With Stretch: keep the picture's proportions (never enlarged past the control).
    bool Proportional() const { return proportional_; }
    void SetProportional(bool value);
    bool Center() const { return center_; }
    void SetCenter(bool value);
    // The control takes the picture's size whenever the picture changes.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);

    // Where the picture goes, in the control's coordinates.
    RECT DestRect() const;
    void Paint(HDC dc) override;

private:
    void PictureChanged();
    std::unique_ptr<TPicture> picture_;
    bool stretch_ = false;
    bool proportional_ = false;
    bool center_ = false;
    bool autoSize_ = false;
    bool transparent_ = false;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
extern const TIdentMap BevelShapeIdents;
enum TBevelStyle { bsLowered, bsRaised };
extern const TIdentMap BevelStyleIdents;

class TBevel : public TGraphicControl {
    DECLARE_PUBLISHED
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape Shape() const { return shape_; }
    void SetShape(TBevelShape value);
    TBevelStyle Style() const { return style_; }
    void SetStyle(TBevelStyle value);
    void Paint(HDC dc) override;

private:
    TBevelShape shape_ = bsBox;
    TBevelStyle style_ = bsLowered;
};
