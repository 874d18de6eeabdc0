#!/bin/bash
# For hosts whose kernel cannot run 32-bit programs (can-run-32bit.sh says
# so): runs the tests in a virtual machine, a Debian 12 system with its own
# kernel (which runs them) under QEMU's software emulation. Slow (the whole
# suite takes about half an hour on 2 cores) but real: the same Wine, the
# same 32-bit programs. Needs root (debootstrap, chroot) and the network
# for Debian's packages the first time.
#   scripts/run-tests-in-vm.sh [CTEST_ARGUMENT...]   e.g. -R e2e_unattended
# The machine's image is made once, in $VM_DIR (default ~/.cache/setup-test-vm).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
vm=${VM_DIR:-$HOME/.cache/setup-test-vm}
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo

"$root/scripts/install-deps.sh"
command -v qemu-system-x86_64 >/dev/null && command -v debootstrap >/dev/null ||
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends qemu-system-x86 debootstrap
"$root/scripts/build.sh" -DPREPARE_WINE_PREFIX=OFF

if [ ! -e "$vm/image.ready" ]; then
  echo "Making the test machine's image in $vm (once)."
  $sudo rm -rf "$vm"
  mkdir -p "$vm"
  $sudo debootstrap --variant=minbase bookworm "$vm/root" http://deb.debian.org/debian >"$vm/make.log"
  $sudo cp "$root/scripts/install-deps.sh" "$vm/root/tmp/"
  for fs in proc sys dev; do $sudo mount --bind /$fs "$vm/root/$fs"; done
  trap 'for fs in proc sys dev; do $sudo umount "$vm/root/$fs" 2>/dev/null; done' EXIT
  $sudo chroot "$vm/root" /bin/bash -c 'export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -q --no-install-recommends linux-image-amd64 initramfs-tools kmod iproute2 &&
    bash /tmp/install-deps.sh' >>"$vm/make.log"
  for fs in proc sys dev; do $sudo umount "$vm/root/$fs"; done
  trap - EXIT
  # The machine's init: mounts, runs the job the host put in the shared
  # project folder, and powers off.
  $sudo tee "$vm/root/test-init.sh" >/dev/null <<'EOF'
#!/bin/bash
mount -t proc proc /proc; mount -t sysfs sys /sys; mount -t devtmpfs dev /dev 2>/dev/null
mkdir -p /dev/pts /dev/shm /mnt/project; mount -t devpts devpts /dev/pts; mount -t tmpfs tmpfs /dev/shm
mount -o remount,rw /; mount -t tmpfs tmpfs /tmp; mount -t tmpfs tmpfs /run
modprobe 9pnet_virtio; mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144 project /mnt/project
ip link set lo up
export PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8
job=$(cat /proc/cmdline | sed -n 's/.*test_job=\([^ ]*\).*/\1/p')
bash "/mnt/project/$job" >"/mnt/project/$(dirname "$job")/output.log" 2>&1
echo $? >"/mnt/project/$(dirname "$job")/rc"
sync; echo o >/proc/sysrq-trigger; sleep 60
EOF
  $sudo chmod +x "$vm/root/test-init.sh"
  $sudo cp "$vm/root/boot/"vmlinuz-* "$vm/vmlinuz"
  $sudo cp "$vm/root/boot/"initrd.img-* "$vm/initrd.img"
  $sudo mkfs.ext4 -q -F -d "$vm/root" "$vm/image.ext4" 14G
  $sudo rm -rf "$vm/root"
  touch "$vm/image.ready"
fi

# The job: the project and its build copied onto the machine's disk at the
# same path (the build names its files by absolute path), the Wine prefixes
# made there, then the tests.
case $build in "$root"/*) ;; *) echo "The build folder must lie in the project's folder: $build" >&2; exit 1;; esac
jobs=$build/vm-job
rm -rf "$jobs"
mkdir -p "$jobs"
{
  echo "set -u"
  printf 'mkdir -p %q && tar -C /mnt/project -cf - --exclude=./.git --exclude=%q . | tar -C %q -xf -\n' \
    "$root" "./${build#"$root/"}/wine" "$root"
  printf 'cd %q && cmake --build . --target wine_template wine_template64 >/dev/null || exit 1\n' "$build"
  printf '%q/scripts/with-display.sh ctest --output-on-failure -j4 --timeout 1500' "$root"
  printf ' %q' -E maker_build_test "$@"
  echo
} >"$jobs/job.sh"
job=${jobs#"$root/"}/job.sh
# SMAP off: with it, this QEMU's emulation faults the return from Wine's
# 32-bit signal handlers. One machine at a time on a host (the lock).
$sudo flock /tmp/test-vm.lock qemu-system-x86_64 -machine q35 -accel tcg,thread=multi -cpu max,-smap -smp "$(nproc)" -m 8G \
  -kernel "$vm/vmlinuz" -initrd "$vm/initrd.img" -snapshot \
  -no-reboot -append "root=/dev/vda rw console=ttyS0 panic=1 init=/test-init.sh test_job=$job" \
  -drive file="$vm/image.ext4",format=raw,if=virtio \
  -virtfs local,path="$root",mount_tag=project,security_model=none,id=project \
  -display none -serial file:"$jobs/console.log" -monitor none
cat "$jobs/output.log" 2>/dev/null || echo "The test machine did not run the job: see $jobs/console.log"
exit "$(cat "$jobs/rc" 2>/dev/null || echo 1)"
