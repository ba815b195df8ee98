#!/usr/bin/env bash
# A private WordPress on 127.0.0.1 for the publishing tests and the demo.
#
#   scripts/wordpress.sh start  [STATE_DIR]   start (installing once), print the XML-RPC address
#   scripts/wordpress.sh start-network [STATE_DIR]
#                                             the same, but installed as a subdirectory network of
#                                             two sites, "/" and "/site2/", both the user's to write to
#   scripts/wordpress.sh stop   [STATE_DIR]   stop what start started
#   scripts/wordpress.sh status [STATE_DIR]   exit 0 and print the XML-RPC address when running
#   scripts/wordpress.sh xmlrpc on|off|fault [STATE_DIR]
#                                             open XML-RPC, block it as hosts do (HTTP 403 and an
#                                             HTML page), or switch it off (fault 405); REST stays open
#
# STATE_DIR defaults to <repo>/build/wordpress and holds everything: a copy of
# Debian's WordPress with its own wp-config.php and content folder (site/), a
# MariaDB data folder (db/) served only on a socket, pid files and the socket
# (run/), logs (log/), and on success wordpress.env (WP_URL, WP_XMLRPC,
# WP_USER, WP_PASSWORD, WP_APP_PASSWORD (a fresh application password for
# the REST API at every start), WP_BLOG_NAME, WP_XMLRPC_SWITCH (the file the
# xmlrpc command writes: absent, "403" or "fault") and WP_SERVER_LOG; for a
# network also WP_NETWORK=1 and the second site's WP_SITE2_URL,
# WP_SITE2_XMLRPC and WP_SITE2_NAME; for a single site the TLS front of
# wordpress/tls-front.sh: WP_TLS_CA (the test authority's certificate, PEM),
# WP_TLS_LOG (stunnel's log) and WP_TLS_<SERVICE>=https://localhost:<port>
# for each of its certificates, e.g. WP_TLS_GOOD and WP_TLS_REVOKED). A state folder stays what its first
# start made it: a single site, or a network (start starts either). PHP's
# built-in server listens on 127.0.0.1 only. The port is the previous one
# when it is free, else any free one; WP_PORT in the environment asks for one.
# wordpress.env is key=value lines for reading, not for sourcing: a value may
# hold spaces (the application password). Both servers run in their own
# process groups and are stopped by those groups' ids.
set -Eeuo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
files="$here/wordpress"
wp_src=/usr/share/wordpress
packages=(wordpress wordpress-theme-twentytwentythree php8.2-cli php8.2-mysql php8.2-xml php8.2-gd
          mariadb-server curl stunnel4 openssl)
blog_name=Capture-Blog
site2_folder=site2
site2_name=Second-Blog
wp_user=demo

usage() { echo "usage: $0 start|start-network|stop|status [STATE_DIR] | xmlrpc on|off|fault [STATE_DIR]" >&2; exit 2; }
say() { echo "wordpress.sh: $*" >&2; }
# shellcheck source=wordpress/tls-front.sh
source "$files/tls-front.sh"

command=${1:-}
xmlrpc_mode=""
case "$command" in
  start|start-network|stop|status) ;;
  xmlrpc) xmlrpc_mode=${2:-}; shift
          case "$xmlrpc_mode" in on|off|fault) ;; *) usage ;; esac ;;
  *) usage ;;
esac
state=${2:-$root/build/wordpress}
mkdir -p "$state"
state=$(cd "$state" && pwd)
site="$state/site" db="$state/db" run="$state/run" logs="$state/log"

# "network" or "single", fixed by the first start that installs.
mode_of_state() { cat "$state/mode" 2>/dev/null || echo single; }

# --- processes --------------------------------------------------------------

# True when the pid in $1 is alive and its command line holds $2, so a pid
# file left over from another boot never leads to killing a stranger.
ours() {
  local pid
  pid=$(cat "$1" 2>/dev/null) || return 1
  [[ "$pid" =~ ^[0-9]+$ ]] || return 1
  [ -r "/proc/$pid/cmdline" ] && tr '\0' '\n' <"/proc/$pid/cmdline" 2>/dev/null | grep -qxF -- "$2"
}

# Runs a command as the leader of a new session and process group; its pid
# (also its group id) goes to $1. Output goes to $2.
spawn() {
  local pidfile=$1 log=$2; shift 2
  rm -f "$pidfile"
  # The lock (fd 9) stays with this script: a server that inherited it would
  # hold it for its whole life and every later start or stop would wait on it.
  setsid sh -c 'echo $$ >"$0.tmp" && mv "$0.tmp" "$0" && exec "$@"' "$pidfile" "$@" </dev/null >>"$log" 2>&1 9>&- &
  wait_for 5 test -s "$pidfile"
}

group_gone() { ! kill -0 -- "-$1" 2>/dev/null; }

# Stops the process group whose leader's pid is in $1 (TERM, then KILL after
# $3 seconds) when the leader is ours ($2 as in ours()).
stop_group() {
  local pidfile=$1 mark=$2 grace=$3 pid
  if ours "$pidfile" "$mark"; then
    pid=$(cat "$pidfile")
    kill -TERM -- "-$pid" 2>/dev/null || true
    wait_for "$grace" group_gone "$pid" || true
    if ! group_gone "$pid"; then
      kill -KILL -- "-$pid" 2>/dev/null || true
      wait_for 2 group_gone "$pid" || true
    fi
  fi
  rm -f "$pidfile"
}

switch_file() { echo "$site/wp-content/xmlrpc-blocked"; }

set_xmlrpc() {
  case "$1" in
    on) rm -f "$(switch_file)" ;;
    off) echo 403 >"$(switch_file).tmp" && mv "$(switch_file).tmp" "$(switch_file)" ;;
    fault) echo fault >"$(switch_file).tmp" && mv "$(switch_file).tmp" "$(switch_file)" ;;
  esac
}

socket_path() {
  if [ -f "$run/socket-link" ]; then echo "$(cat "$run/socket-link")/mysqld.sock"; else echo "$run/mysqld.sock"; fi
}

stop_all() {
  tls_stop
  stop_group "$run/php.pid" "$site" 10
  stop_group "$run/mariadbd.pid" "--datadir=$db" 30
  if [ -f "$run/socket-link" ]; then
    local link; link=$(cat "$run/socket-link")
    [ -L "$link" ] && rm -f "$link"
    rm -f "$run/socket-link"
  fi
  rm -f "$state/wordpress.env" "$run/mysqld.sock"
}

port_answers() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

running() {
  local port
  port=$(cat "$state/port" 2>/dev/null) || return 1
  ours "$run/mariadbd.pid" "--datadir=$db" && ours "$run/php.pid" "$site" &&
    [ -s "$state/wordpress.env" ] && port_answers "$port" &&
    { [ "$(mode_of_state)" = network ] || ours "$run/stunnel.pid" "$(tls_dir)/stunnel.conf"; }
}

# Runs a command until it succeeds or $1 seconds have passed; a wait is a
# deadline, not a count of turns, so a slow machine gets the same time.
wait_for() {
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do
    [ $SECONDS -lt "$deadline" ] || return 1
    sleep 0.05
  done
}

# --- pieces of start --------------------------------------------------------

# PHP's server is up on port $1 (true at once when it has stopped, to be told apart after).
php_listens() { port_answers "$1" || ! ours "$run/php.pid" "$site"; }

# The database answers a query (true at once when it has stopped, to be told apart after).
mariadb_answers() {
  ours "$run/mariadbd.pid" "--datadir=$db" || return 0
  [ -S "$(socket_path)" ] && sql -e 'SELECT 1' >/dev/null 2>&1
}

install_packages() {
  local missing=() p installed
  installed=" $(dpkg-query -W -f='${db:Status-Status}:${Package} ' "${packages[@]}" 2>/dev/null || true) "
  for p in "${packages[@]}"; do
    [[ "$installed" == *" installed:$p "* ]] || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  say "installing ${missing[*]}"
  local sudo=(); [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq >&2 &&
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# A port on 127.0.0.1 that nothing listens on: the previous one when it is
# still free (the posts' addresses keep working), else one the kernel picks.
pick_port() {
  php -r '
    foreach ([(int) $argv[1], 0] as $p) {
      $s = @stream_socket_server("tcp://127.0.0.1:$p", $errno, $error);
      if ($s) { $n = stream_socket_get_name($s, false); echo substr($n, strrpos($n, ":") + 1); exit(0); }
    }
    exit(1);' "$(cat "$state/port" 2>/dev/null || echo 0)"
}

random_word() { head -c "$1" /dev/urandom | od -An -tx1 | tr -d ' \n'; }

# The WordPress tree: a copy of Debian's (hard links when the file system
# allows, so it costs neither time nor space), renewed when the package
# changes. WordPress never writes into its own files here (file changes are
# disallowed); uploads land in new files under wp-content/uploads.
prepare_site() {
  local version
  version=$(dpkg-query -W -f='${Version}' wordpress wordpress-theme-twentytwentythree | tr '\n' ' ')
  if [ "$(cat "$site/.package-version" 2>/dev/null)" != "$version" ]; then
    rm -rf "$site.new"
    cp -al "$wp_src" "$site.new" 2>/dev/null || { rm -rf "$site.new"; cp -a "$wp_src" "$site.new"; }
    rm -f "$site.new/wp-config.php"
    if [ -d "$site/wp-content/uploads" ]; then mv "$site/wp-content/uploads" "$site.new/wp-content/uploads"; fi
    echo "$version" >"$site.new/.package-version"
    rm -rf "$site"
    mv "$site.new" "$site"
    rm -f "$state/installed"
  fi
  mkdir -p "$site/wp-content/mu-plugins" "$site/wp-content/uploads"
  rm -f "$site/wp-content/mu-plugins/local-sandbox.php"
  cp "$files/local-sandbox.php" "$site/wp-content/mu-plugins/local-sandbox.php"
}

# $2: "network" writes the configuration of a network, anything else a single site's.
write_config() {
  local url=$1 network=${2:-}
  rm -f "$site/wp-config.php"
  php -r '
    $values = ["@DB_PASSWORD@" => $argv[2], "@DB_HOST@" => "localhost:" . $argv[3], "@URL@" => $argv[4],
               "@NETWORK@" => $argv[5] === "network", "@DOMAIN@" => preg_replace("#^https?://#", "", $argv[4])];
    $text = file_get_contents($argv[1]);
    foreach ($values as $key => $value) { $text = str_replace($key, var_export($value, true), $text); }
    file_put_contents($argv[6], $text) !== false || exit(1);' \
    "$files/wp-config.php.in" "$DB_PASSWORD" "$(socket_path)" "$url" "$network" "$site/wp-config.php"
}

# A network stores every site's address with its port: a new port is written
# into its tables before WordPress sees a request.
rehome_network() {
  local old=$1 new=$2 id table
  [ "$old" = "$new" ] && return 0
  sql wordpress <<EOF || return 1
UPDATE wp_site SET domain = '$new' WHERE domain = '$old';
UPDATE wp_blogs SET domain = '$new' WHERE domain = '$old';
UPDATE wp_sitemeta SET meta_value = REPLACE(meta_value, '://$old/', '://$new/') WHERE meta_key = 'siteurl';
EOF
  for id in $(sql -N wordpress -e 'SELECT blog_id FROM wp_blogs'); do
    [[ "$id" =~ ^[0-9]+$ ]] || return 1
    table=wp_options; [ "$id" = 1 ] || table="wp_${id}_options"
    sql wordpress -e "UPDATE $table SET option_value = REPLACE(option_value, '://$old', '://$new')
                      WHERE option_name IN ('siteurl', 'home')" || return 1
  done
}

mariadb_args() {
  local args=(--no-defaults "--datadir=$db" --skip-networking --skip-name-resolve --skip-log-bin
              --innodb-buffer-pool-size=32M --innodb-log-file-size=16M --innodb-flush-log-at-trx-commit=2
              --innodb-use-native-aio=0 --character-set-server=utf8mb4 --collation-server=utf8mb4_unicode_ci)
  [ "$(id -u)" -eq 0 ] && args+=(--user=root)
  printf '%s\n' "${args[@]}"
}

sql() { mariadb --no-defaults --socket="$(socket_path)" -u "$(id -un)" --batch "$@"; }

count_blogs() { grep -o '<name>xmlrpc</name>' | wc -l; }

xmlrpc_users_blogs() {
  curl -sS --max-time 20 -H 'Content-Type: text/xml' --data-binary @- "$1" <<EOF
<?xml version="1.0"?><methodCall><methodName>wp.getUsersBlogs</methodName><params><param><value><string>$2</string></value></param><param><value><string>$3</string></value></param></params></methodCall>
EOF
}

# --- commands ---------------------------------------------------------------

fresh=""
fail() {
  trap - ERR INT TERM
  say "$1"
  if [ -n "${2:-}" ] && [ -s "$2" ]; then echo "--- last lines of $2:" >&2; tail -n 15 "$2" >&2; fi
  stop_all
  # A first installation that failed half-way is removed whole, so the next
  # start begins from nothing instead of from a broken database.
  if [ -n "$fresh" ]; then rm -rf "$db" "$site" "$site.new" "$state/secrets.env" "$state/installed"; fi
  exit 1
}

start() {
  local mode; mode=$(mode_of_state)
  if [ "$command" = start-network ]; then
    if [ "$mode" != network ] && [ -f "$state/installed" ]; then
      say "$state holds a single site; give start-network a state folder of its own"
      exit 1
    fi
    mode=network
  fi
  if running; then
    # A test killed while it had XML-RPC blocked leaves the block behind.
    rm -f "$(switch_file)"
    grep '^WP_XMLRPC=' "$state/wordpress.env" | cut -d= -f2-
    return 0
  fi
  # Whatever is left of an earlier run (a crashed server, stale pid files) goes first.
  stop_all
  trap 'fail "start failed (line $LINENO)"' ERR
  trap 'fail "interrupted"' INT TERM

  install_packages || fail "cannot install ${packages[*]}"
  for tool in php mariadbd mariadb-install-db mariadb curl setsid; do
    command -v "$tool" >/dev/null || fail "$tool is missing"
  done
  [ -f "$wp_src/wp-settings.php" ] || fail "$wp_src is missing (package wordpress)"

  chmod 700 "$state"
  mkdir -p "$run" "$logs"
  [ -f "$state/installed" ] || fresh=1
  echo "$mode" >"$state/mode"

  # A Unix socket's path is limited to about 100 bytes; a deep state folder
  # gets its socket through a short link in /tmp.
  if [ ${#run} -gt 90 ]; then
    local link
    for _ in 1 2 3; do
      link=$(mktemp -u /tmp/wp-sock.XXXXXX)
      ln -s "$run" "$link" 2>/dev/null && break
    done
    [ -L "$link" ] || fail "cannot make a short socket path in /tmp"
    echo "$link" >"$run/socket-link"
  fi

  if [ ! -f "$state/secrets.env" ]; then
    (umask 077; printf 'DB_PASSWORD=%s\nWP_PASSWORD=qtv-%s\n' "$(random_word 12)" "$(random_word 8)" >"$state/secrets.env")
  fi
  # shellcheck disable=SC1091
  source "$state/secrets.env"

  # The database starts first; the tree and PHP get ready while it boots.
  local mlog="$logs/mariadb.log"
  : >"$mlog"
  local margs
  mapfile -t margs < <(mariadb_args)
  if [ ! -f "$db/.initialised" ]; then
    rm -rf "$db"
    mariadb-install-db "${margs[@]}" --auth-root-socket-user="$(id -un)" --skip-test-db \
      >>"$mlog" 2>&1 || fail "mariadb-install-db failed" "$mlog"
    touch "$db/.initialised"
  fi
  spawn "$run/mariadbd.pid" "$mlog" mariadbd "${margs[@]}" "--socket=$(socket_path)" \
    "--pid-file=$run/mariadbd.server.pid" || fail "mariadbd did not start" "$mlog"

  prepare_site || fail "cannot copy $wp_src to $site"

  local port="" url plog="$logs/php-server.log" crl_name
  crl_name="$(random_word 8).crl"
  : >"$plog"
  for _ in 1 2 3; do
    port=$(pick_port) || fail "no free port on 127.0.0.1"
    echo "$port" >"$state/port"
    url="http://127.0.0.1:$port"
    # A network is installed as a single site first, then converted.
    write_config "$url" "$([ -f "$state/installed" ] && echo "$mode")" || fail "cannot write $site/wp-config.php"
    # The configuration changes under the running server while a network is
    # installed: every request reads the files as they are.
    WP_LOCAL_NETWORK=$([ "$mode" = network ] && echo 1) PHP_CLI_SERVER_WORKERS=4 \
      WP_LOCAL_CRL="$state/tls/ca.crl" WP_LOCAL_CRL_NAME="$crl_name" spawn "$run/php.pid" "$plog" php \
      -d display_errors=0 -d display_startup_errors=0 -d log_errors=1 -d "error_log=$logs/php-error.log" \
      -d opcache.enable_cli=1 -d opcache.revalidate_freq=0 -d memory_limit=256M -d post_max_size=64M \
      -d upload_max_filesize=64M \
      -S "127.0.0.1:$port" -t "$site" "$files/router.php" || fail "php -S did not start" "$plog"
    wait_for 10 php_listens "$port" || true
    port_answers "$port" && ours "$run/php.pid" "$site" && break
    # Lost the port to someone else between picking and binding: pick again.
    stop_group "$run/php.pid" "$site" 5
    port=""
  done
  [ -n "$port" ] || fail "php -S could not listen on 127.0.0.1" "$plog"

  wait_for 60 mariadb_answers || true
  ours "$run/mariadbd.pid" "--datadir=$db" || fail "mariadbd stopped" "$mlog"
  mariadb_answers || fail "mariadbd did not answer on $(socket_path) within 60 s" "$mlog"
  sql >>"$mlog" 2>&1 <<EOF || fail "cannot create the database" "$mlog"
CREATE DATABASE IF NOT EXISTS wordpress CHARACTER SET utf8mb4 COLLATE utf8mb4_unicode_ci;
CREATE USER IF NOT EXISTS 'wordpress'@'localhost' IDENTIFIED BY '$DB_PASSWORD';
ALTER USER 'wordpress'@'localhost' IDENTIFIED BY '$DB_PASSWORD';
GRANT ALL PRIVILEGES ON wordpress.* TO 'wordpress'@'localhost';
EOF

  local php_cli=(php -d display_errors=stderr -d error_reporting='E_ALL & ~E_DEPRECATED')
  if [ ! -f "$state/installed" ]; then
    "${php_cli[@]}" "$files/install.php" \
      "$site" "$url" "$blog_name" "$wp_user" "$WP_PASSWORD" >"$logs/install.log" 2>&1 ||
      fail "installing WordPress failed" "$logs/install.log"
    if [ "$mode" = network ]; then
      "${php_cli[@]}" "$files/network.php" convert "$site" "$url" "$blog_name network" >>"$logs/install.log" 2>&1 ||
        fail "turning WordPress into a network failed" "$logs/install.log"
      write_config "$url" network || fail "cannot write $site/wp-config.php"
      echo "${url#http://}" >"$state/network-domain"
    fi
    touch "$state/installed"
  elif [ "$mode" = network ]; then
    rehome_network "$(cat "$state/network-domain")" "${url#http://}" || fail "cannot move the network to $url" "$mlog"
    echo "${url#http://}" >"$state/network-domain"
  fi
  if [ "$mode" = network ]; then
    # Each start makes sure of the second site and the user's place on it.
    "${php_cli[@]}" "$files/network.php" sites "$site" "$url" "$wp_user" "$site2_folder" "$site2_name" \
      >>"$logs/install.log" 2>&1 || fail "cannot set up the network's second site" "$logs/install.log"
  fi

  # Ready means the log-in works over XML-RPC, as the library will use it;
  # a block left from an earlier run is lifted first.
  rm -f "$(switch_file)"
  local answer
  answer=$(xmlrpc_users_blogs "$url/xmlrpc.php" "$wp_user" "$WP_PASSWORD" 2>&1) ||
    fail "XML-RPC did not answer: $answer" "$plog"
  grep -q '<name>xmlrpc</name>' <<<"$answer" || fail "XML-RPC log-in failed: $answer" "$logs/php-error.log"
  if [ "$mode" = network ]; then
    [ "$(count_blogs <<<"$answer")" -ge 2 ] || fail "the network lists fewer than two sites: $answer"
    answer=$(xmlrpc_users_blogs "$url/$site2_folder/xmlrpc.php" "$wp_user" "$WP_PASSWORD" 2>&1) ||
      fail "the second site's XML-RPC did not answer: $answer" "$plog"
    grep -q "<string>$url/$site2_folder/xmlrpc.php</string>" <<<"$answer" ||
      fail "the second site does not answer as itself: $answer" "$logs/php-error.log"
  fi

  local app_password
  app_password=$(php -d display_errors=stderr -d error_reporting='E_ALL & ~E_DEPRECATED' "$files/app-password.php" \
    "$site" "$url" "$wp_user" "QTVPublish tests" 2>>"$logs/install.log") ||
    fail "cannot create an application password" "$logs/install.log"

  local tls_ports=()
  if [ "$mode" != network ]; then
    mapfile -t tls_ports < <(tls_start "$port" "$crl_name") || true
    [ ${#tls_ports[@]} -eq ${#tls_services[@]} ] || fail "the TLS front did not start" "$logs/stunnel.log"
  fi

  (umask 077; cat >"$state/wordpress.env.tmp" <<EOF
WP_URL=$url
WP_XMLRPC=$url/xmlrpc.php
WP_USER=$wp_user
WP_PASSWORD=$WP_PASSWORD
WP_APP_PASSWORD=$app_password
WP_BLOG_NAME=$blog_name
WP_XMLRPC_SWITCH=$(switch_file)
WP_SERVER_LOG=$plog
EOF
  if [ "$mode" != network ]; then
    echo "WP_TLS_CA=$state/tls/ca/ca.pem"
    echo "WP_TLS_LOG=$logs/stunnel.log"
    for line in "${tls_ports[@]}"; do
      echo "WP_TLS_$(tr '[:lower:]' '[:upper:]' <<<"${line%%=*}")=https://localhost:${line#*=}"
    done
  fi >>"$state/wordpress.env.tmp"
  if [ "$mode" = network ]; then
    cat <<EOF
WP_NETWORK=1
WP_SITE2_URL=$url/$site2_folder
WP_SITE2_XMLRPC=$url/$site2_folder/xmlrpc.php
WP_SITE2_NAME=$site2_name
EOF
  fi >>"$state/wordpress.env.tmp"
  )
  mv "$state/wordpress.env.tmp" "$state/wordpress.env"
  trap - ERR INT TERM
  echo "$url/xmlrpc.php"
}

# One command at a time per state folder: a test suite may start it from
# several places at once.
exec 9>>"$state/lock"
case "$command" in
  start|start-network) flock 9; start ;;
  stop) flock 9; stop_all ;;
  xmlrpc)
    flock 9
    running || { echo "stopped" >&2; exit 3; }
    set_xmlrpc "$xmlrpc_mode" ;;
  status)
    if running; then grep '^WP_XMLRPC=' "$state/wordpress.env" | cut -d= -f2-; exit 0; fi
    echo "stopped" >&2; exit 3 ;;
esac
