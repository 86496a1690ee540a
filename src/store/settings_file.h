// Reading and writing the settings file: one value per line, CR LF, single-byte text.
// Version 2 is written; versions 0, 1 and 2 are read.
#pragma once

#include <string>

#include "store/records.h"
#include "vcl/sysutils.h"

namespace spaltwerk {

class TMainSpaltwerk;

// An error met while reading, of the original kind, with the line at which reading failed.
template <class Base>
class ESettingsLineError : public Base {
public:
    ESettingsLineError(const std::string& message, int lineNo) : Base(message), lineNo_(lineNo) {}
    int LineNo() const noexcept { return lineNo_; }

private:
    int lineNo_;
};
using ESettingsConvertError = ESettingsLineError<vcl::EConvertError>;
using ESettingsInOutError = ESettingsLineError<vcl::EInOutError>;

// What a read found in the file.
struct TSettingsReadInfo {
    int Version = 0;
    int Datasets = 0;         // dataset entries read
    int Fields = 0;           // field entries read
    int SkippedDatasets = 0;  // entries whose key was already stored
    int SkippedFields = 0;    // fields of skipped entries, and fields repeating a name
};

// Adds the entries of a settings file to the store through FELDER_ADD and FELD_ADD.
// Reading stops where the file ends; a record partly read before the end still enters,
// one of which no line was read does not. On an error the entries added so far stay,
// the record being filled is dropped.
TSettingsReadInfo ReadSettings(vcl::TTextReader& reader, TMainSpaltwerk& store);

// Writes the store as a version 2 file, entries head first. CR and LF inside texts are
// written as blanks so that every value keeps to its line.
void WriteSettings(const TMainSpaltwerk& store, vcl::TTextWriter& writer);

// The file code of a colour condition (ordinal - 1; -1 for bytes outside the enumeration)
// and back (any other number gives cfFalse).
int FunctionCode(TFFUNKTION function) noexcept;
TFFUNKTION FunctionOfCode(int code) noexcept;

}  // namespace spaltwerk
