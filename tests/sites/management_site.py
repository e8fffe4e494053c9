#!/usr/bin/env python3
"""Local stand-in of the web management system, for tests and the demo.

Serves on 127.0.0.1; the first line of output is "PORT <n>". Pages: the sign-in page
/member/login.asp, the member area /member/index.asp (frames "leftFrame" with the
navigation entries and "middleFrame"), navigation pages that record which entry was
clicked (read them at /__clicks), and print pages /member/main/print.asp?order=N or
?data=TEXT whose body is a print data text. Paths are matched without regard to case.
"""
import argparse
import html
import json
import os
import secrets
import sys
import threading
import urllib.parse

from stand_in import QuietHandler, listen, run

NAV_GROUPS = [
    ("出票员菜单", "1_", 0, ["订单监控", "会员管理", "所有订单", "乘机人信息", "密码修改"]),
    ("出票员", "2_", 1, ["申请出票", "申请退废", "所有订单", "出票订单", "退废订单"]),
    ("保险", "3_", 1, ["申请设保", "申请退保", "所有保单", "投保统计"]),
    ("短信", "4_", 1, ["短信单发", "短信群发", "发送记录", "短信设置"]),
    ("财务", "5_", 1, ["未结算订单", "应收款项", "应支款项", "兑换积分款项", "所有订单", "收支操作",
                     "基本状况", "日报表", "销售统计", "话务员业绩", "会员购票统计", "财务流水"]),
    ("网站", "6_", 1, ["网站设置", "收款设置", "航班查询接口设置", "优惠设置", "特价机票管理",
                     "文字信息管理"]),
    ("系统", "7_", 1, ["员工管理", "公司信息修改", "积分规则设置", "会员卡号规则设置", "退出系统"]),
]

ORDERS = {
    "1": "0,^^^^2013-12-10^MU5101^Y^08:00^^PEK^SHA,ABC123,ZHANG/SAN^110101199001011234^7812345678901,"
         "1130,50,110",
    "2": "0,^^^^2013-12-10^CA1501^Y^08:00^^PEK^SHA|^^^^2013-12-14^CA1502^Y^19:30^^SHA^PEK,"
         "XYZ789,LI/SI^ID1^T1|WANG/WU^ID2^T2|ZHAO/LIU^ID3^T3,2260,100,220",
    "3": "1,^^^^2013-12-20^CA981^C^13:00^^PEK^JFK,INT001,CHEN/QI^P1234567^9991234567890,8800,90,1200",
}

FIXTURE_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "management_fixtures")


class Site:
    def __init__(self, user, password):
        self.user = user
        self.password = password
        self.sessions = set()
        self.clicks = []
        self.lock = threading.Lock()


def page(title, body):
    return ("<html><head><meta charset=\"utf-8\"><title>%s</title></head><body>%s</body></html>"
            % (html.escape(title), body))


class Handler(QuietHandler):
    site = None  # set by main

    def session(self):
        for part in self.headers.get("Cookie", "").split(";"):
            name, _, value = part.strip().partition("=")
            if name == "mgmt_session" and value in self.site.sessions:
                return value
        return None

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        path = url.path.lower()
        query = urllib.parse.parse_qs(url.query)
        if path == "/__clicks":
            with self.site.lock:
                return self.send(200, json.dumps(self.site.clicks), "application/json")
        if path == "/__reset":
            with self.site.lock:
                self.site.clicks.clear()
            return self.send(200, "ok", "text/plain")
        if path.startswith("/fixtures/"):
            return self.fixture(os.path.basename(url.path))
        if path == "/contact.html":
            return self.send(200, page("联系我们", "<p>客服电话 800000001</p>"))
        if path in ("/", "/member/", "/member/login.asp"):
            return self.login_page("")
        if not path.startswith("/member/"):
            return self.send(404, page("404", "not found"))
        if not self.session():
            return self.redirect("/member/login.asp")
        if path == "/member/index.asp":
            return self.send(200, (
                "<html><head><meta charset=\"utf-8\"><title>会员中心</title></head>"
                "<frameset id=top rows=\"40,*\"><frame name=topFrame src=\"/member/top.asp\">"
                "<frameset cols=\"200,*\"><frame name=leftFrame src=\"/member/left.asp\">"
                "<frame name=middleFrame src=\"/member/main/welcome.asp\"></frameset>"
                "</frameset></html>"))
        if path == "/member/code.asp":
            # A picture code only a signed-in visitor gets.
            return self.send(200, "PICTURE-CODE", "image/png")
        if path == "/member/top.asp":
            return self.send(200, page("top", "<b>票务管理系统</b> <a href=\"/member/logout.asp\" "
                                              "target=_top id=logout>退出</a>"))
        if path == "/member/left.asp":
            return self.left_page()
        if path == "/member/main/welcome.asp":
            return self.send(200, page("welcome", "<p>欢迎使用</p>"))
        if path == "/member/main/nav.asp":
            nav = query.get("id", [""])[0]
            with self.site.lock:
                self.site.clicks.append(nav)
            return self.send(200, page(nav, "<h1 id=nav>%s</h1>" % html.escape(nav)))
        if path == "/member/main/print.asp":
            text = query.get("data", [None])[0]
            if text is None:
                text = ORDERS.get(query.get("order", [""])[0], "")
            return self.send(200, "<html><head><meta charset=\"utf-8\"><title>打印</title></head>"
                                  "<body>%s</body></html>" % html.escape(text, quote=False))
        if path == "/member/logout.asp":
            self.site.sessions.discard(self.session())
            return self.redirect("/member/login.asp")
        return self.send(404, page("404", "not found"))

    def do_POST(self):
        path = urllib.parse.urlsplit(self.path).path.lower()
        length = int(self.headers.get("Content-Length", "0") or 0)
        form = urllib.parse.parse_qs(self.rfile.read(length).decode("utf-8", "replace"))
        if path != "/member/login.asp":
            return self.send(404, page("404", "not found"))
        user = form.get("username", [""])[0]
        password = form.get("password", [""])[0]
        if user != self.site.user or password != self.site.password:
            return self.login_page("用户名或密码错误")
        token = secrets.token_hex(8)
        self.site.sessions.add(token)
        # The real system answers with a capitalised address.
        self.redirect("/Member/Index.asp", [("Set-Cookie", "mgmt_session=%s; Path=/" % token)])

    def login_page(self, error):
        self.send(200, page("会员登录", (
            "<form id=loginForm method=post action=\"/member/login.asp\">"
            "<p id=error>%s</p>"
            "用户名 <input id=username name=username type=text> "
            "密码 <input id=password name=password type=password> "
            "<input id=submit type=submit value=登录></form>") % html.escape(error)))

    def left_page(self):
        parts = []
        for title, prefix, first, captions in NAV_GROUPS:
            parts.append("<div class=group><b>%s</b>" % html.escape(title))
            for i, caption in enumerate(captions):
                nav = "%s%d" % (prefix, i + first)
                parts.append("<br><a id=\"%s\" href=\"/member/main/nav.asp?id=%s\" "
                             "target=middleFrame>%s</a>" % (nav, nav, html.escape(caption)))
            parts.append("</div>")
        parts.append("<div class=group><b>打印</b>")
        for order in sorted(ORDERS):
            parts.append("<br><a id=\"print_%s\" href=\"/member/main/print.asp?order=%s\" "
                         "target=middleFrame>打印订单 %s</a>" % (order, order, order))
        parts.append("</div>")
        self.send(200, page("导航", "".join(parts)))

    def fixture(self, name):
        path = os.path.join(FIXTURE_DIR, name)
        if not os.path.isfile(path):
            return self.send(404, page("404", "not found"))
        with open(path, encoding="utf-8") as f:
            self.send(200, f.read())


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--user", default="agent")
    parser.add_argument("--password", default="secret")
    args = parser.parse_args()
    Handler.site = Site(args.user, args.password)
    run(listen(Handler, args.port))


if __name__ == "__main__":
    sys.exit(main())
