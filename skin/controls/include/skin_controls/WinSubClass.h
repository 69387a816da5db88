#pragma once
// The control skinners' unit: skinners hook one control (or one bare window), let it paint, and
// paint it again from the skin. Skinners read and write the controls they skin only through
// published properties by name, so any class with those properties can be skinned.

#include <framework/typinfo.h>

#include <cstdint>

// Property access by name. A null object or a missing property gives the empty result and
// changes nothing.

// An integer property's value; 0 for a property of another kind.
std::int64_t GetOrdPropByName(TObject* object, const String& name);
// An enumeration property's value name ("True"/"False" for Booleans); empty for another kind.
String GetEnumPropName(TObject* object, const String& name);
// A string property's text.
String GetPropAsWideString(TObject* object, const String& name);
// The object held in an object property, when it is a T.
TObject* GetObjectPropByName(TObject* object, const String& name);
template <class T> T* GetObjectPropByName(TObject* object, const String& name) {
    return dynamic_cast<T*>(GetObjectPropByName(object, name));
}
// An enumeration property set by value name, an integer property by the number in text (text
// that is no number raises EConvertError); properties of other kinds are left alone.
void SetPropFromText(TObject* object, const String& name, const String& text);
