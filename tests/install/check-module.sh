#!/usr/bin/env bash
# check-module.sh USR_DIR
# The installed exporter opens the network-information module from the
# installed tree (USR_DIR/lib/<arch>/tembrook), not from the build tree or
# anywhere else. A system bus address is given so that the connection check
# tries to load a backend, which is when the module is opened; the address
# leads nowhere, so the backend fails and the download is tried (and refused:
# nothing listens on port 1).
set -euo pipefail
usr="$(cd "$1" && pwd)"
log=$(DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent LD_DEBUG=files \
      "$usr/bin/tembrook-export" http://127.0.0.1:1/ 2>&1 >/dev/null || true)
opened=$(grep -oE 'file=[^ ]*libtembrook_netinfo\.so' <<<"$log" | sed 's/^file=//' | sort -u || true)
if [ -z "$opened" ]; then
  echo "FAIL: the installed exporter did not open libtembrook_netinfo.so"
  exit 1
fi
for path in $opened; do
  case "$(realpath -m "$path")" in
    "$usr"/lib/*/tembrook/libtembrook_netinfo.so | "$usr"/lib/tembrook/libtembrook_netinfo.so)
      echo "ok: module opened from $path" ;;
    *) echo "FAIL: the module was opened from $path, outside $usr"; exit 1 ;;
  esac
done
