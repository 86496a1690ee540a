#include "store/field_masks.h"

#include "vcl/db.h"

namespace spaltwerk {

// TNumericField is the base of the integer, smallint, word, float, currency and BCD kinds;
// TDateTimeField of the date and time kinds.
std::optional<std::string> DisplayMaskOf(const vcl::TField& field) {
    if (const auto* numeric = dynamic_cast<const vcl::TNumericField*>(&field)) return numeric->DisplayFormat();
    if (const auto* moment = dynamic_cast<const vcl::TDateTimeField*>(&field)) return moment->DisplayFormat();
    if (const auto* flag = dynamic_cast<const vcl::TBooleanField*>(&field)) return flag->DisplayValues();
    return std::nullopt;
}

bool SetDisplayMask(vcl::TField& field, std::string mask) {
    if (auto* numeric = dynamic_cast<vcl::TNumericField*>(&field)) {
        numeric->SetDisplayFormat(std::move(mask));
    } else if (auto* moment = dynamic_cast<vcl::TDateTimeField*>(&field)) {
        moment->SetDisplayFormat(std::move(mask));
    } else if (auto* flag = dynamic_cast<vcl::TBooleanField*>(&field)) {
        flag->SetDisplayValues(std::move(mask));
    } else {
        return false;
    }
    return true;
}

TFeld SettingsOfField(const vcl::TField& field) {
    TFeld feld;
    feld.Index = field.Index();
    feld.FieldName = field.FieldName();
    feld.Caption = field.DisplayLabel();
    feld.EditMask = field.EditMask();
    feld.DisplayMask = DisplayMaskOf(field).value_or(std::string());
    feld.Visible = field.Visible();
    feld.Readonly = field.ReadOnly();
    feld.Length = field.DisplayWidth();
    return feld;
}

}  // namespace spaltwerk
