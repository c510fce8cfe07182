// The spiders: twenty slots of the player's living stock, the hatching routine and the per-frame
// update that moves, kills, counts and draws them.
#pragma once

#include <array>
#include <string>

namespace mv {

struct Game;

// One spider slot. Positions and sizes are reals; the rest are integers or a colour letter.
struct Spider {
  double spiderLife = 0;            // above 0: a live spider; 0: an empty slot
  double spiderX = 0, spiderY = 0;  // centre on the screen
  double spiderSpeed = 0;           // pixels per frame along spiderDirection: 0, 0.5, 1, 1.5 or 2
  int spiderDirection = 0;          // 0 standing, 1..8 (see spiderStep)
  double spiderAngle = 0;           // drawing rotation, 256 to a full turn
  int spiderTurn = 0;               // 0 none, 1 the angle grows by 1 a frame, 2 it shrinks
  double spiderSize = 0;            // drawn width and height in pixels
  double spiderGrowTo = 0;
  std::string spiderColour;   // "Y", "R", "G" or "P"
  int spiderSymbol = 0;       // 1..4 by colour, 5..8 once grown by a Grow Rune
  int spiderFrame = 0;        // spiderlist picture 0..10
  int spiderAnimDir = 0;      // 0 the frame counts up, 1 down
  int spiderGemCooldown = 0;  // turns of spiderCursor until it can yield jewels again
  int spiderMarked = 0;       // 0, or the slot's own number once picked to die
};

inline constexpr int kSpiderSlots = 20;

// Slots 1..20; slot 0 exists so slot numbers index directly, and never holds a spider.
using SpiderSlots = std::array<Spider, kSpiderSlots + 1>;

// The colour letter of colour code 1..4, and back (0 for anything else).
std::string colourLetter(int colour);
int colourOfLetter(const std::string& letter);

// Hatches up to `count` spiders of colour 1..4 near (x, y) in the empty slots 1..maxSpiders.
void spawnspider(Game& g, int x, int y, int colour, int count);

// One frame of spider slot i (1..20), run for empty slots too: wander, steer, grow, die when
// marked, move, turn and animate; a live spider is then counted, may be picked to die, may take a
// carried Grow Rune, and is drawn.
void updatespider(Game& g, int i);

}  // namespace mv
