#include <framework/formreader.h>
#include "formreader_parse.h"
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

namespace {

using formtext::ObjectNode;
using formtext::Property;
using formtext::PropertyList;
using formtext::Value;

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
    ObjectNode tree = formtext::ParseDescription(utf8, source);
    Builder(root, source, resources).Build(tree);
}

void ReadComponentResource(TComponent* root, const String& resourceName, HINSTANCE instance) {
    TResourceStream stream(instance, resourceName);
    std::string_view text(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
    ReadComponentText(root, text, resourceName, ModuleResources(instance));
}
