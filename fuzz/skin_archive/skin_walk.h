// What the skin component does with an opened archive once the system's bitmap loader is left out:
// find and load the ini, and read every section and key as the element readers do, resolving the
// bitmaps the values name and laying them out against the skin's picture budget.
#pragma once

#include <cstdlib>

#include "skin_archive/SkinRead.h"
#include "skin_archive/WinSkinIni.h"
#include "skin_data/SkinIniValues.h"

inline void SkinWalkCheck(bool ok) {
    if (!ok) std::abort();
}

// reader: where named bitmaps are looked up; nullptr resolves names only.
inline void WalkSkinIni(const TQuickIni& ini, TSkinReader* reader) {
    std::vector<std::string> sections;
    ini.ReadSections(sections);
    TSkinPictureBudget budget;
    TByteStream entry;
    // Each key is looked up in the section it stands in, as the element readers look up theirs.
    std::string section;
    bool inSection = false;
    for (const auto& line : ini.Lines()) {
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            inSection = true;
            (void)IsCaptionButtonSection(section);
            continue;
        }
        const std::string key = TQuickIni::KeyOfLine(line);
        if (key.empty() || !inSection) continue;
        const std::string value = ini.ReadString(section, key, "");
        (void)ini.ReadInteger(section, key, 0);
        (void)ColourOrDefault(value, -1);
        const std::string name = SkinBitmapEntryName(value);
        if (name.empty() || !reader) continue;
        reader->GetEntry(name, entry);
        const std::optional<TBmpLayout> layout =
            ReadBmpLayout(entry.Data(), static_cast<std::size_t>(entry.Size()));
        if (!layout) continue;
        const unsigned long long before = budget.Used;
        if (budget.Take(*layout))
            SkinWalkCheck(budget.Used == before + layout->OutBytes && budget.Used <= kMaxSkinPicturesBytes);
        else
            SkinWalkCheck(budget.Used == before);
    }
}

// ParseSkin's steps after the archive opened.
inline void WalkSkin(TSkinReader& reader) {
    TByteStream iniText;
    std::string iniName;
    reader.FindEntry(".ini", iniText, iniName);
    iniText.SetPosition(0);
    TQuickIni ini;
    ini.LoadFromStream(&iniText);
    WalkSkinIni(ini, &reader);
}
