#pragma once
// The skinners of scroll bars, edits, combo boxes, size grips, dialog backgrounds and glyph images,
// as the control walk makes them. Each factory answers nullptr while its kind of skinner does not
// exist, and the walk then leaves the control as it is.

#include "skin_controls/WinSubClass.h"

// A scroll-bar skinner owned by control, attached to it (AttachScrollControl).
TSkinControl* NewScrollSkinner(TWinControl* control, TSkinData* skinData, TWinSkinForm* form,
                               TCanvas* formCanvas);
// New, unattached skinners owned by owner: edit (TSkinEdit), combo box (TSkinComBox), size grip
// (TSkinSizer), dialog background (TSkinBoxH), glyph image (TSkinObjImage in the given mode).
TSkinControl* NewEditSkinner(TComponent* owner);
TSkinControl* NewComboSkinner(TComponent* owner);
TSkinControl* NewSizerSkinner(TComponent* owner);
TSkinControl* NewDialogBackgroundSkinner(TComponent* owner);
TSkinControl* NewObjImageSkinner(TComponent* owner, int mode);
