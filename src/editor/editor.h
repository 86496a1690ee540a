// The editor controller: opens the field editor window for a dataset.
#pragma once

#include "vcl/classes.h"

namespace vcl {
class TQuery;
class TTable;
}  // namespace vcl

namespace spaltwerk {

struct TFelder;

// Owned by the store. The four operations are virtual so that a program or test can put a
// controller of its own in the store's place and watch what the bindings ask of it.
class TEditor : public vcl::TComponent {
public:
    explicit TEditor(vcl::TComponent* owner);

    // Opens the editor for a query or a table with its settings entry (which may be null).
    virtual void EDIT(vcl::TQuery* query, TFelder* felder);
    virtual void EDITT(vcl::TTable* table, TFelder* felder);
    // Forgets a query or a table that is going away.
    virtual void OUT(vcl::TQuery* query);
    virtual void OUTT(vcl::TTable* table);
};

}  // namespace spaltwerk
