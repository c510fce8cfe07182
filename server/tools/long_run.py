#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The long hostile run against morvane-scores on 127.0.0.1, for figures (CI runs the short cases
in tests/server/hostile.py). Bounded in count and time; ends by itself.

    long_run.py --server PATH --db PATH|postgresql://... [--held 1000] [--requests 20000]
                [--concurrency 200] [--seconds-per-byte 3]

1. `held` idle connections and `held` slowloris connections (one byte every few seconds) are
   kept open, each reopened as soon as the server closes it, while `ab -n REQUESTS -c
   CONCURRENCY` sends reports (a new connection each): ab's percentiles, and rows stored against
   ok answers.
2. A 1 GB header line without a newline: how much the server read and its peak RSS.
3. The page asked with a Range header of 2,700 ranges: the answer's size and the server's RSS.
Needs ab (apache2-utils) and, for PostgreSQL, psql. The server's open-file limit must exceed
2 x held + concurrency (ulimit -n).
"""
import argparse
import os
import re
import resource
import selectors
import signal
import socket
import sqlite3
import subprocess
import sys
import tempfile
import threading
import time

args = argparse.ArgumentParser()
args.add_argument("--server", required=True)
args.add_argument("--db", required=True)
args.add_argument("--held", type=int, default=1000)
args.add_argument("--requests", type=int, default=20000)
args.add_argument("--concurrency", type=int, default=200)
args.add_argument("--seconds-per-byte", type=float, default=3)
# For a server from before the connection limits: only --rate 0 is passed, and only ab runs.
args.add_argument("--plain", action="store_true")
opts = args.parse_args()
WORK = tempfile.mkdtemp(prefix="morvane-long-")


def start_server(*extra):
    log = os.path.join(WORK, "server.log")
    proc = subprocess.Popen([opts.server, "--listen", "127.0.0.1:0", "--db", opts.db] + list(extra),
                            stdout=open(log, "w"), stderr=subprocess.STDOUT)
    for _ in range(400):
        m = re.search(r"serving http://127.0.0.1:(\d+)/", open(log).read())
        if m:
            return proc, int(m.group(1)), log
        if proc.poll() is not None:
            break
        time.sleep(0.05)
    proc.kill()
    sys.exit("the server did not start: " + open(log).read())


def rss(pid, field):
    for line in open("/proc/%d/status" % pid):
        if line.startswith(field + ":"):
            return int(line.split()[1])
    return 0


def rows():
    if opts.db.startswith("postgres"):
        return int(subprocess.check_output(["psql", "-qtA", opts.db, "-c",
                                            "SELECT COUNT(*) FROM reports"]).strip())
    with sqlite3.connect(opts.db) as c:
        return c.execute("SELECT COUNT(*) FROM reports").fetchone()[0]


class Held:
    """`count` idle and `count` trickling connections, reopened as the server closes them."""

    def __init__(self, port, count):
        self.port, self.count = port, count
        self.stop = threading.Event()
        self.reopened = 0
        self.thread = threading.Thread(target=self.run)
        self.thread.start()

    def open(self, i):
        s = socket.socket()
        s.bind(("127.0.%d.%d" % (1 + i // 250, 2 + i % 250), 0))  # not ab's 127.0.0.1
        s.setblocking(False)
        try:
            s.connect(("127.0.0.1", self.port))
        except BlockingIOError:
            pass
        return s

    def run(self):
        sel = selectors.DefaultSelector()
        trickle = b"GET / HTTP/1.1\r\nHost: x\r\nX-Slow: " + b"a" * 100000
        socks = {}
        for i in range(2 * self.count):
            s = self.open(i)
            socks[s] = (i, 0)
            sel.register(s, selectors.EVENT_READ)
        next_byte = time.monotonic()
        while not self.stop.is_set():
            for key, _ in sel.select(timeout=0.2):
                s = key.fileobj
                try:
                    data = s.recv(4096)
                except (BlockingIOError, InterruptedError):
                    continue
                except OSError:
                    data = b""
                if not data:  # closed by the server: open another in its place
                    i, _ = socks.pop(s)
                    sel.unregister(s)
                    s.close()
                    n = self.open(i)
                    socks[n] = (i, 0)
                    sel.register(n, selectors.EVENT_READ)
                    self.reopened += 1
            if time.monotonic() >= next_byte:
                next_byte = time.monotonic() + opts.seconds_per_byte
                for s, (i, at) in list(socks.items()):
                    if i % 2 == 1:  # every other connection trickles
                        try:
                            s.send(trickle[at:at + 1])
                            socks[s] = (i, at + 1)
                        except OSError:
                            pass
        for s in socks:
            s.close()

    def end(self):
        self.stop.set()
        self.thread.join()


def ab(port):
    target = ("http://127.0.0.1:%d/morvane/mv.asp?action2=add&playername=AB%%201.7&level=1&"
              "score=1" % port)
    out = subprocess.run(["ab", "-q", "-s", "30", "-n", str(opts.requests), "-c",
                          str(opts.concurrency), target], capture_output=True, text=True).stdout
    figures = {}
    for key, pattern in (("rps", r"Requests per second:\s+([\d.]+)"),
                         ("failed", r"Failed requests:\s+(\d+)"),
                         ("non2xx", r"Non-2xx responses:\s+(\d+)"),
                         ("complete", r"Complete requests:\s+(\d+)")):
        m = re.search(pattern, out)
        figures[key] = float(m.group(1)) if m else 0.0
    for q in ("50", "99", "100"):
        m = re.search(r"^\s+%s%%\s+(\d+)" % q, out, re.M)
        figures["p" + q] = int(m.group(1)) if m else -1
    return figures, out


def one_gb_line(port, pid):
    s = socket.create_connection(("127.0.0.1", port))
    s.sendall(b"GET / HTTP/1.1\r\nX-Long: ")
    chunk = b"A" * (1 << 20)
    sent = 0
    try:
        while sent < 1 << 30:
            sent += s.send(chunk)
    except OSError:
        pass
    s.close()
    return sent, rss(pid, "VmHWM")


def ranged(port, pid):
    header = "Range: bytes=0-" + ",0-" * 2700
    s = socket.create_connection(("127.0.0.1", port))
    s.sendall(("GET / HTTP/1.1\r\nHost: x\r\nConnection: close\r\n%s\r\n\r\n" % header).encode())
    answer = b""
    while True:
        d = s.recv(1 << 16)
        if not d:
            break
        answer += d
    return answer[9:12].decode(), len(answer), rss(pid, "VmHWM")


def main():
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    need = 2 * opts.held + opts.concurrency + 100
    if soft < need:
        resource.setrlimit(resource.RLIMIT_NOFILE, (min(hard, need), hard))
    print("long run: open-file limit %d (needs %d for %d held connections and %d of ab's)" %
          (resource.getrlimit(resource.RLIMIT_NOFILE)[0], need, 2 * opts.held, opts.concurrency))
    limits = ["--rate-all", "0", "--max-per-address", "0", "--max-connections", str(need)]
    proc, port, log = start_server("--rate", "0", *([] if opts.plain else limits))
    before = rows()
    base = rss(proc.pid, "VmRSS")
    held = Held(port, opts.held)
    time.sleep(3 if opts.held else 0)
    f, out = ab(port)
    reopened = held.reopened
    peak_held = rss(proc.pid, "VmHWM")
    held.end()
    stored = rows() - before
    ok = f["complete"] - f["failed"] - f["non2xx"]
    print("long run: %d idle + %d slowloris connections held (%d reopened after the server "
          "closed them) during ab -n %d -c %d: %.0f reports/s, p50 %d ms, p99 %d ms, max %d ms; "
          "%d failed, %d not 2xx; %d ok answers, %d rows stored, %d lost; RSS %d KB before, "
          "peak %d KB" % (opts.held, opts.held, reopened, opts.requests, opts.concurrency,
                          f["rps"], f["p50"], f["p99"], f["p100"], f["failed"], f["non2xx"], ok,
                          stored, ok - stored, base, peak_held))
    if opts.plain:
        proc.send_signal(signal.SIGTERM)
        proc.wait(30)
        return
    sent, peak = one_gb_line(port, proc.pid)
    print("long run: a 1 GB header line: the server closed it after %d KB; peak RSS %d KB" %
          (sent >> 10, peak))
    status, size, peak = ranged(port, proc.pid)
    print("long run: the page with %d ranges: status %s, %d bytes; peak RSS %d KB" %
          (2701, status, size, peak))
    proc.send_signal(signal.SIGTERM)
    proc.wait(10)
    if ok != stored:
        sys.exit(1)


main()
