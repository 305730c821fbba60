// Runs a program through the shell and captures what it printed.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace arkivo::test {

struct ProgramResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// `environment` holds NAME=value pairs; the program gets only those (plus PATH).
inline ProgramResult RunProgram(const std::filesystem::path& program,
                                const std::vector<std::string>& arguments,
                                const std::vector<std::string>& environment,
                                const std::filesystem::path& workingFolder) {
    TempFolder capture;
    std::string command =
        "cd " + ShellQuote(workingFolder.string()) + " && env -i PATH=/usr/bin:/bin";
    for (const auto& variable : environment) {
        command += " " + ShellQuote(variable);
    }
    command += " " + ShellQuote(program.string());
    for (const auto& argument : arguments) {
        command += " " + ShellQuote(argument);
    }
    command += " >" + ShellQuote((capture / "out").string()) + " 2>" +
               ShellQuote((capture / "err").string()) + " </dev/null";
    const int status = std::system(command.c_str());
    ProgramResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadBytes(capture / "out");
    result.err = ReadBytes(capture / "err");
    return result;
}

}  // namespace arkivo::test
