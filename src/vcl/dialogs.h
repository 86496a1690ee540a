// Messages shown to the user, through a hook that programs and tests can replace.
#pragma once

#include <functional>
#include <string>

namespace vcl {

// Receives the message (Windows-1252 text) and returns when the user has closed it.
using TShowMessageHook = std::function<void(const std::string& message)>;

// Shows a message with one button. The default writes it, as UTF-8, on standard error.
void ShowMessage(const std::string& message);
// Replaces the hook; an empty hook restores the default. Returns the previous hook.
TShowMessageHook SetShowMessageHook(TShowMessageHook hook);

}  // namespace vcl
