// Form descriptions: the class registry and the reader that builds components from a description.
//
// A description is UTF-8 text:
//   object Name: TClass
//     Property = value          integers ($hex too), identifiers, 'strings' (joined by +, #13 codes),
//     Font.Name = 'x'           [set, values], ( 'string' 'list' ), < item ... end >, {hex} or
//     OnClick = HandlerName     {resource 'NAME'}
//     object Child: TClass ... end
//   end
// Children are owned by the root; a control's parent is the enclosing object when that is a windowed
// control; other components just belong to the root.
#pragma once

#include <framework/classes.h>
#include <framework/typinfo.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

struct TRegisteredClass {
    String Name;
    const TClassInfo* Info = nullptr;
    std::function<TComponent*(TComponent* owner)> Create;
};

// Makes a class creatable by name from descriptions. Registering again replaces the entry.
template <class T> void RegisterClass() {
    RegisterClassFactory(ClassNameOf<T>(), T::StaticClassInfo(),
                         [](TComponent* owner) { return new T(owner); });
}
template <class... T> void RegisterClasses() {
    (RegisterClass<T>(), ...);
}
// nullptr when no class of that name (ignoring case) is registered.
const TRegisteredClass* FindRegisteredClass(const String& name);

// The framework's own control classes; called before the first read (defined with the controls).
void RegisterControlClasses();

// Gives the bytes of {resource 'NAME'} values; false when there is no such resource.
using TResourceResolver = std::function<bool(const String& name, std::vector<std::uint8_t>& bytes)>;
// RCDATA resources of the module.
TResourceResolver ModuleResources(HINSTANCE instance);

// Reads a description into root: root takes the outer object's name and properties, the inner objects
// become components owned by root. Then fields and handlers bound on root are matched by name, and
// Loaded() runs for root and every component read. Errors throw EReadError "<source>(<line>): <what>".
void ReadComponentText(TComponent* root, std::string_view utf8, const String& sourceName,
                       const TResourceResolver& resources);
// The same from an RCDATA resource of `instance` (nullptr: the executable); EResNotFound when absent.
void ReadComponentResource(TComponent* root, const String& resourceName, HINSTANCE instance = nullptr);
