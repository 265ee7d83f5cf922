#!/bin/sh
# Runs the network tests that resolve names or search the local network inside
# a network namespace of the test's own: a lookup reaches no resolver, and a
# broadcast goes out on a veth pair that exists only there, so nothing leaves
# the machine. Skips (77) where namespaces cannot be made.
# Usage: network_in_namespace.sh <network_tests>
if [ -z "$KORVEN_OWN_NETWORK_NAMESPACE" ]; then
  unshare -n true 2>/dev/null || { echo "network namespaces unavailable: skipped"; exit 77; }
  KORVEN_OWN_NETWORK_NAMESPACE=1 exec unshare -n sh "$0" "$@"
fi
set -e
ip link set lo up
ip link add v0 type veth peer name v1
ip addr add 10.77.0.1/24 dev v0
ip link set v0 up
ip link set v1 up
ip route add 255.255.255.255/32 dev v0  # the broadcast only: a lookup finds no route
exec "$1" --gtest_filter='NetworkInNamespace.*'
