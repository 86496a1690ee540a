#include "sample_data.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "vcl/sysutils.h"

namespace demo {

namespace {

// A small deterministic generator, so every run makes the same customers.
class TDice {
public:
    explicit TDice(std::uint32_t seed) : state_(seed) {}
    int Below(int n) {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<int>((state_ >> 8) % static_cast<std::uint32_t>(n));
    }
    template <std::size_t N>
    const char* Pick(const char* const (&items)[N]) { return items[Below(static_cast<int>(N))]; }

private:
    std::uint32_t state_;
};

// Windows-1252 texts, as the package sees them.
constexpr const char* kNames[] = {"M\xFCller", "Schmidt", "Schneider", "Fischer", "Weber", "Meyer", "Wagner",
                                  "Becker", "Sch\xE4" "fer", "Koch", "Bauer", "Richter", "Klein", "Wolf",
                                  "Schr\xF6" "der", "Neumann", "Schwarz", "Zimmermann", "Braun", "Kr\xFC" "ger",
                                  "Hofmann", "Hartmann", "Lange", "Schmitt", "Werner", "Krause", "Meier", "Lehmann"};
constexpr const char* kFirstNames[] = {"Anna", "J\xFCrgen", "Petra", "Klaus", "Sabine", "Uwe", "Monika", "G\xFCnter",
                                       "Andrea", "Stefan", "Birgit", "J\xF6rg", "Ute", "Ralf", "Heike", "Bj\xF6rn"};
constexpr const char* kCities[] = {"K\xF6ln", "M\xFCnchen", "Hamburg", "Berlin", "D\xFCsseldorf", "N\xFCrnberg",
                                   "Stuttgart", "Leipzig", "Dresden", "Bremen", "Osnabr\xFC" "ck", "L\xFC" "beck"};
constexpr const char* kArticles[] = {"Schraubenzieher", "Bohrmaschine", "S\xE4ge", "Hammer", "Zange",
                                     "Schraubenset 200 St\xFC" "ck", "Wasserwaage", "Ma\xDF" "band", "Leiter",
                                     "Werkbank", "Schleifpapier", "D\xFC" "bel 100 St\xFC" "ck"};

std::string IsoDate(vcl::TDateTime day) { return vcl::FormatDateTime("yyyy-mm-dd", day); }

void CreateTables(vcl::TDatabase& db) {
    db.ExecSQL(
        "CREATE TABLE KUNDEN ("
        " KDNR INTEGER PRIMARY KEY AUTOINCREMENT,"
        " NAME VARCHAR(30), VORNAME VARCHAR(20), PLZ CHAR(5), ORT VARCHAR(24),"
        " UMSATZ CURRENCY, KUNDE_SEIT DATE, AKTIV BOOLEAN);"
        "CREATE TABLE AUFTRAEGE ("
        " AUFTRAGNR INTEGER PRIMARY KEY AUTOINCREMENT,"
        " KDNR INTEGER, ARTIKEL VARCHAR(30), MENGE SMALLINT, BETRAG CURRENCY,"
        " BESTELLT DATE, LIEFERTERMIN DATE, BEZAHLT BOOLEAN)");
}

void FillCustomers(vcl::TDatabase& db, TDice& dice, vcl::TDateTime today) {
    vcl::TSQLStatement insert(db,
                              "INSERT INTO KUNDEN (NAME, VORNAME, PLZ, ORT, UMSATZ, KUNDE_SEIT, AKTIV) "
                              "VALUES (?, ?, ?, ?, ?, ?, ?)");
    for (int i = 0; i < kCustomerCount; ++i) {
        insert.BindText(1, dice.Pick(kNames));
        insert.BindText(2, dice.Pick(kFirstNames));
        insert.BindText(3, std::to_string(10000 + dice.Below(89999)));
        insert.BindText(4, dice.Pick(kCities));
        insert.BindFloat(5, std::round(dice.Below(2500000)) / 100.0);  // up to 25.000,00
        insert.BindText(6, IsoDate(today - 30 - dice.Below(3650)));
        insert.BindInteger(7, dice.Below(5) != 0 ? 1 : 0);
        insert.ExecSQL();
    }
}

void FillOrders(vcl::TDatabase& db, TDice& dice, vcl::TDateTime today) {
    vcl::TSQLStatement insert(db,
                              "INSERT INTO AUFTRAEGE (KDNR, ARTIKEL, MENGE, BETRAG, BESTELLT, LIEFERTERMIN, BEZAHLT) "
                              "VALUES (?, ?, ?, ?, ?, ?, ?)");
    for (int i = 0; i < kOrderCount; ++i) {
        const vcl::TDateTime ordered = today - dice.Below(60);
        insert.BindInteger(1, 1 + dice.Below(kCustomerCount));
        insert.BindText(2, dice.Pick(kArticles));
        insert.BindInteger(3, 1 + dice.Below(20));
        insert.BindFloat(4, std::round(500 + dice.Below(250000)) / 100.0);
        insert.BindText(5, IsoDate(ordered));
        insert.BindText(6, IsoDate(ordered + 7 + dice.Below(40)));  // some before today: overdue
        insert.BindInteger(7, dice.Below(3) == 0 ? 1 : 0);
        insert.ExecSQL();
    }
}

bool HasSampleTables(vcl::TDatabase& db) {
    vcl::TSQLStatement count(db, "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = 'KUNDEN'");
    return count.Step() && std::get<long long>(count.Column(0)) > 0;
}

}  // namespace

void CreateSampleData(vcl::TDatabase& database) {
    if (HasSampleTables(database)) return;
    TDice dice(20261211u);
    const vcl::TDateTime today = vcl::Date();
    database.StartTransaction();
    try {
        CreateTables(database);
        FillCustomers(database, dice, today);
        FillOrders(database, dice, today);
        database.Commit();
    } catch (...) {
        database.Rollback();
        throw;
    }
}

}  // namespace demo
