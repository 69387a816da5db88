// A form of controls made in code or read from text, the solid-colour test skin, and a form
// skinner to attach skinners with.
#pragma once

#include "fixture2.h"

class LookTest : public SkinControlTest {
protected:
    void SetUp() override {
        SkinControlTest::SetUp();
        skin = MakeTestSkin();
        form = LoadForm("object LookForm: TForm\n  ClientWidth = 420\n  ClientHeight = 300\nend\n");
        form->SetColor(FormColour);
        skinForm = std::make_unique<TWinSkinForm>(nullptr);
    }
    void TearDown() override {
        skinForm.reset();
        form.reset();
        SkinControlTest::TearDown();
    }
    // A control of class C on the form.
    template <class C> C* Add(int left, int top, int width, int height) {
        auto* c = new C(form.get());
        c->SetParent(form.get());
        c->SetBounds(left, top, width, height);
        return c;
    }
    // A skinner of class S attached to the control.
    template <class S> S* Skin(TWinControl* control, bool setColor = false) {
        auto* s = new S(control);
        s->AttachControl(skinForm.get(), skin.get(), skinForm->ControlCanvas(), setColor);
        return s;
    }

    static constexpr TColor FormColour = 0x2060A0;
    std::unique_ptr<TSkinData> skin;
    std::unique_ptr<TForm> form;
    std::unique_ptr<TWinSkinForm> skinForm;
};

// Where pixels of one colour lie in a rectangle of a picture: their leftmost and rightmost column
// (left > right when there are none).
struct TColourSpan {
    int Left = 1, Right = 0, Count = 0;
};
inline TColourSpan FindColour(TBitmap& picture, const RECT& area, TColor colour) {
    TColourSpan span{area.right, area.left - 1, 0};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (PixelAt(picture, x, y) == colour) {
                span.Left = std::min(span.Left, x);
                span.Right = std::max(span.Right, x);
                ++span.Count;
            }
    return span;
}
