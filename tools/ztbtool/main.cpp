// ztbtool: checks film calibration tables (ZTB files) the way the installer
// loads them, lists them, and installs, removes and restores them as the
// installer's dialog does.
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "Version.h"
#include "platform/Process.h"
#include "tools/ztbtool/Commands.h"

namespace {

// Any failure a command did not handle itself ends with a message on
// standard error and status 1, never an uncaught exception.
int Fail(const char* why) {
    std::fflush(stdout);
    std::fprintf(stderr, "ztbtool: %s\n", why);
    return kStatusFailed;
}

// A usage error in words, then the usage of the command it concerns (the
// program's own when no command was recognised).
std::string UsageFailure(const CLI::App* app, const CLI::Error& error) {
    std::string why = error.what();
    if (app->get_subcommands().empty()) {
        const std::vector<std::string> rest = app->remaining();
        if (rest.empty()) {
            why = "a command is missing";
        } else {
            why = (rest.front().starts_with("-") ? "unknown option \"" : "unknown command \"") + rest.front() + "\"";
        }
    }
    return "ztbtool: " + why + "\n\n" + app->help();
}

// A report that could not be written (a full disk, a closed pipe) is a
// failure, whatever the command did.
int Finish(int status) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) return Fail("the output could not be written");
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    // Whatever goes to standard error flushes standard output first, so the
    // two keep their order.
    platform::BufferStandardOutput();

    CLI::App app{"Checks, lists, installs, removes and restores film calibration tables (ZTB files).", "ztbtool"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "ztbtool " ZTB_VERSION_TEXT, "Show the version of ztbtool.");
    app.failure_message(UsageFailure);

    int exitStatus = kStatusDone;
    AddModelsCommand(app, exitStatus);
    AddCheckCommand(app, exitStatus);
    AddListCommand(app, exitStatus);
    AddInstallCommand(app, exitStatus);
    AddRemoveCommand(app, exitStatus);
    AddBackupsCommand(app, exitStatus);
    AddRestoreCommand(app, exitStatus);
    AddHistoryCommand(app, exitStatus);

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {  // --help, --version
        return Finish(app.exit(e));
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kStatusUsage;
    } catch (const std::bad_alloc&) {
        return Fail("out of memory");
    } catch (const std::exception& e) {
        return Fail(e.what());
    } catch (...) {
        return Fail("an unexpected error ended the command");
    }
    return Finish(exitStatus);
}
