// SPDX-License-Identifier: GPL-3.0-or-later
// Message boxes: wrapping text to a width, the box's layout and picture, and the modal loop
// that waits for OK.
#include "app/message_box.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "common/utf8.h"
#include "media/canvas.h"
#include "media/catalogue.h"
#include "media/message_box.h"
#include "media/wrap.h"

namespace mv {
namespace {

using Lines = std::vector<std::string>;

// Ten pixels a character, however many bytes it takes.
int tenPerCharacter(std::string_view text) {
  int n = 0;
  for (size_t at = 0; at < text.size();) {
    nextCodePoint(text, at);
    ++n;
  }
  return 10 * n;
}

Lines wrap(std::string_view text, int width) {
  return wrapText(text, width, tenPerCharacter);
}

std::string withoutSpaces(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != ' ' && c != '\n') out += c;
  return out;
}

// --- Wrapping --------------------------------------------------------------------------------

TEST(WrapText, BreaksAtSpacesKeepingEveryWordWhole) {
  EXPECT_EQ(wrap("aa bb cc dd", 50), (Lines{"aa bb", "cc dd"}));
  EXPECT_EQ(wrap("aa bb cc dd", 49), (Lines{"aa", "bb", "cc", "dd"})) << "one pixel short";
  EXPECT_EQ(wrap("  aa   bb  ", 50), (Lines{"aa bb"})) << "runs of spaces are one break";
  EXPECT_EQ(wrap("aaaa b", 40), (Lines{"aaaa", "b"})) << "a word exactly a line wide fits";
  EXPECT_EQ(wrap("a\tb\r\nc", 100), (Lines{"a b", "c"}));
}

TEST(WrapText, KeepsTheTextsOwnLineBreaksAndEmptyLines) {
  EXPECT_EQ(wrap("", 100), Lines{}) << "an empty text has no lines";
  EXPECT_EQ(wrap("ab\n\ncd ef", 30), (Lines{"ab", "", "cd", "ef"}));
  EXPECT_EQ(wrap("ab\n", 100), (Lines{"ab"})) << "a closing line break adds no line";
  EXPECT_EQ(wrap("\n", 100), (Lines{""}));
  EXPECT_EQ(wrap("   ", 100), (Lines{""}));
}

TEST(WrapText, AWordWiderThanALineIsBrokenOnLinesOfItsOwn) {
  EXPECT_EQ(wrap("abcdefghij", 35), (Lines{"abc", "def", "ghi", "j"}));
  // It starts on a fresh line, and what is left of it takes the next word along.
  EXPECT_EQ(wrap("x abcdefgh y", 50), (Lines{"x", "abcde", "fgh y"}));
  // A line holds at least one character even when a single one is too wide; no empty lines.
  EXPECT_EQ(wrap("abc de", 5), (Lines{"a", "b", "c", "d", "e"}));
  // An address breaks after a separator in the second half of the line, else anywhere.
  EXPECT_EQ(wrap("http://host/a-long/path", 100), (Lines{"http://", "host/a-", "long/path"}));
  EXPECT_EQ(wrap("ab/cdefghijklm", 100), (Lines{"ab/cdefghi", "jklm"}))
      << "a separator early in the line would waste most of it";
}

TEST(WrapText, NeverSplitsAUtf8CharacterAndNoLineIsTooWide) {
  const std::string texts[] = {
      "ЖЖЖЖЖЖЖЖЖЖЖЖ", "€€€ 😀😀😀😀😀 ЖЖЖ", "日本語のテキストはスペースなしで続きます",
      "x\xFF\xFEy ab\xE2\x82",  // malformed bytes stay single characters
  };
  for (const std::string& text : texts)
    for (int width : {10, 20, 25, 35, 60}) {
      const Lines lines = wrap(text, width);
      std::string joined;
      for (const std::string& l : lines) {
        EXPECT_LE(tenPerCharacter(l), std::max(width, 10)) << text << " at " << width;
        std::u32string chars;
        if (decodeUtf8(text, chars)) {
          EXPECT_TRUE(decodeUtf8(l, chars)) << "'" << l << "' of " << text << " at " << width;
        }
        joined += l;
      }
      EXPECT_EQ(joined, withoutSpaces(text)) << "nothing lost or doubled: " << text;
    }
  EXPECT_EQ(wrap("ЖЖЖЖЖ", 25), (Lines{"ЖЖ", "ЖЖ", "Ж"}));
}

// --- Layout and picture ------------------------------------------------------------------

const std::string kLongName = "ЖЖЖЖЖЖЖЖЖЖЖЖ";
const std::string kLongAddress =
    "https://leaderboards.morvane-players.example.org:8443/seasons/2025/spider-charm/"
    "best-scores-of-every-level?sort=descending&show=all";
std::string thankYou(const std::string& name, const std::string& site) {
  return "Thank you " + name +
         " for playing. Your game is automatically saved. Be sure to check out other games at " +
         site;
}

class BoxPicture : public ::testing::Test {
 protected:
  Screen screen;
  TextCanvas canvas{screen, kBoxFontPixels};
  Image panel = loadImageFile(std::string(MORVANE_ASSETS_DIR) + "/selectlist/14.png", false, 0);

  // Every line inside the box's frame and padding, in order, none wider than the column.
  void expectLinesInside(const MessageBoxLayout& l) {
    const BoxRect& b = l.box;
    int y = b.y + kBoxFrame;
    for (const auto& line : l.lines) {
      EXPECT_GE(line.x, b.x + kBoxFrame + kBoxPadX) << line.text;
      EXPECT_LE(line.x + canvas.textWidth(line.text), b.x + b.w - kBoxFrame - kBoxPadX)
          << line.text;
      EXPECT_GE(line.y, y) << line.text;
      y = line.y + canvas.lineHeight();
    }
    EXPECT_LE(y + kBoxButtonGap, l.button.y) << "the text ends above the button";
    EXPECT_LE(l.button.y + l.button.h, b.y + b.h - kBoxFrame);
    EXPECT_GE(b.x, kBoxScreenMargin);
    EXPECT_GE(b.y, kBoxScreenMargin);
    EXPECT_LE(b.x + b.w, kScreenW - kBoxScreenMargin);
    EXPECT_LE(b.y + b.h, kScreenH - kBoxScreenMargin);
  }
  // The bounds of the pixels that are not black.
  BoxRect drawnArea() const {
    int x0 = kScreenW, y0 = kScreenH, x1 = -1, y1 = -1;
    for (int y = 0; y < kScreenH; ++y)
      for (int x = 0; x < kScreenW; ++x)
        if (screen.pixel(x, y)) {
          x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
        }
    return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
  }
  int redSum(const BoxRect& r) const {
    int n = 0;
    for (int y = r.y; y < r.y + r.h; ++y)
      for (int x = r.x; x < r.x + r.w; ++x) n += screen.pixel(x, y) >> 11;
    return n;
  }
  int brightPixels(const BoxRect& r) const {
    int n = 0;
    for (int y = r.y; y < r.y + r.h; ++y)
      for (int x = r.x; x < r.x + r.w; ++x)
        n += (screen.pixel(x, y) >> 11) >= 16;  // red 128 and up
    return n;
  }
};

TEST_F(BoxPicture, TheLongestNameAndALongAddressWrapInsideTheBoxWithNothingLost) {
  const std::string text = thankYou(kLongName, kLongAddress);
  const MessageBoxLayout l = layoutMessageBox(text, canvas);
  ASSERT_GE(l.lines.size(), 4u);
  expectLinesInside(l);
  std::string joined;
  for (const auto& line : l.lines) joined += line.text;
  EXPECT_EQ(withoutSpaces(joined), withoutSpaces(text));
  EXPECT_NE(l.lines[0].text.find(kLongName), std::string::npos) << "the name stays whole";
  EXPECT_NEAR(l.box.x + l.box.w / 2, kScreenW / 2, 1);
  EXPECT_NEAR(l.button.x + l.button.w / 2, kScreenW / 2, 1);
}

TEST_F(BoxPicture, ShortEmptyAndOverlongTextsKeepTheBoxOnTheScreen) {
  const MessageBoxLayout shortBox = layoutMessageBox("Saved.", canvas);
  ASSERT_EQ(shortBox.lines.size(), 1u);
  expectLinesInside(shortBox);
  EXPECT_EQ(shortBox.box.w, kBoxTextMinW + 2 * (kBoxFrame + kBoxPadX));
  EXPECT_NEAR(shortBox.lines[0].x + canvas.textWidth("Saved.") / 2, kScreenW / 2, 1)
      << "a short line stands in the middle";

  const MessageBoxLayout empty = layoutMessageBox("", canvas);
  EXPECT_TRUE(empty.lines.empty());
  expectLinesInside(empty);

  std::string huge;
  for (int i = 0; i < 400; ++i) huge += "word" + std::to_string(i) + " ";
  const MessageBoxLayout cut = layoutMessageBox(huge, canvas);
  expectLinesInside(cut);
  const std::string& last = cut.lines.back().text;
  EXPECT_EQ(last.substr(last.size() - 3), "\xE2\x80\xA6") << "the cut is shown";
}

TEST_F(BoxPicture, DrawsOnlyInsideTheBoxWithAGoldFrameTextAndAButtonThatPressesDarker) {
  for (const bool pictures : {true, false}) {
    SCOPED_TRACE(pictures ? "with the panel picture" : "drawn plainly");
    screen.fillScreen(0);
    const MessageBoxLayout l = layoutMessageBox(thankYou(kLongName, kLongAddress), canvas);
    drawMessageBox(screen, canvas, l, pictures ? panel : Image{}, false);
    const BoxRect drawn = drawnArea();
    const BoxRect& b = l.box;
    EXPECT_GE(drawn.x, b.x);
    EXPECT_GE(drawn.y, b.y);
    EXPECT_LE(drawn.x + drawn.w, b.x + b.w);
    EXPECT_LE(drawn.y + drawn.h, b.y + b.h);
    EXPECT_GT(drawn.w, b.w - 4) << "the frame reaches the box's sides";

    // The gold line runs 8 and 9 pixels in from each side.
    auto gold = [&](int x, int y) {
      const uint16_t p = screen.pixel(x, y);
      return (p >> 11) >= 17 && ((p >> 5) & 63) >= 25 && (p & 31) <= 10;
    };
    for (int x : {b.x + 30, b.x + b.w / 2, b.x + b.w - 30}) {
      EXPECT_TRUE(gold(x, b.y + 8) && gold(x, b.y + b.h - 9)) << "top and bottom at " << x;
    }
    for (int y : {b.y + 30, b.y + b.h / 2, b.y + b.h - 30}) {
      EXPECT_TRUE(gold(b.x + 8, y) && gold(b.x + b.w - 9, y)) << "left and right at " << y;
    }
    for (const auto& line : l.lines)
      EXPECT_GT(brightPixels({line.x, line.y, canvas.textWidth(line.text), canvas.lineHeight()}),
                20)
          << "cream text on line " << line.text;
    EXPECT_GT(brightPixels(l.button), 150) << "the button's frame and its OK";

    const int red = redSum(l.button);
    drawMessageBox(screen, canvas, l, pictures ? panel : Image{}, true);
    EXPECT_LT(redSum(l.button), red * 3 / 4) << "pressed, it is darker";
    drawMessageBox(screen, canvas, l, pictures ? panel : Image{}, false);
    EXPECT_EQ(redSum(l.button), red) << "and back when let go";
  }
}

// --- The modal loop ------------------------------------------------------------------------

// A window that shows nothing and, when the box first shows, posts a script of events as the
// player's.
class ScriptedView : public BoxView {
 public:
  static constexpr Uint32 kId = 77;
  std::vector<SDL_Event> script;
  int shown = 0;
  BoxRect box;

  Uint32 windowId() const override { return kId; }
  void show(const Screen&, const BoxRect& b, bool) override {
    box = b;
    if (shown++ == 0)
      for (SDL_Event e : script) SDL_PushEvent(&e);
  }
  GamePoint toPicture(int x, int y, const BoxRect&) const override { return {x, y}; }
  BoxEnd onClose() const override { return BoxEnd::Ok; }
};

SDL_Event key(SDL_Keycode sym, Uint16 mod = 0, bool repeat = false) {
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.windowID = ScriptedView::kId;
  e.key.keysym.sym = sym;
  e.key.keysym.mod = mod;
  e.key.repeat = repeat;
  return e;
}
SDL_Event mouse(Uint32 type, int x, int y, Uint32 window = ScriptedView::kId) {
  SDL_Event e{};
  e.type = type;
  if (type == SDL_MOUSEMOTION) {
    e.motion.windowID = window;
    e.motion.x = x;
    e.motion.y = y;
  } else {
    e.button.windowID = window;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = x;
    e.button.y = y;
  }
  return e;
}
SDL_Event windowEvent(Uint8 what, Uint32 window = ScriptedView::kId) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.windowID = window;
  e.window.event = what;
  return e;
}

class ModalBox : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0); }
  static void TearDownTestSuite() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }
  void SetUp() override { SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT); }

  // Runs a box with `script`, then F1 and Esc, so that a script that does not end the box still
  // ends; returns how it ended and whether the script ended it (the two keys still waiting).
  std::pair<BoxEnd, bool> run(std::vector<SDL_Event> script) {
    view.script = std::move(script);
    view.script.push_back(key(SDLK_F1));
    view.script.push_back(key(SDLK_ESCAPE));
    view.shown = 0;
    const BoxEnd end = showMessageBox(view, Screen(), Image{}, "Is this the end?");
    SDL_Event rest[8];
    const int left = SDL_PeepEvents(rest, 8, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYDOWN);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    return {end, left > 0};
  }
  // The middle of the OK button of the box that ran.
  int okX() const { return kScreenW / 2; }
  int okY() const {
    return view.box.y + view.box.h - kBoxFrame - kBoxButtonBottom - kBoxButtonH / 2;
  }

  ScriptedView view;
};

TEST_F(ModalBox, ReturnSpaceEscAndTheKeypadsEnterConfirm) {
  for (SDL_Keycode k : {SDLK_RETURN, SDLK_SPACE, SDLK_ESCAPE, SDLK_KP_ENTER}) {
    EXPECT_EQ(run({key(SDLK_a), key(k)}), std::make_pair(BoxEnd::Ok, true)) << SDL_GetKeyName(k);
  }
}

TEST_F(ModalBox, RepeatsAltEnterAndOtherWindowsKeysDoNot) {
  SDL_Event elsewhere = key(SDLK_RETURN);
  elsewhere.key.windowID = 5;
  const auto [end, early] =
      run({key(SDLK_RETURN, 0, true), key(SDLK_RETURN, KMOD_LALT), elsewhere});
  EXPECT_EQ(end, BoxEnd::Ok);
  EXPECT_FALSE(early) << "only the closing Esc ended it";
}

TEST_F(ModalBox, KeysAndClicksWaitingBeforeTheBoxCameUpAreDropped) {
  run({});
  SDL_Event before[] = {key(SDLK_RETURN), mouse(SDL_MOUSEBUTTONDOWN, okX(), okY()),
                        mouse(SDL_MOUSEBUTTONUP, okX(), okY())};
  for (SDL_Event& e : before) SDL_PushEvent(&e);
  EXPECT_EQ(run({}), std::make_pair(BoxEnd::Ok, false)) << "ended by the Esc after it came up";
}

TEST_F(ModalBox, AClickConfirmsOnlyWhenPressAndReleaseAreBothOnOK) {
  // The first run finds where the button is.
  run({});
  const int x = okX(), y = okY();
  EXPECT_EQ(run({mouse(SDL_MOUSEBUTTONDOWN, x, y), mouse(SDL_MOUSEBUTTONUP, x + 3, y + 3)}),
            std::make_pair(BoxEnd::Ok, true));
  EXPECT_EQ(run({mouse(SDL_MOUSEBUTTONDOWN, x, y), mouse(SDL_MOUSEMOTION, 10, 10),
                 mouse(SDL_MOUSEBUTTONUP, 10, 10)}),
            std::make_pair(BoxEnd::Ok, false))
      << "dragged off the button and let go";
  EXPECT_EQ(run({mouse(SDL_MOUSEBUTTONUP, x, y)}), std::make_pair(BoxEnd::Ok, false))
      << "a release whose press the box never saw";
  EXPECT_EQ(run({mouse(SDL_MOUSEBUTTONDOWN, 10, 10), mouse(SDL_MOUSEBUTTONUP, x, y)}),
            std::make_pair(BoxEnd::Ok, false));
  EXPECT_EQ(run({mouse(SDL_MOUSEBUTTONDOWN, x, y, 5), mouse(SDL_MOUSEBUTTONUP, x, y, 5)}),
            std::make_pair(BoxEnd::Ok, false))
      << "a click in another window";
}

TEST_F(ModalBox, ClosingItsWindowOrQuittingEndsIt) {
  EXPECT_EQ(run({windowEvent(SDL_WINDOWEVENT_CLOSE)}), std::make_pair(BoxEnd::Ok, true))
      << "this view counts its window's close as OK";
  EXPECT_EQ(run({windowEvent(SDL_WINDOWEVENT_CLOSE, 5)}), std::make_pair(BoxEnd::Ok, false))
      << "another window's close is not the box's";
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  EXPECT_EQ(run({quit}), std::make_pair(BoxEnd::Quit, true));
}

TEST(GameWindowBox, ClosingTheGameWindowWhileTheThankYouShowsEndsTheProgramAndNoFrameRuns) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  {
    Catalogue cat;
    TMainForm form(cat, 5);
    ASSERT_TRUE(form.create()) << SDL_GetError();
    form.FormShow();
    const uint64_t frames = form.framesShown();
    // Waiting for the box: the window manager's close arrives while it shows.
    SDL_Event close = windowEvent(SDL_WINDOWEVENT_CLOSE, form.windowId());
    SDL_PushEvent(&close);
    form.message(thankYou("ANNA", "http://127.0.0.1:8080/"));
    EXPECT_TRUE(form.closed());
    EXPECT_EQ(form.framesShown(), frames);
  }
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace
}  // namespace mv
