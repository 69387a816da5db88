#include <framework/classes.h>
#include <framework/sysutils.h>

#include <algorithm>

int TCollectionItem::Index() const {
    return collection_ ? collection_->IndexOf(this) : -1;
}

void TCollectionItem::SetIndex(int index) {
    if (collection_) collection_->Move(Index(), index);
}

void TCollectionItem::Changed(bool allItems) {
    if (collection_) collection_->Changed(allItems ? nullptr : this);
}

TCollection::TCollection(TPersistent* Owner, ItemFactory factory)
    : owner_(Owner), factory_(std::move(factory)) {}

TCollection::~TCollection() {
    updateCount_ = 1; // no updates while the items go
    items_.clear();
}

TCollectionItem* TCollection::Add() {
    return Insert(Count());
}

TCollectionItem* TCollection::Insert(int index) {
    if (index < 0 || index > Count())
        throw EListError(L"List index out of bounds (" + IntToStr(index) + L")");
    std::unique_ptr<TCollectionItem> item = factory_(this);
    item->collection_ = this;
    item->id_ = nextId_++;
    TCollectionItem* raw = item.get();
    items_.insert(items_.begin() + index, std::move(item));
    Changed(nullptr);
    return raw;
}

void TCollection::Delete(int index) {
    if (index < 0 || index >= Count())
        throw EListError(L"List index out of bounds (" + IntToStr(index) + L")");
    items_.erase(items_.begin() + index);
    Changed(nullptr);
}

void TCollection::Clear() {
    if (items_.empty()) return;
    items_.clear();
    Changed(nullptr);
}

TCollectionItem* TCollection::Items(int index) const {
    if (index < 0 || index >= Count())
        throw EListError(L"List index out of bounds (" + IntToStr(index) + L")");
    return items_[static_cast<size_t>(index)].get();
}

TCollectionItem* TCollection::FindItemID(int id) const {
    for (const auto& item : items_)
        if (item->id_ == id) return item.get();
    return nullptr;
}

int TCollection::IndexOf(const TCollectionItem* item) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == item) return static_cast<int>(i);
    return -1;
}

void TCollection::Move(int from, int to) {
    if (from < 0 || from >= Count()) throw EListError(L"List index out of bounds (" + IntToStr(from) + L")");
    to = std::clamp(to, 0, Count() - 1);
    if (from == to) return;
    auto item = std::move(items_[static_cast<size_t>(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(item));
    Changed(nullptr);
}

void TCollection::BeginUpdate() {
    ++updateCount_;
}

void TCollection::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) Changed(nullptr);
}

void TCollection::Assign(const TPersistent* Source) {
    auto* other = dynamic_cast<const TCollection*>(Source);
    if (!other) {
        TPersistent::Assign(Source);
        return;
    }
    if (other == this) return;
    BeginUpdate();
    try {
        items_.clear();
        for (const auto& item : other->items_) Add()->Assign(item.get());
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::Update(TCollectionItem* item) {
    if (OnUpdate) OnUpdate(item);
}

void TCollection::Changed(TCollectionItem* item) {
    if (updateCount_ == 0) Update(item);
}
