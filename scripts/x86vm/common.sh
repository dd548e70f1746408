# Shared by the scripts that build and boot the x86 test guest (sourced).
# The guest is cached per user and per recipe: any change to the files that
# make it gives a new version, so a changed recipe rebuilds.
VM_SCRIPTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
PROJECT_ROOT=$(cd "$VM_SCRIPTS/../.." && pwd)
GUEST_PREFIX=/opt/tavrel/prefix-win32

guest_version() {
    cat "$VM_SCRIPTS/image.sh" "$VM_SCRIPTS/init.sh" "$VM_SCRIPTS/provision.sh" \
        "$PROJECT_ROOT/scripts/wine-prefix.sh" | sha256sum | cut -c1-12
}

guest_dir() {
    echo "${TAVREL_VM_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tavrel}/x86-guest-v1-$(guest_version)"
}
