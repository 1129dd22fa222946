// BRISKO.EXE: the demo product the setup program installs. One window, caption "Brisko",
// that shows the product name and the screen language the setup wrote into TALMOR.INI
// beside this executable, so an installation can be checked at a glance.
#include <string>

#include <windows.h>

namespace {

const char kClassName[] = "BriskoDemoWindow";

std::string ExecutableFolder() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, n < MAX_PATH ? n : 0);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

// The line the window shows under the title.
std::string LanguageLine() {
  const std::string ini = ExecutableFolder() + "TALMOR.INI";
  const DWORD attributes = GetFileAttributesA(ini.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return "No TALMOR.INI beside BRISKO.EXE";
  char value[64];
  // A default no real code can have tells a missing key from an empty one.
  GetPrivateProfileStringA("UserChoice", "TalmorLanguage", "\x01", value, sizeof value, ini.c_str());
  if (value[0] == '\x01') return "TALMOR.INI has no TalmorLanguage in [UserChoice]";
  if (value[0] == '\0') return "TALMOR.INI: TalmorLanguage is empty";
  return std::string("Language: ") + value;
}

HFONT MakeFont(int Height, int Weight) {
  return CreateFontA(Height, 0, 0, 0, Weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma");
}

struct Fonts {
  HFONT Title = nullptr, Text = nullptr;
  ~Fonts() {
    if (Title) DeleteObject(Title);
    if (Text) DeleteObject(Text);
  }
};
Fonts g_fonts;

// The texts are static controls rather than painted text so that a test (or a screen
// reader) can read them back.
void CreateContent(HWND Window) {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  g_fonts.Title = MakeFont(-27, FW_BOLD);
  g_fonts.Text = MakeFont(-13, FW_NORMAL);
  HWND title = CreateWindowExA(0, "STATIC", "Brisko 1.0", WS_CHILD | WS_VISIBLE | SS_LEFT, 16, 16, 300, 36, Window,
                               reinterpret_cast<HMENU>(1), instance, nullptr);
  HWND language = CreateWindowExA(0, "STATIC", LanguageLine().c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, 16, 64,
                                  340, 20, Window, reinterpret_cast<HMENU>(2), instance, nullptr);
  SendMessageA(title, WM_SETFONT, reinterpret_cast<WPARAM>(g_fonts.Title), FALSE);
  SendMessageA(language, WM_SETFONT, reinterpret_cast<WPARAM>(g_fonts.Text), FALSE);
}

LRESULT CALLBACK WindowProc(HWND Window, UINT Message, WPARAM W, LPARAM L) {
  switch (Message) {
    case WM_CREATE: CreateContent(Window); return 0;
    case WM_CTLCOLORSTATIC:
      SetBkMode(reinterpret_cast<HDC>(W), TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(Window, Message, W, L);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE Instance, HINSTANCE, LPSTR, int Show) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = Instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hIcon = LoadIconA(Instance, "MAINICON");
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kClassName;
  if (!RegisterClassA(&wc)) return 1;
  HWND window = CreateWindowExA(0, kClassName, "Brisko", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 400, 160,
                                nullptr, nullptr, Instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, Show);
  UpdateWindow(window);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
