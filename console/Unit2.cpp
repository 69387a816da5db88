#include "Unit2.h"

TForm2* Form2 = nullptr;

TForm2::TForm2(TComponent* Owner) : TForm(Owner) {
    BindField(L"Panel1", Panel1);
    BindField(L"Label1", Label1);
}
