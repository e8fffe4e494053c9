// The platform pages classified and the order pages read from snapshots, without a browser.
// Snapshots are built from small well-formed markup; frames are attached by name.
#include "import/platform/order_reader.h"
#include "import/platform/platform_pages.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QMap>
#include <QXmlStreamReader>

using namespace ximport;
using browser::DomDocument;
using browser::DomNode;

namespace {

DomNode parseNode(QXmlStreamReader& x, const QMap<QString, DomDocument>& frames) {
    DomNode n;
    n.tag = x.name().toString().toUpper();
    for (const auto& a : x.attributes())
        n.attributes.append({a.name().toString(), a.value().toString()});
    if (n.tag == u"INPUT") {
        n.hasValue = true;
        n.value = n.attribute(QStringLiteral("value"));
        n.checked = n.hasAttribute(QStringLiteral("checked"));
    }
    const QString style = n.attribute(QStringLiteral("style"));
    if (style.startsWith(QStringLiteral("display:"))) n.display = style.mid(8).trimmed();
    if (n.tag == u"FRAME")
        n.frame = std::make_shared<DomDocument>(frames.value(n.attribute(QStringLiteral("name"))));
    while (!x.atEnd()) {
        x.readNext();
        if (x.isEndElement()) break;
        if (x.isStartElement()) n.children.push_back(parseNode(x, frames));
        if (x.isCharacters()) {
            DomNode t;
            t.kind = DomNode::Text;
            t.text = x.text().toString();
            n.children.push_back(t);
        }
    }
    return n;
}

DomDocument doc(const QString& markup, const QString& title = {},
                const QMap<QString, DomDocument>& frames = {}) {
    QXmlStreamReader x(markup);
    while (!x.atEnd() && !x.isStartElement())
        x.readNext();
    DomDocument d;
    d.title = title;
    d.root = parseNode(x, frames);
    EXPECT_FALSE(x.hasError()) << x.errorString().toStdString();
    return d;
}

DomDocument frameDoc(const QString& name, const QString& body, const QString& title = {}) {
    DomDocument d =
        doc(QStringLiteral("<html><body>") + body + QStringLiteral("</body></html>"), title);
    d.name = name;
    return d;
}

// A frameset page with the two frames the platforms use.
DomDocument frameset(const QString& mainBody, const QString& mainTitle = {},
                     const QString& leftBody = QStringLiteral("<p/>")) {
    QMap<QString, DomDocument> f;
    f.insert(QStringLiteral("mainFrame"),
             frameDoc(QStringLiteral("mainFrame"), mainBody, mainTitle));
    f.insert(QStringLiteral("leftFrame"), frameDoc(QStringLiteral("leftFrame"), leftBody));
    return doc(QStringLiteral("<html><frameset id=\"top\" rows=\"30,*\"><frame name=\"leftFrame\"/>"
                              "<frame name=\"mainFrame\"/></frameset></html>"),
               {}, f);
}

const PlatformSite kFirst(0, QStringLiteral("http://p0.test/"));
const PlatformSite kSecond(1, QStringLiteral("http://p1.test"));

RetrievalInput input(int platform, const QString& url = QStringLiteral("http://x/")) {
    return {platform, url, QStringLiteral("agent01"), QStringLiteral("secret1"),
            QStringLiteral("ABC123")};
}

QStringList ops(const browser::BrowserActions& a) {
    QStringList out;
    for (const auto& x : a.actions())
        out << QStringLiteral("%1:%2:%3:%4:%5")
                   .arg(x.kind)
                   .arg(x.frames.join(u'/'), x.id, x.text)
                   .arg(x.kind == browser::BrowserAction::ClickNth ? x.index : int(x.on));
    return out;
}

} // namespace

TEST(PlatformAccounts, ReadAndRewriteOneLineKeepingTheOthers) {
    const QString text = QStringLiteral("0,今日天下通,,\r\n1,羿天下,old,pw");
    EXPECT_EQ(ReadPlatformAccount(text, 1).account, "old");
    EXPECT_EQ(ReadPlatformAccount(text, 1).password, "pw");
    EXPECT_TRUE(ReadPlatformAccount(text, 0).account.isEmpty());
    EXPECT_TRUE(ReadPlatformAccount(text, 5).name.isEmpty());
    EXPECT_EQ(RewritePlatformAccount(text, 0, QStringLiteral("agent01"), QStringLiteral("pass  ")),
              QStringLiteral("0,今日天下通,agent01,pass  \r\n1,羿天下,old,pw"));
}

namespace {

// One finished page of the order retrieval and what the window is to do with it.
struct PageRow {
    int platform;
    DomDocument page;
    RetrievalStep::Kind kind;
    QStringList ops = {};
    QStringList messages = {};
    QString status = {};
    bool close = false;
    QString url = QStringLiteral("http://x/");
    QString navigateTo = {};
    bool codePage = false;
};

} // namespace

TEST(PlatformPages, EachPageTakesItsRowOrNone) {
    const DomDocument signIn =
        doc(QStringLiteral("<html><body><input id=\"Uname\"/>保存密码</body></html>"));
    const QString huge = QStringLiteral("保存密码") + QString(kMaxPageMarkup, u'x');
    const QString form =
        QStringLiteral("一年前订单请到历史订单管理中查询<input id=\"txtPNR\" value=\"%1\"/>");
    const QString cells = QStringLiteral("<td>x</td>").repeated(38);
    const QString notFound = QStringLiteral("提取信息失败！PNR不存在");
    const auto nothingOn = [](const char* platform) {
        return QStringList{QStringLiteral("没有查询到相符的信息，请检查此记录是不是在%1平台出票？"
                                          "登陆帐号是否正确？")
                               .arg(QString::fromUtf8(platform))};
    };
    // clang-format off
    const QList<PageRow> rows{
        // platform, page, kind, ops, messages, status, close, url, navigateTo, codePage
        {0, signIn, RetrievalStep::SignIn,
         {"1::Uname:agent01:0", "1::Passwd:secret1:0", "0::btnLogin::0"}},
        // The refusal answer wins over the sign-in page it shows.
        {0, signIn, RetrievalStep::Refused, {}, {"密码错误"}, {}, true,
         "http://p0.test/?Uname=agent01"},
        {0, frameset("<p/>", " 今日.天下通 我的桌面 "), RetrievalStep::Desktop,
         {"0:leftFrame:reptMenu_ctl14_menuTitle::0", "4:leftFrame::a:13"}},
        {0, frameset("<span id=\"TolOrder\"/>"), RetrievalStep::SearchPage,
         {"1:mainFrame:SearchKey:ABC123:0", "2:mainFrame:SeaWay_0::1", "0:mainFrame:GeneralBut::0"}},
        {0, frameset("<span id=\"TolOrder\">0</span>"), RetrievalStep::NothingFound, {},
         nothingOn("天下通"), notFound, true},
        {0, frameset("<span id=\"TolOrder\">2</span>"), RetrievalStep::OrdersListed,
         {"0:mainFrame:OrderRepeater_ctl00_OrderLink::0"}},
        {0, frameset("<p/>", "今日.天下通 订单详细"), RetrievalStep::OrderDetail},
        {0, frameset("<p>登入系统时间超时，请重新登录！</p>", "今日.天下通 我的桌面"),
         RetrievalStep::TimedOut, {}, {}, {}, false, "http://x/", "http://p0.test/"},
        // Another title, a frameset without TolOrder, a plain page: no action.
        {0, frameset("<p/>", "别的"), RetrievalStep::None},
        {0, frameset("<p/>"), RetrievalStep::None},
        {0, doc("<html><body/></html>"), RetrievalStep::None},
        // A page over the size cap is refused before any row is tested.
        {0, doc("<html><body>" + huge + "</body></html>"), RetrievalStep::TooLarge, {},
         {QStringLiteral("平台页面过大，无法读取")}, QStringLiteral("提取信息失败！平台页面无法识别"), true},

        {1, frameset("上次登录"), RetrievalStep::Desktop, {"4:leftFrame::a:11"}},
        {1, frameset(form.arg("")), RetrievalStep::SearchPage,
         {"1:mainFrame:txtPNR:ABC123:0", "0:mainFrame:DetailbtnFind::0"}},
        {1, frameset(form.arg("ABC123") + "<table><tr>" + cells + "<td/></tr></table>"),
         RetrievalStep::NothingFound, {}, nothingOn(" 羿天下 "), notFound, true},
        {1, frameset(form.arg("ABC123") + "<table><tr>" + cells + "<td>1</td></tr></table>"),
         RetrievalStep::OrdersListed, {"0:mainFrame:repOrder_ctl00_linkOrderID::0"}},
        // A changed result page without a 39th cell does nothing.
        {1, frameset(form.arg("ABC123")), RetrievalStep::None},
        {1, frameset("订单详细信息"), RetrievalStep::OrderDetail},
        {1, doc("<html><body>上次登录</body></html>"), RetrievalStep::None},
        {1, doc("<html><body>验证码错误</body></html>"), RetrievalStep::None, {}, {"验证码错误"}, {},
         false, kSecond.signInPageUrl(), {}, true},
    };
    // clang-format on
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const PageRow& r = rows[i];
        SCOPED_TRACE(::testing::Message() << "row " << i);
        const RetrievalStep s =
            ClassifyRetrievalPage(r.platform ? kSecond : kFirst, input(r.platform, r.url), r.page);
        EXPECT_EQ(s.kind, r.kind);
        EXPECT_EQ(ops(s.actions), r.ops);
        EXPECT_EQ(s.messages, r.messages);
        EXPECT_EQ(s.status, r.status);
        EXPECT_EQ(s.close, r.close);
        EXPECT_EQ(s.navigateTo, r.navigateTo);
        EXPECT_EQ(s.pictureCodePage, r.codePage);
    }
    EXPECT_FALSE(ReadPlatformOrder(0, doc("<html><body>" + huge + "</body></html>")).ok);
    EXPECT_EQ(kSecond.signInPageUrl(), "http://p1.test/Distributor/Dis_Login.aspx");
    EXPECT_EQ(kSecond.startUrl(), "http://p1.test/Distributor/DIS_Default.aspx");
    EXPECT_EQ(kFirst.startUrl(), "http://p0.test/Default.aspx");
}

TEST(PlatformPages, SignInWindowTextsAndPictureCode) {
    const QDateTime now(QDate(2026, 3, 1), QTime(9, 5, 7));
    // Platform 1: the texts in their order; a wrong code wins over a frameset.
    auto second = [&](const char* body) {
        return ClassifySignInPage(kSecond, "http://p1.test/x", "agent01",
                                  doc(QStringLiteral("<html><body>%1</body></html>").arg(body)),
                                  now);
    };
    SignInStep s = second("验证码错误<frameset/>");
    EXPECT_EQ(s.message, "验证码错误");
    EXPECT_EQ(s.kind, SignInStep::SignInPage);
    EXPECT_EQ(s.pictureUrl, "http://p1.test/SPL_ValidateCode.aspx?20260301090507");
    EXPECT_EQ(second("密码输入错误").message, "密码输入错误误");
    EXPECT_EQ(second("该用户名不存在").message, "该用户名不存在");
    EXPECT_EQ(ClassifySignInPage(kSecond, "u", "a", frameset("<p/>"), now).kind,
              SignInStep::SignedIn);

    // Platform 0: the code row follows "checksource"; the code input's id is bare.
    const QString page = QStringLiteral(
        "<html><body>保存密码<span id=\"checksource\" style=\"display: %1\">"
        "<span id=\"CheckCodeLoading\"><input id=\"Code9\" size=\"4\"/></span>"
        "<span id=\"CodeLoading\"> <img src=\"/V.aspx?r=1\"/> </span></span></body></html>");
    s = ClassifySignInPage(kFirst, "http://p0.test/?Uname=agent01", "agent01",
                           doc(page.arg("inline")), now);
    EXPECT_EQ(s.message, "用户名或者密码错误");
    EXPECT_TRUE(s.showCode);
    EXPECT_EQ(s.pictureUrl, "/V.aspx?r=1");
    EXPECT_EQ(
        ops(SignInActions(0, doc(page.arg("inline")), "agent01", "pw", "4321")),
        QStringList({"1::Uname:agent01:0", "1::Passwd:pw:0", "1::Code9:4321:0", "0::btnLogin::0"}));
    s = ClassifySignInPage(kFirst, "http://p0.test/", "agent01", doc(page.arg("none")), now);
    EXPECT_FALSE(s.showCode);
    EXPECT_TRUE(s.message.isEmpty());
    EXPECT_EQ(SignInActions(0, doc(page.arg("none")), "a", "p", "c").actions().size(), 3);
    EXPECT_EQ(
        ClassifySignInPage(kFirst, "u", "a", frameset("<p/>", "今日.天下通 我的桌面"), now).kind,
        SignInStep::SignedIn);

    EXPECT_EQ(PictureCodeInputId("<INPUT id=CheckCode name=CheckCode>"), "CheckCode");
    EXPECT_EQ(PictureCodeInputId("<INPUT name=x id=CheckCode>"), "CheckCode");
    EXPECT_EQ(FirstSrc("<IMG src=\"/a.aspx?x=1&amp;y=2\">"), "/a.aspx?x=1&y=2");
    EXPECT_EQ(FirstSrc("<IMG src=code.gif>"), "code.gif");
}

namespace {

DomDocument firstDetail(const QString& tax, int people, int inputsBefore = 31, int listed = 3) {
    QString body =
        QStringLiteral(
            "<span id=\"StartCity\">北京</span><span id=\"EndCity\">上海</span>"
            "<span id=\"FlightNo\">CA1501</span><span id=\"C\">Y</span><span "
            "id=\"Sdate\">2026-03-01</span>"
            "<span id=\"Stime\">08:05</span><span id=\"S\">1130.5</span><span id=\"Tax\">%1</span>"
            "<span id=\"PeopleNum\">%2</span>")
            .arg(tax)
            .arg(people);
    for (int i = 0; i < inputsBefore; ++i)
        body += QStringLiteral("<input value=\"f\"/>");
    for (int k = 1; k <= listed; ++k)
        body += QStringLiteral("<span id=\"Gname%1\">P%1</span><input value=\"ID%1\"/>"
                               "<input value=\"T%1\"/><input/><input/>")
                    .arg(k);
    return frameDoc(QStringLiteral("mainFrame"), body);
}

QString secondDetailBody(bool twoSegments, int passengers, const QString& cls) {
    const QString filler = QStringLiteral("<table><tr><td>f</td></tr></table>");
    QString seg = QStringLiteral("<tr><td>h</td></tr><tr><td>h</td></tr>"
                                 "<tr><td>北京-上海</td><td>-</td><td>MU5101</td><td>%1</td>"
                                 "<td>2026-03-01 8:05:00</td></tr>")
                      .arg(cls);
    if (twoSegments)
        seg += QStringLiteral("<tr><td>上海-广州</td><td>-</td><td>FM9301</td><td>C</td>"
                              "<td>2026-03-04 <b>14:30</b></td></tr>");
    QString people = QStringLiteral("<tr><td>h</td></tr>");
    for (int k = 1; k <= passengers; ++k)
        people += QStringLiteral("<tr><td>p%1-成人</td><td>ID%1</td><td>成人</td><td>T%1</td></tr>")
                      .arg(k);
    return filler + filler + "<table>" + seg + "</table>" + filler.repeated(5) + "<table>" +
           people +
           "</table><span id=\"lblFacePrice\"><font color=\"red\">1130</font></span><span "
           "id=\"lblTax\">50/120</span>"
           "<span id=\"lblTotalMoney\">1300</span>";
}

QString fieldOf(const OrderRead& r, int index) {
    QString out = QStringLiteral("<unset>");
    for (const auto& [i, t] : r.fields)
        if (i == index) out = t;
    return out;
}

} // namespace

TEST(OrderReaders, FirstPlatformTaxSplitRoundingAndPassengerInputs) {
    const struct {
        const char* tax;
        const char* cn;
        const char* yq;
        const char* total;
    } cases[] = {{"170", "CN50.00", "YQ120.00", "CNY 1300.00"},
                 {"120", "CN50.00", "YQ70.00", "CNY 1250.00"},
                 {"70", "CN0.00", "YQ70.00", "CNY 1200.00"},
                 {"90", "CN0.00", "YQ0.00", "CNY 1220.00"}};
    for (const auto& c : cases) {
        const OrderRead r = ReadFirstPlatformOrder(firstDetail(c.tax, 1));
        ASSERT_TRUE(r.ok) << r.problem.toStdString();
        EXPECT_EQ(fieldOf(r, itin::Fare), "CNY 1130.00"); // 1130.5 rounds to even
        EXPECT_EQ(fieldOf(r, itin::CnTax), c.cn);
        EXPECT_EQ(fieldOf(r, itin::YqTax), c.yq);
        EXPECT_EQ(fieldOf(r, itin::Total), c.total);
    }
    const OrderRead three = ReadFirstPlatformOrder(firstDetail("170", 3));
    ASSERT_EQ(three.passengers.size(), 3);
    EXPECT_EQ(three.passengers[2], (itin::PassengerRow{"P3", "ID3", "T3"}));
    EXPECT_EQ(fieldOf(three, itin::Carrier2), "VOID");

    // Missing inputs, a missing element, a tax that is no number: nothing to write.
    EXPECT_FALSE(ReadFirstPlatformOrder(firstDetail("170", 1, 5)).ok);
    EXPECT_FALSE(ReadFirstPlatformOrder(firstDetail("170", 4)).ok);
    const OrderRead noNumber = ReadFirstPlatformOrder(firstDetail("abc", 1));
    EXPECT_FALSE(noNumber.ok);
    EXPECT_TRUE(noNumber.fields.isEmpty());

    qint64 v = 0;
    EXPECT_TRUE(WholeNumber("40000", v));
    EXPECT_EQ(v, 40000); // beyond 16 bits, read as it is
    EXPECT_TRUE(WholeNumber("2.5", v));
    EXPECT_EQ(v, 2);
    EXPECT_FALSE(WholeNumber("1e300", v));
}

TEST(OrderReaders, SecondPlatformSegmentsAndPassengers) {
    const struct {
        bool twoSegments;
        int passengers;
        const char* cls;
        QList<QPair<int, QString>> fields;
    } cases[] = {
        // clang-format off
        {false, 1, "Y(经济舱)", {{itin::City1, "北京"}, {itin::City2, "上海"}, {itin::Class1, "Y"},
            {itin::Time1, "08:05"}, {itin::Date1, "2026-03-01"}, {itin::Carrier2, "VOID"},
            {itin::City3, "VOID"}, {itin::CnTax, "CN50.00"}, {itin::YqTax, "YQ120.00"},
            {itin::Fare, "CNY 1130.00"},
            {itin::Total, "CNY 1300.00"}}},
        {true, 3, "Y", {{itin::Flight2, "FM9301"}, {itin::Time2, "14:30"}, {itin::City3, "广州"},
            {itin::Baggage2, "20K"}, {itin::Carrier3, "VOID"}, {itin::City4, "VOID"}}},
        // clang-format on
    };
    for (const auto& c : cases) {
        const OrderRead r = ReadSecondPlatformOrder(
            frameDoc("mainFrame", secondDetailBody(c.twoSegments, c.passengers, c.cls)));
        ASSERT_TRUE(r.ok) << r.problem.toStdString();
        for (const auto& [field, text] : c.fields)
            EXPECT_EQ(fieldOf(r, field), text) << itin::FieldName(field).toStdString();
        ASSERT_EQ(r.passengers.size(), c.passengers);
        EXPECT_EQ(r.passengers[0], (itin::PassengerRow{"P1", "ID1", "T1"}));
    }

    // Too few tables or cells: not read.
    EXPECT_FALSE(
        ReadSecondPlatformOrder(frameDoc("mainFrame", "<table><tr><td>x</td></tr></table>")).ok);
    QString broken = secondDetailBody(false, 1, "Y");
    broken.replace(QStringLiteral("<td>2026-03-01 8:05:00</td>"), QString());
    EXPECT_FALSE(ReadSecondPlatformOrder(frameDoc("mainFrame", broken)).ok);
}

TEST(OrderReaders, ThousandsOfPassengersReadInLinearTime) {
    const DomDocument big = firstDetail("170", 3000, 31, 3000);
    QElapsedTimer clock;
    clock.start();
    const OrderRead r = ReadFirstPlatformOrder(big);
    EXPECT_LT(clock.elapsed(), 1000); // a lookup per passenger over the whole page took seconds
    ASSERT_EQ(r.passengers.size(), 3000);
    EXPECT_EQ(r.passengers[2999], (itin::PassengerRow{"P3000", "ID3000", "T3000"}));
}

TEST(OrderReaders, ApplyWritesTheRecordOnlyForAReadOrder) {
    itin::ItineraryRecord record;
    record.setField(itin::City1, QStringLiteral("KEEP"));
    EXPECT_EQ(ApplyOrder(ReadFirstPlatformOrder(firstDetail("x", 1)), "ABC123", record),
              QStringLiteral("提取信息失败！订单页面无法识别"));
    EXPECT_EQ(record[itin::City1], "KEEP");

    EXPECT_EQ(ApplyOrder(ReadFirstPlatformOrder(firstDetail("170", 3)), "ABC123", record),
              "获取成功，可以打印！");
    EXPECT_EQ(record[itin::PnrQuery], "ABC123");
    EXPECT_EQ(record[itin::City1], "北京");
    EXPECT_EQ(record[itin::PassengerName], "P1");
    EXPECT_EQ(record[itin::TicketNumber], "T1");
    EXPECT_TRUE(record.nextEnabled());
    EXPECT_EQ(record.passengers().size(), 3);

    // After a four-segment ticket, a one-segment order leaves nothing of the ticket's flights.
    for (int row = 2; row <= 4; ++row) {
        const itin::SegmentRow r = itin::SegmentAt(row);
        for (int field : {r.city, r.carrier, r.flight, r.date, r.validFrom, r.baggage})
            record.setField(field, QStringLiteral("TICKET"));
    }
    record.setField(itin::City5, QStringLiteral("TICKET"));
    record.setPassengers({{"T", "", ""}});
    ApplyOrder(ReadFirstPlatformOrder(firstDetail("170", 3)), "ABC123", record);
    EXPECT_EQ(record.texts().filter("TICKET"), QStringList());
    EXPECT_EQ(record[itin::PassengerName], "P1");
}
