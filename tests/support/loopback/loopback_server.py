#!/usr/bin/python3
"""The update and download server the tests talk to, on 127.0.0.1 only.

One process serves:
- HTTP (threaded http.server) on a free port: the committed fixtures below
  fixtures/ ("/newer/Corvanta/version.dat", "/files/hello.txt", ...) and the
  scenario paths "/s/<token>/<scenario>/<name>?size=N&..." described in
  SCENARIOS below; it takes PUT and POST and keeps what it received, and
  serves what was PUT to "/up/<token>/<name>" back at that path;
- FTP (pyftpdlib) on a free port: anonymous read-only over ftp-root, and the
  user "writer" (password "secret") who may write into ftp-upload;
- a third port bound but never listening, so a connection to it is refused.

Once everything listens it writes "http=N", "ftp=N" and "refused=N" lines to
<state>/ports.txt. Each scenario token records its requests, one line each
("VERB RANGE-HEADER"), in <state>/<token>.log, and the bodies of PUT and POST
in <state>/<token>.body.<n> with their Content-Type in <state>/<token>.type.<n>.

Bounded: a stalled answer ends by itself after at most 20 s, and the whole
server ends by itself after an hour.
"""
import argparse
import base64
import os
import socket
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

LAST_MODIFIED = "Wed, 21 Oct 2015 07:28:00 GMT"
STALL_SECONDS = 20
LIFETIME_SECONDS = 3600
AUTH_USER, AUTH_PASSWORD = "alice", "s3cret"

shutdown = threading.Event()
counters = {}
counters_lock = threading.Lock()
uploads = {}  # path -> bytes received by PUT, served again by GET and HEAD
uploads_lock = threading.Lock()


def pattern(size):
    """The bytes of a scenario resource: byte i is (i * 31 + 7) mod 251."""
    return bytes((i * 31 + 7) % 251 for i in range(size))


def next_count(key):
    with counters_lock:
        counters[key] = counters.get(key, 0) + 1
        return counters[key]


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"
    server_version = "Loopback/1.0"

    def log_message(self, *args):
        pass

    # -- plumbing -------------------------------------------------------
    def record(self, token):
        line = "%s %s\n" % (self.command, self.headers.get("Range", "-"))
        with open(os.path.join(self.server.state, token + ".log"), "a") as log:
            log.write(line)

    def send_raw(self, data):
        try:
            self.wfile.write(data)
            self.wfile.flush()
        except OSError:
            pass
        self.close_connection = True

    def answer(self, status, body, headers=(), head_only=False, reason=None):
        self.send_response(status, reason)
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        if not head_only:
            self.send_raw(body)

    def stall(self):
        shutdown.wait(STALL_SECONDS)
        self.close_connection = True

    # -- verbs ----------------------------------------------------------
    def do_HEAD(self):
        self.serve(head_only=True)

    def do_GET(self):
        self.serve(head_only=False)

    def do_PUT(self):
        self.receive()

    def do_POST(self):
        self.receive()

    def receive(self):
        parts = self.path.split("/")
        token = parts[2] if len(parts) > 2 and parts[1] in ("s", "up") else "upload"
        self.record(token)
        length = int(self.headers.get("Content-Length", "0") or "0")
        body = self.rfile.read(length) if length > 0 else b""
        if self.command == "PUT":
            with uploads_lock:
                uploads[urllib.parse.urlsplit(self.path).path] = body
        n = next_count(token + ".body")
        with open(os.path.join(self.server.state, "%s.body.%d" % (token, n)), "wb") as f:
            f.write(body)
        with open(os.path.join(self.server.state, "%s.type.%d" % (token, n)), "w") as f:
            f.write(self.headers.get("Content-Type", ""))
        text = ("received %d bytes\r\nthanks\r\n" % len(body)).encode()
        self.answer(201 if self.command == "PUT" else 200, text,
                    [("Content-Length", str(len(text))), ("Content-Type", "text/plain")])

    def serve(self, head_only):
        url = urllib.parse.urlsplit(self.path)
        parts = url.path.split("/")
        if len(parts) >= 4 and parts[1] == "up":
            self.record(parts[2])
            with uploads_lock:
                data = uploads.get(url.path)
            if data is None:
                Handler.scenario_missing(self, parts[2], {}, head_only)
            else:
                self.full(data, head_only)
            return
        if len(parts) >= 5 and parts[1] == "s":
            token, scenario = parts[2], parts[3]
            query = dict(urllib.parse.parse_qsl(url.query))
            self.record(token)
            SCENARIOS.get(scenario, Handler.scenario_missing)(self, token, query, head_only)
            return
        self.serve_fixture(url.path, head_only)

    def serve_fixture(self, path, head_only):
        root = os.path.realpath(self.server.fixtures)
        target = os.path.realpath(os.path.join(root, urllib.parse.unquote(path).lstrip("/")))
        if not target.startswith(root + os.sep) or not os.path.isfile(target):
            body = b"<html>Not Found</html>"
            self.answer(404, body, [("Content-Length", str(len(body)))], head_only)
            return
        with open(target, "rb") as f:
            data = f.read()
        self.answer(200, data, [("Content-Length", str(len(data))), ("Last-Modified", LAST_MODIFIED),
                                ("Content-Type", "text/plain")], head_only)

    # -- scenarios ------------------------------------------------------
    def full(self, data, head_only, ranges=True, last_modified=True, extra=()):
        headers = [("Content-Type", "application/octet-stream")]
        if last_modified:
            headers.append(("Last-Modified", LAST_MODIFIED))
        headers.extend(extra)
        wanted = self.headers.get("Range", "")
        if ranges and wanted.startswith("bytes=") and wanted.endswith("-") and not head_only:
            start = int(wanted[6:-1])
            if start < len(data):
                headers += [("Content-Length", str(len(data) - start)),
                            ("Content-Range", "bytes %d-%d/%d" % (start, len(data) - 1, len(data)))]
                self.answer(206, data[start:], headers)
                return
        self.answer(200, data, headers + [("Content-Length", str(len(data)))], head_only)

    def scenario_plain(self, token, query, head_only):
        self.full(pattern(int(query.get("size", "1000"))), head_only)

    def scenario_norange(self, token, query, head_only):
        self.full(pattern(int(query.get("size", "1000"))), head_only, ranges=False)

    def scenario_nolastmod(self, token, query, head_only):
        self.full(pattern(int(query.get("size", "1000"))), head_only, last_modified=False)

    def scenario_missing(self, token, query, head_only):
        body = b"<html><body>404 Not Found</body></html>"
        self.answer(404, body, [("Content-Length", str(len(body))), ("Content-Type", "text/html")], head_only)

    def scenario_auth(self, token, query, head_only):
        expected = "Basic " + base64.b64encode(("%s:%s" % (AUTH_USER, AUTH_PASSWORD)).encode()).decode()
        if self.headers.get("Authorization", "") != expected:
            body = b"<html>401</html>"
            self.answer(401, body, [("Content-Length", str(len(body))),
                                    ("WWW-Authenticate", 'Basic realm="loopback"')], head_only)
            return
        self.full(pattern(int(query.get("size", "1000"))), head_only)

    def scenario_failfirst(self, token, query, head_only):
        if next_count(token + ".fail") <= int(query.get("n", "1")):
            self.close_connection = True  # no answer at all
            return
        self.full(pattern(int(query.get("size", "1000"))), head_only)

    def cut(self, data, at, head_only):
        if head_only:
            self.full(data, head_only)
            return
        self.send_response(200)
        self.send_header("Content-Length", str(len(data)))
        self.send_header("Last-Modified", LAST_MODIFIED)
        self.end_headers()
        self.send_raw(data[:at])

    def scenario_cutonce(self, token, query, head_only):
        data = pattern(int(query.get("size", "1000")))
        if not head_only and next_count(token + ".cut") == 1:
            self.cut(data, int(query.get("at", "100")), head_only)
        else:
            self.full(data, head_only, ranges=query.get("ranges", "1") == "1")

    def scenario_cutalways(self, token, query, head_only):
        data = pattern(int(query.get("size", "1000")))
        at = int(query.get("at", "100"))
        wanted = self.headers.get("Range", "")
        if not head_only and wanted.startswith("bytes="):
            # A resumed request is cut too, after half of what is left.
            start = int(wanted[6:-1])
            rest = data[start:]
            self.send_response(206)
            self.send_header("Content-Length", str(len(rest)))
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, len(data) - 1, len(data)))
            self.end_headers()
            self.send_raw(rest[:max(1, len(rest) // 2)] if len(rest) > 1 else b"")
            return
        self.cut(data, at, head_only)

    def scenario_stall(self, token, query, head_only):
        self.stall()

    def scenario_held(self, token, query, head_only):
        """A newer version file, answered only once the test writes <token>.release
        into the state folder (or when the stall bound is over)."""
        release = os.path.join(self.server.state, token + ".release")
        deadline = time.time() + STALL_SECONDS
        while not os.path.exists(release) and time.time() < deadline and not shutdown.is_set():
            time.sleep(0.05)
        self.full(b"9.9.9 build 9999\r\n", head_only)

    def scenario_stallbody(self, token, query, head_only):
        data = pattern(int(query.get("size", "1000")))
        if head_only:
            self.full(data, head_only)
            return
        self.send_response(200)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data[:len(data) // 2])
        self.wfile.flush()
        self.stall()

    def scenario_lyinghead(self, token, query, head_only):
        data = pattern(int(query.get("size", "1000")))
        if head_only:
            self.answer(200, b"", [("Content-Length", query.get("claim", "50")),
                                   ("Last-Modified", LAST_MODIFIED), ("Content-Type", "text/plain")], True)
        else:
            self.full(data, head_only)

    # Version files for the update check past its rules: larger than its size window (64 KiB),
    # binary, and a version far longer than any build name (within the window).
    def scenario_big(self, token, query, head_only):
        self.full(pattern(int(query.get("size", "100000"))), head_only)

    def scenario_binaryversion(self, token, query, head_only):
        self.full(b"\x00\x01\xfe\xff\r\n\x00version\x1a" * 64, head_only)

    def scenario_hugeversion(self, token, query, head_only):
        self.full(b"3.0.6" + b"9" * 60000, head_only)

    # Hostile answers: each one never leaves a crash, a hang or a false success.
    def hostile_length(self, value, head_only, size):
        data = pattern(size)
        self.answer(200, data, [("Content-Length", value), ("Last-Modified", LAST_MODIFIED),
                                ("Content-Type", "text/plain")], head_only)

    def scenario_hugelen(self, token, query, head_only):
        self.hostile_length("99999999999999999999999999", head_only, int(query.get("size", "1000")))

    def scenario_neglen(self, token, query, head_only):
        self.hostile_length("-5", head_only, int(query.get("size", "1000")))

    def scenario_garbagelen(self, token, query, head_only):
        self.hostile_length("12abc", head_only, int(query.get("size", "1000")))

    def scenario_lyinglen(self, token, query, head_only):
        size = int(query.get("size", "1000"))
        self.hostile_length(str(size * 3), head_only, size)

    def scenario_badstatus(self, token, query, head_only):
        self.send_raw(b"HTTP/1.1 OK-ish\r\nContent-Length: 5\r\n\r\nhello")

    def scenario_garbage(self, token, query, head_only):
        self.send_raw(b"\x00\xff garbage without any status line at all\r\n\r\n")

    def scenario_nocolon(self, token, query, head_only):
        body = pattern(int(query.get("size", "1000")))
        self.send_raw(b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\nThisLineHasNoColon\r\n\r\n" % len(body) +
                      (b"" if head_only else body))

    def scenario_bigheader(self, token, query, head_only):
        body = pattern(int(query.get("size", "1000")))
        self.send_raw(b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\nX-Filler: %s\r\n\r\n" %
                      (len(body), b"f" * 65536) + (b"" if head_only else body))

    def scenario_badlastmod(self, token, query, head_only):
        self.full(pattern(int(query.get("size", "1000"))), head_only, last_modified=False,
                  extra=[("Last-Modified", "the day before yesterday, 99:99")])

    def scenario_bigtype(self, token, query, head_only):
        data = pattern(int(query.get("size", "1000")))
        self.answer(200, data, [("Content-Length", str(len(data))), ("Last-Modified", LAST_MODIFIED),
                                ("Content-Type", "text/" + "x" * 5000)], head_only)


SCENARIOS = {name[len("scenario_"):]: getattr(Handler, name)
             for name in dir(Handler) if name.startswith("scenario_")}


def write_pattern_files(root):
    os.makedirs(root, exist_ok=True)
    with open(os.path.join(root, "pattern.bin"), "wb") as f:
        f.write(pattern(20000))
    with open(os.path.join(root, "small.txt"), "wb") as f:
        f.write(b"ftp says hello\r\n")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--state", required=True)
    parser.add_argument("--fixtures", required=True)
    args = parser.parse_args()
    state = os.path.abspath(args.state)
    os.makedirs(state, exist_ok=True)

    http = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    http.daemon_threads = True
    http.state = state
    http.fixtures = os.path.abspath(args.fixtures)

    ftp_root = os.path.join(state, "ftp-root")
    ftp_upload = os.path.join(state, "ftp-upload")
    write_pattern_files(ftp_root)
    os.makedirs(ftp_upload, exist_ok=True)
    authorizer = DummyAuthorizer()
    authorizer.add_anonymous(ftp_root, perm="elr")
    authorizer.add_user("writer", "secret", ftp_upload, perm="elradfmw")
    handler = type("LoopbackFTPHandler", (FTPHandler,), {})
    handler.authorizer = authorizer
    handler.permit_foreign_addresses = False
    handler.banner = "loopback ftp ready"
    handler.auth_failed_timeout = 0.1  # answer a wrong password at once
    ftp = FTPServer(("127.0.0.1", 0), handler)

    refused = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    refused.bind(("127.0.0.1", 0))  # bound, never listening: connections are refused

    threading.Thread(target=http.serve_forever, daemon=True).start()
    threading.Thread(target=lambda: ftp.serve_forever(timeout=0.5, blocking=True), daemon=True).start()

    ports = os.path.join(state, "ports.txt")
    with open(ports + ".tmp", "w") as f:
        f.write("http=%d\nftp=%d\nrefused=%d\n" % (http.server_address[1], ftp.address[1],
                                                  refused.getsockname()[1]))
    os.replace(ports + ".tmp", ports)

    try:
        shutdown.wait(LIFETIME_SECONDS)
    except KeyboardInterrupt:
        pass
    shutdown.set()
    http.shutdown()
    ftp.close_all()
    return 0


if __name__ == "__main__":
    import signal
    signal.signal(signal.SIGTERM, lambda *a: shutdown.set())
    sys.exit(main())
