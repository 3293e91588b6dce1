#!/usr/bin/env bash
# Runs a small simulated site headless: virtual readers on loopback, a project
# whose entries point at them, an update of all entries, a few identifiers
# presented at the readers, and the event read. Everything lives in
# build/demo-site (replaced on every run); nothing leaves this computer.
# Usage: scripts/demo-site.sh [--gui | --no-gui]
# With a display and a terminal, the manager then opens on the site while the
# readers keep running (--no-gui skips that; --gui asks for it without a terminal).
# KX_DEMO_SITE_HOOK, when set, is a command run on the site while the readers
# still run, with the project folder in KX_DEMO_SITE_PROJECT (the manual's
# screenshots are taken this way).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bin=$root/build/bin
site=$root/build/demo-site
gui=auto
case "${1:-}" in
--gui) gui=yes ;;
--no-gui) gui=no ;;
"") ;;
*) echo "usage: $0 [--gui | --no-gui]" >&2; exit 2 ;;
esac
if [ "$gui" = auto ]; then
    gui=no
    [ -n "${DISPLAY:-}" ] && [ -t 1 ] && gui=yes
fi

rm -rf "$site"
mkdir -p "$site/home" "$site/usb-bus" "$site/usb-stick"
chmod 700 "$site/home"
# Only loopback, a private USB bus and a private home for the settings file.
export KX_LOOPBACK_ONLY=1
export KXUSB_BUS_DIR=$site/usb-bus
# UDP discovery goes to the virtual readers' loopback port (set once they run).
export KXUDP_TARGET=127.0.0.1:9
export HOME=$site/home
export XDG_RUNTIME_DIR=$site/home
control=$site/sim.ctl

sim_pid=
stop_readers() {
    if [ -n "$sim_pid" ] && kill -0 "$sim_pid" 2>/dev/null; then
        "$bin/kelvara-reader-sim" --ctl --control "$control" quit >/dev/null 2>&1 || kill "$sim_pid"
        wait "$sim_pid" 2>/dev/null || true
    fi
    sim_pid=
}
trap stop_readers EXIT

echo "== Starting the virtual readers (loopback only)"
"$bin/kelvara-reader-sim" --control "$control" --usb-bus "$KXUSB_BUS_DIR" \
    --state-root "$site/reader-state" --udp 127.0.0.1:0 \
    --reader type=100,id=00001001,tcp=0 \
    --reader type=100,id=00001002,usb,udp=no \
    --reader type=101,id=00002001,tcp=0 \
    --reader type=863,id=00002002,usb,udp=no \
    >"$site/sim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 1 100); do
    grep -q '^ready' "$site/sim.out" 2>/dev/null && break
    kill -0 "$sim_pid" 2>/dev/null || { cat "$site/sim.out"; exit 1; }
    sleep 0.1
done
grep -q '^ready' "$site/sim.out" || { echo "the virtual readers did not start"; exit 1; }
grep '^reader' "$site/sim.out"
udp_target=$(sed -n 's/^udp \(127\.[0-9.]*:[0-9]*\)$/\1/p' "$site/sim.out")
[ -n "$udp_target" ] && export KXUDP_TARGET=$udp_target
port_of() { grep "^reader $1 " "$site/sim.out" | sed -n 's/.* tcp 127\.0\.0\.1:\([0-9]*\) .*/\1/p'; }
front_port=$(port_of 00001001)
gate_port=$(port_of 00002001)

echo
echo "== Creating the project"
project=$site/DemoSite
"$bin/kelvara-cli" create-project "$project"
"$bin/kelvara-demo-site" "$project" \
    "Front Door|Building|100|00001001|127.0.0.1|$front_port" \
    "Lab|Building|100|00001002||0" \
    "Gate|Yard|101|00002001|127.0.0.1|$gate_port" \
    "Car Park|Yard|863|00002002||0" \
    "Barrier|Yard|863|00002003||drive"
"$bin/kelvara-cli" entries --project "$project"

echo
echo "== Updating all entries (the barrier through the USB flash drive folder)"
"$bin/kelvara-cli" run update --project "$project" --all \
    --drive "$site/usb-stick" --prepare-drive

echo
echo "== Presenting identifiers"
ctl() { "$bin/kelvara-reader-sim" --ctl --control "$control" "$@"; }
echo "Front Door, staff card 04A1B2C3D4E5F6:   $(ctl 00001001 present 04A1B2C3D4E5F6)"
echo "Front Door, unknown card 04DEADBEEF0001: $(ctl 00001001 present 04DEADBEEF0001)"
echo "Gate, staff tag E20000112233445566778899: $(ctl 00002001 present E20000112233445566778899)"
echo "Lab, visitor card on a Sunday night:     $(ctl 00001002 present 04A1B2C3D4E5F8 at 2026-12-06T23:00)"

echo
echo "== Reading the events"
"$bin/kelvara-cli" run read-events --project "$project" \
    --entry "Front Door" "Lab" "Gate" "Car Park"

echo
echo "== Results"
echo "Project:                 $project"
echo "Flash drive folder:      $site/usb-stick (JOB and one folder per reader)"
echo "Event files (CSV, one per entry and date):"
find "$project/data" -name 'event-*.csv' | sort | sed 's/^/  /'

if [ -n "${KX_DEMO_SITE_HOOK:-}" ]; then
    echo
    echo "== Running $KX_DEMO_SITE_HOOK"
    KX_DEMO_SITE_PROJECT=$project bash -c "$KX_DEMO_SITE_HOOK"
fi

if [ "$gui" = yes ]; then
    if [ -z "${DISPLAY:-}" ]; then
        echo "No display (DISPLAY is not set): not opening the manager."
    else
        mkdir -p "$HOME/Kelvara-Manager"
        printf '[General]\nCurrentProjectPath=%s\n' "$project" \
            >"$HOME/Kelvara-Manager/Kelvara-Manager.ini"
        echo
        echo "Opening Kelvara Manager on the site; the virtual readers run until it closes."
        KX_FLASH_DRIVE="$site/usb-stick" "$bin/kelvara-manager" || true
    fi
fi
stop_readers
