#include "binding/spaltwerk.h"

#include <memory>

#include "binding/chaining.h"
#include "editor/editor.h"
#include "store/conversions.h"
#include "store/field_masks.h"
#include "store/main_spaltwerk.h"
#include "store/records.h"
#include "vcl/dbgrids.h"
#include "vcl/dbtables.h"
#include "vcl/sysutils.h"

namespace spaltwerk {

namespace {

using chaining::CallKept;
using chaining::GiveBack;
using chaining::OwnerIn;
using chaining::SpliceOut;

// Carries one stored field setting onto the live field, in the order the settings
// depend on (the position first).
void ApplyField(vcl::TField& field, const TFeld& feld) {
    field.SetIndex(feld.Index);
    field.SetEditMask(feld.EditMask.str());
    field.SetDisplayLabel(feld.Caption.str());
    field.SetReadOnly(feld.Readonly);
    field.SetVisible(feld.Visible);
    field.SetDisplayWidth(feld.Length);
    SetDisplayMask(field, feld.DisplayMask.str());
}

// A colour below 0 is never painted.
constexpr vcl::TColor kNoColour = -1;

// ---- Colour rules ---------------------------------------------------------------------------

// Whether the condition holds between the field's value (left) and the comparison value.
// A condition byte beyond cfNot never holds.
template <class T>
bool ConditionHolds(TFFUNKTION condition, const T& left, const T& right) {
    switch (condition) {
        case cfLower: return left < right;
        case cfLowerEqual: return !(right < left);
        case cfEqual: return !(left < right) && !(right < left);
        case cfHigher: return right < left;
        case cfHigherEqual: return !(left < right);
        case cfNot: return left < right || right < left;
        default: return false;
    }
}

// Text as stored, compared byte by byte by unsigned code (a prefix is lower); the stored
// text is read in place, without a copy.
bool TextRuleHolds(TFFUNKTION condition, const vcl::TField& field, std::string_view value) {
    const vcl::TFieldValue& stored = field.Value();
    if (const auto* text = std::get_if<std::string>(&stored))
        return ConditionHolds(condition, std::string_view(*text), value);
    return ConditionHolds(condition, std::string_view(field.AsString()), value);
}

// Whether a text holds anything once blanks and control characters are trimmed.
bool HasContent(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) > 32) return true;
    return false;
}

// The moment a date rule compares with: its value read as a date and time, or now when the
// value is blank or no date.
vcl::TDateTime ComparisonMoment(std::string_view value) {
    vcl::TDateTime moment = 0;
    if (HasContent(value) && vcl::TryStrToDateTime(value, moment)) return moment;
    return vcl::Now();
}

// How a field's value is compared with a rule's value, by the field's data type.
enum class TComparison { Never, Text, Number, Boolean, Moment };

TComparison ComparisonOf(vcl::TFieldType type) noexcept {
    switch (type) {
        case vcl::ftString:
        case vcl::ftBytes:
        case vcl::ftVarBytes: return TComparison::Text;
        case vcl::ftSmallint:
        case vcl::ftInteger:
        case vcl::ftWord:
        case vcl::ftFloat:
        case vcl::ftCurrency:
        case vcl::ftBCD: return TComparison::Number;
        case vcl::ftBoolean: return TComparison::Boolean;
        case vcl::ftDate:
        case vcl::ftTime:
        case vcl::ftDateTime: return TComparison::Moment;
        default: return TComparison::Never;  // auto-increment, blobs, memos and the rest
    }
}

bool RuleHolds(const TFeld& rule, const vcl::TField& field) {
    const TComparison comparison = ComparisonOf(field.DataType());
    const TFFUNKTION condition = rule.Function;
    if (comparison == TComparison::Never || condition == cfFalse) return false;
    if (condition == cfTrue) return true;
    const std::string_view value = rule.Value.view();
    switch (comparison) {
        case TComparison::Text: return TextRuleHolds(condition, field, value);
        case TComparison::Number: return ConditionHolds(condition, field.AsFloat(), StringToFLOAT_(value));
        case TComparison::Boolean: return ConditionHolds(condition, field.AsBoolean(), StringToBool_(value));
        case TComparison::Moment: return ConditionHolds(condition, field.AsDateTime(), ComparisonMoment(value));
        case TComparison::Never: break;
    }
    return false;
}

}  // namespace

void BindingAfterOpenHandler::operator()(vcl::TDataSet* DataSet) const { self->AfterOpen(DataSet); }
void BindingBeforeCloseHandler::operator()(vcl::TDataSet* DataSet) const { self->BeforeClose(DataSet); }
void BindingKeyHandler::operator()(vcl::TObject* Sender, vcl::Word& Key, vcl::TShiftState Shift) const {
    self->OnKeyDown(Sender, Key, Shift);
}

TSpaltwerk::TSpaltwerk(vcl::TComponent* owner) : vcl::TComponent(owner) {
    MakeActive();
    SetColorOff();
}

TSpaltwerk::~TSpaltwerk() {
    *alive_ = false;
    if (main_ != nullptr && main_->Editor != nullptr) {
        // A destructor must not throw: an error of the editor goes to the application's
        // error report instead.
        try {
            if (auto* query = dynamic_cast<vcl::TQuery*>(dataSet_))
                main_->Editor->OUT(query);
            else if (auto* table = dynamic_cast<vcl::TTable*>(dataSet_))
                main_->Editor->OUTT(table);
        } catch (...) {
            try {
                if (vcl::Application != nullptr) vcl::Application->HandleCurrentException(this);
            } catch (...) {
            }
        }
    }
    if (dataSet_ != nullptr) {
        GiveBack<BindingAfterOpenHandler>(dataSet_->AfterOpen, OldAfterOpen, this);
        GiveBack<BindingBeforeCloseHandler>(dataSet_->BeforeClose, OldBeforeClose, this);
    }
    if (keyForm_ != nullptr) GiveBack<BindingKeyHandler>(keyForm_->OnKeyDown, OldKeyDown, this);
    // Tell whoever keeps our handlers (other bindings) while our kept ones are still here.
    BeforeDestruction();
}

// ---- Taking over the events -------------------------------------------------------------

void TSpaltwerk::SetDataSet(vcl::TDataSet* Value) {
    if (keyForm_ != nullptr) keyForm_->OnKeyDown = OldKeyDown;
    keyForm_ = dynamic_cast<vcl::TForm*>(Owner());
    if (keyForm_ != nullptr) {
        OldKeyDown = keyForm_->OnKeyDown;
        WatchBindingIn(OldKeyDown);
        keyForm_->OnKeyDown = BindingKeyHandler{this};
        Watch(keyForm_);
    } else {
        OldKeyDown = nullptr;
    }

    if (dataSet_ != nullptr) {
        dataSet_->AfterOpen = OldAfterOpen;
        dataSet_->BeforeClose = OldBeforeClose;
    }
    OldAfterOpen = nullptr;
    OldBeforeClose = nullptr;
    dataSet_ = Value;
    if (dataSet_ != nullptr) {
        Watch(dataSet_);
        OldAfterOpen = dataSet_->AfterOpen;
        OldBeforeClose = dataSet_->BeforeClose;
        WatchBindingIn(OldAfterOpen);
        WatchBindingIn(OldBeforeClose);
        dataSet_->AfterOpen = BindingAfterOpenHandler{this};
        dataSet_->BeforeClose = BindingBeforeCloseHandler{this};
    }
    currentFelder_ = nullptr;
    ColorOn = false;
}

void TSpaltwerk::MakeActive() {
    currentFelder_ = nullptr;
    ColorOn = false;
    vcl::TApplication* app = vcl::Application;
    if (app == nullptr) return;
    for (int i = 0; i < app->ComponentCount(); ++i) {
        auto* form = dynamic_cast<vcl::TForm*>(app->Components(i));
        if (form == nullptr) continue;
        for (int k = 0; k < form->ComponentCount(); ++k) {
            auto* found = dynamic_cast<TMainSpaltwerk*>(form->Components(k));
            // A store already going away could no longer tell us that it went.
            if (found == nullptr || found->Destroying()) continue;
            main_ = found;
            Watch(main_);
        }
    }
}

void TSpaltwerk::SetColorOff() { ColorOn = false; }

TFelder* TSpaltwerk::CurrentFelder() {
    if (currentFelder_ == nullptr) return nullptr;
    if (main_->Generation() != felderGeneration_) {
        // The store deleted or replaced entries: ours may be gone. Whatever entry now
        // answers to the dataset's key takes its place.
        felderGeneration_ = main_->Generation();
        const TSettingsKey key = SettingsKey();
        currentFelder_ = main_->FindFelder(key.FormName, key.DataSetName, key.Tag);
    }
    return currentFelder_;
}

// ---- Colouring ---------------------------------------------------------------------------

vcl::TColor TSpaltwerk::COLOR(vcl::TField* Field, vcl::TDBGrid* Grid) {
    if (Grid == nullptr) return kNoColour;
    const vcl::TColor result = Grid->FixedColor;
    if (Field == nullptr || main_ == nullptr) return result;
    const int index = Field->Index();
    if (index < 0 || index >= static_cast<int>(colorTable_.size())) return result;
    // The table points into the store's records: rebuilt when they may have been freed.
    if (!ColorOn || main_->Generation() != tableGeneration_) RebuildColorTable();
    const TFeld* rule = colorTable_[static_cast<std::size_t>(index)];
    if (rule == nullptr) return result;
    try {
        return RuleHolds(*rule, *Field) ? rule->Color : result;
    } catch (const vcl::EConvertError&) {
        return result;  // a stored value that is no value of the field's type: no rule holds
    } catch (const vcl::EOverflow&) {
        return result;
    }
}

void TSpaltwerk::RebuildColorTable() {
    colorTable_.fill(nullptr);
    if (TFelder* entry = CurrentFelder()) {
        std::size_t position = 0;
        for (TFeld& feld : entry->Fields) {
            if (position == colorTable_.size()) break;
            colorTable_[position++] = &feld;
        }
    }
    tableGeneration_ = main_->Generation();
    ColorOn = true;
}

TSettingsKey TSpaltwerk::SettingsKey() const {
    return dataSet_ == nullptr ? TSettingsKey{} : SettingsKeyOf(*dataSet_);
}

TSpaltwerk::TKind TSpaltwerk::Kind() const noexcept {
    if (dynamic_cast<const vcl::TQuery*>(dataSet_) != nullptr) return TKind::Query;
    if (dynamic_cast<const vcl::TTable*>(dataSet_) != nullptr) return TKind::Table;
    return TKind::None;
}

// ---- The three handlers -----------------------------------------------------------------

void TSpaltwerk::OnKeyDown(vcl::TObject* Sender, vcl::Word& Key, vcl::TShiftState Shift) {
    if (!CallKept(OldKeyDown, alive_, Sender, Key, Shift)) return;
    // The key as the kept handler left it: it may have swallowed the stroke.
    const bool hotKey = Key == vcl::VK_F9 && Shift.Contains(vcl::ssShift) && Shift.Contains(vcl::ssAlt) &&
                        Shift.Contains(vcl::ssCtrl);
    if (!hotKey || main_ == nullptr || main_->Status != fsWORK || Kind() == TKind::None) return;
    const TSettingsKey key = SettingsKey();
    OpenEditor(main_->FindFelder(key.FormName, key.DataSetName, key.Tag));
}

void TSpaltwerk::AfterOpen(vcl::TDataSet* DataSet) {
    if (!CallKept(OldAfterOpen, alive_, DataSet)) return;
    if (dataSet_ == nullptr) return;
    if (main_ == nullptr) MakeActive();
    if (main_ != nullptr && main_->Status == fsWORK && Kind() != TKind::None) Apply();
    SetColorOff();
}

void TSpaltwerk::BeforeClose(vcl::TDataSet* DataSet) {
    // First, in every status: the entry may be deleted below or by another binding.
    currentFelder_ = nullptr;
    if (!CallKept(OldBeforeClose, alive_, DataSet)) return;
    if (dataSet_ == nullptr) return;
    if (main_ == nullptr) MakeActive();
    if (main_ != nullptr && main_->Status == fsLEARN && Kind() != TKind::None) Learn();
    SetColorOff();
}

// ---- Applying and learning --------------------------------------------------------------

void TSpaltwerk::Apply() {
    const TSettingsKey key = SettingsKey();
    TFelder* entry = main_->FindFelder(key.FormName, key.DataSetName, key.Tag);
    currentFelder_ = entry;
    felderGeneration_ = main_->Generation();
    ColorOn = false;

    // A missing entry never fits: 0 fields against 1 applied.
    int fieldCount = 0;
    int applied = 1;
    if (entry != nullptr) {
        fieldCount = dataSet_->FieldCount();
        applied = 0;
        // Hide everything first: a field the entry does not name stays hidden.
        for (int i = 0; i < fieldCount; ++i) dataSet_->Fields(i)->SetVisible(false);
        for (const TFeld& feld : entry->Fields) {
            vcl::TField* field = dataSet_->FindField(feld.FieldName);
            if (field == nullptr) continue;
            ++applied;
            ApplyField(*field, feld);
        }
    }
    if (fieldCount == applied || !(main_->AutoEdit || main_->AutoLearn)) return;
    if (entry == nullptr) entry = main_->FELDER_ADD(NewFelder(key));  // null when the store rejects it
    if (main_->AutoEdit) OpenEditor(entry);
}

void TSpaltwerk::Learn() {
    const TSettingsKey key = SettingsKey();
    main_->DeleteFelder(main_->FindFelder(key.FormName, key.DataSetName, key.Tag));
    TFelder* entry = main_->FELDER_ADD(NewFelder(key));
    // A rejected entry (its cut names equal a stored one) would discard every field too.
    if (entry == nullptr) return;
    for (int i = 0; i < dataSet_->FieldCount(); ++i)
        main_->FELD_ADD(entry, std::make_unique<TFeld>(SettingsOfField(*dataSet_->Fields(i))));
}

void TSpaltwerk::OpenEditor(TFelder* entry) {
    if (main_ == nullptr || main_->Editor == nullptr) return;
    if (auto* query = dynamic_cast<vcl::TQuery*>(dataSet_))
        main_->Editor->EDIT(query, entry);
    else if (auto* table = dynamic_cast<vcl::TTable*>(dataSet_))
        main_->Editor->EDITT(table, entry);
}

// ---- Hearing what goes away -------------------------------------------------------------

void TSpaltwerk::Watch(vcl::TComponent* component) {
    if (component != nullptr) FreeNotification(component);
}

void TSpaltwerk::WatchBindingIn(const vcl::TDataSetNotifyEvent& slot) {
    Watch(OwnerIn<BindingAfterOpenHandler>(slot));
    Watch(OwnerIn<BindingBeforeCloseHandler>(slot));
}

void TSpaltwerk::WatchBindingIn(const vcl::TKeyEvent& slot) { Watch(OwnerIn<BindingKeyHandler>(slot)); }

void TSpaltwerk::Notification(vcl::TComponent* component, vcl::TOperation operation) {
    vcl::TComponent::Notification(component, operation);
    if (operation != vcl::TOperation::opRemove) return;
    if (component == dataSet_) ForgetDataSet();
    if (component == keyForm_) {
        keyForm_ = nullptr;
        OldKeyDown = nullptr;
    }
    if (component == main_) ForgetMain();
    SpliceOut<BindingAfterOpenHandler>(OldAfterOpen, component, &TSpaltwerk::OldAfterOpen, this);
    SpliceOut<BindingBeforeCloseHandler>(OldBeforeClose, component, &TSpaltwerk::OldBeforeClose, this);
    SpliceOut<BindingKeyHandler>(OldKeyDown, component, &TSpaltwerk::OldKeyDown, this);
}

void TSpaltwerk::ForgetDataSet() {
    // The kept handlers belonged to the dataset's slots; they go with it.
    dataSet_ = nullptr;
    OldAfterOpen = nullptr;
    OldBeforeClose = nullptr;
    currentFelder_ = nullptr;
    ColorOn = false;
}

void TSpaltwerk::ForgetMain() {
    // The entries went with the store; the next open or close searches again.
    main_ = nullptr;
    currentFelder_ = nullptr;
    colorTable_.fill(nullptr);
    ColorOn = false;
}

}  // namespace spaltwerk
