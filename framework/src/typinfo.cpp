#include <framework/sysutils.h>
#include <framework/typinfo.h>

TIdentMap::TIdentMap(std::initializer_list<std::pair<const wchar_t*, std::int64_t>> values) {
    values_.reserve(values.size());
    for (const auto& v : values) values_.emplace_back(v.first, v.second);
}

bool TIdentMap::ToValue(const String& name, std::int64_t& value) const {
    for (const auto& v : values_)
        if (SameText(v.first, name)) {
            value = v.second;
            return true;
        }
    return false;
}

bool TIdentMap::ToName(std::int64_t value, String& name) const {
    for (const auto& v : values_)
        if (v.second == value) {
            name = v.first;
            return true;
        }
    return false;
}

const TIdentMap BooleanIdents{{L"False", 0}, {L"True", 1}};

TClassInfo::TClassInfo(String name, const TClassInfo* parent, std::vector<TPropInfo> props)
    : name_(std::move(name)), parent_(parent), props_(std::move(props)) {}

const TPropInfo* TClassInfo::FindOwn(const String& name) const {
    for (const auto& p : props_)
        if (SameText(p.Name, name)) return &p;
    return nullptr;
}

const TPropInfo* TClassInfo::Find(const String& name) const {
    for (const TClassInfo* c = this; c; c = c->parent_)
        if (const TPropInfo* p = c->FindOwn(name)) return p;
    return nullptr;
}

bool TClassInfo::InheritsFrom(const TClassInfo* other) const {
    for (const TClassInfo* c = this; c; c = c->parent_)
        if (c == other) return true;
    return false;
}

std::vector<const TPropInfo*> TClassInfo::AllProps() const {
    std::vector<const TClassInfo*> chain;
    for (const TClassInfo* c = this; c; c = c->parent_) chain.insert(chain.begin(), c);
    std::vector<const TPropInfo*> out;
    for (const TClassInfo* c : chain)
        for (const auto& p : c->props_) {
            // A derived class may publish a property again (another getter): it replaces the base's.
            bool replaced = false;
            for (auto& q : out)
                if (SameText(q->Name, p.Name)) {
                    q = &p;
                    replaced = true;
                }
            if (!replaced) out.push_back(&p);
        }
    return out;
}

const TPropInfo* GetPropInfo(const TObject* obj, const String& name) {
    if (!obj) return nullptr;
    const TClassInfo* info = obj->ClassInfo();
    return info ? info->Find(name) : nullptr;
}

bool IsPublishedProp(const TObject* obj, const String& name) {
    return GetPropInfo(obj, name) != nullptr;
}

TTypeKind PropType(const TObject* obj, const String& name) {
    const TPropInfo* p = GetPropInfo(obj, name);
    return p ? p->Kind : tkUnknown;
}

namespace {

const TPropInfo& Require(TObject* obj, const String& name) {
    const TPropInfo* p = GetPropInfo(obj, name);
    if (!p) throw EPropertyError(L"Property " + name + L" not found");
    return *p;
}

[[noreturn]] void WrongKind(const TPropInfo& p) {
    throw EPropertyConvertError(L"Invalid property type: " + p.Name);
}

[[noreturn]] void ReadOnly(const TPropInfo& p) {
    throw EPropertyError(L"Property " + p.Name + L" is read-only");
}

[[noreturn]] void BadValue(const TPropInfo& p, const String& value) {
    throw EPropertyConvertError(L"Invalid property value '" + value + L"' for " + p.Name);
}

bool IsOrdinal(TTypeKind k) {
    return k == tkInteger || k == tkEnumeration || k == tkSet;
}

String SetToText(const TPropInfo& p, std::int64_t bits) {
    String s = L"[";
    bool first = true;
    for (int bit = 0; bit < 64; ++bit) {
        if (!(bits >> bit & 1)) continue;
        String name;
        if (!p.Idents || !p.Idents->ToName(bit, name)) name = IntToStr(bit);
        if (!first) s += L",";
        s += name;
        first = false;
    }
    return s + L"]";
}

std::int64_t TextToSet(const TPropInfo& p, const String& text) {
    String t = Trim(text);
    if (!t.empty() && t.front() == L'[') t.erase(0, 1);
    if (!t.empty() && t.back() == L']') t.pop_back();
    std::int64_t bits = 0;
    size_t start = 0;
    while (start <= t.size()) {
        size_t comma = t.find(L',', start);
        String item = Trim(t.substr(start, comma == String::npos ? String::npos : comma - start));
        if (!item.empty()) {
            std::int64_t bit;
            if (!p.Idents || !p.Idents->ToValue(item, bit) || bit < 0 || bit > 63) BadValue(p, item);
            bits |= std::int64_t(1) << bit;
        }
        if (comma == String::npos) break;
        start = comma + 1;
    }
    return bits;
}

} // namespace

std::int64_t GetOrdProp(TObject* obj, const String& name) {
    const TPropInfo& p = Require(obj, name);
    if (!IsOrdinal(p.Kind) || !p.GetOrd) WrongKind(p);
    return p.GetOrd(obj);
}

void SetOrdProp(TObject* obj, const String& name, std::int64_t value) {
    const TPropInfo& p = Require(obj, name);
    if (!IsOrdinal(p.Kind)) WrongKind(p);
    if (!p.SetOrd) ReadOnly(p);
    p.SetOrd(obj, value);
}

String GetEnumProp(TObject* obj, const String& name) {
    const TPropInfo& p = Require(obj, name);
    if (p.Kind != tkEnumeration) WrongKind(p);
    std::int64_t v = p.GetOrd(obj);
    String text;
    if (p.Idents && p.Idents->ToName(v, text)) return text;
    return IntToStr(v);
}

void SetEnumProp(TObject* obj, const String& name, const String& value) {
    const TPropInfo& p = Require(obj, name);
    if (p.Kind != tkEnumeration) WrongKind(p);
    if (!p.SetOrd) ReadOnly(p);
    std::int64_t v;
    if (!p.Idents || !p.Idents->ToValue(value, v)) BadValue(p, value);
    p.SetOrd(obj, v);
}

String GetSetProp(TObject* obj, const String& name) {
    const TPropInfo& p = Require(obj, name);
    if (p.Kind != tkSet) WrongKind(p);
    return SetToText(p, p.GetOrd(obj));
}

void SetSetProp(TObject* obj, const String& name, const String& value) {
    const TPropInfo& p = Require(obj, name);
    if (p.Kind != tkSet) WrongKind(p);
    if (!p.SetOrd) ReadOnly(p);
    p.SetOrd(obj, TextToSet(p, value));
}

String GetStrProp(TObject* obj, const String& name) {
    const TPropInfo& p = Require(obj, name);
    if (p.Kind != tkString) WrongKind(p);
    return p.GetStr(obj);
}

void SetStrProp(TObject* obj, const String& name, const String& value) {
    const TPropInfo& p = Require(obj, name);
    if (p.Kind != tkString) WrongKind(p);
    if (!p.SetStr) ReadOnly(p);
    p.SetStr(obj, value);
}

TObject* GetObjectProp(TObject* obj, const String& name) {
    const TPropInfo& p = Require(obj, name);
    if (p.Kind != tkClass || !p.GetObj) WrongKind(p);
    return p.GetObj(obj);
}

void SetObjectProp(TObject* obj, const String& name, TObject* value) {
    const TPropInfo& p = Require(obj, name);
    if (p.Kind != tkClass) WrongKind(p);
    if (!p.SetObj) ReadOnly(p);
    if (!p.SetObj(obj, value))
        throw EPropertyConvertError(L"Property " + p.Name + L" takes a " + p.ObjClassName + L", not a " +
                                    (value ? value->ClassName() : String(L"nil")));
}

void SetMethodProp(TObject* obj, const String& name, const TMethod& method) {
    const TPropInfo& p = Require(obj, name);
    if (p.Kind != tkMethod || !p.SetMethod) WrongKind(p);
    if (!p.SetMethod(obj, method))
        throw EPropertyConvertError(L"Handler " + method.Name + L" (" + method.Signature() +
                                    L") does not fit " + p.Name + L" (" + p.MethodSignature + L")");
}

String GetPropValue(TObject* obj, const String& name) {
    const TPropInfo& p = Require(obj, name);
    switch (p.Kind) {
    case tkInteger:
        return IntToStr(p.GetOrd(obj));
    case tkEnumeration:
        return GetEnumProp(obj, name);
    case tkSet:
        return GetSetProp(obj, name);
    case tkString:
        return p.GetStr(obj);
    default:
        WrongKind(p);
    }
}

void SetPropValue(TObject* obj, const String& name, const String& value) {
    const TPropInfo& p = Require(obj, name);
    switch (p.Kind) {
    case tkInteger: {
        if (!p.SetOrd) ReadOnly(p);
        std::int64_t v;
        if (p.Idents && p.Idents->ToValue(Trim(value), v)) {
            p.SetOrd(obj, v);
            return;
        }
        try {
            p.SetOrd(obj, StrToInt64(value));
        } catch (const EConvertError&) {
            BadValue(p, value);
        }
        return;
    }
    case tkEnumeration: {
        if (!p.SetOrd) ReadOnly(p);
        std::int64_t v;
        if (p.Idents && p.Idents->ToValue(Trim(value), v)) {
            p.SetOrd(obj, v);
            return;
        }
        BadValue(p, value);
    }
    case tkSet:
        SetSetProp(obj, name, value);
        return;
    case tkString:
        SetStrProp(obj, name, value);
        return;
    default:
        WrongKind(p);
    }
}
