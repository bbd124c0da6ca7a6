// Runs a program with arguments and collects its exit status and both output
// streams, for end-to-end tests of the command-line tools. The streams go
// through files in a folder the caller gives.
#pragma once

#include <string>
#include <vector>

struct ProgramRun {
    int exitStatus = -1;
    std::string out;  // standard output, with "\r\n" turned into "\n"
    std::string err;  // standard error, the same
};

// scratchFolder is a folder text ending in the path separator.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& scratchFolder);

// The path of a program built beside this test program: relativePath is
// relative to this program's folder, with '/' between its parts.
std::string BuiltProgramPath(const std::string& relativePath);

// What differs between the systems' command interpreters (RunProgramPosix.cpp,
// RunProgramWin32.cpp): quoting one word, and running a whole command line
// for its exit status.
std::string QuoteWord(const std::string& word);
int RunCommandLine(const std::string& commandLine);
