#pragma once
// In-memory reader of skin ini text. Texts are byte strings in the skin's own code page;
// section and key names compare without regard to ASCII letter case.

#include <string>
#include <utility>
#include <vector>

#include "skin_archive/ByteStream.h"

class TQuickIni {
public:
    // Parses the text from the stream's position to its end (or to a zero byte), replacing
    // any earlier content. A null stream changes nothing.
    void LoadFromStream(TByteStream* stream);

    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    // Decimal with an optional sign, hexadecimal after "$" or "0x"; anything else gives def.
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    // Section names in text order, without brackets, trimmed.
    void ReadSections(std::vector<std::string>& list) const;

    // The text before the first "=", trimmed and lower-cased; empty without "=".
    static std::string KeyOfLine(const std::string& line);
    // The text after the first "=", trimmed; empty without "=".
    static std::string ValueOfLine(const std::string& line);
    static bool IsSectionLine(const std::string& line);
    // Line position of the header "[" + name + "]", or -1.
    int FindSection(const std::string& name) const;

    const std::vector<std::string>& Lines() const { return FLines; }

    // Integer conversion of the framework: optional sign, then decimal digits or "$" and
    // hex digits (up to 8, taken as a 32-bit pattern). False for anything else.
    static bool TextToInt(const std::string& text, int& value);

private:
    std::vector<std::string> FLines;
    // Header text (brackets included) and its position in FLines.
    std::vector<std::pair<std::string, int>> FSections;
};
