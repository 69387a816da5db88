// The start values of a window's controls, taken once and put back before every test, so that each
// test sets only what it is about.
#pragma once

#include <framework/comctrls.h>

#include <functional>
#include <vector>

// True when the control sits on the page, however deep in its groups.
bool OnSheet(const TControl* control, const TTabSheet* sheet);

class StartValues {
public:
    // Takes the values of every control that `owner` owns and `kept` accepts: the text of edits,
    // the tick and caption of check boxes, the choice of radio buttons, the selection and text of
    // combo boxes, the selection of list boxes and the caption of buttons.
    StartValues(const TComponent& owner, const std::function<bool(const TControl*)>& kept);

    void Restore() const;

private:
    std::vector<std::function<void()>> restore_;
    // Radio buttons to check, after all others are set: checking one unchecks its siblings.
    std::vector<std::function<void()>> check_;
};
