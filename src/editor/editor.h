// The editor controller: opens the one field editor window for a dataset, remembers every
// dataset it was opened for, and forgets datasets that go away.
#pragma once

#include <string>
#include <vector>

#include "store/fixed_string.h"
#include "store/settings_key.h"
#include "vcl/classes.h"

namespace vcl {
class TDataSet;
class TQuery;
class TTable;
}  // namespace vcl

namespace spaltwerk {

struct TFelder;
class TMainSpaltwerk;
class TMainSpaltwerkEdtior;

// The editor's name for a dataset: its owner's Name, ".", its Name; the Name alone when it
// has no owner. Letter case is kept; keys are compared upper-cased.
std::string DataSetKey(const vcl::TComponent* dataset);

// What the editor remembers of a settings entry besides its address. Learning destroys a
// dataset's entry and adds a new one, possibly at the same address; the key tells whether
// the store still holds the very entry the editor took.
struct TFelderStamp {
    bool Held = false;  // the store held the entry when the editor took it
    String30 FormName;
    String30 DataSetName;
    int Tag = 0;
};

// One dataset the editor was opened for, with the settings entry it was opened with.
// Exactly one of Query and Table is set; neither the dataset nor the entry is owned.
class TMerken : public vcl::TComponent {
public:
    explicit TMerken(vcl::TComponent* owner) : vcl::TComponent(owner) {}
    ~TMerken() override;

    vcl::TQuery* Query = nullptr;
    vcl::TTable* Table = nullptr;
    TFelder* Felder = nullptr;
    TFelderStamp Stamp;  // of Felder

    vcl::TDataSet* DataSet() const noexcept;
    // The key of Table when set, else of Query.
    std::string Key() const;
};

// Owned by the store. The four operations are virtual so that a program or test can put a
// controller of its own in the store's place and watch what the bindings ask of it.
class TEditor : public vcl::TComponent {
public:
    explicit TEditor(vcl::TComponent* owner);
    ~TEditor() override;

    // Opens the editor for a query or a table with its settings entry; nothing happens when
    // either is null. The window shows the dataset's fields with their settings. Errors are
    // dropped: opening the editor never disturbs the caller.
    virtual void EDIT(vcl::TQuery* query, TFelder* felder);
    virtual void EDITT(vcl::TTable* table, TFelder* felder);
    // Hides the window and forgets a query or a table that is going away.
    virtual void OUT(vcl::TQuery* query);
    virtual void OUTT(vcl::TTable* table);

    // Points the window at the dataset of the last record with this key (letter case
    // ignored) and rebuilds its field list and working list. A key without a record only
    // empties the field list. Does nothing while the window is filling its controls.
    void refresh_query(const std::string& Key);

    // The window: null until the first opening, then kept until the controller goes.
    TMainSpaltwerkEdtior* Form() const noexcept { return form_; }
    // The records, in the order of first opening.
    const std::vector<TMerken*>& MerkenList() const noexcept { return merken_; }

    // The main component that owns the controller, or null.
    TMainSpaltwerk* Main() const noexcept;
    // The entry to use for `dataset` in place of `felder`: `felder` itself while the store
    // still holds it under the key it had (or when the store never held it); otherwise the
    // store's entry under the dataset's settings key, with the stamp renewed; else null.
    TFelder* Follow(TFelder* felder, TFelderStamp& stamp, const vcl::TDataSet* dataset) const;
    // The stamp of an entry as the store holds it now.
    TFelderStamp StampOf(const TFelder* felder) const;
    // The entry "Save" writes into for `dataset`: as Follow; when the store no longer has
    // any entry for the dataset, a new empty one under its settings key, so that saving
    // loses nothing. EDatabaseError when no entry can be had.
    TFelder* EntryForSave(TFelder* felder, TFelderStamp& stamp, const vcl::TDataSet* dataset);

protected:
    void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

private:
    void Open(vcl::TQuery* query, vcl::TTable* table, TFelder* felder);
    TMerken* FindOrAddRecord(vcl::TQuery* query, vcl::TTable* table, TFelder* felder);
    // Re-validates every record's entry; drops records whose entry is gone for good and
    // records that came to repeat an earlier one.
    void FollowEntries();
    void Forget(vcl::TQuery* query, vcl::TTable* table);
    void RemoveRecords(const std::vector<TMerken*>& records);
    // Drops the free notification of a dataset that neither a record nor the window uses.
    void ReleaseIfUnused(vcl::TDataSet* dataset);
    void DataSetGone(const vcl::TComponent* dataset);
    // Lists the key of every record in the table box and shows `text` in it.
    void FillTableBox(const std::string& text);

    TMainSpaltwerkEdtior* form_ = nullptr;
    std::vector<TMerken*> merken_;
};

}  // namespace spaltwerk
