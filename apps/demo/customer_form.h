// The sample application's one form: customers and their orders, each in a grid, each bound
// to the settings store and painted by colour rules.
#pragma once

#include <string>

#include "binding/color_spaltwerk.h"
#include "binding/spaltwerk.h"
#include "store/main_spaltwerk.h"
#include "vcl/dbgrids.h"
#include "vcl/dbtables.h"
#include "vcl/forms.h"

namespace demo {

// The name of the settings file inside C:\WINDOWS\ZRK; its own, so that the sample never
// touches the settings of another application.
inline constexpr const char* kSettingsFileName = "KUNDEN.INI";

class TKundenForm : public vcl::TForm {
public:
    // Places the components as an application developer would at design time. The store
    // comes first, so every binding finds it when it is created.
    TKundenForm(vcl::TComponent* owner, const std::string& databasePath);

    spaltwerk::TMainSpaltwerk* Store;
    vcl::TDatabase* Database;
    vcl::TQuery* QKunden;       // the customers, as a query
    vcl::TTable* TAuftraege;    // the orders, as a table
    vcl::TDataSource* DSKunden;
    vcl::TDataSource* DSAuftraege;
    vcl::TDBGrid* GridKunden;
    vcl::TDBGrid* GridAuftraege;
    spaltwerk::TSpaltwerk* SpaltwerkKunden;
    spaltwerk::TSpaltwerk* SpaltwerkAuftraege;
    spaltwerk::TColorSpaltwerk* ColorKunden;
    spaltwerk::TColorSpaltwerk* ColorAuftraege;

    void OpenDataSets();
    void CloseDataSets();
    // The dataset with this name (letter case ignored), or null.
    vcl::TDBDataSet* DataSetNamed(const std::string& name) const;
};

}  // namespace demo
