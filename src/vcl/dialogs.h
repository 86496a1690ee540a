// Messages and dialogs shown to the user, through hooks that programs and tests replace.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "vcl/classes.h"
#include "vcl/graphics.h"

namespace vcl {

// Receives the message (Windows-1252 text) and returns when the user has closed it.
using TShowMessageHook = std::function<void(const std::string& message)>;

// Shows a message with one button. The default writes it, as UTF-8, on standard error.
void ShowMessage(const std::string& message);
// Replaces the hook; an empty hook restores the default. Returns the previous hook.
TShowMessageHook SetShowMessageHook(TShowMessageHook hook);

// Plays the user in the colour dialog: given the colour the dialog opens with, returns the
// colour the user confirms, or nothing when the user cancels.
using TColorDialogHook = std::function<std::optional<TColor>(TColor current)>;
// Replaces the hook; an empty hook restores the default. Returns the previous hook.
TColorDialogHook SetColorDialogHook(TColorDialogHook hook);

// The colour selection dialog. Execute runs it modally, opening with Color, and returns
// true when the user confirms a colour, which then is the new Color; a cancel leaves Color
// as it was, so the next run opens with the last colour chosen. The user's choice comes
// from the hook; without one (no window system) every run is a cancel. A choice that is
// no explicit colour (0 to 0xFFFFFF) raises EConvertError and leaves Color unchanged.
class TColorDialog : public TComponent {
public:
    explicit TColorDialog(TComponent* owner) : TComponent(owner) {}

    TColor Color = clBlack;

    bool Execute();
};

}  // namespace vcl
