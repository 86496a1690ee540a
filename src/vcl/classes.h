// Components: ownership, names, tags, free notification and the palette registry.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
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

// A small set of enumeration values (the class library's "set of"): shift states, border
// icons, font styles. The enumerators must be below 32.
template <class E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> items) {
        for (auto i : items) bits_ |= Bit(i);
    }
    constexpr bool Contains(E i) const noexcept { return (bits_ & Bit(i)) != 0; }
    constexpr TSet& Include(E i) noexcept { bits_ |= Bit(i); return *this; }
    constexpr TSet& Exclude(E i) noexcept { bits_ &= ~Bit(i); return *this; }
    constexpr bool Empty() const noexcept { return bits_ == 0; }
    friend constexpr bool operator==(TSet, TSet) = default;

private:
    static constexpr std::uint32_t Bit(E i) { return std::uint32_t{1} << static_cast<unsigned>(i); }
    std::uint32_t bits_ = 0;
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

// Tells whether any of the components it watches has been freed, so that code calling out
// to event handlers stops touching what a handler destroyed.
class TFreeWatch : public TComponent {
public:
    explicit TFreeWatch(std::initializer_list<TComponent*> watched = {});
    ~TFreeWatch() override;
    // Watches one more component; null is ignored.
    void Watch(TComponent* component);
    bool Gone() const noexcept { return gone_; }

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    std::vector<TComponent*> watched_;
    bool gone_ = false;
};

// A list of texts, as the items of a list box or a combo box. Indexes count from 0; a bad
// index raises EListError. A control that owns the list hears every change through the
// hook it passes in, so that its selection follows the items.
class TStrings {
public:
    enum class TChange { Cleared, Inserted, Deleted, Replaced };
    using TChangeHook = std::function<void(TChange change, int index)>;

    explicit TStrings(TChangeHook hook = {}) : hook_(std::move(hook)) {}
    // Owned by a control: neither copied nor moved (use Assign to copy the texts).
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;

    int Count() const noexcept { return static_cast<int>(items_.size()); }
    const std::string& Strings(int index) const;
    const std::string& operator[](int index) const { return Strings(index); }
    void SetStrings(int index, std::string s);
    // Appends; returns the new item's index.
    int Add(std::string s);
    void Insert(int index, std::string s);  // index may equal Count()
    void Delete(int index);
    void Clear();
    // Replaces every item with the texts given.
    void Assign(const std::vector<std::string>& items);
    void Assign(const TStrings& other) { Assign(other.items_); }
    // The first item equal to s, letters a-z compared without case (as the class
    // library does); -1 when there is none.
    int IndexOf(std::string_view s) const;

    auto begin() const noexcept { return items_.cbegin(); }
    auto end() const noexcept { return items_.cend(); }

private:
    void CheckIndex(int index, int limit) const;
    void Notify(TChange change, int index) const;

    std::vector<std::string> items_;
    TChangeHook hook_;
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
