// The folder chooser: a drive list, a folder tree (the open folder's ancestors, then its
// subfolders), a greyed list of the open folder's files, and the line that shows its full path.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/exceptions.h"
#include "platform/file_stream.h"
#include "platform/folder_chooser.h"
#include "platform/folder_path.h"
#include "platform/text.h"
#include "platform/win32/handles.h"
#include "platform/win32/out_of_resources_win32.h"
#include "platform/win32/peers_win32.h"
#include "platform/win32/scope_exit.h"
#include "platform/win32/windows_backend.h"

namespace zinnow {
namespace {

constexpr char kTitle[] = "ﾃﾞｨﾚｸﾄﾘの選択";
constexpr char kNameLabel[] = "ﾃﾞｨﾚｸﾄﾘ名(&N):";
constexpr char kTreeLabel[] = "ﾃﾞｨﾚｸﾄﾘ(&D):";
constexpr char kFilesLabel[] = "ﾌｧｲﾙ(&F): (*.*)";
constexpr char kDriveLabel[] = "ﾄﾞﾗｲﾌﾞ(&R):";
constexpr char kOk[] = "OK";
constexpr char kCancel[] = "ｷｬﾝｾﾙ";
constexpr char kNetwork[] = "ﾈｯﾄﾜｰｸ(&N)...";
enum : int { kPath = 100, kTree, kFiles, kDrives, kNetworkButton };

// The chooser's own texts, in the code page they are written in.
std::wstring Wide(const char* text) {
  return win32::Wide(text, win32::kFixedTextCodePage);
}

using FarProc = DWORD(WINAPI*)(HWND, DWORD);
FarProc NetworkDialog() {
  static const FarProc dialog = [] {
    HMODULE mpr = LoadLibraryA("mpr.dll");
    return mpr ? reinterpret_cast<FarProc>(
                     reinterpret_cast<void*>(GetProcAddress(mpr, "WNetConnectionDialog")))
               : nullptr;
  }();
  return dialog;
}

class Chooser {
 public:
  explicit Chooser(AnsiString start) : open_(std::move(start)) {}

  bool Run(HWND owner);
  const AnsiString& Folder() const { return open_; }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND Control(const char* klass, const char* text, DWORD style, int id, int x, int y, int w, int h,
               bool fixed = true);
  void Build();
  void Show();
  bool Open(const AnsiString& folder);
  void Finish(bool confirmed) {
    confirmed_ = confirmed;
    done_ = true;
  }

  AnsiString open_;
  std::vector<AnsiString> treeFolders_;
  win32::UniqueWindow window_;
  HFONT font_ = nullptr;
  bool done_ = false;
  bool confirmed_ = false;
};

HWND Chooser::Control(const char* klass, const char* text, DWORD style, int id, int x, int y, int w,
                      int h, bool fixed) {
  // The layout is for 96 pixels per inch, like the main window's.
  const std::wstring wideClass = Wide(klass);
  // A child of the chooser: it goes with the chooser's window.
  HWND control = win32::Required(CreateWindowExW(
      (style & WS_BORDER) ? WS_EX_CLIENTEDGE : 0, wideClass.c_str(),
      fixed ? Wide(text).c_str() : L"", WS_CHILD | WS_VISIBLE | (style & ~WS_BORDER),
      win32::Scaled(x), win32::Scaled(y), win32::Scaled(w), win32::Scaled(h), window_.Get(),
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr));
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return control;
}

void Chooser::Build() {
  Control("STATIC", kNameLabel, SS_LEFT, -1, 8, 8, 300, 16);
  Control("STATIC", "", SS_LEFT | SS_PATHELLIPSIS | SS_NOPREFIX, kPath, 8, 26, 404, 16, false);
  Control("STATIC", kTreeLabel, SS_LEFT, -1, 8, 48, 200, 16);
  Control("LISTBOX", "", WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
          kTree, 8, 66, 200, 150);
  Control("STATIC", kFilesLabel, SS_LEFT, -1, 216, 48, 196, 16);
  HWND files = Control("LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_SORT,
                       kFiles, 216, 66, 196, 140);  // ends above the network button
  EnableWindow(files, FALSE);                       // the files are shown, never chosen
  Control("STATIC", kDriveLabel, SS_LEFT, -1, 8, 226, 200, 16);
  Control("COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, kDrives, 8, 244, 200, 200);
  Control("BUTTON", kOk, WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 252, 242, 76, 24);
  Control("BUTTON", kCancel, WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, 336, 242, 76, 24);
  if (NetworkDialog()) {
    Control("BUTTON", kNetwork, WS_TABSTOP | BS_PUSHBUTTON, kNetworkButton, 252, 212, 160, 24);
  }
}

// The tree shows the open folder's ancestors, the open folder, then its subfolders indented.
void Chooser::Show() {
  SetDlgItemTextA(window_.Get(), kPath, open_.c_str());
  HWND tree = GetDlgItem(window_.Get(), kTree);
  HWND files = GetDlgItem(window_.Get(), kFiles);
  SendMessageA(tree, LB_RESETCONTENT, 0, 0);
  SendMessageA(files, LB_RESETCONTENT, 0, 0);
  treeFolders_.clear();
  std::vector<AnsiString> chain;
  for (AnsiString f = open_;; f = ParentFolder(f)) {
    chain.push_back(f);
    if (ParentFolder(f) == f) break;
  }
  std::reverse(chain.begin(), chain.end());
  auto add = [&](const AnsiString& folder, std::size_t depth, const AnsiString& name) {
    const AnsiString line = AnsiString(depth * 2, ' ') + name;
    SendMessageA(tree, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    treeFolders_.push_back(folder);
  };
  for (std::size_t i = 0; i < chain.size(); ++i) {
    const AnsiString& f = chain[i];
    add(f, i, i == 0 ? f : f.substr(FolderOfPath(f, SystemCodePage()).size()));
  }
  const int openIndex = static_cast<int>(treeFolders_.size()) - 1;
  std::vector<AnsiString> subfolders;
  WIN32_FIND_DATAA data;
  const AnsiString base = open_.back() == '\\' ? open_ : open_ + "\\";
  const win32::UniqueFind find(FindFirstFileA((base + "*").c_str(), &data));
  if (find) {
    do {
      const AnsiString name = data.cFileName;
      if (name == "." || name == "..") continue;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        subfolders.push_back(name);
      } else {
        SendMessageA(files, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
      }
    } while (FindNextFileA(find.Get(), &data));
  }
  std::sort(subfolders.begin(), subfolders.end());
  for (const AnsiString& name : subfolders) add(base + name, chain.size(), name);
  SendMessageA(tree, LB_SETCURSEL, static_cast<WPARAM>(openIndex), 0);

  HWND drives = GetDlgItem(window_.Get(), kDrives);
  SendMessageA(drives, CB_RESETCONTENT, 0, 0);
  char list[512];
  const DWORD n = GetLogicalDriveStringsA(sizeof list, list);
  for (const char* d = list; d < list + n && *d; d += std::strlen(d) + 1) {
    const char drive[3] = {static_cast<char>(std::tolower(static_cast<unsigned char>(d[0]))), ':',
                           0};
    const LRESULT at = SendMessageA(drives, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(drive));
    if (std::toupper(static_cast<unsigned char>(d[0])) ==
        std::toupper(static_cast<unsigned char>(open_[0]))) {
      SendMessageA(drives, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
    }
  }
}

bool Chooser::Open(const AnsiString& folder) {
  const AnsiString normal = NormalFolderPath(folder);
  if (!DirectoryExists(normal)) return false;
  open_ = normal;
  Show();
  return true;
}

LRESULT CALLBACK Chooser::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Chooser*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_CLOSE:
      self->Finish(false);
      return 0;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (id == IDOK) {
        // Enter in the tree opens the highlighted folder; the OK button confirms the open one.
        HWND tree = GetDlgItem(window, kTree);
        if (GetFocus() == tree && code == 0 && lParam == 0) {
          const LRESULT at = SendMessageA(tree, LB_GETCURSEL, 0, 0);
          if (at >= 0 && self->treeFolders_[at] != self->open_) {
            self->Open(self->treeFolders_[at]);
            return 0;
          }
        }
        self->Finish(true);
      } else if (id == IDCANCEL) {
        self->Finish(false);
      } else if (id == kTree && code == LBN_DBLCLK) {
        const LRESULT at = SendMessageA(GetDlgItem(window, kTree), LB_GETCURSEL, 0, 0);
        if (at >= 0) self->Open(self->treeFolders_[at]);
      } else if (id == kDrives && code == CBN_SELCHANGE) {
        char drive[8] = "";
        HWND drives = GetDlgItem(window, kDrives);
        SendMessageA(drives, CB_GETLBTEXT, SendMessageA(drives, CB_GETCURSEL, 0, 0),
                     reinterpret_cast<LPARAM>(drive));
        if (!self->Open(AnsiString(drive) + "\\")) {
          // A drive that is not ready: say so, and stay where we were.
          Application().ShowErrorBox(ShownText::System(win32::SystemErrorText(ERROR_NOT_READY)));
          self->Show();
        }
      } else if (id == kNetworkButton && NetworkDialog()) {
        NetworkDialog()(window, RESOURCETYPE_DISK);
        self->Show();
      }
      return 0;
    }
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

constexpr wchar_t kChooserClass[] = L"TZinnowChooser";

// Registered at the first chooser, for every chooser after.
void RegisterChooserClass(WNDPROC proc) {
  static const ATOM registered = [proc] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kChooserClass;
    return win32::Required(RegisterClassExW(&wc));
  }();
  (void)registered;
}

bool Chooser::Run(HWND owner) {
  RegisterChooserClass(Proc);
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  RECT r{0, 0, win32::Scaled(420), win32::Scaled(274)};
  AdjustWindowRectEx(&r, style, FALSE, WS_EX_DLGMODALFRAME);
  const int w = r.right - r.left, h = r.bottom - r.top;
  window_.Reset(
      win32::Required(CreateWindowExW(WS_EX_DLGMODALFRAME, kChooserClass, Wide(kTitle).c_str(),
                                      style, std::max(0, (GetSystemMetrics(SM_CXSCREEN) - w) / 2),
                                      std::max(0, (GetSystemMetrics(SM_CYSCREEN) - h) / 2), w, h,
                                      owner, nullptr, GetModuleHandleA(nullptr), nullptr)));
  const HWND window = window_.Get();
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  font_ = win32::WindowFont();
  Build();
  Show();
  // Modal: the owner takes no input until the chooser closes. It is enabled again before the
  // chooser goes, so that the system gives the activation back to it.
  const win32::FocusKeeper focus;
  const win32::ScopeExit activated([owner] {
    if (owner) SetActiveWindow(owner);
  });
  if (owner) EnableWindow(owner, FALSE);
  const win32::ScopeExit closed([&] {
    if (owner) EnableWindow(owner, TRUE);
    window_.Reset();
  });
  ShowWindow(window, SW_SHOW);
  SetFocus(GetDlgItem(window, kTree));
  MSG msg;
  while (!done_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (msg.message == WM_QUIT) PostQuitMessage(static_cast<int>(msg.wParam));
  return confirmed_;
}

HWND ActiveOwner() {
  HWND active = GetActiveWindow();
  return active ? active : win32::ApplicationWindow();
}

}  // namespace

bool SelectDirectory(AnsiString& folder) {
  AnsiString start;
  if (folder.empty()) {
    char current[MAX_PATH * 2];
    const DWORD n = GetCurrentDirectoryA(sizeof current, current);
    start = AnsiString(current, n);
  } else {
    char full[MAX_PATH * 2];
    const DWORD n = GetFullPathNameA(folder.c_str(), sizeof full, full, nullptr);
    start = n ? AnsiString(full, n) : folder;
    // A drive that does not exist or is not ready: the chooser cannot open.
    const AnsiString root = start.substr(0, 3);
    if (start.size() >= 2 && start[1] == ':' && !DirectoryExists(root)) {
      throw Exception(ShownText::System(win32::SystemErrorText(ERROR_NOT_READY)));
    }
    // A folder that does not exist: the nearest one that does.
    start = NearestExistingFolder(start, DirectoryExists);
  }
  Chooser chooser(NormalFolderPath(start));
  if (!chooser.Run(ActiveOwner())) return false;
  folder = chooser.Folder();
  return true;
}

}  // namespace zinnow
