// The field editor window: a table box of the datasets the editor was opened for, the
// fields of the dataset shown, ten property rows for the selected fields, "Save" and "Close".
#pragma once

#include <array>
#include <list>
#include <string>
#include <string_view>

#include "editor/editor.h"
#include "store/records.h"
#include "vcl/dialogs.h"
#include "vcl/forms.h"
#include "vcl/stdctrls.h"

namespace spaltwerk {

// Sets a Busy flag for a scope and gives it back its old value when the scope ends, also
// when an error leaves it: a window left busy would ignore every edit of the user.
class TBusyScope {
public:
    explicit TBusyScope(bool& busy) : busy_(busy), saved_(busy) { busy_ = true; }
    ~TBusyScope() { busy_ = saved_; }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

private:
    bool& busy_;
    bool saved_;
};

class TMainSpaltwerkEdtior : public vcl::TForm {
public:
    // Builds the window, hidden, with all its controls. The controller is its owner.
    explicit TMainSpaltwerkEdtior(vcl::TComponent* owner);
    ~TMainSpaltwerkEdtior() override;

    // ---- Controls, in creation order ------------------------------------------------
    vcl::TComboBox* ComboBox4;  // the table box: every dataset the editor was opened for
    vcl::TListBox* ListBox1;    // the fields of the dataset shown, several may be selected
    vcl::TBevel* Bevel1;
    // The rows: a caption cell and a value control each.
    vcl::TEdit* Edit1;  // "Index"
    vcl::TEdit* Edit2;
    vcl::TEdit* Edit3;  // "Caption"
    vcl::TEdit* Edit4;
    vcl::TEdit* Edit5;  // "EditMask"
    vcl::TEdit* Edit6;
    vcl::TEdit* Edit7;  // "DisplayMask"
    vcl::TEdit* Edit8;
    vcl::TEdit* Edit9;  // "Visible"
    vcl::TComboBox* ComboBox2;
    vcl::TEdit* Edit11;  // "Readonly"
    vcl::TComboBox* ComboBox3;
    vcl::TEdit* Edit13;  // "Length"
    vcl::TEdit* Edit14;
    vcl::TEdit* Edit10;  // "Color"
    vcl::TEdit* Edit12;
    vcl::TEdit* Edit15;  // "Function"
    vcl::TComboBox* ComboBox5;
    vcl::TEdit* Edit16;  // "Value"
    vcl::TEdit* Edit17;
    vcl::TSpeedButton* SpeedButton1;  // picks the colour of the Color row
    vcl::TButton* Button1;            // "Save"
    vcl::TButton* Button2;            // "Close"
    vcl::TColorDialog* ColorDialog1;

    // ---- The dataset shown ------------------------------------------------------------
    vcl::TQuery* Query = nullptr;
    vcl::TTable* Table = nullptr;
    TFelder* Felder = nullptr;  // its settings entry, not owned; "Save" writes into it
    TFelderStamp FelderStamp;   // of Felder, to tell whether the store still holds it
    TEditor* Editor = nullptr;
    // True while program code fills the controls: the change handlers then do nothing.
    bool Busy = false;
    // A copy of the settings of the shown dataset's fields, one record per field, in the
    // dataset's field order; "Save" copies it into Felder.
    std::list<TFeld> WorkFields;

    // The dataset shown: Query when set, else Table.
    vcl::TDataSet* DataSet() const noexcept;

    // ---- Handlers ---------------------------------------------------------------------
    // Shows the settings of the selected fields in the rows; "<?>" where they differ.
    void ComboBox1Change(vcl::TObject* Sender);
    // Shows the dataset named in the table box.
    void ComboBox4Change(vcl::TObject* Sender);
    // "Save": replaces the entry's field settings by a copy of the working list.
    void Button1Click(vcl::TObject* Sender);
    // "Close": hides the window; unsaved changes of the working list are dropped at the
    // next opening.
    void Button2Click(vcl::TObject* Sender);
    // Picks a colour for the Color row.
    void SpeedButton1Click(vcl::TObject* Sender);
    // Without leading and trailing blanks (code 32 only).
    static std::string TRIM(std::string_view S);

    // The property rows: each applies its text to every selected field, live and in the
    // working list.
    void Edit2Change(vcl::TObject* Sender);
    void Edit4Change(vcl::TObject* Sender);
    void Edit6Change(vcl::TObject* Sender);
    void Edit8Change(vcl::TObject* Sender);
    void ComboBox2Change(vcl::TObject* Sender);
    void ComboBox3Change(vcl::TObject* Sender);
    void Edit14Change(vcl::TObject* Sender);
    void Edit12Change(vcl::TObject* Sender);
    void ComboBox5Change(vcl::TObject* Sender);
    void Edit17Change(vcl::TObject* Sender);
    void ComboBox2DblClick(vcl::TObject* Sender);
    void ComboBox3DblClick(vcl::TObject* Sender);

    // Forgets a dataset that is going away: when it is the one shown, the window shows
    // nothing any more and drops its working list and entry.
    void ForgetDataSet(const vcl::TComponent* dataset);

    // The first working record of this field name (letter case ignored), or null.
    TFeld* WorkRecord(std::string_view fieldName);

private:
    void CreateControls();
    vcl::TEdit* CaptionCell(const char* name, const char* text, int top, int tabOrder);
    template <class Control>
    Control* ValueControl(const char* name, int top, int tabOrder, const char* hint);

    // Runs `action` on the live field of each selected item that the dataset knows.
    template <class Action>
    void ForEachSelectedField(Action&& action);
    // The checks every change handler starts with: false while busy, for "<?>", and (with
    // emptyEnds) for a blank text. Hands out the text as typed and without outer blanks.
    bool PassesGuards(const vcl::TTextControl& control, bool emptyEnds, std::string& typed,
                      std::string& trimmed) const;
    // The Visible and the Readonly row work alike on their own flag.
    enum class TFlag { Visible, Readonly };
    void FlagChange(vcl::TComboBox& combo, TFlag flag);
    void FlagToggle(vcl::TComboBox& combo, TFlag flag);
    // Sets the flag on the selected fields, shows it in the row, and stores it, read back.
    void ApplyFlag(vcl::TComboBox& combo, TFlag flag, bool value);
    // Brings the working list into the dataset's present field order.
    void ReorderWorkFields();
    // The value controls of the ten rows, Index to Value.
    std::array<vcl::TTextControl*, 10> RowControls() const;
    void ClearRows();
};

}  // namespace spaltwerk
