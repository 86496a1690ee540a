// Taking over an event slot and keeping the handler that was there: the pieces the binding
// and the colour component share. A component installs a handler functor of its own type
// (with a `self` pointer), so a slot tells whose handler it holds.
#pragma once

#include <memory>
#include <utility>

namespace spaltwerk::chaining {

// The component whose handler of type Handler the slot holds, or null.
template <class Handler, class Slot>
auto OwnerIn(const Slot& slot) -> decltype(Handler::self) {
    const auto* handler = slot.template target<Handler>();
    return handler != nullptr ? handler->self : nullptr;
}

// Whether the slot holds the handler of type Handler installed by `self`.
template <class Handler, class Slot, class Owner>
bool Holds(const Slot& slot, const Owner* self) {
    const auto* handler = slot.template target<Handler>();
    return handler != nullptr && handler->self == self;
}

// Puts the kept handler back, but only while the slot still holds `self`'s own: a
// handler the application installed since stays where it is.
template <class Handler, class Slot, class Owner>
void GiveBack(Slot& slot, const Slot& kept, const Owner* self) {
    if (Holds<Handler>(slot, self)) slot = kept;
}

// When a component whose handler `kept` holds goes away, keep what it kept instead, so the
// chain closes over the gap and nothing calls into the freed component.
template <class Handler, class Slot, class Owner>
void SpliceOut(Slot& kept, const void* gone, Slot Owner::*member, const Owner* self) {
    Owner* other = OwnerIn<Handler>(kept);
    if (other == nullptr || other != gone) return;
    Slot next = other->*member;
    if (Holds<Handler>(next, self)) next = nullptr;  // never chain to ourselves
    kept = std::move(next);
}

// Calls a kept handler on a copy (the handler may replace the caller's slots meanwhile)
// and answers whether the caller, whose liveness flag is `alive`, still exists afterwards.
template <class Slot, class... Args>
bool CallKept(const Slot& kept, const std::shared_ptr<bool>& alive, Args&&... args) {
    if (!kept) return true;
    const std::shared_ptr<bool> stillAlive = alive;
    const Slot call = kept;
    call(std::forward<Args>(args)...);
    return *stillAlive;
}

}  // namespace spaltwerk::chaining
