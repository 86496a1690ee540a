// The application object, forms and the controls placed on them, key events and shift
// states, and a character-cell rendering of a form for terminals and tests.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "vcl/classes.h"
#include "vcl/graphics.h"
#include "vcl/sysutils.h"

namespace vcl {

enum TShiftStateItem : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };

// The set of shift keys and mouse buttons held.
using TShiftState = TSet<TShiftStateItem>;

// Virtual-key codes used by the package and its tests.
inline constexpr Word VK_RETURN = 13;
inline constexpr Word VK_ESCAPE = 27;
inline constexpr Word VK_F1 = 112;
inline constexpr Word VK_F9 = 120;

using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

// An operation the object cannot do in its present state (user input for a disabled or
// hidden control, for instance).
class EInvalidOperation : public Exception { using Exception::Exception; };

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

// Runs an event handler as the window's message loop does: an error it raises goes to
// Application->HandleException, or propagates when there is no application object. The
// handler is copied first, so it may replace its own event slot or free its sender.
template <class Handler, class... Args>
void CallHandler(TObject* sender, const Handler& handler, Args&&... args) {
    if (!handler) return;
    Handler call = handler;
    try {
        call(std::forward<Args>(args)...);
    } catch (...) {
        if (Application == nullptr) throw;
        Application->HandleCurrentException(sender);
    }
}

class TForm;
class TTextCanvas;

// A rectangle of character cells: column, row, and size in cells.
struct TCellRect {
    int Col = 0;
    int Row = 0;
    int Cols = 0;
    int Rows = 0;
    friend bool operator==(const TCellRect&, const TCellRect&) = default;
};

// Pixels per character cell when a form is drawn as text. Controls on the package's
// windows are laid out in rows 24 pixels apart, so each row lands on its own line.
inline constexpr int kCellWidthPx = 8;
inline constexpr int kCellHeightPx = 24;

// The cells whose larger part a pixel rectangle covers (at least one cell each way):
// where a control's contents go.
TCellRect InnerCells(int left, int top, int width, int height);
// Every cell a pixel rectangle touches: where a thin frame line goes.
TCellRect OuterCells(int left, int top, int width, int height);

// Anything placed on a form. Position and size are in pixels within the form's client
// area. Parent is the form the control sits on: the owner, when the owner is a form.
class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    std::string Hint;
    bool Enabled = true;
    bool Visible = true;
    TColor Color = clWindow;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;

    TForm* Parent() const noexcept { return parent_; }
    // Moves the control onto another form (or off every form, with null).
    void SetParent(TForm* parent);
    void SetBounds(int left, int top, int width, int height);

    // Whether a user could reach the control now: it and its form are shown and it is
    // enabled. Simulated input checks this.
    bool CanTakeUserInput() const;
    // Raises EInvalidOperation naming what keeps the user away from the control.
    void CheckUserCanReach() const;

    // Drawing as text: the cells the control covers, and its picture in them.
    virtual TCellRect TextCells() const;
    virtual void RenderText(TTextCanvas& canvas, const TCellRect& cells) const;
    // Windowed controls (edits, lists, buttons) lie above graphic ones (bevels, speed buttons).
    virtual bool IsWindowed() const { return false; }

private:
    friend class TForm;
    TForm* parent_ = nullptr;
};

// A control with a window of its own: it can take the keyboard focus, in TabOrder.
class TWinControl : public TControl {
public:
    using TControl::TControl;
    int TabOrder = 0;
    bool TabStop = true;
    bool Ctl3D = true;
    bool IsWindowed() const override { return true; }
};

// A control drawn on its form's surface, without a window: it never takes the focus.
class TGraphicControl : public TControl {
public:
    using TControl::TControl;
};

// Shared by form and edit borders: the edit controls use bsNone and bsSingle only.
enum TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

enum TBorderIcon : std::uint8_t { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;

enum TFormStyle : std::uint8_t { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };

enum TPosition : std::uint8_t {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly,
    poScreenCenter, poDesktopCenter, poMainFormCenter, poOwnerFormCenter
};

// A window. It starts hidden; Show shows it and brings it to the front, Close hides it.
class TForm : public TComponent {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    std::string Caption;
    int Left = 0;
    int Top = 0;
    int ClientWidth = 320;
    int ClientHeight = 240;
    TFormBorderStyle BorderStyle = bsSizeable;
    TBorderIcons BorderIcons{biSystemMenu, biMinimize, biMaximize};
    TFormStyle FormStyle = fsNormal;
    TPosition Position = poDesigned;
    TFont Font;
    bool Scaled = true;
    int PixelsPerInch = 96;
    int TextHeight = 13;  // the font's text height when the form was designed
    bool ShowHint = false;
    int HelpContext = 0;
    TKeyEvent OnKeyDown;

    // Shows the form; a form already shown comes to the front.
    void Show();
    // Hides the form. It stays in memory with all its controls.
    void Close();
    bool Visible() const noexcept { return visible_; }

    // The controls on the form, in creation order.
    int ControlCount() const noexcept { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const;
    // The windowed controls by TabOrder (equal orders keep creation order), whether or
    // not they can take the focus now.
    std::vector<TWinControl*> ControlsInTabOrder() const;
    // The controls the Tab key visits, in order: those of ControlsInTabOrder that are
    // visible, enabled and have TabStop.
    std::vector<TWinControl*> FocusOrder() const;

    // A key stroke as the window delivers it: OnKeyDown may change or swallow the key.
    // Errors raised by the handler go to Application->HandleException.
    // Returns the key as the handlers left it.
    Word PressKey(Word key, TShiftState shift);

private:
    friend class TControl;
    friend TForm* FrontForm();
    std::vector<TControl*> controls_;
    bool visible_ = false;
    std::uint64_t shownAt_ = 0;  // when Show last ran; the latest is in front
};

// The visible form in front of all others (stay-on-top forms before normal ones), or null.
TForm* FrontForm();

// A grid of character cells, each holding one glyph, drawn into and read back as UTF-8
// text. Drawing outside the clip rectangle is ignored.
class TTextCanvas {
public:
    TTextCanvas(int cols, int rows);
    int Cols() const noexcept { return cols_; }
    int Rows() const noexcept { return rows_; }
    void SetClip(const TCellRect& clip) { clip_ = clip; }

    // One glyph, given as UTF-8.
    void PutGlyph(int col, int row, std::string_view utf8);
    // Windows-1252 text in a field of `width` cells: padded with blanks, or cut with an
    // ellipsis in its last cell when it does not fit. Control characters show as '?'.
    void PutText(int col, int row, std::string_view text, int width);
    // Text centred in a field of `width` cells.
    void PutCentred(int col, int row, std::string_view text, int width);
    void FillBlank(const TCellRect& r);
    void DrawFrame(const TCellRect& r);
    // One line per row, each ending in a line feed.
    std::string Text() const;

private:
    bool Inside(int col, int row) const;

    int cols_;
    int rows_;
    TCellRect clip_;
    std::vector<std::string> cells_;
};

// The form as terminal text (UTF-8): a frame with the caption and border icons, and each
// visible control at its place, graphic controls first, then windowed ones, each in
// creation order. One column is kCellWidthPx pixels, one line kCellHeightPx pixels.
// A hidden form is drawn as it would look when shown.
std::string RenderFormText(const TForm& form);

}  // namespace vcl
