#!/usr/bin/env bash
# Builds the two Debian packages from the build tree and checks them as an installer and a
# packager would: the files at their paths, the service's command line and hardening, the
# dependencies found from the shared libraries, the built-in server address of the packaged
# program, lintian, the desktop entry and AppStream file, and the nginx site example, which is
# checked with nginx -t and then run over HTTP/2 against documents the server published.
#   tst_packages.sh BUILD_DIR DEFAULT_SERVER PACKAGE_SERVER
set -uo pipefail
build=$(realpath "$1")
default_server=$2
package_server=$3
here=$(dirname "$0")
# shellcheck source=../support/nginxsite.sh
source "$here/../support/nginxsite.sh"

work=$(mktemp -d)
trap 'nginx_site_stop; rm -rf "$work"' EXIT
failures=0
passes=0
check() { # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@" >"$work/check.out" 2>&1; then
        passes=$((passes + 1))
        echo "PASS   : $what"
    else
        failures=$((failures + 1))
        echo "FAIL!  : $what"
        sed 's/^/    /' "$work/check.out" | head -20
    fi
}
contains() { grep -qxF -- "$2" "$1"; }
field_is() { [ "$(dpkg-deb -f "$1" "$2")" = "$3" ] || { dpkg-deb -f "$1" "$2"; false; }; }

(cd "$build" && cpack -G DEB -B "$work/dist" >"$work/cpack.log" 2>&1) || {
    cat "$work/cpack.log"
    echo "FAIL!  : cpack builds the packages"
    exit 1
}
program=$(ls "$work"/dist/quentara_*_*.deb)
server=$(ls "$work"/dist/quentara-server_*_*.deb)
check "two packages, named as Debian names them" test -f "$program" -a -f "$server"

dpkg-deb -c "$program" | awk '{print $6}' | sed 's|^\./|/|' >"$work/program.files"
dpkg-deb -c "$server" | awk '{print $6}' | sed 's|^\./|/|' >"$work/server.files"
for file in /usr/lib/quentara/quentara /usr/lib/quentara/quentara-reader \
    /usr/lib/quentara/sound.wav /usr/bin/quentara /usr/share/applications/quentara.desktop \
    /usr/share/metainfo/app.quentara.Quentara.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/quentara.svg /usr/share/doc/quentara/copyright; do
    check "quentara holds $file" contains "$work/program.files" "$file"
done
for size in 16 22 24 32 48 64 128 256; do
    check "quentara holds the ${size}px icon" \
        contains "$work/program.files" "/usr/share/icons/hicolor/${size}x${size}/apps/quentara.png"
done
for file in /usr/bin/quentara-server /lib/systemd/system/quentara-server.service \
    /usr/share/doc/quentara-server/README.md \
    /usr/share/doc/quentara-server/examples/nginx/quentara-server \
    /usr/share/doc/quentara-server/examples/nginx/nginx-quentara-server.conf \
    /usr/share/doc/quentara-server/copyright; do
    check "quentara-server holds $file" contains "$work/server.files" "$file"
done
check "/usr/bin/quentara leads to the program" \
    bash -c "dpkg-deb -c '$program' | grep -q '\./usr/bin/quentara -> \.\./lib/quentara/quentara$'"

check "the program's dependencies come from its libraries" \
    bash -c "dpkg-deb -f '$program' Depends | grep -q 'libqt6widgets6' && dpkg-deb -f '$program' Depends | grep -q 'libqt6webenginewidgets6'"
check "the program depends on the font its layouts are measured in" \
    bash -c "dpkg-deb -f '$program' Depends | grep -q 'fonts-liberation2'"
check "the server's dependencies come from its libraries" \
    bash -c "dpkg-deb -f '$server' Depends | grep -q 'libqt6httpserver6'"
check "the server does not pull in the desktop" \
    bash -c "! dpkg-deb -f '$server' Depends | grep -q 'libqt6widgets6\|webengine'"

mkdir -p "$work/program" "$work/server"
dpkg-deb -x "$program" "$work/program"
dpkg-deb -x "$server" "$work/server"
check "the packaged program talks to the server on this machine" \
    bash -c "'$work/program/usr/lib/quentara/quentara' --help | tr -s ' \n' ' ' | grep -qF '(default $package_server)'"
check "the program itself never loads the embedded browser, its reader does" \
    bash -c "! readelf -d '$work/program/usr/lib/quentara/quentara' | grep -q WebEngine && readelf -d '$work/program/usr/lib/quentara/quentara-reader' | grep -q WebEngine"
check "the program of the build talks to the product's server" \
    bash -c "'$build/bin/quentara' --help | tr -s ' \n' ' ' | grep -qF '(default $default_server)'"

unit="$work/server/lib/systemd/system/quentara-server.service"
for line in \
    "ExecStart=/usr/bin/quentara-server --live --data /var/lib/quentara-server/cache --publish /var/lib/quentara-server/www --address 127.0.0.1 --port 8765" \
    "DynamicUser=yes" "StateDirectory=quentara-server" "Restart=on-failure" \
    "NoNewPrivileges=yes" "ProtectSystem=strict" "ProtectHome=yes" "PrivateTmp=yes" \
    "WantedBy=multi-user.target"; do
    check "the unit says $line" contains "$unit" "$line"
done
check "the unit writes nowhere but its state directory" \
    bash -c "! grep -E '^(ReadWritePaths|BindPaths)=' '$unit'"
if command -v systemd-analyze >/dev/null; then
    # The unit as installed, but for where its program lies now.
    sed "s|/usr/bin/quentara-server|$work/server/usr/bin/quentara-server|" "$unit" \
        >"$work/quentara-server.service"
    check "systemd reads the unit without complaint" \
        bash -c "systemd-analyze verify '$work/quentara-server.service' 2>&1 | grep . && false || true"
fi

check "lintian finds no errors" bash -c "lintian '$program' '$server' 2>&1 | grep '^E:' && false || true"
check "the desktop entry is valid" desktop-file-validate "$work/program/usr/share/applications/quentara.desktop"
check "the AppStream file is valid" \
    appstreamcli validate --no-net --pedantic "$work/program/usr/share/metainfo/app.quentara.Quentara.metainfo.xml"

# The nginx site over documents the server published once.
site="$work/server/usr/share/doc/quentara-server/examples/nginx/quentara-server"
check "the nginx site is the one in the source tree" cmp "$site" "$NGINX_SITE_EXAMPLE"
mkdir -p "$work/www" "$work/nginx"
"$build/bin/quentara-server" --clock 2024-05-14T10:06:00Z --publish "$work/www" >/dev/null 2>&1
nginx_site_config "$work/www" "$work/nginx" 8443
check "nginx -t accepts the site" nginx -t -p "$work/nginx" -c "$work/nginx/nginx.conf"
if nginx_site_start "$work/www" "$work/nginx"; then
    flag=$(curl -sk --http2 -D "$work/flag.head" -o "$work/flag.body" \
        -w '%{http_version} %{content_type}' "${NGINX_SITE_URL}signals/-cantrade_xml.php")
    check "the trading flag comes over HTTP/2 as XML" test "$flag" = "2 text/xml; charset=utf-8"
    check "the trading flag is the file, not a script's output" \
        cmp "$work/flag.body" "$work/www/signals/-cantrade_xml.php"
    curl -sk --http2 -H 'Accept-Encoding: gzip' -D "$work/record.head" -o "$work/record.gz" \
        "${NGINX_SITE_URL}signals/eurusd.xml"
    check "records are sent gzipped" grep -qi '^content-encoding: gzip' "$work/record.head"
    check "records live 30 seconds in caches" grep -qi '^cache-control: public, max-age=30' "$work/record.head"
    check "a gzipped record is the record" bash -c "gzip -dc '$work/record.gz' | cmp - '$work/www/signals/eurusd.xml'"
    check "no other php is answered" \
        test "$(curl -sk -o /dev/null -w '%{http_code}' "${NGINX_SITE_URL}signals/other.php")" = 404
    nginx_site_stop
else
    failures=$((failures + 1))
    cat "$work/nginx/error.log"
fi

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
