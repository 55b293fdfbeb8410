#!/usr/bin/env bash
# Runs the given test program as the user "nobody" when we are root and nobody can reach the
# program; as ourselves otherwise (the tests then skip what they cannot check).
set -euo pipefail
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null && id nobody >/dev/null 2>&1; then
  as_nobody=(setpriv --reuid="$(id -u nobody)" --regid="$(id -g nobody)" --clear-groups)
  if (cd /tmp && "${as_nobody[@]}" test -x "$1"); then
    cd /tmp
    exec "${as_nobody[@]}" "$@"
  fi
fi
exec "$@"
