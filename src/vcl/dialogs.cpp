#include "vcl/dialogs.h"

#include <iostream>

#include "vcl/sysutils.h"

namespace vcl {

namespace {
TShowMessageHook& hook() {
    static TShowMessageHook h;
    return h;
}
TColorDialogHook& colorHook() {
    static TColorDialogHook h;
    return h;
}
}  // namespace

void ShowMessage(const std::string& message) {
    if (hook()) {
        hook()(message);
        return;
    }
    std::cerr << Win1252ToUtf8(message) << std::endl;
}

TShowMessageHook SetShowMessageHook(TShowMessageHook h) {
    TShowMessageHook previous = std::move(hook());
    hook() = std::move(h);
    return previous;
}

TColorDialogHook SetColorDialogHook(TColorDialogHook h) {
    TColorDialogHook previous = std::move(colorHook());
    colorHook() = std::move(h);
    return previous;
}

bool TColorDialog::Execute() {
    if (!colorHook()) return false;
    const TColorDialogHook user = colorHook();  // the hook may replace itself
    const std::optional<TColor> chosen = user(Color);
    if (!chosen) return false;
    if (*chosen < 0 || *chosen > 0xFFFFFF)
        throw EConvertError("The colour dialog returned " + IntToStr(*chosen) + ", which is no colour");
    Color = *chosen;
    return true;
}

}  // namespace vcl
