// PLACEHOLDER for the skin engine's components; see skin_placeholder.h.
#include "skin_placeholder.h"

const TClassInfo* TSkinStore::StaticClassInfo() {
    static const TClassInfo info(L"TSkinStore", TComponent::StaticClassInfo(), {});
    return &info;
}

const TClassInfo* TSkinData::StaticClassInfo() {
    static const TClassInfo info(L"TSkinData", TComponent::StaticClassInfo(),
                                 {BoolProp<TSkinData>(L"Active", &TSkinData::Active, &TSkinData::SetActive)});
    return &info;
}

void TSkinData::LoadFromSkinStore(TSkinStore*, int index) {
    loadedStoreIndex_ = index;
}
