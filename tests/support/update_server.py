#!/usr/bin/env python3
"""A version-file server for the update check tests, on loopback.

Prints "READY <port>" once it listens (port 0: the system picks one) and
ends when its standard input closes. Each path answers one way:

  /newer /same /older   200 with a version file (Content-Length)
  /missing              404 whose body is a later version file
  /moved                302 to /newer
  /chunked              200, chunked transfer, the file cut mid-line
  /drip                 200, one byte a second
  /big                  200, 10 MB: the file, padding; a pause after 1 MB
"""
import http.server
import socketserver
import sys
import threading
import time

MESSAGE = "新しい版 5.21 が公開されました".encode("shift_jis")
NEWER = b"5.21\r\n" + MESSAGE + b"\r\nextra\r\n"


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def reply(self, status, body, headers=()):
        self.send_response(status)
        self.send_header("Content-Length", str(len(body)))
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        path = self.path
        if path == "/newer":
            self.reply(200, NEWER)
        elif path == "/same":
            self.reply(200, b"5.20\r\nsame version\r\nx\r\n")
        elif path == "/older":
            self.reply(200, b"5.19\nolder version\nx\n")
        elif path == "/missing":
            self.reply(404, NEWER)
        elif path == "/moved":
            self.reply(302, b"", [("Location", "/newer")])
        elif path == "/chunked":
            self.send_response(200)
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            for piece in (NEWER[:3], NEWER[3:9], NEWER[9:]):
                self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
                self.wfile.flush()
                time.sleep(0.05)
            self.wfile.write(b"0\r\n\r\n")
        elif path == "/drip":
            body = NEWER + b"." * 60
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            for i in range(len(body)):
                self.wfile.write(body[i:i + 1])
                self.wfile.flush()
                time.sleep(1)
        elif path == "/big":
            size = 10 * 1024 * 1024
            head = NEWER + b"x" * (1024 * 1024 - len(NEWER))
            self.send_response(200)
            self.send_header("Content-Length", str(size))
            self.end_headers()
            self.wfile.write(head)
            self.wfile.flush()
            time.sleep(60)  # a reader that wants it all waits past its deadline
            self.wfile.write(b"x" * (size - len(head)))
        else:
            self.reply(404, b"not found\r\n")


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def handle_error(self, request, client_address):
        pass  # a reader that went away mid-body


def main():
    server = Server(("127.0.0.1", 0), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    print("READY %d" % server.server_address[1], flush=True)
    sys.stdin.read()
    server.shutdown()


if __name__ == "__main__":
    main()
