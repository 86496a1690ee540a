// Datasets and fields: the cursor over fetched rows, the field classes, the mapping from
// declared column types to field classes, and an in-memory dataset.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "vcl/classes.h"
#include "vcl/sysutils.h"

namespace vcl {

enum TFieldType {
    ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
    ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic,
    ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary
};

// The field type's name as written in code ("ftString").
const char* FieldTypeName(TFieldType type) noexcept;

// Binary content, kept apart from text so that no code page conversion ever touches it.
struct TBlobData {
    std::string Bytes;
    friend bool operator==(const TBlobData&, const TBlobData&) = default;
};

// One value of a record: null, a whole number, a real number, Windows-1252 text or binary data.
using TFieldValue = std::variant<std::monostate, long long, double, std::string, TBlobData>;
inline constexpr std::monostate Null{};

// The length of a string field whose column declares none.
inline constexpr int DefaultStringSize = 255;

// A column as a dataset describes it before it makes the field.
struct TFieldDef {
    std::string Name;
    TFieldType DataType = ftUnknown;
    int Size = 0;       // characters of a string field; digits after the point of a BCD field
    int Precision = 0;  // total digits of a BCD field
};

// ---- Mapping declared column types to fields ----------------------------------------------

// The field definition for a column's declared type (letter case ignored, "(n)" or "(p,s)"
// read as size or precision and scale). DataType is ftUnknown when the text names no type
// the table knows; the dataset then decides by the column's first value.
TFieldDef FieldDefForDeclaredType(std::string_view declaredType);
// The field definition for a column known only by a value (its first): whole number,
// real number, binary data; text, null or no value at all make a string field.
TFieldDef FieldDefForValue(const TFieldValue& value);

// The mapping as rows a reader can quote: declared type, field class, data type.
struct TFieldTypeMapping {
    std::string DeclaredType;
    std::string ClassName;
    TFieldType DataType;
};
std::vector<TFieldTypeMapping> FieldTypeMappings();

class TDataSet;

// Where a grid puts a field's text within its cell.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// ---- Fields -------------------------------------------------------------------------------
// A dataset makes its fields when it opens and destroys them when it closes. The value
// accessors read the dataset's current record; with no current record a field is null.
// Converting a value that does not fit the request raises EConvertError.

class TField : public TComponent {
public:
    TField();
    ~TField() override;

    virtual TFieldType DataType() const noexcept = 0;
    virtual const char* ClassName() const noexcept = 0;

    const std::string& FieldName() const noexcept { return fieldName_; }
    TDataSet* DataSet() const noexcept { return dataSet_; }
    // The column's number in the dataset's source, from 1; unlike Index it never moves.
    int FieldNo() const noexcept { return fieldNo_; }
    int Size() const noexcept { return size_; }

    // The position among the dataset's fields, from 0. Setting it moves the field there,
    // the fields in between shifting by one; a position outside the list is taken as its
    // nearest end.
    int Index() const noexcept { return index_; }
    void SetIndex(int index);

    // The caption; the field name while none is set. Setting an empty text goes back to that.
    const std::string& DisplayLabel() const noexcept { return displayLabel_.empty() ? fieldName_ : displayLabel_; }
    void SetDisplayLabel(std::string label);
    const std::string& EditMask() const noexcept { return editMask_; }
    void SetEditMask(std::string mask);
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool visible);
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool readOnly);
    // Characters a grid gives the field; the kind's default while none is set. Setting 0 or
    // less goes back to the default.
    int DisplayWidth() const noexcept { return displayWidth_ > 0 ? displayWidth_ : DefaultWidth(); }
    void SetDisplayWidth(int width);

    // The current record's value. The reference is good until the cursor moves.
    const TFieldValue& Value() const noexcept;
    bool IsNull() const noexcept;
    // The plain value as text: whole numbers in decimal, real numbers as the shortest text
    // that reads back to the same number (with '.'), text as it is; null gives "".
    virtual std::string AsString() const;
    int AsInteger() const;
    long long AsLargeInt() const;
    virtual double AsFloat() const;
    // Numbers: not 0. Text: T, F, TRUE, FALSE, 1, 0 (letter case ignored).
    bool AsBoolean() const;
    // Numbers are days since 1899-12-30; text is "YYYY-MM-DD", "YYYY-MM-DD HH:MM[:SS[.fff]]"
    // (or with 'T' between) or "HH:MM[:SS[.fff]]".
    TDateTime AsDateTime() const;

    // The text a user of a grid sees for the current record's value: null shows as empty
    // text, binary data as "(BLOB)", anything else as AsString gives it. The kinds below
    // apply their display formats. It never raises a conversion error: a stored value the
    // kind cannot read shows as it is stored.
    virtual std::string DisplayText() const;
    // Numbers stand at the right of their cells, everything else at the left.
    virtual TAlignment Alignment() const noexcept { return taLeftJustify; }

protected:
    virtual int DefaultWidth() const noexcept = 0;
    // Takes the column's description when the dataset makes the field.
    virtual void Define(const TFieldDef& def) { size_ = def.Size; }
    [[noreturn]] void ConvertError(std::string_view text, std::string_view what) const;

private:
    friend class TDataSet;

    TDataSet* dataSet_ = nullptr;
    std::string fieldName_;
    int fieldNo_ = 0;
    int index_ = 0;
    int size_ = 0;
    std::string displayLabel_;
    std::string editMask_;
    bool visible_ = true;
    bool readOnly_ = false;
    int displayWidth_ = 0;
};

// Size is the declared length (255 when none was declared). It only sets the default
// display width: a longer stored text is kept and shown whole.
class TStringField : public TField {
public:
    TFieldType DataType() const noexcept override { return ftString; }
    const char* ClassName() const noexcept override { return "TStringField"; }

protected:
    int DefaultWidth() const noexcept override { return Size(); }
    void Define(const TFieldDef& def) override;
};

// Numeric fields carry a display format (applied when the value is shown).
class TNumericField : public TField {
public:
    const std::string& DisplayFormat() const noexcept { return displayFormat_; }
    void SetDisplayFormat(std::string format);
    // FormatFloat by DisplayFormat. Without one: whole numbers in decimal, other numbers by
    // FloatToStr (both in the format settings), unless the kind has a format of its own.
    std::string DisplayText() const override;
    TAlignment Alignment() const noexcept override { return taRightJustify; }

protected:
    // The format used while DisplayFormat is empty; empty for the plain value.
    virtual const char* DefaultDisplayFormat() const noexcept { return ""; }

private:
    std::string displayFormat_;
};

class TIntegerField : public TNumericField {
public:
    TFieldType DataType() const noexcept override { return ftInteger; }
    const char* ClassName() const noexcept override { return "TIntegerField"; }

protected:
    int DefaultWidth() const noexcept override { return 11; }  // "-2147483648"
};

class TSmallintField : public TIntegerField {
public:
    TFieldType DataType() const noexcept override { return ftSmallint; }
    const char* ClassName() const noexcept override { return "TSmallintField"; }

protected:
    int DefaultWidth() const noexcept override { return 6; }
};

class TWordField : public TIntegerField {
public:
    TFieldType DataType() const noexcept override { return ftWord; }
    const char* ClassName() const noexcept override { return "TWordField"; }

protected:
    int DefaultWidth() const noexcept override { return 5; }
};

// A whole number the database assigns (INTEGER PRIMARY KEY AUTOINCREMENT).
class TAutoIncField : public TIntegerField {
public:
    TFieldType DataType() const noexcept override { return ftAutoInc; }
    const char* ClassName() const noexcept override { return "TAutoIncField"; }
};

class TFloatField : public TNumericField {
public:
    TFieldType DataType() const noexcept override { return ftFloat; }
    const char* ClassName() const noexcept override { return "TFloatField"; }

protected:
    int DefaultWidth() const noexcept override { return 10; }
};

// Money shows with thousands grouping and two decimals, without a currency symbol
// ("1.234,50"), unless a DisplayFormat says otherwise.
class TCurrencyField : public TFloatField {
public:
    TFieldType DataType() const noexcept override { return ftCurrency; }
    const char* ClassName() const noexcept override { return "TCurrencyField"; }

protected:
    const char* DefaultDisplayFormat() const noexcept override { return "#,##0.00"; }
};

// A decimal number: Precision digits (18 when none was declared), Size of them after the
// point. SQLite keeps it as a whole or real number, so it reads as AsFloat does.
class TBCDField : public TNumericField {
public:
    TFieldType DataType() const noexcept override { return ftBCD; }
    const char* ClassName() const noexcept override { return "TBCDField"; }
    int Precision() const noexcept { return precision_; }

protected:
    int DefaultWidth() const noexcept override { return precision_ + 2; }  // sign and point
    void Define(const TFieldDef& def) override;

private:
    int precision_ = 18;
};

class TBooleanField : public TField {
public:
    TFieldType DataType() const noexcept override { return ftBoolean; }
    const char* ClassName() const noexcept override { return "TBooleanField"; }
    // "True;False"-style texts for showing true and false.
    const std::string& DisplayValues() const noexcept { return displayValues_; }
    void SetDisplayValues(std::string values);
    // "True" or "False"; text that is no Boolean comes as it is stored.
    std::string AsString() const override;
    // The part of DisplayValues before the ';' for true, the part after it for false (no
    // ';': the whole text for true, empty text for false); "True" or "False" while
    // DisplayValues is empty.
    std::string DisplayText() const override;

protected:
    int DefaultWidth() const noexcept override { return 5; }

private:
    std::string displayValues_;
};

// Date and time fields show "YYYY-MM-DD HH:MM:SS" (".zzz" added when there are
// milliseconds); a stored text that is no date comes as it is stored.
class TDateTimeField : public TField {
public:
    enum class TPart { Date, Time, Both };

    TFieldType DataType() const noexcept override { return ftDateTime; }
    const char* ClassName() const noexcept override { return "TDateTimeField"; }
    const std::string& DisplayFormat() const noexcept { return displayFormat_; }
    void SetDisplayFormat(std::string format);
    std::string AsString() const override;
    // FormatDateTime by DisplayFormat. Without one: dates by ShortDateFormat, times by
    // LongTimeFormat, date-times by both with the time left out at midnight. A moment
    // outside the years 1 to 9999 shows as AsString gives it.
    std::string DisplayText() const override;
    // The moment as days since 1899-12-30.
    double AsFloat() const override { return AsDateTime(); }

protected:
    // What AsString shows of the moment.
    virtual TPart Shown() const noexcept { return TPart::Both; }
    int DefaultWidth() const noexcept override { return 19; }

private:
    std::string displayFormat_;
};

// Shows "YYYY-MM-DD".
class TDateField : public TDateTimeField {
public:
    TFieldType DataType() const noexcept override { return ftDate; }
    const char* ClassName() const noexcept override { return "TDateField"; }

protected:
    TPart Shown() const noexcept override { return TPart::Date; }
    int DefaultWidth() const noexcept override { return 10; }
};

// Shows "HH:MM:SS".
class TTimeField : public TDateTimeField {
public:
    TFieldType DataType() const noexcept override { return ftTime; }
    const char* ClassName() const noexcept override { return "TTimeField"; }

protected:
    TPart Shown() const noexcept override { return TPart::Time; }
    int DefaultWidth() const noexcept override { return 8; }
};

// Binary content; AsString gives the bytes unchanged.
class TBlobField : public TField {
public:
    TFieldType DataType() const noexcept override { return ftBlob; }
    const char* ClassName() const noexcept override { return "TBlobField"; }

protected:
    int DefaultWidth() const noexcept override { return 10; }
};

// Long text.
class TMemoField : public TBlobField {
public:
    TFieldType DataType() const noexcept override { return ftMemo; }
    const char* ClassName() const noexcept override { return "TMemoField"; }
};

// A new field of the class for this type; EDatabaseError for a type no class stands for.
std::unique_ptr<TField> CreateField(TFieldType type);

// ---- Datasets -------------------------------------------------------------------------

// The source of a dataset's rows, made when the dataset opens and dropped when it closes.
class TDataCursor {
public:
    virtual ~TDataCursor() = default;
    // Reads the next row into row (one value per column); false when there is none.
    virtual bool Fetch(std::span<TFieldValue> row) = 0;

    std::vector<TFieldDef> FieldDefs;  // the columns, in order
};

using TDataSetNotifyEvent = std::function<void(TDataSet* DataSet)>;

enum TDataSetState { dsInactive, dsBrowse, dsOpening };

// A dataset reads its rows as the cursor moves and keeps the rows it has read, so opening
// a large source costs what its first rows cost and moving back needs no new reading.
//
// Events: Open raises BeforeOpen (the dataset still inactive, so the handler may set what
// is to be opened), opens, then AfterOpen; Close raises BeforeClose while the fields still
// exist, closes, then AfterClose. An error in BeforeOpen or in opening leaves the dataset
// closed; an error in BeforeClose leaves it open; an error in AfterOpen leaves it open.
// Opening or closing again from inside these handlers does nothing. A handler may replace
// its own event slot, and an After handler may destroy the dataset. A dataset closed by
// its destruction, or because its database goes away, raises no events.
//
// Cursor: RecNo counts from 1 (0 when there is no current record). Moving past the last
// record sets Eof and stays on it; moving before the first sets Bof and stays on it. An
// empty dataset is Eof and Bof. Moving a closed dataset raises EDatabaseError; asking a
// closed one (Eof, Bof, RecNo, RecordCount, IsEmpty) answers as for an empty one.
class TDataSet : public TComponent {
public:
    explicit TDataSet(TComponent* owner);
    ~TDataSet() override;

    void Open();
    void Close();
    bool Active() const noexcept { return state_ == dsBrowse; }
    void SetActive(bool active);
    TDataSetState State() const noexcept { return state_; }

    TDataSetNotifyEvent BeforeOpen;
    TDataSetNotifyEvent AfterOpen;
    TDataSetNotifyEvent BeforeClose;
    TDataSetNotifyEvent AfterClose;

    // The fields in their current order (see TField::SetIndex).
    int FieldCount() const noexcept { return static_cast<int>(fields_.size()); }
    TField* Fields(int index) const;
    // Letter case ignored (a to z); null when there is no such field.
    TField* FindField(std::string_view fieldName) const noexcept;
    // As FindField, but EDatabaseError when there is no such field.
    TField* FieldByName(std::string_view fieldName) const;

    void First();
    void Last();  // reads every remaining row
    void Next();
    void Prior();
    // Moves up to distance records (back when negative); returns how many it moved.
    int MoveBy(int distance);
    bool Eof() const noexcept { return eof_; }
    bool Bof() const noexcept { return bof_; }
    int RecNo() const noexcept { return current_ + 1; }
    // Moves to record number recNo; past either end it stops at that end, setting Eof or Bof.
    void SetRecNo(int recNo);
    // The cursor's place: the current record with the Eof and Bof flags. Code that moves
    // the cursor for its own reading (a grid drawing its rows) takes one first and goes
    // back to it afterwards, so that a loop running on Eof sees no difference.
    struct TBookmark {
        int Record = -1;  // from 0; -1 for none
        bool Eof = true;
        bool Bof = true;
    };
    TBookmark GetBookmark() const noexcept { return TBookmark{current_, eof_, bof_}; }
    // Back to a place taken since the dataset last opened. EDatabaseError when it is closed;
    // a record that is not there is treated as SetRecNo treats it.
    void GotoBookmark(const TBookmark& bookmark);
    // Reads every remaining row to count them; the cursor stays where it is.
    int RecordCount();
    bool IsEmpty();

protected:
    // Makes the source of the rows; called by Open after BeforeOpen.
    virtual std::unique_ptr<TDataCursor> OpenCursor() = 0;
    // Closes without raising events; what destruction and a lost connection do.
    void CloseQuietly() noexcept;
    // EDatabaseError when the dataset is open: for properties that may not change then.
    void CheckInactive() const;
    // Prefixes a message with the dataset's name, when it has one.
    std::string Described(std::string_view message) const;

private:
    friend class TField;

    void CheckActive() const;
    void RaiseEvent(const TDataSetNotifyEvent& event);
    void CreateFields(const std::vector<TFieldDef>& defs);
    void DestroyFields() noexcept;
    bool HasRow(int row);
    bool FetchRow();
    void MoveField(TField* field, int index);
    const TFieldValue& CurrentValue(int column) const noexcept;

    std::unique_ptr<TDataCursor> cursor_;
    std::vector<std::unique_ptr<TField>> fields_;  // in Index order
    std::vector<TFieldValue> values_;              // the fetched rows, row after row
    std::size_t columns_ = 0;
    int fetched_ = 0;
    int current_ = -1;
    bool eof_ = true;
    bool bof_ = true;
    bool opening_ = false;
    bool closing_ = false;
    TDataSetState state_ = dsInactive;
};

// A dataset whose columns and rows are defined in code.
class TMemDataSet : public TDataSet {
public:
    explicit TMemDataSet(TComponent* owner);
    ~TMemDataSet() override;

    // Adds a column; only while closed. Size is a string's length (0: 255) or a BCD's
    // digits after the point. EDatabaseError for a duplicate name or a type without a field
    // class. Records already there get null in the new column.
    void AddFieldDef(std::string name, TFieldType type, int size = 0);
    int FieldDefCount() const noexcept { return static_cast<int>(defs_.size()); }
    const TFieldDef& FieldDefs(int index) const;

    // Adds a record, one value per column (EDatabaseError otherwise). A record added while
    // the dataset is open is reached by moving past the last one.
    void AppendRecord(std::vector<TFieldValue> values);
    // Only while closed.
    void ClearRecords();
    int StoredRecordCount() const noexcept { return static_cast<int>(records_.size()); }

protected:
    std::unique_ptr<TDataCursor> OpenCursor() override;

private:
    std::vector<TFieldDef> defs_;
    std::vector<std::vector<TFieldValue>> records_;
};

}  // namespace vcl
