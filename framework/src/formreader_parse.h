// Form descriptions as text become a tree of objects and property values first, so that syntax
// errors are found before anything is built. No system calls: the host builds it for fuzzing.
#pragma once

#include <framework/types.h>

#include <cstdint>
#include <string_view>
#include <vector>

namespace formtext {

// Values are held in place rather than each on the heap: a description has thousands of them, and
// every allocation is a trip through the system heap under Wine.
struct Property;
using PropertyList = std::vector<Property>;

struct Value {
    enum Kind { Integer, Float, Ident, Str, Set, List, Collection, Binary, Resource } kind = Integer;
    int line = 0;
    std::int64_t integer = 0;
    String text;                       // Ident, Str, Resource name, Float text
    std::vector<String> names;         // Set
    std::vector<Value> items;          // List
    std::vector<PropertyList> entries; // Collection
    std::vector<std::uint8_t> bytes;   // Binary
};

struct Property {
    String name; // may be dotted
    Value value;
    int line = 0;
};

struct ObjectNode {
    String name, className;
    int line = 0;
    PropertyList props;
    std::vector<ObjectNode> children;
};

// The tree of a whole description; EReadError "<source>(<line>): <what>" when it is not one.
ObjectNode ParseDescription(std::string_view text, const String& source);

} // namespace formtext
