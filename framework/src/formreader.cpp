#include <framework/formreader.h>
#include <framework/sysutils.h>
#include <framework/timer.h>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <variant>

// ---------------------------------------------------------------------------------------------------
// Class registry

namespace {

struct Registry {
    std::mutex lock;
    std::map<String, TRegisteredClass> classes; // keys in upper case
};

Registry& TheRegistry() {
    static auto* registry = new Registry;
    return *registry;
}

void EnsureStandardClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterClass<TTimer>();
        RegisterControlClasses();
    });
}

} // namespace

void RegisterClassFactory(const String& className, const TClassInfo* info,
                          std::function<TComponent*(TComponent* owner)> create) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.classes[UpperCase(className)] = TRegisteredClass{className, info, std::move(create)};
}

const TRegisteredClass* FindRegisteredClass(const String& name) {
    EnsureStandardClasses();
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> guard(r.lock);
    auto it = r.classes.find(UpperCase(name));
    return it == r.classes.end() ? nullptr : &it->second;
}

TResourceResolver ModuleResources(HINSTANCE instance) {
    return [instance](const String& name, std::vector<std::uint8_t>& bytes) {
        if (!TResourceStream::Exists(instance, name)) return false;
        TResourceStream stream(instance, name);
        bytes.assign(stream.Memory(), stream.Memory() + stream.Size());
        return true;
    };
}

// ---------------------------------------------------------------------------------------------------
// Parsing: the text becomes a tree of objects and property values first, so that syntax errors are
// found before anything is built.

namespace {

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

class Parser {
public:
    Parser(std::string_view text, const String& source) : text_(text), source_(source) {}

    ObjectNode ParseRoot() {
        SkipBlanks();
        ObjectNode root = ParseObject();
        SkipBlanks();
        if (pos_ < text_.size()) Fail(L"Text after the final 'end'");
        return root;
    }

    [[noreturn]] void Fail(const String& what) const { FailAt(line_, what); }
    [[noreturn]] void FailAt(int line, const String& what) const {
        throw EReadError(source_ + L"(" + IntToStr(line) + L"): " + what);
    }

private:
    static bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
    static bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
    static bool IsHex(char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    }
    static int HexValue(char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }

    char Peek(size_t ahead = 0) const { return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0'; }
    bool AtEnd() const { return pos_ >= text_.size(); }

    void SkipBlanks() {
        while (!AtEnd()) {
            char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f') {
                ++pos_;
            } else if (c == '/' && Peek(1) == '/') {
                while (!AtEnd() && text_[pos_] != '\n') ++pos_;
            } else if (pos_ == 0 && text_.substr(0, 3) == "\xEF\xBB\xBF") {
                pos_ = 3;
            } else {
                break;
            }
        }
    }

    String Describe() const {
        if (AtEnd()) return L"end of text";
        if (IsIdentStart(Peek())) {
            size_t e = pos_;
            while (e < text_.size() && IsIdentChar(text_[e])) ++e;
            return L"'" + Utf8ToString(text_.substr(pos_, e - pos_)) + L"'";
        }
        return L"'" + Utf8ToString(text_.substr(pos_, 1)) + L"'";
    }

    void Expect(char c) {
        SkipBlanks();
        if (Peek() != c)
            Fail(L"'" + String(1, static_cast<wchar_t>(c)) + L"' expected but " + Describe() + L" found");
        ++pos_;
    }

    std::optional<String> TryIdent() {
        SkipBlanks();
        if (!IsIdentStart(Peek())) return std::nullopt;
        size_t start = pos_;
        while (!AtEnd() && IsIdentChar(text_[pos_])) ++pos_;
        return Utf8ToString(text_.substr(start, pos_ - start));
    }

    String Ident(const wchar_t* what) {
        auto id = TryIdent();
        if (!id) Fail(String(what) + L" expected but " + Describe() + L" found");
        return *id;
    }

    // Name or Name.Sub.Sub
    String QualifiedIdent() {
        String name = Ident(L"Property name");
        while (Peek() == '.' && IsIdentStart(Peek(1))) {
            ++pos_;
            name += L"." + Ident(L"Property name");
        }
        return name;
    }

    bool PeekKeyword(const char* word) {
        SkipBlanks();
        size_t n = std::char_traits<char>::length(word);
        if (pos_ + n > text_.size()) return false;
        for (size_t i = 0; i < n; ++i)
            if ((text_[pos_ + i] | 0x20) != word[i]) return false;
        return pos_ + n == text_.size() || !IsIdentChar(text_[pos_ + n]);
    }

    ObjectNode ParseObject() {
        ObjectNode node;
        node.props.reserve(8); // most objects have a handful; saves the early regrowths
        SkipBlanks();
        node.line = line_;
        String keyword = Ident(L"'object'");
        if (SameText(keyword, L"inherited") || SameText(keyword, L"inline"))
            Fail(L"'" + keyword + L"' objects are not supported");
        if (!SameText(keyword, L"object")) Fail(L"'object' expected but '" + keyword + L"' found");
        String first = Ident(L"Object name");
        SkipBlanks();
        if (Peek() == ':') {
            ++pos_;
            node.name = first;
            node.className = Ident(L"Class name");
        } else {
            node.className = first; // an object without a name
        }
        for (;;) {
            SkipBlanks();
            if (AtEnd()) FailAt(node.line, L"'end' of object " + node.name + L" missing");
            if (PeekKeyword("end")) {
                pos_ += 3;
                return node;
            }
            if (PeekKeyword("object") || PeekKeyword("inherited") || PeekKeyword("inline")) {
                node.children.push_back(ParseObject());
                continue;
            }
            node.props.push_back(ParseProperty());
        }
    }

    Property ParseProperty() {
        Property p;
        SkipBlanks();
        p.line = line_;
        p.name = QualifiedIdent();
        Expect('=');
        p.value = ParseValue();
        return p;
    }

    Value ParseValue() {
        SkipBlanks();
        Value v;
        v.line = line_;
        char c = Peek();
        if (c == '\'' || c == '#') {
            v.kind = Value::Str;
            v.text = ParseStringExpression();
        } else if (c == '-' || c == '+' || (c >= '0' && c <= '9') || c == '$') {
            ParseNumber(v);
        } else if (IsIdentStart(c)) {
            v.kind = Value::Ident;
            v.text = QualifiedIdent();
        } else if (c == '[') {
            ++pos_;
            v.kind = Value::Set;
            SkipBlanks();
            if (Peek() != ']') {
                for (;;) {
                    v.names.push_back(Ident(L"Set element"));
                    SkipBlanks();
                    if (Peek() == ',') {
                        ++pos_;
                        continue;
                    }
                    break;
                }
            }
            Expect(']');
        } else if (c == '(') {
            ++pos_;
            v.kind = Value::List;
            for (;;) {
                SkipBlanks();
                if (Peek() == ')') break;
                if (AtEnd()) FailAt(v.line, L"')' of the list missing");
                v.items.push_back(ParseValue());
            }
            ++pos_;
        } else if (c == '<') {
            ++pos_;
            v.kind = Value::Collection;
            for (;;) {
                SkipBlanks();
                if (Peek() == '>') break;
                if (!PeekKeyword("item")) Fail(L"'item' or '>' expected but " + Describe() + L" found");
                pos_ += 4;
                PropertyList entry;
                for (;;) {
                    SkipBlanks();
                    if (AtEnd()) FailAt(v.line, L"'end' of the collection item missing");
                    if (PeekKeyword("end")) {
                        pos_ += 3;
                        break;
                    }
                    entry.push_back(ParseProperty());
                }
                v.entries.push_back(std::move(entry));
            }
            ++pos_;
        } else if (c == '{') {
            ++pos_;
            ParseBinary(v);
        } else {
            Fail(L"Value expected but " + Describe() + L" found");
        }
        return v;
    }

    void ParseNumber(Value& v) {
        size_t start = pos_;
        bool negative = false;
        if (Peek() == '-' || Peek() == '+') negative = text_[pos_++] == '-';
        if (Peek() == '$') {
            ++pos_;
            size_t digits = pos_;
            std::uint64_t acc = 0;
            while (IsHex(Peek())) {
                if (acc >> 60) Fail(L"Number too large");
                acc = acc * 16 + static_cast<unsigned>(HexValue(text_[pos_++]));
            }
            if (pos_ == digits) Fail(L"Hex digits expected after '$'");
            // Eight hex digits are a 32-bit pattern ($FFFFFFFF is -1), as descriptions write colours.
            std::int64_t value = static_cast<std::int64_t>(acc);
            if (acc > 0x7FFFFFFFull && acc <= 0xFFFFFFFFull)
                value = static_cast<std::int32_t>(static_cast<std::uint32_t>(acc));
            v.kind = Value::Integer;
            v.integer = negative ? -value : value;
            return;
        }
        size_t digits = pos_;
        std::uint64_t acc = 0;
        while (Peek() >= '0' && Peek() <= '9') {
            if (acc > 922337203685477580ull) Fail(L"Number too large");
            acc = acc * 10 + static_cast<unsigned>(text_[pos_++] - '0');
        }
        if (pos_ == digits) Fail(L"Digits expected");
        if (Peek() == '.' && Peek(1) >= '0' && Peek(1) <= '9') {
            ++pos_;
            while ((Peek() >= '0' && Peek() <= '9') || Peek() == 'e' || Peek() == 'E' ||
                   ((Peek() == '-' || Peek() == '+') && (text_[pos_ - 1] | 0x20) == 'e'))
                ++pos_;
            v.kind = Value::Float;
            v.text = Utf8ToString(text_.substr(start, pos_ - start));
            return;
        }
        v.kind = Value::Integer;
        v.integer = negative ? -static_cast<std::int64_t>(acc) : static_cast<std::int64_t>(acc);
    }

    // 'text' pieces and #13 codes, side by side or joined with '+' (also across lines).
    String ParseStringExpression() {
        String out;
        for (;;) {
            SkipBlanks();
            if (Peek() == '\'') {
                ++pos_;
                std::string piece;
                for (;;) {
                    if (AtEnd() || Peek() == '\n') Fail(L"Unterminated string");
                    char ch = text_[pos_++];
                    if (ch == '\'') {
                        if (Peek() == '\'') {
                            piece += '\'';
                            ++pos_;
                            continue;
                        }
                        break;
                    }
                    piece += ch;
                }
                out += Utf8ToString(piece);
            } else if (Peek() == '#') {
                ++pos_;
                std::uint32_t code = 0;
                size_t digits = pos_;
                if (Peek() == '$') {
                    ++pos_;
                    digits = pos_;
                    while (IsHex(Peek()) && code <= 0x10FFFF)
                        code = code * 16 + static_cast<unsigned>(HexValue(text_[pos_++]));
                } else {
                    while (Peek() >= '0' && Peek() <= '9' && code <= 0x10FFFF)
                        code = code * 10 + static_cast<unsigned>(text_[pos_++] - '0');
                }
                if (pos_ == digits) Fail(L"Character code expected after '#'");
                if (code > 0x10FFFF) Fail(L"Character code out of range");
                if (code >= 0x10000) {
                    code -= 0x10000;
                    out += static_cast<wchar_t>(0xD800 + (code >> 10));
                    out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
                } else {
                    out += static_cast<wchar_t>(code);
                }
            } else {
                Fail(L"String expected but " + Describe() + L" found");
            }
            // Another piece follows directly, or after a '+'.
            size_t save = pos_;
            int saveLine = line_;
            SkipBlanks();
            if (Peek() == '+') {
                ++pos_;
                continue;
            }
            if ((Peek() == '\'' || Peek() == '#') && save == pos_) continue;
            pos_ = save;
            line_ = saveLine;
            return out;
        }
    }

    void ParseBinary(Value& v) {
        SkipBlanks();
        if (PeekKeyword("resource")) {
            pos_ += 8;
            SkipBlanks();
            if (Peek() != '\'') Fail(L"Resource name in quotes expected");
            v.kind = Value::Resource;
            v.text = ParseStringExpression();
            if (v.text.empty()) Fail(L"Empty resource name");
            Expect('}');
            return;
        }
        v.kind = Value::Binary;
        int half = -1;
        for (;;) {
            SkipBlanks();
            if (AtEnd()) FailAt(v.line, L"'}' of the binary value missing");
            char c = Peek();
            if (c == '}') {
                ++pos_;
                break;
            }
            if (!IsHex(c)) Fail(L"Hex digit expected in binary value but " + Describe() + L" found");
            ++pos_;
            if (half < 0) {
                half = HexValue(c);
            } else {
                v.bytes.push_back(static_cast<std::uint8_t>(half * 16 + HexValue(c)));
                half = -1;
            }
        }
        if (half >= 0) FailAt(v.line, L"Odd number of hex digits in binary value");
    }

    std::string_view text_;
    String source_;
    size_t pos_ = 0;
    int line_ = 1;
};

// ---------------------------------------------------------------------------------------------------
// Building: components are made and their properties set in text order; references to other
// components wait until every component exists; fields are bound at the end.

// Where a value goes, as messages name it ("Form1.Edit1.Font.Name"); made into text only for a message,
// since a description sets thousands of values and nearly all of them need none.
struct PropertyPath {
    const String& owner;
    std::wstring_view name = {}; // empty: owner is the whole path
    String Text() const { return name.empty() ? owner : owner + L"." + String(name); }
};

class Builder {
public:
    Builder(TComponent* root, const String& source, const TResourceResolver& resources)
        : root_(root), source_(source), resources_(resources) {}

    void Build(const ObjectNode& rootNode) {
        rootName_ = rootNode.name.empty() ? root_->Name() : rootNode.name;
        root_->SetLoading(true);
        loaded_.push_back(root_);
        try {
            if (!rootNode.name.empty()) SetRootName(rootNode.name, rootNode.line);
            ApplyProperties(root_, rootNode.props, rootName_);
            for (const ObjectNode& child : rootNode.children) BuildChild(child, root_);
            ResolveReferences();
            BindFields();
        } catch (...) {
            FinishLoading();
            throw;
        }
        FinishLoading();
    }

private:
    struct Reference {
        TObject* target;
        const TPropInfo* prop;
        String componentName;
        String path;
        int line;
    };

    [[noreturn]] void Fail(int line, const String& what) const {
        throw EReadError(source_ + L"(" + IntToStr(line) + L"): " + what);
    }

    void SetRootName(const String& name, int line) {
        // A second window of the same class gets a name of its own, as Form2_1.
        String candidate = name;
        TComponent* owner = root_->Owner();
        for (int n = 1; owner && owner->FindComponent(candidate) && owner->FindComponent(candidate) != root_;
             ++n)
            candidate = name + L"_" + IntToStr(n);
        try {
            root_->SetName(candidate);
        } catch (const EComponentError& e) {
            Fail(line, e.Message());
        }
    }

    void BuildChild(const ObjectNode& node, TComponent* enclosing) {
        const TRegisteredClass* cls = FindRegisteredClass(node.className);
        if (!cls || !cls->Create) Fail(node.line, L"Class " + node.className + L" not found");
        TComponent* component = nullptr;
        try {
            component = cls->Create(root_);
        } catch (const Exception& e) {
            Fail(node.line, L"Cannot create " + node.name + L": " + e.Message());
        }
        component->SetLoading(true);
        loaded_.push_back(component);
        if (!node.name.empty()) {
            try {
                component->SetName(node.name);
            } catch (const EComponentError& e) {
                Fail(node.line, e.Message());
            }
        }
        try {
            component->SetParentComponent(enclosing);
        } catch (const Exception& e) {
            Fail(node.line, e.Message());
        }
        String path = rootName_ + L"." + node.name;
        ApplyProperties(component, node.props, path);
        for (const ObjectNode& child : node.children) BuildChild(child, component);
    }

    void ApplyProperties(TObject* target, const PropertyList& props, const String& path) {
        for (const Property& p : props) ApplyProperty(target, p, path);
    }

    void ApplyProperty(TObject* target, const Property& p, const String& path) {
        // Dotted names walk through object properties: Font.Name, Items.Strings, Picture.Data.
        TObject* obj = target;
        const std::wstring_view name = p.name;
        size_t start = 0;
        for (size_t dot; (dot = name.find(L'.', start)) != std::wstring_view::npos; start = dot + 1) {
            const String segment(name.substr(start, dot - start));
            const auto walked = [&] { return PropertyPath{path, name.substr(0, dot)}.Text(); };
            const TPropInfo* info = GetPropInfo(obj, segment);
            if (!info) Fail(p.line, L"Property " + segment + L" not found (" + walked() + L")");
            if (info->Kind != tkClass || !info->GetObj)
                Fail(p.line, L"Property " + segment + L" has no properties of its own (" + walked() + L")");
            obj = info->GetObj(obj);
            if (!obj) Fail(p.line, L"Property " + segment + L" is empty (" + walked() + L")");
        }
        const String segment(name.substr(start));
        const PropertyPath full{path, name};
        if (SameText(segment, L"Strings")) {
            if (auto* strings = dynamic_cast<TStrings*>(obj)) {
                AssignStrings(*strings, p.value, full);
                return;
            }
        }
        const TPropInfo* info = GetPropInfo(obj, segment);
        if (!info) Fail(p.line, L"Property " + segment + L" not found (" + full.Text() + L")");
        AssignValue(obj, *info, p.value, full);
    }

    void AssignStrings(TStrings& strings, const Value& v, const PropertyPath& path) {
        if (v.kind != Value::List) Fail(v.line, L"List of strings expected (" + path.Text() + L")");
        strings.BeginUpdate();
        try {
            strings.Clear();
            for (const Value& item : v.items) {
                if (item.kind != Value::Str)
                    Fail(item.line, L"String expected in the list (" + path.Text() + L")");
                strings.Add(item.text);
            }
        } catch (...) {
            strings.EndUpdate();
            throw;
        }
        strings.EndUpdate();
    }

    static const wchar_t* KindName(Value::Kind k) {
        switch (k) {
        case Value::Integer:
            return L"an integer";
        case Value::Float:
            return L"a floating-point number";
        case Value::Ident:
            return L"an identifier";
        case Value::Str:
            return L"a string";
        case Value::Set:
            return L"a set";
        case Value::List:
            return L"a list";
        case Value::Collection:
            return L"a collection";
        case Value::Binary:
        case Value::Resource:
            return L"binary data";
        }
        return L"a value";
    }

    [[noreturn]] void WrongValue(const Value& v, const wchar_t* expected, const PropertyPath& path) const {
        Fail(v.line,
             String(expected) + L" expected but " + KindName(v.kind) + L" found (" + path.Text() + L")");
    }

    template <class Setter> void Call(int line, const PropertyPath& path, const Setter& set) const {
        // A setter may refuse a value (range checks, duplicate names): say where.
        try {
            set();
        } catch (const EReadError&) {
            throw;
        } catch (const Exception& e) {
            Fail(line, e.Message() + L" (" + path.Text() + L")");
        }
    }

    void AssignValue(TObject* obj, const TPropInfo& info, const Value& v, const PropertyPath& path) {
        if (!info.Writable() && info.Kind != tkClass)
            Fail(v.line, L"Property " + info.Name + L" is read-only (" + path.Text() + L")");
        switch (info.Kind) {
        case tkInteger: {
            std::int64_t n = 0;
            if (v.kind == Value::Integer)
                n = v.integer;
            else if (v.kind == Value::Ident && info.Idents && info.Idents->ToValue(v.text, n)) {
            } else if (v.kind == Value::Ident)
                Fail(v.line, L"Invalid property value " + v.text + L" (" + path.Text() + L")");
            else
                WrongValue(v, L"An integer", path);
            Call(v.line, path, [&] { info.SetOrd(obj, n); });
            return;
        }
        case tkEnumeration: {
            if (v.kind != Value::Ident) WrongValue(v, L"An identifier", path);
            std::int64_t n = 0;
            if (!info.Idents || !info.Idents->ToValue(v.text, n))
                Fail(v.line, L"Invalid property value " + v.text + L" (" + path.Text() + L")");
            Call(v.line, path, [&] { info.SetOrd(obj, n); });
            return;
        }
        case tkSet: {
            if (v.kind != Value::Set) WrongValue(v, L"A set", path);
            std::int64_t bits = 0;
            for (const String& name : v.names) {
                std::int64_t bit = 0;
                if (!info.Idents || !info.Idents->ToValue(name, bit) || bit < 0 || bit > 63)
                    Fail(v.line, L"Invalid set element " + name + L" (" + path.Text() + L")");
                bits |= std::int64_t(1) << bit;
            }
            Call(v.line, path, [&] { info.SetOrd(obj, bits); });
            return;
        }
        case tkString:
            if (v.kind != Value::Str) WrongValue(v, L"A string", path);
            Call(v.line, path, [&] { info.SetStr(obj, v.text); });
            return;
        case tkClass:
            AssignObject(obj, info, v, path);
            return;
        case tkBinary: {
            std::vector<std::uint8_t> bytes;
            if (v.kind == Value::Binary) {
                bytes = v.bytes;
            } else if (v.kind == Value::Resource) {
                if (!resources_ || !resources_(v.text, bytes))
                    Fail(v.line, L"Resource '" + v.text + L"' not found (" + path.Text() + L")");
            } else {
                WrongValue(v, L"Binary data", path);
            }
            TMemoryStream stream;
            if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
            stream.SetPosition(0);
            Call(v.line, path, [&] { info.ReadData(obj, stream); });
            return;
        }
        case tkMethod: {
            if (v.kind != Value::Ident) WrongValue(v, L"A handler name", path);
            const TMethod* method = root_->FindHandler(v.text);
            if (!method) Fail(v.line, L"Handler '" + v.text + L"' not found (" + path.Text() + L")");
            if (!info.SetMethod(obj, *method))
                Fail(v.line, L"Handler '" + v.text + L"' is " + method->Signature() + L" but " + path.Text() +
                                 L" takes " + info.MethodSignature);
            return;
        }
        default:
            Fail(v.line, L"Property " + info.Name + L" cannot be read (" + path.Text() + L")");
        }
    }

    void AssignObject(TObject* obj, const TPropInfo& info, const Value& v, const PropertyPath& path) {
        if (v.kind == Value::Ident) {
            if (!info.SetObj)
                Fail(v.line, L"Property " + info.Name + L" is read-only (" + path.Text() + L")");
            if (SameText(v.text, L"nil")) {
                info.SetObj(obj, nullptr);
                return;
            }
            references_.push_back(Reference{obj, &info, v.text, path.Text(), v.line});
            return;
        }
        TObject* sub = info.GetObj ? info.GetObj(obj) : nullptr;
        if (v.kind == Value::List) {
            auto* strings = dynamic_cast<TStrings*>(sub);
            if (!strings) Fail(v.line, L"Property " + info.Name + L" takes no list (" + path.Text() + L")");
            AssignStrings(*strings, v, path);
            return;
        }
        if (v.kind == Value::Collection) {
            auto* collection = dynamic_cast<TCollection*>(sub);
            if (!collection)
                Fail(v.line, L"Property " + info.Name + L" is not a collection (" + path.Text() + L")");
            collection->BeginUpdate();
            try {
                collection->Clear();
                for (size_t i = 0; i < v.entries.size(); ++i) {
                    TCollectionItem* item = collection->Add();
                    ApplyProperties(item, v.entries[i],
                                    path.Text() + L"[" + IntToStr(static_cast<long long>(i)) + L"]");
                }
            } catch (...) {
                collection->EndUpdate();
                throw;
            }
            collection->EndUpdate();
            return;
        }
        WrongValue(v, L"A component name", path);
    }

    void ResolveReferences() {
        for (const Reference& r : references_) {
            TComponent* target =
                SameText(r.componentName, root_->Name()) || SameText(r.componentName, rootName_)
                    ? root_
                    : root_->FindComponent(r.componentName);
            if (!target) Fail(r.line, L"Component '" + r.componentName + L"' not found (" + r.path + L")");
            bool ok = false;
            Call(r.line, PropertyPath{r.path}, [&] { ok = r.prop->SetObj(r.target, target); });
            if (!ok)
                Fail(r.line, L"Property " + r.prop->Name + L" takes a " + r.prop->ObjClassName +
                                 L", not the " + target->ClassName() + L" " + r.componentName + L" (" +
                                 r.path + L")");
        }
    }

    void BindFields() {
        for (size_t i = 1; i < loaded_.size(); ++i) {
            TComponent* c = loaded_[i];
            if (c->Name().empty()) continue;
            const TComponent::TFieldBinding* field = root_->FindFieldBinding(c->Name());
            if (field && !field->Assign(c))
                throw EReadError(source_ + L": Field " + c->Name() + L" of " + root_->ClassName() +
                                 L" is a " + field->ClassName + L" but the description makes it a " +
                                 c->ClassName());
        }
    }

    void FinishLoading() {
        // Loaded runs for the root first, then for the components in the order they were read.
        for (TComponent* c : loaded_) {
            try {
                c->SetLoading(false);
            } catch (...) {
                ReportCurrentException(c);
            }
        }
        loaded_.clear();
    }

    TComponent* root_;
    String source_;
    const TResourceResolver& resources_;
    String rootName_;
    std::vector<TComponent*> loaded_;
    std::vector<Reference> references_;
};

} // namespace

void ReadComponentText(TComponent* root, std::string_view utf8, const String& sourceName,
                       const TResourceResolver& resources) {
    if (!root) throw EReadError(L"No component to read into");
    EnsureStandardClasses();
    String source = sourceName.empty() ? String(L"description") : sourceName;
    ObjectNode tree = Parser(utf8, source).ParseRoot();
    Builder(root, source, resources).Build(tree);
}

void ReadComponentResource(TComponent* root, const String& resourceName, HINSTANCE instance) {
    TResourceStream stream(instance, resourceName);
    std::string_view text(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
    ReadComponentText(root, text, resourceName, ModuleResources(instance));
}
