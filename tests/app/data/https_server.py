#!/usr/bin/env python3
"""HTTPS server for the update tests, on 127.0.0.1 with the given certificate.

    https_server.py ROOT CERT KEY

Serves the files below ROOT and prints its port on the first line once it
listens. For a requested path P that is not a file, a file beside it changes
the answer:
    P.redirect  302 to the address it holds
    P.chunked   its bytes with chunked transfer encoding (no length)
    P.hang      the headers and the first half of a 200 KB body, then nothing
It ends when its standard input closes (the test that started it is gone).
"""
import http.server
import os
import ssl
import sys
import threading
import time


class Handler(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_GET(self):
        path = self.translate_path(self.path)
        if os.path.isfile(path + ".redirect"):
            with open(path + ".redirect", encoding="utf-8") as f:
                target = f.read().strip()
            self.send_response(302)
            self.send_header("Location", target)
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif os.path.isfile(path + ".chunked"):
            with open(path + ".chunked", "rb") as f:
                data = f.read()
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            for i in range(0, len(data), 1000):
                part = data[i:i + 1000]
                self.wfile.write(b"%x\r\n%s\r\n" % (len(part), part))
            self.wfile.write(b"0\r\n\r\n")
        elif os.path.isfile(path + ".hang"):
            self.send_response(200)
            self.send_header("Content-Length", "200000")
            self.end_headers()
            self.wfile.write(b"x" * 100000)
            self.wfile.flush()
            while True:
                time.sleep(60)
        else:
            super().do_GET()

    def log_message(self, format, *args):
        pass


def main():
    root, cert, key = sys.argv[1:4]
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)

    def handler(*args, **kwargs):
        return Handler(*args, directory=root, **kwargs)

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    server.daemon_threads = True
    # The handshake happens in the request's thread, so one stuck client
    # cannot hold up the others.
    server.socket = context.wrap_socket(server.socket, server_side=True,
                                        do_handshake_on_connect=False)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    print(server.server_address[1], flush=True)
    sys.stdin.read()


if __name__ == "__main__":
    main()
