// The version label of an installed table, taken from its Title, and the
// backup name built from it.
#pragma once

#include <string>

// The text after the last lower-case 'v' of title (possibly empty), or "1"
// when title holds no lower-case 'v'.
std::string ExtractVersionLabel(const std::string& title);

// The label with every character that a Windows file name cannot hold
// (\ / : * ? " < > | and codes below 32) replaced by '_', so that a backup
// name never leads out of the backup folder, and so are trailing dots and
// spaces, which Windows would drop.
std::string FileNameSafeLabel(const std::string& label);

// fileName + ", v" + the file-name-safe label.
std::string BackupFileName(const std::string& fileName, const std::string& title);
