#include "editor/editor.h"

namespace spaltwerk {

TEditor::TEditor(vcl::TComponent* owner) : vcl::TComponent(owner) {}

void TEditor::EDIT(vcl::TQuery*, TFelder*) {}
void TEditor::EDITT(vcl::TTable*, TFelder*) {}
void TEditor::OUT(vcl::TQuery*) {}
void TEditor::OUTT(vcl::TTable*) {}

}  // namespace spaltwerk
