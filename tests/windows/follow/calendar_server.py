#!/usr/bin/env python3
"""A small HTTP server on 127.0.0.1 that plays a calendar's server for the
followed-calendar tests. It serves FOLDER/cal.ics with an ETag and a
Last-Modified, answering 304 when asked for a change that did not come,
and plays a server's bad days on its other paths. Each request's path and
the headers that matter are appended to FOLDER/requests.log. A file
FOLDER/status holding a number makes /cal.ics answer that status instead.
   calendar_server.py FOLDER PORTFILE [CERTIFICATE KEY]
It listens on a free port and writes its number to PORTFILE; with a
certificate and its key it speaks https."""
import email.utils
import hashlib
import http.server
import os
import ssl
import sys
import time

FOLDER = sys.argv[1]


def read(name):
    try:
        with open(os.path.join(FOLDER, name), "rb") as f:
            return f.read()
    except FileNotFoundError:
        return None


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def record(self):
        fields = [self.path] + [self.headers.get(name, "-") for name in
                                ("If-None-Match", "If-Modified-Since", "Authorization", "User-Agent")]
        with open(os.path.join(FOLDER, "requests.log"), "a", encoding="utf-8") as log:
            log.write("\t".join(fields) + "\n")

    def answer(self, status, body=b"", headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        self.record()
        path = self.path.split("?")[0]
        if path == "/cal.ics":
            return self.calendar()
        if path == "/moved":
            return self.answer(301, headers=[("Location", "/cal.ics")])
        if path == "/found":
            return self.answer(302, headers=[("Location", "http://127.0.0.1:%d/cal.ics" % self.server.server_port)])
        if path == "/missing":
            return self.answer(404, b"Not found")
        if path == "/page":
            return self.answer(200, b"<!DOCTYPE html><html><body>Sign in</body></html>",
                               [("Content-Type", "text/html")])
        if path == "/huge":
            return self.answer(200, b"BEGIN:VCALENDAR\r\n" + b"X-PAD:" + b"x" * (17 << 20) + b"\r\n")
        if path == "/cut":
            body = read("cal.ics") or b""
            self.send_response(200)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body[: len(body) // 2])
            self.close_connection = True
            return
        if path == "/slow":
            time.sleep(30)
            return self.answer(500)
        return self.answer(404)

    def calendar(self):
        status = read("status")
        if status:
            return self.answer(int(status), b"Server error")
        body = read("cal.ics") or b""
        tag = '"' + hashlib.sha1(body).hexdigest()[:16] + '"'
        modified = email.utils.formatdate(os.path.getmtime(os.path.join(FOLDER, "cal.ics")), usegmt=True)
        if self.headers.get("If-None-Match") == tag:
            return self.answer(304, headers=[("ETag", tag)])
        self.answer(200, body, [("Content-Type", "text/calendar; charset=utf-8"), ("ETag", tag),
                                ("Last-Modified", modified)])


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True


server = Server(("127.0.0.1", 0), Handler)
if len(sys.argv) > 4:
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(sys.argv[3], sys.argv[4])
    context.maximum_version = ssl.TLSVersion.TLSv1_2  # what Wine's schannel speaks
    server.socket = context.wrap_socket(server.socket, server_side=True)
with open(sys.argv[2], "w") as portfile:
    portfile.write(str(server.server_port))
server.serve_forever()
