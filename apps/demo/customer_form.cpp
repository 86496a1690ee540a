#include "customer_form.h"

#include "vcl/sysutils.h"

namespace demo {

namespace {
template <class T>
T* Place(vcl::TComponent* owner, const char* name) {
    auto* component = new T(owner);
    component->SetName(name);
    return component;
}
}  // namespace

TKundenForm::TKundenForm(vcl::TComponent* owner, const std::string& databasePath) : vcl::TForm(owner) {
    SetName("FormKunden");
    Caption = "Kunden und Auftr\xE4ge";

    Store = Place<spaltwerk::TMainSpaltwerk>(this, "MainSpaltwerk1");
    Store->FileName = kSettingsFileName;

    Database = Place<vcl::TDatabase>(this, "Database1");
    Database->Open(databasePath);

    QKunden = Place<vcl::TQuery>(this, "QKunden");
    QKunden->SetDatabase(Database);
    QKunden->SetSQL(
        "SELECT KDNR, NAME, VORNAME, PLZ, ORT, UMSATZ, KUNDE_SEIT, AKTIV FROM KUNDEN ORDER BY KDNR");
    TAuftraege = Place<vcl::TTable>(this, "TAuftraege");
    TAuftraege->SetDatabase(Database);
    TAuftraege->SetTableName("AUFTRAEGE");

    DSKunden = Place<vcl::TDataSource>(this, "DSKunden");
    DSKunden->SetDataSet(QKunden);
    DSAuftraege = Place<vcl::TDataSource>(this, "DSAuftraege");
    DSAuftraege->SetDataSet(TAuftraege);

    GridKunden = Place<vcl::TDBGrid>(this, "GridKunden");
    GridKunden->SetDataSource(DSKunden);
    GridAuftraege = Place<vcl::TDBGrid>(this, "GridAuftraege");
    GridAuftraege->SetDataSource(DSAuftraege);

    SpaltwerkKunden = Place<spaltwerk::TSpaltwerk>(this, "SpaltwerkKunden");
    SpaltwerkKunden->SetDataSet(QKunden);
    SpaltwerkAuftraege = Place<spaltwerk::TSpaltwerk>(this, "SpaltwerkAuftraege");
    SpaltwerkAuftraege->SetDataSet(TAuftraege);

    ColorKunden = Place<spaltwerk::TColorSpaltwerk>(this, "ColorKunden");
    ColorKunden->SETDBG(GridKunden);
    ColorKunden->SETFST(SpaltwerkKunden);
    ColorAuftraege = Place<spaltwerk::TColorSpaltwerk>(this, "ColorAuftraege");
    ColorAuftraege->SETDBG(GridAuftraege);
    ColorAuftraege->SETFST(SpaltwerkAuftraege);
}

void TKundenForm::OpenDataSets() {
    QKunden->Open();
    TAuftraege->Open();
}

void TKundenForm::CloseDataSets() {
    TAuftraege->Close();
    QKunden->Close();
}

vcl::TDBDataSet* TKundenForm::DataSetNamed(const std::string& name) const {
    const std::string wanted = vcl::UpperCase(name);
    for (vcl::TDBDataSet* ds : {static_cast<vcl::TDBDataSet*>(QKunden), static_cast<vcl::TDBDataSet*>(TAuftraege)})
        if (vcl::UpperCase(ds->Name()) == wanted) return ds;
    return nullptr;
}

}  // namespace demo
