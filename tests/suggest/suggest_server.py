#!/usr/bin/python3
"""Scripted suggestion server for tests/suggest, on 127.0.0.1 only.

suggest_server.py --ports-file FILE --cert CERT --key KEY [--max-seconds N]

Serves plain HTTP on one free port and, with the test's self-signed
certificate, HTTPS on another; writes "HTTP_PORT HTTPS_PORT" to FILE once both
listen. Ends by itself after --max-seconds, or when its parent (the test's
wrapper) is gone. Routes (GET, on both servers):
  /rows?q=Q          Q and rows with Unicode, in OpenSearch suggestions form
  /live?q=Q          rows that begin with Q as the server decoded it (UTF-8),
                     Unicode among them, and elements that are not strings
  /short-slow?q=Q    like /live, after 1200 ms when Q is shorter than 3 characters
  /echo?q=Q          [Q, [Q]]: the query as the server decoded it (UTF-8)
  /slow?ms=N&q=Q     like /echo after N ms (at most 10 s)
  /status/N          status N, a usable-looking body
  /huge              200, 300 KiB of valid JSON, with Content-Length
  /huge-unsized      200, 300 KiB, no Content-Length, ended by closing
  /malformed /shape /empty   broken JSON, an object, an empty row array
  /drop              headers promising 100 bytes, 10 sent, then closed
  /drop-early        the connection closed without an answer
  /gbk /cp1251       rows in GBK or windows-1251, named by the charset
  /bad-gbk           bytes that are not GBK, named GBK
  /set-cookie        a Set-Cookie header and a redirect to /echo?q=after-cookie
  /auth              401 with Basic, NTLM and Negotiate challenges
  /redirect?to=PATH  302 to PATH on the same server
  /chain?n=N&ms=D&q=Q  after D ms (at most 5 s), while N > 0, a redirect to
                     /chain with N - 1 (by turns an absolute URL, a path from
                     the root and a path relative to this one); at N = 0,
                     like /echo
  /log               text: a line per request so far (path, tab, user agent,
                     tab, Cookie header, tab, Authorization header), then a
                     line "tls-connections N" with the HTTPS server's accepts
"""
import argparse
import json
import os
import socket
import ssl
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

LOG = []
LOG_LOCK = threading.Lock()
TLS_CONNECTIONS = [0]
MAX_LOG = 10000
UNICODE_ROWS = ["alpha", "Ünïcödé ✓", "日本語の候補", "😀 emoji", 7, None, "tab\tand\u0007bell", "omega"]


def live_answer(q):
    return json.dumps([q, [q, q + " ünï ✓", 3, q + " 日本語", None, "😀 " + q]], ensure_ascii=False)


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "TavrelTestServer/1"
    timeout = 15  # a connection idle this long is closed

    def log_message(self, *args):  # quiet
        pass

    def send_body(self, status, body, content_type="application/x-suggestions+json", headers=()):
        if isinstance(body, str):
            body = body.encode("utf-8")
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

    def absolute_url(self, path):
        scheme = "https" if isinstance(self.server, TlsServer) else "http"
        return "%s://127.0.0.1:%d%s" % (scheme, self.server.server_address[1], path)

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        params = urllib.parse.parse_qs(url.query, encoding="utf-8", errors="replace")
        q = params.get("q", [""])[0]
        with LOG_LOCK:
            if len(LOG) < MAX_LOG:
                LOG.append("\t".join([url.path, self.headers.get("User-Agent", "-"),
                                      self.headers.get("Cookie", "-"),
                                      self.headers.get("Authorization", "-")]))
        path = url.path
        if path == "/live":
            self.send_body(200, live_answer(q))
        elif path == "/short-slow":
            if len(q) < 3:
                time.sleep(1.2)
            self.send_body(200, live_answer(q))
        elif path == "/rows":
            self.send_body(200, json.dumps([q, UNICODE_ROWS, [], []], ensure_ascii=False))
        elif path == "/echo":
            self.send_body(200, json.dumps([q, [q]]), "application/json")
        elif path == "/slow":
            ms = min(int(params.get("ms", ["1000"])[0]), 10000)
            time.sleep(ms / 1000.0)
            self.send_body(200, json.dumps([q, [q]]))
        elif path.startswith("/status/"):
            self.send_body(int(path[len("/status/"):]), json.dumps([q, ["error row"]]))
        elif path == "/huge":
            row = "x" * 1000
            self.send_body(200, json.dumps([q, [row] * 300]))
        elif path == "/huge-unsized":
            self.send_response(200)
            self.send_header("Content-Type", "application/json")
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(b'["q", [' + b'"' + b"y" * (300 * 1024) + b'"]]')
            self.close_connection = True
        elif path == "/malformed":
            self.send_body(200, '["q", ["a", "b"')
        elif path == "/shape":
            self.send_body(200, '{"q": ["a", "b"]}')
        elif path == "/empty":
            self.send_body(200, '["q", []]')
        elif path == "/drop":
            self.send_response(200)
            self.send_header("Content-Type", "application/json")
            self.send_header("Content-Length", "100")
            self.end_headers()
            self.wfile.write(b'["q", ["a"')
            self.wfile.flush()
            self.close_connection = True
            self.connection.shutdown(socket.SHUT_RDWR)
        elif path == "/drop-early":
            self.close_connection = True
            self.connection.shutdown(socket.SHUT_RDWR)
        elif path == "/gbk":
            self.send_body(200, json.dumps([q, ["中文建议", "第二行"]], ensure_ascii=False).encode("gbk"),
                           "application/json; charset=GBK")
        elif path == "/cp1251":
            self.send_body(200, json.dumps([q, ["Привет", "мир"]], ensure_ascii=False).encode("cp1251"),
                           "text/javascript; charset=\"windows-1251\"")
        elif path == "/bad-gbk":
            self.send_body(200, b'["q", ["\x81\x20"]]', "application/json; charset=gbk")
        elif path == "/set-cookie":  # a cookie, and a redirect on which a client would send it back
            self.send_response(302)
            self.send_header("Set-Cookie", "tavrel=1; Path=/")
            self.send_header("Location", "/echo?q=after-cookie")
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif path == "/auth":
            body = b"{}"
            self.send_response(401)
            self.send_header("WWW-Authenticate", 'Basic realm="tavrel"')
            self.send_header("WWW-Authenticate", "NTLM")
            self.send_header("WWW-Authenticate", "Negotiate")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        elif path == "/redirect":
            target = params.get("to", ["/rows"])[0]
            self.send_response(302)
            self.send_header("Location", target)
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif path == "/chain":
            hops = int(params.get("n", ["0"])[0])
            time.sleep(min(int(params.get("ms", ["0"])[0]), 5000) / 1000.0)
            if hops <= 0:
                self.send_body(200, json.dumps([q, [q]]), "application/json")
                return
            rest = urllib.parse.urlencode({"n": hops - 1, "ms": params.get("ms", ["0"])[0], "q": q})
            forms = [self.absolute_url("/chain?" + rest), "/chain?" + rest, "chain?" + rest]
            self.send_response(302)
            self.send_header("Location", forms[hops % 3])
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif path == "/log":
            with LOG_LOCK:
                text = "\n".join(LOG + ["tls-connections %d" % TLS_CONNECTIONS[0]]) + "\n"
            self.send_body(200, text, "text/plain; charset=utf-8")
        else:
            self.send_body(404, "[]")


class TlsServer(ThreadingHTTPServer):
    """Counts the TLS connections it accepts; the handshake runs in the
    connection's own thread, so a refused certificate stops nothing else."""

    def __init__(self, address, handler, context):
        super().__init__(address, handler)
        self.context = context

    def get_request(self):
        sock, address = self.socket.accept()
        with LOG_LOCK:
            TLS_CONNECTIONS[0] += 1
        return sock, address

    def finish_request(self, request, client_address):
        request.settimeout(10)
        try:
            tls = self.context.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError):
            return
        self.RequestHandlerClass(tls, client_address, self)

    def handle_error(self, request, client_address):
        pass


class PlainServer(ThreadingHTTPServer):
    def handle_error(self, request, client_address):
        pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--ports-file", required=True)
    parser.add_argument("--cert", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--max-seconds", type=float, default=900)
    args = parser.parse_args()

    plain = PlainServer(("127.0.0.1", 0), Handler)
    plain.daemon_threads = True
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(args.cert, args.key)
    secure = TlsServer(("127.0.0.1", 0), Handler, context)
    secure.daemon_threads = True
    for server in (plain, secure):
        threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True).start()

    temporary = args.ports_file + ".tmp"
    with open(temporary, "w") as f:
        f.write("%d %d\n" % (plain.server_address[1], secure.server_address[1]))
    os.replace(temporary, args.ports_file)

    parent = os.getppid()
    deadline = time.monotonic() + args.max_seconds
    while time.monotonic() < deadline and os.getppid() == parent:
        time.sleep(0.2)
    plain.shutdown()
    secure.shutdown()
    return 0


if __name__ == "__main__":
    sys.exit(main())
