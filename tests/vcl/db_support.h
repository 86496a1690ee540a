// Helpers for the dataset tests: an event recorder and the field order.
#pragma once

#include <string>
#include <vector>

#include "vcl/db.h"

namespace dbtest {

// Installs the four open/close events and writes what each one saw into a log.
inline void RecordEvents(vcl::TDataSet& ds, std::vector<std::string>& log) {
    auto entry = [&log](const char* event) {
        return [&log, event](vcl::TDataSet* d) {
            log.push_back(std::string(event) + (d->Active() ? " active" : " inactive") + " fields=" +
                          std::to_string(d->FieldCount()));
        };
    };
    ds.BeforeOpen = entry("BeforeOpen");
    ds.AfterOpen = entry("AfterOpen");
    ds.BeforeClose = entry("BeforeClose");
    ds.AfterClose = entry("AfterClose");
}

// The field names in the dataset's current order, joined by ','.
inline std::string FieldOrder(const vcl::TDataSet& ds) {
    std::string order;
    for (int i = 0; i < ds.FieldCount(); ++i) order += (i ? "," : "") + ds.Fields(i)->FieldName();
    return order;
}

}  // namespace dbtest
