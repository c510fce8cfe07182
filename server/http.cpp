// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/http.h"

#include <microhttpd.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <ostream>
#include <stdexcept>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "common/report.h"
#include "server/rate_limit.h"

namespace scores {

void RequestLog::line(const std::string& text) {
  std::lock_guard lock(mutex_);
  out_ << text << '\n' << std::flush;
}

std::string logLine(std::chrono::system_clock::time_point t, std::string_view address,
                    std::string_view method, std::string_view target, std::string_view outcome) {
  std::string line = utcTime(t) + " " + std::string(address) + " \"" + std::string(method) + " ";
  const bool cut = target.size() > kLoggedTargetBytes;
  for (const char ch : target.substr(0, kLoggedTargetBytes)) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
      line += ch;
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      line += buf;
    }
  }
  if (cut) line += "...(" + std::to_string(target.size()) + " bytes)";
  return line + "\" " + std::string(outcome);
}

Reply route(ScoreService& service, std::string_view method, std::string_view target,
            const std::string& address, std::chrono::system_clock::time_point now) {
  const auto q = target.find('?');
  const std::string_view path = target.substr(0, q);
  // The raw query, not one parsed by the HTTP layer: the report's own rules decide what its
  // keys and encodings mean.
  const std::string_view query = q == std::string_view::npos ? "" : target.substr(q + 1);
  if (path == "/") return service.page();
  if (path == "/scores.json") return service.json();
  if (path == mv::report::kPath)
    return method == "HEAD" ? service.checkReport(query) : service.report(query, address, now);
  return {404, "text/plain; charset=utf-8", "not found"};
}

namespace {

using Clock = std::chrono::steady_clock;

struct Connection;

struct Request {
  Connection* connection;
  MHD_Connection* mhd;
  std::string target;
  std::string method = "-";
  enum State { kNew, kQueued, kAnswered } state = kNew;
  Reply reply;
  bool closeAfter = false;  // the connection closes once the answer is sent
  bool responded = false;
  bool inHand = false;  // counted in Impl::inHand
};

struct Connection {
  int fd = -1;
  std::string address, key;
  Clock::time_point deadline;        // for the next request to arrive whole
  bool busy = false;                 // a request is being served: no deadline for its arrival
  bool cut = false;                  // shut down by the server
  int requests = 0;                  // requests whose line arrived
  std::unique_ptr<Request> request;  // the request in hand, from its line to its answer
};

void freeShared(void* cls) {
  delete static_cast<std::shared_ptr<const std::string>*>(cls);
}

}  // namespace

struct HttpServer::Impl {
  Impl(ScoreService& service, RequestLog& log, HttpLimits limits)
      : service(service), log(log), limits(limits) {}

  ScoreService& service;
  RequestLog& log;
  HttpLimits limits;
  MHD_Daemon* daemon = nullptr;

  // Open connections and how many each key holds.
  std::mutex mutex;
  std::unordered_set<Connection*> connections;
  std::unordered_map<std::string, int> perKey;
  // Since the last note in the log: connections refused over the per-address cap, closed by the
  // server for a request not whole in time, and closed by the client or the HTTP layer before a
  // request line could be read (a line that cannot be parsed is not answered).
  long refused = 0, timedOut = 0, lineless = 0;
  std::string lastRefused, lastTimedOut, lastLineless;
  std::atomic<int> inHand{0};  // requests between their handling and their end

  // Whole requests waiting for a worker.
  std::mutex queueMutex;
  std::condition_variable queueReady, workersIdle;
  std::deque<Request*> queue;
  bool stopping = false;
  int running = 0;
  std::vector<std::thread> workers;

  std::mutex sweepMutex;
  std::condition_variable sweepWake;
  bool sweepStop = false;
  std::thread sweeper;

  Clock::duration timeout() const { return std::chrono::seconds(limits.timeoutSeconds); }

  void note(const std::string& address, std::string_view method, std::string_view target,
            std::string_view outcome) {
    log.line(logLine(std::chrono::system_clock::now(), address, method, target, outcome));
  }

  static Connection* connectionOf(MHD_Connection* mhd) {
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(mhd, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
    return info ? static_cast<Connection*>(info->socket_context) : nullptr;
  }

  // --- connections -------------------------------------------------------------------------

  void opened(MHD_Connection* mhd, void** context) {
    auto* c = new Connection;
    const MHD_ConnectionInfo* fd = MHD_get_connection_info(mhd, MHD_CONNECTION_INFO_CONNECTION_FD);
    const MHD_ConnectionInfo* addr =
        MHD_get_connection_info(mhd, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    c->fd = fd ? fd->connect_fd : -1;
    c->address = clientAddress(addr ? addr->client_addr : nullptr);
    c->key = rateKey(c->address);
    c->deadline = Clock::now() + timeout();
    *context = c;
    std::lock_guard lock(mutex);
    connections.insert(c);
    const int n = ++perKey[c->key];
    if (limits.perAddress > 0 && n > limits.perAddress) {
      // Shutting the socket down makes the event loop see it closed and close it.
      shutdown(c->fd, SHUT_RDWR);
      c->cut = true;
      ++refused;
      lastRefused = c->address;
    }
  }

  void closed(void** context) {
    auto* c = static_cast<Connection*>(*context);
    if (!c) return;
    std::unique_ptr<Request> unfinished;
    {
      std::lock_guard lock(mutex);
      connections.erase(c);
      if (--perKey[c->key] <= 0) perKey.erase(c->key);
      if (c->requests == 0 && !c->cut) {
        ++lineless;
        lastLineless = c->address;
      }
      unfinished = std::move(c->request);
    }
    if (unfinished) note(c->address, unfinished->method, unfinished->target, "cut off");
    delete c;
    *context = nullptr;
  }

  // Closes connections whose next request has not arrived whole in time, and notes once a
  // second what was closed or refused, so no flood of connections floods the log.
  void sweep() {
    auto lastNote = Clock::now();
    std::unique_lock wait(sweepMutex);
    while (!sweepWake.wait_for(wait, std::chrono::milliseconds(100), [&] { return sweepStop; })) {
      const auto now = Clock::now();
      std::string noteText;
      {
        std::lock_guard lock(mutex);
        for (Connection* c : connections) {
          if (c->busy || c->cut || now < c->deadline) continue;
          shutdown(c->fd, SHUT_RDWR);
          c->cut = true;
          ++timedOut;
          lastTimedOut = c->address;
        }
        if (now - lastNote >= std::chrono::seconds(1) && (timedOut || refused || lineless)) {
          const auto add = [&](long n, const std::string& what, const std::string& last) {
            if (n == 0) return;
            noteText += (noteText.empty() ? "" : "; ") + std::to_string(n) + " " + what +
                        " (the last from " + last + ")";
          };
          add(timedOut,
              "closed without a whole request in " + std::to_string(limits.timeoutSeconds) + " s",
              lastTimedOut);
          add(refused,
              "refused over " + std::to_string(limits.perAddress) + " open from one client",
              lastRefused);
          add(lineless, "closed without a readable request line", lastLineless);
          timedOut = refused = lineless = 0;
          lastNote = now;
        }
      }
      if (!noteText.empty())
        log.line(utcTime(std::chrono::system_clock::now()) + " connections: " + noteText);
    }
  }

  // --- requests ----------------------------------------------------------------------------

  Request* begin(MHD_Connection* mhd, const char* uri) {
    Connection* c = connectionOf(mhd);
    auto req = std::make_unique<Request>();
    req->connection = c;
    req->mhd = mhd;
    req->target = uri ? uri : "";
    Request* raw = req.get();
    std::unique_ptr<Request> earlier;
    {
      std::lock_guard lock(mutex);
      ++c->requests;
      earlier = std::move(c->request);
      c->request = std::move(req);
    }
    if (earlier) note(c->address, earlier->method, earlier->target, "cut off");
    return raw;
  }

  void ended(Request* req, MHD_RequestTerminationCode code) {
    Connection* c = req->connection;
    if (req->inHand) --inHand;
    const std::string outcome =
        req->responded
            ? std::to_string(req->reply.status)
            : (code == MHD_REQUEST_TERMINATED_TIMEOUT_REACHED ? "timed out" : "malformed");
    note(c->address, req->method, req->target, outcome);
    std::lock_guard lock(mutex);
    c->busy = false;
    c->deadline = Clock::now() + timeout();
    if (c->request.get() == req) c->request.reset();
  }

  MHD_Result answer(Request* req, const Reply& reply, bool close = false,
                    const char* allow = nullptr) {
    req->reply = reply;
    req->responded = true;
    auto* body = new std::shared_ptr<const std::string>(reply.content);
    MHD_Response* r = MHD_create_response_from_buffer_with_free_callback_cls(
        (*body)->size(), const_cast<char*>((*body)->data()), freeShared, body);
    if (!r) {
      delete body;
      return MHD_NO;
    }
    MHD_add_response_header(r, MHD_HTTP_HEADER_CONTENT_TYPE, reply.contentType.c_str());
    MHD_add_response_header(r, "X-Content-Type-Options", "nosniff");
    if (allow) MHD_add_response_header(r, MHD_HTTP_HEADER_ALLOW, allow);
    if (close) MHD_add_response_header(r, MHD_HTTP_HEADER_CONNECTION, "close");
    const MHD_Result ok = MHD_queue_response(req->mhd, static_cast<unsigned>(reply.status), r);
    MHD_destroy_response(r);
    return ok;
  }

  static bool hasBody(MHD_Connection* mhd) {
    const char* length =
        MHD_lookup_connection_value(mhd, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
    const char* coding =
        MHD_lookup_connection_value(mhd, MHD_HEADER_KIND, MHD_HTTP_HEADER_TRANSFER_ENCODING);
    return coding || (length && std::strspn(length, "0") != std::strlen(length));
  }

  MHD_Result handle(MHD_Connection* mhd, const char* method, size_t* uploadSize, void** context) {
    auto* req = static_cast<Request*>(*context);
    if (!req) *context = req = begin(mhd, "");
    if (*uploadSize) {  // a body is never read, only let go
      *uploadSize = 0;
      return MHD_YES;
    }
    if (req->state == Request::kAnswered) return req->responded ? MHD_YES : answer(req, req->reply);
    if (req->state == Request::kQueued) return MHD_YES;
    req->method = method;
    req->inHand = true;
    ++inHand;
    const char* text = "text/plain; charset=utf-8";
    // A body could hide a second request that some proxy in front reads differently; no request
    // here has one, so a request that brings one is refused and its connection closed. Its
    // arrival deadline keeps running, so a body that never ends is cut off too.
    if (hasBody(mhd)) return answer(req, {400, text, "a request must not have a body"}, true);
    if (req->method != "GET" && req->method != "HEAD")
      return answer(req, {405, text, "only GET and HEAD are served"}, false, "GET, HEAD");
    {
      std::lock_guard lock(mutex);
      req->connection->busy = true;
    }
    std::unique_lock lock(queueMutex);
    if (stopping || queue.size() >= limits.queued) {
      lock.unlock();
      return answer(req, {503, text, stopping ? "the server is stopping" : "the server is busy"});
    }
    // Suspended before a worker can see it, so the worker's resume always finds it suspended.
    MHD_suspend_connection(mhd);
    req->state = Request::kQueued;
    queue.push_back(req);
    queueReady.notify_one();
    return MHD_YES;
  }

  void work() {
    std::unique_lock lock(queueMutex);
    for (;;) {
      queueReady.wait(lock, [&] { return !queue.empty() || stopping; });
      if (queue.empty()) return;
      Request* req = queue.front();
      queue.pop_front();
      ++running;
      lock.unlock();
      Reply reply;
      try {
        reply = route(service, req->method, req->target, req->connection->address,
                      std::chrono::system_clock::now());
      } catch (const std::exception&) {
        reply = {500, "text/plain; charset=utf-8", "internal error"};
      }
      req->reply = std::move(reply);
      req->state = Request::kAnswered;
      MHD_resume_connection(req->mhd);  // the request may be gone as soon as this returns
      lock.lock();
      --running;
      workersIdle.notify_all();
    }
  }
};

namespace {

MHD_Result onRequest(void* cls, MHD_Connection* mhd, const char*, const char* method, const char*,
                     const char*, size_t* uploadSize, void** context) {
  return static_cast<HttpServer::Impl*>(cls)->handle(mhd, method, uploadSize, context);
}

void* onUri(void* cls, const char* uri, MHD_Connection* mhd) {
  return static_cast<HttpServer::Impl*>(cls)->begin(mhd, uri);
}

void onEnded(void* cls, MHD_Connection*, void** context, MHD_RequestTerminationCode code) {
  if (*context) static_cast<HttpServer::Impl*>(cls)->ended(static_cast<Request*>(*context), code);
  *context = nullptr;
}

void onConnection(void* cls, MHD_Connection* mhd, void** context,
                  MHD_ConnectionNotificationCode code) {
  auto* s = static_cast<HttpServer::Impl*>(cls);
  if (code == MHD_CONNECTION_NOTIFY_STARTED)
    s->opened(mhd, context);
  else
    s->closed(context);
}

// A listening socket on host:port with a full-length queue of pending connections; an IPv6
// wildcard address takes IPv4 clients too.
int listenOn(const std::string& host, int port, bool& v6) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0 || !found)
    throw std::runtime_error("cannot resolve " + host);
  const int fd = socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  v6 = found->ai_family == AF_INET6;
  const int one = 1, zero = 0;
  bool ok = fd >= 0 && setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) == 0;
  if (ok && v6) setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &zero, sizeof zero);
  ok = ok && bind(fd, found->ai_addr, found->ai_addrlen) == 0 && listen(fd, SOMAXCONN) == 0;
  freeaddrinfo(found);
  if (!ok) {
    if (fd >= 0) close(fd);
    throw std::runtime_error("cannot listen on " + host + ":" + service + ": " +
                             std::strerror(errno));
  }
  return fd;
}

int boundPort(int fd) {
  sockaddr_storage a{};
  socklen_t len = sizeof a;
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  return ntohs(a.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&a)->sin6_port
                                       : reinterpret_cast<sockaddr_in*>(&a)->sin_port);
}

}  // namespace

HttpServer::HttpServer(ScoreService& service, RequestLog& log, HttpLimits limits)
    : impl_(std::make_unique<Impl>(service, log, limits)) {}

HttpServer::~HttpServer() {
  if (impl_->daemon) stop(std::chrono::milliseconds(0));
}

int HttpServer::start(const std::string& host, int port) {
  Impl& s = *impl_;
  bool v6 = false;
  const int fd = listenOn(host, port, v6);
  const int bound = boundPort(fd);
  unsigned flags = MHD_USE_EPOLL_INTERNAL_THREAD | MHD_ALLOW_SUSPEND_RESUME | MHD_USE_ITC;
  if (v6) flags |= MHD_USE_IPv6;
  s.daemon = MHD_start_daemon(
      flags, 0, nullptr, nullptr, onRequest, &s, MHD_OPTION_LISTEN_SOCKET, fd,
      MHD_OPTION_THREAD_POOL_SIZE, 2u, MHD_OPTION_CONNECTION_LIMIT,
      static_cast<unsigned>(s.limits.maxConnections), MHD_OPTION_CONNECTION_TIMEOUT,
      static_cast<unsigned>(s.limits.timeoutSeconds), MHD_OPTION_CONNECTION_MEMORY_LIMIT,
      s.limits.connectionMemory, MHD_OPTION_STRICT_FOR_CLIENT, 1, MHD_OPTION_NOTIFY_CONNECTION,
      onConnection, &s, MHD_OPTION_NOTIFY_COMPLETED, onEnded, &s, MHD_OPTION_URI_LOG_CALLBACK,
      onUri, &s, MHD_OPTION_END);
  if (!s.daemon) {
    close(fd);
    throw std::runtime_error("the HTTP event loop did not start");
  }
  for (int i = 0; i < s.limits.workers; ++i) s.workers.emplace_back([&s] { s.work(); });
  s.sweeper = std::thread([&s] { s.sweep(); });
  return bound;
}

bool HttpServer::stop(std::chrono::milliseconds grace) {
  Impl& s = *impl_;
  if (!s.daemon) return true;
  const auto deadline = Clock::now() + grace;
  const MHD_socket listening = MHD_quiesce_daemon(s.daemon);
  if (listening != MHD_INVALID_SOCKET) close(listening);
  std::deque<Request*> waiting;
  {
    std::unique_lock lock(s.queueMutex);
    s.stopping = true;
    waiting.swap(s.queue);
    s.queueReady.notify_all();
  }
  for (Request* req : waiting) {
    req->reply = {503, "text/plain; charset=utf-8", "the server is stopping"};
    req->state = Request::kAnswered;
    MHD_resume_connection(req->mhd);
  }
  bool finished;
  {
    std::unique_lock lock(s.queueMutex);
    finished = s.workersIdle.wait_until(lock, deadline, [&] { return s.running == 0; });
  }
  // Answers already made get until the end of the grace to leave.
  while (finished && s.inHand > 0 && Clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  {
    std::lock_guard lock(s.sweepMutex);
    s.sweepStop = true;
  }
  s.sweepWake.notify_all();
  s.sweeper.join();
  if (!finished) {
    // A worker is still waiting on the store: the process ends without it.
    for (auto& t : s.workers) t.detach();
    return false;
  }
  for (auto& t : s.workers) t.join();
  MHD_stop_daemon(s.daemon);
  s.daemon = nullptr;
  return true;
}

}  // namespace scores
