#!/usr/bin/env python3
"""A loopback HTTPS stand-in for the Bible server, for the Windows-tier client tests.

  bible_test_server.py start STATE_DIR   make a throwaway CA and server certificate, trust the CA
                                        machine-wide, start the server in the background, write
                                        its port to STATE_DIR/port
  bible_test_server.py stop STATE_DIR    stop that server and remove the CA from the trust store

Trusting the CA needs root, or sudo without a password: it is added to
/usr/local/share/ca-certificates and update-ca-certificates rebuilds the store that Wine's crypt32 reads. The server listens on
127.0.0.1 only, handles a bounded number of requests and stops by itself after a while.

Paths it answers (n is a byte count):
  /bible/v1/<translation>/<BOOK>.json   the file from server/bible/v1
  /size/<n>                             n bytes of "a"
  /gzip/<n>                             n bytes of "a", gzip-encoded when the client accepts it
  /status/<code>                        that status; 301/302 point Location at /size/10
  /cut/<n>                              announces 2n bytes, sends n, then drops the connection
"""
import gzip
import http.server
import os
import signal
import ssl
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
CONTENT = os.path.join(HERE, "..", "server", "bible", "v1")
CA_NAME = "scrollwick-companion-test-ca.crt"
CA_INSTALLED = os.path.join("/usr/local/share/ca-certificates", CA_NAME)
MAX_REQUESTS = 500
LIFETIME_SECONDS = 900


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        pass

    def send_body(self, status, body, headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        parts = self.path.strip("/").split("/")
        try:
            if parts[:2] == ["bible", "v1"] and len(parts) == 4:
                path = os.path.join(CONTENT, parts[2], os.path.basename(parts[3]))
                if not os.path.isfile(path):
                    return self.send_body(404, b"not found")
                with open(path, "rb") as f:
                    return self.send_body(200, f.read(), [("Content-Type", "application/json")])
            if parts[0] == "size":
                return self.send_body(200, b"a" * int(parts[1]))
            if parts[0] == "gzip":
                body = b"a" * int(parts[1])
                if "gzip" in self.headers.get("Accept-Encoding", ""):
                    return self.send_body(200, gzip.compress(body), [("Content-Encoding", "gzip")])
                return self.send_body(200, body)
            if parts[0] == "status":
                code = int(parts[1])
                return self.send_body(code, b"status", [("Location", "/size/10")])
            if parts[0] == "cut":
                n = int(parts[1])
                self.send_response(200)
                self.send_header("Content-Length", str(2 * n))
                self.end_headers()
                self.wfile.write(b"a" * n)
                self.wfile.flush()
                self.close_connection = True
                self.connection.shutdown(2)
                return None
        except (ValueError, IndexError):
            pass
        return self.send_body(400, b"bad request")


def run(cmd):
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def make_certificates(state):
    ca_key, ca_crt = os.path.join(state, "ca.key"), os.path.join(state, "ca.crt")
    key, csr, crt = (os.path.join(state, n) for n in ("server.key", "server.csr", "server.crt"))
    ext = os.path.join(state, "server.ext")
    run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
         "-subj", "/CN=Scrollwick Companion test CA", "-keyout", ca_key, "-out", ca_crt])
    run(["openssl", "req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1",
         "-keyout", key, "-out", csr])
    # Wine's name check matches the host against DNS entries only, so the address is listed as
    # a DNS name too.
    with open(ext, "w") as f:
        f.write("subjectAltName=IP:127.0.0.1,DNS:127.0.0.1,DNS:localhost\n"
                "extendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n")
    run(["openssl", "x509", "-req", "-in", csr, "-CA", ca_crt, "-CAkey", ca_key,
         "-CAcreateserial", "-days", "2", "-extfile", ext, "-out", crt])
    return ca_crt, crt, key


def serve(state):
    crt, key = os.path.join(state, "server.crt"), os.path.join(state, "server.key")
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(crt, key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    server.timeout = 1
    with open(os.path.join(state, "port.tmp"), "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(os.path.join(state, "port.tmp"), os.path.join(state, "port"))
    deadline = time.monotonic() + LIFETIME_SECONDS
    for _ in range(MAX_REQUESTS):
        if time.monotonic() > deadline:
            break
        server.handle_request()
    server.server_close()


def as_root(command):
    """Runs a command that changes the machine's CA store, through sudo when not root."""
    run(command if os.geteuid() == 0 else ["sudo", "-n"] + command)


def start(state):
    os.makedirs(state, exist_ok=True)
    for name in ("port", "pid"):
        if os.path.exists(os.path.join(state, name)):
            os.remove(os.path.join(state, name))
    ca_crt, _, _ = make_certificates(state)
    as_root(["cp", ca_crt, CA_INSTALLED])
    as_root(["update-ca-certificates"])
    process = subprocess.Popen([sys.executable, os.path.abspath(__file__), "serve", state],
                               start_new_session=True, stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(os.path.join(state, "pid"), "w") as f:
        f.write(str(process.pid))
    for _ in range(100):
        if os.path.exists(os.path.join(state, "port")):
            return
        time.sleep(0.1)
    sys.exit("bible_test_server: the server did not start")


def stop(state):
    pid_file = os.path.join(state, "pid")
    if os.path.exists(pid_file):
        with open(pid_file) as f:
            pid = int(f.read())
        try:
            os.kill(pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        os.remove(pid_file)
    if os.path.exists(CA_INSTALLED):
        as_root(["rm", "-f", CA_INSTALLED])
        as_root(["update-ca-certificates", "--fresh"])


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ("start", "stop", "serve"):
        sys.exit(__doc__)
    {"start": start, "stop": stop, "serve": serve}[sys.argv[1]](os.path.abspath(sys.argv[2]))


if __name__ == "__main__":
    main()
