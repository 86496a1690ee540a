#include "store/settings_key.h"

#include "store/records.h"
#include "vcl/db.h"
#include "vcl/forms.h"

namespace spaltwerk {

TSettingsKey SettingsKeyOf(const vcl::TDataSet& dataset) {
    const auto* form = dynamic_cast<const vcl::TForm*>(dataset.Owner());
    return {form != nullptr ? form->Name() : std::string(), dataset.Name(), dataset.Tag()};
}

std::unique_ptr<TFelder> NewFelder(const TSettingsKey& key) {
    auto entry = std::make_unique<TFelder>();
    entry->DataSetName = key.DataSetName;
    entry->Tag = key.Tag;
    entry->FormName = key.FormName;
    return entry;
}

}  // namespace spaltwerk
