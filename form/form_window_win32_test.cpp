// Drives real forms: a scripted user acts on each tick of a thread timer,
// which the form's own message loop dispatches.
#include "form/form_window_win32.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "form/form_layout.h"
#include "form/form_state.h"
#include "form/run_form_win32.h"

namespace pk {
namespace {

constexpr UINT TICK_MS = 20;
constexpr int IDLE_TICKS_ALLOWED = 100;
constexpr int32_t OK = OK_CONTROL;
constexpr int32_t CANCEL = CANCEL_CONTROL;
constexpr int32_t BUTTON = 100;  // BUTTON + b names row button b in a walk

void (*act)(int step);
int stepCount;
int nextStep;
int idleTicks;
HWND owner;

BOOL CALLBACK MatchForm(HWND window, LPARAM found) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char className[32];
  GetClassNameA(window, className, sizeof className);
  if (process != GetCurrentProcessId() || std::strcmp(className, "FORM_ENTRY") != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// The open form of this thread. Other programs under the same wine server
// may show forms of the same class.
HWND Form() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), MatchForm, reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND Control(int32_t k) {
  if (k > BUTTON) return static_cast<HWND>(formState.buttonHandle[k - BUTTON]);
  return static_cast<HWND>(formState.fieldControl[k]);
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (!Form()) return;
  if (nextStep < stepCount) {
    act(nextStep++);
  } else if (++idleTicks > IDLE_TICKS_ALLOWED) {
    ADD_FAILURE() << "the form stayed open after the script";
    DestroyWindow(Form());
  }
}

// Runs a form whose user takes `steps` steps, one per timer tick.
bool RunScripted(const char* description, int8_t* choices, FieldValue* values, int steps,
                 void (*user)(int step)) {
  act = user;
  stepCount = steps;
  nextStep = idleTicks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, TICK_MS, Tick);
  const bool result = RunForm(GetModuleHandleA(nullptr), owner, description,
                              static_cast<int32_t>(std::strlen(description)) + 1, choices, values);
  KillTimer(nullptr, timer);
  EXPECT_EQ(nextStep, stepCount) << "the form closed before the script ended";
  EXPECT_EQ(Form(), nullptr);
  return result;
}

// A character typed into whichever window has the focus.
void Key(WPARAM character) {
  PostMessageA(GetFocus() ? GetFocus() : Form(), WM_CHAR, character, 1);
}

void Type(const char* text) {
  while (*text) Key(static_cast<unsigned char>(*text++));
}

void SetText(int32_t field, const char* text) {
  SetWindowTextA(Control(field), text);
}

bool HasFocus(int32_t k) {
  const HWND focus = GetFocus();
  return focus && (focus == Control(k) || IsChild(Control(k), focus));
}

std::string Text(HWND window) {
  char text[256];
  GetWindowTextA(window, text, sizeof text);
  return text;
}

LRESULT Ask(int32_t field, UINT message, WPARAM wParam = 0) {
  return SendMessageA(Control(field), message, wParam, 0);
}

void ExpectPlaced(HWND control, const PixelRect& expected, bool withHeight) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, Form(), reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, expected.x) << Text(control);
  EXPECT_EQ(rect.top, expected.y) << Text(control);
  EXPECT_EQ(rect.right - rect.left, expected.width) << Text(control);
  if (withHeight) {
    EXPECT_EQ(rect.bottom - rect.top, expected.height) << Text(control);
  }
}

// Every control and the window itself where the layout puts them. (A list
// box's height includes its drop-down part, so only its top edge is checked.)
void ExpectFormLayout() {
  RECT window;
  GetWindowRect(Form(), &window);
  const PixelRect expected = FormWindowRect(formState);
  EXPECT_EQ(window.left, 0);
  EXPECT_EQ(window.top, 0);
  EXPECT_EQ(window.right - window.left, expected.width);
  EXPECT_EQ(window.bottom - window.top, expected.height);
  for (int32_t k = 1; k <= formState.fieldCount; ++k) {
    const int32_t row = formState.fieldRow[k] - 1;
    if (formState.fieldType[k] != 'B') ExpectPlaced(Control(k), ListBoxRect(formState, row), false);
    const int32_t count = formState.rowButtonCount[k];
    for (int32_t j = 1; j <= count; ++j) {
      ExpectPlaced(Control(BUTTON + formState.rowFirstButton[k] + j),
                   RowButtonRect(formState, row, count, j), true);
    }
  }
  ExpectPlaced(Control(OK), OkButtonRect(formState), true);
  ExpectPlaced(Control(CANCEL), CancelButtonRect(formState), true);
}

// Whether any pixel of the client area inside `area` differs from the background.
bool InkIn(PixelPoint at, int32_t columns) {
  const HDC dc = GetDC(Form());
  const COLORREF background = GetSysColor(COLOR_WINDOW);
  bool ink = false;
  for (int32_t y = at.y; y < at.y + formState.lineHeight && !ink; ++y) {
    for (int32_t x = at.x; x < at.x + columns * formState.charWidth && !ink; ++x) {
      ink = GetPixel(dc, x, y) != background;
    }
  }
  ReleaseDC(Form(), dc);
  return ink;
}

// Writes the client area of the form as a 24-bit BMP. Without a window
// manager, as under Xvfb, nobody draws the frame and caption.
void CaptureForm(const std::string& path) {
  RECT rect;
  GetClientRect(Form(), &rect);
  const HDC clientDc = GetDC(Form());
  const HDC memoryDc = CreateCompatibleDC(clientDc);
  BITMAPINFO info{};
  info.bmiHeader = {
      sizeof(BITMAPINFOHEADER), rect.right, rect.bottom, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(clientDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(memoryDc, bitmap);
  BitBlt(memoryDc, 0, 0, rect.right, rect.bottom, clientDc, 0, 0, SRCCOPY);
  GdiFlush();
  const DWORD imageBytes = static_cast<DWORD>(((rect.right * 3 + 3) & ~3) * rect.bottom);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + imageBytes;
  FILE* out = std::fopen(path.c_str(), "wb");
  ASSERT_NE(out, nullptr) << path;
  std::fwrite(&file, sizeof file, 1, out);
  std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
  std::fwrite(bits, imageBytes, 1, out);
  std::fclose(out);
  SelectObject(memoryDc, old);
  DeleteObject(bitmap);
  DeleteDC(memoryDc);
  ReleaseDC(Form(), clientDc);
}

class FormWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA ownerClass{};
    ownerClass.lpfnWndProc = DefWindowProcA;
    ownerClass.hInstance = GetModuleHandleA(nullptr);
    ownerClass.lpszClassName = "PK_FORM_TEST_OWNER";
    RegisterClassA(&ownerClass);
    owner = CreateWindowExA(0, "PK_FORM_TEST_OWNER", "owner", WS_OVERLAPPEDWINDOW, 100, 100, 300,
                            200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(owner, SW_SHOWNORMAL);
  }
  static void TearDownTestSuite() { DestroyWindow(owner); }
};

// The system's own form and its program-name buffer: two NULs, then blanks.
constexpr char PROGRAM_FORM[] = "cProgram Name^OOPS, EXIT PROGRAM^|";
char programName[31];
int8_t programChoice;
FieldValue programValue;

bool RunProgramForm(int steps, void (*user)(int step)) {
  std::memset(programName, ' ', sizeof programName);
  programName[0] = programName[1] = programName[30] = '\0';
  programChoice = 0;
  programValue.text = programName;
  return RunScripted(PROGRAM_FORM, &programChoice, &programValue, steps, user);
}

bool ProgramNameUntouched() {
  return programName[0] == '\0' && programName[2] == ' ';
}

TEST_F(FormWindow, ProgramFormShowsItsFieldAndReturnsTheTypedName) {
  EXPECT_TRUE(RunProgramForm(2, [](int step) {
    if (step == 0) {
      EXPECT_EQ(Text(Form()), "FORM");
      EXPECT_EQ(Text(Control(1)), "");
      char entry[80] = "";
      EXPECT_EQ(Ask(1, CB_GETCOUNT), 1);
      SendMessageA(Control(1), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(entry));
      EXPECT_STREQ(entry, "OOPS, EXIT PROGRAM");
      EXPECT_TRUE(HasFocus(1));
      // Under wine the fixed system font measures 8 x 16 pixels.
      EXPECT_EQ(formState.charWidth, 8);
      EXPECT_EQ(formState.lineHeight, 16);
      ExpectFormLayout();
      const PixelPoint label = RowTextPosition(formState, 0);
      EXPECT_TRUE(InkIn(label, 12));
      EXPECT_FALSE(InkIn({label.x + 13 * formState.charWidth, label.y}, 15));
      EXPECT_TRUE(InkIn(ListMarkPosition(formState, 0), 1));
      EXPECT_TRUE(InkIn(HelpLinePosition(formState, 1), 55));
      EXPECT_TRUE(InkIn(HelpLinePosition(formState, 2), 55));
      if (const char* dir = std::getenv("PK_ARTIFACT_DIR")) {
        CreateDirectoryA(dir, nullptr);
        CaptureForm(std::string(dir) + "/form.bmp");
      }
      Type("MYPROG");
    } else if (step == 1) {
      EXPECT_EQ(Text(Control(1)), "MYPROG");
      Key(10);
    }
  }));
  EXPECT_EQ(programChoice, 0);
  EXPECT_STREQ(programName, "MYPROG");

  // A long name scrolls in its box and is kept cut to 30 characters.
  EXPECT_TRUE(RunProgramForm(2, [](int step) {
    if (step == 0) Type("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234567");
    if (step == 1) Key(10);
  }));
  EXPECT_STREQ(programName, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");
}

TEST_F(FormWindow, ProgramFormExitChoiceAndEscape) {
  EXPECT_TRUE(RunProgramForm(2, [](int step) {
    if (step == 0) Ask(1, CB_SETCURSEL, 0);
    if (step == 1) Key(10);
  }));
  EXPECT_EQ(programChoice, 1);
  EXPECT_TRUE(ProgramNameUntouched());

  EXPECT_FALSE(RunProgramForm(2, [](int step) {
    if (step == 0) Type("ABC");
    if (step == 1) Key(27);
  }));
  EXPECT_TRUE(ProgramNameUntouched());

  // ESC typed into the owner window cancels the form too.
  EXPECT_FALSE(RunProgramForm(2, [](int step) {
    if (step == 0) SetFocus(owner);
    if (step == 1) {
      EXPECT_EQ(GetFocus(), owner);
      Key(27);
    }
  }));
}

TEST_F(FormWindow, FocusWalksThroughAButtonRowBothWaysAndSpacePressesAButton) {
  static const struct {
    int32_t focus;
    WPARAM key;
  } walk[] = {{1, 9},   {BUTTON + 1, 13},  {BUTTON + 2, 9},  {BUTTON + 3, 9}, {3, 13},
              {OK, 13}, {CANCEL, 13},      {1, 127},         {CANCEL, 127},   {OK, 127},
              {3, 127}, {BUTTON + 3, 127}, {BUTTON + 2, ' '}};
  int8_t choices[3] = {};
  FieldValue values[3] = {};
  EXPECT_TRUE(RunScripted("CFirst^|BOne^Two^Three^|CLast^|", choices, values, 13, [](int step) {
    EXPECT_TRUE(HasFocus(walk[step].focus)) << "step " << step;
    if (walk[step].key != ' ') return Key(walk[step].key);
    const HWND button = GetFocus();
    PostMessageA(button, WM_KEYDOWN, VK_SPACE, 0x00390001);
    PostMessageA(button, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u));
  }));
  EXPECT_EQ(choices[0], 0);
  EXPECT_EQ(choices[1], 2);
  EXPECT_EQ(choices[2], 0);
}

TEST_F(FormWindow, ListsStartOnTheirChoiceAndReturnTheNewOne) {
  int8_t choices[3] = {2, 0, 2};
  char buffer[31] = "abc";
  FieldValue values[3] = {};
  values[2].text = buffer;
  EXPECT_TRUE(RunScripted("SColour^Red^Green^Blue^|SNone^a^b^|CName^x^y^|", choices, values, 2,
                          [](int step) {
                            if (step == 1) return Key(10);
                            EXPECT_EQ(Ask(1, CB_GETCURSEL), 1);
                            EXPECT_EQ(Text(Control(1)), "Green");
                            EXPECT_EQ(Ask(2, CB_GETCURSEL), -1);
                            EXPECT_EQ(Text(Control(2)), "");
                            EXPECT_EQ(Text(Control(3)), "y");
                            Ask(1, CB_SETCURSEL, 2);
                          }));
  EXPECT_EQ(choices[0], 3);
  EXPECT_EQ(choices[1], 0);
  EXPECT_EQ(choices[2], 2);
  EXPECT_STREQ(buffer, "abc");
}

// A name field and an integer field holding 7.
int8_t ageChoices[2];
FieldValue ageValues[2];
char name[31];

bool RunAgeForm(int steps, void (*user)(int step)) {
  ageChoices[0] = ageChoices[1] = 0;
  std::strcpy(name, "old");
  ageValues[0].text = name;
  ageValues[1].shortValue = 7;
  return RunScripted("CName^|IAge^|", ageChoices, ageValues, steps, user);
}

// Types `age` after the name and confirms; from the second step on the
// earlier attempt must have been refused.
void ConfirmAge(int step, const char* age) {
  if (step == 0) {
    EXPECT_EQ(Text(Control(2)), "7");
    SetText(1, "Bob");
  } else {
    EXPECT_NE(Form(), nullptr);
    EXPECT_TRUE(HasFocus(2));
    EXPECT_EQ(formState.currentField, 2);
  }
  SetText(2, age);
  Key(10);
}

TEST_F(FormWindow, UnreadableIntegerKeepsTheFormOpenOnItsField) {
  EXPECT_TRUE(RunAgeForm(4, [](int step) {
    const char* ages[] = {"12x", "40000", "-32768", "12"};
    ConfirmAge(step, ages[step]);
  }));
  EXPECT_EQ(ageValues[1].shortValue, 12);
  EXPECT_STREQ(name, "Bob");
}

TEST_F(FormWindow, ClosingOrCancellingAfterARefusalReturnsFalse) {
  EXPECT_FALSE(RunAgeForm(2, [](int step) {
    if (step == 0) return ConfirmAge(step, "x");
    PostMessageA(Form(), WM_CLOSE, 0, 0);
  }));
  EXPECT_STREQ(name, "Bob");  // written before the refused field was met
  EXPECT_EQ(ageValues[1].shortValue, 7);

  EXPECT_FALSE(RunAgeForm(2, [](int step) {
    if (step == 0) return ConfirmAge(step, "x");
    SendMessageA(Control(CANCEL), BM_CLICK, 0, 0);
  }));
  EXPECT_STREQ(name, "Bob");
}

TEST_F(FormWindow, RealFieldsShowTheirValueAndReadAnExponent) {
  int8_t choices[2] = {};
  FieldValue values[2];
  values[0].realValue = 1.5f;
  values[1].doubleValue = 2.0e13;
  EXPECT_TRUE(RunScripted("RRate^|DBig^|", choices, values, 1, [](int) {
    EXPECT_EQ(Text(Control(1)), "1.5");
    EXPECT_EQ(Text(Control(2)), "20000000000000.");
    SetText(1, "2.5E3");
    Key(10);
  }));
  EXPECT_EQ(values[0].realValue, 2500.0f);
  EXPECT_EQ(values[1].doubleValue, 2.0e13);
}

TEST_F(FormWindow, CompactFormWithCaptionPlacesEveryControlByTheLayout) {
  int8_t choices[8] = {};
  FieldValue values[8] = {};
  EXPECT_FALSE(
      RunScripted("TL1\\L2\\L3\\|CA^x^|IB^|BOne^Two^Three^|LC^|RD^|HMy caption|DE^|SF^g^|CG^|",
                  choices, values, 1, [](int) {
                    EXPECT_EQ(Text(Form()), "My caption");
                    EXPECT_EQ(formState.rowCount, 11);
                    ExpectFormLayout();
                    // The selection field is one item high (wine adds its
                    // 2-pixel frame). Entry heights go unchecked: wine
                    // applies them to owner-drawn lists only.
                    const LRESULT height = Ask(1, CB_GETITEMHEIGHT, WPARAM(-1));
                    EXPECT_GE(height, ListItemHeight(formState));
                    EXPECT_LE(height, ListItemHeight(formState) + 2);
                    Key(27);
                  }));
}

TEST_F(FormWindow, FormWithoutFieldsFocusesOk) {
  EXPECT_TRUE(RunScripted("TJust a line\\|", nullptr, nullptr, 2, [](int step) {
    if (step == 0) {
      EXPECT_TRUE(HasFocus(OK));
      return Key(13);
    }
    EXPECT_TRUE(HasFocus(CANCEL));
    SendMessageA(Control(OK), BM_CLICK, 0, 0);
  }));
}

TEST_F(FormWindow, EveryFormStartsUnconfirmedAndBrokenOnesAreNotShown) {
  int8_t choice = 3;
  FieldValue value{};
  value.longValue = 99;
  EXPECT_TRUE(RunScripted("LA^|", &choice, &value, 1, [](int) { Key(10); }));
  EXPECT_EQ(choice, 0);
  choice = 3;
  value.longValue = 99;
  EXPECT_FALSE(RunScripted("LA^|", &choice, &value, 1, [](int) {
    SetText(1, "5");
    PostMessageA(Form(), WM_CLOSE, 0, 0);
  }));
  EXPECT_EQ(choice, 3);
  EXPECT_EQ(value.longValue, 99);
  EXPECT_FALSE(RunScripted("CName|", &choice, &value, 0, nullptr));
}

}  // namespace
}  // namespace pk
