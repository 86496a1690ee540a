#include "vcl/classes.h"

#include <algorithm>
#include <stdexcept>

#include "vcl/sysutils.h"

namespace vcl {

TComponent::TComponent(TComponent* owner) {
    if (owner != nullptr) owner->InsertComponent(this);
}

TComponent::~TComponent() { BeforeDestruction(); }

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount())
        throw EListError("Component index out of bounds (" + IntToStr(index) + ")");
    return components_[static_cast<std::size_t>(index)];
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    const std::string wanted = UpperCase(std::string(name));
    for (TComponent* c : components_)
        if (UpperCase(c->Name()) == wanted) return c;
    return nullptr;
}

void TComponent::FreeNotification(TComponent* component) {
    if (component == nullptr || component == this) return;
    if (std::find(free_notifies_.begin(), free_notifies_.end(), component) == free_notifies_.end())
        free_notifies_.push_back(component);
    auto& theirs = component->free_notifies_;
    if (std::find(theirs.begin(), theirs.end(), this) == theirs.end()) theirs.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (component == nullptr) return;
    std::erase(free_notifies_, component);
    std::erase(component->free_notifies_, this);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    if (operation != TOperation::opRemove || component->owner_ != this) return;
    // Copy: a listener may delete siblings while it hears of this one.
    const std::vector<TComponent*> others = components_;
    for (TComponent* c : others)
        if (c != component && std::find(components_.begin(), components_.end(), c) != components_.end())
            c->Notification(component, operation);
}

void TComponent::BeforeDestruction() {
    if (destroying_) return;
    destroying_ = true;
    // Tell everyone linked with this component, first unlinking them so that nobody
    // calls back into a half-destroyed object.
    while (!free_notifies_.empty()) {
        TComponent* other = free_notifies_.back();
        free_notifies_.pop_back();
        std::erase(other->free_notifies_, this);
        other->Notification(this, TOperation::opRemove);
    }
    DestroyComponents();
    if (owner_ != nullptr) owner_->RemoveComponent(this);
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* last = components_.back();
        components_.pop_back();
        last->owner_ = nullptr;  // the owner is going: no removal notices to siblings
        delete last;
    }
}

void TComponent::InsertComponent(TComponent* component) {
    components_.push_back(component);
    component->owner_ = this;
}

void TComponent::RemoveComponent(TComponent* component) {
    std::erase(components_, component);
    component->owner_ = nullptr;
    if (!destroying_) {
        // The removed component still counts as ours for the notice to the others.
        component->owner_ = this;
        Notification(component, TOperation::opRemove);
        component->owner_ = nullptr;
    }
}

// ---- TFreeWatch ---------------------------------------------------------------------

TFreeWatch::TFreeWatch(std::initializer_list<TComponent*> watched) : TComponent(nullptr) {
    for (TComponent* c : watched) Watch(c);
}

TFreeWatch::~TFreeWatch() {
    for (TComponent* c : watched_) RemoveFreeNotification(c);
}

void TFreeWatch::Watch(TComponent* component) {
    if (component == nullptr || std::find(watched_.begin(), watched_.end(), component) != watched_.end()) return;
    watched_.push_back(component);
    FreeNotification(component);
}

void TFreeWatch::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && std::erase(watched_, component) > 0) gone_ = true;
}

// ---- TStrings ----------------------------------------------------------------------

void TStrings::CheckIndex(int index, int limit) const {
    if (index < 0 || index > limit) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
}

void TStrings::Notify(TChange change, int index) const {
    if (hook_) hook_(change, index);
}

const std::string& TStrings::Strings(int index) const {
    CheckIndex(index, Count() - 1);
    return items_[static_cast<std::size_t>(index)];
}

void TStrings::SetStrings(int index, std::string s) {
    CheckIndex(index, Count() - 1);
    items_[static_cast<std::size_t>(index)] = std::move(s);
    Notify(TChange::Replaced, index);
}

int TStrings::Add(std::string s) {
    Insert(Count(), std::move(s));
    return Count() - 1;
}

void TStrings::Insert(int index, std::string s) {
    CheckIndex(index, Count());
    items_.insert(items_.begin() + index, std::move(s));
    Notify(TChange::Inserted, index);
}

void TStrings::Delete(int index) {
    CheckIndex(index, Count() - 1);
    items_.erase(items_.begin() + index);
    Notify(TChange::Deleted, index);
}

void TStrings::Clear() {
    items_.clear();
    Notify(TChange::Cleared, -1);
}

void TStrings::Assign(const std::vector<std::string>& items) {
    if (&items == &items_) return;
    Clear();
    for (const auto& s : items) Add(s);
}

int TStrings::IndexOf(std::string_view s) const {
    const std::string wanted = UpperCase(s);
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (UpperCase(items_[i]) == wanted) return static_cast<int>(i);
    return -1;
}

// ---- Palette ------------------------------------------------------------------------

namespace {
std::vector<TPalettePage>& palette() {
    static std::vector<TPalettePage> pages;
    return pages;
}
}  // namespace

void RegisterComponents(const std::string& page, const std::vector<TComponentClassInfo>& classes) {
    auto& pages = palette();
    auto it = std::find_if(pages.begin(), pages.end(), [&](const TPalettePage& p) { return p.Name == page; });
    if (it == pages.end()) {
        pages.push_back(TPalettePage{page, {}});
        it = std::prev(pages.end());
    }
    for (const auto& info : classes) {
        auto same = [&](const TComponentClassInfo& c) { return c.ClassName == info.ClassName; };
        if (std::none_of(it->Classes.begin(), it->Classes.end(), same)) it->Classes.push_back(info);
    }
}

const std::vector<TPalettePage>& PalettePages() { return palette(); }

void ClearPalette() { palette().clear(); }

}  // namespace vcl
