// Reads Quibly.exe back as Windows sees it: the version block through the system's version
// functions; the icon group and its images, the manifest, and the PE header's hardening flags
// and imported DLLs from the executable mapped as the loader lays it out, without running it.

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>
#include <windows.h>

namespace {

constexpr WORD iconImageType = 3, iconGroupType = 14, manifestType = 24;

HMODULE exe = nullptr; // Quibly.exe mapped as an image
const IMAGE_NT_HEADERS64* headers = nullptr;
std::vector<BYTE> block; // the version block

// What lies at an address of the mapped executable. A handle to a module mapped as data carries
// flags in its low bits.
template <class T> const T* At(DWORD address) {
    return reinterpret_cast<const T*>((reinterpret_cast<ULONG_PTR>(exe) & ~ULONG_PTR{3}) + address);
}

std::string Resource(WORD type, WORD id) {
    HRSRC found = FindResourceW(exe, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
    const auto* data = static_cast<const char*>(LockResource(LoadResource(exe, found)));
    return data ? std::string(data, SizeofResource(exe, found)) : std::string();
}

int Word(const void* bytes, std::size_t at) {
    const auto* byte = static_cast<const BYTE*>(bytes) + at;
    return byte[0] | (byte[1] << 8);
}

// The version block's nodes in file order, each as its key and any text value. A node's
// children follow its value, so reading on from there visits every node in turn.
std::vector<std::wstring> VersionNodes() {
    const auto aligned = [](std::size_t at) { return (at + 3) & ~std::size_t{3}; };
    const auto* utf16 = reinterpret_cast<const wchar_t*>(block.data());
    std::vector<std::wstring> nodes;
    for (std::size_t at = 0; at < std::size_t(Word(block.data(), 0)); at = aligned(at)) {
        const std::wstring key = utf16 + at / 2 + 3;
        const std::size_t length = Word(block.data(), at + 2),
                          value = aligned(at + 8 + 2 * key.size());
        const bool isText = Word(block.data(), at + 4) == 1 && length > 0;
        nodes.push_back(isText ? key + L": " + std::wstring(utf16 + value / 2, length - 1) : key);
        at = value + (isText ? 2 * length : length); // UTF-16 text counts its terminating zero
    }
    return nodes;
}

TEST(ExecutableIdentity, VersionBlock) {
    VS_FIXEDFILEINFO* fixed = nullptr;
    WORD* translation = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &size));
    ASSERT_EQ(size, 4u) << "one translation";
    // Signature; file and product version 1.0.0.0; no flags, 32-bit Windows, an application, no
    // subtype, no date; US English in Unicode.
    EXPECT_EQ((std::vector<DWORD>{fixed->dwSignature, fixed->dwFileVersionMS,
                                  fixed->dwFileVersionLS, fixed->dwProductVersionMS,
                                  fixed->dwProductVersionLS, fixed->dwFileFlags, fixed->dwFileOS,
                                  fixed->dwFileType, fixed->dwFileSubtype, fixed->dwFileDateMS,
                                  fixed->dwFileDateLS, translation[0], translation[1]}),
              (std::vector<DWORD>{0xFEEF04BD, 0x00010000, 0, 0x00010000, 0, 0, 4, 1, 0, 0, 0,
                                  0x0409, 0x04B0}));
    EXPECT_EQ(VersionNodes(),
              (std::vector<std::wstring>{L"VS_VERSION_INFO", L"StringFileInfo", L"040904B0",
                                         L"CompanyName: Brixmoor", L"ProductName: Quibly",
                                         L"FileVersion: 1.00", L"ProductVersion: 1.00",
                                         L"InternalName: Quibly", L"OriginalFilename: Quibly.exe",
                                         L"VarFileInfo", L"Translation"}));
}

TEST(ExecutableIdentity, IconGroup) {
    const std::string group = Resource(iconGroupType, 1);
    ASSERT_TRUE(group.size() == 6 + 3 * 14 && Word(group.data(), 4) == 3) << "icon group 1";
    // Size, colours, bits per pixel, image id; each image's bitmap is twice as high as wide
    // (colour rows, then mask rows).
    const long expected[3][4] = {{32, 2, 1, 30001}, {32, 16, 4, 30002}, {16, 16, 4, 30003}};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto [size, colours, bits, id] = expected[i];
        const std::string bitmap = Resource(iconImageType, WORD(id));
        ASSERT_GE(bitmap.size(), sizeof(BITMAPINFOHEADER)) << "image " << id;
        const auto& header = *reinterpret_cast<const BITMAPINFOHEADER*>(bitmap.data());
        const auto* entry = reinterpret_cast<const BYTE*>(group.data()) + 6 + 14 * i;
        EXPECT_EQ((std::vector<long>{entry[0], entry[1], entry[2], Word(entry, 6), Word(entry, 12),
                                     header.biWidth, header.biHeight, header.biBitCount}),
                  (std::vector<long>{size, size, colours, bits, id, size, 2 * size, bits}));
    }
}

TEST(ExecutableIdentity, ManifestAsksForPerMonitorScaling) {
    EXPECT_NE(Resource(manifestType, 1).find(">PerMonitorV2<"), std::string::npos);
}

TEST(ExecutableIdentity, HardenedSixtyFourBitExecutable) {
    ASSERT_EQ(headers->Signature, IMAGE_NT_SIGNATURE);
    EXPECT_EQ(headers->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
    EXPECT_EQ(headers->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
    EXPECT_EQ(headers->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
    // Address-space randomisation with 64-bit entropy, relocations to make it work; no
    // executable data.
    const WORD hardening = IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE |
                           IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA |
                           IMAGE_DLLCHARACTERISTICS_NX_COMPAT;
    EXPECT_EQ(headers->OptionalHeader.DllCharacteristics & hardening, hardening);
    EXPECT_FALSE(headers->FileHeader.Characteristics & IMAGE_FILE_RELOCS_STRIPPED);
}

// Only DLLs that every Windows 10 and 11 installation has: no compiler runtime beside it.
TEST(ExecutableIdentity, ImportsSystemDllsOnly) {
    const std::set<std::string> system{"advapi32.dll", "gdi32.dll",        "kernel32.dll",
                                       "msimg32.dll",  "msvcrt.dll",       "ole32.dll",
                                       "user32.dll",   "windowscodecs.dll"};
    const DWORD imports =
        headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    ASSERT_NE(imports, 0u) << "no import table";
    for (auto* entry = At<IMAGE_IMPORT_DESCRIPTOR>(imports); entry->Name != 0; ++entry) {
        std::string dll = At<char>(entry->Name);
        EXPECT_TRUE(system.count(_strlwr(dll.data()))) << dll << " is not part of Windows";
    }
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const char* path = argc == 2 ? argv[1] : "";
    exe = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    block.resize(GetFileVersionInfoSizeA(path, nullptr));
    if (exe == nullptr || block.empty() ||
        !GetFileVersionInfoA(path, 0, DWORD(block.size()), block.data())) {
        std::fprintf(stderr, "reading Quibly.exe '%s': error %lu\n", path, GetLastError());
        return 1;
    }
    headers = At<IMAGE_NT_HEADERS64>(DWORD(At<IMAGE_DOS_HEADER>(0)->e_lfanew));
    return RUN_ALL_TESTS();
}
