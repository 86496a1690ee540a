// palette: lists the components the package puts on the palette and writes their pictures.

#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "package/pictures.h"
#include "package/register.h"
#include "vcl/classes.h"
#include "vcl/sysutils.h"

namespace {

namespace fs = std::filesystem;

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

const char* const kHelp =
    "Usage: palette [--write DIR]\n"
    "Lists the palette pages of the Spaltwerk package: each page with its components in\n"
    "order of registration and their published properties.\n"
    "\n"
    "  --write DIR   also write each component's 16 by 16 palette picture to\n"
    "                DIR/<CLASS NAME IN CAPITALS>.bmp (DIR is made when missing)\n"
    "  --help        show this help\n"
    "\n"
    "Exit status: 0 done, 1 a picture could not be written, 2 bad arguments.\n";

void List(std::ostream& out) {
    for (const vcl::TPalettePage& page : vcl::PalettePages()) {
        out << "Page " << vcl::Win1252ToUtf8(page.Name) << "\n";
        for (const vcl::TComponentClassInfo& info : page.Classes) {
            out << "  " << vcl::Win1252ToUtf8(info.ClassName) << ":";
            for (std::size_t i = 0; i < info.PublishedProperties.size(); ++i)
                out << (i == 0 ? " " : ", ") << vcl::Win1252ToUtf8(info.PublishedProperties[i]);
            out << "\n";
        }
    }
}

int WritePictures(const fs::path& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        std::cerr << "palette: cannot make " << dir.string() << ": " << ec.message() << "\n";
        return kFailed;
    }
    for (const vcl::TPalettePage& page : vcl::PalettePages()) {
        for (const vcl::TComponentClassInfo& info : page.Classes) {
            const std::string name = vcl::UpperCase(info.ClassName);
            const vcl::TBitmap* picture = spaltwerk::PalettePicture(name);
            if (picture == nullptr) {
                std::cerr << "palette: no picture for " << info.ClassName << "\n";
                return kFailed;
            }
            const fs::path file = dir / (name + ".bmp");
            try {
                picture->SaveToFile(file.string());
            } catch (const std::exception& e) {
                std::cerr << "palette: " << vcl::Win1252ToUtf8(e.what()) << "\n";
                return kFailed;
            }
            std::cout << "wrote " << file.string() << "\n";
        }
    }
    return kOk;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    std::string writeDir;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            std::cout << kHelp;
            return kOk;
        }
        if (args[i] == "--write" && i + 1 < args.size() && !args[i + 1].empty()) {
            writeDir = args[++i];
            continue;
        }
        std::cerr << "palette: " << (args[i] == "--write" ? "--write needs a folder" : "unknown argument: " + std::string(args[i]))
                  << "\n" << kHelp;
        return kUsage;
    }
    spaltwerk::Register();
    List(std::cout);
    return writeDir.empty() ? kOk : WritePictures(writeDir);
}
