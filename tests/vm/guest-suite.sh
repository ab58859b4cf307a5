#!/bin/bash
# The VM suite's second stage, as PID 1 inside the guest (the host's root, read-only, under a
# tmpfs overlay). Runs each case against the uhid keyboard and prints PASS/FAIL lines, then
# "TALVENIX-VM-STATUS <failures>", and powers the VM off.
set -u
export PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8
# Sanitizer builds fail the case that trips them. The libraries keep their singletons to the end
# on purpose, so leak reports are not wanted.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" ASAN_OPTIONS="detect_leaks=0"
export UBSAN_OPTIONS="halt_on_error=1 print_stacktrace=1"
mount -t proc proc /proc
mount -t sysfs sys /sys
[ -e /dev/null ] || mount -t devtmpfs dev /dev
mkdir -p /dev/pts /dev/shm
# devtmpfs has no /dev/fd (an init system makes it), and bash's <(...) needs it.
[ -e /dev/fd ] || ln -s /proc/self/fd /dev/fd
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /run
arg() { sed -n "s/.*talvenix\.$1=\([^ ]*\).*/\1/p" /proc/cmdline; }
build=$(arg build)
# A clean /tmp, unless the checkout or the build lives there: the overlay's /tmp is writable too,
# and a tmpfs over it would hide them.
case "$0 $build" in /tmp/* | *" /tmp/"*) ;; *) mount -t tmpfs tmpfs /tmp ;; esac
exec > /dev/ttyS0 2>&1

rounds=$(arg rounds)
cases=$(arg cases)
src=$(cd "$(dirname "$0")/../.." && pwd)
bin=$build/bin
lib=$bin/libPelloran.so
cli=$bin/talvenix-cli
rule=$src/packaging/udev/70-talvenix.rules
vm_rule=/etc/udev/rules.d/70-talvenix.rules  # the source tree's rule, over any installed one
# On the clean root (tests/vm/run --cases clean) the programs, library and rule are the installed
# package's; only the test helpers come from the build, under /opt/talvenix-vm-test.
root_kind=$(arg root)
if [ "$root_kind" = clean ]; then
  cli=/usr/bin/talvenix-cli
  lib=$(ls /usr/lib/*/talvenix/libPelloran.so 2>/dev/null | head -1)
  rule=/usr/lib/udev/rules.d/70-talvenix.rules
  # Beside the package's rule, not over it, so doctor reports the package's own file.
  vm_rule=/etc/udev/rules.d/70-talvenix-vm.rules
fi
failures=0
work=/tmp/vm
mkdir -p $work
chmod 1777 $work  # the user's backups go here too

finish() {
  echo "TALVENIX-VM-STATUS $failures"
  echo 1 > /proc/sys/kernel/sysrq
  sync
  echo o > /proc/sysrq-trigger
  sleep 30
}
trap finish EXIT

pass() { echo "PASS $*"; }
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
info() { echo "INFO $*"; }
wanted() { [ "$cases" = all ] || [[ ",$cases," == *",$1,"* ]]; }
now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }'; }

# The user at the seat: an ordinary account. A stand-in for logind's uaccess ACL (no session
# manager runs here) gives that user every node the project's rule tagged, and only those.
echo 'talvenixvm:x:4242:4242:VM user:/tmp/vmhome:/bin/sh' >> /etc/passwd
echo 'talvenixvm:x:4242:' >> /etc/group
mkdir -p /tmp/vmhome/run && chown -R 4242:4242 /tmp/vmhome && chmod 700 /tmp/vmhome/run
as_user() {
  setpriv --reuid=4242 --regid=4242 --clear-groups \
    env HOME=/tmp/vmhome XDG_RUNTIME_DIR=/tmp/vmhome/run XDG_CONFIG_HOME=/tmp/vmhome/.config "$@"
}

# uhid devices have no USB parent: the rule's USB-id match becomes the HID device's kernel name
# (same ids, bus 0003 = USB); the descriptor logic is the installed rule's own.
mkdir -p /etc/udev/rules.d
sed 's/SUBSYSTEMS=="usb", ATTRS{idVendor}=="0c45", ATTRS{idProduct}=="5204"/SUBSYSTEMS=="hid", KERNELS=="0003:0C45:5204.*"/' \
  "$rule" > "$vm_rule"
grep -q 'KERNELS=="0003:0C45:5204' "$vm_rule" || fail "rule: the VM variant of the USB match could not be made"
echo 'SUBSYSTEM=="hidraw", TAG=="uaccess", OWNER="talvenixvm"' > /etc/udev/rules.d/99-talvenix-vm-seat.rules

udevd=/lib/systemd/systemd-udevd
[ -x "$udevd" ] || { fail "no udevd in the guest (install the udev package)"; exit; }
# Nodes made while udevd was away get their rules applied when it comes back.
start_udevd() {
  "$udevd" --daemon
  udevadm trigger --subsystem-match=hidraw --action=add
  udevadm settle -t 20
}
start_udevd
info "guest up $(cut -d' ' -f1 /proc/uptime) s after boot; kernel $(uname -r)"

# ---- the keyboard ----
fifo=$work/keyboard.fifo
klog=$work/keyboard.log
kpid=
start_keyboard() {  # LAYOUT CONSUMER_ID
  stop_keyboard
  rm -f "$fifo" "$klog"
  mkfifo "$fifo"
  "$bin/talvenix-uhid-keyboard" --layout "$1" --consumer-id "$2" --commands "$fifo" > "$klog" 2>&1 &
  kpid=$!
  send plug
  wait_for "$klog" '^plugged$' 1 10 && settle
}
stop_keyboard() {
  if [ -n "$kpid" ]; then send quit; wait "$kpid" 2>/dev/null; kpid=; settle; fi
}
send() { echo "$*" > "$fifo"; }
settle() { if pidof systemd-udevd >/dev/null; then udevadm settle -t 20; else sleep 0.5; fi; }
count() { grep -c -- "$2" "$1" 2>/dev/null || true; }
# Waits until FILE has at least N lines matching PATTERN, at most SECONDS.
wait_for() {
  local file=$1 pattern=$2 n=$3 deadline=$((SECONDS + $4))
  while [ "$(count "$file" "$pattern")" -lt "$n" ]; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.1
  done
  return 0
}
# The keyboard's hidraw nodes: "node kind" lines, kind from the descriptor's first collection.
our_nodes() {
  local d
  for d in /sys/class/hidraw/hidraw*; do
    grep -q '^HID_ID=0003:00000C45:00005204$' "$d/device/uevent" 2>/dev/null || continue
    case $(od -An -v -tx1 -N4 "$d/device/report_descriptor" | tr -d ' \n') in
      061cff*) echo "${d##*/} control" ;;
      050c*) if od -An -v -tx1 "$d/device/report_descriptor" | tr -d ' \n' | grep -q 061cff; then
               echo "${d##*/} shared"; else echo "${d##*/} consumer"; fi ;;
      0508*) echo "${d##*/} led" ;;
      0501*) echo "${d##*/} keyboard" ;;
      *) echo "${d##*/} other" ;;
    esac
  done
}

case_rule() {  # the rule opens our collections to the user, never the typing keyboard
  local name=$1 ok=1 node kind tagged owner checked=0
  while read -r node kind; do
    checked=$((checked + 1))
    tagged=no
    udevadm info -q property -n "/dev/$node" | grep -q '^TAGS=.*:uaccess:' && tagged=yes
    owner=$(stat -c %U "/dev/$node")
    if [ "$kind" = keyboard ]; then
      [ $tagged = no ] && [ "$owner" = root ] || { ok=0; echo "  $node ($kind): tagged=$tagged owner=$owner"; }
      as_user sh -c "exec 3<> /dev/$node" 2>/dev/null && { ok=0; echo "  $node ($kind) opens for the user"; }
    else
      [ $tagged = yes ] && [ "$owner" = talvenixvm ] || { ok=0; echo "  $node ($kind): tagged=$tagged owner=$owner"; }
    fi
  done < <(our_nodes)
  [ $checked -ge 2 ] || { ok=0; echo "  $checked node(s) checked; nodes: $(our_nodes | tr '\n' ' ')"; }
  [ $ok = 1 ] && pass "$name" || fail "$name"
}

case_exchanges() {  # info, then a full backup and restore as the user, and the same bytes back
  local name=$1 t
  t=$(now)
  rm -f $work/a.tvx $work/b.tvx
  local before
  before=$(count "$klog" '^frame 8$')
  if as_user timeout 60 "$cli" info > $work/info.txt 2>&1 &&
     as_user timeout 120 "$cli" backup $work/a.tvx > $work/cli.txt 2>&1 &&
     as_user timeout 120 "$cli" restore $work/a.tvx >> $work/cli.txt 2>&1 &&
     as_user timeout 120 "$cli" backup $work/b.tvx >> $work/cli.txt 2>&1 &&
     cmp -s $work/a.tvx $work/b.tvx && [ "$(count "$klog" '^frame 8$')" -gt "$before" ]; then
    pass "$name ($(since "$t") s)"
  else
    fail "$name"; sed 's/^/  /' $work/info.txt $work/cli.txt
  fi
}

case_keys_and_led() {  # G-bank and profile-key usages reach the reads; the LED write reaches the keyboard
  local name=$1 plog=$work/probe.log status
  rm -f $plog
  as_user timeout 60 "$bin/talvenix-vm-probe" "$lib" --led --usages 0x02FF,0x0401 --timeout 20 > $plog 2>&1 &
  local probe=$!
  if wait_for $plog '^attached$' 1 30; then
    wait_for $plog '^led written$' 1 10
    send "usage 0x02FF"
    send "usage 0x0401"
  fi
  wait $probe; status=$?
  if [ $status = 0 ] && wait_for "$klog" '^led 05 03$' 1 5; then
    pass "$name"
  else
    fail "$name (probe status $status)"; sed 's/^/  /' $plog; grep -v '^frame' "$klog" | tail -5 | sed 's/^/  keyboard: /'
  fi
}

case_replugs() {  # 40 quick replugs while the library watches: no crash, and it works after
  # MODE kernel: udevd stopped, so the library rescans on the kernel's own uevents, at the very
  # moment nodes vanish (the tightest race, and quick under TCG). MODE udev: as on a desktop,
  # as the user, each node passing through the udev rule first (slow under TCG).
  local name=$1 mode=$2 n=$3 plog=$work/replug.log status r t
  [ "$mode" = kernel ] && { udevadm control --exit; sleep 0.5; }
  for r in $(seq 1 "$n"); do
    t=$(now)
    rm -f $plog $work/replugs.done
    if [ "$mode" = kernel ]; then
      timeout 300 "$bin/talvenix-vm-probe" "$lib" --until $work/replugs.done --wait-attached 30 > $plog 2>&1 &
    else
      as_user timeout 300 "$bin/talvenix-vm-probe" "$lib" --until $work/replugs.done --wait-attached 30 > $plog 2>&1 &
    fi
    local probe=$!
    local before
    before=$(count "$klog" '^replugged 40$')
    wait_for $plog '^count\|opened' 1 30  # the library is up before the storm begins
    send "replug 40 20"
    wait_for "$klog" '^replugged 40$' $((before + 1)) 240
    settle
    touch $work/replugs.done
    wait $probe; status=$?
    if [ $status = 0 ]; then
      pass "$name round $r/$n ($(since "$t") s, $(count $plog '^count') count changes heard)"
    else
      fail "$name round $r/$n (probe status $status)"; tail -n 20 $plog | sed 's/^/  /'
    fi
  done
  [ "$mode" = kernel ] && start_udevd
  return 0
}

case_unplug_during_restore() {  # bounded failure, nothing written afterwards, replug works
  local name=$1 t status ok=1 log=$work/restore.log
  [ -f $work/a.tvx ] || as_user timeout 120 "$cli" backup $work/a.tvx > /dev/null 2>&1
  # Slow replies keep the restore busy long enough to pull the keyboard out in its middle.
  send "latency 300"
  local writes
  writes=$(count "$klog" '^frame 8$')
  as_user timeout 120 "$cli" restore $work/a.tvx > $log 2>&1 &
  local restore=$!
  if ! wait_for "$klog" '^frame 8$' $((writes + 1)) 60; then
    ok=0; echo "  the restore never started writing"; tail -n 3 "$klog" | sed 's/^/  keyboard: /'
  fi
  local mark
  mark=$(wc -l < "$klog")
  send unplug
  t=$(now)
  wait $restore; status=$?
  local took
  took=$(since "$t")
  send "latency 0"
  [ $status -ne 0 ] && [ $status -ne 124 ] || { ok=0; echo "  restore exit status $status after the unplug"; }
  awk -v s="$took" 'BEGIN { exit !(s < 15) }' || { ok=0; echo "  the restore took $took s to give up"; }
  local plugs
  plugs=$(count "$klog" '^plugged$')
  send plug
  wait_for "$klog" '^plugged$' $((plugs + 1)) 10
  settle
  sleep 2
  # Nothing after the unplug, and nothing after the replug: the aborted restore must not write on.
  # (A frame the keyboard was still answering when the unplug arrived is logged before it.)
  if tail -n +$((mark + 1)) "$klog" | sed -n '/^unplugged$/,$p' | grep -q '^frame'; then
    ok=0; echo "  frames written after the unplug"
  fi
  as_user timeout 60 "$cli" info > $work/info2.txt 2>&1 || { ok=0; echo "  info after replug failed"; cat $work/info2.txt; }
  if [ $ok = 1 ]; then pass "$name (gave up $took s after the unplug, exit $status: $(tail -n 1 $log))"; else fail "$name"; sed 's/^/  /' $log; fi
}

case_doctor() {  # talvenix-cli doctor (PROGRAM: the build's or the installed one) as the user
  local name=$1 cli=$2 also=${3:-} status
  as_user timeout 60 "$cli" doctor > $work/doctor.txt 2>&1; status=$?
  if [ $status = 0 ] && grep -q '^Everything Talvenix needs works' $work/doctor.txt &&
     { [ -z "$also" ] || grep -qF -- "$also" $work/doctor.txt; }; then
    pass "$name"
  else
    fail "$name (exit $status)"
  fi
  sed 's/^/  doctor: /' $work/doctor.txt
}

case_deb() {  # the package installs here, and its programs find their library, skin and rule
  local name=$1 deb
  deb=$(ls "$build"/talvenix_*.deb 2>/dev/null | head -1)
  if [ -z "$deb" ]; then echo "SKIP $name: no package in $build (cpack -G DEB)"; return; fi
  # Triggers (the manual index, icon caches) take minutes under TCG and test nothing of ours; the
  # rule is reloaded below.
  if ! dpkg --no-triggers -i "$deb" > $work/dpkg.txt 2>&1; then fail "$name: dpkg -i"; sed 's/^/  /' $work/dpkg.txt; return; fi
  [ -f /usr/lib/udev/rules.d/70-talvenix.rules ] || fail "$name: the rule is not installed in /usr/lib/udev/rules.d"
  # The installed rule, with the VM's stand-in for the USB match, over the one the suite used.
  sed 's/SUBSYSTEMS=="usb", ATTRS{idVendor}=="0c45", ATTRS{idProduct}=="5204"/SUBSYSTEMS=="hid", KERNELS=="0003:0C45:5204.*"/' \
    /usr/lib/udev/rules.d/70-talvenix.rules > /etc/udev/rules.d/70-talvenix.rules
  udevadm control --reload
  send unplug; settle; send plug; settle
  if as_user timeout 60 /usr/bin/talvenix-cli info > $work/info3.txt 2>&1; then
    pass "$name: the installed talvenix-cli reaches the keyboard as the user"
  else
    fail "$name: installed talvenix-cli info"; sed 's/^/  /' $work/info3.txt
  fi
  case_doctor "$name: the installed doctor finds the keyboard usable by the user" /usr/bin/talvenix-cli
}

case_installed() {  # the package, not the build, provides what the clean cases run
  local name=$1 ok=1 f
  [ "$(dpkg-query -W -f='${Status}' talvenix 2>/dev/null)" = "install ok installed" ] || { ok=0; echo "  talvenix is not installed"; }
  for f in "$cli" "$lib" "$rule"; do
    dpkg -S "$f" 2>/dev/null | grep -q '^talvenix: ' || { ok=0; echo "  ${f:-libPelloran.so}: not the package's"; }
  done
  [ $ok = 1 ] && pass "$name ($(dpkg-query -W -f='${Version}' talvenix), $(dpkg-query -W -f='${Depends}' talvenix | awk -F, '{ print NF }') dependencies)" || fail "$name"
}

case_plug_later() {  # a keyboard plugged in after the library started (USER: user or root)
  local name=$1 who=$2 plog=$work/later.log status
  send unplug
  settle
  rm -f $plog
  if [ "$who" = user ]; then
    as_user timeout 60 "$bin/talvenix-vm-probe" "$lib" --wait-attached 30 > $plog 2>&1 &
  else
    timeout 60 "$bin/talvenix-vm-probe" "$lib" --wait-attached 30 > $plog 2>&1 &
  fi
  local probe=$!
  sleep 1
  send plug
  wait $probe; status=$?
  settle
  if [ $status = 0 ]; then pass "$name"; else fail "$name (probe status $status)"; sed 's/^/  /' $plog; fi
}

# --cases names layouts (split, split-noid, shared, no-udevd) or cases (rule, exchanges, keys,
# replug, replug-udev, restore-unplug, plug-later, doctor, deb); a layout runs when it or one of its cases is
# named. replug-udev (about a minute under TCG) runs only when named; clean only on the clean root.
layout_wanted() {
  local layout=$1; shift
  wanted "$layout" && return 0
  local c
  for c in "$@"; do wanted "$c" && return 0; done
  return 1
}
run() {
  local layout=$1 c=$2 t
  shift 2
  if [ "$c" = replug-udev ]; then [[ ",$cases," == *",$c,"* ]] || return 0; fi
  { wanted "$layout" || wanted "$c"; } || return 0
  t=$(now)
  "$@"
  info "  ($c took $(since "$t") s)"
}

t0=$(now)
if layout_wanted split rule exchanges keys replug replug-udev restore-unplug plug-later doctor deb; then
  start_keyboard split yes
  run split rule case_rule "rule: one node per interface"
  run split exchanges case_exchanges "exchanges and backup/restore, one node per interface"
  run split keys case_keys_and_led "consumer keys and LED as the user, one node per interface"
  run split replug case_replugs "40 quick replugs, kernel uevents" kernel "$rounds"
  run split replug-udev case_replugs "40 quick replugs under udevd, as the user" udev 1
  run split restore-unplug case_unplug_during_restore "unplug in the middle of a restore"
  run split plug-later case_plug_later "keyboard plugged in after start" user
  run split doctor case_doctor "doctor, one node per interface" "$cli"
  run split deb case_deb "the Debian package"
  stop_keyboard
fi
if layout_wanted split-noid keys; then
  start_keyboard split no
  run split-noid keys case_keys_and_led "consumer reports without a report id"
  stop_keyboard
fi
if layout_wanted shared rule exchanges keys doctor; then
  start_keyboard shared yes
  run shared rule case_rule "rule: one node with all three collections"
  run shared exchanges case_exchanges "exchanges and backup/restore, one shared node"
  run shared keys case_keys_and_led "consumer keys and LED as the user, one shared node"
  run shared doctor case_doctor "doctor, one shared node" "$cli"
  stop_keyboard
fi
if layout_wanted no-udevd plug-later; then
  start_keyboard split yes
  udevadm control --exit
  sleep 0.5
  run no-udevd plug-later case_plug_later "keyboard plugged in later without udevd (kernel uevents)" root
  stop_keyboard
  start_udevd
fi
# The package installed with apt on a clean Debian 12: its own programs, library and rule, as the user.
if [[ ",$cases," == *",clean,"* ]]; then
  if [ "$root_kind" != clean ]; then
    echo "SKIP clean: it boots on a clean root of its own (tests/vm/run --cases clean)"
  else
    run clean clean case_installed "clean Debian 12: the package's programs, library and rule are installed"
    start_keyboard split yes
    run clean clean case_rule "clean Debian 12: the installed rule, one node per interface"
    run clean clean case_doctor "clean Debian 12: the installed doctor finds the keyboard usable by the user" "$cli" \
      "ok: the udev rule is installed: $rule"
    run clean clean case_exchanges "clean Debian 12: the installed talvenix-cli backs up and restores as the user"
    run clean clean case_keys_and_led "clean Debian 12: consumer keys and LED through the installed library as the user"
    start_keyboard shared yes
    run clean clean case_rule "clean Debian 12: the installed rule, one shared node"
    run clean clean case_doctor "clean Debian 12: the installed doctor, one shared node" "$cli"
    stop_keyboard
  fi
fi
info "cases took $(since "$t0") s"
