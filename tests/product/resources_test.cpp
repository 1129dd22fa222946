// The programs of the distribution as Windows sees them, read back from the built
// files through the system's own readers: the version resource (GetFileVersionInfo,
// VerQueryValue), the icon (resources of the image loaded as data, the shell's
// ExtractIconEx) and the setup program's manifest (an activation context made from it).
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "support/host_paths.h"

namespace {

struct TProgram {
  const char* Path;  // on the host, as the build made it
  const char* FileName;
  const char* Description;
};

const TProgram Programs[] = {
    {INSTBRISKO_EXE, "instbrisko.exe", "Brisko setup"},
    {UNZIP_EXE, "unzip.exe", "Brisko archive extractor"},
    {BRISKO_EXE, "BRISKO.EXE", "Brisko"},
};

std::string WindowsPath(const TProgram& P) { return testsupport::HostPath(P.Path); }

class ProgramResources : public testing::TestWithParam<TProgram> {};

std::string VersionString(const std::vector<char>& Info, const char* Name) {
  char* Value = nullptr;
  UINT Length = 0;
  const std::string Query = std::string("\\StringFileInfo\\040904E4\\") + Name;
  if (!VerQueryValueA(Info.data(), Query.c_str(), reinterpret_cast<void**>(&Value), &Length) || !Length)
    return "(missing)";
  return std::string(Value, strnlen(Value, Length));
}

TEST_P(ProgramResources, VersionNamesTheProductAndTheProgram) {
  const std::string Path = WindowsPath(GetParam());
  ASSERT_FALSE(Path.empty()) << GetParam().Path << " has no Windows name here";
  DWORD Ignored = 0;
  const DWORD Size = GetFileVersionInfoSizeA(Path.c_str(), &Ignored);
  ASSERT_GT(Size, 0u) << Path << " has no version resource";
  std::vector<char> Info(Size);
  ASSERT_TRUE(GetFileVersionInfoA(Path.c_str(), 0, Size, Info.data()));

  VS_FIXEDFILEINFO* Fixed = nullptr;
  UINT Length = 0;
  ASSERT_TRUE(VerQueryValueA(Info.data(), "\\", reinterpret_cast<void**>(&Fixed), &Length));
  EXPECT_EQ(Fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(Fixed->dwFileType, static_cast<DWORD>(VFT_APP));
  const std::string Dotted = std::to_string(HIWORD(Fixed->dwProductVersionMS)) + "." +
                             std::to_string(LOWORD(Fixed->dwProductVersionMS)) + "." +
                             std::to_string(HIWORD(Fixed->dwProductVersionLS));
  EXPECT_EQ(Dotted, INSTBRISKO_VERSION);
  EXPECT_EQ(Fixed->dwFileVersionMS, Fixed->dwProductVersionMS);
  EXPECT_EQ(Fixed->dwFileVersionLS, Fixed->dwProductVersionLS);

  // The language the strings are in, which Explorer looks them up by.
  WORD* Translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(Info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&Translation),
                             &Length));
  ASSERT_GE(Length, 4u);
  EXPECT_EQ(Translation[0], 0x0409);
  EXPECT_EQ(Translation[1], 1252);

  EXPECT_EQ(VersionString(Info, "ProductName"), "Brisko");
  EXPECT_EQ(VersionString(Info, "ProductVersion"), INSTBRISKO_VERSION);
  EXPECT_EQ(VersionString(Info, "FileVersion"), INSTBRISKO_VERSION);
  EXPECT_EQ(VersionString(Info, "FileDescription"), GetParam().Description);
  EXPECT_EQ(VersionString(Info, "OriginalFilename"), GetParam().FileName);
  EXPECT_EQ(VersionString(Info, "CompanyName"), "The Brisko developers");
  EXPECT_EQ(VersionString(Info, "LegalCopyright").rfind("Copyright (C) ", 0), 0u);
}

// One image of an icon group, as the group's directory lists it.
#pragma pack(push, 2)
struct TGroupEntry {
  BYTE Width, Height, Colors, Reserved;
  WORD Planes, BitCount;
  DWORD Bytes;
  WORD Id;
};
#pragma pack(pop)

struct TLoadedImage {
  HMODULE Module;
  explicit TLoadedImage(const std::string& Path)
      : Module(LoadLibraryExA(Path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
  ~TLoadedImage() {
    if (Module) FreeLibrary(Module);
  }
  std::string Resource(LPCSTR Name, LPCSTR Type) const {
    HRSRC R = FindResourceA(Module, Name, Type);
    const char* Data = R ? static_cast<const char*>(LockResource(LoadResource(Module, R))) : nullptr;
    return Data ? std::string(Data, SizeofResource(Module, R)) : std::string();
  }
};

TEST_P(ProgramResources, IconHoldsEverySizeWindowsAsksFor) {
  const std::string Path = WindowsPath(GetParam());
  TLoadedImage Image(Path);
  ASSERT_TRUE(Image.Module) << Path;
  const std::string Group = Image.Resource("MAINICON", RT_GROUP_ICON);
  ASSERT_GE(Group.size(), 6u) << "no icon MAINICON";
  const WORD Count = *reinterpret_cast<const WORD*>(Group.data() + 4);
  ASSERT_EQ(Group.size(), 6 + Count * sizeof(TGroupEntry));

  std::set<int> Sizes;
  for (WORD I = 0; I < Count; ++I) {
    const auto* E = reinterpret_cast<const TGroupEntry*>(Group.data() + 6 + I * sizeof(TGroupEntry));
    const int Side = E->Width ? E->Width : 256;
    SCOPED_TRACE(Side);
    EXPECT_EQ(E->Width, E->Height);
    EXPECT_EQ(E->BitCount, 32) << "with an alpha channel";
    std::string Bits = Image.Resource(MAKEINTRESOURCEA(E->Id), RT_ICON);
    ASSERT_EQ(Bits.size(), E->Bytes);
    if (Bits.rfind("\x89PNG\r\n\x1a\n", 0) == 0) {
      // The large image is PNG-compressed, as since Windows Vista; Wine's user32 does
      // not decode those, so its header is read here: size, 8 bits of RGBA.
      ASSERT_GE(Bits.size(), 26u);
      const auto Byte = [&](size_t I) { return static_cast<unsigned char>(Bits[I]); };
      const auto Big32 = [&](size_t I) { return Byte(I) << 24 | Byte(I + 1) << 16 | Byte(I + 2) << 8 | Byte(I + 3); };
      EXPECT_EQ(Bits.substr(12, 4), "IHDR");
      EXPECT_EQ(Big32(16), Side);
      EXPECT_EQ(Big32(20), Side);
      EXPECT_EQ(Byte(24), 8);
      EXPECT_EQ(Byte(25), 6);
    } else {
      HICON Icon = CreateIconFromResourceEx(reinterpret_cast<PBYTE>(Bits.data()), static_cast<DWORD>(Bits.size()),
                                            TRUE, 0x00030000, Side, Side, LR_DEFAULTCOLOR);
      ASSERT_TRUE(Icon) << "an image Windows cannot read";
      ICONINFO Info{};
      ASSERT_TRUE(GetIconInfo(Icon, &Info));
      BITMAP Colour{};
      GetObjectA(Info.hbmColor, sizeof(Colour), &Colour);
      EXPECT_EQ(Colour.bmWidth, Side);
      EXPECT_EQ(Colour.bmHeight, Side);
      DeleteObject(Info.hbmColor);
      DeleteObject(Info.hbmMask);
      DestroyIcon(Icon);
    }
    Sizes.insert(Side);
  }
  EXPECT_EQ(Sizes, (std::set<int>{16, 24, 32, 48, 256}));

  // Explorer's way: the first icon of the file, large and small.
  HICON Large = nullptr, Small = nullptr;
  EXPECT_EQ(ExtractIconExA(Path.c_str(), -1, nullptr, nullptr, 0), 1u);
  ASSERT_EQ(ExtractIconExA(Path.c_str(), 0, &Large, &Small, 1), 2u);
  EXPECT_TRUE(Large);
  EXPECT_TRUE(Small);
  DestroyIcon(Large);
  DestroyIcon(Small);
}

INSTANTIATE_TEST_SUITE_P(Distribution, ProgramResources, testing::ValuesIn(Programs),
                         [](const testing::TestParamInfo<TProgram>& P) {
                           std::string Name = P.param.FileName;
                           Name.erase(std::remove(Name.begin(), Name.end(), '.'), Name.end());
                           return Name;
                         });

TEST(ProgramResources, EachProgramHasAnIconOfItsOwn) {
  std::set<std::string> Icons;
  for (const TProgram& P : Programs) {
    TLoadedImage Image(WindowsPath(P));
    const std::string Group = Image.Resource("MAINICON", RT_GROUP_ICON);
    ASSERT_GE(Group.size(), 6 + sizeof(TGroupEntry)) << P.FileName;
    const auto* First = reinterpret_cast<const TGroupEntry*>(Group.data() + 6);
    Icons.insert(Image.Resource(MAKEINTRESOURCEA(First->Id), RT_ICON));
  }
  EXPECT_EQ(Icons.size(), std::size(Programs));
}

// The setup program's manifest, through the activation context Windows makes of it
// when the program starts.
class SetupManifest : public testing::Test {
protected:
  void SetUp() override {
    Path_ = testsupport::HostPath(INSTBRISKO_EXE);
    ACTCTXA Request{};
    Request.cbSize = sizeof(Request);
    Request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    Request.lpSource = Path_.c_str();
    Request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
    Context_ = CreateActCtxA(&Request);
    ASSERT_NE(Context_, INVALID_HANDLE_VALUE) << "no usable manifest in " << Path_ << " (error " << GetLastError()
                                              << ")";
  }
  void TearDown() override {
    if (Context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(Context_);
  }

  std::string Path_;
  HANDLE Context_ = INVALID_HANDLE_VALUE;
};

TEST_F(SetupManifest, AsksForAdministratorRights) {
  ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION RunLevel{};
  ASSERT_TRUE(QueryActCtxW(0, Context_, nullptr, RunlevelInformationInActivationContext, &RunLevel,
                           sizeof(RunLevel), nullptr));
  EXPECT_EQ(RunLevel.RunLevel, ACTCTX_RUN_LEVEL_REQUIRE_ADMIN);
  EXPECT_EQ(RunLevel.UiAccess, 0u);
}

TEST_F(SetupManifest, NamesTheSystemsItWasMadeFor) {
  SIZE_T Needed = 0;
  QueryActCtxW(0, Context_, nullptr, CompatibilityInformationInActivationContext, nullptr, 0, &Needed);
  ASSERT_GT(Needed, sizeof(DWORD));
  std::vector<char> Buffer(Needed);
  ASSERT_TRUE(QueryActCtxW(0, Context_, nullptr, CompatibilityInformationInActivationContext, Buffer.data(),
                           Buffer.size(), nullptr));
  const DWORD Count = *reinterpret_cast<const DWORD*>(Buffer.data());
  ASSERT_GT(Count, 0u);
  // Before Windows 10 1903 an element is a GUID and a type; since then (and in Wine)
  // the highest version tested follows, and the list is aligned to 8 bytes.
  const size_t Short = sizeof(GUID) + sizeof(DWORD), Long = sizeof(GUID) + 2 * sizeof(ULONGLONG);
  const size_t Stride = Needed == sizeof(DWORD) + Count * Short ? Short : Long;
  const size_t First = Stride == Short ? sizeof(DWORD) : sizeof(ULONGLONG);
  ASSERT_EQ(Needed, First + Count * Stride);
  std::set<std::string> Systems;
  for (DWORD I = 0; I < Count; ++I) {
    const char* Element = Buffer.data() + First + I * Stride;
    if (*reinterpret_cast<const DWORD*>(Element + sizeof(GUID)) != ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS) continue;
    WCHAR Text[40];
    StringFromGUID2(*reinterpret_cast<const GUID*>(Element), Text, 40);
    Systems.insert(std::string(Text, Text + lstrlenW(Text)));
  }
  EXPECT_EQ(Systems, (std::set<std::string>{
                         "{E2011457-1546-43C5-A5FE-008DEEE3D3F0}",  // Vista
                         "{35138B9A-5D96-4FBD-8E2D-A2440225F93A}",  // 7
                         "{4A2F28E3-53B9-4441-BA9C-D69D4A4A6E38}",  // 8
                         "{1F676C76-80E1-4239-95BB-83D0F6D0DA78}",  // 8.1
                         "{8E0F7A12-BFB3-4FE8-B9A5-48FD50A15A9A}",  // 10 and 11
                     }));
}

TEST_F(SetupManifest, IsAwareOfTheSystemDpi) {
  WCHAR Value[32] = L"";
  SIZE_T Written = 0;
  ASSERT_TRUE(QueryActCtxSettingsW(0, Context_, nullptr, L"dpiAware", Value, std::size(Value), &Written));
  EXPECT_EQ(std::wstring(Value), L"true");
}

// Where the program's comctl32.dll comes from: the side-by-side assembly of the common
// controls 6 (their own DllGetVersion says 5 in Wine, whichever is loaded).
TEST_F(SetupManifest, BringsTheCommonControlsOfVersionSix) {
  ULONG_PTR Cookie = 0;
  ASSERT_TRUE(ActivateActCtx(Context_, &Cookie));
  ACTCTX_SECTION_KEYED_DATA Found{};
  Found.cbSize = sizeof(Found);
  const bool Redirected =
      FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, "comctl32.dll", &Found);
  DeactivateActCtx(0, Cookie);
  ASSERT_TRUE(Redirected) << "comctl32.dll is not taken from an assembly";

  SIZE_T Needed = 0;
  QueryActCtxW(0, Context_, &Found.ulAssemblyRosterIndex, AssemblyDetailedInformationInActivationContext, nullptr,
               0, &Needed);
  std::vector<char> Buffer(Needed);
  ASSERT_TRUE(QueryActCtxW(0, Context_, &Found.ulAssemblyRosterIndex, AssemblyDetailedInformationInActivationContext,
                           Buffer.data(), Buffer.size(), nullptr));
  const auto* Assembly = reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(Buffer.data());
  const std::wstring Identity = Assembly->lpAssemblyEncodedAssemblyIdentity;
  EXPECT_EQ(Identity.rfind(L"Microsoft.Windows.Common-Controls,", 0), 0u) << std::string(Identity.begin(), Identity.end());
  EXPECT_NE(Identity.find(L"version=\"6.0."), std::wstring::npos) << std::string(Identity.begin(), Identity.end());
}

// The DLLs Windows loads before the setup program's first line runs. The shell's,
// accessibility's and automation's load when first called, after the welcome page
// is painted: they are not among them.
TEST(SetupImports, LeaveTheShellAndAccessibilityForLater) {
  const std::string Path = testsupport::HostPath(INSTBRISKO_EXE);
  HMODULE Mapped = LoadLibraryExA(Path.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(Mapped, nullptr) << Path;
  const auto* Base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(Mapped) & ~ULONG_PTR(3));
  const auto* Dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(Base);
  const auto* Nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(Base + Dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& Dir = Nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  std::set<std::string> Loaded;
  for (auto* D = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(Base + Dir.VirtualAddress); D->Name; ++D) {
    std::string Name = reinterpret_cast<const char*>(Base + D->Name);
    std::transform(Name.begin(), Name.end(), Name.begin(), [](unsigned char C) { return std::tolower(C); });
    Loaded.insert(Name);
  }
  FreeLibrary(Mapped);
  EXPECT_TRUE(Loaded.count("user32.dll") && Loaded.count("comctl32.dll")) << "the table was not read";
  for (const char* Later : {"shell32.dll", "oleacc.dll", "oleaut32.dll"}) EXPECT_EQ(Loaded.count(Later), 0u) << Later;
}

}  // namespace
