// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/http.h"

#include <httplib.h>

#include <cstdio>
#include <ostream>

#include "common/report.h"
#include "server/service.h"

namespace scores {

namespace {

void send(httplib::Response& res, const Reply& reply) {
  res.status = reply.status;
  res.set_content(reply.body, reply.contentType.c_str());
}

}  // namespace

void RequestLog::line(const std::string& text) {
  std::lock_guard lock(mutex_);
  out_ << text << '\n' << std::flush;
}

std::string logLine(std::chrono::system_clock::time_point t, std::string_view address,
                    std::string_view method, std::string_view target, int status) {
  std::string line = utcTime(t) + " " + std::string(address) + " \"" + std::string(method) + " ";
  for (const char ch : target) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
      line += ch;
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      line += buf;
    }
  }
  return line + "\" " + std::to_string(status);
}

void route(httplib::Server& http, ScoreService& service, RequestLog& log) {
  http.Get("/",
           [&](const httplib::Request&, httplib::Response& res) { send(res, service.page()); });
  http.Get("/scores.json",
           [&](const httplib::Request&, httplib::Response& res) { send(res, service.json()); });
  http.Get(std::string(mv::report::kPath), [&](const httplib::Request& req,
                                               httplib::Response& res) {
    // The raw target, not the library's parsed parameters: the report's own rules decide
    // what its keys and encodings mean.
    const auto q = req.target.find('?');
    const std::string_view query =
        q == std::string::npos ? std::string_view() : std::string_view(req.target).substr(q + 1);
    send(res, service.report(query, req.remote_addr, std::chrono::system_clock::now()));
  });
  http.set_error_handler([](const httplib::Request&, httplib::Response& res) {
    if (res.body.empty())
      res.set_content(res.status == 404 ? "not found" : "bad request", "text/plain");
  });
  http.set_logger([&](const httplib::Request& req, const httplib::Response& res) {
    log.line(logLine(std::chrono::system_clock::now(), req.remote_addr, req.method, req.target,
                     res.status));
  });
}

}  // namespace scores
