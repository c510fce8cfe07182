// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/moderation.h"

#include <charconv>
#include <cstdio>
#include <ostream>

#include "common/utf8.h"
#include "server/store.h"

namespace scores {

namespace {

// Text for a terminal: valid UTF-8, with control characters shown as \xNN.
std::string printable(std::string_view text) {
  std::string out;
  for (const char ch : mv::validUtf8(text)) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    } else {
      out += ch;
    }
  }
  return out;
}

bool number(const std::string& text, std::int64_t min, std::int64_t& out) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && end == text.data() + text.size() && out >= min;
}

struct Command {
  std::string db = "scores.sqlite";
  std::string name;
  bool byName = false;
  bool hiddenOnly = false;
  std::int64_t last = 50;
  std::vector<std::int64_t> ids;
};

// Reads the command's options; an empty text when they are right, else what is wrong.
std::string parse(const std::vector<std::string>& args, Command& c) {
  const bool list = args[0] == "list";
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--db" && hasValue) {
      c.db = args[++i];
    } else if (a == "--name" && hasValue) {
      c.name = args[++i];
      c.byName = true;
    } else if (list && a == "--hidden") {
      c.hiddenOnly = true;
    } else if (list && a == "--last" && hasValue) {
      if (!number(args[++i], 1, c.last) || c.last > 1000000) return "bad value for --last";
    } else if (!list && !a.empty() && a[0] != '-') {
      std::int64_t id = 0;
      if (!number(a, 1, id)) return "not a report id: " + a;
      c.ids.push_back(id);
    } else {
      return "unknown or incomplete option " + a;
    }
  }
  if (c.db.empty()) return "--db needs a value";
  if (!list && c.byName == !c.ids.empty()) return args[0] + " needs report ids or --name NAME";
  return {};
}

}  // namespace

bool isModerationCommand(const std::string& word) {
  return word == "list" || word == "hide" || word == "unhide";
}

int runModeration(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Command c;
  if (const std::string mistake = parse(args, c); !mistake.empty()) {
    err << "morvane-scores " << args[0] << ": " << mistake << "\n" << kModerationUsage;
    return 2;
  }
  try {
    const auto store = openStore(c.db);
    if (args[0] == "list") {
      out << "id\treceived\tlevel\tscore\tname\tversion\taddress\n";
      for (const StoredReport& r :
           store->list(c.byName ? c.name : "", c.hiddenOnly, static_cast<int>(c.last)))
        out << r.id << '\t' << r.report.received << '\t' << r.report.level << '\t' << r.report.score
            << '\t' << printable(r.report.name) << '\t' << printable(r.report.version) << '\t'
            << printable(r.address) << (r.hidden ? "\thidden" : "") << '\n';
      return 0;
    }
    const bool hide = args[0] == "hide";
    const int changed = c.byName ? store->hideName(c.name, hide) : store->hide(c.ids, hide);
    out << (hide ? "hidden: " : "shown again: ") << changed
        << (changed == 1 ? " report\n" : " reports\n");
    return 0;
  } catch (const StoreError& e) {
    err << "morvane-scores " << args[0] << ": " << e.what() << "\n";
    return 1;
  }
}

}  // namespace scores
