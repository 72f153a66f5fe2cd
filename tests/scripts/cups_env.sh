# A private CUPS server for the printing tests. Sourced, not run; needs root (cupsd and the
# cups-pdf backend run as root) and the Debian packages cups and printer-driver-cups-pdf.
#
#   cups_env_start           starts cupsd on a unix socket in a temporary folder, with a cups-pdf
#                            queue (not yet the default); exports CUPS_SERVER and friends so that
#                            every CUPS client of this shell, and Qt, talks to it
#   cups_env_make_default    makes the queue the default printer
#   cups_env_add_queue NAME PPD  adds a second cups-pdf queue with the given PPD, writing to the
#                            same folder, and makes it the default printer
#   cups_env_wait_pdfs N     waits (bounded) until N PDF files are complete; prints their paths
#   cups_env_stop            stops cupsd and removes everything (also run on exit)
#
# The cups-pdf backend reads its settings only from /etc/cups: the queue's device URI names an
# instance of its own, whose file /etc/cups/cups-pdf-<instance>.conf sends the PDFs to
# $CUPS_ENV_DIR/pdf. That file is removed again by cups_env_stop.

CUPS_ENV_QUEUE=quillion-pdf
CUPS_ENV_TIMEOUT=${CUPS_ENV_TIMEOUT:-60}

cups_env_fail() {
    echo "cups_env: $*" >&2
    if [ -n "${CUPS_ENV_DIR:-}" ] && [ -f "$CUPS_ENV_DIR/log/error_log" ]; then
        echo "cups_env: errors and warnings of cupsd:" >&2
        grep -E '^[EW] ' "$CUPS_ENV_DIR/log/error_log" | tail -n 20 >&2 || true
    fi
    return 1
}

cups_env_start() {
    [ "$(id -u)" -eq 0 ] || {
        echo "cups_env: needs root to run cupsd and the cups-pdf backend" >&2
        return 1
    }
    local tool
    for tool in /usr/sbin/cupsd /usr/sbin/lpadmin /usr/bin/lpstat /usr/lib/cups/backend/cups-pdf; do
        [ -x "$tool" ] || {
            echo "cups_env: $tool is missing (packages cups, printer-driver-cups-pdf)" >&2
            return 1
        }
    done
    local ppd
    local found
    found=$(ls /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd /usr/share/ppd/cups-pdf/*.ppd 2>/dev/null) || true
    ppd=${found%%$'\n'*}
    [ -n "$ppd" ] || {
        echo "cups_env: no cups-pdf PPD in /usr/share/ppd/cups-pdf" >&2
        return 1
    }

    CUPS_ENV_DIR=$(mktemp -d /tmp/quillion-cups.XXXXXX)
    # Filters and the backend run as the lp user once cupsd hands them a job.
    chmod 0755 "$CUPS_ENV_DIR"
    trap cups_env_stop EXIT
    mkdir -p "$CUPS_ENV_DIR"/{etc/ppd,etc/ssl,spool/tmp,cache,state,log,pdf,pdf-spool}
    chmod 0777 "$CUPS_ENV_DIR/pdf"
    CUPS_ENV_INSTANCE=quillion-$(basename "$CUPS_ENV_DIR" | cut -d. -f2)
    CUPS_ENV_PDF_CONF=/etc/cups/cups-pdf-$CUPS_ENV_INSTANCE.conf

    cat >"$CUPS_ENV_DIR/etc/cups-files.conf" <<CONF
ServerRoot $CUPS_ENV_DIR/etc
RequestRoot $CUPS_ENV_DIR/spool
TempDir $CUPS_ENV_DIR/spool/tmp
CacheDir $CUPS_ENV_DIR/cache
StateDir $CUPS_ENV_DIR/state
ServerBin /usr/lib/cups
DataDir /usr/share/cups
AccessLog $CUPS_ENV_DIR/log/access_log
ErrorLog $CUPS_ENV_DIR/log/error_log
PageLog $CUPS_ENV_DIR/log/page_log
SystemGroup root
User lp
Group lp
CONF
    cat >"$CUPS_ENV_DIR/etc/cupsd.conf" <<CONF
Listen $CUPS_ENV_DIR/cups.sock
LogLevel debug
Browsing No
WebInterface No
DefaultShared No
JobRetryLimit 0
MaxJobs 50
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
    cat >"$CUPS_ENV_PDF_CONF" <<CONF
Out $CUPS_ENV_DIR/pdf
AnonDirName $CUPS_ENV_DIR/pdf
Spool $CUPS_ENV_DIR/pdf-spool
Log $CUPS_ENV_DIR/log
UserUMask 0022
Label 1
CONF

    # Clients (lpadmin, lpstat, Qt's CUPS plug-in) find the server, its client.conf and its
    # lpoptions here, not in the machine's own CUPS set-up.
    export CUPS_SERVER="$CUPS_ENV_DIR/cups.sock"
    export CUPS_SERVERROOT="$CUPS_ENV_DIR/etc"
    export CUPS_STATEDIR="$CUPS_ENV_DIR/state"
    unset PRINTER LPDEST

    # A copy of cupsd: the AppArmor profile of /usr/sbin/cupsd (enforced on Debian machines with
    # AppArmor) would keep it from our temporary folder; profiles attach by path.
    cp /usr/sbin/cupsd "$CUPS_ENV_DIR/cupsd"
    "$CUPS_ENV_DIR/cupsd" -f -c "$CUPS_ENV_DIR/etc/cupsd.conf" -s "$CUPS_ENV_DIR/etc/cups-files.conf" \
        >"$CUPS_ENV_DIR/log/cupsd.out" 2>&1 &
    CUPS_ENV_PID=$!
    local waited=0
    until [ -S "$CUPS_SERVER" ] && lpstat -r >/dev/null 2>&1; do
        if ! kill -0 "$CUPS_ENV_PID" 2>/dev/null; then
            cat "$CUPS_ENV_DIR/log/cupsd.out" >&2
            cups_env_fail "cupsd exited at start-up"
            return 1
        fi
        if [ $waited -ge $((CUPS_ENV_TIMEOUT * 10)) ]; then
            cups_env_fail "cupsd did not answer within ${CUPS_ENV_TIMEOUT}s"
            return 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done

    lpadmin -p "$CUPS_ENV_QUEUE" -E -v "cups-pdf:/$CUPS_ENV_INSTANCE" -P "$ppd" \
        -o printer-error-policy=abort-job 2>"$CUPS_ENV_DIR/log/lpadmin.err" || {
        cat "$CUPS_ENV_DIR/log/lpadmin.err" >&2
        cups_env_fail "lpadmin could not add the cups-pdf queue"
        return 1
    }
    lpstat -p "$CUPS_ENV_QUEUE" >/dev/null || {
        cups_env_fail "the queue $CUPS_ENV_QUEUE does not show"
        return 1
    }
}

cups_env_make_default() {
    lpadmin -d "$CUPS_ENV_QUEUE" || {
        cups_env_fail "lpadmin -d failed"
        return 1
    }
    local default
    default=$(lpstat -d 2>/dev/null)
    case $default in
    *": $CUPS_ENV_QUEUE") ;;
    *)
        cups_env_fail "default printer is not $CUPS_ENV_QUEUE: $default"
        return 1
        ;;
    esac
}

cups_env_add_queue() {
    local name=$1 ppd=$2
    lpadmin -p "$name" -E -v "cups-pdf:/$CUPS_ENV_INSTANCE" -P "$ppd" \
        -o printer-error-policy=abort-job 2>"$CUPS_ENV_DIR/log/lpadmin.err" || {
        cat "$CUPS_ENV_DIR/log/lpadmin.err" >&2
        cups_env_fail "lpadmin could not add the queue $name"
        return 1
    }
    lpadmin -d "$name" || {
        cups_env_fail "lpadmin -d $name failed"
        return 1
    }
}

# cups_env_wait_pdfs COUNT: waits until COUNT PDF files are in the output folder and no job is
# pending, then prints their paths, oldest first.
cups_env_wait_pdfs() {
    local want=$1 waited=0 have
    while :; do
        have=$(find "$CUPS_ENV_DIR/pdf" -name '*.pdf' -type f | wc -l)
        if [ "$have" -ge "$want" ] && [ -z "$(lpstat -o 2>/dev/null)" ]; then
            break
        fi
        if [ $waited -ge $((CUPS_ENV_TIMEOUT * 10)) ]; then
            echo "cups_env: $have of $want PDF files after ${CUPS_ENV_TIMEOUT}s" >&2
            lpstat -W all -o >&2 2>&1 || true
            cups_env_fail "printing did not complete"
            return 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    ls -1tr "$CUPS_ENV_DIR"/pdf/*.pdf
}

cups_env_stop() {
    if [ -n "${CUPS_ENV_PID:-}" ]; then
        kill "$CUPS_ENV_PID" 2>/dev/null || true
        local waited=0
        while kill -0 "$CUPS_ENV_PID" 2>/dev/null && [ $waited -lt 100 ]; do
            sleep 0.1
            waited=$((waited + 1))
        done
        kill -9 "$CUPS_ENV_PID" 2>/dev/null || true
        wait "$CUPS_ENV_PID" 2>/dev/null || true
        CUPS_ENV_PID=
    fi
    [ -n "${CUPS_ENV_PDF_CONF:-}" ] && rm -f "$CUPS_ENV_PDF_CONF"
    if [ -n "${CUPS_ENV_DIR:-}" ] && [ -z "${CUPS_ENV_KEEP:-}" ]; then
        rm -rf "$CUPS_ENV_DIR"
    fi
    CUPS_ENV_PDF_CONF=
}
