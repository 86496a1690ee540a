#include "store/settings_file.h"

#include <array>
#include <charconv>
#include <memory>
#include <string_view>

#include "store/main_spaltwerk.h"

namespace spaltwerk {

namespace {

// Reads the file line by line. Each read in the entries is taken only while the file has
// not ended, and tells whether it took a line, so that a value whose line is missing keeps
// what it had.
class TLineReader {
public:
    explicit TLineReader(vcl::TTextReader& reader) : reader_(reader) {}

    bool Ended() const noexcept { return reader_.Eof(); }
    int LineNo() const noexcept { return reader_.LineNo(); }

    // Unguarded: past the end it reads an empty line.
    std::string_view Line() { return reader_.ReadLnView(); }
    int Number() { return vcl::StrToInt(reader_.ReadLnView()); }

    template <std::size_t N>
    bool Text(FixedString<N>& value) {
        if (Ended()) return false;
        value.Assign(reader_.ReadLnView());
        return true;
    }
    bool Number(int& value) {
        if (Ended()) return false;
        value = Number();
        return true;
    }
    // True exactly when the line holds a capital T.
    bool Flag(bool& value) {
        if (Ended()) return false;
        value = reader_.ReadLnView().find('T') != std::string_view::npos;
        return true;
    }

private:
    vcl::TTextReader& reader_;
};

// Reads the version line, if the file starts with one, and the dataset count.
int ReadHeader(TLineReader& in, int& version) {
    const std::string_view first = in.Line();
    if (first.find("Version") == std::string_view::npos) return vcl::StrToInt(first);
    version = vcl::StrToInt(TMainSpaltwerk::TRIM(TMainSpaltwerk::SUBSTR(first, 8, 10)));
    return in.Number();  // unguarded: a file ending here has an empty count line
}

// One field entry; false when the file has ended before it.
bool ReadField(TLineReader& in, int version, TFeld& field) {
    if (in.Ended()) return false;
    in.Number(field.Index);  // replaced by FELD_ADD with the field's position
    in.Text(field.FieldName);
    in.Text(field.Caption);
    in.Text(field.EditMask);
    in.Text(field.DisplayMask);
    in.Flag(field.Visible);
    in.Flag(field.Readonly);
    in.Number(field.Length);
    if (version > 0) in.Number(field.Color);
    if (version > 1) {
        int code = 0;
        if (in.Number(code)) field.Function = FunctionOfCode(code);
        in.Text(field.Value);
    }
    return true;
}

void ReadEntries(TLineReader& in, TMainSpaltwerk& store, int count, TSettingsReadInfo& info) {
    for (int i = 0; i < count && !in.Ended(); ++i) {
        const int fieldCount = in.Number();
        auto entry = std::make_unique<TFelder>();
        const bool named = in.Text(entry->DataSetName);
        in.Number(entry->Tag);
        in.Text(entry->FormName);
        if (!named) return;  // only the count line was left: nothing of the entry itself

        ++info.Datasets;
        TFelder* stored = store.FELDER_ADD(std::move(entry));
        if (stored == nullptr) ++info.SkippedDatasets;
        for (int k = 0; k < fieldCount; ++k) {
            TFeld field;
            if (!ReadField(in, info.Version, field)) return;
            ++info.Fields;
            if (store.FELD_ADD(stored, std::move(field)) == nullptr) ++info.SkippedFields;
        }
    }
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Collects the lines of one record and hands them to the writer at once: a settings file
// has millions of lines of a few characters, so a call per line would dominate.
class TRecordLines {
public:
    // CR and LF inside a text become blanks, so that every value keeps to its line.
    template <std::size_t N>
    void Text(const FixedString<N>& text) {
        static_assert(N <= kLongestText);
        for (char c : text.view()) data_[size_++] = IsLineEnd(c) ? ' ' : c;
        End();
    }
    void Number(long long number) {
        size_ = static_cast<std::size_t>(std::to_chars(data_.data() + size_, data_.data() + data_.size(), number).ptr -
                                         data_.data());
        End();
    }
    void Flag(bool value) {
        data_[size_++] = value ? 'T' : 'F';
        End();
    }
    void WriteTo(vcl::TTextWriter& out) {
        out.Write(std::string_view(data_.data(), size_));
        size_ = 0;
    }

private:
    void End() {
        data_[size_++] = '\r';
        data_[size_++] = '\n';
    }

    static constexpr std::size_t kLongestText = 30;
    static constexpr std::size_t kLongestNumber = 20;  // -9223372036854775808
    // A field record, the longest: 5 texts, 2 flags and 4 numbers, each with CR LF.
    std::array<char, 5 * kLongestText + 2 + 4 * kLongestNumber + 11 * 2> data_;
    std::size_t size_ = 0;
};

void WriteField(TRecordLines& lines, const TFeld& field) {
    lines.Number(field.Index);
    lines.Text(field.FieldName);
    lines.Text(field.Caption);
    lines.Text(field.EditMask);
    lines.Text(field.DisplayMask);
    lines.Flag(field.Visible);
    lines.Flag(field.Readonly);
    lines.Number(field.Length);
    lines.Number(field.Color);
    lines.Number(FunctionCode(field.Function));
    lines.Text(field.Value);
}

}  // namespace

int FunctionCode(TFFUNKTION function) noexcept { return function <= cfNot ? static_cast<int>(function) - 1 : -1; }

TFFUNKTION FunctionOfCode(int code) noexcept {
    return code >= -1 && code <= static_cast<int>(cfNot) - 1 ? static_cast<TFFUNKTION>(code + 1) : cfFalse;
}

TSettingsReadInfo ReadSettings(vcl::TTextReader& reader, TMainSpaltwerk& store) {
    TSettingsReadInfo info;
    TLineReader in(reader);
    if (in.Ended()) return info;
    try {
        const int count = ReadHeader(in, info.Version);
        ReadEntries(in, store, count, info);
    } catch (const vcl::EConvertError& e) {
        throw ESettingsConvertError(e.what(), in.LineNo());
    } catch (const vcl::EInOutError& e) {
        throw ESettingsInOutError(e.what(), in.LineNo());
    }
    return info;
}

void WriteSettings(const TMainSpaltwerk& store, vcl::TTextWriter& out) {
    const auto& entries = store.FelderList();
    out.WriteLn("Version 2");
    out.WriteLn(static_cast<long long>(entries.size()));
    TRecordLines lines;
    for (const auto& entry : entries) {
        lines.Number(static_cast<long long>(entry->Fields.size()));
        lines.Text(entry->DataSetName);
        lines.Number(entry->Tag);
        lines.Text(entry->FormName);
        lines.WriteTo(out);
        for (const TFeld& field : entry->Fields) {
            WriteField(lines, field);
            lines.WriteTo(out);
        }
    }
}

}  // namespace spaltwerk
