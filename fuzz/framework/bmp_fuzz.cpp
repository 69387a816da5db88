// Reads arbitrary bytes as a bitmap file: the layout the loader hands to GDI must lie inside the
// data, and a plain file's rows are copied as the loader copies them.

#include <cstdlib>
#include <vector>

#include <framework/bmp_layout.h>

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<TBmpLayout> layout = ReadBmpLayout(data, size);
    if (!layout) return 0;
    const TBmpLayout& l = *layout;
    Check(l.Width > 0 && l.Height > 0 && l.ColorCount <= 256 && l.PixelOffset <= size);
    Check(l.OutBytes == static_cast<unsigned long long>(l.OutStride) * l.Height &&
          l.OutBytes <= kMaxBitmapBytes);
    if (l.IsRle()) {
        Check(l.RleBytes > 0 && l.RleBytes <= size - l.PixelOffset);
    } else {
        Check(static_cast<unsigned long long>(l.SourceStride) * l.Height <= size - l.PixelOffset);
    }
    // Pictures past a few megabytes only slow the run down; their checks above still ran.
    if (l.IsPlain() && l.OutBytes <= (16u << 20)) {
        Check(l.OutStride == l.SourceStride);
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(l.OutBytes));
        CopyPlainBmpRows(l, data, pixels.data());
    }
    return 0;
}
