#pragma once
// Skin store: a non-visual component that keeps several skin archives in the form, one per
// item, so that a program can switch skins without files.

#include <framework/classes.h>
#include <framework/typinfo.h>

#include <memory>

class TSkinCollection;

class TSkinCollectionItem : public TCollectionItem {
    DECLARE_PUBLISHED
public:
    explicit TSkinCollectionItem(TCollection* Collection);
    ~TSkinCollectionItem() override;

    // "SkinItem" + ID until a name is given.
    String Name() const;
    // Names are unique within the collection (exact comparison); a taken name raises
    // Exception "The name <value> is already used." and the old name stays.
    void SetName(const String& value);
    // Reads "Load Skin", the designer's row for loading a skin; writing it does nothing.
    String SkinData() const { return L"Load Skin"; }
    void SetSkinData(const String&) {}
    int DataSize() const;

    // The skin archive as stored: the decompressed size, then the compressed image.
    TMemoryStream* DataStream() const { return FData.get(); }
    // Appends the whole archive to stream; the archive's own position is kept.
    void CopyDataTo(TStream& stream) const;

    // Another item: its name (unchecked) and a copy of its data. Anything else: EConvertError.
    void Assign(const TPersistent* Source) override;
    String DisplayName() const override { return Name(); }

    // The binary property DataStream of the form description.
    void ReadDataStream(TStream& stream);
    void WriteDataStream(TStream& stream) const;

private:
    String FName;
    bool FNamed = false;
    std::unique_ptr<TMemoryStream> FData;
};

class TSkinCollection : public TCollectionOf<TSkinCollectionItem> {
public:
    explicit TSkinCollection(TPersistent* Owner) : TCollectionOf<TSkinCollectionItem>(Owner) {}
};

class TSkinStore : public TComponent {
    DECLARE_PUBLISHED
public:
    explicit TSkinStore(TComponent* AOwner);
    ~TSkinStore() override;

    TSkinCollection* Store() const { return FStore.get(); }
    // Copies the items of value into this store's collection; nullptr is ignored.
    void SetStore(const TSkinCollection* value);

private:
    std::unique_ptr<TSkinCollection> FStore;
};
