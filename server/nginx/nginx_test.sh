#!/usr/bin/env bash
# Runs inside `tools/serve-bible.sh run`: asks the real nginx for books as the companion and a
# cache would, and checks what comes back, the paths that must not answer, and the logs.
set -uo pipefail
content=$1
failures=0
check() {  # check DESCRIPTION COMMAND...
  if ! "${@:2}"; then
    echo "FAIL: $1"
    failures=$((failures + 1))
  fi
}
has() { grep -qi -- "$1" <<<"$2"; }
lacks() { ! grep -qi -- "$1" <<<"$2"; }

url=https://bible.scrollwick.org/bible/v1/ylt/PSA.json
book="$content/bible/v1/ylt/PSA.json"
body=$(mktemp)
trap 'rm -f "$body"' EXIT

for version in --http1.1 --http2; do
  head=$(curl -sS "$version" --compressed -D - -o "$body" "$url")
  check "$version gzip: status" has "^HTTP/[12.]* 200" "$head"
  check "$version gzip: encoding" has "^content-encoding: gzip" "$head"
  check "$version gzip: body is the book" cmp -s "$body" "$book"
done
check "gzip: cache" has "^cache-control: public, max-age=31536000, immutable" "$head"
check "gzip: vary" has "^vary: Accept-Encoding" "$head"
check "gzip: last-modified" has "^last-modified: " "$head"
check "gzip: strong etag" has '^etag: "' "$head"
etag=$(grep -i '^etag:' <<<"$head" | cut -d' ' -f2 | tr -d '\r')
check "gzip: 304 for its etag" has "^HTTP/2 304" \
  "$(curl -sS --compressed -I -H "If-None-Match: $etag" "$url")"

head=$(curl -sS -D - -o "$body" "$url")
check "identity: body is the book" cmp -s "$body" "$book"
check "identity: not encoded" lacks "^content-encoding" "$head"
check "identity: cache" has "^cache-control: public, max-age=31536000, immutable" "$head"
check "identity: strong etag other than the gzip one" has "^etag: \"[^W]" "$head"
check "identity: etags differ" lacks "^etag: $etag" "$head"

for path in /bible/v1/ylt/PSA /bible/v1/ylt/PSA.json/ /bible/v1/ylt/ /bible/v1/ /bible/v1/YLT/PSA.json \
  /bible/v1/ylt/psa.json /bible/v1/ylt//PSA.json /bible/v1/ylt/PSA.json.gz /bible/v1/ylt/XYZ.json \
  /bible/v1/niv/PSA.json /bible/v2/ylt/PSA.json /report.txt /; do
  answer=$(curl -sS -o /dev/null -w '%{http_code} %{redirect_url}' "https://bible.scrollwick.org$path")
  check "$path answers $answer" test "$answer" = "404 "
done
check "unknown host" test "$(curl -sS -o /dev/null -w '%{http_code}' --resolve other.example:443:127.0.0.1 \
  https://other.example/bible/v1/ylt/PSA.json -k)" = 404

for host in bible.scrollwick.org scrollwick.org; do
  check "$host: certificate verifies" has "Verify return code: 0 (ok)" \
    "$(openssl s_client -connect 127.0.0.1:443 -servername "$host" -verify_hostname "$host" \
      -verify_return_error </dev/null 2>/dev/null)"
done

log="$SCROLLWICK_SERVER_LOGS/access.log"
check "access log records the requests" test "$(grep -c 'PSA.json' "$log")" -ge 5
check "access log holds no client address" lacks '127\.0\.0\.1' "$(cat "$log")"
check "error log holds no client address" lacks 'client:' "$(cat "$SCROLLWICK_SERVER_LOGS/error.log")"

echo "$failures failed"
[ "$failures" -eq 0 ]
