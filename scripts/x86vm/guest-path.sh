#!/usr/bin/env bash
# Prints the folder that holds (or will hold) the x86 test guest of the
# current recipe.
set -euo pipefail
source "$(dirname "$0")/common.sh"
guest_dir
