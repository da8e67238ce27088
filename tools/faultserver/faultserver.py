#!/usr/bin/env python3
"""HTTP server that misbehaves on purpose, for testing the installer's download client.

Listens on 127.0.0.1 only. Every answer carrying a body sends (part of) the same
known body: BODY_SIZE bytes where byte i is i % 251.

  GET /ok                   200 with Content-Length and the whole body
  GET /redirect/301         301 Moved Permanently, absolute Location to /ok
  GET /redirect/302         302 Found, absolute Location to /ok
  GET /missing              404 Not Found (so does every path not listed here)
  GET /protected            401 Unauthorized with WWW-Authenticate: Basic
  GET /error                500 Internal Server Error
  GET /custom-status        "HTTP/1.1 503 Mirror Busy": a reason phrase of its own
  GET /http10-missing       "HTTP/1.0 404 Not Found": an older protocol version
  GET /chunked              200, Transfer-Encoding: chunked, the whole body
  GET /chunked-and-length   as /chunked, with a Content-Length far above the body as well
  GET /chunked-cut          as /chunked, but the connection closes in the middle of a chunk
  GET /chunked-no-end       as /chunked, every chunk but not the final zero-size one, then the connection closes
  GET /close-delimited      200, no Content-Length, the whole body, then the connection closes
  GET /empty                200 with Content-Length: 0
  GET /reset                200 announcing the whole body, PART_SIZE bytes, then a TCP reset
  GET /stall                200 announcing the whole body, PART_SIZE bytes, then silence for
                            ?seconds=N (default 10, at most 60), then the rest if the client waited
  GET /silent               nothing at all for ?seconds=N (default 10, at most 60), then 200 and the body
  GET /short                200 announcing more than the body, the whole body, then the connection closes
  GET /huge                 200 announcing 3221225472 bytes (3 GiB), PART_SIZE bytes, then the connection closes
  GET /flaky                a link that fails the first times, then serves: the first --flaky-busy
                            requests (default 2) get 503, the next one breaks off with a TCP reset after
                            --flaky-cut bytes (default PART_SIZE), every later one is served; the body
                            (--flaky-body FILE, else the known body) carries an ETag and a Last-Modified,
                            and a Range request ("bytes=N-") whose If-Range names them gets 206 with the rest
  GET /trickle              200 announcing the whole body, then one byte every ?seconds=N (default 1, at most
                            60), each wait shorter than a client's time-out, for at most TRICKLE_LIMIT seconds

A route also answers every path below it (/chunked-cut/setup._exe is /chunked-cut), so that a
client that appends folders and file names to a base URL can be sent to any of them; and
--alias PATH=ROUTE answers PATH as ROUTE (an installer's own file paths, say).

Requests are recorded so a test can check what the client sent:
  GET /_requests            one line per request since the start or the last /_reset:
                            METHOD<TAB>PATH<TAB>AUTHORIZATION ("-" when no Authorization header came),
                            then <TAB>RANGE when a Range header came; and for /flaky, after each answer,
                            SENT<TAB>PATH<TAB>BYTES: the body bytes it sent
  GET /_reset               clears the record

TLS: with --tls CERT KEY the server speaks TLS on PORT instead of plain HTTP.
Each --also-tls NAME CERT KEY adds a listener on a free port that speaks TLS
with that certificate, answers the same paths and shares the record above, so
a test can present any certificate and still read, on the main port, whether
a request ever got through a handshake. A handshake that fails is not a
request: it is never recorded.

Usage: faultserver.py [PORT] [--ready-file PATH] [--idle-exit SECONDS]
                      [--flaky-busy N] [--flaky-cut BYTES] [--flaky-body FILE]
                      [--tls CERT KEY] [--also-tls NAME CERT KEY]... [--alias PATH=ROUTE]...
PORT defaults to 18081; 0 picks a free port. Once listening, the port number is
written to the ready file, followed by one "NAME PORT" line per --also-tls. The server ends on SIGTERM or SIGINT, and by itself
after --idle-exit seconds without a request (default 600), so a forgotten one
does not linger.
"""

import argparse
import http.server
import os
import signal
import socket
import ssl
import struct
import sys
import threading
import time
import urllib.parse

BODY_SIZE = 200_000
PART_SIZE = 70_000
HUGE_LENGTH = 3 * 1024 * 1024 * 1024
SHORT_BY = 1_000
DEFAULT_STALL_SECONDS = 10
MAX_STALL_SECONDS = 60
DEFAULT_TRICKLE_SECONDS = 1
TRICKLE_LIMIT = 300
CHUNK_SIZE = 30_000
BODY = bytes(i % 251 for i in range(BODY_SIZE))


def stall_seconds(query, default=DEFAULT_STALL_SECONDS):
    return min(float(query.get("seconds", [default])[0]), MAX_STALL_SECONDS)


class RequestLog:
    """Requests seen since the start or the last reset, shared by the handler threads."""

    def __init__(self):
        self._lock = threading.Lock()
        self._lines = []
        self._counts = {}
        self.last_activity = time.monotonic()

    def record(self, method, path, authorization, byte_range=None):
        line = f"{method}\t{path}\t{authorization or '-'}" + (f"\t{byte_range}" if byte_range else "")
        self.note(line)

    def note(self, line):
        with self._lock:
            self._lines.append(line)
            self.last_activity = time.monotonic()

    def next_request_number(self, path):
        """How many requests for PATH came before this one."""
        with self._lock:
            number = self._counts.get(path, 0)
            self._counts[path] = number + 1
            return number

    def text(self):
        with self._lock:
            self.last_activity = time.monotonic()
            return "".join(line + "\n" for line in self._lines)

    def clear(self):
        with self._lock:
            self._lines.clear()
            self._counts.clear()
            self.last_activity = time.monotonic()


class FaultHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "KanvelFaultServer/1.0"

    def log_message(self, format, *args):  # noqa: A002 - the base class names it so
        if self.server.verbose:
            super().log_message(format, *args)

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        log = self.server.request_log
        if url.path == "/_requests":
            return self._send_text(200, log.text())
        if url.path == "/_reset":
            log.clear()
            return self._send_text(200, "")
        log.record(self.command, self.path, self.headers.get("Authorization"), self.headers.get("Range"))
        path = self.server.aliases.get(url.path, url.path)
        first = "/" + path.split("/")[1] if path.count("/") > 1 else path
        route = self.ROUTES.get(path) or self.ROUTES.get(first, FaultHandler._missing)
        route(self, urllib.parse.parse_qs(url.query))

    # Plain answers.

    def _send_text(self, code, text, extra_headers=()):
        data = text.encode("utf-8")
        self.send_response(code)
        for name, value in extra_headers:
            self.send_header(name, value)
        self.send_header("Content-Type", "text/plain; charset=utf-8")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def _send_head(self, content_length=None, extra_headers=()):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        if content_length is not None:
            self.send_header("Content-Length", str(content_length))
        for name, value in extra_headers:
            self.send_header(name, value)
        self.end_headers()

    def _ok(self, _query):
        self._send_head(BODY_SIZE)
        self.wfile.write(BODY)

    def _redirect(self, code):
        location = f"http://127.0.0.1:{self.server.server_address[1]}/ok"
        self._send_text(code, "moved\n", [("Location", location)])

    def _redirect_301(self, _query):
        self._redirect(301)

    def _redirect_302(self, _query):
        self._redirect(302)

    def _missing(self, _query):
        self._send_text(404, "not found\n")

    def _protected(self, _query):
        self._send_text(401, "credentials needed\n", [("WWW-Authenticate", 'Basic realm="Kanvel"')])

    def _error(self, _query):
        self._send_text(500, "server error\n")

    def _custom_status(self, _query):
        self.send_response(503, "Mirror Busy")
        self.send_header("Content-Length", "0")
        self.end_headers()

    def _http10_missing(self, _query):
        self.wfile.write(b"HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
        self.close_connection = True

    def _empty(self, _query):
        self._send_head(0)

    # Bodies framed other than by Content-Length.

    def _chunked(self, _query, extra_headers=()):
        self._send_head(extra_headers=[("Transfer-Encoding", "chunked"), *extra_headers])
        self._send_chunks(BODY_SIZE)
        self.wfile.write(b"0\r\n\r\n")

    def _send_chunks(self, size):
        for start in range(0, size, CHUNK_SIZE):
            chunk = BODY[start:min(start + CHUNK_SIZE, size)]
            self.wfile.write(b"%x\r\n" % len(chunk) + chunk + b"\r\n")

    def _chunked_cut(self, _query):
        self._send_head(extra_headers=[("Transfer-Encoding", "chunked")])
        self._send_chunks(CHUNK_SIZE)
        # A chunk that promises more than it brings, then a clean close.
        self.wfile.write(b"%x\r\n" % CHUNK_SIZE + BODY[CHUNK_SIZE:CHUNK_SIZE + 10_000])
        self.wfile.flush()
        self.close_connection = True

    def _chunked_no_end(self, _query):
        self._send_head(extra_headers=[("Transfer-Encoding", "chunked")])
        self._send_chunks(BODY_SIZE)
        self.wfile.flush()
        self.close_connection = True

    def _chunked_and_length(self, query):
        self._chunked(query, [("Content-Length", str(HUGE_LENGTH))])

    def _close_delimited(self, _query):
        self._send_head(extra_headers=[("Connection", "close")])
        self.wfile.write(BODY)
        self.close_connection = True

    # Bodies that break off.

    def _reset(self, _query):
        self._send_head(BODY_SIZE)
        self.wfile.write(BODY[:PART_SIZE])
        time.sleep(0.3)  # let the part arrive before the reset discards anything in flight
        # Lingering for zero seconds makes close() send RST instead of FIN.
        self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.connection.close()
        self.close_connection = True

    def _stall(self, query):
        self._send_head(BODY_SIZE)
        self.wfile.write(BODY[:PART_SIZE])
        time.sleep(stall_seconds(query))
        try:
            self.wfile.write(BODY[PART_SIZE:])
        except OSError:
            pass  # the client gave up waiting, as it should
        self.close_connection = True

    def _silent(self, query):
        time.sleep(stall_seconds(query))
        try:
            self._ok(query)
        except OSError:
            pass  # the client gave up waiting, as it should
        self.close_connection = True

    def _short(self, _query):
        self._send_head(BODY_SIZE + SHORT_BY)
        self.wfile.write(BODY)
        self.close_connection = True

    def _trickle(self, query):
        self._send_head(BODY_SIZE)
        interval = stall_seconds(query, DEFAULT_TRICKLE_SECONDS)
        deadline = time.monotonic() + TRICKLE_LIMIT
        try:
            for index in range(BODY_SIZE):
                if time.monotonic() > deadline:
                    break
                self.wfile.write(BODY[index:index + 1])
                self.wfile.flush()
                time.sleep(interval)
        except OSError:
            pass  # the client gave up on the trickle, as it should
        self.close_connection = True

    def _flaky(self, _query):
        flaky = self.server.flaky
        number = self.server.request_log.next_request_number(self.path)
        if number < flaky.busy:
            return self._send_text(503, "busy\n", [("Retry-After", "1")])
        body, validators = flaky.body, [("ETag", flaky.etag), ("Last-Modified", flaky.last_modified)]
        start = flaky.range_start(self.headers.get("Range"), self.headers.get("If-Range"))
        if start:
            self.send_response(206)
            self.send_header("Content-Range", f"bytes {start}-{len(body) - 1}/{len(body)}")
        else:
            self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(body) - start))
        for name, value in validators:
            self.send_header(name, value)
        self.end_headers()
        part = body[start:start + flaky.cut] if number == flaky.busy else body[start:]
        self.wfile.write(part)
        self.server.request_log.note(f"SENT\t{self.path}\t{len(part)}")
        if number == flaky.busy:
            self.wfile.flush()
            time.sleep(0.3)  # let the part arrive before the reset discards anything in flight
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.connection.close()
            self.close_connection = True

    def _huge(self, _query):
        self._send_head(HUGE_LENGTH)
        self.wfile.write(BODY[:PART_SIZE])
        self.close_connection = True

    ROUTES = {
        "/ok": _ok,
        "/redirect/301": _redirect_301,
        "/redirect/302": _redirect_302,
        "/missing": _missing,
        "/protected": _protected,
        "/error": _error,
        "/custom-status": _custom_status,
        "/http10-missing": _http10_missing,
        "/chunked": _chunked,
        "/chunked-and-length": _chunked_and_length,
        "/chunked-cut": _chunked_cut,
        "/chunked-no-end": _chunked_no_end,
        "/close-delimited": _close_delimited,
        "/empty": _empty,
        "/reset": _reset,
        "/stall": _stall,
        "/silent": _silent,
        "/short": _short,
        "/huge": _huge,
        "/trickle": _trickle,
        "/flaky": _flaky,
    }


class FlakyBody:
    """What /flaky serves and how it fails."""

    def __init__(self, busy=2, cut=PART_SIZE, body_file=None):
        self.busy = busy
        self.cut = cut
        if body_file:
            with open(body_file, "rb") as source:
                self.body = source.read()
        else:
            self.body = BODY
        self.etag = '"%x-%x"' % (len(self.body), sum(self.body[:4096]))
        self.last_modified = "Tue, 01 Dec 2026 10:00:00 GMT"

    def range_start(self, byte_range, if_range):
        """Where an answer to a Range request starts: 0 for the whole body."""
        if not byte_range or not byte_range.startswith("bytes=") or not byte_range.endswith("-"):
            return 0
        if if_range is not None and if_range not in (self.etag, self.last_modified):
            return 0
        try:
            start = int(byte_range[len("bytes="):-1])
        except ValueError:
            return 0
        return start if 0 < start < len(self.body) else 0


class FaultServer(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, port, verbose, request_log, tls_context=None, aliases=None, flaky=None):
        super().__init__(("127.0.0.1", port), FaultHandler)
        self.request_log = request_log
        self.aliases = aliases or {}
        self.flaky = flaky or FlakyBody()
        self.verbose = verbose
        self.tls_context = tls_context

    def get_request(self):
        connection, address = super().get_request()
        if self.tls_context is not None:
            # The handshake runs on the handler's thread, at its first read,
            # so a client that never completes it holds up no one else.
            connection = self.tls_context.wrap_socket(connection, server_side=True, do_handshake_on_connect=False)
        return connection, address

    def handle_error(self, request, client_address):
        # A client that hangs up mid-answer is what half of these paths are for.
        if self.verbose:
            super().handle_error(request, client_address)


def stop_when_idle(server, idle_seconds):
    while True:
        time.sleep(1)
        if time.monotonic() - server.request_log.last_activity > idle_seconds:
            print(f"faultserver: idle for {idle_seconds} s, stopping", file=sys.stderr)
            server.shutdown()
            return


def tls_context(cert, key):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    return context


def parse_arguments():
    parser = argparse.ArgumentParser(description="HTTP server with deliberate faults, on 127.0.0.1.")
    parser.add_argument("port", nargs="?", type=int, default=18081, help="port, 0 for any free one")
    parser.add_argument("--ready-file", help="file that receives the port once the server listens")
    parser.add_argument("--idle-exit", type=float, default=600, help="seconds without requests before exiting")
    parser.add_argument("--verbose", action="store_true", help="log every request to stderr")
    parser.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"), help="speak TLS on PORT with this certificate")
    parser.add_argument("--also-tls", nargs=3, action="append", default=[], metavar=("NAME", "CERT", "KEY"),
                        help="another listener, on a free port, speaking TLS with this certificate")
    parser.add_argument("--alias", action="append", default=[], metavar="PATH=ROUTE",
                        help="answer PATH as the route ROUTE, e.g. /sterowniki/bde/setup._exe=/chunked-cut")
    parser.add_argument("--flaky-busy", type=int, default=2, help="/flaky: requests answered 503 first")
    parser.add_argument("--flaky-cut", type=int, default=PART_SIZE, help="/flaky: bytes before the reset")
    parser.add_argument("--flaky-body", help="/flaky: the file it serves")
    return parser.parse_args()


def main():
    arguments = parse_arguments()
    request_log = RequestLog()
    aliases = dict(alias.split("=", 1) for alias in arguments.alias)
    main_context = tls_context(*arguments.tls) if arguments.tls else None
    flaky = FlakyBody(arguments.flaky_busy, arguments.flaky_cut, arguments.flaky_body)
    server = FaultServer(arguments.port, arguments.verbose, request_log, main_context, aliases, flaky)
    others = [(name, FaultServer(0, arguments.verbose, request_log, tls_context(cert, key), aliases, flaky))
              for name, cert, key in arguments.also_tls]
    for _, other in others:
        threading.Thread(target=other.serve_forever, daemon=True).start()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    threading.Thread(target=stop_when_idle, args=(server, arguments.idle_exit), daemon=True).start()
    port = server.server_address[1]
    if arguments.ready_file:
        temporary = arguments.ready_file + ".tmp"
        with open(temporary, "w", encoding="ascii") as ready:
            ready.write(f"{port}\n")
            for name, other in others:
                ready.write(f"{name} {other.server_address[1]}\n")
        os.replace(temporary, arguments.ready_file)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
