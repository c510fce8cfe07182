#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Hostile clients against a real morvane-scores process on 127.0.0.1 (and, for IPv6, on the
loopback of a network namespace of its own). Each case is short and bounded, and asserts the
sound outcome: normal requests still answered quickly while the attack runs, memory bounded,
nothing stored that should not be, and a bounded exit.

    hostile.py PATH/TO/morvane-scores CASE

Cases that need PostgreSQL read MORVANE_TEST_POSTGRES_URL and exit 77 (skipped) without it; the
IPv6 case needs root for its namespace and exits 77 without.
"""
import os
import re
import shutil
import signal
import socket
import sqlite3
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

SERVER = os.path.realpath(sys.argv[1])
CASE = sys.argv[2]
SKIP = 77
TIMEOUT = 2  # the server's --timeout in these runs, to keep them short
WORK = tempfile.mkdtemp(prefix="morvane-hostile-")


def fail(message):
    print("hostile %s: FAILED: %s" % (CASE, message))
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


STARTED = []  # every server process, killed at the end whatever happened


class Server:
    def __init__(self, db, *options, host="127.0.0.1", start_wait=10):
        self.log = os.path.join(WORK, "server-%d.log" % time.monotonic_ns())
        args = [SERVER, "--listen", ("[%s]:0" % host) if ":" in host else host + ":0", "--db", db,
                "--timeout", str(TIMEOUT)] + list(options)
        self.proc = subprocess.Popen(args, stdout=open(self.log, "w"), stderr=subprocess.STDOUT)
        STARTED.append(self.proc)
        self.port = None
        for _ in range(int(start_wait / 0.05)):
            match = re.search(r"serving http://\S+:(\d+)/", self.text())
            if match:
                self.port = int(match.group(1))
                return
            if self.proc.poll() is not None:
                break
            time.sleep(0.05)
        self.proc.kill()
        fail("the server did not start: " + self.text())

    def text(self):
        with open(self.log, errors="replace") as f:
            return f.read()

    def rss_kb(self, field="VmRSS"):
        with open("/proc/%d/status" % self.proc.pid) as f:
            for line in f:
                if line.startswith(field + ":"):
                    return int(line.split()[1])
        return 0

    def alive(self):
        return self.proc.poll() is None

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
                fail("the server did not stop within 10 s of SIGTERM")


def connect(port, source="127.0.0.1", family=socket.AF_INET, host="127.0.0.1"):
    s = socket.socket(family, socket.SOCK_STREAM)
    s.bind((source, 0))
    s.settimeout(10)
    s.connect((host, port))
    return s


def read_all(s, limit=64 << 20):
    out = b""
    try:
        while len(out) < limit:
            d = s.recv(1 << 16)
            if not d:
                break
            out += d
    except (socket.timeout, ConnectionResetError):
        pass
    return out


def request(port, method, target, headers="", source="127.0.0.1", family=socket.AF_INET,
            host="127.0.0.1"):
    """One request on a fresh connection: (status, body, whole answer, seconds)."""
    start = time.monotonic()
    s = connect(port, source, family, host)
    s.sendall(("%s %s HTTP/1.1\r\nHost: x\r\nConnection: close\r\n%s\r\n" %
               (method, target, headers)).encode("latin-1"))
    answer = read_all(s)
    s.close()
    took = time.monotonic() - start
    status = int(answer[9:12]) if len(answer) > 12 else 0
    return status, answer.partition(b"\r\n\r\n")[2], answer, took


def report_target(name, level=1, score=10):
    return "/morvane/mv.asp?action2=add&playername=%s%%201.7&level=%d&score=%d" % (
        urllib.parse.quote(name), level, score)


NAMES = iter("N%05d" % i for i in range(100000))


def normal_requests(port, count=20, pause=0.05):
    """Reports and page views of a well-behaved client; every one must be answered at once."""
    times = []
    for i in range(count):
        target = report_target(next(NAMES)) if i % 2 == 0 else "/scores.json"
        status, body, _, took = request(port, "GET", target)
        check(status == 200, "a normal request was answered %d %r" % (status, body[:80]))
        times.append(took * 1000)
        time.sleep(pause)
    return times


def expect_quick(times, what):
    times = sorted(times)
    slow = [t for t in times if t >= 100]
    print("hostile %s: %d normal requests %s: median %.1f ms, slowest %.1f ms" %
          (CASE, len(times), what, times[len(times) // 2], times[-1]))
    # Under 100 ms each; a shared CI machine may stall one now and then, never most.
    check(len(slow) <= len(times) // 10 and times[-1] < 1000,
          "normal requests slowed while %s: %s" % (what, ["%.0f" % t for t in times]))


def closed_by_server(s, within):
    """Whether the server closes `s` within `within` seconds (reading whatever it sends)."""
    s.settimeout(within)
    try:
        while s.recv(4096):
            pass
        return True
    except ConnectionResetError:
        return True
    except socket.timeout:
        return False


def rows(db):
    with sqlite3.connect(db) as c:
        return c.execute("SELECT COUNT(*) FROM reports").fetchone()[0]


def sqlite_db(name="scores"):
    return os.path.join(WORK, name + ".sqlite")


def attacker_sources(count, per=8, first=2):
    """Source addresses of 127.0.0.0/8 other than 127.0.0.1, `per` connections each."""
    return ["127.0.%d.%d" % ((first + i // per) // 250, 2 + (first + i // per) % 250)
            for i in range(count)]


# --- the cases: one per row of the audit -------------------------------------------------------


def case_idle():
    server = Server(sqlite_db(), "--rate", "0", "--rate-all", "0", "--max-connections", "300")
    held = []
    for source in attacker_sources(280):
        held.append(connect(server.port, source))
    # A ninth connection from one client is closed at once.
    extra = connect(server.port, attacker_sources(1)[0])
    check(closed_by_server(extra, 1.0), "a ninth connection from one client was kept open")
    time.sleep(0.3)
    expect_quick(normal_requests(server.port), "280 idle connections are held")
    # Beyond the total cap connections wait in the listening queue, taking nothing of the server.
    over = [connect(server.port, s) for s in attacker_sources(40, first=200)]
    time.sleep(0.3)
    files = len(os.listdir("/proc/%d/fd" % server.proc.pid))
    print("hostile idle: 320 connections opened with --max-connections 300: the server holds %d "
          "open files" % files)
    check(files < 300 + 40, "the server holds %d open files" % files)
    for s in over:
        s.close()
    check(all(closed_by_server(s, TIMEOUT + 1.5) for s in held),
          "idle connections were still open %d s after they opened" % (TIMEOUT + 1.5))
    expect_quick(normal_requests(server.port, 6), "after the idle connections")
    check(server.rss_kb() < 64 * 1024, "RSS %d KB" % server.rss_kb())
    server.stop()


def trickle(sockets, stop, interval=0.5):
    """Sends a request one byte at a time to every socket in turn until `stop` is set."""
    text = b"GET / HTTP/1.1\r\nHost: x\r\nX-Padding: " + b"a" * 4000 + b"\r\n\r\n"
    at = 0
    while not stop.is_set() and at < len(text):
        for s in sockets:
            try:
                s.send(text[at:at + 1])
            except OSError:
                pass
        at += 1
        stop.wait(interval)


def case_slowloris():
    server = Server(sqlite_db(), "--rate", "0", "--rate-all", "0")
    sockets = [connect(server.port, s) for s in attacker_sources(64)]
    opened = time.monotonic()
    stop = threading.Event()
    t = threading.Thread(target=trickle, args=(sockets, stop))
    t.start()
    try:
        time.sleep(0.3)
        expect_quick(normal_requests(server.port), "64 connections trickle a byte each 0.5 s")
        check(all(closed_by_server(s, max(0.1, opened + TIMEOUT + 1.5 - time.monotonic()))
                  for s in sockets),
              "a trickling connection was still open %.1f s after it opened" % (TIMEOUT + 1.5))
    finally:
        stop.set()
        t.join()
    log = server.text()
    check("64 connections closed without a whole request in 2 s" in log or
          "closed without a whole request" in log, "the closing is not logged: " + log[-500:])
    server.stop()


def case_sigterm():
    server = Server(sqlite_db(), "--grace", "2", "--max-per-address", "0")
    sockets = [connect(server.port) for _ in range(64)]
    stop = threading.Event()
    t = threading.Thread(target=trickle, args=(sockets[32:], stop))
    t.start()
    time.sleep(0.5)
    start = time.monotonic()
    server.proc.send_signal(signal.SIGTERM)
    try:
        time.sleep(0.2)
        refused = False
        try:
            connect(server.port).close()
        except OSError:
            refused = True
        check(refused, "the server still accepted connections 0.2 s after SIGTERM")
        try:
            code = server.proc.wait(3.5)
        except subprocess.TimeoutExpired:
            server.proc.kill()
            fail("not exited 3.5 s after SIGTERM with a grace of 2 s")
        took = time.monotonic() - start
        print("hostile sigterm: exited %.2f s after SIGTERM with 64 connections held, status %d" %
              (took, code))
        check(code == 0, "exit status %d" % code)
    finally:
        stop.set()
        t.join()


def flood(s, chunk, total):
    """Sends up to `total` bytes of `chunk`; how many the server took before it closed."""
    sent = 0
    try:
        while sent < total:
            sent += s.send(chunk)
    except OSError:
        pass
    return sent


def case_long_line():
    server = Server(sqlite_db(), "--max-per-address", "0", "--rate", "0", "--rate-all", "0")
    base = server.rss_kb()
    total = 64 << 20
    heads = [b"GET /", b"GET / HTTP/1.1\r\nX-Long: "]
    results = []

    def one(i):
        s = connect(server.port)
        s.settimeout(10)
        s.sendall(heads[i % 2])
        results.append(flood(s, b"A" * 65536, total))
        s.close()

    threads = [threading.Thread(target=one, args=(i,)) for i in range(8)]
    for t in threads:
        t.start()
    times = normal_requests(server.port, 10)
    for t in threads:
        t.join()
    peak = server.rss_kb("VmHWM")
    print("hostile long_line: 8 lines without a newline: the server took at most %d KB of %d MB "
          "each; RSS %d KB before, peak %d KB" % (max(results) >> 10, total >> 20, base, peak))
    check(max(results) < 16 << 20, "the server read %d bytes of a line it cannot keep" %
          max(results))
    check(peak < base + 32 * 1024, "peak RSS %d KB (from %d KB)" % (peak, base))
    expect_quick(times, "8 endless lines arrive")
    check(server.alive(), "the server died")
    server.stop()


def case_bodies():
    db = sqlite_db()
    server = Server(db, "--max-per-address", "0", "--rate", "0", "--rate-all", "0")
    base = server.rss_kb()
    hidden = b"GET " + report_target("HIDDEN").encode() + b" HTTP/1.1\r\nHost: x\r\n\r\n"
    cases = {
        "chunked POST": b"POST / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n",
        "chunked PUT": b"PUT / HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n",
        "length PUT": b"PUT / HTTP/1.1\r\nHost: x\r\nContent-Length: 1000000000\r\n\r\n",
        "gzip POST": b"POST / HTTP/1.1\r\nHost: x\r\nContent-Encoding: gzip\r\n"
                     b"Content-Length: 204800\r\n\r\n",
        "length-less POST": b"POST / HTTP/1.1\r\nHost: x\r\n\r\n",
    }
    for what, head in cases.items():
        s = connect(server.port)
        s.sendall(head)
        chunk = (b"10000\r\n" + b"B" * 65536 + b"\r\n") if b"chunked" in head else hidden * 1000
        taken = flood(s, chunk, 32 << 20)
        answer = read_all(s)
        s.close()
        status = int(answer[9:12]) if len(answer) > 12 else 0
        print("hostile bodies: %s: answered %d, the server took %d KB of 32 MB" %
              (what, status, taken >> 10))
        check(status in (400, 405, 0) and answer.count(b"HTTP/1.1") <= 1,
              "%s answered %r" % (what, answer[:200]))
        check(taken < 16 << 20, "%s: the server read %d bytes of a body" % (what, taken))
    peak = server.rss_kb("VmHWM")
    check(peak < base + 32 * 1024, "peak RSS %d KB (from %d KB)" % (peak, base))
    expect_quick(normal_requests(server.port, 6), "after the bodies")
    server.stop()
    check(rows(db) == 3, "%d rows stored for 3 normal reports" % rows(db))


def case_range():
    db = sqlite_db()
    server = Server(db, "--rate", "0", "--rate-all", "0")
    for i in range(300):
        request(server.port, "GET", report_target(next(NAMES), 1 + i % 30, i))
    base = server.rss_kb()
    _, whole, _, _ = request(server.port, "GET", "/")
    ranges = "Range: bytes=0-" + ",0-" * 2700 + "\r\n"
    answers = []

    def one():
        answers.append(request(server.port, "GET", "/", ranges))

    threads = [threading.Thread(target=one) for _ in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    peak = server.rss_kb("VmHWM")
    print("hostile range: 4 pages asked with %d-byte Range headers: %s bytes each, status %s; "
          "RSS %d KB before, peak %d KB" % (len(ranges), sorted({len(a[1]) for a in answers}),
                                          sorted({a[0] for a in answers}), base, peak))
    check(all(a[0] == 200 and a[1] == whole for a in answers), "a ranged answer differs")
    check(peak < base + 32 * 1024, "peak RSS %d KB" % peak)
    server.stop()


def case_head():
    db = sqlite_db()
    server = Server(db)
    status, body, answer, _ = request(server.port, "HEAD", report_target("HEADER"))
    check(status == 200 and body == b"", "HEAD answered %r" % answer)
    status, _, _, _ = request(server.port, "HEAD", "/morvane/mv.asp?level=4")
    check(status == 400, "HEAD of a bad report answered %d" % status)
    server.stop()
    check(rows(db) == 0, "HEAD stored %d rows" % rows(db))


def case_smuggle():
    db = sqlite_db()
    server = Server(db)
    hidden = ("GET " + report_target("SMUGGLED") + " HTTP/1.1\r\nHost: x\r\n\r\n").encode()
    body = b"x" * 4096 + hidden
    for framing in (b"Content-Length: %d\r\n\r\n" % len(body) + body,
                    b"Transfer-Encoding: chunked\r\n\r\n%x\r\n" % len(body) + body + b"\r\n0\r\n\r\n"):
        s = connect(server.port)
        s.sendall(b"GET / HTTP/1.1\r\nHost: x\r\n" + framing)
        answer = read_all(s)
        s.close()
        check(answer.startswith(b"HTTP/1.1 400") and answer.count(b"HTTP/1.1") == 1,
              "a GET with a body was answered %r" % answer[:200])
    # Two pipelined requests: the first is answered and the connection closes at once.
    s = connect(server.port)
    start = time.monotonic()
    s.sendall(b"GET /scores.json HTTP/1.1\r\nHost: x\r\n\r\n" + hidden)
    answer = read_all(s)
    took = time.monotonic() - start
    s.close()
    print("hostile smuggle: two pipelined requests: %d answered, closed after %.3f s" %
          (answer.count(b"HTTP/1.1 "), took))
    check(answer.startswith(b"HTTP/1.1 200") and took < 1, "pipelined: %r" % answer[:200])
    server.stop()
    check(rows(db) == 0, "a report hidden in a body was stored")


def in_namespace():
    """Re-runs this case inside a network namespace of its own; False when that cannot be."""
    if os.environ.get("MORVANE_HOSTILE_NETNS"):
        return True
    if os.geteuid() != 0 or not shutil.which("unshare") or not shutil.which("ip"):
        return False
    env = dict(os.environ, MORVANE_HOSTILE_NETNS="1")
    code = subprocess.call(["unshare", "--net", sys.executable] + sys.argv, env=env)
    shutil.rmtree(WORK, ignore_errors=True)
    sys.exit(code)


def case_ipv6():
    if not in_namespace():
        print("hostile ipv6: needs root and unshare for a network namespace; skipped")
        sys.exit(SKIP)
    subprocess.check_call(["ip", "link", "set", "lo", "up"])
    one = ["fd00:0:0:1::%x" % (i + 1) for i in range(100)]
    other = "fd00:0:0:2::1"
    for a in one + [other]:
        subprocess.check_call(["ip", "-6", "addr", "add", a + "/128", "dev", "lo", "nodad"])
    db = sqlite_db()
    server = Server(db, "--rate", "20", "--rate-all", "0", host="::")
    v6 = dict(family=socket.AF_INET6, host="::1")

    def reports(source, count, **where):
        return sum(request(server.port, "GET", report_target(next(NAMES)), source=source,
                           **where)[0] == 200 for _ in range(count))

    ok_one = sum(reports(a, 25, **v6) for a in one)
    ok_other = reports(other, 25, **v6)
    ok_v4 = reports("127.0.0.1", 25, family=socket.AF_INET, host="127.0.0.1")
    print("hostile ipv6: 100 addresses of one /64 sent 2500 reports: %d ok; another /64: %d ok; "
          "IPv4 through the same socket: %d ok" % (ok_one, ok_other, ok_v4))
    check(ok_one == 20 and ok_other == 20 and ok_v4 == 20, "the /64 limit does not hold")
    # Connections count by the /64 too.
    held = [connect(server.port, a, **v6) for a in one[:8]]
    ninth = connect(server.port, one[50], **v6)
    check(closed_by_server(ninth, 1.0), "a ninth connection from one /64 was kept open")
    for s in held:
        s.close()
    server.stop()
    log = server.text()
    check(" 127.0.0.1 \"GET /morvane" in log and "::ffff:" not in log,
          "an IPv4 client is not logged as its IPv4 address")


def case_rate_all():
    db = sqlite_db()
    server = Server(db, "--rate", "20", "--rate-all", "30", "--max-per-address", "0")
    ok = sum(request(server.port, "GET", report_target(next(NAMES)), source=s)[0] == 200
             for s in attacker_sources(50, per=1))
    print("hostile rate_all: 50 addresses, one report each, with --rate-all 30: %d ok" % ok)
    server.stop()
    check(ok == 30 and rows(db) == 30, "%d ok, %d rows" % (ok, rows(db)))


def case_log():
    server = Server(sqlite_db(), "--rate", "0", "--rate-all", "0")
    before = len(server.text())
    raw = bytes(range(0x80, 0x100)) * 32  # 8 KB of bytes that are not ASCII
    count = 200
    for _ in range(count):
        s = connect(server.port)
        s.sendall(b"GET /" + raw + b" HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n")
        read_all(s)
        s.close()
    s = connect(server.port, "127.0.0.9")
    s.sendall(b"GET / HTTP/1.1\r\nHost: x\r\nBroken header line\r\n\r\n")
    read_all(s)
    s.close()
    time.sleep(0.2)
    server.stop()
    logged = server.text()[before:]
    lines = [l for l in logged.splitlines() if "GET /" in l]
    longest = max(len(l) for l in lines)
    print("hostile log: %d requests with 8 KB targets of raw bytes: %d log bytes, the longest "
          "line %d bytes" % (count, len(logged), longest))
    check(longest < 1200, "a logged line of %d bytes" % longest)
    check(len(logged) < count * 1200 + 4096, "%d log bytes for %d requests" % (len(logged), count))
    check(re.search(r" 127\.0\.0\.9 \"- /\" malformed", logged),
          "a malformed request is logged without its address: " + logged[-300:])


def case_sqlite_deleted():
    db = sqlite_db()
    server = Server(db, "--rate", "0", "--rate-all", "0")
    for _ in range(5):
        check(request(server.port, "GET", report_target(next(NAMES)))[0] == 200, "no ok")
    os.remove(db)
    answers = [request(server.port, "GET", report_target(next(NAMES))) for _ in range(10)]
    time.sleep(1.1)  # past the page's cache
    page = request(server.port, "GET", "/")
    server.stop()
    print("hostile sqlite_deleted: after the file went: reports answered %s, the page %d" %
          (sorted({(a[0], a[1]) for a in answers}), page[0]))
    check(all(a[0] == 503 and a[1] == b"store unavailable" for a in answers),
          "a report was answered %r after the file was deleted" % [a[:2] for a in answers])
    check(page[0] == 503, "the page was answered %d" % page[0])
    check("deleted or moved" in server.text(), "the log does not say why")


def load_pages(port, stop, served):
    """32 clients loading the page as fast as they can, in a process of their own."""

    def load(i):
        source = attacker_sources(32, per=1)[i]
        while not stop.is_set():
            status, body, _, _ = request(port, "GET", "/", source=source)
            with served.get_lock():
                served.value += 1 if status == 200 and len(body) > 1000 else -1000000

    threads = [threading.Thread(target=load, args=(i,)) for i in range(32)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()


def case_page_load():
    db = sqlite_db()
    total = int(os.environ.get("MORVANE_HOSTILE_ROWS", "1000000"))
    start = time.monotonic()
    # A store as the first server wrote it, bare table only: the server adds its indexes, its
    # kept count and each player's best when it opens it.
    with sqlite3.connect(db) as c:
        c.execute("CREATE TABLE reports (id INTEGER PRIMARY KEY, name TEXT NOT NULL, version TEXT "
                  "NOT NULL, level INTEGER NOT NULL, score BIGINT NOT NULL, received TEXT NOT "
                  "NULL, address TEXT NOT NULL)")
        c.executemany("INSERT INTO reports (name, version, level, score, received, address) "
                      "VALUES (?, '1.7', ?, ?, '2026-01-01T00:00:00Z', '192.0.2.1')",
                      (("P%d" % (i % 5000), 1 + i % 3000, (i * 7919) % 1000000)
                       for i in range(total)))
    page_load(db, total, time.monotonic() - start)


def case_page_load_pg():
    database = Database()
    try:
        total = int(os.environ.get("MORVANE_HOSTILE_ROWS", "1000000"))
        start = time.monotonic()
        psql(database.url,
             "CREATE TABLE reports (id BIGSERIAL PRIMARY KEY, name TEXT NOT NULL, version TEXT "
             "NOT NULL, level INTEGER NOT NULL, score BIGINT NOT NULL, received TEXT NOT NULL, "
             "address TEXT NOT NULL); INSERT INTO reports (name, version, level, score, received, "
             "address) SELECT 'P' || (i %% 5000), '1.7', 1 + i %% 3000, (i::bigint * 7919) %% 1000000, "
             "'2026-01-01T00:00:00Z', '192.0.2.1' FROM generate_series(0, %d) AS i" % (total - 1))
        page_load(database.url, total, time.monotonic() - start)
    finally:
        database.drop()


def page_load(db, total, written):
    import multiprocessing
    start = time.monotonic()
    server = Server(db, "--rate", "0", "--rate-all", "0", "--max-per-address", "0",
                    start_wait=90)
    print("hostile %s: %d rows written in %.1f s; the server opened them in %.1f s" %
          (CASE, total, written, time.monotonic() - start))

    def report_times(count):
        return sorted(request(server.port, "GET", report_target(next(NAMES)))[3] * 1000
                      for _ in range(count))

    quiet = report_times(200)
    stop = multiprocessing.Event()
    served = multiprocessing.Value("l", 0)
    loader = multiprocessing.Process(target=load_pages, args=(server.port, stop, served))
    loader.start()
    time.sleep(0.5)
    start = time.monotonic()
    before = served.value
    busy = report_times(200)
    pages = (served.value - before) / (time.monotonic() - start)
    stop.set()
    loader.join()
    server.stop()
    p99 = lambda t: t[min(len(t) - 1, int(len(t) * 0.99))]
    print("hostile %s: reports p50 %.1f ms, p99 %.1f ms alone; p50 %.1f ms, p99 %.1f ms "
          "with 32 clients loading the page (%.0f pages/s)" %
          (CASE, quiet[len(quiet) // 2], p99(quiet), busy[len(busy) // 2], p99(busy), pages))
    check(served.value > 0, "a page load failed")
    # The old server took 0.6-2.2 s here; the page loaders share the machine's two cores with the
    # server and the store, so the bound leaves room for that and catches what matters.
    check(p99(busy) < max(200, 3 * p99(quiet)), "page loads slowed reports")


def psql(url, statement):
    subprocess.check_call(["psql", "-q", "-v", "ON_ERROR_STOP=1", url, "-c", statement],
                          stdout=subprocess.DEVNULL)


class Database:
    """A database of its own in the PostgreSQL server of MORVANE_TEST_POSTGRES_URL."""

    def __init__(self):
        self.admin = os.environ.get("MORVANE_TEST_POSTGRES_URL")
        if not self.admin:
            print("hostile %s: MORVANE_TEST_POSTGRES_URL is not set; skipped" % CASE)
            sys.exit(SKIP)
        self.name = "hostile_%d" % os.getpid()
        psql(self.admin, "CREATE DATABASE " + self.name)
        parts = urllib.parse.urlsplit(self.admin)
        self.url = urllib.parse.urlunsplit(parts._replace(path="/" + self.name))
        self.query = urllib.parse.parse_qs(parts.query)

    def rows(self):
        out = subprocess.check_output(["psql", "-qtA", self.url, "-c",
                                       "SELECT COUNT(*) FROM reports"])
        return int(out.strip())

    def drop(self):
        psql(self.admin, "DROP DATABASE IF EXISTS %s WITH (FORCE)" % self.name)


class FreezingProxy:
    """Passes PostgreSQL's unix socket through, and can stop passing anything at all, as a
    database that is frozen looks to its clients."""

    def __init__(self, target):
        self.dir = tempfile.mkdtemp(prefix="morvane-proxy-", dir=WORK)
        self.target = target
        self.frozen = threading.Event()
        self.listener = socket.socket(socket.AF_UNIX)
        self.listener.bind(os.path.join(self.dir, ".s.PGSQL.5432"))
        self.listener.listen(64)
        threading.Thread(target=self.accept, daemon=True).start()

    def accept(self):
        while True:
            client, _ = self.listener.accept()
            upstream = socket.socket(socket.AF_UNIX)
            upstream.connect(self.target)
            for a, b in ((client, upstream), (upstream, client)):
                threading.Thread(target=self.pipe, args=(a, b), daemon=True).start()

    def pipe(self, a, b):
        try:
            while True:
                data = a.recv(65536)
                if not data:
                    break
                while self.frozen.is_set():
                    time.sleep(0.01)
                b.sendall(data)
        except OSError:
            pass
        for s in (a, b):
            try:
                s.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass


def case_pg_frozen():
    database = Database()
    try:
        host = database.query["host"][0]
        proxy = FreezingProxy(os.path.join(host, ".s.PGSQL.5432"))
        url = "postgresql://postgres@/%s?host=%s" % (database.name, proxy.dir)
        server = Server(url, "--rate", "0", "--rate-all", "0")
        expect_quick(normal_requests(server.port, 6), "before the freeze")
        proxy.frozen.set()
        start = time.monotonic()
        answers = []
        lock = threading.Lock()

        def ask(target, source):
            status, body, _, took = request(server.port, "GET", target, source=source)
            with lock:
                answers.append((target[:12], status, body[:40], round(took, 2)))

        targets = [report_target(next(NAMES)) for _ in range(12)] + ["/", "/scores.json"] * 2
        threads = [threading.Thread(target=ask, args=(t, s))
                   for t, s in zip(targets, attacker_sources(len(targets), per=1))]
        time.sleep(1.1)  # past the page's cache
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        frozen_for = time.monotonic() - start
        proxy.frozen.clear()
        print("hostile pg_frozen: with the database frozen: %s" % sorted(set(a[1:3] for a in answers)))
        print("hostile pg_frozen: slowest answer %.2f s" % max(a[3] for a in answers))
        check(all(a[1] == 503 and a[2] == b"store unavailable" for a in answers),
              "while frozen: %r" % answers)
        check(max(a[3] for a in answers) < 3, "answers took up to %.1f s" % max(a[3] for a in answers))
        start = time.monotonic()
        while request(server.port, "GET", report_target(next(NAMES)))[0] != 200:
            check(time.monotonic() - start < 5, "no recovery within 5 s of the thaw")
        print("hostile pg_frozen: reports ok again %.2f s after the thaw" %
              (time.monotonic() - start))
        server.stop()
    finally:
        database.drop()


def case_pg_shared_rate():
    database = Database()
    try:
        one = Server(database.url, "--rate", "5", "--rate-all", "0")
        two = Server(database.url, "--rate", "5", "--rate-all", "0")
        ok = 0
        for _ in range(4):
            for server in (one, two):
                ok += request(server.port, "GET", report_target(next(NAMES)))[0] == 200
        one.stop()
        two.stop()
        print("hostile pg_shared_rate: 8 reports from one client to two servers on one store "
              "with --rate 5: %d ok" % ok)
        check(ok == 5 and database.rows() == 5, "%d ok, %d rows" % (ok, database.rows()))
    finally:
        database.drop()


CASES = {name[5:]: f for name, f in dict(globals()).items() if name.startswith("case_")}

if __name__ == "__main__":
    if CASE not in CASES:
        print("cases: " + " ".join(CASES))
        sys.exit(2)
    try:
        CASES[CASE]()
    finally:
        for proc in STARTED:
            if proc.poll() is None:
                proc.kill()
                proc.wait()
        shutil.rmtree(WORK, ignore_errors=True)
    print("hostile %s: passed" % CASE)
