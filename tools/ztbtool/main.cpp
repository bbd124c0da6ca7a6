// ztbtool: checks film calibration tables (ZTB files) the way the installer
// loads them, lists them, and installs and removes them as the installer's
// dialog does.
#include <cstdio>

#include <CLI/CLI.hpp>

#include "tools/ztbtool/Commands.h"

namespace {

constexpr int kUsageStatus = 2;

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Checks, lists, installs and removes film calibration tables (ZTB files).", "ztbtool"};
    app.require_subcommand(1);
    app.failure_message(CLI::FailureMessage::help);

    int exitStatus = 0;
    AddCheckCommand(app, exitStatus);
    AddListCommand(app, exitStatus);
    AddInstallCommand(app, exitStatus);
    AddRemoveCommand(app, exitStatus);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kUsageStatus;
    }
    std::fflush(stdout);
    return exitStatus;
}
