#!/usr/bin/env bash
# Serving many users: the nginx site example in front of a published folder on loopback, as a
# static web server or CDN in front of one publisher would be. Figures: a record's size plain and
# gzipped as nginx sends it, what one user costs per minute (a cycle of 62 records plus the
# trading flag), and the records nginx serves per second over HTTP/2 with gzip (h2load, one run).
set -euo pipefail
server_bin=$1
support=$2
# shellcheck source=../tests/support/nginxsite.sh
source "$support/nginxsite.sh"

work=$(mktemp -d)
trap 'nginx_site_stop; rm -rf "$work"' EXIT
mkdir -p "$work/www" "$work/nginx"
"$server_bin" --clock 2024-05-14T10:06:00Z --publish "$work/www" >/dev/null 2>&1
nginx_site_start "$work/www" "$work/nginx"

record=signals/eurusd.xml
plain=$(stat -c %s "$work/www/$record")
gzipped=$(curl -sk --http2 -H 'Accept-Encoding: gzip' -o "$work/record.gz" -w '%{size_download}' \
    "$NGINX_SITE_URL$record")
flag=$(curl -sk --http2 -H 'Accept-Encoding: gzip' -o /dev/null -w '%{size_download}' \
    "${NGINX_SITE_URL}signals/-cantrade_xml.php")
# Every record of a cycle, gzipped as sent.
cycle=$flag
for file in "$work"/www/signals/*.xml; do
    name=${file#"$work/www/"}
    case $name in signals/calendar_* | signals/urls.xml) continue ;; esac
    size=$(curl -sk --http2 -H 'Accept-Encoding: gzip' -o /dev/null -w '%{size_download}' \
        "$NGINX_SITE_URL$name")
    cycle=$((cycle + size))
done
printf 'BENCH record_bytes %d bytes\n' "$plain"
printf 'BENCH record_gzip_bytes %d bytes\n' "$gzipped"
printf 'BENCH user_bytes_per_minute_gzip %d bytes\n' "$cycle"
printf 'BENCH user_requests_per_minute %d requests\n' 63

# 50 connections (nginx answers 1,000 requests on one connection, then asks for a new one),
# 10 streams each, records with gzip, 50,000 requests.
h2load -n 50000 -c 50 -m 10 -t 1 -H 'Accept-Encoding: gzip' "$NGINX_SITE_URL$record" \
    >"$work/h2load.txt" 2>&1
rate=$(sed -n 's/^finished in .*, \([0-9.]*\) req\/s.*/\1/p' "$work/h2load.txt")
succeeded=$(sed -n 's/^requests: .* \([0-9]*\) succeeded.*/\1/p' "$work/h2load.txt")
if [ -z "$rate" ] || [ "$succeeded" != 50000 ]; then
    cat "$work/h2load.txt" >&2
    exit 1
fi
printf 'BENCH nginx_records_per_second %s requests/s\n' "$rate"
printf 'BENCH nginx_users_served_per_core %d users\n' "$(awk -v r="$rate" 'BEGIN { print int(r * 60 / 63) }')"
