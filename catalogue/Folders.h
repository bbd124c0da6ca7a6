// The folders the catalogue and the installation work in. Every folder text
// ends in the path separator; a path is a folder text followed by a name.
#pragma once

#include <cstddef>
#include <string>

// Fills folder with the folder of the running executable (its path cut
// after the last separator) and returns the length of the executable's
// path; 0 and an empty folder when the path cannot be obtained or has no
// separator after its first character.
std::size_t ProgramFolder(std::size_t bufferSize, std::string& folder);

// programFolder + "ZTB" + separator: where the tables to distribute belong.
std::string DistributionSubfolder(const std::string& programFolder);

// DistributionSubfolder when that exists, else programFolder.
std::string DistributionFolder(const std::string& programFolder);

// windowsFolder + separator + "KVData" + separator.
std::string KVDataFolder(const std::string& windowsFolder);

// KVDataFolder + "ZTB" + separator.
std::string InstalledFolder(const std::string& windowsFolder);

// installedFolder + "Backup" + separator.
std::string BackupFolder(const std::string& installedFolder);

// Where one session of the catalogue looks: the executable's folder and the
// Windows directory. FromSystem asks the platform; tests and tools may name
// their own. The derived folders are formed afresh at every call.
struct CatalogueFolders {
    std::string programFolder;
    std::string windowsFolder;

    static CatalogueFolders FromSystem();

    std::string Distribution() const { return DistributionFolder(programFolder); }
    std::string Installed() const { return InstalledFolder(windowsFolder); }
    std::string Backup() const { return BackupFolder(Installed()); }
};
