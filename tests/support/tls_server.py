#!/usr/bin/env python3
"""A throwaway HTTPS server with a self-signed certificate, for Windows tests.

  tls_server.py start DIR   makes DIR/cert.pem and DIR/key.pem with openssl,
                            starts the server in the background on 127.0.0.1
                            and a free port, writes the port to DIR/port and
                            returns once the server listens
  tls_server.py stop DIR    stops it

For every connection the server appends one line to DIR/log before anything
else happens on it: "tls" when the client opened with a TLS handshake record,
"plain" otherwise. A client that accepts the certificate gets a small HTTP page
whose body is "secret page". The server ends by itself after LIFETIME seconds
if nobody stops it.
"""

import os
import signal
import socket
import ssl
import subprocess
import sys
import time

LIFETIME = 900
START_WAIT = 20
STOP_WAIT = 10
TLS_HANDSHAKE_RECORD = 0x16
PAGE = b"HTTP/1.0 200 OK\r\nContent-Type: text/html\r\nContent-Length: 11\r\n\r\nsecret page"


def log(directory, line):
    with open(os.path.join(directory, "log"), "a") as f:
        f.write(line + "\n")


def answer(directory, context, connection):
    connection.settimeout(10)
    first = connection.recv(1, socket.MSG_PEEK)
    log(directory, "tls" if first and first[0] == TLS_HANDSHAKE_RECORD else "plain")
    with context.wrap_socket(connection, server_side=True) as tls:
        head = b""
        while b"\r\n\r\n" not in head and len(head) < 65536:
            data = tls.recv(4096)
            if not data:
                return
            head += data
        tls.sendall(PAGE)


def serve(directory, listener):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(directory, "cert.pem"), os.path.join(directory, "key.pem"))
    listener.settimeout(1)
    deadline = time.monotonic() + LIFETIME
    while time.monotonic() < deadline:
        try:
            connection, _ = listener.accept()
        except socket.timeout:
            continue
        try:
            answer(directory, context, connection)
        except (OSError, ssl.SSLError):
            pass
        finally:
            connection.close()


def start(directory):
    os.makedirs(directory, exist_ok=True)
    stop(directory)
    for name in ("port", "log"):
        if os.path.exists(os.path.join(directory, name)):
            os.remove(os.path.join(directory, name))
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes",
                    "-subj", "/CN=localhost", "-days", "1",
                    "-keyout", os.path.join(directory, "key.pem"),
                    "-out", os.path.join(directory, "cert.pem")],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    open(os.path.join(directory, "log"), "w").close()

    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    port = listener.getsockname()[1]

    # A detached grandchild serves, so that the caller (a CTest fixture) is not
    # held by inherited output pipes.
    if os.fork() == 0:
        os.setsid()
        if os.fork() == 0:
            null = os.open(os.devnull, os.O_RDWR)
            for fd in (0, 1, 2):
                os.dup2(null, fd)
            os.closerange(3, listener.fileno())
            os.closerange(listener.fileno() + 1, 1024)
            pid_file = os.path.join(directory, "pid")
            with open(pid_file, "w") as f:
                f.write(str(os.getpid()))
            signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
            try:
                serve(directory, listener)
            finally:
                if read_pid(directory) == os.getpid():
                    os.remove(pid_file)
                os._exit(0)
        os._exit(0)
    listener.close()
    os.wait()

    pid_file = os.path.join(directory, "pid")
    deadline = time.monotonic() + START_WAIT
    while not os.path.exists(pid_file) and time.monotonic() < deadline:
        time.sleep(0.05)
    if not os.path.exists(pid_file):
        print("the TLS server did not start", file=sys.stderr)
        return 1
    # The port is written last: once it is there, the server is listening.
    with open(os.path.join(directory, "port.new"), "w") as f:
        f.write(str(port))
    os.replace(os.path.join(directory, "port.new"), os.path.join(directory, "port"))
    print(f"TLS server on 127.0.0.1:{port}")
    return 0


def read_pid(directory):
    try:
        with open(os.path.join(directory, "pid")) as f:
            return int(f.read())
    except (OSError, ValueError):
        return None


def is_our_server(pid, directory):
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            arguments = f.read().split(b"\0")
    except OSError:
        return False
    return any(a.endswith(b"tls_server.py") for a in arguments) and os.fsencode(directory) in arguments


def stop(directory):
    pid = read_pid(directory)
    if pid is None:
        return 0
    # A zombie has no command line, so this also ends when nobody reaps it.
    try:
        if is_our_server(pid, directory):
            os.kill(pid, signal.SIGTERM)
            deadline = time.monotonic() + STOP_WAIT
            while is_our_server(pid, directory) and time.monotonic() < deadline:
                time.sleep(0.05)
            if is_our_server(pid, directory):
                os.kill(pid, signal.SIGKILL)
    except ProcessLookupError:
        pass
    if os.path.exists(os.path.join(directory, "pid")):
        os.remove(os.path.join(directory, "pid"))
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("start", "stop"):
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    sys.exit(start(sys.argv[2]) if sys.argv[1] == "start" else stop(sys.argv[2]))
