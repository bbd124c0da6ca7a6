#include <string>

#include "platform/FileSystem.h"
#include "testkit/Files.h"
#include "tests/tools/RunProgram.h"

namespace {

// Reads a captured stream; Windows programs write text-mode line ends.
std::string ReadCapturedStream(const std::string& path) {
    std::string text = ReadText(path);
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos;) text.erase(at, 1);
    return text;
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& scratchFolder) {
    const std::string outPath = scratchFolder + "stdout.txt";
    const std::string errPath = scratchFolder + "stderr.txt";
    std::string command = QuoteWord(program);
    for (const std::string& argument : arguments) command += " " + QuoteWord(argument);
    command += " >" + QuoteWord(outPath) + " 2>" + QuoteWord(errPath);

    ProgramRun run;
    run.exitStatus = RunCommandLine(command);
    run.out = ReadCapturedStream(outPath);
    run.err = ReadCapturedStream(errPath);
    return run;
}

std::string BuiltProgramPath(const std::string& relativePath) {
    std::string path = platform::ExecutablePath();
    path.erase(path.find_last_of(platform::kPathSeparator) + 1);
    for (char c : relativePath) path += c == '/' ? platform::kPathSeparator : c;
    return path;
}
