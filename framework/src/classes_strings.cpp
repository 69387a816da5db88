#include <framework/classes.h>
#include <framework/sysutils.h>

#include <windows.h>

#include <algorithm>

// ---------------------------------------------------------------------------------------------------
// TStrings

int TStrings::Add(const String& s) {
    int index = Count();
    Insert(index, s);
    return index;
}

void TStrings::AddStrings(const TStrings& other) {
    BeginUpdate();
    try {
        for (int i = 0; i < other.Count(); ++i) Add(other.Strings(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

int TStrings::IndexOf(const String& s) const {
    for (int i = 0, n = Count(); i < n; ++i)
        if (SameText(Strings(i), s)) return i;
    return -1;
}

String TStrings::Names(int index) const {
    String s = Strings(index);
    size_t p = s.find(L'=');
    return p == String::npos ? String() : s.substr(0, p);
}

int TStrings::IndexOfName(const String& name) const {
    for (int i = 0, n = Count(); i < n; ++i) {
        String s = Strings(i);
        size_t p = s.find(L'=');
        if (p != String::npos && SameText(s.substr(0, p), name)) return i;
    }
    return -1;
}

String TStrings::Values(const String& name) const {
    int i = IndexOfName(name);
    if (i < 0) return {};
    String s = Strings(i);
    return s.substr(s.find(L'=') + 1);
}

void TStrings::SetValue(const String& name, const String& value) {
    int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0) Delete(i);
    } else if (i >= 0) {
        Put(i, name + L"=" + value);
    } else {
        Add(name + L"=" + value);
    }
}

String TStrings::Text() const {
    String s;
    for (int i = 0, n = Count(); i < n; ++i) {
        s += Strings(i);
        s += L"\r\n";
    }
    return s;
}

void TStrings::SetText(const String& text) {
    BeginUpdate();
    try {
        Clear();
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find_first_of(L"\r\n", start);
            if (end == String::npos) {
                Add(text.substr(start));
                break;
            }
            Add(text.substr(start, end - start));
            start = end + 1;
            if (text[end] == L'\r' && start < text.size() && text[start] == L'\n') ++start;
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

String TStrings::CommaText() const {
    String out;
    for (int i = 0, n = Count(); i < n; ++i) {
        if (i) out += L',';
        String s = Strings(i);
        bool quote = s.empty() || s.find_first_of(L" ,\"") != String::npos;
        if (!quote) {
            out += s;
            continue;
        }
        out += L'"';
        for (wchar_t c : s) {
            if (c == L'"') out += L'"';
            out += c;
        }
        out += L'"';
    }
    return out;
}

void TStrings::SaveToStream(TStream& stream) const {
    String text = Text();
    if (text.empty()) return;
    BOOL lossy = FALSE;
    int n = WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                nullptr, 0, nullptr, &lossy);
    std::string bytes;
    if (n > 0 && !lossy) {
        bytes.resize(static_cast<size_t>(n));
        WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                            bytes.data(), n, nullptr, nullptr);
    } else {
        // Text the Chinese code page cannot hold would be lost: keep all of it as UTF-8.
        bytes = "\xEF\xBB\xBF" + StringToUtf8(text);
    }
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void TStrings::LoadFromStream(TStream& stream) {
    std::int64_t size = stream.Size() - stream.Position();
    std::string bytes(static_cast<size_t>(std::max<std::int64_t>(size, 0)), '\0');
    if (!bytes.empty()) stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    String text;
    auto starts = [&](const char* mark, size_t n) {
        return bytes.size() >= n && bytes.compare(0, n, mark, n) == 0;
    };
    if (starts("\xEF\xBB\xBF", 3)) {
        text = Utf8ToString(std::string_view(bytes).substr(3));
    } else if (starts("\xFF\xFE", 2) || starts("\xFE\xFF", 2)) {
        bool big = bytes[0] == '\xFE';
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            unsigned char a = static_cast<unsigned char>(bytes[i]),
                          b = static_cast<unsigned char>(bytes[i + 1]);
            text += static_cast<wchar_t>(big ? (a << 8 | b) : (b << 8 | a));
        }
    } else if (!bytes.empty() && MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                     static_cast<int>(bytes.size()), nullptr, 0) > 0) {
        text = Utf8ToString(bytes);
    } else {
        text = AnsiToWide(bytes, 936);
    }
    SetText(text);
}

void TStrings::SaveToFile(const String& fileName) const {
    TFileStream stream(fileName, fmCreate);
    SaveToStream(stream);
}

void TStrings::LoadFromFile(const String& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TStrings::Assign(const TPersistent* Source) {
    if (auto* other = dynamic_cast<const TStrings*>(Source)) {
        if (other == this) return;
        BeginUpdate();
        try {
            Clear();
            AddStrings(*other);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::BeginUpdate() {
    if (updateCount_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

void TStrings::CheckIndex(int index, int limit) const {
    if (index < 0 || index >= limit) throw EListError(L"List index out of bounds (" + IntToStr(index) + L")");
}

// ---------------------------------------------------------------------------------------------------
// TStringList

String TStringList::Strings(int index) const {
    CheckIndex(index, Count());
    return items_[static_cast<size_t>(index)];
}

void TStringList::Put(int index, const String& s) {
    if (sorted_) throw EListError(L"Operation not allowed on sorted list");
    CheckIndex(index, Count());
    Changing();
    items_[static_cast<size_t>(index)] = s;
    Changed();
}

void TStringList::Insert(int index, const String& s) {
    if (sorted_) throw EListError(L"Operation not allowed on sorted list");
    CheckIndex(index, Count() + 1);
    Changing();
    items_.insert(items_.begin() + index, s);
    Changed();
}

int TStringList::Add(const String& s) {
    if (!sorted_) {
        Changing();
        items_.push_back(s);
        Changed();
        return Count() - 1;
    }
    int index;
    if (Find(s, index)) {
        if (duplicates_ == dupIgnore) return index;
        if (duplicates_ == dupError) throw EListError(L"String list does not allow duplicates");
    }
    Changing();
    items_.insert(items_.begin() + index, s);
    Changed();
    return index;
}

void TStringList::Delete(int index) {
    CheckIndex(index, Count());
    Changing();
    items_.erase(items_.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (items_.empty()) return;
    Changing();
    items_.clear();
    Changed();
}

int TStringList::Compare(const String& a, const String& b) const {
    return caseSensitive_ ? a.compare(b) : CompareText(a, b);
}

int TStringList::IndexOf(const String& s) const {
    if (sorted_) {
        int index;
        return Find(s, index) ? index : -1;
    }
    for (size_t i = 0; i < items_.size(); ++i)
        if (Compare(items_[i], s) == 0) return static_cast<int>(i);
    return -1;
}

bool TStringList::Find(const String& s, int& index) const {
    int lo = 0, hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = Compare(items_[static_cast<size_t>(mid)], s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                if (duplicates_ != dupAccept) lo = mid;
            }
        }
    }
    index = lo;
    return found;
}

void TStringList::Sort() {
    Changing();
    std::stable_sort(items_.begin(), items_.end(),
                     [this](const String& a, const String& b) { return Compare(a, b) < 0; });
    Changed();
}

void TStringList::SetSorted(bool sorted) {
    if (sorted == sorted_) return;
    if (sorted) Sort();
    sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool on) {
    if (on == caseSensitive_) return;
    caseSensitive_ = on;
    if (sorted_) Sort();
}

void TStringList::SetUpdateState(bool updating) {
    if (updating)
        Changing();
    else
        Changed();
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}
