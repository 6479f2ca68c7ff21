// The real window under Wine: its layout, the keyboard, the spin field's arrows and the folder
// chooser, driven by real input.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/error_text.h"
#include "app/zin_form.h"
#include "platform/exceptions.h"
#include "platform/win32/peers_win32.h"
#include "platform/win32/windows_backend.h"
#include "tests/win32/window_capture.h"
#include "tests/win32/wine_support.h"

namespace zinnow {
namespace {

RECT BoundsInParent(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void Key(WORD key, bool up = false) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof(input));
}
void Press(WORD key) {
  Key(key);
  Key(key, true);
}
void Type(const char* text) {
  for (const char* c = text; *c; ++c) {
    const SHORT code = VkKeyScanA(*c);
    if (code & 0x100) Key(VK_SHIFT);
    Press(LOBYTE(code));
    if (code & 0x100) Key(VK_SHIFT, true);
  }
}
// Handles messages until the input sent so far has been handled. SendInput queues its input at
// once, so a queue with no input and no posted or sent messages left (timers and painting
// aside) means every key and click, and what they caused, has been handled.
void Settle() {
  test::PumpUntil(
      [] { return HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE)) == 0; });
  Application().ProcessMessages();
}
// For what must not happen: handles messages for a while, long enough for it to show.
void Pump(DWORD ms) {
  const DWORD until = GetTickCount() + ms;
  test::PumpUntil([&] { return GetTickCount() >= until; }, ms + 2000);
}
void Mouse(DWORD flags, POINT at = {}) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof(input));
}

class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.FormCreate(nullptr);
    form_.SetVisible(true);
    SetForegroundWindow(Hwnd(form_));
    win32::FocusTabStop(Hwnd(form_), 0);
    ASSERT_TRUE(test::PumpUntil([&] { return GetForegroundWindow() == Hwnd(form_); }));
    Settle();
  }
  void TearDown() override { Application().OnException = nullptr; }
  static HWND Hwnd(const TControl& c) { return win32::WindowOf(c); }
  HWND Focused() const {
    HWND focus = GetFocus();
    return GetParent(focus) == Hwnd(*form_.Edit1) ? GetParent(focus) : focus;
  }

  TZinForm form_;
};

TEST_F(Window, StoredBoundsAtNinetySixDpi) {
  RECT client;
  GetClientRect(Hwnd(form_), &client);
  EXPECT_EQ(client.right, 376);
  EXPECT_EQ(client.bottom, 90);
  struct Case {
    const char* name;
    const TControl* control;
    RECT bounds;
  } cases[] = {
      {"Panel1", form_.Panel1, {0, 0, 376, 89}},
      {"Edit2", form_.Edit2, {96, 32, 209, 52}},
      {"Button1", form_.Button1, {352, 8, 369, 28}},
      {"SpinEdit1", form_.SpinEdit1, {303, 32, 368, 53}},
      {"Edit3", form_.Edit3, {212, 32, 257, 52}},
  };
  for (const Case& c : cases) {
    const RECT r = BoundsInParent(Hwnd(*c.control));
    EXPECT_EQ(r.left, c.bounds.left) << c.name;
    EXPECT_EQ(r.top, c.bounds.top) << c.name;
    EXPECT_EQ(r.right, c.bounds.right) << c.name;
    EXPECT_EQ(r.bottom, c.bounds.bottom) << c.name;
  }
  const RECT combo = BoundsInParent(Hwnd(*form_.Edit1));
  EXPECT_EQ(combo.left, 96);
  EXPECT_EQ(combo.top, 8);
  EXPECT_EQ(combo.right, 353);  // one pixel over the button, which it covers
}

// An entry of more than a thousand bytes is shown cut after its last whole character within
// the first 1024 bytes, and kept whole; one of 1024 bytes is shown as it is.
TEST_F(Window, LongHistoryEntryIsShownCutAtAWholeCharacter) {
  const AnsiString whole(1024, 'a');
  const AnsiString split = AnsiString(1023, 'b') + "\x82\xA0" + "tail";  // a kana at 1023-1024
  form_.Edit1->Clear();
  form_.Edit1->Add(whole);
  form_.Edit1->Add(split);
  auto shown = [&](int index) {
    HWND box = Hwnd(*form_.Edit1);
    std::string text(static_cast<std::size_t>(SendMessageA(box, CB_GETLBTEXTLEN, index, 0)), '\0');
    SendMessageA(box, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    return text;
  };
  EXPECT_EQ(shown(0), whole);
  EXPECT_EQ(shown(1), std::string(1023, 'b') + "...");
  EXPECT_EQ(form_.Edit1->Item(1), split);
}

TEST_F(Window, TabCycleBothWays) {
  const HWND order[] = {Hwnd(*form_.Edit2), Hwnd(*form_.Button1), Hwnd(*form_.SpinEdit1),
                        Hwnd(*form_.Edit3), Hwnd(*form_.Edit1),   Hwnd(*form_.Edit2)};
  EXPECT_EQ(Focused(), order[0]);
  DWORD selStart = 1, selEnd = 0;
  SendMessageA(order[0], EM_GETSEL, reinterpret_cast<WPARAM>(&selStart),
               reinterpret_cast<LPARAM>(&selEnd));
  EXPECT_EQ(selStart, 0u);  // "svbmp" selected at the start
  EXPECT_EQ(selEnd, 5u);
  for (int i = 1; i < 6; ++i) {
    Press(VK_TAB);
    Settle();
    EXPECT_EQ(Focused(), order[i]) << "Tab " << i;
  }
  for (int i = 4; i >= 0; --i) {
    Key(VK_SHIFT);
    Press(VK_TAB);
    Key(VK_SHIFT, true);
    Settle();
    EXPECT_EQ(Focused(), order[i]) << "Shift+Tab to " << i;
  }
}

TEST_F(Window, SpinFieldTakesOnlyItsCharacters) {
  SetFocus(Hwnd(*form_.SpinEdit1));
  SendMessageA(Hwnd(*form_.SpinEdit1), EM_SETSEL, 0, -1);
  Type("a 7x");
  Press(VK_RETURN);
  Settle();
  EXPECT_EQ(form_.SpinEdit1->Text(), "7");
  EXPECT_EQ(form_.GetFileNumber(), 7);
  Press(VK_UP);
  Settle();
  EXPECT_EQ(form_.SpinEdit1->Text(), "8");
  Press(VK_DOWN);
  Press(VK_DOWN);
  Settle();
  EXPECT_EQ(form_.SpinEdit1->Text(), "6");
}

TEST_F(Window, ArrowStepsAtReleaseAndRepeatsWhileHeld) {
  std::vector<DWORD> steps;
  const auto handler = form_.SpinEdit1->OnChange;
  form_.SpinEdit1->OnChange = [&](TObject* s) {
    steps.push_back(GetTickCount());
    handler(s);
  };
  HWND up = GetWindow(Hwnd(*form_.SpinEdit1), GW_CHILD);
  while (up && GetDlgCtrlID(up) != 1) up = GetWindow(up, GW_HWNDNEXT);
  ASSERT_NE(up, nullptr);
  RECT r;
  GetWindowRect(up, &r);
  const POINT over{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  Mouse(MOUSEEVENTF_MOVE, over);
  Settle();

  Mouse(MOUSEEVENTF_LEFTDOWN, over);
  Mouse(MOUSEEVENTF_LEFTUP, over);
  Settle();
  EXPECT_EQ(steps.size(), 1u);  // a short click: one step, at the release
  EXPECT_EQ(GetFocus(), Hwnd(*form_.SpinEdit1));
  Pump(600);  // past the repeat delay: no repeat after a release
  EXPECT_EQ(steps.size(), 1u);

  steps.clear();
  Mouse(MOUSEEVENTF_LEFTDOWN, over);
  const DWORD pressed = GetTickCount();
  // Held: the first repeat, then another.
  ASSERT_TRUE(test::PumpUntil([&] { return steps.size() >= 2; }));
  Mouse(MOUSEEVENTF_LEFTUP, over);
  const std::size_t beforeRelease = steps.size();
  ASSERT_TRUE(test::PumpUntil([&] { return steps.size() > beforeRelease; }));  // the release
  Settle();
  ASSERT_GE(steps.size(), 3u);          // at least the first repeat, one more, and the release
  EXPECT_GE(steps[0] - pressed, 390u);  // the first repeat waits 400 ms
  for (std::size_t i = 1; i + 1 < steps.size(); ++i) EXPECT_GE(steps[i] - steps[i - 1], 90u);
  EXPECT_EQ(form_.SpinEdit1->Text(), std::to_string(1 + steps.size()));
}

TEST_F(Window, FolderFieldRecomputesOncePerKeystrokeAndPick) {
  int recomputes = 0;
  form_.Edit1->OnChange = [&](TObject* s) {
    ++recomputes;
    form_.Edit1Change(s);
  };
  form_.Edit1->Clear();
  form_.Edit1->Add("C:\\");
  form_.Edit1->Add("C:\\windows");
  SetFocus(Hwnd(*form_.Edit1));
  Type("abc");
  Settle();
  EXPECT_EQ(recomputes, 3);
  Press(VK_DOWN);
  Settle();
  EXPECT_EQ(recomputes, 4);
  EXPECT_EQ(form_.Edit1->Text(), "C:\\");
  EXPECT_TRUE(form_.Timer1->Enabled());
}

// The chooser is modal; what the user does in it runs from a timer of the modal loop.
std::function<void(HWND)> chooserUser;
void CALLBACK ActInChooser(HWND, UINT, UINT_PTR id, DWORD) {
  HWND chooser = FindWindowW(L"TZinnowChooser", nullptr);
  if (!chooser) return;
  KillTimer(nullptr, id);
  chooserUser(chooser);
}
void RunChooser(TZinForm& form, std::function<void(HWND)> user) {
  chooserUser = std::move(user);
  SetTimer(nullptr, 0, 200, ActInChooser);
  form.Button1Click(form.Button1);
}
AnsiString PathLine(HWND chooser) {
  char text[MAX_PATH * 2] = "";
  GetDlgItemTextA(chooser, 100, text, sizeof text);
  return text;
}

TEST_F(Window, ChooserConfirmedSameAndCancelled) {
  test::TempFolder temp;
  CreateDirectoryA(temp.File("sub").c_str(), nullptr);
  int recomputes = 0;
  form_.Edit1->OnChange = [&](TObject*) { ++recomputes; };

  // Confirmed with another folder: into the first subfolder, then OK.
  form_.Edit1->SetText(temp.Path());
  AnsiString opened;
  RunChooser(form_, [&](HWND chooser) {
    opened = PathLine(chooser);
    HWND tree = GetDlgItem(chooser, 101);
    const LRESULT last = SendMessageA(tree, LB_GETCOUNT, 0, 0) - 1;
    SendMessageA(tree, LB_SETCURSEL, static_cast<WPARAM>(last), 0);
    SendMessageA(chooser, WM_COMMAND, MAKEWPARAM(101, LBN_DBLCLK), reinterpret_cast<LPARAM>(tree));
    SendMessageA(GetDlgItem(chooser, IDOK), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(opened, temp.Path());
  EXPECT_EQ(form_.Edit1->Text(), temp.File("sub"));
  EXPECT_EQ(form_.GetSaveFolder(), temp.File("sub") + "\\");
  EXPECT_TRUE(form_.Timer1->Enabled());
  EXPECT_EQ(recomputes, 0);  // the program set the text: no change event

  // Confirmed with the same folder: the recompute runs all the same.
  form_.Edit2->SetText("again");
  RunChooser(form_, [](HWND chooser) { SendMessageA(GetDlgItem(chooser, IDOK), BM_CLICK, 0, 0); });
  EXPECT_EQ(form_.Edit1->Text(), temp.File("sub"));
  EXPECT_EQ(form_.Label4->Caption(), "again000.bmp");

  // Cancelled on a folder that does not exist: the text stays, polling runs all the same.
  form_.Edit1->SetText(temp.File("none"));
  form_.Edit1Change(nullptr);
  EXPECT_FALSE(form_.Timer1->Enabled());
  RunChooser(form_,
             [](HWND chooser) { SendMessageA(GetDlgItem(chooser, IDCANCEL), BM_CLICK, 0, 0); });
  EXPECT_EQ(form_.Edit1->Text(), temp.File("none"));
  EXPECT_TRUE(form_.Timer1->Enabled());
  DeleteFileA(temp.File("sub").c_str());
  RemoveDirectoryA(temp.File("sub").c_str());
}

TEST_F(Window, ChooserOpensAtTheWorkingFolderForAnEmptyText) {
  char current[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, current);
  form_.Edit1->SetText("");
  AnsiString opened;
  RunChooser(form_, [&](HWND chooser) {
    opened = PathLine(chooser);
    SendMessageA(chooser, WM_CLOSE, 0, 0);  // closing is no confirmation
  });
  EXPECT_EQ(opened, current);
  EXPECT_EQ(form_.Edit1->Text(), "");
}

TEST_F(Window, ChooserFailsBeforeItOpensOnAMissingDrive) {
  std::vector<std::string> errors;
  Application().OnException = [&](const std::exception& e) { errors.push_back(e.what()); };
  form_.Edit1->SetText("Q:\\shots");
  Application().Dispatch([&] { form_.Button1Click(form_.Button1); });
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_EQ(FindWindowW(L"TZinnowChooser", nullptr), nullptr);
  EXPECT_EQ(form_.Edit1->Text(), "Q:\\shots");
  EXPECT_FALSE(form_.Timer1->Enabled());
}

// Another window of the desktop activated, then this one again: the control that had the focus
// has it again, also after the window was minimised and restored.
TEST_F(Window, FocusComesBackAfterAnotherWindow) {
  SetFocus(Hwnd(*form_.Edit3));
  HWND other =
      CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                      100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  SetForegroundWindow(other);
  ASSERT_TRUE(test::PumpUntil([&] { return GetForegroundWindow() == other; }));
  EXPECT_NE(GetFocus(), Hwnd(*form_.Edit3));  // the fault a user would meet: focus elsewhere
  SetForegroundWindow(Hwnd(form_));
  ASSERT_TRUE(test::PumpUntil([&] { return GetForegroundWindow() == Hwnd(form_); }));
  Settle();
  EXPECT_EQ(Focused(), Hwnd(*form_.Edit3));

  SetFocus(Hwnd(*form_.SpinEdit1));
  ShowWindow(Hwnd(form_), SW_MINIMIZE);
  Settle();
  ShowWindow(Hwnd(form_), SW_RESTORE);
  SetForegroundWindow(Hwnd(form_));
  ASSERT_TRUE(test::PumpUntil([&] { return GetForegroundWindow() == Hwnd(form_); }));
  Settle();
  EXPECT_EQ(Focused(), Hwnd(*form_.SpinEdit1));
  DestroyWindow(other);
}

// What the user does in a modal box runs from a timer of its modal loop.
std::function<void(HWND)> boxUser;
int boxLooks = 0;
void CALLBACK ActInBox(HWND, UINT, UINT_PTR id, DWORD) {
  HWND box = FindWindowW(L"#32770", L"Zinnow");
  if (!box) {
    // No box after a generous while: end its modal loop rather than wait for ever.
    if (++boxLooks > 100) {
      KillTimer(nullptr, id);
      PostQuitMessage(0);
    }
    return;
  }
  KillTimer(nullptr, id);
  boxUser(box);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
}
// The error box as the user sees it: its caption and its text, read in Unicode.
std::pair<std::wstring, std::wstring> ShowBox(const ShownText& text) {
  std::pair<std::wstring, std::wstring> seen;
  boxUser = [&](HWND box) {
    wchar_t buffer[1024] = L"";
    GetWindowTextW(box, buffer, 1024);
    seen.first = buffer;
    GetDlgItemTextW(box, 0xFFFF, buffer, 1024);
    seen.second = buffer;
  };
  boxLooks = 0;
  Application().SetTitle("Zinnow");
  SetTimer(nullptr, 0, 100, ActInBox);
  Application().ShowErrorBox(text);
  MSG quit;
  PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  return seen;
}

TEST_F(Window, FocusComesBackAfterAnErrorBox) {
  SetFocus(Hwnd(*form_.SpinEdit1));
  const auto seen = ShowBox(ShownText::Fixed("ｽﾄﾘｰﾑへの書き込みｴﾗｰ."));
  ASSERT_FALSE(seen.second.empty()) << "the box was not seen";
  Settle();
  EXPECT_EQ(Focused(), Hwnd(*form_.SpinEdit1));
}

// A key that comes to the window itself: Tab and Shift+Tab still go through the tab stops.
TEST_F(Window, TabFromTheWindowItself) {
  EXPECT_EQ(Focused(), Hwnd(*form_.Edit2));
  PostMessageW(Hwnd(form_), WM_KEYDOWN, VK_TAB, 1);
  Settle();
  EXPECT_EQ(Focused(), Hwnd(*form_.Button1));
  // The window itself given the focus hands it to a control at once.
  SetFocus(Hwnd(form_));
  Settle();
  EXPECT_EQ(Focused(), Hwnd(*form_.Button1));
}

// Every label's text, blanks at its end aside, fits between its left edge and the next windowed
// control on its row (or the panel's edge); every field's text fits its field. With the face the
// window finds here, and with the last fallback, the system's font for messages, as on a system
// without a face of the layout's metrics; measured with the font each window really uses.
TEST(WindowFonts, LabelsAndFieldsHaveRoomForTheirTexts) {
  const std::wstring faces[] = {win32::WindowFontFace(), win32::SystemMessageFontFace()};
  HDC screen = GetDC(nullptr);
  for (const std::wstring& face : faces) {
    SCOPED_TRACE(testing::Message() << "font " << testing::PrintToString(face));
    win32::UseWindowFontFace(face);
    TZinForm form;
    form.FormCreate(nullptr);
    form.SetVisible(true);
    const auto font =
        reinterpret_cast<HFONT>(SendMessageW(win32::WindowOf(*form.Edit2), WM_GETFONT, 0, 0));
    LOGFONTW used{};
    GetObjectW(font, sizeof(used), &used);
    std::printf("%ls: %d pixels\n", used.lfFaceName, static_cast<int>(-used.lfHeight));
    const HGDIOBJ previous = SelectObject(screen, font);
    auto width = [&](const AnsiString& bytes) {
      wchar_t buffer[512] = L"";
      MultiByteToWideChar(932, 0, bytes.c_str(), -1, buffer, 512);
      std::wstring text = buffer;
      while (!text.empty() && (text.back() == L' ' || text.back() == L'\x3000')) text.pop_back();
      RECT r{0, 0, 0, 0};
      DrawTextW(screen, text.c_str(), static_cast<int>(text.size()), &r,
                DT_LEFT | DT_SINGLELINE | DT_CALCRECT);
      return static_cast<int>(r.right);
    };
    RECT panel;
    GetClientRect(win32::WindowOf(*form.Panel1), &panel);
    const TControl* fields[] = {form.Edit1, form.Edit2, form.Edit3, form.SpinEdit1, form.Button1};
    for (const TLabel* label : {form.Label1, form.Label2, form.Label3, form.Label4, form.Label6}) {
      const RECT at = win32::LabelBounds(*label);
      int room = panel.right - at.left;
      for (const TControl* field : fields) {
        const RECT f = BoundsInParent(win32::WindowOf(*field));
        if (f.left > at.left && f.top < at.bottom && f.bottom > at.top) {
          room = std::min<int>(room, f.left - at.left);
        }
      }
      EXPECT_LE(width(label->Caption()), room) << label->Caption();
    }
    for (const TTextControl* field : {static_cast<const TTextControl*>(form.Edit2),
                                      static_cast<const TTextControl*>(form.Edit3),
                                      static_cast<const TTextControl*>(form.SpinEdit1)}) {
      RECT client;
      GetClientRect(win32::WindowOf(*field), &client);
      const LRESULT margins = SendMessageW(win32::WindowOf(*field), EM_GETMARGINS, 0, 0);
      EXPECT_LE(width(field->Text()), client.right - LOWORD(margins) - HIWORD(margins))
          << field->Text();
    }
    SelectObject(screen, previous);
  }
  ReleaseDC(nullptr, screen);
  win32::UseWindowFontFace(L"");  // the face the window finds, for the tests after
}

// Runs on a screen of 144 dpi only (its own session): the chooser scales like the main window,
// its font included.
TEST_F(Window, Dpi144ChooserScales) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  ASSERT_EQ(dpi, 144);
  test::TempFolder temp;
  form_.Edit1->SetText(temp.Path());
  RECT client{}, ok{};
  LOGFONTW font{};
  RunChooser(form_, [&](HWND chooser) {
    GetClientRect(chooser, &client);
    ok = BoundsInParent(GetDlgItem(chooser, IDOK));
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(chooser, IDOK), WM_GETFONT, 0, 0)),
               sizeof(font), &font);
    SendMessageA(GetDlgItem(chooser, IDCANCEL), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(client.right, 630);  // 420 x 274 at 96 dpi
  EXPECT_EQ(client.bottom, 411);
  EXPECT_EQ(ok.left, 378);  // 252, 242, 76 x 24 at 96 dpi
  EXPECT_EQ(ok.top, 363);
  EXPECT_EQ(ok.right - ok.left, 114);
  EXPECT_EQ(ok.bottom - ok.top, 36);
  EXPECT_EQ(font.lfHeight, -18);  // the window's 12 pixels
}

// The program's own texts are Shift_JIS and the paths are in the system's ANSI code page: both
// read right in the caption and in the error box, under code page 932 and under another (the
// second run of this test is in a session of its own with LANG=C.UTF-8, code page 1252).
class AnyCodePage : public test::WindowCapture {
 protected:
  // A folder whose name needs the code page: Japanese under 932, a Latin letter with an accent
  // under 1252.
  static std::string LocalName() { return GetACP() == 932 ? "\x8e\xca\x90\x5e" : "Caf\xe9"; }
  static std::wstring Wide(const std::string& bytes, UINT codePage) {
    wchar_t buffer[1024] = L"";
    MultiByteToWideChar(codePage, 0, bytes.c_str(), -1, buffer, 1024);
    return buffer;
  }
};

TEST_F(AnyCodePage, CaptionAndErrorBoxRead) {
  std::printf("ANSI code page %u\n", GetACP());
  const std::string folder = folder_.File(LocalName());
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  form_.Edit1->SetText(folder);
  form_.Edit1Change(nullptr);
  ASSERT_TRUE(form_.Timer1->Enabled());
  test::CaptionRecorder recorder(win32::WindowOf(form_));
  ASSERT_EQ(test::RunHelper("bitmap 3 2"), 0);
  const std::string target = folder + "\\svbmp000.bmp";
  ASSERT_TRUE(test::PumpUntil([&] { return test::FileExists(target); }));
  ASSERT_TRUE(test::PumpUntil([&] { return form_.GetFileNumber() == 1; }));
  const std::wstring saving = L"保存処理中... " + Wide(target, CP_ACP);
  ASSERT_FALSE(test::CaptionRecorder::WideCaptions().empty());
  EXPECT_EQ(test::CaptionRecorder::WideCaptions().front(), saving);

  // Read back from the window, as any other program reads it.
  form_.SetCaption(ShownText::Fixed(kSavingCaption).AddSystem(target).AddFixed(kFailedSuffix));
  wchar_t caption[1024] = L"";
  GetWindowTextW(win32::WindowOf(form_), caption, 1024);
  EXPECT_EQ(std::wstring(caption), saving + L"   失敗");
  EXPECT_EQ(form_.Caption(), kSavingCaption + target + kFailedSuffix);  // the bytes it was given

  const std::string history = folder + "\\path.txt";
  const auto seen = ShowBox(ErrorBoxText(EFCreateError(history).Shown(), SystemCodePage()));
  EXPECT_EQ(seen.first, L"Zinnow");
  EXPECT_EQ(seen.second, L"ﾌｧｲﾙ " + Wide(history, CP_ACP) + L" を作成できません.");
  DeleteFileA(target.c_str());
  RemoveDirectoryA(folder.c_str());
}

// The taskbar shows the application's title; the main window, owned by it, shows "Quorrel".
TEST(Application, HiddenOwnerWindowCarriesTheTitle) {
  Application().Initialize();
  Application().SetTitle("Zinnow");
  TZinForm form;
  char title[64] = "";
  GetWindowTextA(win32::ApplicationWindow(), title, sizeof title);
  EXPECT_STREQ(title, "Zinnow");
  EXPECT_EQ(GetWindow(win32::WindowOf(form), GW_OWNER), win32::ApplicationWindow());
  EXPECT_EQ(form.Caption(), "Quorrel");
  const LONG style = GetWindowLongA(win32::WindowOf(form), GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);  // fixed size
}

// A control whose window the system cannot make fails with EOutOfResources and the system's
// own text for why, and leaves nothing of itself behind: no control in the registry, and the
// next control is made as before.
TEST(WindowCreation, FailsWithTheSystemsReasonAndLeavesNothing) {
  auto design = [](ControlKind kind) {
    PeerDesign d;
    d.kind = kind;
    d.bounds = {0, 0, 100, 40};
    return d;
  };
  TForm form(design(ControlKind::Form));
  auto& gone = form.Make<TPanel>(&form, design(ControlKind::Panel));
  ASSERT_TRUE(DestroyWindow(win32::WindowOf(gone)));
  const struct {
    const char* what;
    TWinControl* parent;
    DWORD error;
  } cases[] = {
      {"a child window with no parent", nullptr, ERROR_TLW_WITH_WSCHILD},
      {"a parent whose window is gone", &gone, ERROR_INVALID_WINDOW_HANDLE},
  };
  const std::size_t registered = win32::NativeControl::Registry().size();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const AnsiString reason = win32::SystemErrorText(c.error);
    ASSERT_FALSE(reason.empty());
    try {
      TEdit edit(c.parent, design(ControlKind::Edit));
      ADD_FAILURE() << "made a window";
    } catch (const EOutOfResources& e) {
      EXPECT_EQ(e.Message(), reason);
    }
    EXPECT_EQ(win32::NativeControl::Registry().size(), registered);
  }
  const TEdit& next = form.Make<TEdit>(&form, design(ControlKind::Edit));
  EXPECT_EQ(GetParent(win32::WindowOf(next)), win32::WindowOf(form));
  EXPECT_EQ(win32::NativeControl::Registry().size(), registered + 1);
}

}  // namespace
}  // namespace zinnow
