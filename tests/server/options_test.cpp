// SPDX-License-Identifier: GPL-3.0-or-later
// The command line: addresses with and without brackets, numbers in range, nothing unknown.
#include "server/options.h"

#include <gtest/gtest.h>

using namespace scores;

namespace {

bool parse(const std::vector<std::string>& args, Options& o) {
  std::string error;
  return parseOptions(args, o, error);
}

}  // namespace

TEST(Options, ListenAddressAndStore) {
  Options o;
  ASSERT_TRUE(parse({}, o));
  EXPECT_EQ(o.host, "127.0.0.1");
  EXPECT_EQ(o.port, 8080);
  EXPECT_EQ(o.db, "scores.sqlite");
  ASSERT_TRUE(parse({"--listen", "[::1]:9000", "--db", "postgresql://u@h/d", "--rate", "0"}, o));
  EXPECT_EQ(o.host, "::1");
  EXPECT_EQ(o.port, 9000);
  EXPECT_EQ(o.db, "postgresql://u@h/d");
  EXPECT_EQ(o.reportsPerMinute, 0);
  ASSERT_TRUE(parse({"--listen", "0.0.0.0:0"}, o));
  EXPECT_EQ(o.port, 0);
  ASSERT_TRUE(parse({"--rate-all", "0", "--max-connections", "50", "--max-per-address", "0",
                     "--timeout", "2", "--grace", "0", "--deny-words", "/etc/words"},
                    o));
  EXPECT_EQ(o.reportsPerMinuteInAll, 0);
  EXPECT_EQ(o.maxConnections, 50);
  EXPECT_EQ(o.perAddress, 0);
  EXPECT_EQ(o.timeout, 2);
  EXPECT_EQ(o.grace, 0);
  EXPECT_EQ(o.denyWords, "/etc/words");
}

TEST(Options, MistakesAreRefusedWithTheReason) {
  Options o;
  std::string error;
  for (const std::vector<std::string>& bad : {std::vector<std::string>{"--listen", "8080"},
                                              {"--listen", ":8080"},
                                              {"--listen", "h:65536"},
                                              {"--listen", "h:8x"},
                                              {"--rate", "-1"},
                                              {"--threads", "0"},
                                              {"--timeout", "0"},
                                              {"--max-connections", "0"},
                                              {"--deny-words", ""},
                                              {"--db", ""},
                                              {"--verbose", "1"},
                                              {"--db"}}) {
    EXPECT_FALSE(parseOptions(bad, o, error)) << bad[0];
    EXPECT_FALSE(error.empty());
  }
  parseOptions({"--listen", "h:8x"}, o, error);
  EXPECT_EQ(error, "bad value for --listen: h:8x");
}
