#!/usr/bin/env python3
"""Local stand-in of the SMS gateway, serving on 127.0.0.1.

Prints "PORT <n>" (the port it listens on) as the first line of output, then serves:
  /api/ServerPort.asp   Services=6 sign-in, 1 automatic registration, 3 send
  /logint.asp           the account page (UserName, Password)
  /admin/...            test control: accounts, forced replies, silence, sent messages

Replies are GBK text, as the gateway's are. Query values arrive as GBK percent escapes
and are decoded as such ("+" is a plus, never a blank). The store of accounts is a JSON
file given with --store (created when missing), or memory only.
"""
import argparse
import html
import json
import os
import sys
import threading
import time
from urllib.parse import unquote, urlsplit

from stand_in import QuietHandler, listen, run

DEMO_ACCOUNTS = {
    "demo": {"password": "demo123", "name": "示例", "phone": "010-12345678", "balance": 12.5},
}


def parse_query(query, encoding="gbk"):
    """Splits at "&" and the first "="; decodes escapes in the given code page."""
    out = {}
    for part in query.split("&"):
        if not part:
            continue
        key, _, value = part.partition("=")
        out[unquote(key, encoding=encoding, errors="replace")] = unquote(
            value, encoding=encoding, errors="replace")
    return out


class Store:
    def __init__(self, path):
        self.path = path
        self.lock = threading.Lock()
        self.accounts = json.loads(json.dumps(DEMO_ACCOUNTS))
        self.sent = []
        self.requests = []
        self.forced = {}      # service -> reply text
        self.silent = False   # accept requests but never answer in time
        if path:
            try:
                with open(path, encoding="utf-8") as f:
                    self.accounts = json.load(f)
            except FileNotFoundError:
                self.save()

    def save(self):
        if self.path:
            with open(self.path, "w", encoding="utf-8") as f:
                json.dump(self.accounts, f, ensure_ascii=False, indent=1)

    def sign_in(self, q):
        acc = self.accounts.get(q.get("username", ""))
        if not acc or acc["password"] != q.get("password", ""):
            return "0,帐号或密码错误"
        # status, short name, service phone, (unused), (unused), balance
        return "1,%s,%s,%s,%s,%s" % (acc["name"], acc["phone"], q.get("Hdnumber", ""),
                                     "0", ("%g" % acc["balance"]))

    def register(self, q):
        user = q.get("username", "")
        if not user or user != q.get("Hdnumber") or user != q.get("password"):
            return "0,注册信息不完整"
        if user in self.accounts:
            return "0,该帐号已存在"
        self.accounts[user] = {"password": user, "name": "", "phone": "", "balance": 0}
        self.save()
        return "1"

    def send(self, q):
        acc = self.accounts.get(q.get("username", ""))
        if not acc or acc["password"] != q.get("password", ""):
            return "帐号或密码错误"
        if acc["balance"] < 0.1:
            return "0"
        acc["balance"] = round(acc["balance"] - 0.1, 2)
        self.save()
        self.sent.append({"username": q.get("username", ""), "mob": q.get("mob", ""),
                          "content": q.get("Content", ""), "channel": q.get("Channel", "")})
        return "1"


class Handler(QuietHandler):
    store = None

    def reply(self, body, ctype="text/plain; charset=gb2312", encoding="gbk"):
        data = body.encode(encoding, errors="replace")
        self.send_response(200)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def do_GET(self):
        url = urlsplit(self.path)
        s = self.store
        if url.path.startswith("/admin/"):
            return self.admin(url.path[len("/admin/"):], parse_query(url.query, "utf-8"))
        q = parse_query(url.query)
        if url.path.lower() == "/api/serverport.asp":
            with s.lock:
                s.requests.append({"raw": url.query, "query": q})
                service = q.get("Services", "")
                if s.silent:
                    wait = True
                elif service in s.forced:
                    wait, body = False, s.forced[service]
                elif service == "6":
                    wait, body = False, s.sign_in(q)
                elif service == "1":
                    wait, body = False, s.register(q)
                elif service == "3":
                    wait, body = False, s.send(q)
                else:
                    wait, body = False, "0,未知服务"
            if wait:
                time.sleep(5)
                return
            return self.reply(body)
        if url.path.lower() == "/logint.asp":
            with s.lock:
                acc = s.accounts.get(q.get("UserName", ""))
                ok = acc is not None and acc["password"] == q.get("Password", "")
            if ok:
                page = ("<p>短信帐号：%s</p><p>短信余额：%.2f 元</p><p>在线充值</p>"
                        % (html.escape(q["UserName"]), acc["balance"]))
            else:
                page = "<p>帐号或密码错误</p>"
            return self.reply("<html><head><meta charset=\"gb2312\"><title>短信帐户</title>"
                              "</head><body>%s</body></html>" % page,
                              "text/html; charset=gb2312")
        self.send_error(404)

    def admin(self, what, q):
        s = self.store
        with s.lock:
            if what == "sent":
                body = json.dumps(s.sent, ensure_ascii=False)
            elif what == "requests":
                body = json.dumps(s.requests, ensure_ascii=False)
            elif what == "accounts":
                body = json.dumps(s.accounts, ensure_ascii=False)
            elif what == "account":
                s.accounts[q["username"]] = {
                    "password": q.get("password", ""), "name": q.get("name", ""),
                    "phone": q.get("phone", ""), "balance": float(q.get("balance", "0"))}
                s.save()
                body = "ok"
            elif what == "force":
                if "reply" in q:
                    s.forced[q["service"]] = q["reply"]
                else:
                    s.forced.pop(q["service"], None)
                body = "ok"
            elif what == "silent":
                s.silent = q.get("on", "1") == "1"
                body = "ok"
            elif what == "reset":
                s.accounts = json.loads(json.dumps(DEMO_ACCOUNTS))
                s.sent.clear()
                s.requests.clear()
                s.forced.clear()
                s.silent = False
                body = "ok"
            else:
                return self.send_error(404)
        self.reply(body, "application/json; charset=utf-8", "utf-8")


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--port", type=int, default=0)
    ap.add_argument("--store", default="")
    ap.add_argument("--exit-with-stdin", action="store_true",
                    help="stop when standard input closes")
    args = ap.parse_args()
    Handler.store = Store(args.store)
    server = listen(Handler, args.port)
    if args.exit_with_stdin:
        # Ends with the test that started it, even when that test dies.
        def watch():
            sys.stdin.read()
            os._exit(0)
        threading.Thread(target=watch, daemon=True).start()
    run(server)


if __name__ == "__main__":
    sys.exit(main())
