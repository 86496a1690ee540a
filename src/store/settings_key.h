// How the store names a dataset: the triple under which its settings entry is kept.
#pragma once

#include <memory>
#include <string>

namespace vcl {
class TDataSet;
}

namespace spaltwerk {

struct TFelder;

struct TSettingsKey {
    std::string FormName;  // the dataset owner's Name when that owner is a form, else empty
    std::string DataSetName;
    int Tag = 0;
};

// Formed afresh from the dataset each time it is needed, since names may change.
TSettingsKey SettingsKeyOf(const vcl::TDataSet& dataset);

// A new entry under the key, without field settings.
std::unique_ptr<TFelder> NewFelder(const TSettingsKey& key);

}  // namespace spaltwerk
