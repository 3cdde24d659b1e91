#!/bin/sh
# Runs the benchmarks beside the sqlite3 shell doing the same reads.
# Usage: bench/run.sh [BUILD_DIR]
set -e
BUILD=${1:-build}
DB=${LEXORDO_BENCH_DB:-$BUILD/bench-200k.mdb}

if [ ! -f "$DB" ]; then
    "$BUILD/lexordo-gendb" "$DB" --hearings 200000 --due-today 300 --today 07/12/2026
fi
ls -l "$DB"

echo "== sqlite3 shell: the diary's select into /dev/null (3 runs)"
for i in 1 2 3; do
    /usr/bin/time -f "   %e s elapsed, %U s user, peak %M KB" \
        sqlite3 "$DB" "select * from advocate order by cdate, courtindex" > /dev/null
done

echo "== sqlite3 shell: the register's keys in order, as the record set reads them (3 runs)"
for i in 1 2 3; do
    /usr/bin/time -f "   %e s elapsed, peak %M KB" \
        sqlite3 "$DB" "select rowid from advocate order by cdate, courtindex, rowid" > /dev/null
done

echo "== sqlite3 shell: the register's searches (timer of the shell)"
sqlite3 "$DB" <<'SQL'
.timer on
.output /dev/null
SELECT rowid FROM advocate WHERE ndate = '2026-12-14' ORDER BY cdate, courtindex, rowid;
SELECT rowid FROM advocate WHERE cdate = '2026-11-30' ORDER BY cdate, courtindex, rowid;
SELECT rowid FROM advocate WHERE Party1 LIKE '%d''souza%' ESCAPE '\' ORDER BY cdate, courtindex, rowid;
SELECT rowid FROM advocate WHERE caseno = 'cs 100/2020' COLLATE NOCASE ORDER BY cdate, courtindex, rowid;
SQL
if sqlite3 "$DB" "SELECT name FROM sqlite_master WHERE name = 'advocate_Party1_texts'" | grep -q .; then
    echo "== sqlite3 shell: the party searches through the list of names, as the record set runs them"
    sqlite3 "$DB" <<'SQL'
.timer on
.output /dev/null
SELECT rowid FROM advocate WHERE Party1 COLLATE NOCASE IN (SELECT "text" FROM advocate_Party1_texts WHERE "text" LIKE '%d''souza%' ESCAPE '\') ORDER BY +cdate, +courtindex, rowid;
SELECT rowid FROM advocate WHERE Party1 COLLATE NOCASE IN (SELECT "text" FROM advocate_Party1_texts WHERE "text" LIKE '%ram d''sou%' ESCAPE '\') ORDER BY +cdate, +courtindex, rowid;
SQL
fi

echo "== sqlite3 shell: today's 300 hearings carried forward with one insert-select, on a copy (3 runs)"
TMP=$(mktemp -d)
for i in 1 2 3; do
    cp "$DB" "$TMP/copy.mdb"
    if [ -f "$DB-wal" ]; then cp "$DB-wal" "$TMP/copy.mdb-wal"; fi
    sqlite3 "$TMP/copy.mdb" <<'SQL'
PRAGMA synchronous = FULL;
.timer on
INSERT INTO advocate (cdate, pdate, courtname, CourtIndex, caseno, Party1, Party2, fixedfor)
    SELECT ndate, cdate, courtname, CourtIndex, caseno, Party1, Party2, fixedforN
    FROM advocate WHERE ndate = '2026-12-07';
.timer off
SELECT '   ' || changes() || ' rows added';
SQL
    rm -f "$TMP"/copy.mdb*
done
rmdir "$TMP"

# The court's list of bench_courtlist, kept for pdftotext below.
export LEXORDO_BENCH_LIST=${LEXORDO_BENCH_LIST:-$BUILD/bench-courtlist.pdf}

for b in "$BUILD"/bench_*; do
    [ -x "$b" ] || continue
    echo "== $(basename "$b")"
    # The offscreen platform's notes about window hints are left out.
    LEXORDO_BENCH_DB="$DB" /usr/bin/time -f "   whole run: peak %M KB" "$b" --benchmark_min_time=1 \
        2>&1 | grep -v "This plugin does not support"
done

if [ -x "$BUILD/bench_caseregister" ]; then
    echo "== the case register's opening alone"
    LEXORDO_BENCH_DB="$DB" /usr/bin/time -f "   opening alone: peak %M KB" \
        "$BUILD/bench_caseregister" --benchmark_filter=BM_OpenCaseRegister \
        2>&1 | grep -v "This plugin does not support"
fi

if [ -f "$LEXORDO_BENCH_LIST" ]; then
    echo "== pdftotext -layout alone on the court's list of bench_courtlist (3 runs)"
    for i in 1 2 3; do
        /usr/bin/time -f "   %e s elapsed, peak %M KB" pdftotext -layout "$LEXORDO_BENCH_LIST" /dev/null
    done
fi
