#!/usr/bin/env python3
"""Local stand-in of the vendor account service.

Serves on 127.0.0.1 (port chosen at start unless --port is given) and prints
"PORT <n>" on its first line. Request bodies are deciphered with the shared key
table, percent-decoded from GBK and answered by the operation s:
  0 account-name check, 1 create account, 2 company sign-in,
  4 read the company record (select), 5 write company/staff records (update);
  their statement (sst) is itself percent-encoded inside the parameters.
Companies and staff live in SQLite (a file with --db, else in memory).

Test hooks (plain GET, UTF-8 query values):
  /__queue?s=2&reply=TEXT  the next request with that s gets TEXT instead
  /__requests              JSON list of the decoded parameters received so far
  /__company?u=NAME        JSON of the company row and its staff
  POST /__echo             enciphered body; the reply is the decoded text (GBK)
"""
import argparse
import json
import re
import sqlite3
import threading
import time
import urllib.parse

from stand_in import QuietHandler, listen, run

ALPHABET = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
DEFAULT_KEYS = (
    "72NZvRXKm5oxb1D4sjfWAuFYV39tHGPUBcliME0In6QgeLazhySqTCwpO8Jrkd;"
    "Lxh8izJ0svwQyZXMAFSagcBU2dt71RN53fHbK4lG9OIkuop6eCrDjmqVPTnEWY;"
    "TrdiNMw3FUGRxILzEKank6jS47umC2lqOHAJ1hVvDceYtbpPs8ZB9Xo5gWfy0Q;"
    "36kJplNdDR2YIsiFGOLBtjcAqmVgMX1ChvuTQoZbW8fay9EzSwHKe0r75nP4Ux;"
    "a7clEq3Y29NkSgCjvRx4V1DsfPUznJFuiXBOIGo0MAZ65LebHwW8TrdhtKQpmy;"
    "POuLkAfEa3CHJglG04tXyDviSWbIM8FqhsTVRZUm29zxwdpr5QY76jcB1NKneo;"
    "A2aW3ICJ5eKZwhxymjsdM9cYqbfgpUzPEnV4HtouiS16rRG8lBLkvOT7NXDQF0;"
    "7juphNvl8oUCgMbLT1edi65GaR3KZDmcfBXywErF2tPzHOWSQJ04VYIAsxqnk9;"
    "QHI5PCARx83s2nFJDf09lwGrhMYgN6zT7SWcd4pqOvKouZbVeXUkLtBjmiay1E;"
    "VB8QwXKqx2nyoiLf4pjYkT7MIe0h9rvaRHDPESGcsmdJlUCzZt5b6u1N3AFgOW"
)

SCHEMA = """
create table if not exists B_admin (
  ID integer primary key, UserName text unique, PassWord text,
  Com_Name text default '', Com_nName text default '', com_Lxr text default '',
  com_zw text default '', com_mob text default '', com_tel text default '',
  com_fax text default '', com_email text default '', com_address text default '');
create table if not exists B_staff (
  ID integer primary key, com_UserName text, username text, password text,
  realname text default '', tel text default '', mob text default '', email text default '');
"""


def parse_keys(text):
    rows = [r for r in re.split(r"[;\s]+", text) if r]
    if len(rows) == 1 and len(rows[0]) == 620:
        rows = [rows[0][i * 62:(i + 1) * 62] for i in range(10)]
    if len(rows) != 10 or any(sorted(r) != sorted(ALPHABET) for r in rows):
        raise SystemExit("vendor_service: the key table is not ten permutations")
    return rows


class Store:
    def __init__(self, path):
        self.db = sqlite3.connect(path or ":memory:", check_same_thread=False)
        self.db.executescript(SCHEMA)
        self.lock = threading.Lock()

    def add_company(self, user, password, staff=None, **fields):
        with self.lock:
            cols = ["UserName", "PassWord"] + list(fields)
            self.db.execute(
                "insert or replace into B_admin (%s) values (%s)"
                % (",".join(cols), ",".join("?" * len(cols))),
                [user, password] + list(fields.values()))
            for name, pw in (staff or {user: password}).items():
                self.db.execute(
                    "insert into B_staff (com_UserName, username, password) values (?,?,?)",
                    (user, name, pw))
            self.db.commit()

    def name_taken(self, user):
        with self.lock:
            return self.db.execute(
                "select 1 from B_admin where UserName=?", (user,)).fetchone() is not None

    def staff_ok(self, user, staff, password):
        with self.lock:
            return self.db.execute(
                "select 1 from B_staff where com_UserName=? and username=? and password=?",
                (user, staff, password)).fetchone() is not None

    def company_name(self, user):
        with self.lock:
            row = self.db.execute(
                "select Com_Name from B_admin where UserName=?", (user,)).fetchone()
        return row[0] if row else ""

    def run(self, sql, user, staff):
        """Runs a client statement with the session placeholders bound as values."""
        args = []

        def bind(m):
            args.append(user if m.group(1) == "com" else staff)
            return "?"

        stmt = re.sub(r"'session_(com|sta)_username'", bind, sql)
        with self.lock:
            cur = self.db.execute(stmt, args)
            if stmt.lstrip().lower().startswith("select"):
                return cur.fetchall()
            self.db.commit()
            return cur.rowcount

    def dump(self, user):
        with self.lock:
            self.db.row_factory = sqlite3.Row
            try:
                comp = self.db.execute("select * from B_admin where UserName=?", (user,)).fetchone()
                staff = self.db.execute(
                    "select * from B_staff where com_UserName=?", (user,)).fetchall()
                return {"company": dict(comp) if comp else None,
                        "staff": [dict(s) for s in staff]}
            finally:
                self.db.row_factory = None


def decipher(body, rows):
    """The request body back to the percent-encoded text; None when it is not one."""
    m = re.match(r"%(10|[1-9])[0-9A-Za-z]", body)
    if not m:
        return None
    row = rows[int(m.group(1)) - 1]
    out = []
    for c in body[m.end():]:
        if c in "%+":
            out.append(c)
        elif c in row:
            out.append(ALPHABET[row.index(c)])
        else:
            return None
    return "".join(out)


def decode_params(text):
    raw = urllib.parse.unquote_to_bytes(text.replace("+", " "))
    return raw.decode("gbk", errors="replace")


def split_params(text):
    params = {}
    for piece in text.split("&"):
        key, _, value = piece.partition("=")
        params.setdefault(key, value)
    return params


def encode_column(value, utf8):
    return urllib.parse.quote_plus(str(value if value is not None else ""),
                                   encoding="utf-8" if utf8 else "gbk", safe="")


class Service:
    def __init__(self, store, rows, utf8_columns, silent):
        self.store, self.rows = store, rows
        self.utf8_columns, self.silent = utf8_columns, silent
        self.queue = {}
        self.requests = []
        self.lock = threading.Lock()

    def answer(self, body):
        text = decipher(body, self.rows)
        if text is None:
            return "006"
        params = split_params(decode_params(text))
        if "sst" in params:
            # The statement arrives percent-encoded once more inside the parameters.
            params["sst"] = decode_params(params["sst"])
        with self.lock:
            self.requests.append(params)
            canned = self.queue.get(params.get("s"), [])
            if canned:
                return canned.pop(0)
        s = params.get("s")
        u, u2, p = params.get("u"), params.get("u2"), params.get("p")
        if s == "0":
            return "1" if u and not self.store.name_taken(u.strip()) else "003"
        if s == "1":
            if u is None or len(u) < 6:
                return "001"
            if p is None or len(p) < 6:
                return "002"
            if self.store.name_taken(u):
                return "003"
            self.store.add_company(u, p)
            return "1"
        if s in ("2", "4", "5"):
            if u is None or u2 is None:
                return "004"
            if p is None:
                return "005"
            if not self.store.staff_ok(u, u2, p):
                return "009"
            if s == "2":
                name = (self.store.company_name(u) or u).replace(",", "，")
                return "%s,%s,1" % (name, u2.replace(",", "，"))
            sql = params.get("sst", "")
            verb = sql.lstrip().lower()[:6]
            if verb != ("select" if s == "4" else "update"):
                return "007;" if s == "4" else "007"
            try:
                result = self.store.run(sql, u, u2)
            except sqlite3.Error:
                return "008;" if s == "4" else "0"
            if s == "4":
                if not result:
                    return "008;"
                return "1;" + ",".join(encode_column(c, self.utf8_columns) for c in result[0])
            return "1" if result > 0 else "0"
        return "004"


class Handler(QuietHandler):
    service = None
    protocol_version = "HTTP/1.1"
    disable_nagle_algorithm = True

    def reply(self, status, body, ctype="text/html; charset=gb2312"):
        data = body.encode("gbk", errors="replace") if isinstance(body, str) else body
        self.send_response(status)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(data)))
        self.send_header("Set-Cookie", "ASPSESSIONID=stand-in; path=/")
        self.end_headers()
        self.wfile.write(data)

    def do_POST(self):
        svc = self.service
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length).decode("latin-1")
        if svc.silent:
            time.sleep(3600)
            return
        if self.path.startswith("/__echo"):
            text = decipher(body, svc.rows)
            self.reply(200, "006" if text is None else decode_params(text))
            return
        self.reply(200, svc.answer(body))

    def do_GET(self):
        svc = self.service
        url = urllib.parse.urlsplit(self.path)
        q = dict(urllib.parse.parse_qsl(url.query, keep_blank_values=True))
        if url.path == "/__queue":
            with svc.lock:
                svc.queue.setdefault(q.get("s"), []).append(q.get("reply", ""))
            self.reply(200, "queued")
        elif url.path == "/__requests":
            with svc.lock:
                data = json.dumps(svc.requests, ensure_ascii=False)
            self.reply(200, data.encode("utf-8"), "application/json; charset=utf-8")
        elif url.path == "/__company":
            data = json.dumps(svc.store.dump(q.get("u", "")), ensure_ascii=False)
            self.reply(200, data.encode("utf-8"), "application/json; charset=utf-8")
        else:
            self.reply(404, "<html><body>404 没有这个页面</body></html>")


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--port", type=int, default=0)
    ap.add_argument("--db", default="")
    ap.add_argument("--key-table", default=DEFAULT_KEYS)
    ap.add_argument("--demo", action="store_true",
                    help="add the demo company demo01 (staff demo01 and 001, password 123456)")
    ap.add_argument("--utf8-columns", action="store_true",
                    help="percent-encode record columns as UTF-8 instead of GBK")
    ap.add_argument("--silent", action="store_true",
                    help="accept requests and never answer them")
    args = ap.parse_args()
    store = Store(args.db)
    if args.demo and not store.name_taken("demo01"):
        store.add_company("demo01", "123456", {"demo01": "123456", "001": "123456"},
                          Com_Name="岚舟演示旅行社", Com_nName="演示", com_Lxr="王五",
                          com_zw="经理", com_mob="13600000000", com_tel="010-88888888",
                          com_address="北京市朝阳区")
    Handler.service = Service(store, parse_keys(args.key_table), args.utf8_columns, args.silent)
    run(listen(Handler, args.port))


if __name__ == "__main__":
    main()
