#include "store/settings_key.h"

#include "vcl/db.h"
#include "vcl/forms.h"

namespace spaltwerk {

TSettingsKey SettingsKeyOf(const vcl::TDataSet& dataset) {
    const auto* form = dynamic_cast<const vcl::TForm*>(dataset.Owner());
    return {form != nullptr ? form->Name() : std::string(), dataset.Name(), dataset.Tag()};
}

}  // namespace spaltwerk
