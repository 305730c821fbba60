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
    // Appended piece by piece: GCC 12 at -O3 reports a false -Wrestrict on " " + std::string.
    std::string command = "cd ";
    command += ShellQuote(workingFolder.string());
    command += " && env -i PATH=/usr/bin:/bin";
    const auto addWord = [&command](const std::string& word) {
        command += ' ';
        command += ShellQuote(word);
    };
    for (const auto& variable : environment) {
        addWord(variable);
    }
    addWord(program.string());
    for (const auto& argument : arguments) {
        addWord(argument);
    }
    command += " >";
    command += ShellQuote((capture / "out").string());
    command += " 2>";
    command += ShellQuote((capture / "err").string());
    command += " </dev/null";
    const int status = std::system(command.c_str());
    ProgramResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadBytes(capture / "out");
    result.err = ReadBytes(capture / "err");
    return result;
}

}  // namespace arkivo::test
