// PLACEHOLDER, to be replaced by the skin engine's TSkinData and TSkinStore: the main window's
// form names the components sd1 and skinstore1 and the "Stype" menu items call LoadFromSkinStore;
// until the skin engine exists these keep the form loading and the calls doing nothing visible.
#pragma once

#include <framework/typinfo.h>

class TSkinStore : public TComponent {
    DECLARE_PUBLISHED
public:
    using TComponent::TComponent;
};

class TSkinData : public TComponent {
    DECLARE_PUBLISHED
public:
    using TComponent::TComponent;
    bool Active() const { return active_; }
    void SetActive(bool active) { active_ = active; }
    // The index of the store item asked for last, -1 before any.
    int LoadedStoreIndex() const { return loadedStoreIndex_; }
    void LoadFromSkinStore(TSkinStore* store, int index);

private:
    bool active_ = false;
    int loadedStoreIndex_ = -1;
};
