# Runs the nginx site example that quentara-server ships, as it is but for its address, its
# certificate and its folder, on 127.0.0.1 for tests and benchmarks. Source this file, then:
#   nginx_site_start FOLDER WORKDIR   serves FOLDER over HTTP/2 and TLS; sets NGINX_SITE_URL
#   nginx_site_stop                   ends that nginx
# The certificate is made by openssl for the run.

NGINX_SITE_EXAMPLE="$(dirname "${BASH_SOURCE[0]}")/../../packaging/nginx/quentara-server"

# Writes WORKDIR/nginx.conf for the site on PORT over FOLDER, with a fresh certificate.
nginx_site_config() {
    local folder=$1 work=$2 port=$3
    mkdir -p "$work/temp"
    openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 \
        -subj /CN=localhost -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
    sed -e "s|listen 443 ssl http2;|listen 127.0.0.1:$port ssl http2;|" \
        -e '/listen \[::\]:443/d' \
        -e "s|ssl_certificate /.*;|ssl_certificate $work/cert.pem;|" \
        -e "s|ssl_certificate_key /.*;|ssl_certificate_key $work/key.pem;|" \
        -e "s|root /srv/quentara-server/www;|root $folder;|" \
        "$NGINX_SITE_EXAMPLE" >"$work/site.conf"
    cat >"$work/nginx.conf" <<CONF
daemon off;
worker_processes 1;
pid $work/nginx.pid;
error_log $work/error.log;
events { worker_connections 1024; }
http {
    include /etc/nginx/mime.types;
    default_type application/octet-stream;
    access_log off;
    client_body_temp_path $work/temp/body;
    proxy_temp_path $work/temp/proxy;
    fastcgi_temp_path $work/temp/fastcgi;
    uwsgi_temp_path $work/temp/uwsgi;
    scgi_temp_path $work/temp/scgi;
    include $work/site.conf;
}
CONF
}

# A loopback port nothing answers on.
nginx_site_free_port() {
    local port
    for _ in $(seq 1 50); do
        port=$((20000 + RANDOM % 30000))
        if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
            echo "$port"
            return 0
        fi
    done
    return 1
}

nginx_site_start() {
    local folder=$1 work=$2 port
    port=$(nginx_site_free_port)
    nginx_site_config "$folder" "$work" "$port"
    # Workers that run as an unprivileged user must be able to reach and read the folder.
    chmod -R a+rX "$folder"
    local dir=$folder
    while [ "$dir" != / ]; do
        dir=$(dirname "$dir")
        if [ -O "$dir" ] && [ ! -x "$dir" -o "$(stat -c %A "$dir" | cut -c10)" != x ]; then
            chmod a+x "$dir"
        fi
    done
    nginx -p "$work" -c "$work/nginx.conf" &
    NGINX_SITE_PID=$!
    NGINX_SITE_URL="https://127.0.0.1:$port/"
    for _ in $(seq 1 100); do
        if curl -sk -o /dev/null "$NGINX_SITE_URL"; then
            return 0
        fi
        sleep 0.05
    done
    echo "nginx did not start; see $work/error.log" >&2
    return 1
}

nginx_site_stop() {
    if [ -n "${NGINX_SITE_PID:-}" ]; then
        kill "$NGINX_SITE_PID" 2>/dev/null || true
        wait "$NGINX_SITE_PID" 2>/dev/null || true
        NGINX_SITE_PID=""
    fi
}
