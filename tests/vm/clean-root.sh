# Sourced by tests/vm/run for `--cases clean`: a clean Debian 12 root with the package installed
# the way a user installs it, for the VM to boot on.
#
#   $cache/clean/bookworm    debootstrap --variant=minbase bookworm, made once, never changed after
#   $cache/clean/archives    apt's downloads, kept across runs so only the first one fetches them
#   $cache/clean/run/root    per run: an overlay over bookworm (its changes in memory, gone with
#                            the run), `apt-get install ./talvenix_*.deb` done in it, plus the
#                            guest's test helpers under /opt/talvenix-vm-test
#
# Runs inside run's private mount namespace: every mount made here is gone when run exits, however
# it exits. Sets clean_root (the folder to boot on) and clean_times (what each step took).

# Runs a command in ROOT with a /proc and the host's /dev, unmounted again afterwards.
clean_chroot() {  # ROOT COMMAND...
  local root=$1 status=0
  shift
  mount -t proc proc "$root/proc"
  mount --rbind /dev "$root/dev"
  LC_ALL=C.UTF-8 DEBIAN_FRONTEND=noninteractive chroot "$root" "$@" || status=$?
  umount -R "$root/dev"
  umount "$root/proc"
  return $status
}

# The Debian archives the host's apt uses for bookworm (its mirror, updates and security), as a
# fresh Debian 12 install lists them. Empty when the host's apt knows no bookworm archive.
clean_sources() {
  apt-get indextargets --format '$(SITE) $(RELEASE)' 'Identifier: Packages' 'Component: main' 2>/dev/null |
    awk '$2 == "bookworm" || $2 == "bookworm-updates" || $2 == "bookworm-security" { print "deb " $1 " " $2 " main" }' |
    sort -u
}

# The cached Debian 12 root, made when missing.
clean_base() {
  local dir=$cache/clean t sources mirror
  local base=$dir/bookworm
  mkdir -p "$dir"

  if [ ! -f "$dir/bookworm.done" ] || [ ! -x "$base/usr/bin/apt-get" ]; then
    rm -rf --one-file-system "$base" "$base.part" "$dir/bookworm.done"
    sources=$(clean_sources)
    mirror=$(echo "$sources" | awk '$3 == "bookworm" { print $2; exit }')
    echo "VM suite: making a clean Debian 12 root with debootstrap into $base (once)"
    t=$(date +%s)
    # Without a mirror argument debootstrap uses Debian's default one.
    if ! debootstrap --variant=minbase bookworm "$base.part" ${mirror:+"$mirror"} > "$dir/debootstrap.log" 2>&1; then
      local why
      why=$(grep -E '^(E|W): ' "$dir/debootstrap.log" | tail -n 1)
      rm -rf --one-file-system "$base.part"
      skip "debootstrap of Debian 12 failed (offline?): ${why:-see $dir/debootstrap.log}"
    fi
    # Otherwise debootstrap's own sources.list (its mirror, bookworm main) stays.
    [ -z "$sources" ] || echo "$sources" > "$base.part/etc/apt/sources.list"
    clean_chroot "$base.part" apt-get update -q > "$dir/apt-update.log" 2>&1 ||
      { rm -rf --one-file-system "$base.part"; skip "apt-get update in the clean root failed (offline?): $(tail -n 1 "$dir/apt-update.log")"; }
    mv "$base.part" "$base"
    echo "$(($(date +%s) - t))" > "$dir/bookworm.done"
    clean_times="debootstrap and apt-get update $(cat "$dir/bookworm.done") s"
  else
    clean_times="debootstrap cached (it took $(cat "$dir/bookworm.done") s)"
  fi
}

prepare_clean_root() {
  local dir=$cache/clean t
  local base=$dir/bookworm run=$dir/run
  clean_base
  mkdir -p "$dir/archives/partial"

  # This run's root: the cached one under an overlay, so installing into it changes nothing there.
  # The changes live in memory: deleting the hundreds of MB a run installs takes longer on disk
  # than installing them.
  rm -rf --one-file-system "$run"
  mkdir -p "$run"
  mount -t tmpfs -o size=4g,mode=755 tmpfs "$run"
  mkdir -p "$run/upper" "$run/work" "$run/root"
  mount -t overlay overlay -o "lowerdir=$base,upperdir=$run/upper,workdir=$run/work" "$run/root" ||
    skip "cannot mount an overlay over the clean root"
  clean_root=$run/root
  mount --bind "$dir/archives" "$clean_root/var/cache/apt/archives"
  local tests=$clean_root/opt/talvenix-vm-test
  mkdir -p "$tests/bin"
  cp "$package_deb" "$tests/"
  local pkg=/opt/talvenix-vm-test/${package_deb##*/} log=$dir/install.log
  t=$(date +%s)
  # No daemon of the root may start on the host while installing (the usual guard for chroots);
  # removed again before the VM boots.
  printf '#!/bin/sh\nexit 101\n' > "$clean_root/usr/sbin/policy-rc.d"
  chmod 755 "$clean_root/usr/sbin/policy-rc.d"
  # Fresh package lists as a user would have them; the root's own ones do when offline.
  clean_chroot "$clean_root" apt-get update -q > "$log" 2>&1 || echo "VM suite: apt-get update failed, using the clean root's package lists"
  local updated=$(($(date +%s) - t))
  # Resolving needs no network: a package that cannot be installed on Debian 12 fails here.
  if ! clean_chroot "$clean_root" apt-get install -s "$pkg" > "$dir/resolve.log" 2>&1; then
    echo "VM suite FAILED: the package's dependencies cannot be met on a clean Debian 12:"
    grep -E '^( |E:)' "$dir/resolve.log" | tail -n 15
    exit 1
  fi
  clean_chroot "$clean_root" apt-get install -y -q --download-only "$pkg" >> "$log" 2>&1 ||
    skip "apt-get cannot download the package's dependencies (offline?): $(grep '^E:' "$log" | head -n 1)"
  local fetched=$(($(date +%s) - t - updated))
  # The root is thrown away after the run: dpkg need not sync every file it unpacks.
  if ! clean_chroot "$clean_root" apt-get install -y -q -o DPkg::Options::=--force-unsafe-io "$pkg" >> "$log" 2>&1; then
    echo "VM suite FAILED: apt-get install of ${package_deb##*/} into a clean Debian 12 failed (log: $log):"
    tail -n 20 "$log"
    exit 1
  fi
  # The kept downloads lose what the mirror no longer has, so they do not grow without end.
  clean_chroot "$clean_root" apt-get autoclean -q >> "$log" 2>&1 || true
  umount "$clean_root/var/cache/apt/archives"
  rm "$clean_root/usr/sbin/policy-rc.d"
  clean_times="$clean_times; apt-get update ${updated} s, download ${fetched} s, install $(($(date +%s) - t - updated - fetched)) s ($(grep -c '^Setting up ' "$log") packages set up)"

  # The test-only helpers, the guest's side of the suite: none of the package's files come from here.
  cp "$build/bin/talvenix-uhid-keyboard" "$build/bin/talvenix-vm-probe" "$tests/bin/"
  cp "$here/guest-suite.sh" "$tests/"
}
