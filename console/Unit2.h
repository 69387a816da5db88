// The about window.
#pragma once

#include <framework/extctrls.h>
#include <framework/forms.h>
#include <framework/stdctrls.h>

class TForm2 : public TForm {
public:
    explicit TForm2(TComponent* Owner);
    TPanel* Panel1 = nullptr;
    TLabel* Label1 = nullptr;
};

extern TForm2* Form2;
