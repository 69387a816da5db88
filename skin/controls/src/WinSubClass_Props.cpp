#include "skin_controls/WinSubClass.h"

#include <framework/sysutils.h>

namespace {

const TPropInfo* Find(TObject* object, const String& name) {
    return object ? GetPropInfo(object, name) : nullptr;
}

} // namespace

std::int64_t GetOrdPropByName(TObject* object, const String& name) {
    const TPropInfo* p = Find(object, name);
    return p && p->Kind == tkInteger && p->GetOrd ? p->GetOrd(object) : 0;
}

String GetEnumPropName(TObject* object, const String& name) {
    const TPropInfo* p = Find(object, name);
    if (!p || p->Kind != tkEnumeration || !p->GetOrd || !p->Idents) return {};
    String valueName;
    return p->Idents->ToName(p->GetOrd(object), valueName) ? valueName : String();
}

String GetPropAsWideString(TObject* object, const String& name) {
    const TPropInfo* p = Find(object, name);
    return p && p->Kind == tkString && p->GetStr ? p->GetStr(object) : String();
}

TObject* GetObjectPropByName(TObject* object, const String& name) {
    const TPropInfo* p = Find(object, name);
    return p && p->Kind == tkClass && p->GetObj ? p->GetObj(object) : nullptr;
}

void SetPropFromText(TObject* object, const String& name, const String& text) {
    const TPropInfo* p = Find(object, name);
    if (!p || !p->SetOrd) return;
    if (p->Kind == tkEnumeration) {
        std::int64_t value = 0;
        if (p->Idents && p->Idents->ToValue(text, value)) p->SetOrd(object, value);
    } else if (p->Kind == tkInteger) {
        p->SetOrd(object, StrToInt(text));
    }
}
