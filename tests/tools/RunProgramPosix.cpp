#include <sys/wait.h>

#include <cstdlib>

#include "tests/tools/RunProgram.h"

namespace {

// Quotes a word for the shell: everything between single quotes is literal.
std::string ShellQuote(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& scratchFolder) {
    const std::string outPath = scratchFolder + "stdout.txt";
    const std::string errPath = scratchFolder + "stderr.txt";
    std::string command = ShellQuote(program);
    for (const std::string& argument : arguments) command += " " + ShellQuote(argument);
    command += " >" + ShellQuote(outPath) + " 2>" + ShellQuote(errPath);

    ProgramRun run;
    const int status = std::system(command.c_str());
    run.exitStatus = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadCapturedStream(outPath);
    run.err = ReadCapturedStream(errPath);
    return run;
}
