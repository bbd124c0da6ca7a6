// The manifest (RT_MANIFEST resource 1) and the header flags of the built
// programs: the execution level each asks for, the systems it declares, no
// display scaling setting, and terminal server awareness.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string BuiltProgram(const char* relativePath)
{
    char self[MAX_PATH];
    std::string path(self, ::GetModuleFileNameA(nullptr, self, MAX_PATH));
    path.erase(path.find_last_of('\\') + 1);
    for (const char* c = relativePath; *c != '\0'; ++c)
        path += *c == '/' ? '\\' : *c;
    return path;
}

std::string ManifestOf(const std::string& program)
{
    const HMODULE module = ::LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr)
        return "cannot load " + program;
    std::string text;
    if (const HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
        const auto* data = static_cast<const char*>(::LockResource(::LoadResource(module, resource)));
        text.assign(data, ::SizeofResource(module, resource));
    }
    ::FreeLibrary(module);
    return text;
}

WORD DllCharacteristicsOf(const std::string& program)
{
    std::ifstream file(program, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    if (bytes.size() < sizeof(IMAGE_DOS_HEADER))
        return 0;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
    if (static_cast<std::size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS32) > bytes.size())
        return 0;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(bytes.data() + dos->e_lfanew);
    return nt->OptionalHeader.DllCharacteristics;
}

TEST(Programs, ManifestsAndHeaderFlags)
{
    const struct {
        const char* program;
        const char* level;
    } rows[] = {
        {ZTBINSTALL_RELATIVE_PATH, R"(<requestedExecutionLevel level="requireAdministrator" uiAccess="false"/>)"},
        {ZTBTOOL_RELATIVE_PATH, R"(<requestedExecutionLevel level="asInvoker" uiAccess="false"/>)"},
    };
    // Vista, 7, 8, 8.1, 10 and 11.
    const char* systems[] = {"{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"};
    for (const auto& row : rows) {
        const std::string program = BuiltProgram(row.program);
        const std::string manifest = ManifestOf(program);
        EXPECT_NE(manifest.find(row.level), std::string::npos) << program << "\n" << manifest;
        for (const char* system : systems)
            EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"") + system + "\"/>"), std::string::npos)
                << program << " " << system;
        // Windows scales a program without a setting of its own whole.
        EXPECT_EQ(manifest.find("dpiAware"), std::string::npos) << program;
        EXPECT_NE(DllCharacteristicsOf(program) & IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE, 0) << program;
    }
}

}  // namespace
