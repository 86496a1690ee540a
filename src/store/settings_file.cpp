#include "store/settings_file.h"

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
    std::string Line() { return reader_.ReadLn(); }
    int Number() { return vcl::StrToInt(reader_.ReadLn()); }

    template <std::size_t N>
    bool Text(FixedString<N>& value) {
        if (Ended()) return false;
        value.Assign(reader_.ReadLn());
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
        value = reader_.ReadLn().find('T') != std::string::npos;
        return true;
    }

private:
    vcl::TTextReader& reader_;
};

// Reads the version line, if the file starts with one, and the dataset count.
int ReadHeader(TLineReader& in, int& version) {
    const std::string first = in.Line();
    if (first.find("Version") == std::string::npos) return vcl::StrToInt(first);
    version = vcl::StrToInt(TMainSpaltwerk::TRIM(TMainSpaltwerk::SUBSTR(first, 8, 10)));
    return in.Number();  // unguarded: a file ending here has an empty count line
}

// One field entry; null when the file has ended before it.
std::unique_ptr<TFeld> ReadField(TLineReader& in, int version) {
    if (in.Ended()) return nullptr;
    auto field = std::make_unique<TFeld>();
    in.Number(field->Index);  // replaced by FELD_ADD with the field's position
    in.Text(field->FieldName);
    in.Text(field->Caption);
    in.Text(field->EditMask);
    in.Text(field->DisplayMask);
    in.Flag(field->Visible);
    in.Flag(field->Readonly);
    in.Number(field->Length);
    if (version > 0) in.Number(field->Color);
    if (version > 1) {
        int code = 0;
        if (in.Number(code)) field->Function = FunctionOfCode(code);
        in.Text(field->Value);
    }
    return field;
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
            auto field = ReadField(in, info.Version);
            if (!field) return;
            ++info.Fields;
            if (store.FELD_ADD(stored, std::move(field)) == nullptr) ++info.SkippedFields;
        }
    }
}

void WriteText(vcl::TTextWriter& out, std::string_view text) {
    if (text.find_first_of("\r\n") == std::string_view::npos) {
        out.WriteLn(text);
        return;
    }
    std::string oneLine(text);
    for (char& c : oneLine)
        if (c == '\r' || c == '\n') c = ' ';
    out.WriteLn(oneLine);
}

void WriteField(vcl::TTextWriter& out, const TFeld& field) {
    out.WriteLn(field.Index);
    WriteText(out, field.FieldName);
    WriteText(out, field.Caption);
    WriteText(out, field.EditMask);
    WriteText(out, field.DisplayMask);
    out.WriteLn(field.Visible ? "T" : "F");
    out.WriteLn(field.Readonly ? "T" : "F");
    out.WriteLn(field.Length);
    out.WriteLn(field.Color);
    out.WriteLn(FunctionCode(field.Function));
    WriteText(out, field.Value);
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
    for (const auto& entry : entries) {
        out.WriteLn(static_cast<long long>(entry->Fields.size()));
        WriteText(out, entry->DataSetName);
        out.WriteLn(entry->Tag);
        WriteText(out, entry->FormName);
        for (const TFeld& field : entry->Fields) WriteField(out, field);
    }
}

}  // namespace spaltwerk
