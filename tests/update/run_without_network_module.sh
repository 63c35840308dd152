#!/bin/sh
# Runs a command with the network module hidden from it: in a mount
# namespace of its own, an empty file is bound over the module, so that
# loading it fails as for a module missing or unreadable. The command gets
# SCRANDLE_TEST_NO_NETWORK_MODULE=1. Exits 77 (skipped) where no mount
# namespace can be made (not root).
#   run_without_network_module.sh MODULE COMMAND [ARGUMENT...]
set -u
MODULE=$1
shift
[ "$(id -u)" -eq 0 ] || { echo "run_without_network_module: needs root; skipped" >&2; exit 77; }
unshare -m true 2>/dev/null || { echo "run_without_network_module: no mount namespace; skipped" >&2; exit 77; }
exec unshare -m sh -c 'mount --bind /dev/null "$1" || exit 1; shift; SCRANDLE_TEST_NO_NETWORK_MODULE=1 exec "$@"' \
  sh "$MODULE" "$@"
