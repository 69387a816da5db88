#include "start_values.h"

#include <framework/stdctrls.h>

bool OnSheet(const TControl* control, const TTabSheet* sheet) {
    for (const TControl* c = control; c; c = c->Parent())
        if (c == sheet) return true;
    return false;
}

StartValues::StartValues(const TComponent& owner, const std::function<bool(const TControl*)>& kept) {
    for (int i = 0; i < owner.ComponentCount(); ++i) {
        auto* control = dynamic_cast<TControl*>(owner.Components(i));
        if (!control || !kept(control)) continue;
        if (auto* edit = dynamic_cast<TEdit*>(control)) {
            restore_.push_back([edit, text = edit->Text()] { edit->SetText(text); });
        } else if (auto* box = dynamic_cast<TCheckBox*>(control)) {
            restore_.push_back([box, on = box->Checked(), caption = box->Caption()] {
                box->SetChecked(on);
                box->SetCaption(caption);
            });
        } else if (auto* radio = dynamic_cast<TRadioButton*>(control)) {
            // Unchecking does not click, so buttons with an effect (the reader address) go back
            // without it; a group none of whose buttons was checked is left so.
            if (radio->Checked())
                check_.push_back([radio] { radio->SetChecked(true); });
            else
                restore_.push_back([radio] { radio->SetChecked(false); });
        } else if (auto* list = dynamic_cast<TComboBox*>(control)) {
            // Selecting runs no event; an edited text that is no item is set as text.
            restore_.push_back([list, index = list->ItemIndex(), text = list->Text()] {
                list->SetItemIndex(index);
                if (list->Text() != text) list->SetText(text);
            });
        } else if (auto* items = dynamic_cast<TListBox*>(control)) {
            restore_.push_back([items, index = items->ItemIndex()] { items->SetItemIndex(index); });
        } else if (auto* button = dynamic_cast<TButton*>(control)) {
            restore_.push_back([button, caption = button->Caption()] { button->SetCaption(caption); });
        }
    }
}

void StartValues::Restore() const {
    for (const auto& restore : restore_) restore();
    for (const auto& check : check_) check();
}
