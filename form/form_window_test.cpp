// Drives real forms: a scripted user posts keys and clicks from a thread
// timer whose ticks the form's own message loop dispatches.
#include "form/form_window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

#include "form/form_layout.h"
#include "form/form_state.h"
#include "form/run_form.h"

namespace pk {
namespace {

using Step = void (*)();

constexpr int MAX_STEPS = 40;
constexpr UINT TICK_MS = 20;
constexpr int IDLE_TICKS_ALLOWED = 100;

Step steps[MAX_STEPS];
int stepCount;
int nextStep;
int idleTicks;
HWND owner;

HWND Form() {
  return FindWindowA("FORM_ENTRY", nullptr);
}
HWND Control(int32_t k) {
  return static_cast<HWND>(formState.fieldControl[k]);
}
HWND RowButton(int32_t b) {
  return static_cast<HWND>(formState.buttonHandle[b]);
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (!Form()) return;
  if (nextStep < stepCount) {
    steps[nextStep++]();
  } else if (++idleTicks > IDLE_TICKS_ALLOWED) {
    ADD_FAILURE() << "the form stayed open after the script";
    DestroyWindow(Form());
  }
}

// Runs a form whose user follows `script`, one step per timer tick.
bool RunScripted(const char* description, int8_t* choices, FieldValue* values,
                 std::initializer_list<Step> script) {
  stepCount = 0;
  for (Step step : script) steps[stepCount++] = step;
  nextStep = 0;
  idleTicks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, TICK_MS, Tick);
  const bool result = RunForm(GetModuleHandleA(nullptr), owner, description,
                              static_cast<int32_t>(std::strlen(description)) + 1, choices, values);
  KillTimer(nullptr, timer);
  EXPECT_EQ(Form(), nullptr);
  return result;
}

// A character typed into whichever window has the focus.
void Key(WPARAM character) {
  const HWND target = GetFocus() ? GetFocus() : Form();
  PostMessageA(target, WM_CHAR, character, 1);
}

void Type(const char* text) {
  for (; *text; ++text) Key(static_cast<unsigned char>(*text));
}

void PressSpace() {
  const HWND target = GetFocus();
  PostMessageA(target, WM_KEYDOWN, VK_SPACE, 0x00390001);
  PostMessageA(target, WM_CHAR, ' ', 0x00390001);
  PostMessageA(target, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u));
}

bool HasFocus(HWND control) {
  const HWND focus = GetFocus();
  return focus && (focus == control || IsChild(control, focus));
}

std::string Text(HWND window) {
  char text[256];
  GetWindowTextA(window, text, sizeof text);
  return text;
}

int32_t Selection(int32_t field) {
  return static_cast<int32_t>(SendMessageA(Control(field), CB_GETCURSEL, 0, 0));
}

PixelRect ClientRect(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, Form(), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void ExpectPlaced(HWND control, const PixelRect& expected, bool checkHeight) {
  const PixelRect actual = ClientRect(control);
  EXPECT_EQ(actual.x, expected.x) << Text(control);
  EXPECT_EQ(actual.y, expected.y) << Text(control);
  EXPECT_EQ(actual.width, expected.width) << Text(control);
  if (checkHeight) {
    EXPECT_EQ(actual.height, expected.height) << Text(control);
  }
}

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
    if (formState.fieldType[k] != 'B') {
      ExpectPlaced(Control(k), ListBoxRect(formState, row), false);
      continue;
    }
    const int32_t count = formState.rowButtonCount[k];
    for (int32_t j = 1; j <= count; ++j) {
      ExpectPlaced(RowButton(formState.rowFirstButton[k] + j),
                   RowButtonRect(formState, row, count, j), true);
    }
  }
  ExpectPlaced(Control(OK_CONTROL), OkButtonRect(formState), true);
  ExpectPlaced(Control(CANCEL_CONTROL), CancelButtonRect(formState), true);
}

// Counts the pixels of the client area inside `area` that differ from the
// window background: text drawn there leaves some.
int32_t InkIn(const PixelRect& area) {
  const HDC dc = GetDC(Form());
  const COLORREF background = GetSysColor(COLOR_WINDOW);
  int32_t ink = 0;
  for (int32_t y = area.y; y < area.y + area.height; ++y) {
    for (int32_t x = area.x; x < area.x + area.width; ++x) {
      if (GetPixel(dc, x, y) != background) ++ink;
    }
  }
  ReleaseDC(Form(), dc);
  return ink;
}

// Writes the client area of the form as a 24-bit BMP. (Without a window
// manager, as under Xvfb, nobody draws the frame and caption, so they are
// left out.)
void CaptureForm(const char* path) {
  RECT rect;
  GetClientRect(Form(), &rect);
  const int32_t width = rect.right;
  const int32_t height = rect.bottom;
  const HDC clientDc = GetDC(Form());
  const HDC memoryDc = CreateCompatibleDC(clientDc);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(clientDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(memoryDc, bitmap);
  BitBlt(memoryDc, 0, 0, width, height, clientDc, 0, 0, SRCCOPY);
  GdiFlush();
  const DWORD imageBytes = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + imageBytes;
  if (FILE* out = std::fopen(path, "wb")) {
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
    std::fwrite(bits, imageBytes, 1, out);
    std::fclose(out);
  } else {
    ADD_FAILURE() << "cannot write " << path;
  }
  SelectObject(memoryDc, old);
  DeleteObject(bitmap);
  DeleteDC(memoryDc);
  ReleaseDC(Form(), clientDc);
}

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

class FormWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA ownerClass{};
    ownerClass.lpfnWndProc = OwnerProc;
    ownerClass.hInstance = GetModuleHandleA(nullptr);
    ownerClass.lpszClassName = "PK_FORM_TEST_OWNER";
    RegisterClassA(&ownerClass);
    owner = CreateWindowExA(0, "PK_FORM_TEST_OWNER", "owner", WS_OVERLAPPEDWINDOW, 100, 100, 300,
                            200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(owner, SW_SHOWNORMAL);
  }
  static void TearDownTestSuite() { DestroyWindow(owner); }
};

// The system's own form.
constexpr char PROGRAM_FORM[] = "cProgram Name^OOPS, EXIT PROGRAM^|";

struct ProgramName {
  char name[31];
  int8_t choice = 0;
  FieldValue value;
  void Reset() {
    std::memset(name, ' ', sizeof name);
    name[0] = name[1] = name[30] = '\0';
    choice = 0;
    value.text = name;
  }
  bool Untouched() const { return name[0] == '\0' && name[1] == '\0' && name[2] == ' '; }
};
ProgramName program;

TEST_F(FormWindow, ProgramFormShowsItsFieldAndReturnsTheTypedName) {
  program.Reset();
  EXPECT_TRUE(RunScripted(PROGRAM_FORM, &program.choice, &program.value,
                          {[] {
                             EXPECT_EQ(Text(Form()), "FORM");
                             EXPECT_EQ(Text(Control(1)), "");
                             char entry[80] = "";
                             EXPECT_EQ(SendMessageA(Control(1), CB_GETCOUNT, 0, 0), 1);
                             SendMessageA(Control(1), CB_GETLBTEXT, 0,
                                          reinterpret_cast<LPARAM>(entry));
                             EXPECT_STREQ(entry, "OOPS, EXIT PROGRAM");
                             EXPECT_TRUE(HasFocus(Control(1)));
                             // The fixed system font measures 8 x 16 pixels.
                             EXPECT_EQ(formState.charWidth, 8);
                             EXPECT_EQ(formState.lineHeight, 16);
                             ExpectFormLayout();
                           },
                           [] {
                             const int32_t cw = formState.charWidth;
                             const int32_t lh = formState.lineHeight;
                             const PixelPoint label = RowTextPosition(formState, 0);
                             const PixelPoint mark = ListMarkPosition(formState, 0);
                             const PixelPoint help1 = HelpLinePosition(formState, 1);
                             const PixelPoint help2 = HelpLinePosition(formState, 2);
                             EXPECT_GT(InkIn({label.x, label.y, 12 * cw, lh}), 0);
                             EXPECT_GT(InkIn({mark.x, mark.y, cw, lh}), 0);
                             EXPECT_GT(InkIn({help1.x, help1.y, 55 * cw, lh}), 0);
                             EXPECT_GT(InkIn({help2.x, help2.y, 55 * cw, lh}), 0);
                             // Nothing is painted between the label and its list box.
                             EXPECT_EQ(InkIn({label.x + 13 * cw, label.y, 15 * cw, lh}), 0);
                             if (const char* dir = std::getenv("PK_ARTIFACT_DIR")) {
                               CreateDirectoryA(dir, nullptr);
                               CaptureForm((std::string(dir) + "/form.bmp").c_str());
                             }
                           },
                           [] { Type("MYPROG"); }, [] { Key(10); }}));
  EXPECT_EQ(program.choice, 0);
  EXPECT_STREQ(program.name, "MYPROG");
}

TEST_F(FormWindow, ProgramFormTakesAThirtyCharacterNameWithItsNul) {
  program.Reset();
  EXPECT_TRUE(RunScripted(PROGRAM_FORM, &program.choice, &program.value,
                          {[] { Type("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234567"); },
                           [] {
                             // The box scrolls: every typed character is kept.
                             EXPECT_EQ(Text(Control(1)), "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234567");
                             Key(10);
                           }}));
  EXPECT_EQ(std::string(program.name), "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123");
}

TEST_F(FormWindow, ProgramFormExitChoiceLeavesTheBufferAlone) {
  program.Reset();
  EXPECT_TRUE(RunScripted(PROGRAM_FORM, &program.choice, &program.value,
                          {[] { SendMessageA(Control(1), CB_SETCURSEL, 0, 0); }, [] { Key(10); }}));
  EXPECT_EQ(program.choice, 1);
  EXPECT_TRUE(program.Untouched());
}

TEST_F(FormWindow, EscapeCancelsAlsoFromTheOwnerWindow) {
  program.Reset();
  program.choice = 5;
  EXPECT_FALSE(RunScripted(PROGRAM_FORM, &program.choice, &program.value,
                           {[] { Type("ABC"); }, [] { Key(27); }}));
  EXPECT_TRUE(program.Untouched());
  EXPECT_EQ(program.choice, 5);

  EXPECT_FALSE(RunScripted(PROGRAM_FORM, &program.choice, &program.value,
                           {[] { SetFocus(owner); },
                            [] {
                              EXPECT_EQ(GetFocus(), owner);
                              Key(27);
                            }}));
}

TEST_F(FormWindow, FocusWalksThroughAButtonRowBothWaysAndSpacePressesAButton) {
  int8_t choices[3] = {0, 0, 0};
  FieldValue values[3] = {};
  EXPECT_TRUE(RunScripted("CFirst^|BOne^Two^Three^|CLast^|", choices, values,
                          {[] {
                             EXPECT_TRUE(HasFocus(Control(1)));
                             Key(9);
                           },
                           [] {
                             EXPECT_TRUE(HasFocus(RowButton(1)));
                             Key(13);
                           },
                           [] {
                             EXPECT_TRUE(HasFocus(RowButton(2)));
                             Key(9);
                           },
                           [] {
                             EXPECT_TRUE(HasFocus(RowButton(3)));
                             Key(9);
                           },
                           [] {
                             EXPECT_TRUE(HasFocus(Control(3)));
                             Key(13);
                           },
                           [] {
                             EXPECT_TRUE(HasFocus(Control(OK_CONTROL)));
                             Key(13);
                           },
                           [] {
                             EXPECT_TRUE(HasFocus(Control(CANCEL_CONTROL)));
                             Key(13);
                           },
                           [] {
                             EXPECT_TRUE(HasFocus(Control(1)));
                             Key(127);
                           },
                           [] {
                             EXPECT_TRUE(HasFocus(Control(CANCEL_CONTROL)));
                             Key(127);
                           },
                           [] {
                             EXPECT_TRUE(HasFocus(Control(OK_CONTROL)));
                             Key(127);
                           },
                           [] {
                             EXPECT_TRUE(HasFocus(Control(3)));
                             Key(127);
                           },
                           [] {
                             EXPECT_TRUE(HasFocus(RowButton(3)));
                             Key(127);
                           },
                           [] {
                             EXPECT_TRUE(HasFocus(RowButton(2)));
                             PressSpace();
                           }}));
  EXPECT_EQ(choices[0], 0);
  EXPECT_EQ(choices[1], 2);
  EXPECT_EQ(choices[2], 0);
}

TEST_F(FormWindow, SelectionFieldsStartOnTheirChoiceAndReturnTheNewOne) {
  int8_t choices[3] = {2, 0, 2};
  char buffer[31] = "abc";
  FieldValue values[3] = {};
  values[2].text = buffer;
  EXPECT_TRUE(RunScripted("SColour^Red^Green^Blue^|SNone^a^b^|CName^x^y^|", choices, values,
                          {[] {
                             EXPECT_EQ(Selection(1), 1);
                             EXPECT_EQ(Text(Control(1)), "Green");
                             EXPECT_EQ(Selection(2), -1);
                             EXPECT_EQ(Text(Control(2)), "");
                             EXPECT_EQ(Text(Control(3)), "y");
                             SendMessageA(Control(1), CB_SETCURSEL, 2, 0);
                           },
                           [] { Key(10); }}));
  EXPECT_EQ(choices[0], 3);
  EXPECT_EQ(choices[1], 0);
  EXPECT_EQ(choices[2], 2);
  EXPECT_STREQ(buffer, "abc");
}

// A form with a name field and an integer field holding 7.
struct NameAndAge {
  int8_t choices[2] = {0, 0};
  FieldValue values[2];
  char name[31] = "old";
  void Reset() {
    choices[0] = choices[1] = 0;
    std::strcpy(name, "old");
    values[0].text = name;
    values[1].longValue = 0;
    values[1].shortValue = 7;
  }
};
NameAndAge form;

void ExpectRefusedOnAge() {
  EXPECT_NE(Form(), nullptr);
  EXPECT_TRUE(HasFocus(Control(2)));
  EXPECT_EQ(formState.currentField, 2);
}

TEST_F(FormWindow, UnreadableIntegerKeepsTheFormOpenOnItsField) {
  form.Reset();
  EXPECT_TRUE(RunScripted("CName^|IAge^|", form.choices, form.values,
                          {[] {
                             EXPECT_EQ(Text(Control(2)), "7");
                             SetWindowTextA(Control(1), "Bob");
                             SetWindowTextA(Control(2), "12x");
                             Key(10);
                           },
                           [] {
                             ExpectRefusedOnAge();
                             SetWindowTextA(Control(2), "40000");
                             Key(10);
                           },
                           [] {
                             ExpectRefusedOnAge();
                             SetWindowTextA(Control(2), "-32768");
                             Key(10);
                           },
                           [] {
                             ExpectRefusedOnAge();
                             SetWindowTextA(Control(2), "12");
                             Key(10);
                           }}));
  EXPECT_EQ(form.values[1].shortValue, 12);
  EXPECT_STREQ(form.name, "Bob");
}

TEST_F(FormWindow, ClosingOrCancellingAfterARefusalReturnsFalse) {
  form.Reset();
  EXPECT_FALSE(RunScripted("CName^|IAge^|", form.choices, form.values,
                           {[] {
                              SetWindowTextA(Control(1), "Bob");
                              SetWindowTextA(Control(2), "x");
                              Key(10);
                            },
                            [] {
                              ExpectRefusedOnAge();
                              PostMessageA(Form(), WM_CLOSE, 0, 0);
                            }}));
  // The character field before the refused one was already written.
  EXPECT_STREQ(form.name, "Bob");
  EXPECT_EQ(form.values[1].shortValue, 7);

  form.Reset();
  EXPECT_FALSE(RunScripted("CName^|IAge^|", form.choices, form.values,
                           {[] {
                              SetWindowTextA(Control(1), "Ann");
                              SetWindowTextA(Control(2), "x");
                              Key(10);
                            },
                            [] { SendMessageA(Control(CANCEL_CONTROL), BM_CLICK, 0, 0); }}));
  EXPECT_STREQ(form.name, "Ann");
  EXPECT_EQ(form.values[1].shortValue, 7);
}

TEST_F(FormWindow, RealFieldsShowTheirValueAndReadAnExponent) {
  int8_t choices[2] = {0, 0};
  FieldValue values[2];
  values[0].realValue = 1.5f;
  values[1].doubleValue = 2.0e13;
  EXPECT_TRUE(RunScripted("RRate^|DBig^|", choices, values, {[] {
                            EXPECT_EQ(Text(Control(1)), "1.5");
                            EXPECT_EQ(Text(Control(2)), "20000000000000.");
                            SetWindowTextA(Control(1), "2.5E3");
                            Key(10);
                          }}));
  EXPECT_EQ(values[0].realValue, 2500.0f);
  EXPECT_EQ(values[1].doubleValue, 2.0e13);
}

TEST_F(FormWindow, CaptionItemNamesTheWindow) {
  int8_t choice = 0;
  FieldValue value{};
  EXPECT_FALSE(RunScripted("CA^|HMy own caption|", &choice, &value, {[] {
                             EXPECT_EQ(Text(Form()), "My own caption");
                             Key(27);
                           }}));
}

TEST_F(FormWindow, FormWithoutFieldsFocusesOk) {
  EXPECT_TRUE(RunScripted("TJust a line\\|", nullptr, nullptr,
                          {[] {
                             EXPECT_TRUE(HasFocus(Control(OK_CONTROL)));
                             Key(13);
                           },
                           [] {
                             EXPECT_TRUE(HasFocus(Control(CANCEL_CONTROL)));
                             SendMessageA(Control(OK_CONTROL), BM_CLICK, 0, 0);
                           }}));
}

TEST_F(FormWindow, CompactFormPlacesEveryControlByTheLayout) {
  int8_t choices[8] = {};
  FieldValue values[8] = {};
  EXPECT_FALSE(RunScripted(
      "TL1\\L2\\L3\\|CA^x^|IB^|BOne^Two^Three^|LC^|RD^|DE^|SF^g^|CG^|", choices, values, {[] {
        EXPECT_EQ(formState.rowCount, 11);
        ExpectFormLayout();
        // The selection field of a field with entries is one item high
        // (wine reports it with its 2-pixel frame). Entry heights are not
        // checked: wine applies them to owner-drawn lists only.
        const LRESULT selectionHeight =
            SendMessageA(Control(1), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
        EXPECT_GE(selectionHeight, ListItemHeight(formState));
        EXPECT_LE(selectionHeight, ListItemHeight(formState) + 2);
        Key(27);
      }}));
}

TEST_F(FormWindow, EveryFormStartsUnconfirmedAndClosingCancels) {
  int8_t choice = 3;
  FieldValue value{};
  value.longValue = 99;
  EXPECT_TRUE(RunScripted("LA^|", &choice, &value, {[] { Key(10); }}));
  EXPECT_EQ(choice, 0);
  choice = 3;
  value.longValue = 99;
  EXPECT_FALSE(RunScripted("LA^|", &choice, &value, {[] {
                             SetWindowTextA(Control(1), "5");
                             PostMessageA(Form(), WM_CLOSE, 0, 0);
                           }}));
  EXPECT_EQ(choice, 3);
  EXPECT_EQ(value.longValue, 99);
}

TEST_F(FormWindow, BrokenDescriptionShowsNoForm) {
  int8_t choice = 0;
  FieldValue value{};
  EXPECT_TRUE(RunScripted("LA^|", &choice, &value, {[] { Key(10); }}));
  EXPECT_FALSE(RunScripted("CName|", &choice, &value, {}));
  EXPECT_FALSE(RunScripted("CA^|CB^", &choice, &value, {}));
}

}  // namespace
}  // namespace pk
