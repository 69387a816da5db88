#include <framework/imglist.h>

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {
    Recreate();
}

TCustomImageList::~TCustomImageList() = default;

const TClassInfo* TCustomImageList::StaticClassInfo() {
    static const TClassInfo info(
        L"TCustomImageList", TComponent::StaticClassInfo(),
        {
            IntProp<TCustomImageList>(L"Width", &TCustomImageList::Width, &TCustomImageList::SetWidth),
            IntProp<TCustomImageList>(L"Height", &TCustomImageList::Height, &TCustomImageList::SetHeight),
        });
    return &info;
}

const TClassInfo* TImageList::StaticClassInfo() {
    static const TClassInfo info(L"TImageList", TCustomImageList::StaticClassInfo(), {});
    return &info;
}

void TCustomImageList::Recreate() {
    list_.Reset(ImageList_Create(width_, height_, ILC_COLOR24 | ILC_MASK, 4, 4));
    if (!list_.Get()) throw EOutOfResources(L"Out of system resources");
}

void TCustomImageList::SetSize(int width, int height) {
    if (width < 1 || height < 1) throw EInvalidOperation(L"Invalid image size");
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    Recreate();
}

int TCustomImageList::Count() const {
    return ImageList_GetImageCount(list_.Get());
}

void TCustomImageList::Clear() {
    ImageList_RemoveAll(list_.Get());
}

int TCustomImageList::AddMasked(TBitmap& image, TColor maskColor) {
    if (image.Empty() || image.Width() < width_) return -1;
    // The list takes whole images only: a picture wider than a row of them is cut at the last one.
    const int count = image.Width() / width_;
    TBitmap row(count * width_, height_, pf24bit);
    BitBlt(row.Canvas()->Handle(), 0, 0, row.Width(), row.Height(), image.Canvas()->Handle(), 0, 0, SRCCOPY);
    TBitmapHandle bits(row.ReleaseHandle());
    return ImageList_AddMasked(list_.Get(), bits.Get(), ColorToRGB(maskColor));
}

void TCustomImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
    if (index < 0 || index >= Count()) return;
    ImageList_Draw(list_.Get(), index, canvas.Handle(), x, y, enabled ? ILD_TRANSPARENT : ILD_BLEND50);
}

void TCustomImageList::GetBitmap(int index, TBitmap& bitmap) const {
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(width_, height_);
    TCanvas* canvas = bitmap.Canvas();
    canvas->Brush()->SetColor(clFuchsia);
    canvas->FillRect(RECT{0, 0, width_, height_});
    Draw(*canvas, 0, 0, index);
}
