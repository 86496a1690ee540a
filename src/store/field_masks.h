// The display mask of a field: the display format of the numeric and date/time kinds, the
// display values of a Boolean field. Other kinds have none.
#pragma once

#include <optional>
#include <string>

namespace vcl {
class TField;
}

namespace spaltwerk {

// The field's display mask, or nothing for a kind that has none (text, memo, blob).
std::optional<std::string> DisplayMaskOf(const vcl::TField& field);
// Sets the field's display mask; false, with nothing changed, for a kind that has none.
bool SetDisplayMask(vcl::TField& field, std::string mask);

}  // namespace spaltwerk
