#include "editor_session.h"

#include "editor/editor.h"
#include "vcl/stdctrls.h"
#include "vcl/sysutils.h"

namespace demo {

namespace {
vcl::TTextControl& RowControl(spaltwerk::TMainSpaltwerkEdtior& w, std::string_view row) {
    const std::string name = vcl::UpperCase(row);
    if (name == "INDEX") return *w.Edit2;
    if (name == "CAPTION") return *w.Edit4;
    if (name == "EDITMASK") return *w.Edit6;
    if (name == "DISPLAYMASK") return *w.Edit8;
    if (name == "VISIBLE") return *w.ComboBox2;
    if (name == "READONLY") return *w.ComboBox3;
    if (name == "LENGTH") return *w.Edit14;
    if (name == "COLOR") return *w.Edit12;
    if (name == "FUNCTION") return *w.ComboBox5;
    if (name == "VALUE") return *w.Edit17;
    throw vcl::EInvalidOperation("The editor has no row \"" + std::string(row) +
                                 "\"; rows: Index, Caption, EditMask, DisplayMask, Visible, Readonly, "
                                 "Length, Color, Function, Value");
}
}  // namespace

spaltwerk::TMainSpaltwerkEdtior& TEditorSession::PressHotKey() {
    form_.PressKey(vcl::VK_F9, {vcl::ssCtrl, vcl::ssAlt, vcl::ssShift});
    spaltwerk::TMainSpaltwerkEdtior* window = form_.Store->Editor->Form();
    if (window == nullptr || !window->Visible())
        throw vcl::EInvalidOperation("The field editor did not open: the store has no settings for these datasets");
    return *window;
}

spaltwerk::TMainSpaltwerkEdtior& TEditorSession::Window() const {
    spaltwerk::TMainSpaltwerkEdtior* window = form_.Store->Editor->Form();
    if (window == nullptr) throw vcl::EInvalidOperation("The field editor is not open");
    return *window;
}

void TEditorSession::ChooseDataSet(std::string_view key) {
    spaltwerk::TMainSpaltwerkEdtior& w = Window();
    if (w.ComboBox4->Items.IndexOf(key) < 0)
        throw vcl::EInvalidOperation("The field editor does not list the dataset " + std::string(key));
    vcl::User::PickItem(*w.ComboBox4, key);
}

int TEditorSession::ItemOf(std::string_view field) const {
    const int index = Window().ListBox1->Items.IndexOf(field);
    if (index < 0) throw vcl::EInvalidOperation("The field editor does not list the field " + std::string(field));
    return index;
}

void TEditorSession::SelectFields(std::initializer_list<std::string_view> names) {
    bool first = true;
    for (std::string_view name : names) {
        vcl::User::ClickItem(*Window().ListBox1, ItemOf(name), first ? vcl::TShiftState{} : vcl::TShiftState{vcl::ssCtrl});
        first = false;
    }
}

void TEditorSession::Type(std::string_view row, std::string_view text) {
    vcl::User::TypeText(RowControl(Window(), row), text);
}

void TEditorSession::Save() { vcl::User::Click(*Window().Button1); }

void TEditorSession::Close() { vcl::User::Click(*Window().Button2); }

}  // namespace demo
