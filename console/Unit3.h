// The picture window "Card memory structure": the memory map of a UHF tag.
#pragma once

#include <framework/extctrls.h>
#include <framework/forms.h>

class TForm3 : public TForm {
public:
    explicit TForm3(TComponent* Owner);
    TImage* Image1 = nullptr;
};

extern TForm3* Form3;
