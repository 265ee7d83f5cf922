#!/bin/sh
# The TCP/IP service's local-network search (a broadcast) inside a network
# namespace of the test's own: a veth pair that exists only there carries the
# broadcast, so nothing reaches a real network. Skips (77) where namespaces
# cannot be made.
# Usage: lan_search_in_namespace.sh <dplay_peer>
peer=$1
if [ -z "$INSIDE_NAMESPACE" ]; then
  unshare -n true 2>/dev/null || { echo "network namespaces unavailable: skipped"; exit 77; }
  INSIDE_NAMESPACE=1 exec unshare -n sh "$0" "$@"
fi
set -e
ip link set lo up
ip link add v0 type veth peer name v1
ip addr add 10.77.0.1/24 dev v0
ip link set v0 up
ip link set v1 up
ip route add default dev v0

host_out=$(mktemp)
( echo "connect tcp"; echo "host Lan 4 44"; echo "player alice"; sleep 5; echo quit ) \
  | "$peer" --dplay-port 40000 --dplay-search= > "$host_out" &
# The search starts once the host has its session and player (three "ok").
tries=0
while [ "$(grep -c '^ok' "$host_out")" -lt 3 ] && [ $tries -lt 50 ]; do sleep 0.1; tries=$((tries + 1)); done
found=$( ( echo "connect tcp"; echo "search 600"; echo "join Lan"; echo "player bob"; echo "players"; echo quit ) \
  | "$peer" --dplay-port 40000 --dplay-search=)
wait
rm -f "$host_out"
expected=$(printf 'ok\nsession Lan 1/4\nend\nok\nok\nplayers 2 alice bob')
if [ "$found" != "$expected" ]; then
  echo "searcher said:"; echo "$found"; echo "expected:"; echo "$expected"
  exit 1
fi
echo "found and joined the session by broadcast"
