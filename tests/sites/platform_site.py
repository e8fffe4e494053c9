#!/usr/bin/env python3
"""Local stand-in of a ticket distribution platform, for tests and the demo.

--platform 0 serves the first platform (sign-in form on the site root with "Uname",
"Passwd", an optional picture code, frameset "/Default.aspx" with "leftFrame" and
"mainFrame", search page with "TolOrder", order list and detail pages); --platform 1 the
second ("/Distributor/Dis_Login.aspx" with a picture code, frameset
"/Distributor/DIS_Default.aspx", search form with "txtPNR" and "td" 38, detail page with
its tables). Sessions by cookie. Serves on 127.0.0.1; the first line of output is
"PORT <n>". Test hooks: /__expire (every session times out), /__config?code=1 (platform 0
asks for its picture code; 0 stops asking; broken=1: the search page lacks "TolOrder"), /__log (the paths asked for, as JSON; a form sent as "POST /path").
"""
import argparse
import html
import json
import secrets
import sys
import threading
import urllib.parse

from stand_in import QuietHandler, listen, png, run

# PNR -> order: segments (route, flight, class, departure), fare, tax, passengers.
ORDERS = {
    0: {
        "ABC123": {"segments": [("北京", "上海", "CA1501", "Y", "2026-03-01", "08:05")],
                   "fare": "1130", "tax": "170",
                   "passengers": [("张三", "110101199001011234", "999-2345678901")]},
        "DEF456": {"segments": [("广州", "成都", "CZ3401", "F", "2026-04-02", "14:30")],
                   "fare": "2000", "tax": "90",
                   "passengers": [("李四", "ID0001", "784-1000000001"),
                                  ("王五", "ID0002", "784-1000000002"),
                                  ("赵六", "ID0003", "784-1000000003")]},
    },
    1: {
        "XYZ789": {"segments": [("北京", "上海", "MU5101", "Y(经济舱)", "2026-03-01", "8:05:00")],
                   "fare": "1130", "tax": "50/120", "total": "1300",
                   "passengers": [("张三", "110101199001011234", "781-2345678901")]},
        "TWO222": {"segments": [("上海", "广州", "FM9301", "Y(经济舱)", "2026-05-01", "14:30:00"),
                                ("广州", "上海", "FM9302", "C(公务舱)", "2026-05-03", "9:10:00")],
                   "fare": "1500", "tax": "100/140", "total": "1740",
                   "passengers": [("李四", "ID0001", "781-1000000001"),
                                  ("王五", "ID0002", "781-1000000002"),
                                  ("赵六", "ID0003", "781-1000000003")]},
    },
}


def grey_picture(width=40, height=16):
    """A small grey picture, as a picture-code address answers."""
    return png(width, height, [b"\x80" * width] * height)


def page(title, body):
    return ("<html><head><meta charset=\"utf-8\"><title>%s</title></head><body>%s</body></html>"
            % (html.escape(title), body))


def frameset(left, main):
    return ("<html><head><meta charset=\"utf-8\"><title>平台</title></head>"
            "<frameset id=top rows=\"30,*\"><frame name=topFrame src=\"%s\">"
            "<frameset cols=\"180,*\"><frame name=leftFrame src=\"%s\">"
            "<frame name=mainFrame src=\"%s\"></frameset></frameset></html>"
            % ("/Top.aspx", left, main))


def guarded(render):
    """A platform 1 page for signed-in visitors; others go to the sign-in page."""
    def handler(self, query):
        if self.session() != "ok":
            return self.redirect("/Distributor/Dis_Login.aspx")
        return render(self, query)
    return handler


class Site:
    def __init__(self, platform, user, password, code):
        self.platform = platform
        self.user = user
        self.password = password
        self.code = code
        self.ask_code = False
        self.broken = False  # the search page lacks its "TolOrder" element
        self.sessions = {}  # token -> "ok" or "expired"
        self.log = []
        self.lock = threading.Lock()


class Handler(QuietHandler):
    site = None  # set by main

    def session(self):
        for part in self.headers.get("Cookie", "").split(";"):
            name, _, value = part.strip().partition("=")
            if name == "SID" and value in self.site.sessions:
                return self.site.sessions[value]
        return None

    def sign_in(self, redirect_to):
        token = secrets.token_hex(8)
        with self.site.lock:
            self.site.sessions[token] = "ok"
        self.redirect(redirect_to, [("Set-Cookie", "SID=%s; Path=/" % token)])

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = {k: v[0] for k, v in urllib.parse.parse_qs(url.query).items()}
        with self.site.lock:
            self.site.log.append(url.path)
        if url.path == "/__expire":
            with self.site.lock:
                for token in self.site.sessions:
                    self.site.sessions[token] = "expired"
            return self.send(200, "ok", "text/plain")
        if url.path == "/__config":
            self.site.ask_code = query.get("code") == "1"
            self.site.broken = query.get("broken") == "1"
            return self.send(200, "ok", "text/plain")
        if url.path == "/__log":
            with self.site.lock:
                return self.send(200, json.dumps(self.site.log), "application/json")
        if url.path in ("/ValidateCode.aspx", "/SPL_ValidateCode.aspx"):
            return self.send(200, grey_picture(), "image/png")
        if url.path == "/Top.aspx":
            return self.send(200, page("top", "<b>分销平台</b>"))
        handler = (self.first if self.site.platform == 0 else self.second).get(url.path)
        if handler is None:
            return self.send(404, page("404", "not found"))
        return handler(self, query)

    def do_POST(self):
        path = urllib.parse.urlsplit(self.path).path
        with self.site.lock:
            self.site.log.append("POST " + path)
        length = int(self.headers.get("Content-Length", "0") or 0)
        form = {k: v[0] for k, v in
                urllib.parse.parse_qs(self.rfile.read(length).decode("utf-8", "replace")).items()}
        if self.site.platform == 0 and path == "/Login.aspx":
            return self.first_sign_in(form)
        if self.site.platform == 1 and path == "/Distributor/Dis_Login.aspx":
            return self.second_sign_in(form)
        return self.send(404, page("404", "not found"))

    # ---- platform 0 ----------------------------------------------------------------

    def first_home(self, query):
        shown = "inline" if self.site.ask_code else "none"
        self.send(200, page("今日天下通", (
            "<form id=loginForm method=post action=\"/Login.aspx\">"
            "用户名 <input id=Uname name=Uname type=text value=\"%s\"> "
            "密码 <input id=Passwd name=Passwd type=password> "
            "<span id=checksource style=\"display: %s\">验证码 "
            "<span id=CheckCodeLoading><input id=CheckCode name=CheckCode type=text size=4></span>"
            "<span id=CodeLoading><img src=\"/ValidateCode.aspx?r=1\"></span></span> "
            "<input type=checkbox id=savepwd>保存密码 "
            "<input id=btnLogin type=submit value=登录></form>")
            % (html.escape(query.get("Uname", "")), shown)))

    def first_sign_in(self, form):
        ok = form.get("Uname") == self.site.user and form.get("Passwd") == self.site.password
        if ok and self.site.ask_code and form.get("CheckCode") != self.site.code:
            ok = False
        if not ok:
            return self.redirect("/?Uname=" + urllib.parse.quote(form.get("Uname", "")))
        self.sign_in("/Default.aspx")

    def first_default(self, query):
        if self.session() is None:
            return self.redirect("/")
        self.send(200, frameset("/Left.aspx", "/Desktop.aspx"))

    def first_page(self, title, body):
        if self.session() != "ok":
            return self.send(200, page("", "<p>登入系统时间超时，请重新登录！</p>"))
        self.send(200, page(title, body))

    def first_desktop(self, query):
        self.first_page(" 今日.天下通 我的桌面 ", "<p>欢迎</p>")

    def first_left(self, query):
        links = ["<a href=\"/Other.aspx?n=%d\" target=mainFrame>菜单%d</a><br>" % (i, i)
                 for i in range(13)]
        links.append("<div id=reptMenu_ctl14_menuTitle onclick=\"document.getElementById("
                     "'sub14').style.display='block'\">订单管理</div>")
        links.append("<div id=sub14 style=\"display: none\">"
                     "<a href=\"/Search.aspx\" target=mainFrame>订单查询</a></div>")
        self.first_page("菜单", "".join(links))

    def first_search(self, query):
        key = query.get("SearchKey")
        rows, total = "", ""
        if key is not None:
            found = key in ORDERS[0] and query.get("SeaWay") == "0"
            total = "1" if found else "0"
            if found:
                rows = ("<table><tr><td><a id=OrderRepeater_ctl00_OrderLink "
                        "href=\"/OrderDetail.aspx?pnr=%s\">%s</a></td></tr></table>" % (key, key))
        self.first_page("", (
            "<form method=get action=\"/Search.aspx\">"
            "<input id=SearchKey name=SearchKey type=text value=\"%s\">"
            "<input id=SeaWay_0 name=SeaWay type=radio value=0>PNR "
            "<input id=SeaWay_1 name=SeaWay type=radio value=1>订单号 "
            "<input id=GeneralBut type=submit value=查询></form>"
            "共<span id=%s>%s</span>条%s")
            % (html.escape(key or ""), "Total" if self.site.broken else "TolOrder", total, rows))

    def first_detail(self, query):
        # Detail pages are open without a session here, so that one can be read headless.
        order = ORDERS[0].get(query.get("pnr", ""))
        if order is None:
            return self.send(200, page("", "<p>无此订单</p>"))
        start, end, flight, cls, date, time = order["segments"][0]
        spans = "".join("<span id=%s>%s</span>" % kv for kv in [
            ("StartCity", start), ("EndCity", end), ("FlightNo", flight), ("C", cls),
            ("Sdate", date), ("Stime", time), ("S", order["fare"]), ("Tax", order["tax"]),
            ("PeopleNum", len(order["passengers"]))])
        inputs = "".join("<input type=hidden name=f%d value=%d>" % (i, i) for i in range(31))
        for k, (name, pid, ticket) in enumerate(order["passengers"]):
            inputs += ("<span id=Gname%d>%s</span><input value=\"%s\"><input value=\"%s\">"
                       "<input value=\"\"><input value=\"\">" % (k + 1, name, pid, ticket))
        self.send(200, page("今日.天下通 订单详细", spans + inputs))

    first = {"/": first_home, "/Default.aspx": first_default, "/Desktop.aspx": first_desktop,
             "/Left.aspx": first_left, "/Search.aspx": first_search,
             "/OrderDetail.aspx": first_detail,
             "/Other.aspx": lambda self, q: self.first_page("其他", "<p>其他</p>")}

    # ---- platform 1 ----------------------------------------------------------------

    def second_login_page(self, message=""):
        self.send(200, page("羿天下分销商登录", (
            "<form method=post action=\"/Distributor/Dis_Login.aspx\">"
            "<p id=msg>%s</p>"
            "<input id=txtUserName name=txtUserName type=text>"
            "<input id=txtPassword name=txtPassword type=password>"
            "<input id=txtVcode name=txtVcode type=text>"
            "<img src=\"/SPL_ValidateCode.aspx\">"
            "<input id=btLogin type=submit value=登录></form>") % html.escape(message)))

    def second_sign_in(self, form):
        if form.get("txtVcode") != self.site.code:
            return self.second_login_page("验证码错误")
        if form.get("txtUserName") != self.site.user:
            return self.second_login_page("该用户名不存在")
        if form.get("txtPassword") != self.site.password:
            return self.second_login_page("密码输入错误")
        self.sign_in("/Distributor/DIS_Default.aspx")

    def second_default(self, query):
        self.send(200, frameset("/Distributor/Left.aspx", "/Distributor/Main.aspx"))

    def second_left(self, query):
        self.send(200, page("菜单", "".join(
            "<a href=\"/Distributor/%s\" target=mainFrame>菜单%d</a><br>"
            % ("OrderSearch.aspx" if i == 11 else "Other.aspx", i) for i in range(14))))

    def second_search(self, query):
        pnr = query.get("txtPNR", "")
        cells = "".join("<td>项%d</td>" % i for i in range(38))
        result = ""
        order = ORDERS[1].get(pnr)
        if order is not None:
            result = ("<a id=repOrder_ctl00_linkOrderID href=\"/Distributor/OrderDetail.aspx?"
                      "pnr=%s\">%s</a>" % (pnr, pnr))
        self.send(200, page("订单查询", (
            "<p>一年前订单请到历史订单管理中查询</p>"
            "<form method=get action=\"/Distributor/OrderSearch.aspx\">"
            "<input id=txtPNR name=txtPNR type=text value=\"%s\">"
            "<input id=DetailbtnFind type=submit value=查询></form>"
            "<table><tr>%s</tr></table><table><tr><td>%s</td></tr></table>")
            % (html.escape(pnr), cells, result)))

    def second_detail(self, query):
        order = ORDERS[1].get(query.get("pnr", ""))
        if order is None:
            return self.send(200, page("订单", "<p>无此订单</p>"))
        filler = "<table><tr><td>订单详细信息</td></tr></table>"
        segments = "<tr><td>航程</td><td>承运</td><td>航班</td><td>舱位</td><td>起飞</td></tr>" * 2
        for start, end, flight, cls, date, time in order["segments"]:
            segments += ("<tr><td>%s-%s</td><td>-</td><td>%s</td><td>%s</td><td>%s %s</td></tr>"
                         % (start, end, flight, cls, date, time))
        people = "<tr><td>姓名</td><td>证件</td><td>类型</td><td>票号</td></tr>"
        for name, pid, ticket in order["passengers"]:
            people += ("<tr><td>%s-成人</td><td>%s</td><td>成人</td><td>%s</td></tr>"
                       % (name, pid, ticket))
        fares = ("<span id=lblFacePrice>%s</span><span id=lblTax>%s</span>"
                 "<span id=lblTotalMoney>%s</span>" % (order["fare"], order["tax"], order["total"]))
        body = (filler * 2 + "<table>%s</table>" % segments + filler * 5 +
                "<table>%s</table>" % people + fares)
        self.send(200, page("订单详细", body))

    second = {
        "/Distributor/Dis_Login.aspx": lambda self, q: self.second_login_page(),
        "/Distributor/DIS_Default.aspx": guarded(second_default),
        "/Distributor/Left.aspx": guarded(second_left),
        "/Distributor/Main.aspx": guarded(
            lambda self, q: self.send(200, page("首页", "<p>上次登录：2026-03-01</p>"))),
        "/Distributor/OrderSearch.aspx": guarded(second_search),
        "/Distributor/OrderDetail.aspx": second_detail,
        "/Distributor/Other.aspx": guarded(
            lambda self, q: self.send(200, page("其他", "<p>其他</p>"))),
    }


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--platform", type=int, choices=(0, 1), default=0)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--user", default="agent01")
    parser.add_argument("--password", default="secret1")
    parser.add_argument("--code", default="8888", help="the picture code that is accepted")
    parser.add_argument("--ask-code", action="store_true", help="platform 0 asks for its code")
    args = parser.parse_args()
    Handler.site = Site(args.platform, args.user, args.password, args.code)
    Handler.site.ask_code = args.ask_code
    run(listen(Handler, args.port))


if __name__ == "__main__":
    sys.exit(main())
