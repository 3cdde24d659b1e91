#!/bin/sh
# Times what the office waits for, on generated diaries, beside the sqlite3
# shell doing the same work in the same run (the floor).
#
# Usage: bench/run.sh [BUILD_DIR]
#   LEXORDO_BENCH_SIZES  hearings of each diary, "20000 200000" by default
#                        (a million: "1000000"; generating it takes a while)
#   LEXORDO_BENCH_RUNS   runs of each command, 3 by default; the median is shown
#   LEXORDO_BENCH_YEAR   the year the calendar is exported for, 2026 by default
#   LEXORDO_BENCH_ALL=1  also every Google benchmark (bench_*) on each diary
#   LEXORDO_BENCH_ONLY   the items to run, e.g. "calendar backup"; every one by
#                        default: register calendar export import backup searches
#                        courtlist server
#   LEXORDO_BENCH_DESK_SECONDS  how long the five desks of "server" work, 10 by default
#   LEXORDO_BENCH_DIARIES  the folder of the generated diaries, BUILD_DIR by
#                        default (another build's folder compares two builds)
#
# The diaries are generated once and kept as bench-N.mdb in that folder. Each line
# gives the median elapsed time, the median CPU time (user + system) and the
# largest peak memory (resident) of the runs, measured with /usr/bin/time.
set -e
BUILD=${1:-build}
SIZES=${LEXORDO_BENCH_SIZES:-20000 200000}
RUNS=${LEXORDO_BENCH_RUNS:-3}
YEAR=${LEXORDO_BENCH_YEAR:-2026}
ONLY=${LEXORDO_BENCH_ONLY:-register calendar export import backup searches courtlist server}
DIARIES=${LEXORDO_BENCH_DIARIES:-$BUILD}
LEXORDO="$BUILD/lexordo"
TIME=/usr/bin/time

[ -x "$LEXORDO" ] || { echo "$LEXORDO is not built" >&2; exit 1; }
[ -x "$TIME" ] || { echo "$TIME is missing (Debian package time)" >&2; exit 1; }

WORK=$(mktemp -d)
PGFOLDER=
# pg_ctl run as the cluster's owner: initdb refuses root.
as_owner() {
    if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
finish() {
    if [ -n "$PGFOLDER" ]; then
        as_owner "$PGBIN/pg_ctl" -D "$PGFOLDER/data" -m immediate -w stop > /dev/null 2>&1 || true
        rm -rf "$PGFOLDER"
    fi
    rm -rf "$WORK"
}
trap finish EXIT
trap 'exit 1' INT TERM

wants() {
    case " $ONLY " in *" $1 "*) return 0 ;; *) return 1 ;; esac
}

# median of the numbers on standard input
median() {
    sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) print "-"; else if (NR % 2) print v[(NR + 1) / 2]; else printf "%.2f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# measure LABEL PREPARE COMMAND...: runs COMMAND $RUNS times, each after the
# shell command PREPARE (not timed), and prints one line.
measure() {
    label=$1
    prepare=$2
    shift 2
    : > "$WORK/times"
    i=0
    while [ "$i" -lt "$RUNS" ]; do
        eval "$prepare"
        if ! $TIME -f "%e %U %S %M" -o "$WORK/time" "$@" > "$WORK/out" 2> "$WORK/err"; then
            echo "   $label: failed:" >&2
            cat "$WORK/err" "$WORK/time" >&2
            LAST_CPU=0
            return 0
        fi
        tail -n 1 "$WORK/time" >> "$WORK/times"
        i=$((i + 1))
    done
    elapsed=$(awk '{ print $1 }' "$WORK/times" | median)
    cpu=$(awk '{ printf "%.2f\n", $2 + $3 }' "$WORK/times" | median)
    peak=$(awk '{ print $4 }' "$WORK/times" | sort -n | tail -n 1)
    printf '   %-44s %8s s elapsed %8s s cpu %8d MB peak\n' "$label" "$elapsed" "$cpu" $((peak / 1024))
    LAST_CPU=$cpu
}

# The item "server" alone makes a diary of its own; the others share bench-N.mdb.
PLAIN=0
for item in $ONLY; do [ "$item" = server ] || PLAIN=1; done

for SIZE in $SIZES; do
    DB="$DIARIES/bench-$SIZE.mdb"
    if [ "$PLAIN" = 0 ]; then
        echo
        echo "=== $SIZE hearings"
    fi
    if [ "$PLAIN" = 1 ] && [ ! -f "$DB" ]; then
        echo "== generating $DB"
        rm -f "$DB.part" "$DB.part-wal" "$DB.part-shm"
        "$BUILD/lexordo-gendb" "$DB.part" --hearings "$SIZE" --due-today 300 --today 07/12/2026
        sqlite3 "$DB.part" "PRAGMA journal_mode = DELETE" > /dev/null
        mv "$DB.part" "$DB"
    fi
    # The commands find the diary through the data source "advocate".
    printf '[advocate]\nDriver=SQLite3\nDatabase=%s\n' "$(readlink -f "$DB")" > "$WORK/odbc.ini"
    export ODBCINI="$WORK/odbc.ini"
    # Opened once by the program first (a diary made elsewhere gets its lists
    # and indexes then), and its write-ahead journal folded in, so that each
    # command starts from the file alone.
    if [ "$PLAIN" = 1 ]; then
        "$LEXORDO" export ics --from 01/01/2000 --to 01/01/2000 --file /dev/null > /dev/null
        sqlite3 "$DB" "PRAGMA wal_checkpoint(TRUNCATE)" > /dev/null
        echo
        echo "=== $SIZE hearings: $DB, $(($(stat -c %s "$DB") / 1048576)) MB, median of $RUNS runs"
    fi

    if wants register && [ -x "$BUILD/bench_caseregister" ]; then
        echo "== the case register's opening on a day with hearings due (the screen's work, carry-forward included)"
        measure "sqlite3: the register's keys in order" : \
            sqlite3 "$DB" "select rowid from advocate order by cdate, courtindex, rowid"
        copy() {
            rm -f "$WORK"/copy.mdb*
            cp "$DB" "$WORK/copy.mdb"
        }
        measure "sqlite3: today's 300 carried forward, one insert" copy \
            sqlite3 "$WORK/copy.mdb" "PRAGMA synchronous = FULL;
                INSERT INTO advocate (cdate, pdate, courtname, CourtIndex, caseno, Party1, Party2, fixedfor)
                SELECT ndate, cdate, courtname, CourtIndex, caseno, Party1, Party2, fixedforN
                  FROM advocate WHERE ndate = '2026-12-07'"
        rm -f "$WORK"/copy.mdb*
        LEXORDO_BENCH_DB="$DB" QT_QPA_PLATFORM=offscreen "$BUILD/bench_caseregister" \
            --benchmark_filter='^BM_OpenCaseRegister' 2>&1 |
            grep -E '^BM_OpenCaseRegister' | sed 's/^/   /'
    fi

    if wants calendar; then
        FROM="01/01/$YEAR"
        TO="31/12/$YEAR"
        echo "== the calendar of $YEAR (lexordo export ics)"
        measure "sqlite3: select of the same events" : sqlite3 "$DB" "
            WITH listed (day, caseno, party1, party2) AS MATERIALIZED (
              SELECT cdate, coalesce(caseno, ''), coalesce(Party1, ''), coalesce(Party2, '')
                FROM advocate WHERE cdate BETWEEN '$YEAR-01-01' AND '$YEAR-12-31')
            SELECT cdate AS day, courtname, CourtIndex, caseno, Party1, Party2, fixedfor,
                   remarks, NULL FROM advocate WHERE cdate BETWEEN '$YEAR-01-01' AND '$YEAR-12-31'
            UNION ALL
            SELECT a.ndate, a.courtname, a.CourtIndex, a.caseno, a.Party1, a.Party2, a.fixedforN,
                   a.remarks, a.cdate FROM advocate a
             WHERE a.ndate BETWEEN '$YEAR-01-01' AND '$YEAR-12-31'
               AND NOT EXISTS (SELECT 1 FROM listed l WHERE l.day = a.ndate
                               AND l.caseno = coalesce(a.caseno, '')
                               AND l.party1 = coalesce(a.Party1, '')
                               AND l.party2 = coalesce(a.Party2, ''))
            ORDER BY day, CourtIndex, courtname, Party1, caseno"
        floor=$LAST_CPU
        measure "lexordo export ics" : \
            "$LEXORDO" export ics --from "$FROM" --to "$TO" --file "$WORK/year.ics"
        events=$(grep -c '^BEGIN:VEVENT' "$WORK/year.ics" || true)
        awk -v e="$events" -v c="$LAST_CPU" -v f="$floor" -v s="$(stat -c %s "$WORK/year.ics")" 'BEGIN {
            printf "   %d events, %d MB: %.1f us cpu an event (the select: %.1f us)\n",
                   e, s / 1048576, e ? c * 1e6 / e : 0, e ? f * 1e6 / e : 0 }'
        rm -f "$WORK/year.ics"
    fi

    if wants export || wants import; then
        echo "== the diary to CSV (lexordo export csv advocate)"
        measure "sqlite3 -csv -header: select * from advocate" : \
            sqlite3 -csv -header "$DB" "select * from advocate" -cmd ".output $WORK/floor.csv"
        rm -f "$WORK/floor.csv"
        measure "lexordo export csv advocate" : \
            "$LEXORDO" export csv advocate --file "$WORK/advocate.csv"
    fi

    if wants import; then
        echo "== the diary's CSV into an empty diary (lexordo import csv advocate)"
        rm -f "$WORK/empty.mdb"
        "$LEXORDO" --create-database "$WORK/empty.mdb" > /dev/null 2>&1
        sqlite3 "$WORK/empty.mdb" "PRAGMA journal_mode = DELETE" > /dev/null
        fresh() {
            rm -f "$WORK/target.mdb" "$WORK/target.mdb-wal" "$WORK/target.mdb-shm"
            cp "$WORK/empty.mdb" "$WORK/target.mdb"
        }
        # Two floors: a bare table of text columns (no index, no trigger), and
        # the fair one, the diary's own table with the indexes and the
        # triggers keeping its lists and counts, which the import maintains too.
        measure "sqlite3 .import --csv into a new bare table" "rm -f $WORK/bare.db" \
            sqlite3 "$WORK/bare.db" ".import --csv $WORK/advocate.csv advocate"
        bare=$LAST_CPU
        rm -f "$WORK/bare.db"
        measure "sqlite3 .import --csv into the empty diary" fresh \
            sqlite3 "$WORK/target.mdb" ".import --csv --skip 1 $WORK/advocate.csv advocate"
        fair=$LAST_CPU
        printf '[advocate]\nDriver=SQLite3\nDatabase=%s\n' "$WORK/target.mdb" > "$WORK/odbc-target.ini"
        ODBCINI="$WORK/odbc-target.ini" measure "lexordo import csv advocate" fresh \
            "$LEXORDO" import csv advocate --file "$WORK/advocate.csv"
        awk -v c="$LAST_CPU" -v f="$fair" -v b="$bare" 'BEGIN {
            printf "   cpu beside the floors: %.2fx the empty diary, %.2fx the bare table\n",
                   (f > 0 ? c / f : 0), (b > 0 ? c / b : 0) }'
        rm -f "$WORK"/target.mdb* "$WORK/empty.mdb"
    fi
    rm -f "$WORK/advocate.csv"

    if wants backup; then
        echo "== the backup (lexordo backup --to FOLDER)"
        mkdir -p "$WORK/backup"
        measure "sqlite3 .backup" "rm -f $WORK/backup/*" \
            sqlite3 "$DB" ".backup $WORK/backup/floor.mdb"
        measure "lexordo backup" "rm -f $WORK/backup/*" \
            "$LEXORDO" backup --to "$WORK/backup"
        measure "lexordo backup --verify" "rm -f $WORK/backup/*" \
            "$LEXORDO" backup --to "$WORK/backup" --verify
        rm -rf "$WORK/backup"
    fi

    if wants courtlist && [ -x "$BUILD/bench_courtlist" ]; then
        LIST="$DIARIES/bench-courtlist-$SIZE.pdf"
        echo "== the court's list, 300 pages of 30,000 items, checked against the diary (lexordo check-cause-list)"
        # bench_courtlist writes the list once, the diary's own numbers among others'.
        [ -f "$LIST" ] || LEXORDO_BENCH_DB="$DB" LEXORDO_BENCH_LIST="$LIST" QT_QPA_PLATFORM=offscreen \
            "$BUILD/bench_courtlist" --benchmark_filter='^BM_ReadPdfText$' > /dev/null 2>&1
        measure "pdftotext -layout alone on the same list" : \
            pdftotext -layout "$LIST" "$WORK/list.txt"
        rm -f "$WORK/list.txt"
        # Status 3 (the court lists a matter the diary has not for the day) is a result.
        measure "lexordo check-cause-list" : sh -c \
            '"$0" check-cause-list --date 07/12/2026 --file "$1" > /dev/null; s=$?; [ "$s" -eq 0 ] || [ "$s" -eq 3 ]' \
            "$LEXORDO" "$LIST"
    fi

    if wants searches; then
        echo "== sqlite3 shell: the register's searches (timer of the shell)"
        sqlite3 "$DB" <<'SQL' | sed 's/^/   /'
.timer on
.output /dev/null
SELECT rowid FROM advocate WHERE ndate = '2026-12-14' ORDER BY cdate, courtindex, rowid;
SELECT rowid FROM advocate WHERE cdate = '2026-11-30' ORDER BY cdate, courtindex, rowid;
SELECT rowid FROM advocate WHERE Party1 LIKE '%d''souza%' ESCAPE '\' ORDER BY cdate, courtindex, rowid;
SELECT rowid FROM advocate WHERE caseno = 'cs 100/2020' COLLATE NOCASE ORDER BY cdate, courtindex, rowid;
SQL
        if sqlite3 "$DB" "SELECT name FROM sqlite_master WHERE name = 'advocate_Party1_texts'" | grep -q .; then
            echo "== sqlite3 shell: the party searches through the list of names, as the record set runs them"
            sqlite3 "$DB" <<'SQL' | sed 's/^/   /'
.timer on
.output /dev/null
SELECT rowid FROM advocate WHERE Party1 COLLATE NOCASE IN (SELECT "text" FROM advocate_Party1_texts WHERE "text" LIKE '%d''souza%' ESCAPE '\') ORDER BY +cdate, +courtindex, rowid;
SELECT rowid FROM advocate WHERE Party1 COLLATE NOCASE IN (SELECT "text" FROM advocate_Party1_texts WHERE "text" LIKE '%ram d''sou%' ESCAPE '\') ORDER BY +cdate, +courtindex, rowid;
SQL
        fi
        if [ -x "$BUILD/bench_caseregister" ]; then
            echo "== the register's searches, the screen following (bench_caseregister)"
            LEXORDO_BENCH_DB="$DB" QT_QPA_PLATFORM=offscreen "$BUILD/bench_caseregister" \
                --benchmark_filter='^BM_Search' 2>&1 | grep -E '^BM_' | sed 's/^/   /'
        fi
    fi

    if wants server && [ -x "$BUILD/bench_desks" ]; then
        PGBIN=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
        if [ -z "$PGBIN" ] || [ ! -x "$PGBIN/initdb" ]; then
            echo "== server: PostgreSQL is not installed, left out"
        else
            # The same diary with 3,000 hearings due today, on the file and moved
            # to a throwaway cluster (socket only, removed at the end).
            SDB="$DIARIES/bench-$SIZE-due3000.mdb"
            if [ ! -f "$SDB" ]; then
                echo "== generating $SDB"
                rm -f "$SDB.part" "$SDB.part-wal" "$SDB.part-shm"
                "$BUILD/lexordo-gendb" "$SDB.part" --hearings "$SIZE" --due-today 3000 --today 07/12/2026
                sqlite3 "$SDB.part" "PRAGMA journal_mode = DELETE" > /dev/null
                mv "$SDB.part" "$SDB"
            fi
            printf '[advocate]\nDriver=SQLite3\nDatabase=%s\n' "$(readlink -f "$SDB")" > "$WORK/odbc-sdb.ini"
            ODBCINI="$WORK/odbc-sdb.ini" "$LEXORDO" export ics --from 01/01/2000 --to 01/01/2000 --file /dev/null > /dev/null
            sqlite3 "$SDB" "PRAGMA wal_checkpoint(TRUNCATE)" > /dev/null
            PGFOLDER=$(mktemp -d /tmp/lexordo-bench-pg-XXXXXX)
            [ "$(id -u)" = 0 ] && chown postgres: "$PGFOLDER"
            PGPORT=$((40000 + $$ % 20000))
            as_owner "$PGBIN/initdb" -D "$PGFOLDER/data" --auth=trust -E UTF8 --locale=C.UTF-8 \
                -U postgres --no-sync --no-instructions > "$WORK/initdb.log" 2>&1 ||
                { cat "$WORK/initdb.log" >&2; exit 1; }
            # The server's own defaults (fsync on), reached through a socket only;
            # statements above 20 ms are logged, to be shown below.
            printf "listen_addresses = ''\nunix_socket_directories = '%s'\nport = %s\nlog_min_duration_statement = 20\n" \
                "$PGFOLDER" "$PGPORT" >> "$PGFOLDER/data/postgresql.conf"
            as_owner "$PGBIN/pg_ctl" -D "$PGFOLDER/data" -l "$PGFOLDER/server.log" -w start > /dev/null
            "$PGBIN/psql" -h "$PGFOLDER" -p "$PGPORT" -U postgres -q -c "CREATE DATABASE bench" postgres
            printf '[advocate]\nDriver=PostgreSQL Unicode\nServername=%s\nPort=%s\nDatabase=bench\nUsername=postgres\n' \
                "$PGFOLDER" "$PGPORT" > "$WORK/odbc-server.ini"
            echo "== the diary with 3,000 due moved to a PostgreSQL $(basename "$(dirname "$PGBIN")") cluster (load: $(cut -d' ' -f1-3 /proc/loadavg))"
            RUNS_BEFORE=$RUNS
            RUNS=1
            ODBCINI="$WORK/odbc-server.ini" measure "lexordo move-to-server" : \
                "$LEXORDO" move-to-server --from "$SDB"
            RUNS=$RUNS_BEFORE
            "$PGBIN/psql" -h "$PGFOLDER" -p "$PGPORT" -U postgres -q -c "VACUUM ANALYZE" bench
            LOGSTART=$(wc -l < "$PGFOLDER/server.log")
            for engine in file server; do
                echo "== bench_desks on the $engine: the register opened (3,000 carried), opened again, the carry-forward alone,"
                echo "   searches 0 next date, 1 current date, 2 case number, 3 party contains d'souza, five desks"
                echo "   (load before: $(cut -d' ' -f1-3 /proc/loadavg))"
                if [ "$engine" = server ]; then
                    ODBCINI="$WORK/odbc-server.ini" LEXORDO_BENCH_ENGINE=server QT_QPA_PLATFORM=offscreen \
                        "$BUILD/bench_desks" 2>&1 | grep -E '^BM_' | sed 's/^/   /'
                else
                    LEXORDO_BENCH_DB="$SDB" QT_QPA_PLATFORM=offscreen \
                        "$BUILD/bench_desks" 2>&1 | grep -E '^BM_' | sed 's/^/   /'
                fi
            done
            echo "== statements the server took above 20 ms for (its log)"
            tail -n +"$((LOGSTART + 1))" "$PGFOLDER/server.log" | grep -E 'duration: ' | awk '{
                match($0, /duration: [0-9.]+ ms/)
                d = substr($0, RSTART + 10, RLENGTH - 13) + 0
                s = substr($0, RSTART + RLENGTH)
                sub(/^ +(statement|execute [^:]*|bind [^:]*|parse [^:]*): /, "", s)
                n[s]++; if (d > m[s]) m[s] = d
            } END { for (s in n) printf "%8.1f ms max, %5d times: %s\n", m[s], n[s], substr(s, 1, 300) }' |
                sort -rn | head -n 20 | sed 's/^/   /'
            as_owner "$PGBIN/pg_ctl" -D "$PGFOLDER/data" -m fast -w stop > /dev/null
            rm -rf "$PGFOLDER"
            PGFOLDER=
        fi
    fi

    if [ "${LEXORDO_BENCH_ALL:-0}" = 1 ]; then
        for b in "$BUILD"/bench_*; do
            [ -x "$b" ] || continue
            echo "== $(basename "$b")"
            # The offscreen platform's notes about window hints are left out.
            LEXORDO_BENCH_DB="$DB" $TIME -f "   whole run: peak %M KB" "$b" \
                --benchmark_min_time=1 2>&1 | grep -v "This plugin does not support"
        done
    fi
done

# The court's list of bench_courtlist, kept for pdftotext below.
export LEXORDO_BENCH_LIST=${LEXORDO_BENCH_LIST:-$DIARIES/bench-courtlist-$SIZE.pdf}
if wants courtlist && [ -x "$BUILD/bench_courtlist" ]; then
    echo "== bench_courtlist: the court's list checked against the diary"
    LEXORDO_BENCH_DB="$DB" QT_QPA_PLATFORM=offscreen $TIME -f "   whole run: peak %M KB" \
        "$BUILD/bench_courtlist" 2>&1 | grep -v "This plugin does not support"
fi
if wants courtlist && [ -f "$LEXORDO_BENCH_LIST" ]; then
    echo "== pdftotext -layout alone on the court's list of bench_courtlist (3 runs)"
    for i in 1 2 3; do
        $TIME -f "   %e s elapsed, peak %M KB" pdftotext -layout "$LEXORDO_BENCH_LIST" /dev/null
    done
fi
