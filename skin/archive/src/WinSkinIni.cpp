#include "skin_archive/WinSkinIni.h"

#include <cstdint>

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string Trim(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

char LowerChar(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string LowerCase(std::string text) {
    for (char& c : text) c = LowerChar(c);
    return text;
}

bool SameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerChar(a[i]) != LowerChar(b[i])) return false;
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Hex digits as a 32-bit pattern; more than 8 significant digits do not fit.
bool ParseHex(const std::string& text, std::size_t from, std::uint32_t& value) {
    if (from >= text.size()) return false;
    value = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        const int d = HexDigit(text[i]);
        if (d < 0 || value > 0x0FFFFFFFu) return false;
        value = value << 4 | static_cast<std::uint32_t>(d);
    }
    return true;
}

} // namespace

bool TQuickIni::TextToInt(const std::string& text, int& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i < text.size() && text[i] == '$') {
        std::uint32_t bits = 0;
        if (!ParseHex(text, i + 1, bits)) return false;
        if (negative) bits = 0u - bits;
        value = static_cast<int>(bits);
        return true;
    }
    if (i >= text.size()) return false;
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > 2147483648LL) return false;
    }
    if (!negative && magnitude > 2147483647LL) return false;
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

void TQuickIni::LoadFromStream(TByteStream* stream) {
    if (stream == nullptr) return;
    std::string text(static_cast<std::size_t>(
                         stream->Size() > stream->Position() ? stream->Size() - stream->Position() : 0),
                     '\0');
    text.resize(static_cast<std::size_t>(stream->Read(text.data(), static_cast<std::int64_t>(text.size()))));
    FLines.clear();
    FSections.clear();

    std::size_t i = 0;
    while (i < text.size() && text[i] != '\0') {
        const std::size_t start = i;
        while (i < text.size() && text[i] != '\r' && text[i] != '\n' && text[i] != '\0') ++i;
        std::string line = Trim(text.substr(start, i - start));
        if (!line.empty() && line[0] != ';') {
            if (IsSectionLine(line)) FSections.emplace_back(line, static_cast<int>(FLines.size()));
            FLines.push_back(std::move(line));
        }
        if (i < text.size() && text[i] == '\r') ++i;
        if (i < text.size() && text[i] == '\n') ++i;
    }
}

bool TQuickIni::IsSectionLine(const std::string& line) {
    const std::string trimmed = Trim(line);
    return trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']';
}

std::string TQuickIni::KeyOfLine(const std::string& line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) return {};
    return LowerCase(Trim(line.substr(0, eq)));
}

std::string TQuickIni::ValueOfLine(const std::string& line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) return {};
    return Trim(line.substr(eq + 1));
}

int TQuickIni::FindSection(const std::string& name) const {
    const std::string header = "[" + name + "]";
    for (const auto& [text, position] : FSections)
        if (SameText(text, header)) return position;
    return -1;
}

std::string TQuickIni::ReadString(const std::string& section, const std::string& key,
                                  const std::string& def) const {
    const std::string wanted = LowerCase(key);
    if (FLines.empty() || wanted.empty()) return def;
    const int header = FindSection(section);
    if (header < 0) return def;
    for (std::size_t i = static_cast<std::size_t>(header) + 1; i < FLines.size(); ++i) {
        const std::string& line = FLines[i];
        if (IsSectionLine(line)) break;
        if (KeyOfLine(line) == wanted) {
            std::string value = ValueOfLine(line);
            return value.empty() ? def : value;
        }
    }
    return def;
}

int TQuickIni::ReadInteger(const std::string& section, const std::string& key, int def) const {
    const std::string text = ReadString(section, key, std::string());
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        std::uint32_t bits = 0;
        return ParseHex(text, 2, bits) ? static_cast<int>(bits) : def;
    }
    int value = 0;
    return TextToInt(text, value) ? value : def;
}

void TQuickIni::ReadSections(std::vector<std::string>& list) const {
    list.clear();
    for (const auto& entry : FSections) list.push_back(Trim(entry.first.substr(1, entry.first.size() - 2)));
}
