// Drives the run-time field editor the way a user does: the hot key on the form, then the
// window's own controls.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "customer_form.h"
#include "editor/editor_window.h"

namespace demo {

class TEditorSession {
public:
    explicit TEditorSession(TKundenForm& form) : form_(form) {}

    // Presses Ctrl+Alt+Shift+F9 on the form. Every binding of the form hears it, so the
    // window lists both datasets and shows the last one. EInvalidOperation when no window
    // opened (no settings entry yet).
    spaltwerk::TMainSpaltwerkEdtior& PressHotKey();
    // Picks the dataset (its key: form name, ".", dataset name) in the table box.
    void ChooseDataSet(std::string_view key);
    // Clicks the first field, then Ctrl-clicks the others. EInvalidOperation for a field the
    // list does not show.
    void SelectFields(std::initializer_list<std::string_view> names);
    void SelectField(std::string_view name) { SelectFields({name}); }
    // Types into the value control of a row ("Index", "Caption", ..., "Value").
    void Type(std::string_view row, std::string_view text);
    void Save();
    void Close();
    spaltwerk::TMainSpaltwerkEdtior& Window() const;

private:
    int ItemOf(std::string_view field) const;

    TKundenForm& form_;
};

// The names of the window's property rows, in their order.
inline constexpr std::string_view kRowNames[] = {"Index",  "Caption", "EditMask", "DisplayMask", "Visible",
                                                 "Readonly", "Length", "Color",   "Function",    "Value"};

}  // namespace demo
