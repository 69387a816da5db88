#include "fixtures.h"

#include <framework/formreader.h>

std::vector<String>& TLoggedComponent::Log() {
    static std::vector<String> log;
    return log;
}

const TClassInfo* TLoggedComponent::StaticClassInfo() {
    static const TClassInfo info(
        L"TLoggedComponent", TComponent::StaticClassInfo(),
        {
            StrProp<TLoggedComponent>(L"Name", &TLoggedComponent::Name, &TLoggedComponent::SetName),
            IntProp<TLoggedComponent>(L"Level", &TLoggedComponent::Level, &TLoggedComponent::SetLevel),
        });
    return &info;
}

TLoggedComponent::~TLoggedComponent() {
    Log().push_back(Name() + L" gone");
}

void TLoggedComponent::BeforeDestruction() {
    // Virtual calls still reach this class here; ClassName() names the whole object.
    Log().push_back(Name() + L" before " + ClassName());
    TComponent::BeforeDestruction();
}

const TClassInfo* TSampleEntry::StaticClassInfo() {
    static const TClassInfo info(
        L"TSampleEntry", TCollectionItem::StaticClassInfo(),
        {
            StrProp<TSampleEntry>(L"Text", &TSampleEntry::Text, &TSampleEntry::SetText),
            IntProp<TSampleEntry>(L"Width", &TSampleEntry::Width, &TSampleEntry::SetWidth),
        });
    return &info;
}

void TSampleEntry::Assign(const TPersistent* source) {
    if (auto* e = dynamic_cast<const TSampleEntry*>(source)) {
        text_ = e->text_;
        width_ = e->width_;
        return;
    }
    TCollectionItem::Assign(source);
}

static const TIdentMap ShadeIdents{{L"shLight", shLight}, {L"shMedium", shMedium}, {L"shDark", shDark}};
static const TIdentMap EdgeIdents{
    {L"egLeft", egLeft}, {L"egTop", egTop}, {L"egRight", egRight}, {L"egBottom", egBottom}};

const TClassInfo* TSampleBox::StaticClassInfo() {
    static const TClassInfo info(
        L"TSampleBox", TWinControl::StaticClassInfo(),
        {
            StrProp<TSampleBox>(L"Caption", &TSampleBox::Caption, &TSampleBox::SetCaption),
            IntProp<TSampleBox>(L"Count", &TSampleBox::Count, &TSampleBox::SetCount),
            BoolProp<TSampleBox>(L"Checked", &TSampleBox::Checked, &TSampleBox::SetChecked),
            EnumProp<TSampleBox>(L"Shade", &TSampleBox::Shade, &TSampleBox::SetShade, ShadeIdents),
            SetProp<TSampleBox>(L"Edges", &TSampleBox::Edges, &TSampleBox::SetEdges, EdgeIdents),
            ObjProp<TSampleBox>(L"Items", &TSampleBox::Items),
            ObjProp<TSampleBox>(L"Entries", &TSampleBox::Entries),
            BinaryProp<TSampleBox>(L"Data", &TSampleBox::ReadData, nullptr),
            RefProp<TSampleBox, TSampleBox>(L"Buddy", &TSampleBox::Buddy, &TSampleBox::SetBuddy),
            IntProp<TSampleBox>(L"ReadOnlyWidth", &TSampleBox::Width, nullptr),
            EventProp<TSampleBox>(L"OnClick", &TSampleBox::OnClick),
            EventProp<TSampleBox>(L"OnChange", &TSampleBox::OnChange),
            EventProp<TSampleBox>(L"OnCount", &TSampleBox::OnCount),
        });
    return &info;
}

TSampleBox::TSampleBox(TComponent* owner) : TWinControl(owner) {
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls, csClickEvents});
    SetBounds(0, 0, 60, 30);
}

void TSampleBox::ReadData(TStream& s) {
    data_.resize(static_cast<size_t>(s.Size()));
    if (!data_.empty()) s.ReadBuffer(data_.data(), static_cast<std::int64_t>(data_.size()));
}

void TSampleBox::Loaded() {
    TWinControl::Loaded();
    ++loadedCalls_;
}

const TClassInfo* TSampleBoxPlus::StaticClassInfo() {
    static const TClassInfo info(
        L"TSampleBoxPlus", TSampleBox::StaticClassInfo(),
        {
            StrProp<TSampleBoxPlus>(L"Extra", &TSampleBoxPlus::Extra, &TSampleBoxPlus::SetExtra),
            IntProp<TSampleBoxPlus>(L"Count", &TSampleBoxPlus::Count, nullptr),
        });
    return &info;
}

const TClassInfo* TSampleMark::StaticClassInfo() {
    static const TClassInfo info(
        L"TSampleMark", TGraphicControl::StaticClassInfo(),
        {
            StrProp<TSampleMark>(L"Caption", &TSampleMark::Caption, &TSampleMark::SetCaption),
            EventProp<TSampleMark>(L"OnClick", &TSampleMark::OnClick),
        });
    return &info;
}

void TSampleMark::Paint(HDC dc) {
    ++Paints;
    RECT r = ClientRect();
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void RegisterSampleClasses() {
    RegisterClasses<TLoggedComponent, TSampleBox, TSampleBoxPlus, TSampleMark>();
}

ReportRecorder::ReportRecorder() {
    previous_ = Application->SetExceptionReporter([this](const String& text) { Texts.push_back(text); });
}

ReportRecorder::~ReportRecorder() {
    Application->SetExceptionReporter(previous_);
}
