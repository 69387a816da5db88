#include <framework/graphics.h>
#include <framework/sysutils.h>

#include "graphics_jpeg_codec.h"

#include <cstring>

namespace {

std::vector<std::uint8_t> ReadRest(TStream& stream) {
    const std::int64_t rest = stream.Size() - stream.Position();
    std::vector<std::uint8_t> bytes(rest > 0 ? static_cast<std::size_t>(rest) : 0);
    if (!bytes.empty()) stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    return bytes;
}

bool IsJpeg(const std::uint8_t* p, std::size_t n) {
    return n >= 3 && p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF;
}
bool IsBitmapFile(const std::uint8_t* p, std::size_t n) {
    return n >= 2 && p[0] == 'B' && p[1] == 'M';
}

std::unique_ptr<TGraphic> GraphicFromBytes(const std::uint8_t* p, std::size_t n) {
    if (IsJpeg(p, n)) {
        auto jpeg = std::make_unique<TJPEGImage>();
        jpeg->LoadFromBytes(p, n);
        return jpeg;
    }
    if (IsBitmapFile(p, n)) {
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->LoadFromBytes(p, n);
        return bitmap;
    }
    throw EInvalidGraphic(L"Unknown picture format");
}

std::unique_ptr<TGraphic> CopyOf(const TGraphic* graphic) {
    std::unique_ptr<TGraphic> copy;
    if (dynamic_cast<const TJPEGImage*>(graphic))
        copy = std::make_unique<TJPEGImage>();
    else if (dynamic_cast<const TBitmap*>(graphic))
        copy = std::make_unique<TBitmap>();
    else
        throw EInvalidGraphic(L"Unsupported graphic class " + graphic->ClassName());
    copy->Assign(graphic);
    return copy;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// TGraphic

void TGraphic::Changed() {
    if (OnChange) OnChange(this);
}

void TGraphic::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    Changed();
}

void TGraphic::LoadFromFile(const String& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const String& fileName) const {
    TFileStream stream(fileName, fmCreate);
    SaveToStream(stream);
}

// ---------------------------------------------------------------------------------------------------
// TJPEGImage

namespace {

template <class F> auto CallCodec(F&& call) {
    try {
        return call();
    } catch (const jpeg_codec::JpegFailure& failure) {
        throw EJPEG(L"JPEG error: " + AnsiToWide(failure.what(), CP_ACP));
    }
}

} // namespace

TJPEGImage::TJPEGImage() {
    // Decoding on first use is no change of the picture.
    bitmap_.OnChange = [this](TObject*) {
        if (!decoding_) Changed();
    };
}

TJPEGImage::~TJPEGImage() = default;

int TJPEGImage::Width() const {
    return decoded_ ? bitmap_.Width() : width_;
}
int TJPEGImage::Height() const {
    return decoded_ ? bitmap_.Height() : height_;
}
bool TJPEGImage::Empty() const {
    return Width() == 0 || Height() == 0;
}

void TJPEGImage::Draw(TCanvas& canvas, const RECT& r) {
    DecodeNeeded();
    bitmap_.SetTransparent(Transparent());
    bitmap_.Draw(canvas, r);
}

void TJPEGImage::LoadFromBytes(const std::uint8_t* data, std::size_t size) {
    // A picture is often loaded long before it is shown (a form's image on a window not yet opened):
    // only the header is read now.
    const jpeg_codec::JpegSize header = CallCodec([&] { return jpeg_codec::ReadJpegSize(data, size); });
    data_.assign(data, data + size);
    width_ = header.width;
    height_ = header.height;
    decoded_ = false;
    decoding_ = true;
    bitmap_.SetHandle(nullptr);
    decoding_ = false;
    Changed();
}

void TJPEGImage::DecodeNeeded() const {
    if (decoded_) return;
    const jpeg_codec::DecodedJpeg decoded =
        CallCodec([&] { return jpeg_codec::DecodeJpeg(data_.data(), data_.size()); });
    decoded_ = true;
    decoding_ = true;
    bitmap_.SetHandle(decoded.bitmap); // a bottom-up 24-bit DIB section: adopted as it is
    decoding_ = false;
}

void TJPEGImage::LoadFromStream(TStream& stream) {
    std::vector<std::uint8_t> bytes = ReadRest(stream);
    LoadFromBytes(bytes.data(), bytes.size());
}

void TJPEGImage::SaveToStream(TStream& stream) const {
    if (!data_.empty()) stream.WriteBuffer(data_.data(), static_cast<std::int64_t>(data_.size()));
}

void TJPEGImage::Assign(const TPersistent* Source) {
    if (auto* other = dynamic_cast<const TJPEGImage*>(Source)) {
        if (other == this) return;
        data_ = other->data_;
        width_ = other->width_;
        height_ = other->height_;
        SetTransparent(other->Transparent());
        decoded_ = other->decoded_;
        if (decoded_) {
            bitmap_.Assign(&other->bitmap_);
            return;
        }
        decoding_ = true;
        bitmap_.SetHandle(nullptr);
        decoding_ = false;
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

void TJPEGImage::AssignTo(TPersistent* Dest) const {
    if (auto* bitmap = dynamic_cast<TBitmap*>(Dest)) {
        DecodeNeeded();
        bitmap->Assign(&bitmap_);
        return;
    }
    TGraphic::AssignTo(Dest);
}

// ---------------------------------------------------------------------------------------------------
// TPicture

const TClassInfo* TPicture::StaticClassInfo() {
    static const TClassInfo info(L"TPicture", TPersistent::StaticClassInfo(),
                                 {
                                     BinaryProp<TPicture>(L"Data", &TPicture::ReadData, &TPicture::WriteData),
                                 });
    return &info;
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed() {
    if (OnChange) OnChange(this);
}

void TPicture::TakeGraphic(std::unique_ptr<TGraphic> graphic) {
    graphic_ = std::move(graphic);
    if (graphic_) graphic_->OnChange = [this](TObject*) { Changed(); };
    Changed();
}

void TPicture::SetGraphic(const TGraphic* graphic) {
    TakeGraphic(graphic ? CopyOf(graphic) : nullptr);
}

TBitmap* TPicture::Bitmap() {
    if (!dynamic_cast<TBitmap*>(graphic_.get())) TakeGraphic(std::make_unique<TBitmap>());
    return static_cast<TBitmap*>(graphic_.get());
}

void TPicture::LoadFromFile(const String& fileName) {
    String ext = LowerCase(ExtractFileExt(fileName));
    std::unique_ptr<TGraphic> graphic;
    if (ext == L".bmp")
        graphic = std::make_unique<TBitmap>();
    else if (ext == L".jpg" || ext == L".jpeg" || ext == L".jpe")
        graphic = std::make_unique<TJPEGImage>();
    else
        throw EInvalidGraphic(L"Unknown picture file extension (" + ext + L")");
    graphic->LoadFromFile(fileName);
    TakeGraphic(std::move(graphic));
}

void TPicture::SaveToFile(const String& fileName) const {
    if (graphic_) graphic_->SaveToFile(fileName);
}

void TPicture::LoadFromStream(TStream& stream) {
    std::vector<std::uint8_t> bytes = ReadRest(stream);
    TakeGraphic(GraphicFromBytes(bytes.data(), bytes.size()));
}

void TPicture::ReadData(TStream& stream) {
    std::vector<std::uint8_t> bytes = ReadRest(stream);
    const std::uint8_t* p = bytes.data();
    std::size_t n = bytes.size();
    if (n == 0) {
        TakeGraphic(nullptr);
        return;
    }
    if (IsJpeg(p, n) || IsBitmapFile(p, n)) {
        TakeGraphic(GraphicFromBytes(p, n));
        return;
    }
    // The classic form: the graphic class's name as a short string, then the graphic's own data, which
    // may start with its length.
    const std::size_t nameLength = p[0];
    if (1 + nameLength > n) throw EInvalidGraphic(L"Picture data is not valid");
    String className(p + 1, p + 1 + nameLength);
    p += 1 + nameLength;
    n -= 1 + nameLength;
    if (n >= 4 && !IsJpeg(p, n) && !IsBitmapFile(p, n)) {
        std::uint32_t length = p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
        if (length <= n - 4) {
            p += 4;
            n = length;
        }
    }
    if (n == 0) {
        TakeGraphic(nullptr);
        return;
    }
    if (SameText(className, L"TBitmap") || SameText(className, L"TJPEGImage")) {
        TakeGraphic(GraphicFromBytes(p, n));
        return;
    }
    throw EInvalidGraphic(L"Unsupported picture format " + className);
}

void TPicture::WriteData(TStream& stream) const {
    if (!graphic_) return;
    String name = dynamic_cast<const TJPEGImage*>(graphic_.get()) ? L"TJPEGImage" : L"TBitmap";
    TMemoryStream body;
    graphic_->SaveToStream(body);
    std::uint8_t nameLength = static_cast<std::uint8_t>(name.size());
    stream.WriteBuffer(&nameLength, 1);
    std::string ascii(name.begin(), name.end());
    stream.WriteBuffer(ascii.data(), nameLength);
    std::uint32_t length = static_cast<std::uint32_t>(body.Size());
    std::uint8_t lengthBytes[4] = {static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8),
                                   static_cast<std::uint8_t>(length >> 16),
                                   static_cast<std::uint8_t>(length >> 24)};
    stream.WriteBuffer(lengthBytes, 4);
    if (length) stream.WriteBuffer(body.Memory(), length);
}

void TPicture::Assign(const TPersistent* Source) {
    if (!Source) {
        TakeGraphic(nullptr);
        return;
    }
    if (auto* other = dynamic_cast<const TPicture*>(Source)) {
        if (other != this) SetGraphic(other->graphic_.get());
        return;
    }
    if (auto* graphic = dynamic_cast<const TGraphic*>(Source)) {
        SetGraphic(graphic);
        return;
    }
    TPersistent::Assign(Source);
}
