#include "editor/editor_window.h"

#include <array>

#include "store/field_masks.h"
#include "package/pictures.h"
#include "store/conversions.h"
#include "store/main_spaltwerk.h"
#include "vcl/db.h"
#include "vcl/dbtables.h"
#include "vcl/sysutils.h"

namespace spaltwerk {

namespace {

// The names of the colour conditions as the Function row shows and reads them.
constexpr std::array<const char*, 8> kFunctionNames = {"FALSE",  "TRUE",        "LOWER", "LOWEREQUAL",
                                                       "EQUAL",  "HIGHER",      "HIGHEREQUAL", "NOT"};

std::string FunctionName(TFFUNKTION function) {
    return function <= cfNot ? kFunctionNames[function] : kFunctionNames[cfFalse];
}

// The condition of an upper-cased name; any other text gives cfFalse.
TFFUNKTION FunctionOfName(std::string_view name) {
    for (std::size_t i = 0; i < kFunctionNames.size(); ++i)
        if (name == kFunctionNames[i]) return static_cast<TFFUNKTION>(i);
    return cfFalse;
}

std::string FlagText(bool value) { return value ? "TRUE" : "FALSE"; }

// What each row shows of a working record, in row order (Index to Value).
using TRowText = std::string (*)(const TFeld&);
constexpr std::array<TRowText, 10> kRowTexts = {
    [](const TFeld& f) { return vcl::IntToStr(f.Index); },
    [](const TFeld& f) { return f.Caption.str(); },
    [](const TFeld& f) { return f.EditMask.str(); },
    [](const TFeld& f) { return f.DisplayMask.str(); },
    [](const TFeld& f) { return FlagText(f.Visible); },
    [](const TFeld& f) { return FlagText(f.Readonly); },
    [](const TFeld& f) { return vcl::IntToStr(f.Length); },
    [](const TFeld& f) { return vcl::IntToStr(f.Color); },
    [](const TFeld& f) { return FunctionName(f.Function); },
    [](const TFeld& f) { return f.Value.str(); },
};

// The layout of the rows: caption cells at the left, value controls at the right, 24
// pixels apart.
constexpr int kCaptionLeft = 8;
constexpr int kValueLeft = 136;
constexpr int kRowWidth = 121;
constexpr int kRowHeight = 24;

}  // namespace

TMainSpaltwerkEdtior::TMainSpaltwerkEdtior(vcl::TComponent* owner) : vcl::TForm(owner) {
    Caption = "Tabulon ";
    ClientWidth = 266;
    ClientHeight = 434;
    BorderStyle = vcl::bsSingle;
    BorderIcons = {};
    FormStyle = vcl::fsStayOnTop;
    Position = vcl::poScreenCenter;
    Font = vcl::TFont{"System", -13, vcl::clWindowText, {}, vcl::DEFAULT_CHARSET};
    Scaled = false;
    PixelsPerInch = 96;
    TextHeight = 16;
    ShowHint = true;
    HelpContext = 3579;
    CreateControls();
}

TMainSpaltwerkEdtior::~TMainSpaltwerkEdtior() {
    // The controls go while the working list and the handlers' state still exist.
    BeforeDestruction();
}

vcl::TEdit* TMainSpaltwerkEdtior::CaptionCell(const char* name, const char* text, int top, int tabOrder) {
    auto* cell = new vcl::TEdit(this);
    cell->SetName(name);
    cell->SetBounds(kCaptionLeft, top, kRowWidth, kRowHeight);
    cell->TabOrder = tabOrder;
    cell->Enabled = false;
    cell->BorderStyle = vcl::bsNone;
    cell->ReadOnly = true;
    cell->Color = vcl::clBtnFace;
    cell->SetText(text);
    return cell;
}

template <class Control>
Control* TMainSpaltwerkEdtior::ValueControl(const char* name, int top, int tabOrder, const char* hint) {
    auto* control = new Control(this);
    control->SetName(name);
    control->SetBounds(kValueLeft, top, kRowWidth, kRowHeight);
    control->TabOrder = tabOrder;
    control->Hint = hint;
    return control;
}

void TMainSpaltwerkEdtior::CreateControls() {
    // Handlers are bound to this window; a control's event slot calls them by name.
    auto on = [this](void (TMainSpaltwerkEdtior::*handler)(vcl::TObject*)) {
        return [this, handler](vcl::TObject* sender) { (this->*handler)(sender); };
    };

    ComboBox4 = new vcl::TComboBox(this);
    ComboBox4->SetName("ComboBox4");
    ComboBox4->SetBounds(1, 0, 265, 24);
    ComboBox4->Hint = "Alle Tabellen";
    ComboBox4->TabOrder = 19;
    ComboBox4->ItemHeight = 16;
    ComboBox4->OnChange = on(&TMainSpaltwerkEdtior::ComboBox4Change);

    ListBox1 = new vcl::TListBox(this);
    ListBox1->SetName("ListBox1");
    ListBox1->SetBounds(0, 32, 265, 98);
    ListBox1->Hint = "Alle Felder";
    ListBox1->SetMultiSelect(true);
    ListBox1->ExtendedSelect = true;
    ListBox1->TabOrder = 20;
    ListBox1->ItemHeight = 16;
    ListBox1->OnClick = on(&TMainSpaltwerkEdtior::ComboBox1Change);

    Bevel1 = new vcl::TBevel(this);
    Bevel1->SetName("Bevel1");
    Bevel1->SetBounds(0, 136, 265, 297);

    Edit1 = CaptionCell("Edit1", "Index", 144, 12);
    Edit2 = ValueControl<vcl::TEdit>("Edit2", 144, 0, "Felderreihenfolge (0... 999)");
    Edit2->OnChange = on(&TMainSpaltwerkEdtior::Edit2Change);

    Edit3 = CaptionCell("Edit3", "Caption", 168, 13);
    Edit4 = ValueControl<vcl::TEdit>("Edit4", 168, 1, "Feld\xFC" "berschrift");
    Edit4->OnChange = on(&TMainSpaltwerkEdtior::Edit4Change);

    Edit5 = CaptionCell("Edit5", "EditMask", 192, 14);
    Edit6 = ValueControl<vcl::TEdit>("Edit6", 192, 2, "Bearbeitungsmaske (##,#0.00)");
    Edit6->OnChange = on(&TMainSpaltwerkEdtior::Edit6Change);

    Edit7 = CaptionCell("Edit7", "DisplayMask", 216, 15);
    Edit8 = ValueControl<vcl::TEdit>("Edit8", 216, 3, "Anzeigemaske (#,##0,00)");
    Edit8->OnChange = on(&TMainSpaltwerkEdtior::Edit8Change);

    Edit9 = CaptionCell("Edit9", "Visible", 240, 16);
    ComboBox2 = ValueControl<vcl::TComboBox>("ComboBox2", 240, 4, "Sichtbar");
    ComboBox2->Items.Assign({"FALSE", "TRUE"});
    ComboBox2->OnChange = on(&TMainSpaltwerkEdtior::ComboBox2Change);
    ComboBox2->OnDblClick = on(&TMainSpaltwerkEdtior::ComboBox2DblClick);

    Edit11 = CaptionCell("Edit11", "Readonly", 264, 17);
    ComboBox3 = ValueControl<vcl::TComboBox>("ComboBox3", 264, 5, "Nurlesen");
    ComboBox3->Items.Assign({"FALSE", "TRUE"});
    ComboBox3->OnChange = on(&TMainSpaltwerkEdtior::ComboBox3Change);
    ComboBox3->OnDblClick = on(&TMainSpaltwerkEdtior::ComboBox3DblClick);

    Edit13 = CaptionCell("Edit13", "Length", 288, 18);
    Edit14 = ValueControl<vcl::TEdit>("Edit14", 288, 6, "L\xE4" "nge");
    Edit14->OnChange = on(&TMainSpaltwerkEdtior::Edit14Change);

    Edit10 = CaptionCell("Edit10", "Color", 312, 21);
    Edit12 = ValueControl<vcl::TEdit>("Edit12", 312, 7, "");
    Edit12->Width = 97;  // room for the colour button beside it
    Edit12->OnChange = on(&TMainSpaltwerkEdtior::Edit12Change);

    Edit15 = CaptionCell("Edit15", "Function", 336, 22);
    ComboBox5 = ValueControl<vcl::TComboBox>("ComboBox5", 336, 8, "");
    ComboBox5->Items.Assign({"False", "True", "Lower", "LowerEqual", "Equal", "Higher", "HigherEqual", "Not"});
    ComboBox5->OnChange = on(&TMainSpaltwerkEdtior::ComboBox5Change);

    Edit16 = CaptionCell("Edit16", "Value", 360, 23);
    Edit17 = ValueControl<vcl::TEdit>("Edit17", 360, 9, "");
    Edit17->OnChange = on(&TMainSpaltwerkEdtior::Edit17Change);

    SpeedButton1 = new vcl::TSpeedButton(this);
    SpeedButton1->SetName("SpeedButton1");
    SpeedButton1->SetBounds(232, 312, 25, 25);
    SpeedButton1->Glyph = ColorButtonGlyph();
    SpeedButton1->OnClick = on(&TMainSpaltwerkEdtior::SpeedButton1Click);

    Button1 = new vcl::TButton(this);
    Button1->SetName("Button1");
    Button1->SetBounds(8, 392, 121, 33);
    Button1->Caption = "Save";
    Button1->Hint = "Einstellungen Speichern";
    Button1->TabOrder = 10;
    Button1->OnClick = on(&TMainSpaltwerkEdtior::Button1Click);

    Button2 = new vcl::TButton(this);
    Button2->SetName("Button2");
    Button2->SetBounds(136, 392, 121, 33);
    Button2->Caption = "Close";
    Button2->Hint = "Schlie\xDF" "en";
    Button2->TabOrder = 11;
    Button2->OnClick = on(&TMainSpaltwerkEdtior::Button2Click);

    ColorDialog1 = new vcl::TColorDialog(this);
    ColorDialog1->SetName("ColorDialog1");
}

vcl::TDataSet* TMainSpaltwerkEdtior::DataSet() const noexcept {
    if (Query != nullptr) return Query;
    return Table;
}

std::string TMainSpaltwerkEdtior::TRIM(std::string_view S) { return TMainSpaltwerk::TRIM(S); }

TFeld* TMainSpaltwerkEdtior::WorkRecord(std::string_view fieldName) {
    const std::string wanted = vcl::UpperCase(fieldName);
    for (TFeld& record : WorkFields)
        if (vcl::UpperCase(record.FieldName) == wanted) return &record;
    return nullptr;
}

template <class Action>
void TMainSpaltwerkEdtior::ForEachSelectedField(Action&& action) {
    for (int i = 0; i < ListBox1->Items.Count(); ++i) {
        if (!ListBox1->Selected(i)) continue;
        vcl::TDataSet* dataset = DataSet();
        vcl::TField* field = dataset != nullptr ? dataset->FindField(ListBox1->Items[i]) : nullptr;
        if (field != nullptr) action(*field);
    }
}

// ---- Showing the selection ----------------------------------------------------------

void TMainSpaltwerkEdtior::ClearRows() {
    for (vcl::TTextControl* row : RowControls()) row->SetText({});
}

std::array<vcl::TTextControl*, 10> TMainSpaltwerkEdtior::RowControls() const {
    return {Edit2, Edit4, Edit6, Edit8, ComboBox2, ComboBox3, Edit14, Edit12, ComboBox5, Edit17};
}

void TMainSpaltwerkEdtior::ComboBox1Change(vcl::TObject*) {
    TBusyScope busy(Busy);
    ClearRows();
    const auto rows = RowControls();
    const int selected = ListBox1->SelCount();
    ForEachSelectedField([&](vcl::TField& field) {
        const TFeld* record = WorkRecord(field.FieldName());
        if (record == nullptr) return;
        for (std::size_t k = 0; k < rows.size(); ++k) {
            // The first field fills a row; a later one that differs marks it for good.
            std::string value = kRowTexts[k](*record);
            const std::string& shown = rows[k]->Text();
            if (selected <= 1 || shown.empty() || shown == value)
                rows[k]->SetText(std::move(value));
            else
                rows[k]->SetText("<?>");
        }
    });
}

void TMainSpaltwerkEdtior::ComboBox4Change(vcl::TObject*) {
    if (Busy || Editor == nullptr) return;
    Editor->refresh_query(ComboBox4->Text());
    if (ListBox1->Items.Count() > 0) ListBox1->SetItemIndex(0);
    ComboBox1Change(this);
}

void TMainSpaltwerkEdtior::ForgetDataSet(const vcl::TComponent* dataset) {
    if (dataset == nullptr) return;
    const bool shown = DataSet() == dataset;
    if (Query == dataset) Query = nullptr;
    if (Table == dataset) Table = nullptr;
    if (!shown) return;
    TBusyScope busy(Busy);
    Felder = nullptr;
    FelderStamp = {};
    WorkFields.clear();
    ListBox1->Items.Clear();
    ClearRows();
    ComboBox4->SetText({});
}

// ---- Buttons ------------------------------------------------------------------------

void TMainSpaltwerkEdtior::Button1Click(vcl::TObject*) {
    if (Felder == nullptr) return;  // nothing shown: the dataset went away
    TFelder* target = Editor != nullptr ? Editor->EntryForSave(Felder, FelderStamp, DataSet()) : Felder;
    Felder = target;
    std::list<TFeld> copy(WorkFields.begin(), WorkFields.end());
    target->Fields.swap(copy);
    if (TMainSpaltwerk* main = Editor != nullptr ? Editor->Main() : nullptr) {
        main->FieldsReplaced();  // bindings must not read the rules that were just freed
        main->SetAllColorOff();
    }
}

void TMainSpaltwerkEdtior::Button2Click(vcl::TObject*) { Close(); }

void TMainSpaltwerkEdtior::SpeedButton1Click(vcl::TObject*) {
    if (ColorDialog1->Execute()) Edit12->SetText(vcl::IntToStr(ColorDialog1->Color));
}

// ---- Property rows ------------------------------------------------------------------

bool TMainSpaltwerkEdtior::PassesGuards(const vcl::TTextControl& control, bool emptyEnds, std::string& typed,
                                        std::string& trimmed) const {
    if (Busy) return false;
    typed = control.Text();
    trimmed = TRIM(typed);
    if (emptyEnds && trimmed.empty()) return false;
    return trimmed != "<?>";
}

void TMainSpaltwerkEdtior::Edit2Change(vcl::TObject*) {
    std::string typed, trimmed;
    if (!PassesGuards(*Edit2, true, typed, trimmed)) return;
    ForEachSelectedField([&](vcl::TField& field) { field.SetIndex(vcl::StrToInt(trimmed)); });
    ReorderWorkFields();
}

void TMainSpaltwerkEdtior::ReorderWorkFields() {
    std::list<TFeld> ordered;
    if (vcl::TDataSet* dataset = DataSet()) {
        for (int i = 0; i < dataset->FieldCount(); ++i) {
            const std::string name = vcl::UpperCase(dataset->Fields(i)->FieldName());
            for (auto record = WorkFields.begin(); record != WorkFields.end();) {
                const auto next = std::next(record);
                if (vcl::UpperCase(record->FieldName) == name) {
                    record->Index = i;
                    ordered.splice(ordered.end(), WorkFields, record);
                }
                record = next;
            }
        }
    }
    // What is left names no field of the dataset and goes with the old list.
    WorkFields.swap(ordered);
}

void TMainSpaltwerkEdtior::Edit4Change(vcl::TObject*) {
    std::string typed, trimmed;
    if (!PassesGuards(*Edit4, false, typed, trimmed)) return;
    ForEachSelectedField([&](vcl::TField& field) {
        field.SetDisplayLabel(typed);
        if (TFeld* record = WorkRecord(field.FieldName())) record->Caption = typed;
    });
}

void TMainSpaltwerkEdtior::Edit6Change(vcl::TObject*) {
    std::string typed, trimmed;
    if (!PassesGuards(*Edit6, false, typed, trimmed)) return;
    ForEachSelectedField([&](vcl::TField& field) {
        field.SetEditMask(typed);
        if (TFeld* record = WorkRecord(field.FieldName())) record->EditMask = typed;
    });
}

void TMainSpaltwerkEdtior::Edit8Change(vcl::TObject*) {
    std::string typed, trimmed;
    if (!PassesGuards(*Edit8, false, typed, trimmed)) return;
    ForEachSelectedField([&](vcl::TField& field) {
        if (!SetDisplayMask(field, typed)) return;  // text and memo fields have no mask
        if (TFeld* record = WorkRecord(field.FieldName())) record->DisplayMask = *DisplayMaskOf(field);
    });
}

void TMainSpaltwerkEdtior::Edit14Change(vcl::TObject*) {
    std::string typed, trimmed;
    if (!PassesGuards(*Edit14, true, typed, trimmed)) return;
    ForEachSelectedField([&](vcl::TField& field) {
        field.SetDisplayWidth(vcl::StrToInt(trimmed));
        if (TFeld* record = WorkRecord(field.FieldName())) record->Length = field.DisplayWidth();
    });
}

void TMainSpaltwerkEdtior::Edit12Change(vcl::TObject*) {
    std::string typed, trimmed;
    if (!PassesGuards(*Edit12, true, typed, trimmed)) return;
    ForEachSelectedField([&](vcl::TField& field) {
        if (TFeld* record = WorkRecord(field.FieldName())) record->Color = StringToInt_(trimmed);
    });
}

void TMainSpaltwerkEdtior::ComboBox5Change(vcl::TObject*) {
    std::string typed, trimmed;
    if (!PassesGuards(*ComboBox5, true, typed, trimmed)) return;
    const TFFUNKTION function = FunctionOfName(vcl::UpperCase(typed));
    ForEachSelectedField([&](vcl::TField& field) {
        if (TFeld* record = WorkRecord(field.FieldName())) record->Function = function;
    });
}

void TMainSpaltwerkEdtior::Edit17Change(vcl::TObject*) {
    std::string typed, trimmed;
    if (!PassesGuards(*Edit17, true, typed, trimmed)) return;
    ForEachSelectedField([&](vcl::TField& field) {
        if (TFeld* record = WorkRecord(field.FieldName())) record->Value = trimmed;
    });
}

// ---- Visible and Readonly -----------------------------------------------------------

void TMainSpaltwerkEdtior::ComboBox2Change(vcl::TObject*) { FlagChange(*ComboBox2, TFlag::Visible); }
void TMainSpaltwerkEdtior::ComboBox3Change(vcl::TObject*) { FlagChange(*ComboBox3, TFlag::Readonly); }
void TMainSpaltwerkEdtior::ComboBox2DblClick(vcl::TObject*) { FlagToggle(*ComboBox2, TFlag::Visible); }
void TMainSpaltwerkEdtior::ComboBox3DblClick(vcl::TObject*) { FlagToggle(*ComboBox3, TFlag::Readonly); }

void TMainSpaltwerkEdtior::FlagChange(vcl::TComboBox& combo, TFlag flag) {
    std::string typed, trimmed;
    if (!PassesGuards(combo, false, typed, trimmed)) return;
    ApplyFlag(combo, flag, StringToBool_(typed));
}

void TMainSpaltwerkEdtior::FlagToggle(vcl::TComboBox& combo, TFlag flag) {
    // "FALSE", "<?>" and an empty row turn the flag on, "TRUE" turns it off.
    ApplyFlag(combo, flag, !StringToBool_(combo.Text()));
}

void TMainSpaltwerkEdtior::ApplyFlag(vcl::TComboBox& combo, TFlag flag, bool value) {
    ForEachSelectedField([&](vcl::TField& field) {
        if (flag == TFlag::Visible)
            field.SetVisible(value);
        else
            field.SetReadOnly(value);
        // The row shows the new value; that change of its text applies the same value again.
        combo.SetText(FlagText(value));
        TFeld* record = WorkRecord(field.FieldName());
        if (record == nullptr) return;
        if (flag == TFlag::Visible)
            record->Visible = field.Visible();
        else
            record->Readonly = field.ReadOnly();
    });
}

}  // namespace spaltwerk
