#include "vcl/dialogs.h"

#include <iostream>

#include "vcl/sysutils.h"

namespace vcl {

namespace {
TShowMessageHook& hook() {
    static TShowMessageHook h;
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

}  // namespace vcl
