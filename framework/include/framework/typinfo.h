// Published properties: each class that publishes properties gives one table of them, found through
// the virtual ClassInfo(); lookups ignore case and walk the base classes' tables.
//
// A class publishes with DECLARE_PUBLISHED in its body and a definition in its source file:
//
//   class TButton : public TWinControl { DECLARE_PUBLISHED ... };
//   const TClassInfo* TButton::StaticClassInfo() {
//       static const TClassInfo info(L"TButton", TWinControl::StaticClassInfo(), {
//           StrProp<TButton>(L"Caption", &TButton::Caption, &TButton::SetCaption),
//           EventProp<TButton>(L"OnClick", &TButton::OnClick),
//       });
//       return &info;
//   }
#pragma once

#include <framework/classes.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#define DECLARE_PUBLISHED                                                                                    \
public:                                                                                                      \
    static const TClassInfo* StaticClassInfo();                                                              \
    const TClassInfo* ClassInfo() const override {                                                           \
        return StaticClassInfo();                                                                            \
    }

enum TTypeKind { tkUnknown, tkInteger, tkEnumeration, tkSet, tkString, tkClass, tkBinary, tkMethod };

// Names of values: enumeration values (by ordinal), set elements (by bit number) or identifiers that an
// integer property accepts (colours such as clBtnFace, character sets such as GB2312_CHARSET).
class TIdentMap {
public:
    TIdentMap(std::initializer_list<std::pair<const wchar_t*, std::int64_t>> values);
    bool ToValue(const String& name, std::int64_t& value) const; // ignores case
    bool ToName(std::int64_t value, String& name) const;
    const std::vector<std::pair<String, std::int64_t>>& Values() const { return values_; }

private:
    std::vector<std::pair<String, std::int64_t>> values_;
};
extern const TIdentMap BooleanIdents; // False, True

struct TPropInfo {
    String Name;
    TTypeKind Kind = tkUnknown;
    const TIdentMap* Idents = nullptr;
    // Integer, enumeration (ordinal), set (bits)
    std::function<std::int64_t(TObject*)> GetOrd;
    std::function<void(TObject*, std::int64_t)> SetOrd;
    // String
    std::function<String(TObject*)> GetStr;
    std::function<void(TObject*, const String&)> SetStr;
    // Object: a sub-object (Font, Items) has only GetObj; a reference to another component (PopupMenu,
    // Menu) also has SetObj, which answers false for an object of the wrong class.
    std::function<TObject*(TObject*)> GetObj;
    std::function<bool(TObject*, TObject*)> SetObj;
    String ObjClassName; // the class a reference takes, for messages
    // Binary: the reader hands the bytes as a stream positioned at 0
    std::function<void(TObject*, TStream&)> ReadData;
    std::function<void(TObject*, TStream&)> WriteData;
    // Method (event): SetMethod answers false when the handler's signature does not fit
    std::function<bool(TObject*, const TMethod&)> SetMethod;
    std::function<bool(TObject*)> HasMethod;
    String MethodSignature;

    bool Writable() const { return SetOrd || SetStr || SetObj || ReadData || SetMethod; }
};

class TClassInfo {
public:
    TClassInfo(String name, const TClassInfo* parent, std::vector<TPropInfo> props);
    const String& Name() const { return name_; }
    const TClassInfo* Parent() const { return parent_; }
    const std::vector<TPropInfo>& Props() const { return props_; }
    // This class's own table only.
    const TPropInfo* FindOwn(const String& name) const;
    // This class's table, then its bases'.
    const TPropInfo* Find(const String& name) const;
    bool InheritsFrom(const TClassInfo* other) const;
    // Every property visible in this class, base classes first.
    std::vector<const TPropInfo*> AllProps() const;

private:
    String name_;
    const TClassInfo* parent_;
    std::vector<TPropInfo> props_;
};

// --- lookups -----------------------------------------------------------------------------------------
const TPropInfo* GetPropInfo(const TObject* obj, const String& name);
bool IsPublishedProp(const TObject* obj, const String& name);
TTypeKind PropType(const TObject* obj, const String& name);

// These throw EPropertyError "Property <name> not found" when obj has no such property, and
// EPropertyConvertError when the property is of another kind or the value does not fit.
FRAMEWORK_EXCEPTION(EPropertyError, Exception);
FRAMEWORK_EXCEPTION(EPropertyConvertError, Exception);
std::int64_t GetOrdProp(TObject* obj, const String& name);
void SetOrdProp(TObject* obj, const String& name, std::int64_t value);
String GetEnumProp(TObject* obj, const String& name); // value name, "True"/"False" for Booleans
void SetEnumProp(TObject* obj, const String& name, const String& value);
String GetSetProp(TObject* obj, const String& name); // "[a,b]"
void SetSetProp(TObject* obj, const String& name, const String& value);
String GetStrProp(TObject* obj, const String& name);
void SetStrProp(TObject* obj, const String& name, const String& value);
TObject* GetObjectProp(TObject* obj, const String& name);
void SetObjectProp(TObject* obj, const String& name, TObject* value);
void SetMethodProp(TObject* obj, const String& name, const TMethod& method);
// Any non-object property as text (ordinals as numbers or value names), and back.
String GetPropValue(TObject* obj, const String& name);
void SetPropValue(TObject* obj, const String& name, const String& value);

// --- table builders ----------------------------------------------------------------------------------
// C is the class whose table the property goes in; getters and setters are its member functions (or
// any callable taking C*). A setter of nullptr makes the property read-only.

namespace typinfo_detail {
template <class C> C* As(TObject* o) {
    return static_cast<C*>(o);
}
template <class S> constexpr bool IsNull = std::is_null_pointer_v<S>;
} // namespace typinfo_detail

template <class C, class G, class S>
TPropInfo IntProp(const wchar_t* name, G get, S set, const TIdentMap* idents = nullptr) {
    TPropInfo p;
    p.Name = name;
    p.Kind = tkInteger;
    p.Idents = idents;
    p.GetOrd = [get](TObject* o) {
        return static_cast<std::int64_t>(std::invoke(get, typinfo_detail::As<C>(o)));
    };
    if constexpr (!typinfo_detail::IsNull<S>) {
        p.SetOrd = [set, get](TObject* o, std::int64_t v) {
            using V = std::decay_t<decltype(std::invoke(get, typinfo_detail::As<C>(o)))>;
            std::invoke(set, typinfo_detail::As<C>(o), static_cast<V>(v));
        };
    }
    return p;
}

template <class C, class G, class S>
TPropInfo EnumProp(const wchar_t* name, G get, S set, const TIdentMap& names) {
    TPropInfo p = IntProp<C>(name, get, set, &names);
    p.Kind = tkEnumeration;
    return p;
}

template <class C, class G, class S> TPropInfo BoolProp(const wchar_t* name, G get, S set) {
    TPropInfo p;
    p.Name = name;
    p.Kind = tkEnumeration;
    p.Idents = &BooleanIdents;
    p.GetOrd = [get](TObject* o) { return std::int64_t(std::invoke(get, typinfo_detail::As<C>(o)) ? 1 : 0); };
    if constexpr (!typinfo_detail::IsNull<S>)
        p.SetOrd = [set](TObject* o, std::int64_t v) { std::invoke(set, typinfo_detail::As<C>(o), v != 0); };
    return p;
}

// A TSet<E> property; element names by bit number.
template <class C, class G, class S>
TPropInfo SetProp(const wchar_t* name, G get, S set, const TIdentMap& elements) {
    TPropInfo p;
    p.Name = name;
    p.Kind = tkSet;
    p.Idents = &elements;
    p.GetOrd = [get](TObject* o) {
        return static_cast<std::int64_t>(std::invoke(get, typinfo_detail::As<C>(o)).ToInt());
    };
    if constexpr (!typinfo_detail::IsNull<S>) {
        p.SetOrd = [set, get](TObject* o, std::int64_t v) {
            using V = std::decay_t<decltype(std::invoke(get, typinfo_detail::As<C>(o)))>;
            std::invoke(set, typinfo_detail::As<C>(o), V::FromInt(static_cast<std::uint64_t>(v)));
        };
    }
    return p;
}

template <class C, class G, class S> TPropInfo StrProp(const wchar_t* name, G get, S set) {
    TPropInfo p;
    p.Name = name;
    p.Kind = tkString;
    p.GetStr = [get](TObject* o) { return String(std::invoke(get, typinfo_detail::As<C>(o))); };
    if constexpr (!typinfo_detail::IsNull<S>)
        p.SetStr = [set](TObject* o, const String& v) { std::invoke(set, typinfo_detail::As<C>(o), v); };
    return p;
}

// A sub-object the class owns (Font, Items, Lines, Panels, Picture).
template <class C, class G> TPropInfo ObjProp(const wchar_t* name, G get) {
    TPropInfo p;
    p.Name = name;
    p.Kind = tkClass;
    p.GetObj = [get](TObject* o) -> TObject* { return std::invoke(get, typinfo_detail::As<C>(o)); };
    return p;
}

// A reference to another component of class T (or nullptr).
template <class C, class T, class G, class S> TPropInfo RefProp(const wchar_t* name, G get, S set) {
    TPropInfo p = ObjProp<C>(name, get);
    p.ObjClassName = ClassNameOf<T>();
    p.SetObj = [set](TObject* o, TObject* v) {
        T* typed = dynamic_cast<T*>(v);
        if (v && !typed) return false;
        std::invoke(set, typinfo_detail::As<C>(o), typed);
        return true;
    };
    return p;
}

// Binary data read from / written to a stream (Picture.Data, skin streams).
template <class C, class R, class W> TPropInfo BinaryProp(const wchar_t* name, R read, W write) {
    TPropInfo p;
    p.Name = name;
    p.Kind = tkBinary;
    p.ReadData = [read](TObject* o, TStream& s) { std::invoke(read, typinfo_detail::As<C>(o), s); };
    if constexpr (!typinfo_detail::IsNull<W>)
        p.WriteData = [write](TObject* o, TStream& s) { std::invoke(write, typinfo_detail::As<C>(o), s); };
    return p;
}

// An event held in a public std::function member, e.g. EventProp<TButton>(L"OnClick", &TButton::OnClick).
template <class C, class B, class F> TPropInfo EventProp(const wchar_t* name, F B::*member) {
    static_assert(std::is_base_of_v<B, C>);
    TPropInfo p;
    p.Name = name;
    p.Kind = tkMethod;
    p.MethodSignature = ReadableSignature(typeid(F).name());
    p.SetMethod = [member](TObject* o, const TMethod& m) {
        if (!m.Code.has_value()) {
            typinfo_detail::As<C>(o)->*member = nullptr;
            return true;
        }
        const F* fn = std::any_cast<F>(&m.Code);
        if (!fn) return false;
        typinfo_detail::As<C>(o)->*member = *fn;
        return true;
    };
    p.HasMethod = [member](TObject* o) { return static_cast<bool>(typinfo_detail::As<C>(o)->*member); };
    return p;
}
