// spaltwerk-demo: a small customer database application that uses the Spaltwerk components
// as an application developer would, and tours the whole cycle: learn, edit, save, restart.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "customer_form.h"
#include "editor/editor.h"
#include "editor_session.h"
#include "sample_data.h"
#include "store/settings_file.h"
#include "vcl/dialogs.h"
#include "vcl/graphics.h"
#include "vcl/sysutils.h"
#include "vcl/terminal.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage = R"(Usage: spaltwerk-demo [--root DIR] [--plain] [COMMAND]

A small customer database application built on the Spaltwerk components: customers (the
query QKunden) and their orders (the table TAuftraege), each shown in a grid.

Commands:
  (none)                         tour the whole cycle: learn the layouts, edit them in the
                                 field editor window, save, close the store, start again
  show                           show both grids as the stored settings present them
  set DATASET FIELD ROW VALUE    change one property row of one field through the editor
                                 window and store it, e.g.
                                   set QKunden NAME Caption Kundenname
                                   set TAuftraege BETRAG Color 255
  reset                          remove the sample database and its settings file

Rows: Index Caption EditMask DisplayMask Visible Readonly Length Color Function Value
Functions: False True Lower LowerEqual Equal Higher HigherEqual Not

Options:
  --root DIR   keep the database and the settings below DIR (default: the database in
               $XDG_DATA_HOME/spaltwerk-demo, the settings in the drive root's
               C/WINDOWS/ZRK/KUNDEN.INI)
  --plain      no colours (the default when standard output is not a terminal)
  --color      colours even when standard output is not a terminal
  --help       this text
)";

struct TOptions {
    std::optional<fs::path> root;
    bool colour = vcl::ColorWanted(stdout);
    std::vector<std::string> command;
};

struct TUsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

TOptions ParseArguments(int argc, char** argv) {
    TOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--root") {
            if (i + 1 >= argc) throw TUsageError("--root needs a directory");
            options.root = fs::absolute(argv[++i]);
        } else if (arg == "--plain") {
            options.colour = false;
        } else if (arg == "--color") {
            options.colour = true;
        } else if (arg.starts_with("--") && arg != "--help") {
            throw TUsageError("unknown option " + arg);
        } else {
            options.command.push_back(arg);
        }
    }
    return options;
}

fs::path DataHome() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg != '\0') return xdg;
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return fs::path(home) / ".local" / "share";
    return fs::temp_directory_path();
}

// Where the database lives; the settings follow the drive root, which --root moves too.
fs::path DatabasePath(const TOptions& options) {
    if (options.root) {
        vcl::SetDriveRoot(*options.root / "drives");
        return *options.root / "kunden.db";
    }
    return DataHome() / "spaltwerk-demo" / "kunden.db";
}

std::string SettingsWindowsPath() { return std::string("C:\\WINDOWS\\ZRK\\") + demo::kSettingsFileName; }

// ---- Output -------------------------------------------------------------------------------

class TOutput {
public:
    explicit TOutput(bool colour) : colour_(colour) {}
    void Stage(const std::string& title) const {
        std::cout << '\n' << (colour_ ? "\x1b[1m" : "") << "== " << title << (colour_ ? "\x1b[0m" : "") << "\n";
    }
    void Say(const std::string& win1252) const { std::cout << vcl::Win1252ToUtf8(win1252) << '\n'; }
    void Grid(const char* title, vcl::TDBGrid& grid) const {
        grid.SetVisibleRowCount(8);
        grid.Paint();
        std::cout << "-- " << title << '\n' << vcl::RenderGridText(grid, colour_);
    }
    void Grids(demo::TKundenForm& form) const {
        Grid("Kunden (QKunden)", *form.GridKunden);
        Grid("Auftr\xC3\xA4ge (TAuftraege)", *form.GridAuftraege);
    }
    // The window as text, then the tooltips of its controls in tab order, as the mouse
    // would show them.
    void Window(const spaltwerk::TMainSpaltwerkEdtior& window) const {
        std::cout << vcl::RenderFormText(window);
        std::string hints;
        for (const vcl::TWinControl* control : window.ControlsInTabOrder())
            if (!control->Hint.empty()) hints += (hints.empty() ? "" : " \xB7 ") + control->Hint;
        if (window.ShowHint && !hints.empty()) Say("Tooltips: " + hints);
    }

private:
    bool colour_;
};

// ---- The application ----------------------------------------------------------------------

// The application object with its one form, as the program starts them. Errors of window
// handlers are reported on standard error and remembered.
class TRun {
public:
    explicit TRun(const fs::path& databasePath) {
        app_.OnException = [this](vcl::TObject*, const std::exception& e) {
            std::cerr << "error: " << vcl::Win1252ToUtf8(e.what()) << '\n';
            failed_ = true;
        };
        form_ = new demo::TKundenForm(&app_, databasePath.string());
    }
    demo::TKundenForm& Form() { return *form_; }
    bool Failed() const { return failed_; }

private:
    vcl::TApplication app_;
    demo::TKundenForm* form_ = nullptr;  // owned by app_
    bool failed_ = false;
};

void PrepareDatabase(const fs::path& path) {
    fs::create_directories(path.parent_path());
    vcl::TDatabase database(nullptr, path.string());
    demo::CreateSampleData(database);
}

// Opens the store; a damaged settings file stops the program and stays as it is.
void OpenStore(demo::TKundenForm& form) {
    auto damaged = [&form](const std::string& what) {
        return std::runtime_error("the settings file " + vcl::Utf8ToWin1252(vcl::MapPath(form.Store->FilePath()).string()) +
                                  " is damaged: " + what +
                                  "\nIt is kept as it is: repair it (zrkfile check shows the line) or remove it "
                                  "(spaltwerk-demo reset).");
    };
    try {
        form.Store->Open();
    } catch (const spaltwerk::ESettingsConvertError& e) {
        throw damaged("line " + vcl::IntToStr(e.LineNo()) + ": " + e.what());
    } catch (const spaltwerk::ESettingsInOutError& e) {
        throw damaged("line " + vcl::IntToStr(e.LineNo()) + ": " + e.what());
    } catch (const vcl::EInOutError& e) {
        throw std::runtime_error(std::string("the settings file cannot be read: ") + e.what());
    }
}

void LearnLayouts(demo::TKundenForm& form) {
    form.Store->Learn();
    form.OpenDataSets();
    form.CloseDataSets();
}

// Opens the store and, when it has no settings yet, learns the layouts first.
void OpenWorking(demo::TKundenForm& form, const TOutput& out) {
    const bool known = vcl::FileExists(SettingsWindowsPath());
    if (!known) out.Say("No settings yet: learning the layouts of both datasets first.");
    vcl::TShowMessageHook quiet = known ? nullptr : vcl::SetShowMessageHook([](const std::string&) {});
    OpenStore(form);
    if (!known) {
        vcl::SetShowMessageHook(std::move(quiet));
        LearnLayouts(form);
    }
    form.Store->run();
    form.OpenDataSets();
}

void CloseStore(demo::TKundenForm& form, const TOutput& out) {
    form.CloseDataSets();
    form.Store->Close();
    out.Say("Settings written to " + vcl::Utf8ToWin1252(vcl::MapPath(form.Store->FilePath()).string()));
}

// ---- Commands -----------------------------------------------------------------------------

int Tour(const fs::path& databasePath, const TOutput& out) {
    {
        TRun first(databasePath);
        demo::TKundenForm& form = first.Form();
        out.Stage("1. Learning: the store records the layouts when the datasets close");
        vcl::SetShowMessageHook([&out](const std::string& m) { out.Say("(message) " + m); });
        OpenStore(form);
        vcl::SetShowMessageHook(nullptr);
        form.Store->Learn();
        form.OpenDataSets();
        out.Grids(form);
        form.CloseDataSets();
        out.Say("Both datasets closed in the learning status: their layouts are stored.");

        out.Stage("2. Working: the stored layouts are applied when the datasets open");
        form.Store->run();
        form.OpenDataSets();
        out.Say("Status fsWORK. Ctrl+Alt+Shift+F9 on the form opens the field editor.");

        out.Stage("3. The field editor window, through its own controls");
        demo::TEditorSession editor(form);
        editor.PressHotKey();
        editor.ChooseDataSet("FormKunden.QKunden");
        editor.SelectField("VORNAME");
        editor.Type("Visible", "FALSE");
        editor.SelectField("NAME");
        editor.Type("Caption", "Kundenname");
        editor.Type("Length", "14");
        editor.SelectField("ORT");
        editor.Type("Index", "1");
        editor.Type("Length", "12");
        editor.SelectField("UMSATZ");
        editor.Type("Caption", "Umsatz \x80");
        editor.Type("DisplayMask", "#,##0.00");
        editor.Type("Length", "12");
        editor.Type("Color", vcl::IntToStr(vcl::clRed));
        editor.Type("Function", "HIGHER");
        editor.Type("Value", "20000");
        editor.SelectField("AKTIV");
        editor.Type("DisplayMask", "ja;nein");
        editor.Type("Caption", "Aktiv");
        editor.SelectFields({"PLZ", "KUNDE_SEIT"});
        out.Say("Customers: first name hidden, name renamed, city moved to position 1, turnover over "
                "20.000 in red; two fields selected at once show <?> where they differ:");
        out.Window(editor.Window());
        editor.Save();

        editor.ChooseDataSet("FormKunden.TAuftraege");
        editor.SelectField("LIEFERTERMIN");
        editor.Type("Caption", "Liefertermin");
        editor.Type("Length", "12");
        editor.Type("Color", vcl::IntToStr(vcl::clYellow));
        editor.Type("Function", "LOWER");
        editor.SelectField("BEZAHLT");
        editor.Type("DisplayMask", "bezahlt;offen");
        editor.Type("Length", "7");
        editor.SelectFields({"ARTIKEL"});
        editor.Type("Length", "22");
        editor.SelectFields({"KDNR"});
        editor.Type("Visible", "FALSE");
        editor.Save();
        out.Say("Orders: delivery dates before now (overdue) in yellow, paid shown as bezahlt/offen:");
        out.Window(editor.Window());
        editor.Close();
        out.Say("Saved and closed. The grids as they paint now:");
        out.Grids(form);

        out.Stage("4. Closing the store writes the settings file");
        CloseStore(form, out);
        if (first.Failed()) return 1;
    }
    {
        out.Stage("5. The next run: Open, run, open the datasets");
        TRun second(databasePath);
        demo::TKundenForm& form = second.Form();
        OpenStore(form);
        form.Store->run();
        form.OpenDataSets();
        out.Grids(form);
        form.CloseDataSets();
        form.Store->Close();
        if (second.Failed()) return 1;
    }
    return 0;
}

int Show(const fs::path& databasePath, const TOutput& out) {
    TRun run(databasePath);
    OpenWorking(run.Form(), out);
    out.Grids(run.Form());
    run.Form().CloseDataSets();
    run.Form().Store->Close();
    return run.Failed() ? 1 : 0;
}

int Set(const fs::path& databasePath, const TOutput& out, const std::vector<std::string>& args) {
    TRun run(databasePath);
    demo::TKundenForm& form = run.Form();
    vcl::TDBDataSet* dataSet = form.DataSetNamed(vcl::Utf8ToWin1252(args[1]));
    if (dataSet == nullptr) throw TUsageError("no dataset " + args[1] + " (QKunden or TAuftraege)");
    OpenWorking(form, out);
    demo::TEditorSession editor(form);
    editor.PressHotKey();
    editor.ChooseDataSet(form.Name() + "." + dataSet->Name());
    editor.SelectField(vcl::Utf8ToWin1252(args[2]));
    editor.Type(vcl::Utf8ToWin1252(args[3]), vcl::Utf8ToWin1252(args[4]));
    if (run.Failed()) return 1;  // the row refused the value: nothing is saved
    editor.Save();
    editor.Close();
    out.Grid(dataSet == form.QKunden ? "Kunden (QKunden)" : "Auftr\xC3\xA4ge (TAuftraege)",
             dataSet == form.QKunden ? *form.GridKunden : *form.GridAuftraege);
    CloseStore(form, out);
    return run.Failed() ? 1 : 0;
}

int Reset(const fs::path& databasePath, const TOutput& out) {
    const fs::path settings = vcl::MapPath(SettingsWindowsPath());
    for (const fs::path& p : {databasePath, settings, fs::path(settings.string() + ".bad")}) {
        std::error_code ec;
        if (fs::remove(p, ec)) out.Say("removed " + vcl::Utf8ToWin1252(p.string()));
        if (ec) throw std::runtime_error("cannot remove " + vcl::Utf8ToWin1252(p.string()) + ": " + ec.message());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const TOptions options = ParseArguments(argc, argv);
        const std::vector<std::string>& cmd = options.command;
        for (const std::string& word : cmd)
            if (word == "--help") {
                std::cout << kUsage;
                return 0;
            }
        const fs::path databasePath = DatabasePath(options);
        const TOutput out(options.colour);
        if (!cmd.empty() && cmd[0] == "reset") {
            if (cmd.size() != 1) throw TUsageError("reset takes no arguments");
            return Reset(databasePath, out);
        }
        if (!cmd.empty() && cmd[0] != "show" && cmd[0] != "set") throw TUsageError("unknown command " + cmd[0]);
        PrepareDatabase(databasePath);
        if (cmd.empty()) return Tour(databasePath, out);
        if (cmd[0] == "show") {
            if (cmd.size() != 1) throw TUsageError("show takes no arguments");
            return Show(databasePath, out);
        }
        if (cmd.size() != 5) throw TUsageError("set needs DATASET FIELD ROW VALUE");
        return Set(databasePath, out, cmd);
    } catch (const TUsageError& e) {
        std::cerr << "spaltwerk-demo: " << e.what() << "\nTry spaltwerk-demo --help.\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "spaltwerk-demo: error: " << vcl::Win1252ToUtf8(e.what()) << '\n';
        return 1;
    }
}
