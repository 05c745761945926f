// The canvas engine on real GDI pictures and a real graphic control, checked by reading pixels back.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "runtime/canvas/canvas.h"
#include "runtime/canvas/draw_target.h"
#include "runtime/canvas/font_table.h"
#include "runtime/text/error_code.h"
#include "tests/support/failing_call.h"
#include "tests/support/process_memory.h"
#include "tests/support/stress.h"
#include "tests/support/temp_folder.h"

namespace runtime {
namespace {

constexpr COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255), blue = RGB(0, 0, 255),
                   red = RGB(255, 0, 0);

// A 24-bit bottom-up BMP file of width x height whose pixel (x, y) is `colour(x, y)`.
template <typename Colour>
void writeBitmapFile(const std::filesystem::path& file, int32_t width, int32_t height, Colour&& colour) {
  const int32_t stride = (width * 3 + 3) & ~3;
  std::vector<char> pixels(static_cast<size_t>(stride * height));
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const COLORREF c = colour(x, y);
      char* at = &pixels[static_cast<size_t>(height - 1 - y) * static_cast<size_t>(stride) +
                         static_cast<size_t>(x) * 3];
      at[0] = static_cast<char>(GetBValue(c));
      at[1] = static_cast<char>(GetGValue(c));
      at[2] = static_cast<char>(GetRValue(c));
    }
  BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  BITMAPFILEHEADER header{0x4D42, static_cast<DWORD>(14 + sizeof(info) + pixels.size()), 0, 0,
                          static_cast<DWORD>(14 + sizeof(info))};
  std::ofstream out(file, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&header), 14);
  out.write(reinterpret_cast<const char*>(&info), sizeof(info));
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
}

COLORREF pixel(PictureHandle picture, int x, int y) {
  return GetPixel(findTarget(picture)->memoryDc, x, y);
}

// Counts the pixels of the area that are not `colour`.
int countOther(PictureHandle picture, RECT area, COLORREF colour) {
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) count += pixel(picture, x, y) != colour;
  return count;
}

std::vector<UINT> controlMessages;  // what reached the control's own procedure behind the engine
WNDPROC staticProc = nullptr;

LRESULT CALLBACK RecordingStaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR || message == WM_KEYDOWN || message == WM_SYSKEYDOWN || message == WM_VSCROLL ||
      message == WM_HSCROLL)
    controlMessages.push_back(message);
  return CallWindowProcW(staticProc, window, message, wParam, lParam);
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DRAWITEM) {
    paintControl(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return TRUE;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class CanvasTest : public testing::Test {
 protected:
  // One window with an 800 x 600 graphic control, made as the dialog host makes the game's canvas.
  static void SetUpTestSuite() {
    resetFontTable();
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ParentProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"LetrazulCanvasTest";
    RegisterClassW(&windowClass);
    parent = CreateWindowExW(0, L"LetrazulCanvasTest", L"Canvas", WS_POPUP | WS_VISIBLE, 0, 0, 820, 640,
                             nullptr, nullptr, windowClass.hInstance, nullptr);
    control = CreateWindowExW(0, L"STATIC", L"", 0x50800100 | SS_OWNERDRAW, 0, 0, 800, 600, parent,
                              reinterpret_cast<HMENU>(1001), windowClass.hInstance, nullptr);
    staticProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingStaticProc)));
    createControlTarget(control, white);
  }
  static void TearDownTestSuite() {
    releaseControlTarget(control);
    DestroyWindow(parent);
  }

  void SetUp() override {
    errorCode = 0;
    controlMessages.clear();
    writeBitmapFile(folder.path() / "stripes.bmp", 40, 20,
                    [](int x, int) { return x % 2 ? white : black; });  // one-pixel columns
  }
  void TearDown() override {
    for (PictureHandle picture : made) releasePicture(picture);
  }

  // A fresh picture of width x height, cleared to `colour` and made the current target.
  PictureHandle picture(int32_t width, int32_t height, COLORREF colour) {
    const PictureHandle made = loadPicture(folder.file("stripes.bmp"), width, height, stretchColourOnColour);
    this->made.push_back(made);
    attachTarget(made, 0);
    clearTarget(static_cast<ColourValue>(colour), 0);
    return made;
  }

  static inline HWND parent = nullptr;
  static inline HWND control = nullptr;
  test_support::TempFolder folder;
  std::vector<PictureHandle> made;
};

TEST_F(CanvasTest, ColoursClampAndKeepOrResetAsAsked) {
  EXPECT_EQ(rgb(300, -5, 128), static_cast<ColourValue>(RGB(255, 0, 128)));
  picture(10, 10, white);
  setColours(static_cast<ColourValue>(red), unchanged);
  setColours(unchanged, unchanged);
  EXPECT_EQ(currentTarget()->foreground, static_cast<ColourValue>(red));
  setColours(systemColour, unchanged);
  EXPECT_EQ(currentTarget()->foreground, static_cast<ColourValue>(GetSysColor(COLOR_WINDOWTEXT)));
  setColours(unchanged, transparent);
  EXPECT_EQ(currentTarget()->background, transparent);
  EXPECT_EQ(currentTarget()->backgroundBrush, nullptr) << "transparent mode has no brush";
}

TEST_F(CanvasTest, TransparentTextChangesOnlyStrokesAndOpaqueTextFillsItsCell) {
  struct Case {
    ColourValue background;
    bool cellFilled;
  } cases[] = {{transparent, false}, {static_cast<ColourValue>(white), true}};
  for (const auto& c : cases) {
    const PictureHandle p = picture(200, 100, blue);
    selectFont(newFont(ByteString("Times New Roman"), 29, fontBold, 0, 0, 0));
    setColours(static_cast<ColourValue>(red), c.background);
    setPosition(10, 10);
    printText(ByteString("a"));
    SIZE size{};
    GetTextExtentPoint32W(findTarget(p)->memoryDc, L"a", 1, &size);
    const RECT cell{10, 10, 10 + size.cx, 10 + size.cy};
    const int area = (cell.right - cell.left) * (cell.bottom - cell.top);
    const int notBlue = countOther(p, cell, blue);
    EXPECT_GT(notBlue, 0) << "something was drawn";
    if (c.cellFilled)
      EXPECT_EQ(notBlue, area) << "the whole cell is covered";
    else
      EXPECT_LT(notBlue, area / 2) << "only the strokes";
    EXPECT_EQ(countOther(p, RECT{0, 0, 200, 10}, blue), 0) << "nothing outside the line";
  }
}

TEST_F(CanvasTest, APrintedLineMovesThePositionToTheNextLine) {
  const PictureHandle p = picture(800, 600, blue);
  selectFont(newFont(ByteString("Times New Roman"), 29, fontBold, 0, 0, 0));
  setColours(static_cast<ColourValue>(black), static_cast<ColourValue>(white));
  setPosition(10, 550);
  printText(ByteString("a"));
  // The opaque cell shows where the text went: its top-left corner is the position.
  EXPECT_EQ(pixel(p, 10, 550), white);
  EXPECT_EQ(pixel(p, 9, 550), blue);
  EXPECT_EQ(pixel(p, 10, 549), blue);
  const DrawTarget* target = findTarget(p);
  EXPECT_EQ(target->x, 0);
  EXPECT_EQ(target->y, 550 + target->charHeight + target->externalLeading);
  EXPECT_GE(target->charHeight, 39) << "29 points are 39 pixels at 96 dpi, without internal leading";
  const int32_t before = target->y;
  printText(ByteString());  // an empty text only ends the line
  EXPECT_EQ(target->y, before + target->charHeight + target->externalLeading);
}

TEST_F(CanvasTest, IdenticalFontRequestsShareOneHandle) {
  const ByteString face("Times New Roman");
  const FontHandle bold29 = newFont(face, 29, fontBold, 0, 0, 0);
  EXPECT_EQ(newFont(face, 29, fontBold, 0, 0, 0), bold29);
  EXPECT_NE(newFont(face, 29.5f, fontBold, 0, 0, 0), bold29);
  EXPECT_NE(newFont(face, 29, fontBold | fontItalic, 0, 0, 0), bold29);
  EXPECT_NE(newFont(ByteString("times new roman"), 29, fontBold, 0, 0, 0), bold29) << "faces compare exactly";
  EXPECT_EQ(newFont(ByteString("MS Sans Serif"), 0, 0, 0, 0, 0), 1) << "size 0 is 8 points: font 1";
}

TEST_F(CanvasTest, PicturesLoadAtTheirOwnSizeOrScaledWithoutBlending) {
  const PictureHandle own = loadPicture(folder.file("stripes.bmp"), 0, 0, 0);
  made.push_back(own);
  ASSERT_NE(own, 0u);
  EXPECT_EQ(findTarget(own)->width, 40);
  EXPECT_EQ(findTarget(own)->height, 20);
  EXPECT_EQ(pixel(own, 0, 0), black);
  EXPECT_EQ(pixel(own, 1, 0), white);

  const PictureHandle half = loadPicture(folder.file("stripes.bmp"), 15, 10, stretchColourOnColour);
  made.push_back(half);
  ASSERT_NE(half, 0u);
  EXPECT_EQ(findTarget(half)->width, 15);
  for (int x = 0; x < 15; ++x) {
    const COLORREF c = pixel(half, x, 5);
    EXPECT_TRUE(c == black || c == white) << "column " << x << " blended to " << std::hex << c;
  }
  EXPECT_EQ(loadPicture(folder.file("nada.bmp"), 0, 0, 0), 0u);
}

TEST_F(CanvasTest, ADuplicateIsAnIndependentPictureOfTheSameContent) {
  const PictureHandle original = loadPicture(folder.file("stripes.bmp"), 0, 0, 0);
  made.push_back(original);
  const PictureHandle copy = duplicatePicture(original);
  made.push_back(copy);
  ASSERT_NE(copy, 0u);
  ASSERT_NE(copy, original);
  EXPECT_EQ(findTarget(copy)->width, 40);
  EXPECT_EQ(findTarget(copy)->height, 20);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(pixel(copy, x, 10), pixel(original, x, 10)) << "column " << x;

  attachTarget(copy, 0);
  clearTarget(static_cast<ColourValue>(red), 0);
  EXPECT_EQ(pixel(copy, 0, 0), red);
  EXPECT_EQ(pixel(original, 0, 0), black) << "drawing on the copy leaves the original alone";

  releasePicture(original);
  EXPECT_EQ(pixel(copy, 1, 0), red) << "and the copy outlives it";
  EXPECT_EQ(duplicatePicture(original), 0u) << "a released picture has nothing to copy";
  EXPECT_EQ(duplicatePicture(0), 0u);
  EXPECT_EQ(duplicatePicture(reinterpret_cast<TargetHandle>(control)), 0u) << "a control is no picture";

  // A copy made after a release may be drawn in the released one's memory, yet it is a new picture
  // in all else, and the released handle still names nothing.
  const PictureHandle drawnOn = duplicatePicture(copy);
  attachTarget(drawnOn, 0);
  clearTarget(static_cast<ColourValue>(blue), 0);
  selectFont(newFont(ByteString("Times New Roman"), 29, fontBold, 0, 0, 0));
  setColours(static_cast<ColourValue>(white), transparent);
  setPosition(7, 3);
  releasePicture(drawnOn);
  const PictureHandle fresh = duplicatePicture(copy);
  made.push_back(fresh);
  ASSERT_NE(fresh, 0u);
  EXPECT_NE(fresh, drawnOn);
  EXPECT_EQ(findTarget(drawnOn), nullptr);
  EXPECT_EQ(pixel(fresh, 0, 0), red) << "the copy's pixels, not the released picture's";
  const DrawTarget& state = *findTarget(fresh);
  EXPECT_EQ(state.font, 1);
  EXPECT_EQ(state.x, 0);
  EXPECT_EQ(state.y, 0);
  EXPECT_EQ(state.foreground, static_cast<ColourValue>(GetSysColor(COLOR_WINDOWTEXT)));
  EXPECT_EQ(state.background, static_cast<ColourValue>(GetSysColor(COLOR_BTNFACE)));
  EXPECT_FALSE(state.dirty);
}

TEST_F(CanvasTest, TheBackgroundResourceLoadsWholeAtEitherSize) {
  struct Case {
    int32_t width, height, expectedWidth, expectedHeight;
  } cases[] = {{800, 600, 800, 600}, {0, 0, 1200, 911}, {800, 0, 1200, 911}};
  for (const auto& c : cases) {
    const PictureHandle background =
        loadPicture(ByteString("#202"), c.width, c.height, stretchColourOnColour);
    made.push_back(background);
    ASSERT_NE(background, 0u);
    EXPECT_EQ(findTarget(background)->width, c.expectedWidth);
    EXPECT_EQ(findTarget(background)->height, c.expectedHeight);
  }
}

TEST_F(CanvasTest, ClearsFillSolidOrHatchedAndTransparentPaintsNothing) {
  struct Case {
    ColourValue colour;
    int32_t style;
    bool allRed, someRed;
  } cases[] = {
      {static_cast<ColourValue>(red), 0, true, true},
      {static_cast<ColourValue>(red), 7, true, true},
      {static_cast<ColourValue>(red), 1, false, true},
      {static_cast<ColourValue>(red), 6, false, true},
      {transparent, 0, false, false},
  };
  for (const auto& c : cases) {
    const PictureHandle p = picture(32, 32, white);
    setPosition(5, 5);
    clearTarget(c.colour, c.style);
    const int other = countOther(p, RECT{0, 0, 32, 32}, red);
    EXPECT_EQ(other == 0, c.allRed) << "style " << c.style;
    EXPECT_EQ(other < 32 * 32, c.someRed) << "style " << c.style;
    EXPECT_EQ(findTarget(p)->x, 0) << "the position returns to the corner";
  }
}

// A process that has used up its GDI objects can make no brush; the clear then changes nothing,
// rather than filling with whatever brush the picture's DC happens to hold.
TEST_F(CanvasTest, AClearWithNoBrushLeavesPictureAndPositionAlone) {
  for (int32_t style : {0, 3}) {
    const PictureHandle p = picture(32, 32, blue);
    setPosition(5, 5);
    std::vector<HBRUSH> hoard;
    while (hoard.size() < 200000)
      if (HBRUSH brush = CreateSolidBrush(black))
        hoard.push_back(brush);
      else
        break;
    ASSERT_LT(hoard.size(), 200000u) << "the GDI objects never ran out";
    clearTarget(static_cast<ColourValue>(red), style);
    for (HBRUSH brush : hoard) DeleteObject(brush);
    EXPECT_EQ(countOther(p, RECT{0, 0, 32, 32}, blue), 0) << "style " << style;
    EXPECT_EQ(findTarget(p)->x, 5) << "style " << style;
  }
}

// A fill that fails is tried again up to ten times, after a pause of 2 ms each: eleven tries at
// most, and a clear whose every try failed changes nothing. The pauses are seen as a lower bound on
// the time the clear takes, a millisecond each (tries without them take microseconds).
TEST_F(CanvasTest, AFailedFillIsTriedAgainUpToTenTimes) {
  struct Case {
    int failures, tries;
    bool done;
  } cases[] = {{0, 1, true}, {1, 2, true}, {10, 11, true}, {11, 11, false}, {1000, 11, false}};
  for (const auto& c : cases) {
    const PictureHandle p = picture(8, 8, blue);
    {
      const test_support::FailingCall failing(SystemCall::blockTransfer, c.failures);
      const auto began = std::chrono::steady_clock::now();
      clearTarget(static_cast<ColourValue>(red), 0);
      EXPECT_GE(std::chrono::steady_clock::now() - began, std::chrono::milliseconds(c.tries - 1))
          << c.failures << " failures";
      EXPECT_EQ(test_support::failingKindAsked, c.tries) << c.failures << " failures";
    }
    EXPECT_EQ(countOther(p, RECT{0, 0, 8, 8}, red) == 0, c.done) << c.failures << " failures";
  }
}

TEST_F(CanvasTest, ACopyOntoTheControlFillsWhatFitsAndIsPaintedAtOnce) {
  const PictureHandle frame = picture(800, 600, blue);
  setColours(static_cast<ColourValue>(red), transparent);
  clearTarget(static_cast<ColourValue>(red), 0);
  const DrawTarget* canvas = findTarget(reinterpret_cast<TargetHandle>(control));
  ASSERT_NE(canvas, nullptr);
  EXPECT_EQ(canvas->width, 798) << "the border takes a pixel on every side";
  attachTarget(reinterpret_cast<TargetHandle>(parent), 1001);
  ASSERT_EQ(errorCode, 0);
  copyPicture(frame, 0, mixCopy);
  HDC screen = GetDC(control);
  EXPECT_EQ(GetPixel(screen, 0, 0), red);
  EXPECT_EQ(GetPixel(screen, 797, 597), red) << "painted before the copy returned";
  ReleaseDC(control, screen);
  EXPECT_FALSE(canvas->dirty);
  clearTarget(static_cast<ColourValue>(white), 0);
}

TEST_F(CanvasTest, NoTargetMeansNothingIsDrawn) {
  const PictureHandle p = picture(50, 50, white);
  attachTarget(0, 0);
  EXPECT_EQ(errorCode, error::illegalCall);
  EXPECT_EQ(currentTarget(), nullptr);
  printText(ByteString("x"));
  clearTarget(static_cast<ColourValue>(black), 0);
  EXPECT_EQ(countOther(p, RECT{0, 0, 50, 50}, white), 0);

  // A released picture is no target any more, and copies from it copy nothing.
  const PictureHandle released = picture(50, 50, black);
  releasePicture(released);
  attachTarget(released, 0);
  EXPECT_EQ(errorCode, error::illegalCall);
  attachTarget(p, 0);
  copyPicture(released, 0, mixCopy);
  EXPECT_EQ(countOther(p, RECT{0, 0, 50, 50}, white), 0);
}

TEST_F(CanvasTest, TheFocusedControlConsumesTypedKeysAndF10) {
  SendMessageW(control, WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(GetFocus(), control);
  EXPECT_TRUE(findTarget(reinterpret_cast<TargetHandle>(control))->hasFocus);
  EXPECT_EQ(SendMessageW(control, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);
  struct Case {
    UINT message;
    WPARAM key;
    LPARAM data;
    bool consumed;
  } cases[] = {
      {WM_CHAR, 'a', 0x001E0001, true},
      {WM_CHAR, '\t', 0x000F0001, false},
      {WM_SYSKEYDOWN, VK_F10, 0x00440001, true},
      {WM_SYSKEYDOWN, 'X', 0x202D0001, false},  // Alt+X
      {WM_KEYDOWN, VK_F1, 0x003B0001, true},
      {WM_KEYDOWN, VK_F12, 0x00580001, true},
      {WM_KEYDOWN, 'A', 0x001E0001, false},
      {WM_KEYDOWN, VK_LEFT, 0x014B0001, true},     // the separate cursor keys are extended
      {WM_KEYDOWN, VK_RETURN, 0x011C0001, false},  // keypad Enter is not taken
  };
  for (const auto& c : cases) {
    controlMessages.clear();
    SendMessageW(control, c.message, c.key, c.data);
    EXPECT_EQ(controlMessages.empty(), c.consumed) << std::hex << c.message << " " << c.key;
  }
  EXPECT_EQ(findTarget(reinterpret_cast<TargetHandle>(control))->lastKey, 0x004B0000u)
      << "the scan code kept";
}

TEST_F(CanvasTest, TheWheelScrollsOneLine) {
  SendMessageW(control, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
  SendMessageW(control, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), 0);
  EXPECT_EQ(controlMessages, (std::vector<UINT>{WM_VSCROLL, WM_HSCROLL}));
}

// Wine's table holds 65,536 GDI objects, so a picture that left even two behind could not be made
// 40,000 times (make stress); and the memory stays where it was once the first pictures have come
// and gone.
TEST_F(CanvasTest, PicturesMadeAgainAndAgainLeaveNothingBehind) {
  writeBitmapFile(folder.path() / "small.bmp", 8, 8, [](int, int) { return black; });
  const ByteString name = folder.file("small.bmp");
  const ByteString text("x");
  using test_support::privateBytes;
  const int32_t targetsBefore = targetCount();
  int64_t settled = 0;
  PictureHandle last = 0;
  const int pictures = test_support::stressRounds(4000, 40000);
  for (int i = 0; i < pictures; ++i) {
    last = loadPicture(name, 0, 0, 0);
    ASSERT_NE(last, 0u) << "picture " << i;
    attachTarget(last, 0);
    setColours(static_cast<ColourValue>(white), transparent);
    printText(text);
    if (i == pictures - 1) break;
    releasePicture(last);
    if (i == 99) settled = privateBytes();
  }
  // The last one still draws.
  attachTarget(last, 0);
  clearTarget(static_cast<ColourValue>(red), 0);
  EXPECT_EQ(pixel(last, 7, 7), red);
  releasePicture(last);
  EXPECT_EQ(targetCount(), targetsBefore);
  EXPECT_LT(privateBytes() - settled, 2 << 20) << "bytes grown since the first hundred pictures";
}

}  // namespace
}  // namespace runtime
