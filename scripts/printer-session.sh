# Sourced by the control's test command: two PDF print queues for the tests of the real print
# dialog (CTest label "printer"). Starts cupsd when it is not running, adds the queues that are missing (their PDFs go to
# BUILD_DIR/printed) and makes the first one the default of the test's processes only, through
# the environment, so the machine's own default printer stays as it is. printer_session_stop
# removes what printer_session_start added and stops a cupsd it started.
# Needs root and Debian's cups and printer-driver-cups-pdf; without them the printer tests are
# reported as skipped.
# Usage: source scripts/printer-session.sh; printer_session_start BUILD_DIR; ...; printer_session_stop

printer_session_queues=(QzTestPDF QzTestPDF2)
# Marks a queue as the test bed's own, so that one left behind by a killed run is removed too.
printer_session_info="QzCommonDialog test printer"
printer_session_cupsd=""
printer_session_added=()
printer_session_configs=()
printer_session_made_rundir=""

printer_session_scheduler_up() {
  [[ $(lpstat -r 2>/dev/null) == "scheduler is running" ]]
}

printer_session_start() {
  local build=$1
  if [[ $(id -u) -ne 0 ]] || ! command -v cupsd >/dev/null || ! command -v lpadmin >/dev/null ||
     [[ ! -x /usr/lib/cups/backend/cups-pdf ]]; then
    echo "printer-session: no print queues (needs root, cups and printer-driver-cups-pdf); printer tests are skipped"
    return 0
  fi
  if ! printer_session_scheduler_up; then
    [[ -d /run/cups ]] || { mkdir -p /run/cups; printer_session_made_rundir=1; }
    cupsd -f </dev/null >/dev/null 2>&1 &
    printer_session_cupsd=$!
    local _
    for _ in $(seq 100); do
      printer_session_scheduler_up && break
      sleep 0.1
    done
    printer_session_scheduler_up || { echo "printer-session: cupsd did not start" >&2; return 1; }
  fi

  local output=$build/printed queue
  rm -rf "$output"
  mkdir -p "$output"
  for queue in "${printer_session_queues[@]}"; do
    if lpstat -p "$queue" >/dev/null 2>&1 &&
       [[ $(lpoptions -p "$queue" 2>/dev/null) != *"printer-info='$printer_session_info'"* ]]; then
      echo "printer-session: using the existing queue $queue as it is"
      continue
    fi
    # The backend reads cups-pdf-NAME.conf for the device cups-pdf:/NAME.
    local config=/etc/cups/cups-pdf-$queue.conf
    printf 'Out %s\nLog %s\n' "$output" "$output" >"$config"
    printer_session_configs+=("$config")
    printer_session_added+=("$queue")
    lpadmin -p "$queue" -D "$printer_session_info" -v "cups-pdf:/$queue" \
      -m lsb/usr/cups-pdf/CUPS-PDF_noopt.ppd -E 2>/dev/null ||
      { echo "printer-session: cannot add the queue $queue" >&2; return 1; }
  done
  # The client library takes its default destination from these before any setting of the machine.
  export LPDEST=${printer_session_queues[0]} PRINTER=${printer_session_queues[0]}
  export QZ_TEST_PRINTERS="${printer_session_queues[*]}" QZ_TEST_PRINT_OUTPUT=$output
  # Only the printer tests reach the print server (their CTest entries unset this); every other
  # test keeps a machine without printers, and Wine programs do not all talk to the server.
  export CUPS_SERVER=$build/no-print-server.sock
  echo "printer-session: print queues ${printer_session_queues[*]}, PDFs in $output"
}

printer_session_stop() {
  local queue
  for queue in "${printer_session_added[@]}"; do
    lpadmin -x "$queue" 2>/dev/null || true
  done
  rm -f "${printer_session_configs[@]}"
  printer_session_added=()
  printer_session_configs=()
  if [[ -n $printer_session_cupsd ]]; then
    kill "$printer_session_cupsd" 2>/dev/null || true
    wait "$printer_session_cupsd" 2>/dev/null || true
    printer_session_cupsd=""
    [[ -z $printer_session_made_rundir ]] || rm -rf /run/cups
  fi
}
