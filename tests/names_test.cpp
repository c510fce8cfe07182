// SPDX-License-Identifier: GPL-3.0-or-later
// Player names in any script: UTF-8 read a character at a time, typed names of up to twelve
// characters, their save files, their place in the score report and on the text canvas.
#include "common/names.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/score_report.h"
#include "common/utf8.h"
#include "core/players.h"
#include "game_fixture.h"
#include "profiles/players.h"
#include "profiles/savefile.h"

namespace mv::test {
namespace {

namespace fs = std::filesystem;

std::vector<char32_t> codePoints(std::string_view s) {
  std::vector<char32_t> out;
  for (size_t at = 0; at < s.size();) out.push_back(nextCodePoint(s, at));
  return out;
}

TEST(Utf8, ReadsEveryLengthAndTakesBrokenBytesOneAtATime) {
  EXPECT_EQ(codePoints("Z\xC3\x8B\xE2\x82\xAC\xF0\x9F\x98\x80"),
            (std::vector<char32_t>{'Z', 0xCB, 0x20AC, 0x1F600}));
  // A stray continuation byte, a sequence cut short by the next character, overlong leads.
  for (const std::string s : {"\x80Z", "\xC3Z", "\xC0\xC1Z", "\xFFZ"}) {
    std::vector<char32_t> got = codePoints(s);
    EXPECT_EQ(got.size(), s.size()) << "one byte at a time";
    EXPECT_EQ(got.back(), U'Z');
    got.pop_back();
    EXPECT_EQ(got, std::vector<char32_t>(got.size(), kNotUtf8)) << s;
  }
  EXPECT_EQ(codePoints("\xE0\x80\x80"), (std::vector<char32_t>(3, kNotUtf8))) << "overlong";
  EXPECT_EQ(codePoints("\xED\xA0\x80").front(), kNotUtf8) << "a surrogate";
  EXPECT_EQ(codePoints("\xED\xBF\xBF").front(), kNotUtf8) << "U+DFFF, the last surrogate";
  EXPECT_EQ(codePoints("\xED\x9F\xBF").front(), 0xD7FFu) << "the last character before them";
  EXPECT_EQ(codePoints("\xF4\x90\x80\x80").front(), kNotUtf8) << "beyond U+10FFFF";
  EXPECT_EQ(codePoints("\xF0\x9F\x98").front(), kNotUtf8) << "cut short at the end";
  for (const char32_t c : {0x41u, 0xCBu, 0x416u, 0x20ACu, 0x1F600u, 0x10FFFFu}) {
    const std::string s = utf8(c);
    size_t at = 0;
    EXPECT_EQ(nextCodePoint(s, at), c);
    EXPECT_EQ(at, s.size());
  }
  EXPECT_EQ(utf8(0xD800), "");
  // Each length starts where the last one ends.
  EXPECT_EQ(utf8(0x7FF), "\xDF\xBF");
  EXPECT_EQ(utf8(0x800), "\xE0\xA0\x80");
  EXPECT_EQ(utf8(0xFFFF), "\xEF\xBF\xBF");
  EXPECT_EQ(utf8(0x10000), "\xF0\x90\x80\x80");
}

class NamesTest : public GameTest {
 protected:
  int beeps() const {
    int n = 0;
    for (const auto& e : h.sounds->log) n += e == "beep";
    return n;
  }
  // Types `text` as the keyboard delivers it: one code point at a time.
  void type(std::string_view text) {
    for (const char32_t c : codePoints(text)) FormKeyPress(g, static_cast<int>(c));
  }
};

TEST_F(NamesTest, LettersOfAnyScriptAreTakenAndOnlyAToZIsUpperCased) {
  g.nameEntryOpen = true;
  type("zoë");
  EXPECT_EQ(typedCells(g), "ZOë");
  FormKeyPress(g, 8);
  FormKeyPress(g, 8);
  EXPECT_EQ(typedCells(g), "Z") << "Backspace takes a whole character";
  FormKeyPress(g, 8);
  type("straße");
  EXPECT_EQ(typedCells(g), "STRAßE");
  for (int i = 0; i < 6; ++i) FormKeyPress(g, 8);
  type("Женя-Ørsted");
  EXPECT_EQ(typedCells(g), "Женя-ØRSTED");
  type("ЖЖЖ");
  EXPECT_EQ(g.typedCount, 12) << "twelve characters, not twelve bytes";
  EXPECT_EQ(typedCells(g), "Женя-ØRSTEDЖ");
  EXPECT_EQ(beeps(), 0);
}

TEST_F(NamesTest, InvisibleBrokenAndUndrawableCharactersAreRefusedWithABeep) {
  g.nameEntryOpen = true;
  const std::vector<int> refused = {' ',      '/',    '\\',   ':',    '*',    '?',    '"',
                                    '<',      '>',    '|',    '\t',   0x7F,   0x85,   0xA0,
                                    0x3000,   0x200B, 0x202E, 0xFEFF, 0xFFFD, 0xD800, 0xFFFF,
                                    0x110000, -5,     0xE000, 0x4E2D /* no picture in the font */};
  for (const int key : refused) FormKeyPress(g, key);
  EXPECT_EQ(typedCells(g), "");
  EXPECT_EQ(beeps(), static_cast<int>(refused.size()));
}

TEST_F(NamesTest, ANameInAnyScriptIsSavedUnderItsOwnNameAndListed) {
  g.nameEntryOpen = true;
  type("ØSTEN");
  FormKeyPress(g, 13);
  EXPECT_EQ(g.playerName, "ØSTEN");
  EXPECT_EQ(g.playerList[1], "ØSTEN");
  EXPECT_TRUE(fs::exists(fs::u8path("ØSTEN.dat")));
  EXPECT_EQ(playerFileName("ØSTEN"), "ØSTEN.dat");
  g.level = 7;
  ASSERT_TRUE(savegamedata(g, g.playerName));
  g.level = 1;
  ASSERT_TRUE(loadgamedata(g, "ØSTEN"));
  EXPECT_EQ(g.level, 7);
  // Names that are not UTF-8, or that hide characters, name no file.
  for (const std::string& name : {std::string("\xD8STEN"), std::string("A\xE2\x80\xAE"
                                                                       "B")})
    EXPECT_FALSE(safePlayerName(name));
}

TEST(ScoreUrlNames, ANameInAnyScriptTravelsAsPercentEncodedUtf8) {
  EXPECT_EQ(scoreUrl("http://host", "ZOË", 3, 10),
            "http://host/morvane/mv.asp?action2=add&playername=ZO%C3%8B%201.7&level=3&score=10");
  EXPECT_NE(
      scoreUrl("http://host", "ЖЕНЯ", 3, 10).find("playername=%D0%96%D0%95%D0%9D%D0%AF%201.7"),
      std::string::npos);
}

// Counts the lit pixels of a strip of the screen.
int lit(const Screen& s, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += s.pixel(x, y) != 0;
  return n;
}

TEST_F(NamesTest, TheCanvasDrawsNamesOfAnyScriptCharacterByCharacter) {
  TextCanvas& c = h.canvas;
  for (const char* name : {"ZOË", "ØSTEN", "STRAßE", "ЖЕНЯ"}) {
    h.screen.fillScreen(0);
    c.textOut(10, 10, name);
    EXPECT_GT(lit(h.screen, 0, 0, 200, 30), 0) << name;
  }
  // A letter of another script is one picture, not its bytes read one by one.
  EXPECT_EQ(c.textWidth("ЖЖ"), 2 * c.textWidth("Ж"));
  EXPECT_NE(c.textWidth("Ж"), c.textWidth("\xD0") + c.textWidth("\x96"));
  // A byte that starts no UTF-8 character is drawn as its Latin-1 letter.
  EXPECT_EQ(c.textWidth("\xCB"), c.textWidth("Ë"));
  EXPECT_TRUE(c.canDraw(U'Ж'));
  EXPECT_FALSE(c.canDraw(U'\t'));
}

// The rules the score server checks its reports by: exactly the names name entry can produce.
TEST(NameRefusal, AnyScriptUpToTwelveCharacters) {
  for (const std::string ok : {"ZOË", "A&B", "Ж", "ÉØß", "日本語", "ZOë", "[NONE]", "GUEST",
                               "O'BRIEN", "123456789012", "ÉÉÉÉÉÉÉÉÉÉÉÉ", "..A", "COM10", "🐍"})
    EXPECT_EQ(nameRefusal(ok), "") << ok;
  EXPECT_EQ(nameRefusal("1234567890123"), "name is longer than 12 characters");
  EXPECT_EQ(nameRefusal("ÉÉÉÉÉÉÉÉÉÉÉÉÉ"), "name is longer than 12 characters");
  EXPECT_EQ(nameRefusal(""), "name is empty");
}

TEST(NameRefusal, RefusesWhatTheGameCannotType) {
  EXPECT_EQ(nameRefusal("anna"), "name holds a lower-case letter the game would upper-case");
  for (const std::string sep : {"A B", "A\u00A0B", "A\u3000B", "A\u2028B"})
    EXPECT_EQ(nameRefusal(sep), "name holds a space or separator") << sep;
  for (const std::string& ctl :
       {std::string("A\0B", 3), std::string("A\nB"), std::string("A\x7F"), std::string("A\u0085")})
    EXPECT_EQ(nameRefusal(ctl), "name holds a control character");
  for (const std::string inv : {"A\u200BB", "A\u202EB", "\uFEFFA", "A\uFFFF"})
    EXPECT_EQ(nameRefusal(inv), "name holds an invisible character");
  for (const char c : std::string("/\\:*?\"<>|"))
    EXPECT_EQ(nameRefusal(std::string("A") + c), "name holds a character the game refuses") << c;
  EXPECT_EQ(nameRefusal("..."), "name is only dots");
  for (const std::string reserved : {"CON", "NUL", "LPT9", "GAMENAMES"})
    EXPECT_EQ(nameRefusal(reserved), "name is reserved") << reserved;
  // Malformed UTF-8: a cut sequence, an overlong slash, a surrogate, beyond U+10FFFF.
  for (const std::string bad : {"A\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF"})
    EXPECT_EQ(nameRefusal(bad), "name is not valid UTF-8");
}

TEST(NameRefusal, InvalidBytesBecomeTheReplacementCharacter) {
  EXPECT_EQ(validUtf8("ZOË"), "ZOË");
  EXPECT_EQ(validUtf8("A\xC3"), "A\uFFFD");
  EXPECT_EQ(validUtf8("\xFF\xFE"), "\uFFFD\uFFFD");
}

}  // namespace
}  // namespace mv::test
