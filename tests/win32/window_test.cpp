// The real window under Wine: its layout, the keyboard, the spin field's arrows and the folder
// chooser, driven by real input.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/zin_form.h"
#include "platform/win32/windows_backend.h"
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

}  // namespace
}  // namespace zinnow
