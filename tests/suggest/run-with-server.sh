#!/usr/bin/env bash
# Runs a test program with the scripted suggestion server beside it:
#   run-with-server.sh PROGRAM [ARGS...]
# Makes a self-signed certificate for 127.0.0.1 (openssl), starts
# suggest_server.py with Debian's /usr/bin/python3 on 127.0.0.1 and two free
# ports, passes them as TAVREL_SUGGEST_HTTP_PORT and TAVREL_SUGGEST_HTTPS_PORT,
# runs the program and stops the server whatever the program's end. The
# server also ends by itself when this script is gone or after 15 minutes.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3
for tool in "$python" openssl; do
    command -v "$tool" >/dev/null || { echo "run-with-server.sh: $tool is missing" >&2; exit 1; }
done
work=$(mktemp -d)
server_pid=
stop_server() {
    if [ -n "$server_pid" ]; then
        kill "$server_pid" 2>/dev/null || true
        wait "$server_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap stop_server EXIT
trap 'exit 143' TERM INT

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 \
    -addext subjectAltName=IP:127.0.0.1 -keyout "$work/key.pem" -out "$work/cert.pem" >/dev/null 2>&1
"$python" "$here/suggest_server.py" --ports-file "$work/ports" --cert "$work/cert.pem" \
    --key "$work/key.pem" --max-seconds 900 &
server_pid=$!
for _ in $(seq 100); do
    [ -s "$work/ports" ] && break
    kill -0 "$server_pid" 2>/dev/null || { echo "run-with-server.sh: the server did not start" >&2; exit 1; }
    sleep 0.1
done
[ -s "$work/ports" ] || { echo "run-with-server.sh: the server did not listen within 10 s" >&2; exit 1; }
read -r http_port https_port <"$work/ports"
export TAVREL_SUGGEST_HTTP_PORT=$http_port TAVREL_SUGGEST_HTTPS_PORT=$https_port
echo "suggestion server: http 127.0.0.1:$http_port, https 127.0.0.1:$https_port (self-signed)"
set +e
"$@"
rc=$?
set -e
exit $rc
