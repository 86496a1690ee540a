// The binding of one dataset to the settings store: it chains the dataset's open and close
// events and its form's key event, applies the stored settings when the dataset opens,
// learns them when it closes, and opens the editor on the hot key.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "store/settings_key.h"
#include "vcl/classes.h"
#include "vcl/db.h"
#include "vcl/forms.h"
#include "vcl/graphics.h"

namespace vcl {
class TDBGrid;
}

namespace spaltwerk {

class TMainSpaltwerk;
class TSpaltwerk;
struct TFelder;
struct TFeld;

// The handlers a binding installs. Each is a small type of its own, so that
// `slot.target<BindingKeyHandler>()` tells whether a slot still holds a binding's handler,
// and whose.
struct BindingAfterOpenHandler {
    TSpaltwerk* self;
    void operator()(vcl::TDataSet* DataSet) const;
};
struct BindingBeforeCloseHandler {
    TSpaltwerk* self;
    void operator()(vcl::TDataSet* DataSet) const;
};
struct BindingKeyHandler {
    TSpaltwerk* self;
    void operator()(vcl::TObject* Sender, vcl::Word& Key, vcl::TShiftState Shift) const;
};

class TSpaltwerk : public vcl::TComponent {
public:
    // Searches the store at once (MakeActive).
    explicit TSpaltwerk(vcl::TComponent* owner);
    // Tells the editor to forget the dataset, and gives the dataset and the form back the
    // handlers they had, where their slots still hold this binding's handlers.
    ~TSpaltwerk() override;

    // Whether a store is known. Cleared again when that store goes away, so that the next
    // open or close searches anew.
    bool IsActive() const noexcept { return main_ != nullptr; }
    TMainSpaltwerk* Main() const noexcept { return main_; }

    vcl::TDataSet* DataSet() const noexcept { return dataSet_; }
    // Gives the old dataset its handlers back, takes over the new one's AfterOpen and
    // BeforeClose, and (again) the owner form's OnKeyDown. Null leaves the binding without
    // a dataset.
    void SetDataSet(vcl::TDataSet* Value);

    // The handlers found in the slots when the binding took them over; called first.
    vcl::TDataSetNotifyEvent OldAfterOpen;
    vcl::TDataSetNotifyEvent OldBeforeClose;
    vcl::TKeyEvent OldKeyDown;

    // False makes the binding rebuild its colour table before it answers the next cell.
    bool ColorOn = false;
    void SetColorOff();
    // The colour rules by field position, as last built.
    const std::array<TFeld*, 256>& ColorTable() const noexcept { return colorTable_; }

    // The entry applied at the last open, or null. Checked against the store first: when
    // the store has deleted or replaced entries since, it is looked up again by the
    // settings key, so a freed entry is never handed out.
    TFelder* CurrentFelder();

    // Searches the forms of the application object for the store; the last one found wins.
    void MakeActive();

    // The handler in the owner form's OnKeyDown: the hot key Ctrl+Alt+Shift+F9 opens the
    // editor for the dataset while the store works.
    void OnKeyDown(vcl::TObject* Sender, vcl::Word& Key, vcl::TShiftState Shift);
    // The handler in the dataset's AfterOpen: applies the stored settings in fsWORK.
    void AfterOpen(vcl::TDataSet* DataSet);
    // The handler in the dataset's BeforeClose: learns the settings in fsLEARN.
    void BeforeClose(vcl::TDataSet* DataSet);

    // The colour of the field's cell in the row being drawn: the rule's colour when the
    // rule of the field's position holds for the field's value, else the grid's FixedColor.
    // Called once per painted cell: one table lookup, the table rebuilt only after
    // SetColorOff or when the store deleted or replaced entries.
    vcl::TColor COLOR(vcl::TField* Field, vcl::TDBGrid* Grid);

    // The key formed afresh from the bound dataset (empty without one).
    TSettingsKey SettingsKey() const;

protected:
    void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

private:
    // Which kind of dataset the binding serves: only queries and tables are configured.
    enum class TKind { None, Query, Table };
    TKind Kind() const noexcept;

    void RebuildColorTable();
    void Apply();
    void Learn();
    void OpenEditor(TFelder* entry);

    void Watch(vcl::TComponent* component);
    void WatchBindingIn(const vcl::TDataSetNotifyEvent& slot);
    void WatchBindingIn(const vcl::TKeyEvent& slot);
    void ForgetDataSet();
    void ForgetMain();

    TMainSpaltwerk* main_ = nullptr;
    vcl::TDataSet* dataSet_ = nullptr;
    vcl::TForm* keyForm_ = nullptr;  // the form whose OnKeyDown this binding took over
    TFelder* currentFelder_ = nullptr;
    std::uint64_t felderGeneration_ = 0;  // the store's generation when currentFelder_ was checked
    std::array<TFeld*, 256> colorTable_{};
    std::uint64_t tableGeneration_ = 0;  // the store's generation when colorTable_ was built
    // Goes false when the binding is destroyed, so a handler whose kept handler destroyed
    // the binding stops before it touches it again.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace spaltwerk
