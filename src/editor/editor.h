// The editor controller: opens the field editor window for a dataset.
#pragma once

#include "vcl/classes.h"

namespace vcl {
class TQuery;
class TTable;
}  // namespace vcl

namespace spaltwerk {

struct TFelder;

// Owned by the store. The editor window lands later; until then opening it and forgetting
// a dataset do nothing.
class TEditor : public vcl::TComponent {
public:
    explicit TEditor(vcl::TComponent* owner);

    // Opens the editor for a query or a table with its settings entry (which may be null).
    void EDIT(vcl::TQuery* query, TFelder* felder);
    void EDITT(vcl::TTable* table, TFelder* felder);
    // Forgets a query or a table that is going away.
    void OUT(vcl::TQuery* query);
    void OUTT(vcl::TTable* table);
};

}  // namespace spaltwerk
