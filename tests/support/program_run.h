// Runs a built program of the project as a user does, capturing its output.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_drive.h"

namespace testing_support {

struct ProgramRun {
    int status;  // the exit status, -1 when the program did not exit normally
    std::string out, err;
};

inline std::string ShellQuoted(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// The path of a program in the build tree that CTest names; empty when the test does not
// run under CTest.
inline std::filesystem::path BuiltProgram(const char* name) {
    const char* build = std::getenv("SPALTWERK_BUILD_DIR");
    return build == nullptr ? std::filesystem::path() : std::filesystem::path(build) / name;
}

// Runs the program with the arguments; standard output and error go through files in
// scratchDir. Standard input is empty.
inline ProgramRun RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                             const std::filesystem::path& scratchDir) {
    std::string command = ShellQuoted(program.string());
    for (const auto& a : args) command += " " + ShellQuoted(a);
    const std::filesystem::path out = scratchDir / "stdout", err = scratchDir / "stderr";
    command += " </dev/null >" + ShellQuoted(out.string()) + " 2>" + ShellQuoted(err.string());
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(out), ReadBytes(err)};
}

}  // namespace testing_support
