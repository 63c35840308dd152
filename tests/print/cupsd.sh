# A private print service for tests, sourced by the print tests:
#   . cupsd.sh; cupsd_start; ...; cupsd_stop
# cupsd_start runs its own cupsd with a configuration, spool and logs in a
# temporary folder, listening on a local socket there only, with one
# cups-pdf queue as the default printer, and exports CUPS_SERVER (the
# socket) so that every CUPS client of the test, Qt's print dialog too,
# talks to it. The queue's PDF files land in $CUPS_TEST_OUT.
#
# cups-pdf reads its settings only from /etc/cups; the queue's own settings
# file there (cups-pdf-<queue>.conf, named after the queue's device URI)
# points its output into the temporary folder and is removed again by
# cupsd_stop. Writing it needs root, as does cupsd's running filters as the
# non-root user "lp"; without root cupsd_start returns 77.

CUPS_TEST_QUEUE=""
CUPS_TEST_PID=""

cupsd_fail() {
  echo "cupsd.sh: $*" >&2
  [ -n "${CUPS_TEST_DIR:-}" ] && [ -f "$CUPS_TEST_DIR/log/error_log" ] && tail -n 20 "$CUPS_TEST_DIR/log/error_log" >&2
  cupsd_stop
  return 1
}

cupsd_start() {
  # cupsd and lpadmin live in sbin.
  PATH="$PATH:/usr/sbin:/sbin"
  command -v cupsd >/dev/null 2>&1 || { echo "cupsd.sh: cupsd is not installed (./scripts/setup)" >&2; return 1; }
  [ "$(id -u)" -eq 0 ] || { echo "cupsd.sh: needs root; skipped" >&2; return 77; }
  [ -e /usr/lib/cups/backend/cups-pdf ] || { echo "cupsd.sh: the cups-pdf driver is not installed" >&2; return 1; }

  CUPS_TEST_DIR=$(mktemp -d /tmp/scrandle-cups.XXXXXX)
  # Filters run as lp and must reach the spool and temporary files.
  chmod 755 "$CUPS_TEST_DIR"
  mkdir -p "$CUPS_TEST_DIR/etc/ppd" "$CUPS_TEST_DIR/spool/tmp" "$CUPS_TEST_DIR/cache" "$CUPS_TEST_DIR/state" \
           "$CUPS_TEST_DIR/log" "$CUPS_TEST_DIR/out" "$CUPS_TEST_DIR/cups-pdf"
  chmod 1777 "$CUPS_TEST_DIR/spool/tmp" "$CUPS_TEST_DIR/out" "$CUPS_TEST_DIR/cups-pdf"
  CUPS_TEST_OUT="$CUPS_TEST_DIR/out"
  CUPS_TEST_QUEUE="scrandle-test-$$"

  cat > "$CUPS_TEST_DIR/etc/cupsd.conf" <<CONF
Listen $CUPS_TEST_DIR/cups.sock
LogLevel info
Browsing No
BrowseLocalProtocols none
DefaultShared No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
  cat > "$CUPS_TEST_DIR/etc/cups-files.conf" <<CONF
ServerRoot $CUPS_TEST_DIR/etc
RequestRoot $CUPS_TEST_DIR/spool
TempDir $CUPS_TEST_DIR/spool/tmp
CacheDir $CUPS_TEST_DIR/cache
StateDir $CUPS_TEST_DIR/state
AccessLog $CUPS_TEST_DIR/log/access_log
ErrorLog $CUPS_TEST_DIR/log/error_log
PageLog $CUPS_TEST_DIR/log/page_log
Printcap $CUPS_TEST_DIR/printcap
User lp
Group lp
SystemGroup root lpadmin
FileDevice No
CONF
  cat > "/etc/cups/cups-pdf-$CUPS_TEST_QUEUE.conf" <<CONF
Out $CUPS_TEST_OUT
AnonDirName $CUPS_TEST_OUT
Spool $CUPS_TEST_DIR/cups-pdf
Log $CUPS_TEST_DIR/log
UserUMask 0022
Grp lp
CONF

  cupsd -f -c "$CUPS_TEST_DIR/etc/cupsd.conf" -s "$CUPS_TEST_DIR/etc/cups-files.conf" &
  CUPS_TEST_PID=$!
  export CUPS_SERVER="$CUPS_TEST_DIR/cups.sock"
  i=0
  until lpstat -r >/dev/null 2>&1; do
    i=$((i + 1))
    [ "$i" -le 100 ] || { cupsd_fail "cupsd did not start"; return 1; }
    kill -0 "$CUPS_TEST_PID" 2>/dev/null || { CUPS_TEST_PID=""; cupsd_fail "cupsd ended at start"; return 1; }
    sleep 0.1
  done
  # The PostScript step of the queue renders with pdftocairo: the default
  # renderer hands cups-pdf fonts without their character codes, and the
  # PDF it writes could not be read back as text.
  cupsd_admin -p "$CUPS_TEST_QUEUE" -E -v "cups-pdf:/$CUPS_TEST_QUEUE" -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd \
    -o pdftops-renderer-default=pdftocairo || { cupsd_fail "cannot make the cups-pdf queue"; return 1; }
  cupsd_admin -d "$CUPS_TEST_QUEUE" || { cupsd_fail "cannot make the queue the default printer"; return 1; }
  export CUPS_TEST_OUT CUPS_TEST_QUEUE CUPS_TEST_DIR
}

# lpadmin, tried a few times: a scheduler that has just started may still
# drop the first connections.
cupsd_admin() {
  n=0
  until lpadmin "$@" 2>"$CUPS_TEST_DIR/log/lpadmin"; do
    n=$((n + 1))
    [ "$n" -lt 20 ] || { cat "$CUPS_TEST_DIR/log/lpadmin" >&2; return 1; }
    sleep 0.2
  done
}

# Waits until the queue has no job left; false after the seconds given.
cupsd_wait_idle() {
  i=0
  while [ -n "$(lpstat -o "$CUPS_TEST_QUEUE" 2>/dev/null)" ]; do
    i=$((i + 1))
    [ "$i" -le $(( ${1:-60} * 10 )) ] || return 1
    sleep 0.1
  done
}

cupsd_stop() {
  if [ -n "$CUPS_TEST_PID" ]; then
    kill "$CUPS_TEST_PID" 2>/dev/null
    wait "$CUPS_TEST_PID" 2>/dev/null
    CUPS_TEST_PID=""
  fi
  [ -n "$CUPS_TEST_QUEUE" ] && rm -f "/etc/cups/cups-pdf-$CUPS_TEST_QUEUE.conf"
  if [ -n "${CUPS_TEST_DIR:-}" ] && [ -z "${CUPS_TEST_KEEP:-}" ]; then
    rm -rf "$CUPS_TEST_DIR"
  fi
}
