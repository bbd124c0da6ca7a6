// File services written only over InFile and OutFile, the same on every
// system.
#include "platform/FileSystem.h"

namespace platform {

Result WriteWholeFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    OutFile file;
    if (const Result created = file.Create(path); !created) return created;
    const Result written = file.Write(bytes.data(), bytes.size());
    if (!file.Close() && written) return Outcome::Other;
    return written;
}

}  // namespace platform
