// The commands of ztbtool. Each adds its subcommand to the application; its
// callback runs the command and stores the exit status: 0 when everything
// worked, 1 when something failed. Usage errors (status 2) are handled in
// main.cpp.
#pragma once

#include <CLI/CLI.hpp>

// ztbtool check [--json] FILE...
void AddCheckCommand(CLI::App& app, int& exitStatus);

// ztbtool list [--json], install [--json] (--all | NAME...), remove [--json]
// NAME..., backups [--json] and restore [--json] NAME..., each with
// --model, --program-folder and --windows-dir.
void AddListCommand(CLI::App& app, int& exitStatus);
void AddInstallCommand(CLI::App& app, int& exitStatus);
void AddRemoveCommand(CLI::App& app, int& exitStatus);
void AddBackupsCommand(CLI::App& app, int& exitStatus);
void AddRestoreCommand(CLI::App& app, int& exitStatus);

// ztbtool history [--json] [--since YYYY-MM-DD] [--file NAME], with
// --windows-dir.
void AddHistoryCommand(CLI::App& app, int& exitStatus);
