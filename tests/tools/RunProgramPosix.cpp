#include <sys/wait.h>

#include <cstdlib>

#include "tests/tools/RunProgram.h"

// Everything between single quotes is literal to the shell.
std::string QuoteWord(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

int RunCommandLine(const std::string& commandLine) {
    const int status = std::system(commandLine.c_str());
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
