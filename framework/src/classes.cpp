#include <framework/classes.h>
#include <framework/sysutils.h>

#include <cxxabi.h>

#include <algorithm>
#include <cstdlib>

// ---------------------------------------------------------------------------------------------------
// TPersistent

void TPersistent::Assign(const TPersistent* Source) {
    if (Source) {
        Source->AssignTo(this);
        return;
    }
    throw EConvertError(L"Cannot assign a nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent* Dest) const {
    throw EConvertError(L"Cannot assign a " + ClassName() + L" to a " + Dest->ClassName());
}

String ReadableSignature(const char* mangledTypeName) {
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangledTypeName, nullptr, nullptr, &status);
    std::string s = status == 0 && demangled ? demangled : mangledTypeName;
    std::free(demangled);
    const std::string prefix = "std::function<";
    if (s.rfind(prefix, 0) == 0 && !s.empty() && s.back() == '>')
        s = s.substr(prefix.size(), s.size() - prefix.size() - 1);
    s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
    return String(s.begin(), s.end());
}

// ---------------------------------------------------------------------------------------------------
// TComponent

struct TComponent::Bindings {
    std::map<String, TFieldBinding> fields; // keys in upper case
    std::map<String, TMethod> handlers;
};

namespace {
bool IsValidIdent(const String& s) {
    if (s.empty()) return false;
    auto alpha = [](wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_'; };
    if (!alpha(s[0])) return false;
    return std::all_of(s.begin() + 1, s.end(),
                       [&](wchar_t c) { return alpha(c) || (c >= L'0' && c <= L'9'); });
}
} // namespace

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    state_.Include(csDestroying);
    // Those that asked to hear of our end forget us now.
    std::vector<TComponent*> notifies;
    notifies.swap(freeNotifies_);
    for (TComponent* c : notifies) {
        auto& theirs = c->freeNotifies_;
        theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
        try {
            c->Notification(this, opRemove);
        } catch (...) {
            ReportCurrentException(c);
        }
    }
    DestroyComponents();
    DetachFromOwner();
}

void TComponent::operator delete(TComponent* p, std::destroying_delete_t) {
    if (!p->state_.Contains(csDestroying)) {
        p->state_.Include(csDestroying);
        try {
            p->BeforeDestruction();
        } catch (...) {
            ReportCurrentException(p);
        }
    }
    void* memory = dynamic_cast<void*>(p);
    p->~TComponent();
    ::operator delete(memory);
}

void TComponent::BeforeDestruction() {
    // Owned components go while their owner is still whole, so that anything they call back finds it.
    DestroyComponents();
}

void TComponent::DetachFromOwner() {
    TComponent* owner = owner_;
    if (!owner) return;
    auto& list = owner->components_;
    auto it = std::find_if(list.begin(), list.end(), [this](const auto& p) { return p.get() == this; });
    if (it != list.end()) {
        it->release();
        list.erase(it);
    }
    owner_ = nullptr;
    if (!owner->IsDestroying()) {
        try {
            owner->Notification(this, opRemove);
        } catch (...) {
            ReportCurrentException(owner);
        }
    }
}

void TComponent::SetName(const String& NewName) {
    if (NewName == name_) return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError(L"'" + NewName + L"' is not a valid component name");
    if (owner_ && !NewName.empty()) {
        TComponent* other = owner_->FindComponent(NewName);
        if (other && other != this)
            throw EComponentError(L"A component named " + NewName + L" already exists");
    }
    name_ = NewName;
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount())
        throw EListError(L"List index out of bounds (" + IntToStr(index) + L")");
    return components_[static_cast<size_t>(index)].get();
}

int TComponent::ComponentIndex() const {
    if (!owner_) return -1;
    const auto& list = owner_->components_;
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].get() == this) return static_cast<int>(i);
    return -1;
}

TComponent* TComponent::FindComponent(const String& name) const {
    if (name.empty()) return nullptr;
    for (const auto& c : components_)
        if (SameText(c->name_, name)) return c.get();
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
    if (!component || component->owner_ == this) return;
    if (!component->name_.empty() && FindComponent(component->name_))
        throw EComponentError(L"A component named " + component->name_ + L" already exists");
    if (component->owner_) component->owner_->RemoveComponent(component);
    components_.emplace_back(component);
    component->owner_ = this;
}

void TComponent::RemoveComponent(TComponent* component) {
    if (component && component->owner_ == this) component->DetachFromOwner();
}

void TComponent::DestroyComponents() {
    // Last created first; each takes itself out of the list as it goes.
    while (!components_.empty()) {
        TComponent* last = components_.back().get();
        delete last;
    }
}

void TComponent::SetComponentState(TComponentStateFlag flag, bool on) {
    if (on)
        state_.Include(flag);
    else
        state_.Exclude(flag);
}

void TComponent::SetLoading(bool loading) {
    bool was = IsLoading();
    SetComponentState(csLoading, loading);
    SetComponentState(csReading, loading);
    if (was && !loading) Loaded();
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    auto add = [](std::vector<TComponent*>& list, TComponent* c) {
        if (std::find(list.begin(), list.end(), c) == list.end()) list.push_back(c);
    };
    add(freeNotifies_, component);
    add(component->freeNotifies_, this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (!component) return;
    auto& mine = freeNotifies_;
    mine.erase(std::remove(mine.begin(), mine.end(), component), mine.end());
    auto& theirs = component->freeNotifies_;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::Loaded() {}

void TComponent::SetParentComponent(TComponent*) {}

const TMethod* TComponent::FindHandler(const String& name) const {
    if (!bindings_) return nullptr;
    auto it = bindings_->handlers.find(UpperCase(name));
    return it == bindings_->handlers.end() ? nullptr : &it->second;
}

const TComponent::TFieldBinding* TComponent::FindFieldBinding(const String& name) const {
    if (!bindings_) return nullptr;
    auto it = bindings_->fields.find(UpperCase(name));
    return it == bindings_->fields.end() ? nullptr : &it->second;
}

void TComponent::AddHandler(TMethod method) {
    if (!bindings_) bindings_ = std::make_unique<Bindings>();
    String key = UpperCase(method.Name);
    bindings_->handlers[key] = std::move(method);
}

void TComponent::AddFieldBinding(const String& name, TFieldBinding binding) {
    if (!bindings_) bindings_ = std::make_unique<Bindings>();
    bindings_->fields[UpperCase(name)] = std::move(binding);
}
