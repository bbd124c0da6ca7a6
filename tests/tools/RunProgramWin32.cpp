#include <cstdlib>

#include "tests/tools/RunProgram.h"

// Arguments of these tests hold no double quotes, so quoting them is enough.
std::string QuoteWord(const std::string& word) {
    return "\"" + word + "\"";
}

int RunCommandLine(const std::string& commandLine) {
    // cmd /c drops the first and the last quote of a line that starts with
    // one, so the whole line is quoted once more.
    return std::system(QuoteWord(commandLine).c_str());
}
