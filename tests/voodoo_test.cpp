// SPDX-License-Identifier: GPL-3.0-or-later
// The voodoo box as a player meets it: dealing, dragging, dropping and turning pieces, judging
// a nearly full box, the payouts of skull lines, and the level going on afterwards.
#include "puzzles/voodoo.h"

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/frame.h"
#include "core/input.h"
#include "core/level.h"
#include "game_fixture.h"
#include "test_images.h"

namespace mv::test {
namespace {

constexpr int kStraight = 5;  // three cells across
constexpr int kDominoAcross = 8;
constexpr int kDominoDown = 7;

int cornerX(int c) {
  return kBoxX + kBoxCell * (c - 1);
}
int cornerY(int r) {
  return kBoxY + kBoxCell * (r - 1);
}

class VoodooTest : public GameTest {
 protected:
  VoodooBox& box = g.voodoo;

  void SetUp() override {
    box = VoodooBox{};
    g.boxPuzzleOn = true;
    g.boxHelpClicks = 2;  // help panel already read
    g.timeLeft = 300;
    g.menuOpen = false;
    g.mouseEdge = "up";
    // Every piece out of the way, far off the screen.
    for (int i = 1; i <= kBoxPieces; ++i) {
      box.pieces[i].shape = kDominoAcross;
      placepiece(box, i, -500, -500);
    }
  }

  void frames(int n = 1) {
    for (int i = 0; i < n; ++i) puzzlegame(g);
  }
  void lay(int piece, int shape, int x, int y, std::vector<int> marks = {}) {
    BoxPiece& p = box.pieces[piece];
    p.shape = shape;
    for (int n = 1; n <= 4; ++n) p.cell[n].mark = n <= int(marks.size()) ? marks[n - 1] : kStone;
    placepiece(box, piece, x, y);
  }
  // Fills the box row by row with straight pieces of three, `cells` cells in all (a last piece
  // of two is a domino), marked from `marks` ('R' red skull, 'P' purple skull, else stone).
  void fill(int cells, const std::vector<std::string>& marks = {}) {
    auto mark = [&](int c, int r) {
      if (r > int(marks.size())) return int(kStone);
      const char ch = marks[r - 1][c - 1];
      return ch == 'R' ? int(kRedSkull) : ch == 'P' ? int(kPurpleSkull) : int(kStone);
    };
    int piece = 1;
    for (int r = 1; r <= kBoxSize && cells > 0; ++r) {
      for (int c = 1; c <= kBoxSize && cells > 0; c += 3) {
        const int n = cells == 4 ? 2 : std::min(cells, 3);
        lay(piece++, n == 3 ? kStraight : kDominoAcross, cornerX(c), cornerY(r),
            {mark(c, r), mark(c + 1, r), mark(c + 2, r)});
        cells -= n;
      }
    }
  }
  // Runs frames until the box has closed; returns how many it took.
  int runToEnd(int limit = 2000) {
    for (int i = 1; i <= limit; ++i) {
      frames();
      if (!g.boxPuzzleOn) return i;
    }
    ADD_FAILURE() << "the box never closed";
    return limit;
  }
  void press(int x, int y, MouseButton button = MouseButton::Left) {
    DXDrawMouseDown(g, button, x, y);
  }
  void moveTo(int x, int y) {
    g.mouseX = x;
    g.mouseY = y;
  }
  // Takes `piece` by its first cell, carries it to (x, y) and lets go there.
  void dragTo(int piece, int x, int y) {
    const BoxCell& first = box.pieces[piece].cell[1];
    press(first.x + 2, first.y + 2);
    frames();
    moveTo(x, y);
    frames();
    DXDrawMouseUp(g);
    frames();
  }
  int played(int sound) const {
    const std::string entry = "play " + std::to_string(sound);
    return static_cast<int>(std::count(h.sounds->log.begin(), h.sounds->log.end(), entry));
  }
  std::pair<int, int> at(int piece, int cell = 1) const {
    return {box.pieces[piece].cell[cell].x, box.pieces[piece].cell[cell].y};
  }
};

// Cells of a shape moved so that their smallest x and y are 0.
std::set<std::pair<int, int>> normalised(std::vector<std::pair<int, int>> cells) {
  int mx = 99, my = 99;
  for (auto [x, y] : cells) mx = std::min(mx, x), my = std::min(my, y);
  std::set<std::pair<int, int>> out;
  for (auto [x, y] : cells) out.insert({x - mx, y - my});
  return out;
}

std::set<std::pair<int, int>> cellsOf(int shape, bool turned) {
  const BoxShape& s = boxShape(shape);
  std::vector<std::pair<int, int>> cells;
  for (int n = 0; n < s.cells; ++n) {
    const int x = s.at[n][0], y = s.at[n][1];
    cells.push_back(turned ? std::pair{y, -x} : std::pair{x, y});
  }
  return normalised(cells);
}

TEST_F(VoodooTest, EveryTurnIsTheSameQuarterTurnAndFourTurnsComeBack) {
  for (int shape = 1; shape <= kBoxShapes; ++shape) {
    const int next = boxShape(shape).turnsInto;
    EXPECT_EQ(cellsOf(shape, true), cellsOf(next, false)) << "shape " << shape;
    EXPECT_EQ(boxShape(shape).at[0], (std::array<int, 2>{0, 0})) << "cell 1 stays put";
    int s = shape;
    for (int i = 0; i < 4; ++i) s = boxShape(s).turnsInto;
    EXPECT_EQ(s, shape);
  }
}

TEST_F(VoodooTest, PlacePieceLaysOutItsCellsAndParksTheOnesItLacks) {
  lay(1, 3, 300, 250);  // bent piece reaching up and left
  EXPECT_EQ(at(1, 1), std::pair(300, 250));
  EXPECT_EQ(at(1, 2), std::pair(300, 225));
  EXPECT_EQ(at(1, 3), std::pair(275, 250));
  EXPECT_EQ(at(1, 4), std::pair(kNoCell, kNoCell));
  lay(2, kDominoDown, 10, 20);
  EXPECT_EQ(at(2, 2), std::pair(10, 45));
  EXPECT_EQ(at(2, 3), std::pair(kNoCell, kNoCell));
}

TEST_F(VoodooTest, TheDealLeavesTheBoxEmptyWithStonesAndBothSkulls) {
  int marks[3] = {};
  for (int seed = 1; seed <= 200; ++seed) {
    g.rng.seed(seed);
    g.timeLeft = 500;
    makepuzzlegame(g);
    frames();
    ASSERT_EQ(box.coveredCells, 0) << "seed " << seed;
    ASSERT_EQ(box.endCountdown, -1);
    for (int i = 1; i <= kBoxPieces; ++i)
      for (int n = 1; n <= 4; ++n)
        if (box.pieces[i].has(n)) ++marks[box.pieces[i].cell[n].mark];
  }
  // Half the cells are stone, the rest red or purple skulls in equal measure.
  const int all = marks[0] + marks[1] + marks[2];
  EXPECT_NEAR(marks[0], all / 2, all / 20);
  EXPECT_NEAR(marks[1], marks[2], all / 20);
}

TEST_F(VoodooTest, TheBoxVoicePlaysOnlyWhenALevelStartsWithSoundOn) {
  preparebox(g);
  EXPECT_EQ(played(20), 0);
  makepuzzlegame(g);
  EXPECT_EQ(played(20), 1);
  g.soundOn = false;
  makepuzzlegame(g);
  EXPECT_EQ(played(20), 1);
}

TEST_F(VoodooTest, APieceSnapsToACornerFourteenPixelsAwayButNotFifteen) {
  lay(1, kDominoAcross, 100, 500);
  dragTo(1, cornerX(1) - 14, cornerY(1) - 14);
  EXPECT_EQ(at(1), std::pair(cornerX(1), cornerY(1)));
  EXPECT_EQ(played(7), 1);
  EXPECT_EQ(box.coveredCells, 2);

  lay(2, kDominoAcross, 100, 550);
  dragTo(2, cornerX(1) - 15, cornerY(4));
  EXPECT_EQ(at(2), std::pair(cornerX(1) - 15, cornerY(4))) << "left loose at the cursor";
  EXPECT_EQ(box.coveredCells, 2);
  EXPECT_EQ(box.heldPiece, 0);
}

TEST_F(VoodooTest, OverTheBoxTheFirstCornerInScanOrderTakesThePiece) {
  lay(1, kDominoDown, 100, 500);
  // 12 pixels past (3, 2) and 13 short of (4, 3): (3, 2) comes first.
  dragTo(1, cornerX(3) + 12, cornerY(2) + 12);
  EXPECT_EQ(at(1), std::pair(cornerX(3), cornerY(2)));
}

TEST_F(VoodooTest, RefusedDropsAreLeftLooseWithTheWrongSoundWhateverTheSoundOption) {
  g.soundOn = false;
  // The bent piece reaching up and left cannot go in column 1 or row 1.
  lay(1, 3, 100, 500);
  dragTo(1, cornerX(1) + 3, cornerY(3) + 4);
  EXPECT_EQ(at(1), std::pair(cornerX(1) + 3, cornerY(3) + 4));
  EXPECT_EQ(played(12), 1);
  EXPECT_TRUE(g.mouseEdge.empty());

  // Onto another piece: left a little below and to the right of the cursor.
  lay(2, kDominoAcross, cornerX(3), cornerY(3));
  lay(3, kDominoDown, 100, 450);
  dragTo(3, cornerX(4) + 2, cornerY(2) + 2);
  EXPECT_EQ(at(3), std::pair(cornerX(4) + 17, cornerY(2) + 22));
  EXPECT_EQ(played(12), 2);
  EXPECT_EQ(played(7), 0);
  EXPECT_EQ(box.coveredCells, 2);
}

TEST_F(VoodooTest, APieceLeftExactlyOnACornerCountsOnlyTheCellsItCoversOnce) {
  // Piece 3 is refused at (1, 1) because piece 1 lies there; it is left at (mouse + 15, 20),
  // which here is exactly the corner of (2, 2), on top of piece 2.
  lay(1, kDominoAcross, cornerX(1), cornerY(1));
  lay(2, kDominoAcross, cornerX(2), cornerY(2));
  lay(3, kDominoAcross, 100, 500);
  dragTo(3, cornerX(1) + 10, cornerY(1) + 5);
  ASSERT_EQ(at(3), std::pair(cornerX(2), cornerY(2)));
  EXPECT_EQ(box.coveredCells, 4);
}

TEST_F(VoodooTest, APieceTurnedInPlaceCountsWhereItIsDrawn) {
  lay(1, 1, cornerX(6) - 25, cornerY(6) - 25, {kRedSkull, kPurpleSkull, kRedSkull});
  // Turned without being laid out again: its cells stay where they are drawn.
  box.pieces[1].shape = boxShape(1).turnsInto;
  frames();
  EXPECT_EQ(box.coveredCells, 3);
  EXPECT_EQ(box.boardMark[5][5], kRedSkull);
  EXPECT_EQ(box.boardMark[6][5], kPurpleSkull);
  EXPECT_EQ(box.boardMark[5][6], kRedSkull);
  EXPECT_EQ(box.boardMark[6][6], 0);
}

TEST_F(VoodooTest, TheHeldPieceFollowsTheCursorAndStaysHeldOverLowerPieces) {
  lay(1, kDominoAcross, 100, 500);
  lay(5, kDominoAcross, 100, 400);
  press(102, 402);
  frames();
  EXPECT_EQ(box.heldPiece, 5);
  moveTo(100, 500);  // over piece 1
  frames(2);
  EXPECT_EQ(box.heldPiece, 5);
  EXPECT_EQ(at(5), std::pair(100, 500));
  EXPECT_EQ(at(1), std::pair(100, 500));
  // Let go here, then a new press takes the lowest-numbered piece under the cursor.
  DXDrawMouseUp(g);
  frames();
  EXPECT_EQ(box.heldPiece, 0);
  press(101, 501);
  frames();
  EXPECT_EQ(box.heldPiece, 1);
}

TEST_F(VoodooTest, ARightClickTurnsThePieceAboutItsFirstCell) {
  lay(1, kDominoAcross, 100, 500);
  press(100, 500);
  frames();
  press(110, 505, MouseButton::Right);
  frames();
  EXPECT_EQ(box.pieces[1].shape, kDominoDown);
  EXPECT_EQ(g.mouseButton, kNoClick) << "one turn per click";
  frames();
  EXPECT_EQ(box.pieces[1].shape, kDominoDown);
  EXPECT_EQ(at(1, 2), std::pair(110, 530));
}

TEST_F(VoodooTest, ThirtyThreeCellsAreNotJudgedThirtyFourAre) {
  fill(33);
  frames(5);
  EXPECT_EQ(box.endCountdown, -1);
  EXPECT_EQ(g.score, 0);
  fill(34);
  frames();
  EXPECT_GE(box.endCountdown, 0);
  EXPECT_EQ(g.score, 300) << "the seconds left";
  // Not while the button is down.
  SetUp();
  g.score = 0;
  fill(34);
  press(20, 20);
  frames(3);
  EXPECT_EQ(box.endCountdown, -1);
}

TEST_F(VoodooTest, AFullBoxEarns1000AndOneCellShort100AtTheEnd) {
  const std::pair<int, int> cases[] = {{34, 0}, {35, 100}, {36, 1000}};
  for (auto [cells, award] : cases) {
    SetUp();
    g.score = 0;
    fill(cells);
    const int took = runToEnd();
    EXPECT_EQ(g.score, 300 + award) << cells << " cells";
    // 50 frames of blinking from the judging on, then 75 of flash.
    EXPECT_EQ(took, 50 + 75) << cells << " cells";
    EXPECT_EQ(g.timeLeft, 500) << "a fresh clock for the board";
  }
  EXPECT_EQ(played(10), 2);
}

TEST_F(VoodooTest, CellsOfALinePayOneAfterAnother) {
  fill(36, {"RRRR..", "......", "......", "......", "......", "......"});
  std::vector<std::pair<int, int>> gains;  // frame, points
  int last = g.score;
  for (int f = 0; f < 400 && g.boxPuzzleOn; ++f) {
    frames();
    if (g.score != last) gains.push_back({f, g.score - last});
    last = g.score;
  }
  // The seconds left at judging, then 100, 100, 100 and 400 for the fourth skull: each cell
  // bursts for 22 frames and hands over to the next in its last one, so they pay 21 frames
  // apart; and the full-box award once the last payout, the blinking and the flash are over.
  ASSERT_EQ(gains.size(), 6u);
  EXPECT_EQ(gains[0].second, 300);
  for (int i = 1; i <= 4; ++i) {
    EXPECT_EQ(gains[i].second, i == 4 ? 400 : 100);
    EXPECT_EQ(gains[i].first, 1 + 21 * (i - 1));
  }
  EXPECT_EQ(gains[5].second, 1000);
  EXPECT_EQ(gains[5].first, 1 + 21 * 4 + 49 + 75);
  EXPECT_EQ(played(2), 1) << "a long line praises once";
}

TEST_F(VoodooTest, ALineDownPays100MoreThanTheSameLineAcross) {
  auto total = [&](const std::vector<std::string>& marks) {
    SetUp();
    g.score = 0;
    fill(36, marks);
    runToEnd();
    return g.score;
  };
  const int across = total({"PPP...", "......", "......", "......", "......", "......"});
  const int down = total({"P.....", "P.....", "P.....", "......", "......", "......"});
  EXPECT_EQ(across, 300 + 300 + 1000);
  EXPECT_EQ(down, across + 100);
  // Different skulls make no line.
  EXPECT_EQ(total({"PRP...", "......"}), 300 + 1000);
}

TEST_F(VoodooTest, PiecesHideWhileCellsPayAndReturnBlinking) {
  fill(36, {"RRR...", "......", "......", "......", "......", "......"});
  // The stone of the piece at (4, 1) shows green; an empty face is only a faint stone.
  h.cat.setImage(ImageList::puzzlelist, kStone, solid(25, 25, kGreen));
  auto shownFrame = [&]() {
    g.screen.fillScreen(0);
    frames();
    return g.screen.pixel(cornerX(4) + 12, cornerY(1) + 12) == kGreen;
  };
  EXPECT_TRUE(shownFrame());  // judged
  EXPECT_FALSE(shownFrame());
  EXPECT_TRUE(box.payoutRunning);
  // Three cells burst 22 frames each, each handing over in its last frame.
  for (int i = 0; i < 63; ++i) EXPECT_FALSE(shownFrame());
  int shown = 0;
  for (int i = 0; i < 48; ++i) shown += shownFrame();
  EXPECT_FALSE(box.payoutRunning);
  EXPECT_EQ(shown, 16) << "two frames in six";
}

TEST_F(VoodooTest, TheHelpPanelGoesAfterTwoClicksAndTheInventoryStaysShut) {
  g.boxHelpClicks = 0;
  press(500, 80);
  frames();
  press(500, 80);
  frames();
  EXPECT_EQ(g.boxHelpClicks, 2);
  press(500, 80);
  frames();
  EXPECT_EQ(g.boxHelpClicks, 2);

  g.inventoryOpen = false;
  press(790, g.inventoryPanelY + 100);
  frames();
  EXPECT_EQ(std::count(h.sounds->log.begin(), h.sounds->log.end(), "beep"), 1);
  EXPECT_FALSE(g.inventoryOpen);
  press(790, g.inventoryPanelY - 10);
  frames();
  EXPECT_TRUE(g.menuOpen);
}

TEST_F(VoodooTest, ABoxLevelShowsTheBoxInsteadOfThePlayFrameThenGoesOnAsABoard) {
  g.level = 4;
  g.levelType = 4;
  g.introStage = 0;
  newlevel(g);
  g.introStage = 0;
  g.menuOpen = false;
  ASSERT_TRUE(g.boxPuzzleOn);
  EXPECT_EQ(g.driftDir, 1);
  DXTimerTimer(g);
  EXPECT_EQ(g.hintStep, 0) << "the play frame did not run";
  fill(36);
  for (int i = 0; i < 200 && g.boxPuzzleOn; ++i) DXTimerTimer(g);
  ASSERT_FALSE(g.boxPuzzleOn);
  DXTimerTimer(g);
  EXPECT_EQ(g.hintStep, 1) << "the play frame runs now";

  // Leaving a box unfinished for a level of another kind leaves no box behind.
  g.levelType = 4;
  newlevel(g);
  g.levelType = 1;
  newlevel(g);
  EXPECT_FALSE(g.boxPuzzleOn);
}

}  // namespace
}  // namespace mv::test
