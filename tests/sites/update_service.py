#!/usr/bin/env python3
"""Local stand-in of the update service.

POST (or GET) /update/print/main/update.asp?t=...  serves the list file (--list), re-read
on every request, bytes as stored (GBK).
GET /files/NAME serves files under --root and honours "Range: bytes=A-B" with 206 and
"Content-Range"; a range past the end gets 416.

Failure switches, as query parameters of a file address:
  fail=403 | 404 | 416 | 500   that status instead of the file
  fail=norange                 ignore Range: 200 with the whole file
  fail=nocr                    206 with the slice but no "Content-Range"
  fail=drop                    headers for the slice, half its body, then the connection closes
  fail=stall                   headers, then nothing until the client gives up
  fail=first                   every range answered with the first slice
  fail=cut                     200 without a length, half the file, then the connection closes
  after=N                      the switch applies only to ranges starting at byte N or later
  at=N                         the switch applies only to the range starting at byte N
  slow=N                       the range starting at byte N is answered 300 ms late
  conn=close                   "Connection: close" on every reply, and the connection closes
  te=chunked                   bodies go chunked (in pieces of at most 7000 bytes)

--delay-ms N delays every reply by N milliseconds (a slow link, for the benchmark).
--sign-key SEED (base64 of a 32-byte Ed25519 seed) signs every list: the signature of the
exact body, base64, in the reply header "X-Update-Signature". --bad-signature sends a
signature with one bit changed; --wrong-hash changes every sha256="..." of the list (before
signing) so that no file matches it. --serial N puts <release serial="N"/> before the
first file element (with --expires "YYYY-MM-DD HH:MM:SS" also its expiry), before signing.
Prints "PORT <n>" once it listens on 127.0.0.1. --log FILE appends one JSON line per
request (method, path, range, accept-encoding).
"""
import argparse
import base64
import hashlib
import json
import os
import re
import sys
import threading
import time
from http.server import ThreadingHTTPServer
from urllib.parse import parse_qs, unquote, urlsplit

from stand_in import QuietHandler, listen, run

LIST_PATH = "/update/print/main/update.asp"

# Ed25519 signing (RFC 8032), standard library only; slow but enough for short lists.
P = 2**255 - 19
L = 2**252 + 27742317777372353535851937790883648493
D = -121665 * pow(121666, P - 2, P) % P


def _inv(x):
    return pow(x, P - 2, P)


def _add(a, b):
    x1, y1, z1, t1 = a
    x2, y2, z2, t2 = b
    aa = (y1 - x1) * (y2 - x2) % P
    bb = (y1 + x1) * (y2 + x2) % P
    cc = t1 * 2 * D * t2 % P
    dd = z1 * 2 * z2 % P
    e, f, g, h = bb - aa, dd - cc, dd + cc, bb + aa
    return (e * f % P, g * h % P, f * g % P, e * h % P)


def _mul(s, point):
    q = (0, 1, 1, 0)
    while s > 0:
        if s & 1:
            q = _add(q, point)
        point = _add(point, point)
        s >>= 1
    return q


def _base():
    y = 4 * _inv(5) % P
    xx = (y * y - 1) * _inv(D * y * y + 1)
    x = pow(xx, (P + 3) // 8, P)
    if (x * x - xx) % P:
        x = x * pow(2, (P - 1) // 4, P) % P
    if x % 2:
        x = P - x
    return (x, y, 1, x * y % P)


def _encode(point):
    x, y, z, _ = point
    zi = _inv(z)
    x, y = x * zi % P, y * zi % P
    return (y | ((x & 1) << 255)).to_bytes(32, "little")


def ed25519_sign(seed, message):
    h = hashlib.sha512(seed).digest()
    a = int.from_bytes(h[:32], "little")
    a = (a & ((1 << 254) - 8)) | (1 << 254)
    base = _base()
    public = _encode(_mul(a, base))
    r = int.from_bytes(hashlib.sha512(h[32:] + message).digest(), "little") % L
    big_r = _encode(_mul(r, base))
    k = int.from_bytes(hashlib.sha512(big_r + public + message).digest(), "little") % L
    return big_r + ((r + k * a) % L).to_bytes(32, "little")


def with_release(body, serial, expires):
    """The list with its release element before the first file element ("<files>" is none)."""
    element = b'<release serial="%d"' % serial
    if expires:
        element += b' expires="%s"' % expires.encode()
    element += b"/>\r\n"
    first = re.search(rb"<file[\s/>]", body)
    at = first.start() if first else len(body)
    return body[:at] + element + body[at:]


class Handler(QuietHandler):
    protocol_version = "HTTP/1.1"
    disable_nagle_algorithm = True  # headers and body go out at once
    server_version = "UpdateStandIn/1"

    def record(self, parts):
        log = self.server.options.log
        if not log:
            return
        entry = {
            "method": self.command,
            "peer": self.client_address[1],
            "path": parts.path,
            "query": parts.query,
            "range": self.headers.get("Range", ""),
            "accept_encoding": self.headers.get("Accept-Encoding", ""),
            "content_type": self.headers.get("Content-Type", ""),
            "content_length": self.headers.get("Content-Length", ""),
        }
        with self.server.log_lock, open(log, "a", encoding="utf-8") as f:
            f.write(json.dumps(entry) + "\n")

    def send_bytes(self, status, body, headers=()):
        query = parse_qs(urlsplit(self.path).query)
        chunked = query.get("te", [""])[0] == "chunked"
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        if query.get("conn", [""])[0] == "close":
            self.send_header("Connection", "close")
            self.close_connection = True
        if chunked:
            self.send_header("Transfer-Encoding", "chunked")
        else:
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command == "HEAD":
            return
        if not chunked:
            self.wfile.write(body)
            return
        for at in range(0, len(body), 7000):
            piece = body[at:at + 7000]
            self.wfile.write(b"%x;piece\r\n%s\r\n" % (len(piece), piece))
        self.wfile.write(b"0\r\nX-Trailer: 1\r\n\r\n")

    def do_POST(self):
        length = int(self.headers.get("Content-Length") or 0)
        if length:
            self.rfile.read(length)
        self.handle_any()

    def do_GET(self):
        self.handle_any()

    def handle_any(self):
        parts = urlsplit(self.path)
        self.record(parts)
        if self.server.options.delay_ms:
            time.sleep(self.server.options.delay_ms / 1000.0)
        if parts.path == LIST_PATH:
            try:
                with open(self.server.options.list, "rb") as f:
                    body = f.read()
            except OSError:
                body = b""
            options = self.server.options
            if options.wrong_hash:
                body = re.sub(rb'sha256="([0-9a-fA-F])',
                              lambda m: b'sha256="' + (b"1" if m.group(1) == b"0" else b"0"), body)
            if options.serial is not None:
                body = with_release(body, options.serial, options.expires)
            headers = [("Content-Type", "text/html; charset=gb2312")]
            if options.sign_key:
                signature = bytearray(ed25519_sign(base64.b64decode(options.sign_key), body))
                if options.bad_signature:
                    signature[5] ^= 0x10
                headers.append(("X-Update-Signature", base64.b64encode(bytes(signature)).decode()))
            self.send_bytes(200, body, headers)
            return
        if parts.path.startswith("/files/"):
            self.serve_file(parts)
            return
        self.send_bytes(404, b"not found")

    def serve_file(self, parts):
        root = os.path.realpath(self.server.options.root)
        path = os.path.realpath(os.path.join(root, unquote(parts.path[len("/files/"):])))
        if not path.startswith(root + os.sep) or not os.path.isfile(path):
            self.send_bytes(404, b"not found")
            return
        query = parse_qs(parts.query)
        fail = query.get("fail", [""])[0]
        after = int(query.get("after", ["0"])[0])
        size = os.path.getsize(path)

        first, last = 0, size - 1
        ranged = False
        m = re.match(r"^\s*bytes=(\d+)-(\d*)\s*$", self.headers.get("Range", ""))
        if m:
            ranged = True
            first = int(m.group(1))
            if m.group(2):
                last = min(int(m.group(2)), size - 1)
        if first < after or ("at" in query and first != int(query["at"][0])):
            fail = ""
        if "slow" in query and first == int(query["slow"][0]):
            time.sleep(0.3)
        if fail == "first":
            first, last = 0, min(20480, size - 1)
        if fail == "cut":
            with open(path, "rb") as f:
                body = f.read()
            self.send_response(200)
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(body[: len(body) // 2])
            self.close_connection = True
            return

        if fail in ("403", "404", "416", "500"):
            self.send_bytes(int(fail), b"refused")
            return
        if fail == "norange" or not ranged:
            with open(path, "rb") as f:
                self.send_bytes(200, f.read(), [("Content-Type", "application/octet-stream")])
            return
        if first >= size:
            self.send_bytes(416, b"", [("Content-Range", "bytes */%d" % size)])
            return
        with open(path, "rb") as f:
            f.seek(first)
            body = f.read(last - first + 1)
        headers = [("Content-Type", "application/octet-stream")]
        if fail != "nocr":
            headers.append(("Content-Range", "bytes %d-%d/%d" % (first, last, size)))
        if fail == "drop":
            self.send_response(206)
            for name, value in headers:
                self.send_header(name, value)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body[: len(body) // 2])
            self.wfile.flush()
            self.close_connection = True
            return
        if fail == "stall":
            self.send_response(206)
            for name, value in headers:
                self.send_header(name, value)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.flush()
            self.close_connection = True
            self.connection.settimeout(60)
            try:  # wait until the client gives up and closes
                self.connection.recv(1)
            except OSError:
                pass
            return
        self.send_bytes(206, body, headers)


class Server(ThreadingHTTPServer):
    def handle_error(self, request, client_address):
        # The downloader drops slices it no longer needs: a reset connection is expected.
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--root", required=True)
    ap.add_argument("--list", default="")
    ap.add_argument("--log", default="")
    ap.add_argument("--port", type=int, default=0)
    ap.add_argument("--delay-ms", type=int, default=0)
    ap.add_argument("--sign-key", default="")
    ap.add_argument("--bad-signature", action="store_true")
    ap.add_argument("--wrong-hash", action="store_true")
    ap.add_argument("--serial", type=int, default=None)
    ap.add_argument("--expires", default="")
    options = ap.parse_args()
    server = listen(Handler, options.port, Server)
    server.options = options
    server.log_lock = threading.Lock()
    run(server)
    return 0


if __name__ == "__main__":
    sys.exit(main())
