// File services written only over InFile and OutFile, the same on every
// system.
#include "platform/FileSystem.h"

namespace platform {

bool WriteWholeFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    OutFile file;
    if (!file.Create(path)) return false;
    const bool written = file.Write(bytes.data(), bytes.size());
    return file.Close() && written;
}

}  // namespace platform
