// The settings store of an application: dataset and field settings in memory, the status
// cycle, and the settings file.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "store/records.h"
#include "vcl/classes.h"

namespace spaltwerk {

class TEditor;

class TMainSpaltwerk : public vcl::TComponent {
public:
    using TFelderList = std::list<std::unique_ptr<TFelder>>;

    explicit TMainSpaltwerk(vcl::TComponent* owner);
    // Writes the file when the status asks for it (a write error is reported, never thrown),
    // then destroys the entries and the editor.
    ~TMainSpaltwerk() override;

    TFSTATUS Status = fsOFF;
    bool AutoEdit = false;
    bool AutoLearn = true;
    TEditor* Editor = nullptr;  // owned: created by the constructor, destroyed by the destructor
    std::string FileName = "ZRKFIELD.INI";

    // Reads the settings file into the store and enters fsGO. Entries whose keys are already
    // stored stay as they are. A missing file is only a message; a bad number line raises
    // ESettingsConvertError (a vcl::EConvertError with the line number), a file that cannot
    // be read vcl::EInOutError. Nothing happens without an application.
    void Open();
    // In fsLEARN and fsWORK: enters fsOFF and writes the whole store to the settings file,
    // replacing the old file only once every line is written. A file that the last Open could
    // not read completely is first kept as "<file>.bad". Write errors raise vcl::EInOutError.
    void Close();
    void Learn();
    void run();

    // Takes a dataset entry with upper-cased names and puts it at the head. Returns it, or
    // null when its key is already stored (the entry is then destroyed).
    TFelder* FELDER_ADD(std::unique_ptr<TFelder> entry);
    // Appends a field to the entry with an upper-cased name, numbered after the last field.
    // Returns the stored record, or null (field destroyed) when the entry is null or holds a
    // field whose name equals the new name as handed in.
    TFeld* FELD_ADD(TFelder* entry, std::unique_ptr<TFeld> field);
    // The same for a record handed over by value (the settings file reader: one allocation
    // less per field).
    TFeld* FELD_ADD(TFelder* entry, TFeld&& field);
    // The entry with this key (names upper-cased, not cut), or null.
    TFelder* FindFelder(std::string_view FormName, std::string_view DataSetName, int Tag) const;
    // Destroys a stored entry with its fields. Null, or an entry the store does not hold,
    // is ignored.
    void DeleteFelder(TFelder* entry);
    // Makes every binding placed on a form of the application rebuild its colour table.
    void SetAllColorOff();

    // A piece of Len characters from position Start (from 1), padded with blanks.
    static std::string SUBSTR(std::string_view S, int Start, int Len);
    // Removes blanks (code 32 only) at both ends.
    static std::string TRIM(std::string_view S);

    // The dataset entries, head first (the most recently added first).
    const TFelderList& FelderList() const noexcept { return felder_; }

    // Pointers into the store may go stale: the generation goes up whenever an entry is
    // destroyed (DeleteFelder, destruction of the store), whenever an entry's field list may
    // have been replaced (FieldsReplaced), and with SetAllColorOff. Whoever keeps a TFelder*
    // or TFeld* remembers the generation and re-validates (Holds, FindFelder) once it moved.
    std::uint64_t Generation() const noexcept { return generation_; }
    // To be called after replacing or clearing the Fields list of a stored entry.
    void FieldsReplaced() noexcept { ++generation_; }
    // Whether the entry is one of the store's entries; O(1).
    bool Holds(const TFelder* entry) const noexcept { return entry != nullptr && positions_.contains(entry); }

    // "C:\WINDOWS\ZRK", and the settings file in it: the upper-cased FileName.
    static const std::string SettingsDirectory;
    std::string FilePath() const;

protected:
    // Forgets the editor when it is destroyed from outside, so that it is not freed twice.
    void Notification(vcl::TComponent* component, vcl::TOperation operation) override;

private:
    struct TKey {
        String30 DataSetName;
        int Tag = 0;
        String30 FormName;
        bool operator==(const TKey&) const = default;
    };
    struct TKeyHash {
        std::size_t operator()(const TKey& key) const noexcept;
    };
    static TKey KeyOf(const TFelder& entry) { return {entry.DataSetName, entry.Tag, entry.FormName}; }

    void ClearFelder() noexcept;
    void KeepUnreadFile(const std::string& path);

    TFelderList felder_;
    // Beside the list: entries by key (keys are unique, so the one match is the first from
    // the head) and by address, for lookups without walking the list.
    std::unordered_map<TKey, TFelder*, TKeyHash> byKey_;
    std::unordered_map<const TFelder*, TFelderList::iterator> positions_;
    std::uint64_t generation_ = 0;
    // The settings file that the last Open could not read completely.
    std::optional<std::string> unreadPath_;
};

}  // namespace spaltwerk
