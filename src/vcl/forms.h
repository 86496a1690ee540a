// The application object, forms, key events and shift states.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <initializer_list>
#include <string>

#include "vcl/classes.h"

namespace vcl {

enum TShiftStateItem : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };

// The set of shift keys and mouse buttons held.
class TShiftState {
public:
    constexpr TShiftState() = default;
    constexpr TShiftState(std::initializer_list<TShiftStateItem> items) {
        for (auto i : items) bits_ |= Bit(i);
    }
    constexpr bool Contains(TShiftStateItem i) const noexcept { return (bits_ & Bit(i)) != 0; }
    constexpr TShiftState& Include(TShiftStateItem i) noexcept { bits_ |= Bit(i); return *this; }
    constexpr TShiftState& Exclude(TShiftStateItem i) noexcept { bits_ &= static_cast<std::uint8_t>(~Bit(i)); return *this; }
    constexpr bool Empty() const noexcept { return bits_ == 0; }
    friend constexpr bool operator==(TShiftState, TShiftState) = default;

private:
    static constexpr std::uint8_t Bit(TShiftStateItem i) { return static_cast<std::uint8_t>(1u << i); }
    std::uint8_t bits_ = 0;
};

// Virtual-key codes used by the package and its tests.
inline constexpr Word VK_RETURN = 13;
inline constexpr Word VK_ESCAPE = 27;
inline constexpr Word VK_F1 = 112;
inline constexpr Word VK_F9 = 120;

using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

// The application object: owns the forms. Creating one makes it vcl::Application (when
// there is none yet); destroying it clears that pointer again.
class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Where errors raised by event handlers of windows end up. OnException replaces the
    // default report, which shows the message with ShowMessage.
    TExceptionEvent OnException;
    void HandleException(TObject* Sender, const std::exception& E);
    // Call inside a catch block: reports the exception being handled.
    void HandleCurrentException(TObject* Sender);
};

// The global application object; null when the program has none.
extern TApplication* Application;

class TForm : public TComponent {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    std::string Caption;
    TKeyEvent OnKeyDown;

    // A key stroke as the window delivers it: OnKeyDown may change or swallow the key.
    // Errors raised by the handler go to Application->HandleException.
    // Returns the key as the handlers left it.
    Word PressKey(Word key, TShiftState shift);
};

}  // namespace vcl
