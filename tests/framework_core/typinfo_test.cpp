#include "fixtures.h"

#include <framework/sysutils.h>

#include <gtest/gtest.h>

namespace {

TEST(PropertyLookup, FindsByNameIgnoringCaseAcrossBaseClasses) {
    TSampleBoxPlus box(nullptr);
    struct Case {
        const wchar_t* name;
        TTypeKind kind;
    } cases[] = {
        {L"Extra", tkString},        // the class's own table
        {L"shade", tkEnumeration},   // the base's
        {L"TABSTOP", tkEnumeration}, // TWinControl's
        {L"Left", tkInteger},        // TControl's
        {L"Font", tkClass},          {L"Edges", tkSet},   {L"Data", tkBinary},
        {L"OnClick", tkMethod},      {L"Tag", tkInteger},
    };
    for (const auto& c : cases) {
        const TPropInfo* p = GetPropInfo(&box, c.name);
        ASSERT_NE(p, nullptr) << StringToUtf8(c.name);
        EXPECT_EQ(p->Kind, c.kind) << StringToUtf8(c.name);
        EXPECT_TRUE(IsPublishedProp(&box, c.name));
    }
    EXPECT_EQ(GetPropInfo(&box, L"NoSuchThing"), nullptr);
    EXPECT_EQ(GetPropInfo(nullptr, L"Left"), nullptr);
    // The derived class published Count again, read-only: its entry wins.
    EXPECT_FALSE(GetPropInfo(&box, L"Count")->Writable());
    EXPECT_THROW(SetOrdProp(&box, L"Count", 3), EPropertyError);
    EXPECT_EQ(box.ClassName(), L"TSampleBoxPlus");
    EXPECT_EQ(box.ClassInfo()->Parent()->Name(), L"TSampleBox");
}

TEST(PropertyAccess, ReadsAndWritesEachKindByName) {
    TSampleBox box(nullptr);
    SetOrdProp(&box, L"Count", 12);
    EXPECT_EQ(box.Count(), 12);
    EXPECT_EQ(GetOrdProp(&box, L"count"), 12);

    EXPECT_EQ(GetEnumProp(&box, L"Checked"), L"False");
    SetEnumProp(&box, L"Checked", L"true");
    EXPECT_TRUE(box.Checked());
    SetEnumProp(&box, L"Shade", L"shDark");
    EXPECT_EQ(box.Shade(), shDark);
    EXPECT_EQ(GetEnumProp(&box, L"Shade"), L"shDark");

    SetSetProp(&box, L"Edges", L"[egTop, egBottom]");
    EXPECT_TRUE(box.Edges().Contains(egBottom));
    EXPECT_FALSE(box.Edges().Contains(egLeft));
    EXPECT_EQ(GetSetProp(&box, L"Edges"), L"[egTop,egBottom]");

    SetStrProp(&box, L"Caption", L"Set");
    EXPECT_EQ(GetStrProp(&box, L"Caption"), L"Set");
    EXPECT_EQ(box.Text(), L"Set"); // one text for Caption and Text

    auto* font = dynamic_cast<TFont*>(GetObjectProp(&box, L"Font"));
    ASSERT_EQ(font, box.Font());
    SetStrProp(font, L"Name", L"Arial");
    EXPECT_EQ(box.Font()->Name(), L"Arial");

    SetPropValue(&box, L"Color", L"clWindow");
    EXPECT_EQ(box.Color(), clWindow);
    EXPECT_EQ(GetPropValue(&box, L"Left"), L"0");
    SetPropValue(&box, L"Left", L"$10");
    EXPECT_EQ(box.Left(), 16);
}

TEST(PropertyAccess, WrongNamesKindsAndValuesAreErrors) {
    TSampleBox box(nullptr);
    EXPECT_THROW(GetOrdProp(&box, L"Nope"), EPropertyError);
    EXPECT_THROW(GetOrdProp(&box, L"Caption"), EPropertyConvertError);
    EXPECT_THROW(GetStrProp(&box, L"Count"), EPropertyConvertError);
    EXPECT_THROW(SetEnumProp(&box, L"Shade", L"shPurple"), EPropertyConvertError);
    EXPECT_THROW(SetSetProp(&box, L"Edges", L"[egTop, egMiddle]"), EPropertyConvertError);
    EXPECT_THROW(SetOrdProp(&box, L"ReadOnlyWidth", 5), EPropertyError);
    EXPECT_THROW(SetPropValue(&box, L"Count", L"many"), EPropertyConvertError);
    TForm form(nullptr);
    EXPECT_THROW(SetObjectProp(&box, L"Buddy", &form), EPropertyConvertError);
    TSampleBox other(nullptr);
    SetObjectProp(&box, L"Buddy", &other);
    EXPECT_EQ(box.Buddy(), &other);
}

TEST(PropertyAccess, EventsTakeOnlyHandlersOfTheirOwnSignature) {
    TSampleBox box(nullptr);
    int clicks = 0;
    TMethod click = MakeMethod(L"BoxClick", [&](TObject*) { ++clicks; });
    TMethod count = MakeMethod(L"BoxCount", [](TObject*, int& n) { n = 5; });
    SetMethodProp(&box, L"OnClick", click);
    box.Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_THROW(SetMethodProp(&box, L"OnClick", count), EPropertyConvertError);
    SetMethodProp(&box, L"OnCount", count);
    int n = 0;
    box.OnCount(&box, n);
    EXPECT_EQ(n, 5);
}

TEST(PropertyTables, FormPublishesItsOwnAndItsBasesProperties) {
    TForm form(nullptr);
    for (const wchar_t* name : {L"Caption", L"Position", L"BorderIcons", L"ClientWidth", L"OnCreate",
                                L"OnClose", L"Visible", L"Font", L"Left", L"TabStop"})
        EXPECT_TRUE(IsPublishedProp(&form, name)) << StringToUtf8(name);
    SetSetProp(&form, L"BorderIcons", L"[biSystemMenu,biMinimize]");
    EXPECT_EQ(form.BorderIcons(), (TBorderIcons{biSystemMenu, biMinimize}));
    SetEnumProp(&form, L"Position", L"poScreenCenter");
    EXPECT_EQ(form.Position(), poScreenCenter);
    auto names = form.ClassInfo()->AllProps();
    EXPECT_EQ(names.front()->Name, L"Name"); // base classes first
}

} // namespace
