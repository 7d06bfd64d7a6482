#!/usr/bin/env bash
# Network lab: two network namespaces joined by a veth pair, for tests that need real broadcast.
#
#   PC side      n6lab-<id>-pc   192.0.2.1/24
#   device side  n6lab-<id>-dev  192.0.2.10/24 .. 192.0.2.29/24 and 198.51.100.7/24 (a subnet the
#                                PC has no route to: a device there can only answer by broadcast)
#   rp_filter=0 in both namespaces, so such replies are not dropped.
#
#   netlab.sh setup   <id> <dir>            create (removes leftovers first)
#   netlab.sh run     <id> <dir> <cmd...>   run cmd in the PC namespace; N6_SIM_NETNS names the
#                                           device namespace (SimProcess starts n6sim there)
#   netlab.sh cleanup <id> <dir>            end the processes left in the namespaces, delete them
#
# Where namespaces cannot be made (not root, no `ip`), setup writes the reason to
# <dir>/netlab-skip-reason and every step exits 77, which ctest reports as skipped.
set -u
cmd=${1:?command}
id=${2:?id}
dir=${3:?state directory}
shift 3
PC="n6lab-$id-pc"
DEV="n6lab-$id-dev"
VPC="n6l${id}p"
VDEV="n6l${id}d"
REASON="$dir/netlab-skip-reason"

skip() {
    echo "SKIPPED: $1"
    mkdir -p "$dir" && echo "$1" >"$REASON"
    exit 77
}

teardown() {
    for ns in "$DEV" "$PC"; do
        if [ -e "/run/netns/$ns" ]; then
            # Processes our tests started inside the lab (n6sim); ended by their ids.
            for pid in $(ip netns pids "$ns" 2>/dev/null); do
                kill "$pid" 2>/dev/null
            done
            sleep 0.2
            for pid in $(ip netns pids "$ns" 2>/dev/null); do
                kill -9 "$pid" 2>/dev/null
            done
            ip netns del "$ns" || echo "netlab: cannot delete namespace $ns" >&2
        fi
    done
}

in_ns() { ip netns exec "$1" sh -c "$2"; }

case "$cmd" in
setup)
    rm -f "$REASON"
    [ "$(id -u)" = 0 ] || skip "the network lab needs root to create network namespaces"
    command -v ip >/dev/null || skip "the 'ip' command (iproute2) is not installed"
    teardown
    ip netns add "$PC" 2>/dev/null || skip "network namespaces cannot be created here"
    if ! ip netns add "$DEV" ||
        ! ip link add "$VPC" netns "$PC" type veth peer name "$VDEV" netns "$DEV" 2>/dev/null; then
        teardown
        skip "veth pairs between network namespaces cannot be created here"
    fi
    # From here on a failure is a fault of the lab, not of the machine: fail loudly.
    trap 'echo "netlab: setup failed at line $LINENO" >&2; teardown; exit 1' ERR
    set -o errtrace
    ip -n "$PC" addr add 192.0.2.1/24 dev "$VPC"
    for host in $(seq 10 29); do
        ip -n "$DEV" addr add "192.0.2.$host/24" dev "$VDEV"
    done
    ip -n "$DEV" addr add 198.51.100.7/24 dev "$VDEV"
    for ns in "$PC" "$DEV"; do
        ip -n "$ns" link set lo up
        # Replies from a subnet the PC has no route to must not be dropped.
        in_ns "$ns" 'for f in /proc/sys/net/ipv4/conf/*/rp_filter; do
                         echo 0 2>/dev/null >"$f" || [ "$(cat "$f")" = 0 ] || exit 1; done'
    done
    ip -n "$PC" link set "$VPC" up
    ip -n "$DEV" link set "$VDEV" up
    trap - ERR
    echo "netlab: $PC (192.0.2.1) <-> $DEV (192.0.2.10-29, 198.51.100.7)"
    ;;
run)
    [ -f "$REASON" ] && skip "$(cat "$REASON")"
    [ -e "/run/netns/$PC" ] || { echo "netlab: namespace $PC is missing (setup failed?)"; exit 1; }
    N6_SIM_NETNS="$DEV" N6_NETLAB_PC_NS="$PC" exec ip netns exec "$PC" "$@"
    ;;
cleanup)
    [ -f "$REASON" ] && skip "$(cat "$REASON")"
    teardown
    for ns in "$PC" "$DEV"; do
        if [ -e "/run/netns/$ns" ]; then
            echo "netlab: $ns is still there" >&2
            exit 1
        fi
    done
    ;;
*)
    echo "netlab.sh: unknown command $cmd" >&2
    exit 2
    ;;
esac
