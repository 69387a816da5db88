#include "skin_data/WinSkinStore.h"

#include <framework/sysutils.h>

TSkinCollectionItem::TSkinCollectionItem(TCollection* Collection)
    : TCollectionItem(Collection), FData(std::make_unique<TMemoryStream>()) {}

TSkinCollectionItem::~TSkinCollectionItem() = default;

const TClassInfo* TSkinCollectionItem::StaticClassInfo() {
    static const TClassInfo info(
        L"TSkinCollectionItem", TCollectionItem::StaticClassInfo(),
        {
            StrProp<TSkinCollectionItem>(L"Name", &TSkinCollectionItem::Name, &TSkinCollectionItem::SetName),
            StrProp<TSkinCollectionItem>(L"SkinData", &TSkinCollectionItem::SkinData,
                                         &TSkinCollectionItem::SetSkinData),
            IntProp<TSkinCollectionItem>(L"DataSize", &TSkinCollectionItem::DataSize, nullptr),
            BinaryProp<TSkinCollectionItem>(L"DataStream", &TSkinCollectionItem::ReadDataStream,
                                            &TSkinCollectionItem::WriteDataStream),
        });
    return &info;
}

String TSkinCollectionItem::Name() const {
    return FNamed ? FName : L"SkinItem" + IntToStr(ID());
}

void TSkinCollectionItem::SetName(const String& value) {
    if (value == Name()) return;
    if (TCollection* owner = Collection()) {
        for (int i = 0; i < owner->Count(); ++i) {
            const auto* other = static_cast<const TSkinCollectionItem*>(owner->Items(i));
            if (other != this && other->Name() == value)
                throw Exception(L"The name " + value + L" is already used.");
        }
    }
    FName = value;
    FNamed = true;
}

int TSkinCollectionItem::DataSize() const {
    return static_cast<int>(FData->Size());
}

void TSkinCollectionItem::CopyDataTo(TStream& stream) const {
    struct TKeepPosition {
        TMemoryStream& data;
        std::int64_t position;
        ~TKeepPosition() { data.SetPosition(position); }
    } keep{*FData, FData->Position()};
    FData->SetPosition(0);
    stream.CopyFrom(*FData, FData->Size());
}

void TSkinCollectionItem::Assign(const TPersistent* Source) {
    if (const auto* other = dynamic_cast<const TSkinCollectionItem*>(Source)) {
        if (other == this) return;
        FName = other->Name();
        FNamed = true;
        FData->Clear();
        other->CopyDataTo(*FData);
        FData->SetPosition(0);
        return;
    }
    TCollectionItem::Assign(Source);
}

void TSkinCollectionItem::ReadDataStream(TStream& stream) {
    FData->Clear();
    FData->CopyFrom(stream, 0);
    FData->SetPosition(0);
}

void TSkinCollectionItem::WriteDataStream(TStream& stream) const {
    if (FData->Size() > 0) stream.WriteBuffer(FData->Memory(), FData->Size());
}

TSkinStore::TSkinStore(TComponent* AOwner)
    : TComponent(AOwner), FStore(std::make_unique<TSkinCollection>(this)) {}

TSkinStore::~TSkinStore() = default;

const TClassInfo* TSkinStore::StaticClassInfo() {
    static const TClassInfo info(L"TSkinStore", TComponent::StaticClassInfo(),
                                 {
                                     ObjProp<TSkinStore>(L"Store", &TSkinStore::Store),
                                 });
    return &info;
}

void TSkinStore::SetStore(const TSkinCollection* value) {
    if (value) FStore->Assign(value);
}
