#include "vcl/forms.h"

#include <stdexcept>

#include "vcl/dialogs.h"

namespace vcl {

TApplication* Application = nullptr;

TApplication::TApplication() : TComponent(nullptr) {
    if (Application == nullptr) Application = this;
}

TApplication::~TApplication() {
    BeforeDestruction();  // the forms go while the application object is still reachable
    if (Application == this) Application = nullptr;
}

void TApplication::HandleException(TObject* Sender, const std::exception& E) {
    if (OnException) {
        OnException(Sender, E);
        return;
    }
    ShowMessage(E.what());
}

void TApplication::HandleCurrentException(TObject* Sender) {
    try {
        throw;
    } catch (const std::exception& e) {
        HandleException(Sender, e);
    } catch (...) {
        HandleException(Sender, std::runtime_error("Unknown error"));
    }
}

TForm::TForm(TComponent* owner) : TComponent(owner) {}

TForm::~TForm() { BeforeDestruction(); }

Word TForm::PressKey(Word key, TShiftState shift) {
    if (!OnKeyDown) return key;
    try {
        OnKeyDown(this, key, shift);
    } catch (...) {
        if (Application == nullptr) throw;
        Application->HandleCurrentException(this);
    }
    return key;
}

}  // namespace vcl
