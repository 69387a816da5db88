#include <gtest/gtest.h>

#include <framework/classes.h>
#include <framework/graphics.h>

#include "skin_controls/WinSubClass.h"

namespace {

// A control-like object with one property of each kind the skinners read and write.
enum TLayout { blGlyphLeft, blGlyphRight };
const TIdentMap LayoutIdents{{L"blGlyphLeft", blGlyphLeft}, {L"blGlyphRight", blGlyphRight}};

class TSample : public TComponent {
    DECLARE_PUBLISHED
public:
    using TComponent::TComponent;
    int NumGlyphs = 1;
    TLayout Layout = blGlyphLeft;
    bool Flat = false;
    String Caption = L"OK";
    TFont Font;
};

const TClassInfo* TSample::StaticClassInfo() {
    static const TClassInfo info(
        L"TSample", TComponent::StaticClassInfo(),
        {
            IntProp<TSample>(
                L"NumGlyphs", [](TSample* s) { return s->NumGlyphs; },
                [](TSample* s, int v) { s->NumGlyphs = v; }),
            EnumProp<TSample>(
                L"Layout", [](TSample* s) { return s->Layout; }, [](TSample* s, TLayout v) { s->Layout = v; },
                LayoutIdents),
            BoolProp<TSample>(
                L"Flat", [](TSample* s) { return s->Flat; }, [](TSample* s, bool v) { s->Flat = v; }),
            StrProp<TSample>(
                L"Caption", [](TSample* s) { return s->Caption; }, nullptr),
            ObjProp<TSample>(L"Font", [](TSample* s) { return &s->Font; }),
        });
    return &info;
}

TEST(SkinProperties, ReadByName) {
    TSample s(nullptr);
    s.NumGlyphs = 4;
    EXPECT_EQ(GetOrdPropByName(&s, L"numglyphs"), 4);
    EXPECT_EQ(GetOrdPropByName(&s, L"Layout"), 0); // an enumeration is no integer
    EXPECT_EQ(GetOrdPropByName(&s, L"Missing"), 0);
    EXPECT_EQ(GetOrdPropByName(nullptr, L"NumGlyphs"), 0);
    EXPECT_EQ(GetEnumPropName(&s, L"Flat"), L"False");
    EXPECT_EQ(GetEnumPropName(&s, L"Layout"), L"blGlyphLeft");
    EXPECT_EQ(GetEnumPropName(&s, L"NumGlyphs"), L"");
    EXPECT_EQ(GetPropAsWideString(&s, L"Caption"), L"OK");
    EXPECT_EQ(GetPropAsWideString(&s, L"Font"), L"");
    EXPECT_EQ(GetObjectPropByName<TFont>(&s, L"Font"), &s.Font);
    EXPECT_EQ(GetObjectPropByName<TBitmap>(&s, L"Font"), nullptr);
    EXPECT_EQ(GetObjectPropByName(&s, L"Caption"), nullptr);
}

TEST(SkinProperties, WriteFromText) {
    TSample s(nullptr);
    SetPropFromText(&s, L"Flat", L"True");
    EXPECT_TRUE(s.Flat);
    SetPropFromText(&s, L"Layout", L"blglyphright");
    EXPECT_EQ(s.Layout, blGlyphRight);
    SetPropFromText(&s, L"Layout", L"blNowhere"); // no such value: unchanged
    EXPECT_EQ(s.Layout, blGlyphRight);
    SetPropFromText(&s, L"NumGlyphs", L"2");
    EXPECT_EQ(s.NumGlyphs, 2);
    EXPECT_THROW(SetPropFromText(&s, L"NumGlyphs", L"two"), EConvertError);
    SetPropFromText(&s, L"Caption", L"Cancel"); // other kinds are left alone
    EXPECT_EQ(s.Caption, L"OK");
    SetPropFromText(&s, L"Missing", L"1");
    SetPropFromText(nullptr, L"Flat", L"True");
}

} // namespace
