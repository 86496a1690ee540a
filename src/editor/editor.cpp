#include "editor/editor.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

#include "editor/editor_window.h"
#include "store/field_masks.h"
#include "store/main_spaltwerk.h"
#include "vcl/dbtables.h"
#include "vcl/forms.h"
#include "vcl/sysutils.h"

namespace spaltwerk {

std::string DataSetKey(const vcl::TComponent* dataset) {
    if (dataset == nullptr) return {};
    const vcl::TComponent* owner = dataset->Owner();
    return owner != nullptr ? owner->Name() + "." + dataset->Name() : dataset->Name();
}

vcl::TDataSet* TMerken::DataSet() const noexcept {
    if (Table != nullptr) return Table;
    return Query;
}

std::string TMerken::Key() const { return DataSetKey(DataSet()); }

TMerken::~TMerken() { BeforeDestruction(); }  // the controller hears of it as a TMerken

// ---- Controller ---------------------------------------------------------------------

TEditor::TEditor(vcl::TComponent* owner) : vcl::TComponent(owner) {}

TEditor::~TEditor() {
    // The window and the records go now, while the list that names them still exists;
    // being owned, they leave without notices back to this half-destroyed controller.
    BeforeDestruction();
    form_ = nullptr;
    merken_.clear();
}

TMainSpaltwerk* TEditor::Main() const noexcept { return dynamic_cast<TMainSpaltwerk*>(Owner()); }

void TEditor::EDIT(vcl::TQuery* query, TFelder* felder) {
    if (query != nullptr) Open(query, nullptr, felder);
}

void TEditor::EDITT(vcl::TTable* table, TFelder* felder) {
    if (table != nullptr) Open(nullptr, table, felder);
}

void TEditor::OUT(vcl::TQuery* query) { Forget(query, nullptr); }

void TEditor::OUTT(vcl::TTable* table) { Forget(nullptr, table); }

void TEditor::Open(vcl::TQuery* query, vcl::TTable* table, TFelder* felder) {
    if (felder == nullptr) return;
    try {
        if (form_ == nullptr) form_ = new TMainSpaltwerkEdtior(this);
        TMainSpaltwerkEdtior& window = *form_;
        window.Busy = true;
        FollowEntries();
        TMerken* record = FindOrAddRecord(query, table, felder);
        vcl::TDataSet* previous = window.DataSet();
        window.Editor = this;
        window.Felder = felder;
        window.FelderStamp = record->Stamp;
        if (query != nullptr)
            window.Query = query;
        else
            window.Table = table;
        FillTableBox(record->Key());
        window.Busy = false;
        refresh_query(record->Key());
        window.Caption = "Tabulon ";
        window.Show();
        if (window.ListBox1->Items.Count() > 0) window.ListBox1->SetItemIndex(0);
        window.ComboBox1Change(&window);
        window.Busy = false;
        if (previous != window.DataSet()) ReleaseIfUnused(previous);
    } catch (...) {
        // Opening the editor never disturbs the caller. What was done stays done, but the
        // window must not stay deaf to the user's edits.
        if (form_ != nullptr) form_->Busy = false;
    }
}

TMerken* TEditor::FindOrAddRecord(vcl::TQuery* query, vcl::TTable* table, TFelder* felder) {
    for (TMerken* record : merken_) {
        const bool sameDataSet = query != nullptr ? record->Query == query : record->Table == table;
        if (sameDataSet && record->Felder == felder) return record;
    }
    auto record = std::make_unique<TMerken>(this);
    record->Query = query;
    record->Table = table;
    record->Felder = felder;
    record->Stamp = StampOf(felder);
    merken_.push_back(record.get());
    FreeNotification(record->DataSet());  // a dataset that goes away takes its records along
    return record.release();
}

void TEditor::FillTableBox(const std::string& text) {
    vcl::TComboBox& box = *form_->ComboBox4;
    box.Items.Clear();
    for (const TMerken* record : merken_) box.Items.Add(record->Key());
    box.SetText(text);
}

// ---- Following replaced entries -----------------------------------------------------

TFelderStamp TEditor::StampOf(const TFelder* felder) const {
    TFelderStamp stamp;
    if (felder == nullptr) return stamp;
    const TMainSpaltwerk* main = Main();
    stamp.Held = main != nullptr && main->Holds(felder);
    stamp.FormName = felder->FormName;
    stamp.DataSetName = felder->DataSetName;
    stamp.Tag = felder->Tag;
    return stamp;
}

TFelder* TEditor::Follow(TFelder* felder, TFelderStamp& stamp, const vcl::TDataSet* dataset) const {
    // An entry the store never held is the caller's own; the store cannot vouch for it.
    if (felder == nullptr || !stamp.Held) return felder;
    const TMainSpaltwerk* main = Main();
    if (main == nullptr) return nullptr;
    // Only a held entry may be read; the key tells it from a new entry at the same address.
    if (main->Holds(felder) && felder->FormName == stamp.FormName && felder->DataSetName == stamp.DataSetName &&
        felder->Tag == stamp.Tag)
        return felder;
    if (dataset == nullptr) return nullptr;
    const TSettingsKey key = SettingsKeyOf(*dataset);
    TFelder* found = main->FindFelder(key.FormName, key.DataSetName, key.Tag);
    if (found != nullptr) stamp = StampOf(found);
    return found;
}

TFelder* TEditor::EntryForSave(TFelder* felder, TFelderStamp& stamp, const vcl::TDataSet* dataset) {
    if (TFelder* found = Follow(felder, stamp, dataset)) return found;
    TMainSpaltwerk* main = Main();
    if (main != nullptr && dataset != nullptr) {
        if (TFelder* added = main->FELDER_ADD(NewFelder(SettingsKeyOf(*dataset)))) {
            stamp = StampOf(added);
            return added;
        }
    }
    throw vcl::EDatabaseError("Einstellungen f\xFCr " + DataSetKey(dataset) + " nicht gefunden !");
}

void TEditor::FollowEntries() {
    std::vector<TMerken*> dropped;
    std::vector<const TMerken*> kept;
    for (TMerken* record : merken_) {
        record->Felder = Follow(record->Felder, record->Stamp, record->DataSet());
        const bool repeats = std::any_of(kept.begin(), kept.end(), [&](const TMerken* earlier) {
            return earlier->Query == record->Query && earlier->Table == record->Table &&
                   earlier->Felder == record->Felder;
        });
        if (record->Felder == nullptr || repeats)
            dropped.push_back(record);
        else
            kept.push_back(record);
    }
    if (dropped.empty()) return;
    RemoveRecords(dropped);
    if (form_ != nullptr) {  // the table box lists only what can still be shown
        TBusyScope busy(form_->Busy);
        FillTableBox(form_->ComboBox4->Text());
    }
}

// ---- Forgetting datasets ------------------------------------------------------------

void TEditor::Forget(vcl::TQuery* query, vcl::TTable* table) {
    if (form_ != nullptr) form_->Close();
    // Without a dataset there is nothing to forget: a null Query is what every table's
    // record holds.
    if (query == nullptr && table == nullptr) return;
    std::vector<TMerken*> gone;
    for (TMerken* record : merken_)
        if (query != nullptr ? record->Query == query : record->Table == table) gone.push_back(record);
    RemoveRecords(gone);
}

void TEditor::RemoveRecords(const std::vector<TMerken*>& records) {
    std::vector<vcl::TDataSet*> datasets;
    for (TMerken* record : records) {
        std::erase(merken_, record);
        datasets.push_back(record->DataSet());
        delete record;
    }
    for (vcl::TDataSet* dataset : datasets) ReleaseIfUnused(dataset);
}

void TEditor::ReleaseIfUnused(vcl::TDataSet* dataset) {
    if (dataset == nullptr || Destroying()) return;
    const bool used = std::any_of(merken_.begin(), merken_.end(),
                                  [&](const TMerken* record) { return record->DataSet() == dataset; });
    const bool shown = form_ != nullptr && (form_->Query == dataset || form_->Table == dataset);
    if (!used && !shown) RemoveFreeNotification(dataset);
}

void TEditor::Notification(vcl::TComponent* component, vcl::TOperation operation) {
    vcl::TComponent::Notification(component, operation);
    if (operation != vcl::TOperation::opRemove) return;
    if (component == form_) {
        form_ = nullptr;
    } else if (component->Owner() == this) {
        std::erase_if(merken_, [&](const TMerken* record) { return record == component; });
    } else {
        DataSetGone(component);
    }
}

void TEditor::DataSetGone(const vcl::TComponent* dataset) {
    std::vector<TMerken*> gone;
    for (TMerken* record : merken_)
        if (record->DataSet() == dataset) gone.push_back(record);
    for (TMerken* record : gone) {
        std::erase(merken_, record);
        delete record;
    }
    if (form_ == nullptr) return;
    const bool shown = form_->Query == dataset || form_->Table == dataset;
    if (shown) form_->ForgetDataSet(dataset);
    if (shown || !gone.empty()) {
        TBusyScope busy(form_->Busy);
        FillTableBox(form_->ComboBox4->Text());
    }
}

// ---- The field list -----------------------------------------------------------------

void TEditor::refresh_query(const std::string& Key) {
    TMainSpaltwerkEdtior* window = form_;
    if (window == nullptr || window->Busy) return;
    TBusyScope busy(window->Busy);
    FollowEntries();  // never read an entry the store has destroyed

    const std::string wanted = vcl::UpperCase(Key);
    const TMerken* found = nullptr;
    for (const TMerken* record : merken_)
        if (vcl::UpperCase(record->Key()) == wanted) found = record;  // the last one wins
    window->ListBox1->Items.Clear();
    if (found == nullptr) return;

    vcl::TDataSet* previous = window->DataSet();
    window->Query = found->Query;
    window->Table = found->Table;
    window->Felder = found->Felder;
    window->FelderStamp = found->Stamp;
    window->WorkFields.clear();

    // The stored settings by upper-cased field name; of several for one name the last wins.
    std::unordered_map<std::string, const TFeld*> stored;
    for (const TFeld& setting : found->Felder->Fields) stored[vcl::UpperCase(setting.FieldName)] = &setting;

    vcl::TDataSet& dataset = *found->DataSet();
    for (int i = 0; i < dataset.FieldCount(); ++i) {
        const vcl::TField& field = *dataset.Fields(i);
        TFeld record = SettingsOfField(field);
        if (const auto match = stored.find(vcl::UpperCase(field.FieldName())); match != stored.end())
            record = *match->second;
        window->WorkFields.push_back(record);
        window->ListBox1->Items.Add(record.FieldName.str());
    }
    if (previous != window->DataSet()) ReleaseIfUnused(previous);
}

}  // namespace spaltwerk
