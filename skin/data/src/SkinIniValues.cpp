#include "skin_data/SkinIniValues.h"

#include <climits>

namespace {

// The file-name part of an ini value: the text after the last path or drive separator.
std::string FileNamePart(const std::string& value) {
    const auto cut = value.find_last_of("\\/:");
    return cut == std::string::npos ? value : value.substr(cut + 1);
}

std::string ExtensionOf(const std::string& fileName) {
    const auto dot = fileName.rfind('.');
    return dot == std::string::npos ? std::string() : fileName.substr(dot);
}

bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

std::string Trimmed(const std::string& text) {
    std::size_t a = 0, b = text.size();
    while (a < b && static_cast<unsigned char>(text[a]) <= ' ') ++a;
    while (b > a && static_cast<unsigned char>(text[b - 1]) <= ' ') --b;
    return text.substr(a, b - a);
}

} // namespace

std::string UpperAscii(std::string text) {
    for (char& ch : text)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    return text;
}

std::string SkinBitmapEntryName(const std::string& value) {
    const std::string name = FileNamePart(value);
    return name.empty() || ExtensionOf(name) != ".bmp" ? std::string() : name;
}

bool IsCaptionButtonSection(const std::string& section) {
    const std::string upper = UpperAscii(section);
    return upper.rfind("BUTTON", 0) == 0 && upper != "BUTTONS" && upper != "BUTTON.RADIO" &&
           upper != "BUTTON.CHECKBOX" && upper != "BUTTON";
}

bool TSkinPictureBudget::Take(const TBmpLayout& layout) {
    if (layout.OutBytes > kMaxSkinPictureBytes || Used + layout.OutBytes > kMaxSkinPicturesBytes)
        return false;
    Used += layout.OutBytes;
    return true;
}

std::int32_t ParseColourText(const std::string& text) {
    int components[3] = {0, 0, 0};
    int given = 0;
    long long value = 0;
    bool inNumber = false, tooLong = false;
    // A group of digits too long for an integer is not a component.
    auto take = [&]() {
        if (given < 3 && !tooLong) components[given++] = static_cast<int>(value);
        value = 0;
        inNumber = tooLong = false;
    };
    for (char ch : Trimmed(text)) {
        if (IsDigit(ch)) {
            inNumber = true;
            value = value * 10 + (ch - '0');
            if (value > INT_MAX) {
                tooLong = true;
                value = 0;
            }
        } else if (inNumber) {
            take();
        }
    }
    if (inNumber && given == 2) take();
    return static_cast<std::int32_t>((components[0] & 0xFF) | ((components[1] & 0xFF) << 8) |
                                     ((components[2] & 0xFF) << 16));
}

std::int32_t ColourOrDefault(const std::string& text, std::int32_t def) {
    return text.empty() ? def : ParseColourText(text);
}

TSkinStreamFrame SkinStreamFrame(std::int32_t length, std::int64_t remaining) {
    if (length <= 0) return TSkinStreamFrame::Empty;
    return length > remaining ? TSkinStreamFrame::Damaged : TSkinStreamFrame::Archive;
}
