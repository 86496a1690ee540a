// The dataset: opening and closing with their events, the fields, the cursor over the
// fetched rows; and the in-memory dataset.

#include "vcl/db.h"

#include <algorithm>
#include <cstdint>

namespace vcl {

namespace {

// Room made at open for the rows a first screen shows.
constexpr std::size_t kFirstRows = 64;

// Equal names with the letters a to z compared regardless of case, as UpperCase does.
bool SameName(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

}  // namespace

TDataSet::TDataSet(TComponent* owner) : TComponent(owner) {}

TDataSet::~TDataSet() {
    BeforeDestruction();
    CloseQuietly();
}

// ---- Opening and closing ------------------------------------------------------------------

void TDataSet::Open() {
    // A handler that opens the dataset again meanwhile does nothing.
    if (state_ != dsInactive || opening_) return;
    opening_ = true;
    try {
        // Still inactive here: the handler may set the SQL text, the table or the database.
        RaiseEvent(BeforeOpen);
        state_ = dsOpening;
        cursor_ = OpenCursor();
        CreateFields(cursor_->FieldDefs);
        HasRow(0);
    } catch (...) {
        CloseQuietly();
        throw;
    }
    opening_ = false;
    state_ = dsBrowse;
    current_ = fetched_ > 0 ? 0 : -1;
    bof_ = true;
    eof_ = fetched_ == 0;
    RaiseEvent(AfterOpen);
}

void TDataSet::Close() {
    // A handler that closes the dataset again meanwhile does nothing.
    if (state_ != dsBrowse || closing_) return;
    closing_ = true;
    try {
        RaiseEvent(BeforeClose);
    } catch (...) {
        closing_ = false;
        throw;
    }
    CloseQuietly();
    RaiseEvent(AfterClose);
}

void TDataSet::RaiseEvent(const TDataSetNotifyEvent& event) {
    if (!event) return;
    // A copy runs: the handler may put another one in its slot, and an After handler may
    // even destroy the dataset.
    const TDataSetNotifyEvent handler = event;
    handler(this);
}

void TDataSet::SetActive(bool active) {
    if (active)
        Open();
    else
        Close();
}

void TDataSet::CloseQuietly() noexcept {
    DestroyFields();
    cursor_.reset();
    values_.clear();
    values_.shrink_to_fit();
    columns_ = 0;
    fetched_ = 0;
    current_ = -1;
    eof_ = bof_ = true;
    opening_ = closing_ = false;
    state_ = dsInactive;
}

void TDataSet::CheckActive() const {
    if (!Active()) throw EDatabaseError(Described("Cannot perform this operation on a closed dataset"));
}

void TDataSet::CheckInactive() const {
    if (state_ != dsInactive) throw EDatabaseError(Described("Cannot perform this operation on an open dataset"));
}

std::string TDataSet::Described(std::string_view message) const {
    return Name().empty() ? std::string(message) : Name() + ": " + std::string(message);
}

// ---- Fields -------------------------------------------------------------------------------

void TDataSet::CreateFields(const std::vector<TFieldDef>& defs) {
    columns_ = defs.size();
    values_.reserve(columns_ * kFirstRows);
    fields_.reserve(defs.size());
    for (const TFieldDef& def : defs) {
        std::unique_ptr<TField> field = CreateField(def.DataType);
        field->Define(def);
        // A result may repeat a column name ("SELECT a, a ..."); the later ones get a
        // suffix so that every field can be found by its name.
        std::string name = def.Name;
        for (int n = 1; FindField(name) != nullptr; ++n) name = def.Name + "_" + IntToStr(n);
        field->fieldName_ = std::move(name);
        field->dataSet_ = this;
        field->fieldNo_ = static_cast<int>(fields_.size()) + 1;
        field->index_ = static_cast<int>(fields_.size());
        fields_.push_back(std::move(field));
    }
}

void TDataSet::DestroyFields() noexcept {
    // Last first, each out of the list before it goes, so that a listener hearing of one
    // field going sees only the fields that remain.
    while (!fields_.empty()) {
        std::unique_ptr<TField> field = std::move(fields_.back());
        fields_.pop_back();
        field.reset();
    }
}

TField* TDataSet::Fields(int index) const {
    if (index < 0 || index >= FieldCount())
        throw EListError(Described("Field index out of range (" + IntToStr(index) + ")"));
    return fields_[static_cast<std::size_t>(index)].get();
}

TField* TDataSet::FindField(std::string_view fieldName) const noexcept {
    for (const auto& field : fields_)
        if (SameName(field->FieldName(), fieldName)) return field.get();
    return nullptr;
}

TField* TDataSet::FieldByName(std::string_view fieldName) const {
    TField* field = FindField(fieldName);
    if (field == nullptr) throw EDatabaseError(Described("Field '" + std::string(fieldName) + "' not found"));
    return field;
}

void TDataSet::MoveField(TField* field, int index) {
    const int from = field->index_;
    const int to = std::clamp(index, 0, FieldCount() - 1);
    if (from == to) return;
    const auto begin = fields_.begin();
    if (from < to)
        std::rotate(begin + from, begin + from + 1, begin + to + 1);
    else
        std::rotate(begin + to, begin + from, begin + from + 1);
    for (int i = std::min(from, to); i <= std::max(from, to); ++i) fields_[static_cast<std::size_t>(i)]->index_ = i;
}

// ---- Rows ---------------------------------------------------------------------------------

bool TDataSet::FetchRow() {
    const std::size_t used = static_cast<std::size_t>(fetched_) * columns_;
    values_.resize(used + columns_);
    bool fetched = false;
    try {
        fetched = cursor_->Fetch(std::span<TFieldValue>(values_.data() + used, columns_));
    } catch (...) {
        values_.resize(used);
        throw;
    }
    if (!fetched) {
        values_.resize(used);
        return false;
    }
    ++fetched_;
    return true;
}

bool TDataSet::HasRow(int row) {
    if (row < 0 || cursor_ == nullptr) return false;
    while (fetched_ <= row)
        if (!FetchRow()) return false;
    return true;
}

const TFieldValue& TDataSet::CurrentValue(int column) const noexcept {
    static const TFieldValue kNull;
    if (current_ < 0 || column < 0 || static_cast<std::size_t>(column) >= columns_) return kNull;
    return values_[static_cast<std::size_t>(current_) * columns_ + static_cast<std::size_t>(column)];
}

// ---- Cursor -------------------------------------------------------------------------------

void TDataSet::First() {
    CheckActive();
    current_ = HasRow(0) ? 0 : -1;
    bof_ = true;
    eof_ = current_ < 0;
}

void TDataSet::Last() {
    CheckActive();
    while (FetchRow()) {
    }
    current_ = fetched_ - 1;
    eof_ = true;
    bof_ = current_ < 0;
}

void TDataSet::Next() { MoveBy(1); }

void TDataSet::Prior() { MoveBy(-1); }

int TDataSet::MoveBy(int distance) {
    CheckActive();
    if (distance == 0) return 0;
    eof_ = bof_ = false;
    int moved = 0;
    if (distance > 0) {
        while (moved < distance && HasRow(current_ + 1)) {
            ++current_;
            ++moved;
        }
        eof_ = moved < distance;
    } else {
        const long long wanted = -static_cast<long long>(distance);
        const int back = static_cast<int>(std::min<long long>(wanted, std::max(current_, 0)));
        current_ -= back;
        moved = -back;
        bof_ = back < wanted;
    }
    if (current_ < 0) eof_ = bof_ = true;
    return moved;
}

void TDataSet::SetRecNo(int recNo) {
    CheckActive();
    const long long distance = static_cast<long long>(recNo) - RecNo();
    MoveBy(static_cast<int>(std::clamp<long long>(distance, INT32_MIN, INT32_MAX)));
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
    CheckActive();
    const bool none = bookmark.Record < 0;
    if (none ? HasRow(0) : !HasRow(bookmark.Record)) {
        SetRecNo(bookmark.Record + 1);
        return;
    }
    current_ = bookmark.Record;
    eof_ = none || bookmark.Eof;
    bof_ = none || bookmark.Bof;
}

int TDataSet::RecordCount() {
    if (!Active()) return 0;
    while (FetchRow()) {
    }
    return fetched_;
}

bool TDataSet::IsEmpty() { return !Active() || !HasRow(0); }

// ---- TMemDataSet ----------------------------------------------------------------------------

namespace {

class TMemCursor : public TDataCursor {
public:
    TMemCursor(const std::vector<TFieldDef>& defs, const std::vector<std::vector<TFieldValue>>& records)
        : records_(records) {
        FieldDefs = defs;
    }

    bool Fetch(std::span<TFieldValue> row) override {
        if (next_ >= records_.size()) return false;
        std::copy(records_[next_].begin(), records_[next_].end(), row.begin());
        ++next_;
        return true;
    }

private:
    const std::vector<std::vector<TFieldValue>>& records_;
    std::size_t next_ = 0;
};

}  // namespace

TMemDataSet::TMemDataSet(TComponent* owner) : TDataSet(owner) {}

TMemDataSet::~TMemDataSet() {
    // Listeners may still move the cursor, which reads records_.
    BeforeDestruction();
    CloseQuietly();
}

void TMemDataSet::AddFieldDef(std::string name, TFieldType type, int size) {
    CheckInactive();
    if (name.empty()) throw EDatabaseError(Described("A field needs a name"));
    for (const TFieldDef& def : defs_)
        if (UpperCase(def.Name) == UpperCase(name))
            throw EDatabaseError(Described("Duplicate field name '" + name + "'"));
    CreateField(type);  // raises for a type that has no field class
    defs_.push_back(TFieldDef{std::move(name), type, size, 0});
    for (auto& record : records_) record.emplace_back();
}

const TFieldDef& TMemDataSet::FieldDefs(int index) const {
    if (index < 0 || index >= FieldDefCount())
        throw EListError(Described("Field definition index out of range (" + IntToStr(index) + ")"));
    return defs_[static_cast<std::size_t>(index)];
}

void TMemDataSet::AppendRecord(std::vector<TFieldValue> values) {
    if (values.size() != defs_.size())
        throw EDatabaseError(Described("A record needs " + IntToStr(static_cast<long long>(defs_.size())) +
                                       " values, not " + IntToStr(static_cast<long long>(values.size()))));
    records_.push_back(std::move(values));
}

void TMemDataSet::ClearRecords() {
    CheckInactive();
    records_.clear();
}

std::unique_ptr<TDataCursor> TMemDataSet::OpenCursor() { return std::make_unique<TMemCursor>(defs_, records_); }

}  // namespace vcl
