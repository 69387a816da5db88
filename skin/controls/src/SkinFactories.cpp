// The kinds of skinner that are not built yet.
#include "skin_controls/SkinFactories.h"

TSkinControl* NewScrollSkinner(TWinControl*, TSkinData*, TWinSkinForm*, TCanvas*) {
    return nullptr;
}

TSkinControl* NewEditSkinner(TComponent*) {
    return nullptr;
}

TSkinControl* NewComboSkinner(TComponent*) {
    return nullptr;
}

TSkinControl* NewSizerSkinner(TComponent*) {
    return nullptr;
}

TSkinControl* NewDialogBackgroundSkinner(TComponent*) {
    return nullptr;
}

TSkinControl* NewObjImageSkinner(TComponent*, int) {
    return nullptr;
}
