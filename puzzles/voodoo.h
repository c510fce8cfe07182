// The voodoo box: seventeen small pieces of stone and skulls lie around a 6 x 6 box. The player
// drags them in (right click turns one); once the box is nearly full, every line of three equal
// skulls bursts and pays out, the box flashes away and the level goes on as a tile board.
#pragma once

#include <array>

namespace mv {

struct Game;

inline constexpr int kBoxPieces = 17;
inline constexpr int kBoxSize = 6;  // columns and rows
inline constexpr int kBoxX = 250;   // top-left corner of box cell (1, 1)
inline constexpr int kBoxY = 200;
inline constexpr int kBoxCell = 25;  // cell size and pitch
inline constexpr int kNoCell = -50;  // position of a cell the piece's shape does not have
inline constexpr int kBoxShapes = 12;

// Cell marks, drawn as puzzlelist pictures 0..2.
enum BoxMark : int { kStone = 0, kRedSkull = 1, kPurpleSkull = 2 };

// A shape: its cells as offsets from cell 1 (in cells), and the shape a quarter turn gives.
struct BoxShape {
  int cells;  // 2..4; offsets beyond it are unused
  std::array<std::array<int, 2>, 4> at;
  int turnsInto;
};
// Shapes 1..12.
const BoxShape& boxShape(int shape);

struct BoxCell {
  int x = kNoCell, y = kNoCell;  // top-left on the screen
  int mark = kStone;
};

struct BoxPiece {
  int shape = 1;
  std::array<BoxCell, 5> cell{};  // cells 1..4

  bool has(int n) const { return n <= boxShape(shape).cells; }
};

// Box cells [column][row], 1..6 used. Lines are followed up to six cells past a cell, so the
// arrays reach column and row 12, where nothing ever lies.
using BoxGrid = std::array<std::array<int, 2 * kBoxSize + 1>, 2 * kBoxSize + 1>;

struct VoodooBox {
  std::array<BoxPiece, kBoxPieces + 1> pieces{};  // 1..17
  BoxGrid boardMark{};      // mark lying on each box cell, rebuilt every frame
  BoxGrid cellEffect{};     // burst countdown: 22 when queued, down to 0
  BoxGrid cellBurstMark{};  // mark shown while bursting; set once, the cell's face is not drawn
  BoxGrid cellPayout{};     // points the cell pays when its burst starts
  int heldPiece = 0;        // piece on the cursor, 0 none
  int coveredCells = 0;     // box cells under placed pieces
  bool payoutRunning = false;
  int firstEffectCell = 0;  // scan number 1..36 of the cell paying out, 0 none
  int boxShakeX = 0, boxShakeY = 0;
  int endCountdown = -1;  // -1 placing, 50..0 pieces blinking after judging, -2 flash begun
  int blinkPhase = 0;     // 0..5; pieces show while below 2
  int flashTimer = -1;    // -1 idle, 75 down to 0
  int flashSize = 0, flashAlpha = 0;
};

// Lays out the cells of `piece` from its shape with cell 1 at (x, y).
void placepiece(VoodooBox& box, int piece, int x, int y);
// Clears the box and deals seventeen new pieces around it, without a sound (at start-up).
void preparebox(Game& g);
// A voodoo box level starts: its voice, then preparebox.
void makepuzzlegame(Game& g);
// One frame of the puzzle, drawing included; clears boxPuzzleOn when the box has closed.
void puzzlegame(Game& g);

}  // namespace mv
