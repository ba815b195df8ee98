# Sourced by wordpress.sh: the TLS front of the single site. One stunnel
# process serves the WordPress on loopback as https://localhost:<port>, one
# port per test certificate, all made here by a test certificate authority of
# the state folder's own (never the machine's store; the tests trust it in
# their Wine prefix only). Keys are made once per state folder; the
# certificates and the revocation list are signed again at every start, as
# they name the ports of that start.
#
#   good        localhost, revocation list reachable and not listing it
#   norev       localhost, no revocation information at all
#   crlclosed   localhost, revocation list on a loopback port nothing listens on
#   revoked     localhost, listed in the revocation list
#   wrongname   another host name
#   expired     localhost, validity ended years ago
#   unknownca   localhost, signed by an authority nobody trusts

tls_services=(good norev crlclosed revoked wrongname expired unknownca)

tls_dir() { echo "$state/tls"; }

# An authority: key and self-signed certificate, made once.
tls_make_ca() {
  local dir=$1 name=$2
  [ -s "$dir/ca.key" ] && [ -s "$dir/ca.pem" ] && return 0
  mkdir -p "$dir"
  (umask 077; openssl genrsa -out "$dir/ca.key.tmp" 2048 2>/dev/null) && mv "$dir/ca.key.tmp" "$dir/ca.key"
  openssl req -new -x509 -key "$dir/ca.key" -out "$dir/ca.pem" -days 3650 -subj "/CN=$name" \
    -addext "basicConstraints=critical,CA:true" -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
}

# openssl ca's configuration for the authority in $1.
tls_ca_config() {
  local dir=$1
  cat <<CONF
[ca]
default_ca = test_ca
[test_ca]
dir = $dir
database = $dir/index.txt
new_certs_dir = $dir/issued
certificate = $dir/ca.pem
private_key = $dir/ca.key
default_md = sha256
default_days = 30
default_crl_hours = 24
policy = any
unique_subject = no
copy_extensions = none
rand_serial = yes
[any]
commonName = supplied
[server]
basicConstraints = critical,CA:false
keyUsage = critical,digitalSignature,keyEncipherment
extendedKeyUsage = serverAuth
subjectAltName = DNS:\${ENV::TLS_HOST}
[server_crl]
basicConstraints = critical,CA:false
keyUsage = critical,digitalSignature,keyEncipherment
extendedKeyUsage = serverAuth
subjectAltName = DNS:\${ENV::TLS_HOST}
crlDistributionPoints = URI:\${ENV::TLS_CRL_URL}
CONF
}

# Signs the server key for host $3 with the authority in $1 into $2.pem;
# $4: the revocation list's address (empty: none); further: openssl ca's date options.
tls_sign() {
  local dir=$1 out=$2 host=$3 crl_url=$4; shift 4
  local section=server; [ -n "$crl_url" ] && section=server_crl
  openssl req -new -key "$(tls_dir)/server.key" -subj "/CN=$host" -out "$out.csr" 2>/dev/null &&
    TLS_HOST=$host TLS_CRL_URL=${crl_url:-none} openssl ca -batch -config "$dir/ca.cnf" -extensions "$section" \
      -notext -in "$out.csr" -out "$out.pem" "$@" 2>>"$logs/tls.log" >&2 &&
    rm -f "$out.csr"
}

# Makes everything the front serves; $1 the WordPress port, $2 the revocation
# list's file name, $3 a loopback port nothing listens on.
tls_prepare() {
  local wp_port=$1 crl_name=$2 closed=$3 dir ca other
  dir=$(tls_dir); ca="$dir/ca"; other="$dir/other-ca"
  : >"$logs/tls.log"
  tls_make_ca "$ca" "QTVPublish Test CA" || return 1
  tls_make_ca "$other" "Unknown Test CA" || return 1
  if [ ! -s "$dir/server.key" ]; then
    (umask 077; openssl genrsa -out "$dir/server.key.tmp" 2048 2>/dev/null) && mv "$dir/server.key.tmp" "$dir/server.key"
  fi
  local crl_url="http://127.0.0.1:$wp_port/crl/$crl_name"
  for d in "$ca" "$other"; do
    rm -rf "$d/issued" "$d/index.txt"*
    mkdir -p "$d/issued"; : >"$d/index.txt"
    tls_ca_config "$d" >"$d/ca.cnf"
  done
  rm -rf "$dir/certs"; mkdir -p "$dir/certs"
  local c="$dir/certs"
  tls_sign "$ca" "$c/good" localhost "$crl_url" &&
    tls_sign "$ca" "$c/norev" localhost "" &&
    tls_sign "$ca" "$c/crlclosed" localhost "http://127.0.0.1:$closed/crl/$crl_name" &&
    tls_sign "$ca" "$c/revoked" localhost "$crl_url" &&
    tls_sign "$ca" "$c/wrongname" wrong-name.example "$crl_url" &&
    tls_sign "$ca" "$c/expired" localhost "$crl_url" -startdate 20200101000000Z -enddate 20200201000000Z &&
    tls_sign "$other" "$c/unknownca" localhost "" || return 1
  export TLS_HOST=localhost TLS_CRL_URL=none
  openssl ca -batch -config "$ca/ca.cnf" -revoke "$c/revoked.pem" -crl_reason keyCompromise 2>>"$logs/tls.log" &&
    openssl ca -batch -config "$ca/ca.cnf" -gencrl -out "$dir/ca-crl.pem" 2>>"$logs/tls.log" &&
    openssl crl -in "$dir/ca-crl.pem" -outform DER -out "$dir/ca.crl.tmp" 2>>"$logs/tls.log" &&
    mv "$dir/ca.crl.tmp" "$dir/ca.crl"
}

# $1 distinct loopback ports that nothing listened on a moment ago (all held
# at once while they are picked, so none is picked twice).
free_ports() {
  php -r '$held = [];
    for ($i = 0; $i < (int) $argv[1]; ++$i) {
      $s = stream_socket_server("tcp://127.0.0.1:0") or exit(1);
      $held[] = $s; $n = stream_socket_get_name($s, false); echo substr($n, strrpos($n, ":") + 1), "\n";
    }' "$1"
}

# Writes the stunnel configuration for ports $2... (one per service, in
# tls_services' order) in front of WordPress port $1.
tls_config() {
  local wp_port=$1; shift
  local dir i=0; dir=$(tls_dir)
  cat <<CONF
foreground = quiet
pid =
output = $logs/stunnel.log
debug = notice
syslog = no
CONF
  for service in "${tls_services[@]}"; do
    cat <<CONF
[$service]
accept = 127.0.0.1:${1}
connect = 127.0.0.1:$wp_port
cert = $dir/certs/$service.pem
key = $dir/server.key
sslVersionMin = TLSv1.2
CONF
    shift
  done
}

# Starts the front; prints "service=port" lines.
tls_start() {
  local wp_port=$1 crl_name=$2 ports=() p closed
  command -v stunnel4 >/dev/null || { say "stunnel4 is missing"; return 1; }
  for _ in 1 2 3; do
    mapfile -t ports < <(free_ports $((${#tls_services[@]} + 1)))
    [ ${#ports[@]} -eq $((${#tls_services[@]} + 1)) ] || { say "no free ports on 127.0.0.1"; return 1; }
    closed=${ports[-1]}; unset 'ports[-1]'
    tls_prepare "$wp_port" "$crl_name" "$closed" ||
      { say "cannot make the test certificates"; tail -n 15 "$logs/tls.log" >&2; return 1; }
    tls_config "$wp_port" "${ports[@]}" >"$(tls_dir)/stunnel.conf"
    : >"$logs/stunnel.log"
    spawn "$run/stunnel.pid" "$logs/stunnel.log" stunnel4 "$(tls_dir)/stunnel.conf" || return 1
    local deadline=$((SECONDS + 10)) all
    while [ $SECONDS -lt $deadline ]; do
      ours "$run/stunnel.pid" "$(tls_dir)/stunnel.conf" || break
      all=1
      for p in "${ports[@]}"; do port_answers "$p" || { all=""; break; }; done
      [ -n "$all" ] && break
      sleep 0.05
    done
    if [ -n "${all:-}" ] && ours "$run/stunnel.pid" "$(tls_dir)/stunnel.conf"; then
      local i=0
      for service in "${tls_services[@]}"; do echo "$service=${ports[$i]}"; i=$((i + 1)); done
      return 0
    fi
    # A port taken between picking and binding: pick again.
    stop_group "$run/stunnel.pid" "$(tls_dir)/stunnel.conf" 5
  done
  say "stunnel did not start"; tail -n 15 "$logs/stunnel.log" >&2
  return 1
}

tls_stop() { stop_group "$run/stunnel.pid" "$(tls_dir)/stunnel.conf" 5; }
