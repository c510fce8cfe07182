# SPDX-License-Identifier: GPL-3.0-or-later
"""A one-request score server for the end-to-end test: writes its port, then the request target."""
import http.server
import sys

port_file, request_file = sys.argv[1], sys.argv[2]


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        with open(request_file, "w") as f:
            f.write(self.path)
        self.send_response(200)
        self.end_headers()
        self.wfile.write(b"ok")

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
with open(port_file, "w") as f:
    f.write(str(server.server_address[1]))
server.handle_request()
