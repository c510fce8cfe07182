// SPDX-License-Identifier: GPL-3.0-or-later
// The word list: names compared without case after compatibility normalisation, and the file.
#include "server/name_filter.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "server/service.h"
#include "store_fixture.h"

using namespace scores;

TEST(NameFilter, WordsMatchWhateverTheirCaseWidthOrStyle) {
  const NameFilter filter({"badword", "Ｘyz"});
  EXPECT_TRUE(filter.allows("ANNA"));
  EXPECT_FALSE(filter.allows("BADWORD"));
  EXPECT_FALSE(filter.allows("XXBADWORD99"));                // anywhere in the name
  EXPECT_FALSE(filter.allows("ＢＡＤＷＯＲＤ"));             // full-width
  EXPECT_FALSE(filter.allows("\U0001D401\U0001D400DWORD"));  // mathematical bold B, A
  EXPECT_FALSE(filter.allows("XYZ"));                        // the word itself full-width
  EXPECT_FALSE(filter.allows("ⓍYZ"));                        // circled letters fold too
  EXPECT_TRUE(filter.allows("BADWORLD"));
  EXPECT_TRUE(NameFilter({}).allows("BADWORD"));
  EXPECT_EQ(folded("ÉCOLE"), "école");
  EXPECT_EQ(folded("ﬁ"), "fi");
}

TEST(NameFilter, TheFileHoldsOneWordALineWithCommentsAndBlankLines) {
  char tmpl[] = "/tmp/morvane-words-XXXXXX";
  const int fd = mkstemp(tmpl);
  close(fd);
  {
    std::ofstream out(tmpl);
    out << "# a comment\n\n  spaced  \r\nplain\n#notaword\n";
  }
  const auto filter = NameFilter::load(tmpl);
  EXPECT_EQ(filter->size(), 2u);
  EXPECT_FALSE(filter->allows("SPACED"));
  EXPECT_FALSE(filter->allows("PLAIN1"));
  EXPECT_TRUE(filter->allows("NOTAWORD"));
  std::filesystem::remove(tmpl);
  EXPECT_THROW(NameFilter::load(tmpl), std::runtime_error);
}

TEST(NameFilter, TheShippedExampleRefusesNothing) {
  const auto filter =
      NameFilter::load(std::string(MORVANE_SOURCE_DIR) + "/server/deny-words.example");
  EXPECT_EQ(filter->size(), 0u);
}

TEST(NameFilter, ARefusedNameIsAnswered400AndNotStored) {
  struct CountingStore : FakeStore {
    void add(const Report&, const std::string&, const std::string&) override { ++adds; }
    int adds = 0;
  } store;
  ScoreService service(store, ServiceLimits{0, 0});
  service.setNameFilter(std::make_shared<const NameFilter>(std::vector<std::string>{"bad"}));
  const auto now = std::chrono::system_clock::now();
  const Reply refused =
      service.report("action2=add&playername=%EF%BC%A2AD1%201.7&level=1&score=5", "192.0.2.1", now);
  EXPECT_EQ(refused.status, 400);
  EXPECT_EQ(refused.body(), "name not allowed");
  EXPECT_EQ(service.checkReport("action2=add&playername=BAD%201.7&level=1&score=5").status, 400);
  EXPECT_EQ(
      service.report("action2=add&playername=GOOD%201.7&level=1&score=5", "192.0.2.1", now).status,
      200);
  EXPECT_EQ(store.adds, 1);
  service.setNameFilter(nullptr);
  EXPECT_EQ(
      service.report("action2=add&playername=BAD%201.7&level=1&score=5", "192.0.2.1", now).status,
      200);
}
