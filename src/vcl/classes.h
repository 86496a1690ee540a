// Components: ownership, names, tags, free notification and the palette registry.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vcl {

using Word = std::uint16_t;
using Byte = std::uint8_t;

class TObject {
public:
    virtual ~TObject() = default;
};

// Event that only names its sender (a click, a change).
using TNotifyEvent = std::function<void(TObject* Sender)>;

enum class TOperation { opInsert, opRemove };

// The base of everything placed on a form. The owner deletes what it owns, last created
// first; deleting a component removes it from its owner. Components that refer to one
// another register with FreeNotification and hear through Notification when the other
// goes away, so no reference and no installed handler outlives its object.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const noexcept { return owner_; }
    const std::string& Name() const noexcept { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    int Tag() const noexcept { return tag_; }
    void SetTag(int tag) noexcept { tag_ = tag; }

    int ComponentCount() const noexcept { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const;
    // The owned component with this name (letter case ignored for a-z), or null.
    TComponent* FindComponent(std::string_view name) const;

    // Two-way: either side hears Notification(other, opRemove) when the other is destroyed.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // True from the moment destruction has begun.
    bool Destroying() const noexcept { return destroying_; }

protected:
    // Called on this component when a component it is linked with goes away: one it
    // registered with FreeNotification, or one it owns. The default passes an owned
    // component's removal on to the other owned components, as the class library does.
    virtual void Notification(TComponent* component, TOperation operation);

    // Tells the listeners, deletes the owned components and leaves the owner. Idempotent.
    // A C++ destructor runs after the derived parts are gone; a class whose members its
    // owned components or listeners may touch while they go (a form's key event, a
    // dataset's events) calls this first thing in its own destructor.
    void BeforeDestruction();

    // Deletes the owned components, last created first.
    void DestroyComponents();

private:
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    TComponent* owner_ = nullptr;
    std::string name_;
    int tag_ = 0;
    bool destroying_ = false;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> free_notifies_;
};

// Palette registry: pages with the classes registered on them, in order of registration.
struct TComponentClassInfo {
    std::string ClassName;
    std::vector<std::string> PublishedProperties;  // besides the inherited Name and Tag
};

struct TPalettePage {
    std::string Name;
    std::vector<TComponentClassInfo> Classes;
};

void RegisterComponents(const std::string& page, const std::vector<TComponentClassInfo>& classes);
// All pages in the order their first class was registered.
const std::vector<TPalettePage>& PalettePages();
void ClearPalette();

}  // namespace vcl
