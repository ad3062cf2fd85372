#!/usr/bin/env bash
# scripts/with-service, which scripts/run starts the program through: two runs on one data
# directory both reach a simulator (the first login writes "LoginIP"), a running service is
# used rather than shadowed, a real address never gets a simulator, and a simulator refuses a
# port that is in use.
#   with_service_test.sh SOURCE_DIR BIN_DIR
set -euo pipefail
root=$1
bin=$2
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
answers() {
    timeout 2 bash -c "exec 3<>/dev/tcp/127.0.0.1/$1" 2>/dev/null
}
free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

export TELVORA_HOME="$work/home"
export TELVORA_SIMULATOR="$bin/telvora-simulator"
export TELVORA_SIMULATOR_PORT
TELVORA_SIMULATOR_PORT=$(free_port)
port=$TELVORA_SIMULATOR_PORT
mkdir -p "$TELVORA_HOME"
login() {
    "$root/scripts/with-service" "$bin/telvora-cli" login --account 100001 --user admin --password 123456
}

# First run: nothing configured, the simulator runs on the default port.
out=$(login) || fail "first run: $out"
grep -q "Using the bundled simulator at 127.0.0.1:$port" <<<"$out" || fail "first run: $out"
grep -qi "^LoginIP=127.0.0.1:$port" "$TELVORA_HOME/ClientSetup.ini" || fail "LoginIP not written"
answers "$port" && fail "the simulator outlived its command"

# Second run: the address written by the first login is loopback and free again.
out=$(login) || fail "second run: $out"
grep -q "Using the bundled simulator at 127.0.0.1:$port" <<<"$out" || fail "second run: $out"

# A service that already answers there is used, and a second simulator cannot take its port.
"$bin/telvora-simulator" --port "$port" >"$work/first.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do answers "$port" && break; sleep 0.1; done
answers "$port" || fail "the standalone simulator did not start"
if "$bin/telvora-simulator" --port "$port" >"$work/second.log" 2>&1; then
    fail "a second simulator started on a port in use"
fi
grep -q "cannot listen on 127.0.0.1:$port" "$work/second.log" || fail "no clear refusal: $(cat "$work/second.log")"
out=$(login) || fail "run beside a running service: $out"
grep -q "Using the service at 127.0.0.1:$port" <<<"$out" || fail "a running service was shadowed: $out"
kill "${pids[0]}"

# A real service address is never shadowed, whether or not it answers.
sed -i "s/^LoginIP=.*/LoginIP=192.0.2.1:$port/" "$TELVORA_HOME/ClientSetup.ini"
out=$("$root/scripts/with-service" bash -c "! (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null") \
    || fail "a simulator ran for a real address: $out"
grep -q "Using the service at 192.0.2.1:$port" <<<"$out" || fail "real address: $out"
echo "ok"
