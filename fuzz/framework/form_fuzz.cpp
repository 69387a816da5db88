// Parses arbitrary bytes as a form description: either a tree comes out, nested no deeper than the
// reader allows, or an EReadError that names the source and line.

#include <cstdlib>

#include "formreader_parse.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

int ValueDepth(const formtext::Value& v);

int PropertiesDepth(const formtext::PropertyList& props) {
    int deepest = 0;
    for (const auto& p : props) deepest = std::max(deepest, ValueDepth(p.value));
    return deepest;
}

int ValueDepth(const formtext::Value& v) {
    int deepest = 0;
    for (const auto& item : v.items) deepest = std::max(deepest, ValueDepth(item));
    for (const auto& entry : v.entries) deepest = std::max(deepest, PropertiesDepth(entry));
    const bool nests = v.kind == formtext::Value::List || v.kind == formtext::Value::Collection;
    return deepest + (nests ? 1 : 0);
}

int ObjectDepth(const formtext::ObjectNode& node) {
    int deepest = PropertiesDepth(node.props);
    for (const auto& child : node.children) deepest = std::max(deepest, ObjectDepth(child));
    return deepest + 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const formtext::ObjectNode root = formtext::ParseDescription(text, L"f");
        Check(!root.className.empty() && ObjectDepth(root) <= 32);
    } catch (const EReadError& e) {
        Check(e.Message().rfind(L"f(", 0) == 0);
    }
    return 0;
}
