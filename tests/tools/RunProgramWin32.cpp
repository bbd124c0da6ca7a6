#include <cstdlib>

#include "tests/tools/RunProgram.h"

namespace {

// Arguments of these tests hold no double quotes, so quoting them is enough.
std::string Quote(const std::string& word) {
    return "\"" + word + "\"";
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& scratchFolder) {
    const std::string outPath = scratchFolder + "stdout.txt";
    const std::string errPath = scratchFolder + "stderr.txt";
    std::string command = Quote(program);
    for (const std::string& argument : arguments) command += " " + Quote(argument);
    command += " >" + Quote(outPath) + " 2>" + Quote(errPath);

    // cmd /c drops the first and the last quote of a line that starts with
    // one, so the whole line is quoted once more.
    ProgramRun run;
    run.exitStatus = std::system(Quote(command).c_str());
    run.out = ReadCapturedStream(outPath);
    run.err = ReadCapturedStream(errPath);
    return run;
}
