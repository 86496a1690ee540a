// What the store keeps of a live field. Its display mask is the display format of the
// numeric and date/time kinds, the display values of a Boolean field; other kinds have none.
#pragma once

#include <optional>
#include <string>

#include "store/records.h"

namespace vcl {
class TField;
}

namespace spaltwerk {

// The field's display mask, or nothing for a kind that has none (text, memo, blob).
std::optional<std::string> DisplayMaskOf(const vcl::TField& field);
// Sets the field's display mask; false, with nothing changed, for a kind that has none.
bool SetDisplayMask(vcl::TField& field, std::string mask);

// The field's present settings as a record, without a colour rule: what learning stores
// and what the editor starts from for a field without stored settings.
TFeld SettingsOfField(const vcl::TField& field);

}  // namespace spaltwerk
