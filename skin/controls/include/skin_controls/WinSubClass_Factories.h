#pragma once
// How the control walk makes the skinners of the edit, combo-box, scroll-bar, header, sizer,
// dialog-background and glyph kinds without knowing their classes.

#include <framework/controls.h>

class TSkinControl;
class TSkinData;
class TWinSkinForm;

// New skinners with their owner; the caller attaches them (AttachControl or AttachWindow).
TSkinControl* NewSkinEdit(TComponent* owner);       // by window
TSkinControl* NewSkinComBox(TComponent* owner);     // through the control, or by window
TSkinControl* NewSkinSizer(TComponent* owner);      // by window
TSkinControl* NewSkinBoxH(TComponent* owner);       // by window
TSkinControl* NewSkinHeader(TComponent* owner);     // by window
TSkinControl* NewSkinScrollbarH(TComponent* owner); // by window: the window scroll bars of a bare window
// mode 1 pushes the glyph bitmap into the control; attach through the control.
TSkinControl* NewSkinObjImage(TComponent* owner, int mode);

// The scroll skinner of a framework control (owned by the control), made and attached: overlays on
// its window scroll bars.
TSkinControl* AttachScrollSkinner(TWinControl* control, TSkinData* skinData, TWinSkinForm* form,
                                  TCanvas* formCanvas);
// The same for a list view, whose header gets a header skinner too.
TSkinControl* AttachListViewSkinner(TWinControl* control, TSkinData* skinData, TWinSkinForm* form,
                                    TCanvas* formCanvas);
// A scroll-bar control (a framework control over a "scrollbar" window), made and attached.
TSkinControl* AttachScrollBarControlSkinner(TWinControl* control, TSkinData* skinData, TWinSkinForm* form,
                                            TCanvas* formCanvas);
