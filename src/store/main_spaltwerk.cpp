#include "store/main_spaltwerk.h"

#include <climits>
#include <filesystem>
#include <functional>
#include <system_error>

#include "binding/spaltwerk.h"
#include "editor/editor.h"
#include "store/settings_file.h"
#include "vcl/dialogs.h"
#include "vcl/forms.h"
#include "vcl/sysutils.h"

namespace spaltwerk {

const std::string TMainSpaltwerk::SettingsDirectory = "C:\\WINDOWS\\ZRK";

TMainSpaltwerk::TMainSpaltwerk(vcl::TComponent* owner) : vcl::TComponent(owner) { Editor = new TEditor(this); }

namespace {
// Called inside a catch block: tells the user of the error being handled, never throws.
void ReportWithoutThrowing(vcl::TComponent* sender) noexcept {
    try {
        if (vcl::Application != nullptr) {
            vcl::Application->HandleCurrentException(sender);
            return;
        }
        try {
            throw;
        } catch (const std::exception& e) {
            vcl::ShowMessage(e.what());
        }
    } catch (...) {
    }
}
}  // namespace

TMainSpaltwerk::~TMainSpaltwerk() {
    if (Status != fsOFF) {
        try {
            Close();
        } catch (...) {
            ReportWithoutThrowing(this);  // a destructor must not throw
        }
    }
    ClearFelder();
    delete Editor;
    Editor = nullptr;
    // Listeners hear of the store's end while it is still whole.
    BeforeDestruction();
}

void TMainSpaltwerk::Notification(vcl::TComponent* component, vcl::TOperation operation) {
    vcl::TComponent::Notification(component, operation);
    if (operation == vcl::TOperation::opRemove && component == Editor) Editor = nullptr;
}

// ---- Status ---------------------------------------------------------------------------

void TMainSpaltwerk::Learn() {
    if (Status == fsGO || Status == fsWORK) Status = fsLEARN;
}

void TMainSpaltwerk::run() {
    if (Status == fsGO || Status == fsLEARN) Status = fsWORK;
}

// ---- Lists ----------------------------------------------------------------------------

std::size_t TMainSpaltwerk::TKeyHash::operator()(const TKey& key) const noexcept {
    const std::hash<std::string_view> text;
    std::size_t h = text(key.DataSetName.view());
    h = h * 31 + text(key.FormName.view());
    return h * 31 + std::hash<int>()(key.Tag);
}

TFelder* TMainSpaltwerk::FELDER_ADD(std::unique_ptr<TFelder> entry) {
    if (!entry) return nullptr;
    entry->DataSetName = vcl::UpperCase(entry->DataSetName);
    entry->FormName = vcl::UpperCase(entry->FormName);
    const auto [slot, added] = byKey_.try_emplace(KeyOf(*entry), entry.get());
    if (!added) return nullptr;  // a duplicate: the entry goes with the unique_ptr
    try {
        felder_.push_front(std::move(entry));
        positions_.emplace(felder_.front().get(), felder_.begin());
    } catch (...) {
        if (!felder_.empty() && felder_.front().get() == slot->second) felder_.pop_front();
        byKey_.erase(slot);
        throw;
    }
    return felder_.front().get();
}

TFeld* TMainSpaltwerk::FELD_ADD(TFelder* entry, std::unique_ptr<TFeld> field) {
    if (!field) return nullptr;
    return FELD_ADD(entry, std::move(*field));  // the record itself goes with the unique_ptr
}

TFeld* TMainSpaltwerk::FELD_ADD(TFelder* entry, TFeld&& field) {
    if (entry == nullptr) return nullptr;
    // The name as handed in: a lower-case letter never matches the upper-case stored names.
    for (const TFeld& stored : entry->Fields)
        if (stored.FieldName == field.FieldName) return nullptr;
    field.FieldName = vcl::UpperCase(field.FieldName);
    if (entry->Fields.empty()) {
        field.Index = 0;
    } else {
        const int last = entry->Fields.back().Index;
        field.Index = last == INT_MAX ? INT_MAX : last + 1;
    }
    entry->Fields.push_back(std::move(field));
    return &entry->Fields.back();
}

TFelder* TMainSpaltwerk::FindFelder(std::string_view FormName, std::string_view DataSetName, int Tag) const {
    // Stored names are cut to their capacity; a longer name can never equal one.
    if (FormName.size() > String30::Capacity || DataSetName.size() > String30::Capacity) return nullptr;
    const auto found = byKey_.find(TKey{vcl::UpperCase(DataSetName), Tag, vcl::UpperCase(FormName)});
    return found == byKey_.end() ? nullptr : found->second;
}

void TMainSpaltwerk::DeleteFelder(TFelder* entry) {
    const auto position = positions_.find(entry);
    if (position == positions_.end()) return;
    byKey_.erase(KeyOf(*entry));
    felder_.erase(position->second);
    positions_.erase(position);
    ++generation_;
}

void TMainSpaltwerk::ClearFelder() noexcept {
    byKey_.clear();
    positions_.clear();
    felder_.clear();
    ++generation_;
}

void TMainSpaltwerk::SetAllColorOff() {
    ++generation_;
    vcl::TApplication* app = vcl::Application;
    if (app == nullptr) return;
    for (int i = 0; i < app->ComponentCount(); ++i) {
        auto* form = dynamic_cast<vcl::TForm*>(app->Components(i));
        if (form == nullptr) continue;
        for (int k = 0; k < form->ComponentCount(); ++k)
            if (auto* binding = dynamic_cast<TSpaltwerk*>(form->Components(k))) binding->SetColorOff();
    }
}

// ---- Text pieces ----------------------------------------------------------------------

std::string TMainSpaltwerk::SUBSTR(std::string_view S, int Start, int Len) {
    if (Len <= 0) return {};
    std::string piece(static_cast<std::size_t>(Len), ' ');
    if (Start <= 0) return piece;
    const auto from = static_cast<std::size_t>(Start - 1);
    if (from < S.size()) S.substr(from).copy(piece.data(), piece.size());
    return piece;
}

std::string TMainSpaltwerk::TRIM(std::string_view S) {
    const std::size_t first = S.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(S.substr(first, S.find_last_not_of(' ') - first + 1));
}

// ---- The settings file ----------------------------------------------------------------

std::string TMainSpaltwerk::FilePath() const { return SettingsDirectory + "\\" + vcl::UpperCase(FileName); }

void TMainSpaltwerk::Open() {
    if (vcl::Application == nullptr) return;
    Status = fsGO;
    if (!vcl::DirectoryExists(SettingsDirectory)) vcl::ForceDirectories(SettingsDirectory);
    const std::string path = FilePath();
    if (!vcl::FileExists(path)) {
        vcl::ShowMessage(path + " nicht gefunden !");
        return;
    }
    try {
        vcl::TTextReader reader(path);
        ReadSettings(reader, *this);
    } catch (...) {
        unreadPath_ = path;  // the next Close must not silently replace what was not read
        throw;
    }
    if (unreadPath_ == path) unreadPath_.reset();
}

void TMainSpaltwerk::Close() {
    if (vcl::Application == nullptr) return;
    if (Status == fsOFF || Status == fsGO) return;
    Status = fsOFF;
    if (!vcl::DirectoryExists(SettingsDirectory)) vcl::ForceDirectories(SettingsDirectory);
    const std::string path = FilePath();
    const bool keepUnread = unreadPath_ == path && vcl::FileExists(path);
    if (keepUnread) KeepUnreadFile(path);

    vcl::TTextWriter writer(path, vcl::TTextWriter::Replace::Safely);
    WriteSettings(*this, writer);
    writer.Commit();

    if (unreadPath_ == path) unreadPath_.reset();
    if (keepUnread)
        vcl::Application->HandleException(
            this, vcl::EInOutError(path + " war nicht vollst\xE4ndig lesbar und wurde neu geschrieben; die alte Datei "
                                          "bleibt als " + path + ".bad erhalten !"));
}

void TMainSpaltwerk::KeepUnreadFile(const std::string& path) {
    std::error_code ec;
    std::filesystem::copy_file(vcl::MapPath(path), vcl::MapPath(path + ".bad"),
                               std::filesystem::copy_options::overwrite_existing, ec);
    if (ec)
        throw vcl::EInOutError("Cannot keep " + path + " as " + path + ".bad before replacing it: " + ec.message());
}

}  // namespace spaltwerk
