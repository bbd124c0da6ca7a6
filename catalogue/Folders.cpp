#include "catalogue/Folders.h"

#include "platform/FileSystem.h"
#include "platform/Process.h"

namespace {

std::string Folder(const std::string& parent, const char* name) { return parent + name + platform::kPathSeparator; }

}  // namespace

std::size_t ProgramFolder(std::size_t bufferSize, std::string& folder) {
    folder.clear();
    const std::string path = platform::ExecutablePath(bufferSize);
    const std::size_t last = path.rfind(platform::kPathSeparator);
    // No separator, or only a leading one: no usable folder.
    if (path.empty() || last == std::string::npos || last == 0) return 0;
    folder = path.substr(0, last + 1);
    return path.size();
}

std::string DistributionSubfolder(const std::string& programFolder) { return Folder(programFolder, "ZTB"); }

std::string DistributionFolder(const std::string& programFolder) {
    const std::string ztbFolder = DistributionSubfolder(programFolder);
    return platform::PathExists(ztbFolder) ? ztbFolder : programFolder;
}

std::string KVDataFolder(const std::string& windowsFolder) {
    return Folder(windowsFolder + platform::kPathSeparator, "KVData");
}

std::string InstalledFolder(const std::string& windowsFolder) { return Folder(KVDataFolder(windowsFolder), "ZTB"); }

std::string BackupFolder(const std::string& installedFolder) { return Folder(installedFolder, "Backup"); }

CatalogueFolders CatalogueFolders::FromSystem() {
    CatalogueFolders folders;
    // However long the path: cut short, it would leave the folder empty and
    // the scans would look in the current folder.
    ProgramFolder(platform::kLongestPath + 1, folders.programFolder);
    folders.windowsFolder = platform::WindowsFolder();
    return folders;
}
