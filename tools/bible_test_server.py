#!/usr/bin/env python3
"""A loopback HTTPS stand-in for the Bible server, for the Windows-tier client tests.

  bible_test_server.py start STATE_DIR   make a throwaway CA and server certificate, trust the CA
                                        machine-wide, start the server in the background, write
                                        its port to STATE_DIR/port
  bible_test_server.py stop STATE_DIR    stop that server and remove the CA from the trust store
  bible_test_server.py fault KIND TLS_DIR
                                        inside tools/serve-bible.sh with nginx stopped: answers
                                        every request for bible.scrollwick.org on 127.0.0.1:443
                                        with the fault KIND (see FAULTS), its certificate signed
                                        by the run's CA in TLS_DIR, for at most LIFETIME_SECONDS

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
import socket
import ssl
import struct
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


SENTENCE = "In the beginning God created the heaven and the earth, and it was very good."
# Each fault: what the server does once a request has come (hang never lets TLS begin).
FAULTS = {
    "hang": "accepts the connection and never answers",
    "drip": "sends a whole book's headers, then one byte of the body a second",
    "reset": "sends half of the body, then resets the connection",
    "short": "sends half of the body announced by Content-Length, then closes cleanly",
    "utf8": "a book whose verse text holds bytes that are not UTF-8",
    "json": "a book cut off before its closing brackets, with a matching length",
    "nosentence": "a well-formed book without a sentence of readable length",
    "404": "404 Not Found",
    "wronghost": "a certificate for another host, signed by the trusted CA",
    "expired": "a certificate for the right host that expired, signed by the trusted CA",
}
GOOD_BOOK = ('{"1":[[1,"%s"],[2,"%s"]]}' % (SENTENCE, SENTENCE)).encode()


class FaultHandler(Handler):
    kind = "404"

    def do_GET(self):
        kind = self.kind
        if kind in ("drip", "reset", "short"):
            self.send_response(200)
            self.send_header("Content-Length", str(len(GOOD_BOOK)))
            self.end_headers()
            if kind == "drip":
                for byte in GOOD_BOOK:
                    self.wfile.write(bytes([byte]))
                    self.wfile.flush()
                    time.sleep(1)
                return None
            self.wfile.write(GOOD_BOOK[: len(GOOD_BOOK) // 2])
            self.wfile.flush()
            self.close_connection = True
            if kind == "reset":  # linger 0: close sends RST instead of FIN
                self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER,
                                           struct.pack("ii", 1, 0))
            else:
                self.connection.shutdown(socket.SHUT_RDWR)
            return None
        bodies = {
            "utf8": GOOD_BOOK.replace(b"God", b"G\xff\xfed"),
            "json": GOOD_BOOK[:-3],
            "nosentence": b'{"1":[[1,"Amen."],[2,"Selah."]]}',
        }
        if kind in bodies:
            return self.send_body(200, bodies[kind], [("Content-Type", "application/json")])
        return self.send_body(404 if kind == "404" else 200, b"not found")


def sign_certificate(tls, kind):
    """A key and certificate for the fault server, signed by the run's CA."""
    host = "other.example" if kind == "wronghost" else "bible.scrollwick.org"
    days = ("-startdate", "20200101000000Z", "-enddate", "20200201000000Z") \
        if kind == "expired" else ("-days", "1")
    work = os.path.join(tls, "fault")
    os.makedirs(work, exist_ok=True)
    key, csr, crt = (os.path.join(work, n) for n in ("server.key", "server.csr", "server.pem"))
    config, ext = os.path.join(work, "ca.cnf"), os.path.join(work, "server.ext")
    open(os.path.join(work, "index.txt"), "w").close()
    with open(config, "w") as f:
        f.write(f"[ca]\ndefault_ca=fault\n[fault]\ndatabase={work}/index.txt\n"
                f"new_certs_dir={work}\nserial={work}/serial\ndefault_md=sha256\n"
                "policy=any\nunique_subject=no\n[any]\ncommonName=supplied\n")
    with open(os.path.join(work, "serial"), "w") as f:
        f.write("%016x\n" % int(time.time() * 1000))
    with open(ext, "w") as f:
        f.write(f"subjectAltName=DNS:{host}\nbasicConstraints=critical,CA:FALSE\n"
                "keyUsage=critical,digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\n")
    run(["openssl", "req", "-new", "-newkey", "rsa:2048", "-nodes", "-subj", f"/CN={host}",
         "-keyout", key, "-out", csr])
    run(["openssl", "ca", "-batch", "-notext", "-config", config, "-cert",
         os.path.join(tls, "ca.pem"), "-keyfile", os.path.join(tls, "ca.key"), "-in", csr,
         "-out", crt, "-extfile", ext, *days])
    return crt, key


def serve_fault(kind, tls):
    if kind not in FAULTS:
        sys.exit("bible_test_server: faults are " + ", ".join(FAULTS))
    crt, key = sign_certificate(tls, kind)
    deadline = time.monotonic() + LIFETIME_SECONDS
    if kind == "hang":
        listener = socket.create_server(("127.0.0.1", 443))
        held = []
        while time.monotonic() < deadline:
            listener.settimeout(1)
            try:
                held.append(listener.accept()[0])
            except socket.timeout:
                pass
        return
    FaultHandler.kind = kind
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 443), FaultHandler)
    server.daemon_threads = True
    server.handle_error = lambda request, address: None  # the client going away is the point
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(crt, key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    server.timeout = 1
    while time.monotonic() < deadline:
        server.handle_request()
    server.server_close()


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
    if len(sys.argv) == 4 and sys.argv[1] == "fault":
        return serve_fault(sys.argv[2], os.path.abspath(sys.argv[3]))
    if len(sys.argv) != 3 or sys.argv[1] not in ("start", "stop", "serve"):
        sys.exit(__doc__)
    {"start": start, "stop": stop, "serve": serve}[sys.argv[1]](os.path.abspath(sys.argv[2]))


if __name__ == "__main__":
    main()
