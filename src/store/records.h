// The settings records: one TFelder per dataset, owning one TFeld per field.
#pragma once

#include <cstdint>
#include <list>

#include "store/fixed_string.h"

namespace spaltwerk {

// Status of the store: whether bindings apply stored settings, learn them, or neither.
enum TFSTATUS : std::uint8_t { fsOFF, fsGO, fsLEARN, fsWORK };

// Condition of a field's colour rule.
enum TFFUNKTION : std::uint8_t { cfFalse, cfTrue, cfLower, cfLowerEqual, cfEqual, cfHigher, cfHigherEqual, cfNot };

// The settings of one field. Every creator starts with no colour rule (Color -1, cfFalse,
// empty Value), which the defaults give.
struct TFeld {
    int Index = 0;
    String30 FieldName;  // upper-case once stored
    String30 Caption;
    String20 EditMask;
    String20 DisplayMask;
    bool Visible = false;
    bool Readonly = false;
    int Length = 0;
    int Color = -1;
    TFFUNKTION Function = cfFalse;
    String20 Value;
};

// The settings of one dataset, keyed by DataSetName, Tag and FormName. The key must not
// change while the store holds the entry: the store indexes it.
struct TFelder {
    String30 DataSetName;  // upper-case once stored
    int Tag = 0;
    String30 FormName;  // upper-case once stored; empty when the dataset's owner is no form
    std::list<TFeld> Fields;  // in field order
};

}  // namespace spaltwerk
