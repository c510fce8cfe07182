// SPDX-License-Identifier: GPL-3.0-or-later
// The game window's rules: mouse mapping, input events, the level clock, start-up and exit.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>

#include "app/desktop.h"
#include "app/display.h"
#include "app/main_form.h"
#include "core/input.h"
#include "core/startup.h"
#include "game_fixture.h"
#include "profiles/savefile.h"

namespace mv {
namespace {

using test::GameTest;

// --- Mouse mapping -------------------------------------------------------------------------

TEST(MouseMapping, AgreesWithTheRendererAtOtherWindowSizes) {
  // The renderer maps click events itself; the polled cursor must land on the same pixels.
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  for (auto [w, h] : {std::pair{1366, 768}, {1024, 768}, {700, 900}, {1920, 1200}}) {
    SDL_Window* win = SDL_CreateWindow("t", 0, 0, w, h, SDL_WINDOW_HIDDEN);
    ASSERT_NE(win, nullptr) << SDL_GetError();
    SDL_Renderer* r = SDL_CreateRenderer(win, -1, SDL_RENDERER_SOFTWARE);
    ASSERT_NE(r, nullptr) << SDL_GetError();
    SDL_RenderSetLogicalSize(r, kScreenW, kScreenH);
    for (auto [x, y] : {std::pair{w / 2, h / 2}, {w / 3, h / 5}, {w - 200, h - 100}}) {
      float lx = 0, ly = 0;
      SDL_RenderWindowToLogical(r, x, y, &lx, &ly);
      const GamePoint p = windowToGame(x, y, w, h);
      // Points on the bars land on the picture's edge.
      EXPECT_NEAR(p.x, std::clamp(lx, 0.f, 799.f), 1.0) << w << "x" << h << " at " << x << "," << y;
      EXPECT_NEAR(p.y, std::clamp(ly, 0.f, 599.f), 1.0) << w << "x" << h << " at " << x << "," << y;
    }
    SDL_DestroyRenderer(r);
    SDL_DestroyWindow(win);
  }
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

TEST(MouseMapping, BarsAndCornersOfAWideScreen) {
  // 1366 x 768: the picture is 1024 x 768 between two 171-pixel bars.
  EXPECT_EQ(windowToGame(171, 0, 1366, 768).x, 0);
  EXPECT_EQ(windowToGame(171 + 512, 384, 1366, 768).x, 400);
  EXPECT_EQ(windowToGame(171 + 512, 384, 1366, 768).y, 300);
  EXPECT_EQ(windowToGame(1366 - 172, 767, 1366, 768).x, 799);
  EXPECT_EQ(windowToGame(1366 - 172, 767, 1366, 768).y, 599);
  // A point on a bar lands on the picture's edge, never outside 800 x 600.
  EXPECT_EQ(windowToGame(10, 300, 1366, 768).x, 0);
  EXPECT_EQ(windowToGame(1360, 300, 1366, 768).x, 799);
  EXPECT_EQ(windowToGame(400, 300, 800, 600).x, 400) << "an 800 x 600 window maps one to one";
}

// --- Display -------------------------------------------------------------------------------

TEST(GameDisplay, AStillFrameIsShownAgainAfterAWhileOnANewOutputSizeOrAfterInvalidate) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  SDL_Window* win = SDL_CreateWindow("t", 0, 0, kScreenW, kScreenH, SDL_WINDOW_HIDDEN);
  ASSERT_NE(win, nullptr) << SDL_GetError();
  {
    Display display(win);
    ASSERT_TRUE(display.open()) << SDL_GetError();
    Screen screen;
    screen.fillScreen(0x00FF00);
    uint64_t t = 1000;
    EXPECT_TRUE(display.present(screen, t));
    EXPECT_FALSE(display.present(screen, t += 30)) << "the same frame is not sent again at once";
    EXPECT_TRUE(display.present(screen, t += Display::kRefreshMs)) << "but after a while";
    EXPECT_FALSE(display.present(screen, t += 30));

    // The window grows to full screen after the first frame went out.
    SDL_SetWindowSize(win, 1280, 720);
    EXPECT_TRUE(display.present(screen, t += 30)) << "shown again at the new size";
    EXPECT_FALSE(display.present(screen, t += 30));

    display.invalidate();
    EXPECT_TRUE(display.present(screen, t += 30));
    screen.fillScreen(0x0000FF);
    EXPECT_TRUE(display.present(screen, t += 30)) << "a changed frame";
  }
  SDL_DestroyWindow(win);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

// --- Timers --------------------------------------------------------------------------------

TEST(GameWindowTimers, FramesRunOnlyShownAndFocusedSkippingMissedOnesWhileTheClockAlwaysRuns) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  {
    Catalogue cat;
    const uint64_t t0 = SDL_GetTicks64();  // the clock's first tick is due 1000 ms after this
    TMainForm form(cat, 5);
    ASSERT_TRUE(form.create()) << SDL_GetError();
    Game& g = form.game();
    g.menuOpen = false;
    g.timeLeft = 100;

    form.runTimers(t0 + 1500);
    EXPECT_EQ(form.framesShown(), 0u) << "no frames before the window is shown";
    EXPECT_EQ(g.timeLeft, 99) << "the clock runs from the start";

    form.FormShow();
    SDL_Event focus{};
    focus.type = SDL_WINDOWEVENT;
    focus.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    form.handleEvent(focus);
    form.runTimers(t0 + 1600);
    EXPECT_EQ(form.framesShown(), 0u) << "no frames without focus";

    focus.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    form.handleEvent(focus);
    EXPECT_EQ(form.runTimers(t0 + 1700), 30u) << "a frame now, the next in 30 ms";
    EXPECT_EQ(form.framesShown(), 1u);
    form.runTimers(t0 + 1720);
    EXPECT_EQ(form.framesShown(), 1u) << "at most one frame every 30 ms";
    form.runTimers(t0 + 2400);
    EXPECT_EQ(form.framesShown(), 2u) << "missed frames are skipped, not made up";
    EXPECT_EQ(form.runTimers(t0 + 2410), 20u);
    EXPECT_EQ(g.timeLeft, 98) << "the clock ticked once more, a second after its first tick";
  }
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

// --- Input events --------------------------------------------------------------------------

TEST_F(GameTest, InventoryPanelEdgesGiveTheBoardsCodeInsideThePanelsCode) {
  g.inventoryOpen = true;
  g.inventoryPanelX = 570;
  g.inventoryPanelY = 150;
  DXDrawMouseDown(g, MouseButton::Left, 570, 300);
  EXPECT_EQ(g.mouseButton, kLeft) << "the left edge belongs to the board";
  DXDrawMouseDown(g, MouseButton::Left, 571, 300);
  EXPECT_EQ(g.mouseButton, kPanelLeft);
  DXDrawMouseDown(g, MouseButton::Right, 571, 549);
  EXPECT_EQ(g.mouseButton, kPanelRight);
  DXDrawMouseDown(g, MouseButton::Left, 700, 150);
  EXPECT_EQ(g.mouseButton, kLeft) << "top edge";
  DXDrawMouseDown(g, MouseButton::Left, 700, 550);
  EXPECT_EQ(g.mouseButton, kLeft) << "bottom edge";
  g.inventoryOpen = false;
  DXDrawMouseDown(g, MouseButton::Left, 700, 300);
  EXPECT_EQ(g.mouseButton, kLeft) << "a closed panel takes no clicks";
}

TEST_F(GameTest, CharmPanelCountsOnlyWithoutTheMenuAndNoPanelCountsWithTheBookOpen) {
  g.inventoryOpen = false;
  g.charmOpen = true;
  g.menuOpen = false;
  DXDrawMouseDown(g, MouseButton::Right, 400, 300);
  EXPECT_EQ(g.mouseButton, kPanelRight);
  g.menuOpen = true;
  DXDrawMouseDown(g, MouseButton::Right, 400, 300);
  EXPECT_EQ(g.mouseButton, kRight);

  g.menuOpen = false;
  g.inventoryOpen = true;
  g.inventoryPanelX = 570;
  g.bookPage = 1;
  DXDrawMouseDown(g, MouseButton::Left, 400, 300);
  EXPECT_EQ(g.mouseButton, kLeft) << "charm panel with the book open";
  DXDrawMouseDown(g, MouseButton::Right, 650, 300);
  EXPECT_EQ(g.mouseButton, kRight) << "inventory panel with the book open";
}

TEST_F(GameTest, MiddleButtonSetsOnlyTheEdgeAndAnyReleaseClears) {
  g.inventoryOpen = true;
  g.inventoryPanelX = 570;
  g.mouseButton = kRight;
  DXDrawMouseDown(g, MouseButton::Other, 650, 300);
  EXPECT_EQ(g.mouseButton, kRight) << "no click code, not even a panel code";
  EXPECT_EQ(g.mouseEdge, "down");
  EXPECT_EQ(g.mouseX, 650);
  DXDrawMouseUp(g);
  EXPECT_EQ(g.mouseButton, kNoClick);
  EXPECT_EQ(g.mouseEdge, "up");
}

TEST_F(GameTest, EscapeTogglesTheMenuAndLeavesTheOptions) {
  g.menuOpen = false;
  FormKeyDown(g, kKeyEscape);
  EXPECT_TRUE(g.menuOpen);
  g.optionsOpen = true;
  FormKeyDown(g, kKeyEscape);
  EXPECT_FALSE(g.menuOpen);
  EXPECT_FALSE(g.optionsOpen);
  FormKeyDown(g, 'a');
  EXPECT_FALSE(g.menuOpen) << "other keys do nothing here";
}

// --- Quick clicks ---------------------------------------------------------------------------

// Records the click each frame starts with: the cursor is read at the start of every frame,
// before any screen handles a click. It reads no cursor, so positions stay those of the events.
struct FrameProbe : Host {
  explicit FrameProbe(const Game& g) : g(g) {}
  const Game& g;
  std::vector<std::pair<int, std::string>> seen;
  bool cursor(int&, int&) override {
    seen.emplace_back(g.mouseButton, g.mouseEdge);
    return false;
  }
  void sendScore(const std::string&, int, int) override {}
  std::string leaderboardPage() override { return {}; }
  void pause(int) override {}
  void message(const std::string&) override {}
  void close() override {}
};

// A shown, focused game window fed with SDL events, its frames run one by one.
class QuickClick : public ::testing::Test {
 protected:
  using Seen = std::pair<int, std::string>;
  static void SetUpTestSuite() { ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0); }
  static void TearDownTestSuite() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }
  void SetUp() override {
    ASSERT_TRUE(form.create()) << SDL_GetError();
    form.FormShow();
    window(SDL_WINDOWEVENT_FOCUS_GAINED);
    g.host = &probe;
    g.nameEntryOpen = false;  // the menu is open; (5, 5) is clear of its entries
    // The frame timer starts when the window is shown; a slow machine may take longer than a
    // frame to open it, so the test's clock starts from there.
    now = SDL_GetTicks64();
  }

  void send(Uint32 type, Uint8 button = 0, int x = 0, int y = 0) {
    SDL_Event e{};
    e.type = type;
    e.button.button = button;
    e.button.x = x;
    e.button.y = y;
    form.handleEvent(e);
  }
  void window(Uint8 event) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = event;
    form.handleEvent(e);
  }
  void press(Uint8 button, int x, int y) { send(SDL_MOUSEBUTTONDOWN, button, x, y); }
  void release() { send(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT); }
  void tap(Uint8 button, int x, int y) {
    press(button, x, y);
    release();
  }
  // Runs the frame timer 30 ms on; returns what the frame saw if one ran.
  std::optional<Seen> frame() {
    now += TMainForm::kFrameMs;
    const size_t before = probe.seen.size();
    form.runTimers(now);
    if (probe.seen.size() == before) return std::nullopt;
    return probe.seen.back();
  }

  Catalogue cat;
  TMainForm form{cat, 5};
  Game& g = form.game();
  FrameProbe probe{g};
  uint64_t now = SDL_GetTicks64();
};

TEST_F(QuickClick, ATapBetweenTwoFramesIsOneClickInTheNextFrameOnly) {
  tap(SDL_BUTTON_LEFT, 5, 5);
  EXPECT_EQ(frame(), Seen(kLeft, "down"));
  EXPECT_EQ(frame(), Seen(kNoClick, "up")) << "the release applied after the first frame";
  EXPECT_EQ(frame(), Seen(kNoClick, "up"));

  // Two taps before a frame: the frame sees the last one, once.
  tap(SDL_BUTTON_LEFT, 5, 5);
  tap(SDL_BUTTON_RIGHT, 6, 6);
  EXPECT_EQ(frame(), Seen(kRight, "down"));
  EXPECT_EQ(frame(), Seen(kNoClick, "up"));

  // No frame runs while the window is minimised, so none has seen the tap yet.
  tap(SDL_BUTTON_LEFT, 5, 5);
  window(SDL_WINDOWEVENT_MINIMIZED);
  EXPECT_EQ(frame(), std::nullopt);
  window(SDL_WINDOWEVENT_RESTORED);
  EXPECT_EQ(frame(), Seen(kLeft, "down"));
  EXPECT_EQ(frame(), Seen(kNoClick, "up"));
}

TEST_F(QuickClick, APressStillHeldAfterATapIsNotReleasedWithTheTap) {
  tap(SDL_BUTTON_LEFT, 5, 5);
  press(SDL_BUTTON_LEFT, 6, 6);
  EXPECT_EQ(frame(), Seen(kLeft, "down"));
  EXPECT_EQ(frame(), Seen(kLeft, "down")) << "the second press is still held";
  release();
  EXPECT_EQ(frame(), Seen(kNoClick, "up"));
}

TEST_F(QuickClick, HeldPressesAndPanelCodesAreUnchanged) {
  press(SDL_BUTTON_LEFT, 5, 5);
  EXPECT_EQ(frame(), Seen(kLeft, "down"));
  EXPECT_EQ(frame(), Seen(kLeft, "down")) << "a held button is seen in every frame";
  release();
  EXPECT_EQ(g.mouseButton, kNoClick) << "a release after a frame saw the press applies at once";
  EXPECT_EQ(frame(), Seen(kNoClick, "up"));

  g.inventoryOpen = true;
  g.inventoryPanelX = 570;
  g.inventoryPanelY = 150;
  tap(SDL_BUTTON_LEFT, 650, 300);
  EXPECT_EQ(frame(), Seen(kPanelLeft, "down"));
  EXPECT_EQ(frame(), Seen(kNoClick, "up"));
  tap(SDL_BUTTON_RIGHT, 650, 300);
  EXPECT_EQ(frame(), Seen(kPanelRight, "down"));
  EXPECT_EQ(frame(), Seen(kNoClick, "up"));
  tap(SDL_BUTTON_LEFT, 570, 300);
  EXPECT_EQ(frame(), Seen(kLeft, "down")) << "the panel's left edge belongs to the board";
}

TEST_F(QuickClick, AConsumedTapOrHeldPressActsOnce) {
  g.menuOpen = false;
  g.optionsOpen = true;
  g.soundOn = true;
  tap(SDL_BUTTON_LEFT, 480, 245);  // the Game Sounds button
  frame();
  EXPECT_FALSE(g.soundOn);
  EXPECT_EQ(frame(), Seen(kNoClick, "up"));
  EXPECT_FALSE(g.soundOn) << "toggled once";

  press(SDL_BUTTON_LEFT, 480, 245);
  frame();
  EXPECT_TRUE(g.soundOn);
  EXPECT_EQ(frame(), Seen(kNoClick, "down")) << "consumed while still held";
  EXPECT_TRUE(g.soundOn);
  release();
  EXPECT_EQ(frame(), Seen(kNoClick, "up"));
}

// --- Keys and windows ------------------------------------------------------------------------

TEST(GameWindowEvents, NothingTypedBeforeTheWindowIsShownReachesTheGame) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  {
    Catalogue cat;
    TMainForm form(cat, 5);
    ASSERT_TRUE(form.create()) << SDL_GetError();
    Game& g = form.game();
    g.nameEntryOpen = true;
    g.menuOpen = false;
    EXPECT_FALSE(SDL_IsTextInputActive()) << "no text input while the welcome picture shows";
    auto type = [&](const char* text) {
      SDL_Event e{};
      e.type = SDL_TEXTINPUT;
      std::snprintf(e.text.text, sizeof e.text.text, "%s", text);
      form.handleEvent(e);
      e = {};
      e.type = SDL_KEYDOWN;
      e.key.keysym.sym = SDLK_ESCAPE;
      form.handleEvent(e);
    };
    type("ab");
    EXPECT_EQ(g.typedCount, 0);
    EXPECT_FALSE(g.menuOpen);

    form.FormShow();
    EXPECT_TRUE(SDL_IsTextInputActive());
    type("ab");
    EXPECT_EQ(g.typedCount, 2);
    EXPECT_TRUE(g.menuOpen);
  }
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

TEST(EventWindow, EveryInputEventIsRoutedByTheWindowItNames) {
  // Every window-bound event starts with type, timestamp and window id, in the same places.
  for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP, SDL_TEXTINPUT, SDL_TEXTEDITING, SDL_MOUSEBUTTONDOWN,
                      SDL_MOUSEBUTTONUP, SDL_MOUSEMOTION, SDL_MOUSEWHEEL, SDL_WINDOWEVENT}) {
    SDL_Event e{};
    e.type = type;
    e.window.windowID = 7;
    EXPECT_EQ(eventWindow(e), 7u) << "event type " << type;
  }
  SDL_Event reset{};
  reset.type = SDL_RENDER_DEVICE_RESET;
  EXPECT_EQ(eventWindow(reset), 0u);
}

// --- Level clock ---------------------------------------------------------------------------

TEST_F(GameTest, ClockStopsBehindEveryCoveringScreenButRunsUnderTheOptions) {
  auto runsWith = [&](auto set) {
    g.menuOpen = g.levelComplete = g.playerSelectOpen = g.nameEntryOpen = false;
    g.instructionsOpen = g.optionsOpen = false;
    g.bookPage = 0;
    set();
    g.timeLeft = 100;
    Timer1Timer(g);
    return g.timeLeft == 99;
  };
  EXPECT_TRUE(runsWith([] {}));
  EXPECT_TRUE(runsWith([&] { g.optionsOpen = true; }));
  EXPECT_TRUE(runsWith([&] { g.introStage = 1; }));
  EXPECT_FALSE(runsWith([&] { g.menuOpen = true; }));
  EXPECT_FALSE(runsWith([&] { g.levelComplete = true; }));
  EXPECT_FALSE(runsWith([&] { g.playerSelectOpen = true; }));
  EXPECT_FALSE(runsWith([&] { g.nameEntryOpen = true; }));
  EXPECT_FALSE(runsWith([&] { g.instructionsOpen = true; }));
  EXPECT_FALSE(runsWith([&] { g.bookPage = 1; }));
}

TEST_F(GameTest, FreezeHoldsTheClockUntilItRunsOutAndTheClockStopsAtZero) {
  g.menuOpen = false;
  g.timeLeft = 100;
  g.freezeTimer = 3;
  Timer1Timer(g);
  Timer1Timer(g);
  EXPECT_EQ(g.timeLeft, 100);
  Timer1Timer(g);
  EXPECT_EQ(g.freezeTimer, 0);
  EXPECT_EQ(g.timeLeft, 99) << "the tick that ends the freeze counts";
  g.timeLeft = 0;
  Timer1Timer(g);
  EXPECT_EQ(g.timeLeft, 0);
}

// --- Start-up and exit ---------------------------------------------------------------------

TEST_F(GameTest, FirstStartOpensOnTheMenuAndAsksAGuestForAName) {
  g.playerName = "GUEST";
  FormCreate(g, 7);
  EXPECT_EQ(g.level, 1);
  EXPECT_EQ(g.levelType, 1);
  EXPECT_EQ(g.backgroundIndex, 1);
  EXPECT_TRUE(g.menuOpen);
  EXPECT_TRUE(g.nameEntryOpen);
  EXPECT_TRUE(g.inventoryOpen);
  EXPECT_EQ(g.inventoryPanelX, 750);
  EXPECT_EQ(g.createNameLabel, "[ Create New Name ]");
  EXPECT_EQ(g.timeLeft, 500) << "the current level is set up, its intro not yet run";

  test::Headless other;
  other.game.playerName = "ANNA";
  FormCreate(other.game, 7);
  EXPECT_FALSE(other.game.nameEntryOpen);
}

TEST_F(GameTest, OnlyAPlayerWithoutASaveStartsWithTheBookOfJewels) {
  FormCreate(g, 7);
  EXPECT_EQ(g.inventoryGrid[5][5].name, "Book of Jewels") << "a first start has no save file";
  EXPECT_EQ(g.inventoryGrid[5][5].kind, 12);

  // A returning player's inventory is the one in the file, without a second Book.
  g.level = 4;
  g.inventoryGrid[5][5] = {};
  ASSERT_TRUE(savegamedata(g, g.playerName));
  test::Headless back;
  FormCreate(back.game, 7);
  EXPECT_EQ(back.game.level, 4);
  EXPECT_TRUE(back.game.inventoryGrid[5][5].name.empty());
}

// Records the order of the exit steps.
struct RecordingHost : Host {
  std::vector<std::string> steps;
  bool cursor(int&, int&) override { return false; }
  void sendScore(const std::string& n, int level, int score) override {
    steps.push_back("send " + n + " " + std::to_string(level) + " " + std::to_string(score));
  }
  std::string leaderboardPage() override { return "http://scores.test:8080/"; }
  void pause(int ms) override { steps.push_back("pause " + std::to_string(ms)); }
  void message(const std::string& text) override { steps.push_back("message " + text); }
  void close() override { steps.push_back("close"); }
};

TEST_F(GameTest, ExitSendsTheReportThenBlacksTheScreenWaitsThanksAndCloses) {
  RecordingHost host;
  g.host = &host;
  g.playerName = "Anna";
  g.level = 4;
  g.score = 1520;
  h.screen.fillScreen(0xFFFFFF);
  h.screen.setPresenter([&](const Screen& s) {
    host.steps.push_back(s.pixel(0, 0) == 0 && s.pixel(799, 599) == 0 ? "black" : "not black");
  });
  exitgame(g);
  ASSERT_EQ(host.steps.size(), 5u);
  EXPECT_EQ(host.steps[0], "send Anna 4 1520");
  EXPECT_EQ(host.steps[1], "black");
  EXPECT_EQ(host.steps[2], "pause 2000");
  EXPECT_EQ(host.steps[3], "message " + thankYouText("Anna", "http://scores.test:8080/"));
  EXPECT_EQ(host.steps[4], "close");
  EXPECT_EQ(thankYouText("Anna", "http://scores.test:8080/"),
            "Thank you Anna for playing. Your game is automatically saved. Be sure to check out "
            "other games at http://scores.test:8080/");
}

}  // namespace
}  // namespace mv
