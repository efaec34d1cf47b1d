#!/usr/bin/env bash
# Serves the Bible server (bible.scrollwick.org) and the web site (scrollwick.org) from this
# checkout with the real nginx configuration of server/nginx, over HTTPS with a throwaway CA.
#
#   tools/serve-bible.sh run [--] CMD [ARGS...]
#       Runs CMD in a private mount and network namespace (loopback only) where both host names
#       resolve to 127.0.0.1, nginx serves them on port 443 (HTTP/1.1 and HTTP/2), and the CA
#       bundle that OpenSSL, curl and Wine read trusts the throwaway CA. CMD sees:
#         SCROLLWICK_CA_CERT        the CA certificate (PEM)
#         SCROLLWICK_SERVER_SPKI    base64 SHA-256 of the server key, for chromium's
#                                   --ignore-certificate-errors-spki-list
#         SCROLLWICK_SERVER_CTL     "$SCROLLWICK_SERVER_CTL stop|start" stops or restarts nginx
#         SCROLLWICK_SERVER_LOGS    nginx's log folder (access.log, error.log)
#       When CMD ends nginx stops and every file made for the run goes; the machine's own
#       /etc/hosts and CA store are never touched. Exits with CMD's status, or 77 when it cannot
#       make the namespace (it needs root).
#   tools/serve-bible.sh start | stop
#       For development: serves both hosts on 127.0.0.1 at port $SCROLLWICK_DEV_PORT (8443) until
#       stopped, and prints how to reach them.
#
# The books come from the build (build/server/content, made by `cmake --build`).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
content="$root/build/server/content"
hosts="bible.scrollwick.org scrollwick.org"
bundle=/etc/ssl/certs/ca-certificates.crt

die() {
  echo "serve-bible: $*" >&2
  exit "${2:-1}"
}

# make_tls DIR: a throwaway CA and a server certificate for both host names, valid for two days.
make_tls() {
  local dir=$1
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Scrollwick throwaway CA" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
    -keyout "$dir/ca.key" -out "$dir/ca.pem" 2>/dev/null
  openssl req -new -newkey rsa:2048 -nodes -subj "/CN=bible.scrollwick.org" \
    -keyout "$dir/server.key" -out "$dir/server.csr" 2>/dev/null
  printf '%s\n' "subjectAltName=DNS:${hosts// /,DNS:}" "basicConstraints=critical,CA:FALSE" \
    "keyUsage=critical,digitalSignature,keyEncipherment" "extendedKeyUsage=serverAuth" \
    >"$dir/server.ext"
  openssl x509 -req -in "$dir/server.csr" -CA "$dir/ca.pem" -CAkey "$dir/ca.key" \
    -CAcreateserial -days 2 -sha256 -extfile "$dir/server.ext" -out "$dir/server.pem" 2>/dev/null
  chmod 600 "$dir/ca.key" "$dir/server.key"
}

server_spki() {
  openssl x509 -in "$1/server.pem" -pubkey -noout | openssl pkey -pubin -outform der |
    openssl dgst -sha256 -binary | base64
}

# write_config DIR LISTEN: nginx's configuration for this checkout in DIR, logs in DIR/logs.
write_config() {
  local dir=$1 listen=$2 template
  mkdir -p "$dir/servers" "$dir/logs" "$dir/temp"
  for template in "$root/server/nginx/nginx.conf" "$root"/server/nginx/{bible,site}.conf; do
    [ -f "$template" ] || continue
    local out="$dir/servers/$(basename "$template")"
    [ "$(basename "$template")" = nginx.conf ] && out="$dir/nginx.conf"
    sed -e "s|@RUN_DIR@|$dir|g" -e "s|@LOG_DIR@|$dir/logs|g" -e "s|@LISTEN@|$listen|g" \
      -e "s|@CERT@|$dir/server.pem|g" -e "s|@KEY@|$dir/server.key|g" \
      -e "s|@CONTENT_ROOT@|$content|g" -e "s|@SITE_ROOT@|$root/server/site|g" \
      -e "s|@SITE_GENERATED@|$root/build/server/site-generated|g" "$template" >"$out"
  done
}

nginx_pid() {
  local pid
  pid=$(cat "$1/nginx.pid" 2>/dev/null) || return 1
  kill -0 "$pid" 2>/dev/null && echo "$pid"
}

# start_nginx DIR PORT: starts nginx and waits (at most 10 s) until it answers.
start_nginx() {
  local dir=$1 port=$2 code
  nginx_pid "$dir" >/dev/null && return 0
  nginx -e "$dir/logs/error.log" -c "$dir/nginx.conf" || die "nginx did not start"
  for _ in $(seq 100); do
    code=$(curl -s -o /dev/null -w '%{http_code}' --max-time 2 --cacert "$dir/ca.pem" \
      --resolve "bible.scrollwick.org:$port:127.0.0.1" "https://bible.scrollwick.org:$port/") || true
    [ "$code" = 404 ] && return 0
    sleep 0.1
  done
  die "nginx does not answer on port $port (see $dir/logs/error.log)"
}

# stop_nginx DIR: asks nginx to finish its requests and quit, then waits for it (at most 10 s).
stop_nginx() {
  local dir=$1 pid
  pid=$(nginx_pid "$dir") || return 0
  kill -QUIT "$pid"
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
}

need_content() {
  [ -f "$content/report.txt" ] ||
    die "no books in $content yet: build them first (cmake --build --preset native --target server_content)"
}

run() {
  [ "${1:-}" = -- ] && shift
  [ $# -gt 0 ] || die "usage: serve-bible.sh run [--] CMD [ARGS...]"
  [ "$(id -u)" -eq 0 ] || die "run needs root for its private namespace (unshare -m -n)" 77
  unshare -m -n true 2>/dev/null || die "cannot make a private mount and network namespace here" 77
  need_content
  local dir status=0
  dir=$(mktemp -d /tmp/scrollwick-serve.XXXXXX)
  chmod 755 "$dir"
  trap 'stop_nginx "$dir"; rm -rf "$dir"' EXIT
  trap 'exit 130' INT TERM
  make_tls "$dir"
  write_config "$dir" 127.0.0.1:443
  { cat /etc/hosts; echo "127.0.0.1 $hosts"; } >"$dir/hosts"
  { cat "$bundle"; cat "$dir/ca.pem"; } >"$dir/ca-certificates.crt"
  printf '#!/bin/sh\nexec %q __ctl %q "$@"\n' "$root/tools/serve-bible.sh" "$dir" >"$dir/ctl"
  chmod 755 "$dir/ctl"
  unshare -m -n --propagation private "$root/tools/serve-bible.sh" __inside "$dir" "$@" ||
    status=$?
  exit "$status"
}

# Inside the namespace: loopback up, the two files bound over the machine's, nginx, then CMD.
inside() {
  local dir=$1 status=0
  shift
  ip link set lo up
  mount --bind "$dir/hosts" /etc/hosts
  mount --bind "$dir/ca-certificates.crt" "$bundle"
  start_nginx "$dir" 443
  export SCROLLWICK_CA_CERT="$dir/ca.pem" SCROLLWICK_SERVER_CTL="$dir/ctl"
  export SCROLLWICK_SERVER_LOGS="$dir/logs" SCROLLWICK_SERVER_SPKI
  SCROLLWICK_SERVER_SPKI=$(server_spki "$dir")
  "$@" || status=$?
  stop_nginx "$dir"
  exit "$status"
}

ctl() {
  case "${2:-}" in
    start) start_nginx "$1" 443 ;;
    stop) stop_nginx "$1" ;;
    *) die "usage: \$SCROLLWICK_SERVER_CTL stop|start" ;;
  esac
}

dev_start() {
  local dir="$root/build/server/dev" port=${SCROLLWICK_DEV_PORT:-8443}
  need_content
  if nginx_pid "$dir" >/dev/null; then
    echo "serve-bible: already running (tools/serve-bible.sh stop ends it)"
    return
  fi
  rm -rf "$dir"
  mkdir -p "$dir"
  make_tls "$dir"
  write_config "$dir" "127.0.0.1:$port"
  start_nginx "$dir" "$port"
  cat <<EOF
Serving bible.scrollwick.org and scrollwick.org on https://127.0.0.1:$port/ until
tools/serve-bible.sh stop. For example:
  curl --cacert $dir/ca.pem --resolve bible.scrollwick.org:$port:127.0.0.1 \\
    https://bible.scrollwick.org:$port/bible/v1/web/JHN.json
  chromium --host-resolver-rules="MAP scrollwick.org:443 127.0.0.1:$port" \\
    --ignore-certificate-errors-spki-list=$(server_spki "$dir") https://scrollwick.org/
Logs: $dir/logs
EOF
}

dev_stop() {
  local dir="$root/build/server/dev"
  stop_nginx "$dir"
  rm -rf "$dir"
}

case "${1:-}" in
  run) shift && run "$@" ;;
  start) dev_start ;;
  stop) dev_stop ;;
  __inside) shift && inside "$@" ;;
  __ctl) shift && ctl "$@" ;;
  *) die "usage: serve-bible.sh run [--] CMD [ARGS...] | start | stop" ;;
esac
