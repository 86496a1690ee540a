// zrkfile: checks, shows and upgrades settings files with the store's own reader and writer.

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/main_spaltwerk.h"
#include "store/settings_file.h"
#include "vcl/sysutils.h"

namespace {

namespace fs = std::filesystem;
using spaltwerk::TMainSpaltwerk;

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

const char* const kToolHelp =
    "Usage: zrkfile COMMAND [ARGUMENTS]\n"
    "Checks, shows and upgrades Spaltwerk settings files (such as ZRKFIELD.INI).\n"
    "\n"
    "Commands:\n"
    "  check FILE           read FILE and say whether the store accepts it\n"
    "  dump FILE            show every dataset entry and its fields as a table\n"
    "  upgrade FILE [OUT]   write FILE again in the version 2 layout, to OUT or in place\n"
    "\n"
    "zrkfile COMMAND --help shows the help of one command.\n"
    "Exit status: 0 done, 1 the file could not be read or written, 2 bad arguments.\n";

const char* const kCheckHelp =
    "Usage: zrkfile check FILE\n"
    "Reads FILE as the settings store does. Prints\n"
    "  ok: D datasets, F fields, version V\n"
    "and exits 0 when it is accepted; otherwise prints\n"
    "  error: line N: MESSAGE\n"
    "on standard error and exits 1. Entries that repeat an earlier key, and lines after\n"
    "the last entry, are reported as warnings on standard error.\n";

const char* const kDumpHelp =
    "Usage: zrkfile dump FILE\n"
    "Shows the dataset entries of FILE in file order, each with a table of its field\n"
    "entries, as the store keeps them: names upper-cased, texts cut to their length,\n"
    "entries that repeat an earlier key left out. Control characters show as \\xHH.\n";

const char* const kUpgradeHelp =
    "Usage: zrkfile upgrade FILE [OUT]\n"
    "Reads FILE (version 0, 1 or 2) and writes it in the version 2 layout to OUT, or\n"
    "replaces FILE. The new file is written beside the target and renamed over it only\n"
    "when complete; nothing is written when FILE cannot be read. As the store writes\n"
    "them, the dataset entries come out in reverse order.\n";

struct Command {
    std::string_view name;
    const char* help;
    std::size_t minArgs, maxArgs;
    int (*run)(const std::vector<std::string>& args);
};

std::string Utf8(std::string_view text) { return vcl::Win1252ToUtf8(text); }

int UsageError(std::string_view message, std::string_view command = {}) {
    std::cerr << "zrkfile" << (command.empty() ? "" : " ") << command << ": " << message << "\n"
              << "Try 'zrkfile" << (command.empty() ? "" : " ") << command << " --help'.\n";
    return kUsage;
}

int Failure(std::string_view message) {
    std::cerr << "error: " << message << "\n";
    return kFailed;
}

// The class library maps drive letters and backslashes; a plain path must reach the file
// system untouched, so it is made absolute, and backslashes are refused.
std::optional<std::string> PlainPath(const std::string& path, std::string& problem) {
    if (path.find('\\') != std::string::npos) {
        problem = path + ": file names with backslashes are not supported";
        return std::nullopt;
    }
    return fs::absolute(path).string();
}

struct Loaded {
    spaltwerk::TSettingsReadInfo info;
    int linesLeft = 0;  // lines after the last entry, not read
};

// Reads FILE into the store; prints the error and returns null when it cannot.
std::optional<Loaded> Load(const std::string& file, TMainSpaltwerk& store) {
    std::string problem;
    const auto path = PlainPath(file, problem);
    if (!path) {
        Failure(problem);
        return std::nullopt;
    }
    std::error_code ec;
    if (!fs::exists(*path, ec)) {
        Failure(file + ": no such file");
        return std::nullopt;
    }
    if (fs::is_directory(*path, ec)) {
        Failure(file + ": is a directory");
        return std::nullopt;
    }
    try {
        vcl::TTextReader reader(*path);
        Loaded loaded{spaltwerk::ReadSettings(reader, store), 0};
        for (; !reader.Eof(); reader.ReadLn()) ++loaded.linesLeft;
        return loaded;
    } catch (const spaltwerk::ESettingsConvertError& e) {
        Failure("line " + std::to_string(e.LineNo()) + ": " + Utf8(e.what()));
    } catch (const spaltwerk::ESettingsInOutError& e) {
        Failure("line " + std::to_string(e.LineNo()) + ": " + Utf8(e.what()));
    } catch (const vcl::Exception& e) {
        Failure(Utf8(e.what()));
    }
    return std::nullopt;
}

// "1 field", "2 fields", "2 dataset entries".
std::string Plural(int n, std::string_view word) {
    std::string text = std::to_string(n) + " " + std::string(word);
    if (n == 1) return text;
    if (text.ends_with("y")) return text.substr(0, text.size() - 1) + "ies";
    return text + "s";
}

void WarnAboutSkipped(const Loaded& loaded) {
    const auto& info = loaded.info;
    if (info.SkippedDatasets > 0 || info.SkippedFields > 0)
        std::cerr << "warning: left out as repeated keys or names: " << Plural(info.SkippedDatasets, "dataset entry")
                  << ", " << Plural(info.SkippedFields, "field entry") << "\n";
    if (loaded.linesLeft > 0)
        std::cerr << "warning: " << Plural(loaded.linesLeft, "line") << " after the last entry "
                  << (loaded.linesLeft == 1 ? "is" : "are") << " not read\n";
}

int Check(const std::vector<std::string>& args) {
    TMainSpaltwerk store(nullptr);
    const auto loaded = Load(args[0], store);
    if (!loaded) return kFailed;
    WarnAboutSkipped(*loaded);
    std::cout << "ok: " << loaded->info.Datasets << " datasets, " << loaded->info.Fields << " fields, version "
              << loaded->info.Version << "\n";
    return kOk;
}

// ---- dump -----------------------------------------------------------------------------

// Terminal text: UTF-8, control characters made visible.
std::string Shown(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string visible;
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        const bool control = b < 0x20 || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
        if (control) {
            visible += "\\x";
            visible += kHex[b >> 4];
            visible += kHex[b & 0xF];
        } else {
            visible += c;
        }
    }
    return Utf8(visible);
}

// Columns on a terminal: one per code point (no character of the code page is wide).
std::size_t DisplayWidth(std::string_view utf8) {
    std::size_t width = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++width;
    return width;
}

const char* FunctionName(spaltwerk::TFFUNKTION f) {
    static const char* const kNames[] = {"cfFalse",  "cfTrue",   "cfLower",       "cfLowerEqual",
                                         "cfEqual",  "cfHigher", "cfHigherEqual", "cfNot"};
    return f <= spaltwerk::cfNot ? kNames[f] : "?";
}

// A table whose columns are as wide as their widest cell; numbers align to the right.
class Table {
public:
    explicit Table(std::vector<std::string> header, std::vector<bool> rightAligned)
        : right_(std::move(rightAligned)) {
        rows_.push_back(std::move(header));
    }
    void Add(std::vector<std::string> row) { rows_.push_back(std::move(row)); }

    void Print(std::ostream& out, std::string_view indent) const {
        std::vector<std::size_t> widths(rows_.front().size(), 0);
        for (const auto& row : rows_)
            for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], DisplayWidth(row[i]));
        for (const auto& row : rows_) {
            std::string line(indent);
            for (std::size_t i = 0; i < row.size(); ++i) {
                const std::string pad(widths[i] - DisplayWidth(row[i]), ' ');
                line += right_[i] ? pad + row[i] : row[i] + pad;
                if (i + 1 < row.size()) line += "  ";
            }
            out << line.substr(0, line.find_last_not_of(' ') + 1) << "\n";
        }
    }

private:
    std::vector<bool> right_;
    std::vector<std::vector<std::string>> rows_;
};

void DumpEntry(const spaltwerk::TFelder& entry) {
    std::cout << "\n"
              << "DataSetName " << Shown(entry.DataSetName) << "  Tag " << entry.Tag << "  FormName "
              << (entry.FormName.empty() ? "(none)" : Shown(entry.FormName)) << "  "
              << Plural(static_cast<int>(entry.Fields.size()), "field") << "\n";
    if (entry.Fields.empty()) return;
    Table table({"Index", "FieldName", "Caption", "EditMask", "DisplayMask", "Visible", "Readonly", "Length", "Color",
                 "Function", "Value"},
                {true, false, false, false, false, false, false, true, true, false, false});
    for (const spaltwerk::TFeld& f : entry.Fields)
        table.Add({std::to_string(f.Index), Shown(f.FieldName), Shown(f.Caption), Shown(f.EditMask),
                   Shown(f.DisplayMask), f.Visible ? "T" : "F", f.Readonly ? "T" : "F", std::to_string(f.Length),
                   std::to_string(f.Color), FunctionName(f.Function), Shown(f.Value)});
    table.Print(std::cout, "  ");
}

int Dump(const std::vector<std::string>& args) {
    TMainSpaltwerk store(nullptr);
    const auto loaded = Load(args[0], store);
    if (!loaded) return kFailed;
    WarnAboutSkipped(*loaded);
    const auto& entries = store.FelderList();
    std::cout << args[0] << ": version " << loaded->info.Version << ", "
              << Plural(static_cast<int>(entries.size()), "dataset entry") << "\n";
    // The store keeps the latest first; the file order is the reverse.
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) DumpEntry(**it);
    return kOk;
}

// ---- upgrade --------------------------------------------------------------------------

int Upgrade(const std::vector<std::string>& args) {
    TMainSpaltwerk store(nullptr);
    const auto loaded = Load(args[0], store);
    if (!loaded) return kFailed;
    WarnAboutSkipped(*loaded);
    const std::string& target = args.size() > 1 ? args[1] : args[0];
    std::string problem;
    const auto path = PlainPath(target, problem);
    if (!path) return Failure(problem);
    try {
        vcl::TTextWriter writer(*path, vcl::TTextWriter::Replace::Safely);
        spaltwerk::WriteSettings(store, writer);
        writer.Commit();
    } catch (const vcl::Exception& e) {
        return Failure(Utf8(e.what()));
    }
    std::cout << "upgraded: " << args[0] << " (version " << loaded->info.Version << ") -> " << target
              << " (version 2), " << Plural(static_cast<int>(store.FelderList().size()), "dataset entry") << "\n";
    return kOk;
}

const Command kCommands[] = {
    {"check", kCheckHelp, 1, 1, Check},
    {"dump", kDumpHelp, 1, 1, Dump},
    {"upgrade", kUpgradeHelp, 1, 2, Upgrade},
};

bool IsHelp(std::string_view arg) { return arg == "--help" || arg == "-h"; }

int RunCommand(const Command& command, const std::vector<std::string>& rest) {
    std::vector<std::string> args;
    bool optionsEnded = false;
    for (const std::string& arg : rest) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && IsHelp(arg)) {
            std::cout << command.help;
            return kOk;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return UsageError("unknown option '" + arg + "'", command.name);
        } else {
            args.push_back(arg);
        }
    }
    if (args.size() < command.minArgs) return UsageError("missing FILE", command.name);
    if (args.size() > command.maxArgs) return UsageError("too many arguments", command.name);
    for (const std::string& arg : args)
        if (arg.empty()) return UsageError("empty file name", command.name);
    return command.run(args);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return UsageError("missing command");
    if (IsHelp(args[0])) {
        std::cout << kToolHelp;
        return kOk;
    }
    for (const Command& command : kCommands)
        if (args[0] == command.name) return RunCommand(command, {args.begin() + 1, args.end()});
    return UsageError("unknown command '" + args[0] + "'");
}
