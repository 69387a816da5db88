#include "Unit3.h"

TForm3* Form3 = nullptr;

TForm3::TForm3(TComponent* Owner) : TForm(Owner) {
    BindField(L"Image1", Image1);
}
