// A shown form on an application whose error reports the test can read.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vcl/forms.h"
#include "vcl/stdctrls.h"

namespace controls_test {

class FormFixture : public ::testing::Test {
protected:
    FormFixture() {
        app.OnException = [this](vcl::TObject*, const std::exception& e) { errors.push_back(e.what()); };
        form->Show();
    }

    // A control on the form, named.
    template <class T>
    T* Add(const std::string& name) {
        auto* c = new T(form);
        c->SetName(name);
        return c;
    }

    // Records the text at every OnChange of the control.
    void RecordChanges(vcl::TTextControl& c) {
        c.OnChange = [this, &c](vcl::TObject* sender) {
            EXPECT_EQ(sender, &c);
            changes.push_back(c.Text());
        };
    }

    vcl::TApplication app;
    vcl::TForm* form = new vcl::TForm(&app);
    std::vector<std::string> errors;   // messages that reached Application->HandleException
    std::vector<std::string> changes;  // texts seen by OnChange
};

}  // namespace controls_test
