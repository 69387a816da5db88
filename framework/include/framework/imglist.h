// Image lists: a row of equally sized images held by the common controls' image list, drawn with
// their transparent parts left out.
#pragma once

#include <framework/graphics.h>
#include <framework/handles.h>

#include <commctrl.h>

using TImageListHandle = TOwnedHandle<HIMAGELIST, ImageList_Destroy>;

class TCustomImageList : public TComponent {
    DECLARE_PUBLISHED
public:
    explicit TCustomImageList(TComponent* AOwner);
    ~TCustomImageList() override;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Changing the size empties the list.
    void SetWidth(int value) { SetSize(value, height_); }
    void SetHeight(int value) { SetSize(width_, value); }
    void SetSize(int width, int height);
    int Count() const;
    HIMAGELIST Handle() const { return list_.Get(); }

    // Cuts image into as many images of the list's size as fit side by side and adds them with
    // maskColor transparent; gives the index of the first, -1 when none was added.
    int AddMasked(TBitmap& image, TColor maskColor);
    void Clear();
    // Draws image index at (x, y); a disabled image is drawn blended with the background.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;
    // The image on a background of the bitmap's transparent colour (magenta), at the list's size.
    void GetBitmap(int index, TBitmap& bitmap) const;

private:
    void Recreate();
    int width_ = 16, height_ = 16;
    TImageListHandle list_;
};

class TImageList : public TCustomImageList {
    DECLARE_PUBLISHED
public:
    using TCustomImageList::TCustomImageList;
};
