// SPDX-License-Identifier: GPL-3.0-or-later
// The leaderboard setting: its values, the settings file's lines, where the files are found and
// which one wins.
#include "app/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace mv {
namespace {

namespace fs = std::filesystem;

const Leaderboard kOff{true, {}};

Leaderboard at(const std::string& base) {
  return {false, base};
}

TEST(LeaderboardValue, OffOrAnHttpAddressWithAHost) {
  std::string why;
  for (const char* off : {"off", "OFF", "Off"}) EXPECT_EQ(leaderboardValue(off, why), kOff) << off;
  for (const char* url :
       {"http://scores", "https://scores.school.example:8443/morvane/", "HTTP://10.0.0.7:8080",
        "http://[::1]:8080", "http://user:pw@host", "http://host:65535"}) {
    EXPECT_EQ(leaderboardValue(url, why), at(url)) << url;
    EXPECT_TRUE(why.empty()) << url;
  }
  for (const char* bad : {"",
                          "of",
                          "offline",
                          "scores.example",
                          "127.0.0.1:8080",
                          "ftp://host",
                          "file:///etc",
                          "http://",
                          "http:///path",
                          "http://:8080",
                          "http://host:",
                          "http://host:0",
                          "http://host:65536",
                          "http://host:80a",
                          "http://[::1",
                          "http://[::1]x",
                          "http://a b",
                          "http://host/?x=1",
                          "http://host/#top",
                          "\"http://host\"",
                          "http://hôst"}) {
    EXPECT_FALSE(leaderboardValue(bad, why)) << bad;
    EXPECT_FALSE(why.empty()) << bad;
  }
}

TEST(ConfigFile, CommentsBlankLinesAndSpacesAroundTheEqualsSignAreAllowed) {
  const ConfigFile f = parseConfig(
      "# Morvane for the school\r\n\n  \t\n  leaderboard\t=  http://scores:8080/  \r\n"
      "   # another comment\n",
      "morvane.conf");
  EXPECT_EQ(f.leaderboard, at("http://scores:8080/"));
  EXPECT_FALSE(f.ignored);
  EXPECT_TRUE(f.warnings.empty());

  EXPECT_EQ(parseConfig("leaderboard=off", "x").leaderboard, kOff) << "no line end, no spaces";
  EXPECT_EQ(parseConfig("leaderboard = http://a\nleaderboard = off\n", "x").leaderboard, kOff)
      << "the last line wins";
  EXPECT_FALSE(parseConfig("# nothing set\n\n", "x").leaderboard);
  EXPECT_FALSE(parseConfig("", "x").leaderboard);
}

TEST(ConfigFile, AnUnknownKeyIsSkippedWithAWarningNamingFileAndLine) {
  const ConfigFile f = parseConfig("# hi\nleaderbord = off\nleaderboard = http://a\n", "/c/m.conf");
  EXPECT_EQ(f.leaderboard, at("http://a")) << "the rest of the file counts";
  EXPECT_FALSE(f.ignored);
  ASSERT_EQ(f.warnings.size(), 1u);
  EXPECT_EQ(f.warnings[0], "/c/m.conf:2: unknown setting 'leaderbord' is skipped");
}

TEST(ConfigFile, ALineThatIsNoSettingIgnoresTheWholeFileWithOneWarning) {
  for (const auto& [text, line, why] :
       {std::tuple{"leaderboard = http://a\nleaderboard http://b\n", 2, "expected 'key = value'"},
        {"\n\n= off\nleaderboard = http://a\n", 3, "no key before '='"},
        {"leaderboard = http://a\n# ok\nleaderboard = offf\n", 3, "'off' or an address"},
        {"leaderboard = scores.school:8080\n", 1, "http:// or https://"},
        {"leaderboard =\n", 1, "'off' or an address"}}) {
    const ConfigFile f = parseConfig(text, "/etc/m.conf");
    EXPECT_TRUE(f.ignored) << text;
    EXPECT_FALSE(f.leaderboard) << text;
    ASSERT_EQ(f.warnings.size(), 1u) << text;
    const std::string& w = f.warnings[0];
    EXPECT_EQ(w.rfind("/etc/m.conf:" + std::to_string(line) + ": ", 0), 0u) << w;
    EXPECT_NE(w.find(why), std::string::npos) << w;
    EXPECT_NE(w.find("the file is ignored"), std::string::npos) << w;
    EXPECT_EQ(w.find('\n'), std::string::npos) << "one line";
  }
}

TEST(ConfigFilePlace, FollowsTheXdgRules) {
  EXPECT_EQ(userConfigFile("/cfg", "/home/ann"), fs::path("/cfg/morvane/morvane.conf"));
  for (const char* xdg : {static_cast<const char*>(nullptr), "", "cfg", "./x"})
    EXPECT_EQ(userConfigFile(xdg, "/home/ann"), fs::path("/home/ann/.config/morvane/morvane.conf"));
  for (const char* home : {static_cast<const char*>(nullptr), "", "ann"})
    EXPECT_TRUE(userConfigFile(nullptr, home).empty());
}

// Each test runs in an empty working directory of its own: the user's and the system's files
// are made there.
class ChooseLeaderboard : public ::testing::Test {
 protected:
  const fs::path user = fs::current_path() / "user.conf";
  const fs::path system = fs::current_path() / "system.conf";
  static void write(const fs::path& p, const std::string& text) {
    std::ofstream(p, std::ios::binary) << text;
  }
  LeaderboardChoice choose(const char* env = nullptr) {
    return chooseLeaderboard(env, {user, system});
  }
};

TEST_F(ChooseLeaderboard, TheUsersFileWinsOverTheSystemsAndNoFileGivesTheDefault) {
  EXPECT_EQ(choose().leaderboard, at("http://127.0.0.1:8080"));
  EXPECT_TRUE(choose().warnings.empty()) << "missing files are no trouble";
  write(system, "leaderboard = http://school:8080\n");
  EXPECT_EQ(choose().leaderboard, at("http://school:8080"));
  write(user, "leaderboard = off\n");
  EXPECT_EQ(choose().leaderboard, kOff);
  write(user, "# nothing set here\n");
  EXPECT_EQ(choose().leaderboard, at("http://school:8080")) << "a file that sets nothing";
  EXPECT_EQ(chooseLeaderboard(nullptr, {fs::path(), system}).leaderboard, at("http://school:8080"))
      << "no home: the system's file";
}

TEST_F(ChooseLeaderboard, TheEnvironmentWinsUnlessItIsNoSetting) {
  write(user, "leaderboard = http://mine\n");
  EXPECT_EQ(choose("http://127.0.0.1:9").leaderboard, at("http://127.0.0.1:9"));
  EXPECT_EQ(choose("off").leaderboard, kOff);
  EXPECT_EQ(choose("").leaderboard, at("http://mine")) << "empty is unset";
  const LeaderboardChoice bad = choose("127.0.0.1:9");
  EXPECT_EQ(bad.leaderboard, at("http://mine"));
  ASSERT_EQ(bad.warnings.size(), 1u);
  EXPECT_EQ(bad.warnings[0].rfind("MORVANE_SCORE_URL: ", 0), 0u) << bad.warnings[0];
}

TEST_F(ChooseLeaderboard, ABrokenOrUnreadableFileIsPassedOverWithOneWarning) {
  write(system, "leaderboard = http://school\n");
  write(user, "leaderboard: http://mine\n");
  LeaderboardChoice c = choose();
  EXPECT_EQ(c.leaderboard, at("http://school"));
  ASSERT_EQ(c.warnings.size(), 1u);
  EXPECT_EQ(c.warnings[0].rfind(user.string() + ":1: ", 0), 0u) << c.warnings[0];

  fs::remove(user);
  fs::create_directory(user);
  c = choose();
  EXPECT_EQ(c.leaderboard, at("http://school"));
  ASSERT_EQ(c.warnings.size(), 1u);
  EXPECT_EQ(c.warnings[0], user.string() + ": it is not a file; the file is ignored");

  write(system, std::string(100 * 1024, '#'));
  c = choose();
  EXPECT_EQ(c.leaderboard, at("http://127.0.0.1:8080"));
  EXPECT_EQ(c.warnings.size(), 2u);
}

}  // namespace
}  // namespace mv
