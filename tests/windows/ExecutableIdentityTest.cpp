// Reads Quibly.exe back as Windows sees it: the version block through the system's version
// functions, the icon group and its images from the resources, the manifest, and the PE
// header's hardening flags and imported DLLs.

#include <algorithm>
#include <cctype>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>
#include <windows.h>

namespace {

std::wstring executable;

std::string Narrow(const wchar_t* text, std::size_t length) {
    std::string narrow;
    for (std::size_t i = 0; i < length; ++i)
        narrow.push_back(text[i] < 128 ? static_cast<char>(text[i]) : '?');
    return narrow;
}

std::vector<BYTE> VersionBlock() {
    const DWORD size = GetFileVersionInfoSizeW(executable.c_str(), nullptr);
    std::vector<BYTE> block(size);
    if (size == 0 || !GetFileVersionInfoW(executable.c_str(), 0, size, block.data()))
        ADD_FAILURE() << "no version block, error " << GetLastError();
    return block;
}

// The version block's nodes in file order, as "path" or "path: text"; `at` is a node's start.
std::size_t ListNodes(const std::vector<BYTE>& block, std::size_t at, const std::string& parent,
                      std::vector<std::string>& nodes) {
    const auto word = [&](std::size_t offset) {
        return static_cast<std::size_t>(block[offset] | (block[offset + 1] << 8));
    };
    const std::size_t end = std::min(at + word(at), block.size());
    const std::size_t valueLength = word(at + 2);
    const bool text = word(at + 4) == 1;
    std::size_t offset = at + 6;
    std::wstring key;
    for (; offset + 1 < end && word(offset) != 0; offset += 2)
        key.push_back(static_cast<wchar_t>(word(offset)));
    const std::string path = (parent.empty() ? "" : parent + "/") + Narrow(key.data(), key.size());
    offset = (offset + 2 + 3) & ~std::size_t{3};
    if (text && valueLength > 0) {
        const auto* value = reinterpret_cast<const wchar_t*>(block.data() + offset);
        nodes.push_back(path + ": " + Narrow(value, valueLength - 1));
        offset += valueLength * 2;
    } else {
        nodes.push_back(path);
        offset += valueLength;
    }
    for (offset = (offset + 3) & ~std::size_t{3}; offset < end;)
        offset = (ListNodes(block, offset, path, nodes) + 3) & ~std::size_t{3};
    return end;
}

TEST(ExecutableIdentity, VersionBlockFixedPart) {
    std::vector<BYTE> block = VersionBlock();
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u) << "file version 1.0";
    EXPECT_EQ(fixed->dwFileVersionLS, 0u) << "file version .0.0";
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u);
    EXPECT_EQ(fixed->dwFileOS, 4u) << "32-bit Windows";
    EXPECT_EQ(fixed->dwFileType, 1u) << "application";
    EXPECT_EQ(fixed->dwFileSubtype, 0u);
    EXPECT_EQ(fixed->dwFileDateMS, 0u);
    EXPECT_EQ(fixed->dwFileDateLS, 0u);

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &size));
    ASSERT_EQ(size, 4u);
    EXPECT_EQ(translation[0], 0x0409) << "US English";
    EXPECT_EQ(translation[1], 0x04B0) << "Unicode";
}

TEST(ExecutableIdentity, VersionStringsInOrder) {
    const std::vector<BYTE> block = VersionBlock();
    std::vector<std::string> nodes;
    ListNodes(block, 0, "", nodes);
    const std::vector<std::string> expected{
        "VS_VERSION_INFO",
        "VS_VERSION_INFO/StringFileInfo",
        "VS_VERSION_INFO/StringFileInfo/040904B0",
        "VS_VERSION_INFO/StringFileInfo/040904B0/CompanyName: Brixmoor",
        "VS_VERSION_INFO/StringFileInfo/040904B0/ProductName: Quibly",
        "VS_VERSION_INFO/StringFileInfo/040904B0/FileVersion: 1.00",
        "VS_VERSION_INFO/StringFileInfo/040904B0/ProductVersion: 1.00",
        "VS_VERSION_INFO/StringFileInfo/040904B0/InternalName: Quibly",
        "VS_VERSION_INFO/StringFileInfo/040904B0/OriginalFilename: Quibly.exe",
        "VS_VERSION_INFO/VarFileInfo",
        "VS_VERSION_INFO/VarFileInfo/Translation",
    };
    EXPECT_EQ(nodes, expected);
}

// Icon group 1: 32 x 32 with 2 colours, 32 x 32 with 16, 16 x 16 with 16, as images 30001-30003.
TEST(ExecutableIdentity, IconGroup) {
    HMODULE module = LoadLibraryExW(executable.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr);
    const auto resource = [&](LPCWSTR name, LPCWSTR type) -> const BYTE* {
        HRSRC found = FindResourceW(module, name, type);
        return found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found)))
                     : nullptr;
    };
    const BYTE* group = resource(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));
    ASSERT_NE(group, nullptr) << "icon group 1";
    const auto word = [](const BYTE* at) { return at[0] | (at[1] << 8); };
    ASSERT_EQ(word(group + 4), 3) << "images in the group";

    struct Image {
        int size, colours, bitCount, id;
    };
    const Image expected[] = {{32, 2, 1, 30001}, {32, 16, 4, 30002}, {16, 16, 4, 30003}};
    for (int i = 0; i < 3; ++i) {
        const BYTE* entry = group + 6 + 14 * i;
        SCOPED_TRACE("image " + std::to_string(expected[i].id));
        EXPECT_EQ(entry[0], expected[i].size);
        EXPECT_EQ(entry[1], expected[i].size);
        EXPECT_EQ(entry[2], expected[i].colours);
        EXPECT_EQ(word(entry + 6), expected[i].bitCount);
        EXPECT_EQ(word(entry + 12), expected[i].id);
        const BYTE* image = resource(MAKEINTRESOURCEW(expected[i].id), MAKEINTRESOURCEW(3));
        ASSERT_NE(image, nullptr);
        const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(image);
        EXPECT_EQ(header->biWidth, expected[i].size);
        EXPECT_EQ(header->biHeight, 2 * expected[i].size) << "colour rows and mask rows";
        EXPECT_EQ(header->biBitCount, expected[i].bitCount);
    }
    FreeLibrary(module);
}

TEST(ExecutableIdentity, ManifestAsksForPerMonitorScaling) {
    HMODULE module = LoadLibraryExW(executable.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr) << "application manifest";
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                               SizeofResource(module, found));
    EXPECT_NE(manifest.find(">PerMonitorV2<"), std::string::npos);
    FreeLibrary(module);
}

// The PE header as the loader reads it.
class PeFile {
public:
    PeFile() {
        std::ifstream file(executable.c_str(), std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(file), {});
        const auto& dos = *reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes_.data());
        nt_ = reinterpret_cast<const IMAGE_NT_HEADERS64*>(bytes_.data() + dos.e_lfanew);
    }
    const IMAGE_NT_HEADERS64& Headers() const { return *nt_; }
    std::vector<std::string> ImportedDlls() const {
        const auto& directory = nt_->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        std::vector<std::string> dlls;
        for (auto* entry = At<IMAGE_IMPORT_DESCRIPTOR>(directory.VirtualAddress); entry->Name != 0;
             ++entry) {
            std::string name = At<char>(entry->Name);
            std::transform(name.begin(), name.end(), name.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            dlls.push_back(name);
        }
        std::sort(dlls.begin(), dlls.end());
        return dlls;
    }

private:
    template <class T> const T* At(DWORD rva) const {
        const auto* section = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
            reinterpret_cast<const char*>(&nt_->OptionalHeader) +
            nt_->FileHeader.SizeOfOptionalHeader);
        for (WORD i = 0; i < nt_->FileHeader.NumberOfSections; ++i, ++section)
            if (rva >= section->VirtualAddress &&
                rva < section->VirtualAddress + section->Misc.VirtualSize)
                return reinterpret_cast<const T*>(bytes_.data() + section->PointerToRawData +
                                                  (rva - section->VirtualAddress));
        throw std::runtime_error("address outside every section");
    }
    std::vector<char> bytes_;
    const IMAGE_NT_HEADERS64* nt_ = nullptr;
};

TEST(ExecutableIdentity, HardenedSixtyFourBitExecutable) {
    const PeFile pe;
    const auto& headers = pe.Headers();
    ASSERT_EQ(headers.Signature, IMAGE_NT_SIGNATURE);
    EXPECT_EQ(headers.FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
    EXPECT_EQ(headers.OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
    EXPECT_EQ(headers.OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
    const WORD flags = headers.OptionalHeader.DllCharacteristics;
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE) << "address-space randomisation";
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA) << "with 64-bit entropy";
    EXPECT_TRUE(flags & IMAGE_DLLCHARACTERISTICS_NX_COMPAT) << "no executable data";
    EXPECT_FALSE(headers.FileHeader.Characteristics & IMAGE_FILE_RELOCS_STRIPPED)
        << "relocations kept, so the loader can move it";
}

// Only DLLs that every Windows 10 and 11 installation has: no compiler runtime beside it.
TEST(ExecutableIdentity, ImportsSystemDllsOnly) {
    const std::vector<std::string> system{"advapi32.dll", "gdi32.dll",        "kernel32.dll",
                                          "msimg32.dll",  "msvcrt.dll",       "ole32.dll",
                                          "user32.dll",   "windowscodecs.dll"};
    for (const std::string& dll : PeFile().ImportedDlls())
        EXPECT_TRUE(std::find(system.begin(), system.end(), dll) != system.end())
            << dll << " is not part of Windows";
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: test_executable_identity <Quibly.exe>\n");
        return 2;
    }
    const std::string path = argv[1];
    executable.assign(path.begin(), path.end());
    return RUN_ALL_TESTS();
}
