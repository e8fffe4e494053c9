"""What the local stand-ins share: a quiet request handler that answers with a whole body,
grey-scale PNG pictures, and the start-up that prints "PORT <n>" and serves until stopped."""
import struct
import zlib
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


class QuietHandler(BaseHTTPRequestHandler):
    """Logs nothing; send() answers with a body (text goes out as UTF-8), redirect() with 302."""

    def log_message(self, fmt, *args):
        pass

    def send(self, status, body, content_type="text/html; charset=utf-8", headers=()):
        data = body if isinstance(body, bytes) else body.encode("utf-8")
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(data)))
        for k, v in headers:
            self.send_header(k, v)
        self.end_headers()
        self.wfile.write(data)

    def redirect(self, location, headers=()):
        self.send(302, "", headers=[("Location", location)] + list(headers))


def png(width, height, rows):
    """A grey-scale PNG of height rows, each a sequence of width grey values."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b"".join(b"\x00" + bytes(row) for row in rows)  # filter: none
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def listen(handler, port, server_class=ThreadingHTTPServer):
    """A server on 127.0.0.1:port (0: any free port) whose request threads die with it."""
    server = server_class(("127.0.0.1", port), handler)
    server.daemon_threads = True
    return server


def run(server):
    """Prints "PORT <n>" as the first line of output, then serves until interrupted."""
    print("PORT %d" % server.server_address[1], flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
