#!/bin/sh
# SPDX-License-Identifier: MIT
# Runs a test program in a mount namespace of its own with two fresh tmpfs file systems, which
# vanish with the namespace however the program ends:
#   $TESSORY_SMALL_FS  a small one, for the tests that fill a disk;
#   $TMPDIR            a roomy one for the test sandboxes, so that a sparse 200 MB file and 50,000
#                      little files never touch the real disk.
# Root (CI) needs only a mount namespace; anyone else gets one through a user namespace. Where
# neither can be made, or no tmpfs can be mounted, the program runs as it is and the disk-full tests
# report themselves skipped.
#
# Usage: with_small_fs.sh MOUNT_DIR PROGRAM [ARGUMENTS...]
# MOUNT_DIR is created if need be and stays empty outside the namespace.
set -eu

mount_dir=$1
shift

if [ "${TESSORY_IN_NAMESPACE:-}" != 1 ]; then
    mkdir -p "$mount_dir/small" "$mount_dir/tmp"
    if [ "$(id -u)" = 0 ]; then flags=-m; else flags=-rm; fi
    if unshare $flags true 2>/dev/null; then
        TESSORY_IN_NAMESPACE=1 exec unshare $flags sh "$0" "$mount_dir" "$@"
    fi
    echo "with_small_fs.sh: no mount namespace can be made here; running without a small disk" >&2
    exec "$@"
fi

if mount -t tmpfs -o size=4m,mode=0700 tessory-small "$mount_dir/small" &&
    mount -t tmpfs -o size=1g,mode=0700 tessory-tmp "$mount_dir/tmp"; then
    TESSORY_SMALL_FS="$mount_dir/small" TMPDIR="$mount_dir/tmp" exec "$@"
fi
echo "with_small_fs.sh: no tmpfs can be mounted here; running without a small disk" >&2
exec "$@"
