#!/usr/bin/env python3
"""Local stand-in of the e-ticket verification site, for tests and the demo.

Serves on 127.0.0.1; the first line of output is "PORT <n>". The home page / holds the
inputs "eticketNoORIn", "passengerName" and "randCode" and the script validateStatus_info()
that submits them. /newsky/servlet/CallYanServlet? serves a small PNG picture code tied to
the visitor's cookie. The answer is a result page (marker 印刷序号; one, two and four
segments), a page for a wrong picture code, or one for an unknown ticket.
Test hooks: /__code (the last picture code served), /__queries (the queries received, JSON),
/__result?ticket=N (the result page of a ticket without a query, for headless runs),
/__hang?on=1 (picture codes never answer until /__hang?on=0).
"""
import argparse
import html
import json
import os
import secrets
import sys
import threading
import time
import urllib.parse

from stand_in import QuietHandler, listen, png, run

# Ticket number -> name, ID, endorsement, route lines, segments, money, notice.
TICKETS = {
    "7812345678901": {
        "name": "张三", "id": "110101199001011234", "endorsement": "不得签转&nbsp;改期收费",
        "route": ["北京首都   T3", "上海虹桥   T2"],
        "segments": [("东航", "MU5101", "Y", "2026-03-10", "08:00", "Y", "20K")],
        "money": ["CNY 1130.0", "CN 50.0", "YQ 110.0", "XT 0.0", "CNY 1290.0"],
        "notice": "仅供验真使用",
    },
    "7812345678902": {
        "name": "LI/SI", "id": "E12345678", "endorsement": "不得签转",
        "route": ["北京首都   T3", "上海虹桥   T2", "北京首都   T3"],
        "segments": [("国航", "CA1501", "Y", "2026-03-10", "08:00", "Y", "20K"),
                     ("国航", "CA1502", "B", "2026-03-14", "19:30", "B", "20K")],
        "money": ["CNY 2260.0", "CN 100.0", "YQ 220.0", "XT 0.0", "CNY 2580.0"],
        "notice": "往返",
    },
    "7812345678904": {
        "name": "王五", "id": "320102198805052345", "endorsement": "不得签转&nbsp;不得退票",
        "route": ["北京首都   T3", "上海虹桥   T2", "广州白云", "成都双流   T1", "北京首都   T3"],
        "segments": [("东航", "MU5101", "Y", "2026-03-10", "08:00", "Y", "20K"),
                     ("南航", "CZ3502", "Y", "2026-03-11", "10:05", "Y", "20K"),
                     ("川航", "3U8732", "M", "2026-03-12", "14:20", "M", "20K"),
                     ("国航", "CA4102", "Y", "2026-03-13", "21:15", "Y", "20K")],
        "money": ["CNY 4520.0", "CN 200.0", "YQ 440.0", "XT 0.0", "CNY 5160.0"],
        "notice": "联程",
    },
}

# 3x5 glyphs of the picture-code alphabet, rows top to bottom.
FONT = {
    "0": "111101101101111", "1": "010110010010111", "2": "111001111100111",
    "3": "111001111001111", "4": "101101111001001", "5": "111100111001111",
    "6": "111100111101111", "7": "111001010010010", "8": "111101111101111",
    "9": "111101111001111", "A": "010101111101101", "B": "110101110101110",
    "C": "011100100100011", "D": "110101101101110", "E": "111100110100111",
    "F": "111100110100100",
}


def picture(code, scale=3):
    """A grey-scale PNG showing the code."""
    width, height = (len(code) * 4 + 1) * scale, 7 * scale
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            cx, cy = x // scale - 1, y // scale - 1
            ink = False
            if 0 <= cy < 5 and cx >= 0 and cx % 4 < 3 and cx // 4 < len(code):
                ink = FONT[code[cx // 4]][cy * 3 + cx % 4] == "1"
            row.append(0 if ink else 235)
        rows.append(row)
    return png(width, height, rows)


def page(title, body, script=""):
    return ("<html><head><meta charset=\"utf-8\"><title>%s</title>%s</head><body>%s</body></html>"
            % (html.escape(title), script, body))


HOME_SCRIPT = """<script>
function validateStatus_info() {
  var f = document.getElementById('queryForm');
  if (!f.eticketNoORIn.value || !f.randCode.value) { alert('请输入票号和验证码'); return; }
  f.submit();
}
</script>"""

FORM = """<form id=queryForm method=post action="/newsky/servlet/QueryServlet">
票号 <input id=eticketNoORIn name=eticketNoORIn>
姓名 <input id=passengerName name=passengerName>
验证码 <input id=randCode name=randCode>
<img id=yan src="/newsky/servlet/CallYanServlet?0">
<a href="javascript:validateStatus_info()">查询</a>
</form>"""


def lines_cell(lines, width):
    return "<td style=\"width: %dpx\">%s</td>" % (width, "<br>".join(lines))


def result_page(ticket, t):
    cols = list(zip(*t["segments"]))
    seg = ("<tr><td></td>" + lines_cell(t["route"], 130) + "<td></td>" +
           "".join(lines_cell(cols[k], 50) for k in range(6)) +
           "<td></td><td></td>" + lines_cell(cols[6], 40) + "</tr>")
    money = "".join("<td>%s&nbsp;</td>" % m for m in t["money"])
    table = ("<table id=result border=1>"
             "<tr><td>旅客姓名</td><td>有效身份证件号码</td><td>签注</td></tr>"
             "<tr><td><div>%s</div></td><td>%s</td><td>%s</td></tr>"
             "<tr><td></td><td>自 至</td><td></td><td>承运人</td><td>航班号</td><td>座位等级</td>"
             "<td>日期</td><td>时间</td><td>客票级别</td><td>生效日期</td><td>截止日期</td>"
             "<td>免费行李</td></tr>%s<tr>%s</tr>"
             "<tr><td><div style=\"width: 120px\">%s-%s</div></td><td>印刷序号：%s</td>"
             "<td>%s</td></tr></table>" % (
                 html.escape(t["name"]), t["id"], t["endorsement"], seg, money,
                 ticket[:3], ticket[3:], ticket[-8:], html.escape(t["notice"])))
    return query_page("验真结果", "<table id=summary><tr><td>票号 %s</td></tr></table>%s"
                      % (ticket, table))


def query_page(title, answer=""):
    """Every page carries the query form, so the next query starts from any of them."""
    return page(title, "<table id=banner><tr><td>电子客票验真</td></tr></table>" + FORM + answer,
                HOME_SCRIPT)


class Site:
    def __init__(self):
        self.codes = {}  # session -> picture code
        self.last_code = ""
        self.queries = []
        self.hang = threading.Event()
        self.lock = threading.Lock()


class Handler(QuietHandler):
    site = None  # set by main
    protocol_version = "HTTP/1.1"

    def session(self):
        for part in self.headers.get("Cookie", "").split(";"):
            name, _, value = part.strip().partition("=")
            if name == "JSESSIONID" and value:
                return value, False
        return secrets.token_hex(8), True

    def send(self, status, body, ctype="text/html; charset=utf-8"):
        sid, new = self.session()
        headers = [("Cache-Control", "no-store")]
        if new:
            headers.append(("Set-Cookie", "JSESSIONID=%s; Path=/" % sid))
        super().send(status, body, ctype, headers)
        return sid

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        site = self.site
        if url.path == "/":
            return self.send(200, query_page("电子客票验真"))
        if url.path == "/newsky/servlet/CallYanServlet":
            if site.hang.is_set():
                while site.hang.is_set():
                    time.sleep(0.1)
                return
            sid, _ = self.session()
            code = "".join(secrets.choice("0123456789ABCDEF") for _ in range(4))
            with site.lock:
                site.codes[sid] = code
                site.last_code = code
            return self.send(200, picture(code), "image/png")
        if url.path == "/__result":
            ticket = urllib.parse.parse_qs(url.query).get("ticket", [""])[0]
            if ticket in TICKETS:
                return self.send(200, result_page(ticket, TICKETS[ticket]))
            return self.send(404, page("404", "not found"))
        if url.path == "/__code":
            with site.lock:
                return self.send(200, site.last_code, "text/plain")
        if url.path == "/__queries":
            with site.lock:
                return self.send(200, json.dumps(site.queries, ensure_ascii=False),
                                 "application/json")
        if url.path == "/__hang":
            on = urllib.parse.parse_qs(url.query).get("on", ["1"])[0] == "1"
            (site.hang.set if on else site.hang.clear)()
            return self.send(200, "ok", "text/plain")
        return self.send(404, page("404", "not found"))

    def do_POST(self):
        url = urllib.parse.urlsplit(self.path)
        length = int(self.headers.get("Content-Length", "0") or 0)
        form = urllib.parse.parse_qs(self.rfile.read(length).decode("utf-8", "replace"))
        if url.path != "/newsky/servlet/QueryServlet":
            return self.send(404, page("404", "not found"))
        ticket = form.get("eticketNoORIn", [""])[0]
        name = form.get("passengerName", [""])[0]
        code = form.get("randCode", [""])[0]
        sid, _ = self.session()
        with self.site.lock:
            self.site.queries.append({"ticket": ticket, "name": name, "code": code})
            expected = self.site.codes.pop(sid, None)
        if not expected or code != expected:
            return self.send(200, query_page("验证码错误", "<p id=error>验证码错误，请重新输入</p>"))
        t = TICKETS.get(ticket)
        if not t or (name and name.upper() != t["name"].upper()):
            return self.send(200, query_page("未找到", "<p id=error>未查询到该客票信息</p>"))
        return self.send(200, result_page(ticket, t))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--port", type=int, default=0)
    args = parser.parse_args()
    Handler.site = Site()
    server = listen(Handler, args.port)
    # A test that crashes leaves no site behind: it ends with the process that started it.
    parent = os.getppid()

    def follow_parent():
        while os.getppid() == parent:
            time.sleep(1)
        os._exit(0)
    threading.Thread(target=follow_parent, daemon=True).start()
    run(server)


if __name__ == "__main__":
    sys.exit(main())
