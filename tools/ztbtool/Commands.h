// The commands of ztbtool. Each adds its subcommand to the application; its
// callback runs the command and stores the exit status. Usage errors are
// handled in main.cpp.
#pragma once

#include <CLI/CLI.hpp>

// The exit statuses, for scripts to act on.
inline constexpr int kStatusDone = 0;    // everything was done, or there was nothing to do
inline constexpr int kStatusFailed = 1;  // something failed; the output says what
inline constexpr int kStatusUsage = 2;   // the command line is wrong
inline constexpr int kStatusBusy = 3;    // another install, remove or restore held the folder: retry later

// ztbtool models [--json]
void AddModelsCommand(CLI::App& app, int& exitStatus);

// ztbtool check [--json] FILE...
void AddCheckCommand(CLI::App& app, int& exitStatus);

// ztbtool list [--json], install [--json] (--all | NAME...), remove [--json]
// (--all | NAME...), backups [--json] and restore [--json] NAME..., each with
// --model, --program-folder and --windows-dir.
void AddListCommand(CLI::App& app, int& exitStatus);
void AddInstallCommand(CLI::App& app, int& exitStatus);
void AddRemoveCommand(CLI::App& app, int& exitStatus);
void AddBackupsCommand(CLI::App& app, int& exitStatus);
void AddRestoreCommand(CLI::App& app, int& exitStatus);

// ztbtool history [--json] [--since YYYY-MM-DD] [--file NAME], with
// --windows-dir.
void AddHistoryCommand(CLI::App& app, int& exitStatus);
