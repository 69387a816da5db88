// Shorthands for the registration functions of TForm1's pages: a field or handler is bound under
// its own name, as the form description names it.
#pragma once

#define BIND_FIELD(field) BindField(L## #field, field)
#define BIND_HANDLER(handler) BindHandler(L## #handler, this, &TForm1::handler)
