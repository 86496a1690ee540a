// The sample application's own made-up customer database.
#pragma once

#include "vcl/dbtables.h"

namespace demo {

inline constexpr int kCustomerCount = 300;
inline constexpr int kOrderCount = 900;

// Creates and fills the tables KUNDEN and AUFTRAEGE when the database has none yet.
// The data are the same on every machine except the dates, which lie around today so that
// some orders are overdue whenever the sample runs.
void CreateSampleData(vcl::TDatabase& database);

}  // namespace demo
