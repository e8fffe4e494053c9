#!/usr/bin/env python3
"""`print --receipts` on a log of 100,000 receipts against the sqlite3 command line exporting
the same columns as CSV, measured in the same run: medians of interleaved runs (wall time) and
the peak resident memory of each process.

usage: bench/receipts_export_bench.py [BUILD_DIR] [ROWS] [ROUNDS]
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

build = sys.argv[1] if len(sys.argv) > 1 else "build"
rows = int(sys.argv[2]) if len(sys.argv) > 2 else 100_000
rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 7
program = os.path.join(build, "bin", "print")

COLUMNS = ("printed_at, check_code, passenger, id_number, ticket_number, pnr, route, total,"
           " mode, target, spoiled, status, reason, reused")


def run(argv):
    """Wall seconds and peak memory (MB) of one process, its output thrown away."""
    start = time.perf_counter()
    with open(os.devnull, "wb") as null:
        p = subprocess.Popen(argv, stdout=null, stderr=subprocess.PIPE)
        _, status, usage = os.wait4(p.pid, 0)
    seconds = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{argv[0]} failed: {p.stderr.read().decode(errors='replace')}")
    return seconds, usage.ru_maxrss / 1024


with tempfile.TemporaryDirectory() as folder:
    db = os.path.join(folder, "receipts.db")
    # The program creates the log at its own schema; the rows come from SQL, with a stored
    # record in each as the program keeps it, so reading it would show.
    run([program, "--receipts", "--data-dir", folder])
    subprocess.run(["sqlite3", db, f"""
        WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < {rows})
        INSERT INTO receipts (printed_at, check_code, passenger, id_number, ticket_number, pnr,
                              route, total, mode, target, record, status, code_number, reused)
        SELECT printf('2026-%02d-%02dT%02d:%02d:00', 1 + i % 12, 1 + i % 28, i % 24, i % 60),
               printf('%04d', i % 10000), '张三' || i, '11010119800101' || printf('%04d', i % 9999),
               printf('999-%010d', i), 'HX3K8M', '北京首都 T3 - 上海虹桥 T2', 'CNY 1230.00',
               '国内', '/tmp/receipts.pdf', printf('{{"fields":{{"PassengerName":"%s"}}}}', hex(randomblob(600))),
               1, i % 10000, CASE WHEN i <= 10000 THEN 0 ELSE 1 END
        FROM n;"""], check=True)
    ours = [program, "--receipts", "--data-dir", folder]
    floor = ["sqlite3", "-csv", "-header", db,
             f"SELECT {COLUMNS} FROM receipts ORDER BY id DESC"]
    times = {"print": [], "sqlite3": []}
    peaks = {"print": 0.0, "sqlite3": 0.0}
    for _ in range(rounds):
        for name, argv in (("print", ours), ("sqlite3", floor)):
            seconds, peak = run(argv)
            times[name].append(seconds)
            peaks[name] = max(peaks[name], peak)
    a, b = statistics.median(times["print"]), statistics.median(times["sqlite3"])
    load = os.getloadavg()[0]
    print(f"rows {rows}, rounds {rounds}, load {load:.2f}")
    print(f"print --receipts  {a * 1000:8.1f} ms  peak {peaks['print']:6.1f} MB")
    print(f"sqlite3 -csv      {b * 1000:8.1f} ms  peak {peaks['sqlite3']:6.1f} MB")
    print(f"ratio {a / b:.2f} (goal <= 2), peak memory {peaks['print']:.1f} MB (goal < 64)")
