#include "import/platform/platform_pages.h"

#include "import/platform/platform_texts.h"

#include <QStringList>

namespace ximport {

using browser::BrowserActions;
using browser::DomDocument;
using browser::DomNode;

namespace {

const QString kMain = QStringLiteral("mainFrame");
const QString kLeft = QStringLiteral("leftFrame");

QString innerOf(const DomDocument* d, const QString& id) {
    const DomNode* n = d ? d->elementById(id) : nullptr;
    return n ? n->innerMarkup() : QString();
}

// An element whose style display is set to something other than "none". A missing
// element counts as hidden.
bool displayed(const DomDocument& d, const QString& id) {
    const DomNode* n = d.elementById(id);
    return n && n->display.compare(QStringLiteral("none"), Qt::CaseInsensitive) != 0;
}

QString mainTitle(const DomDocument& page) {
    const DomDocument* f = page.frame(kMain);
    return f ? f->title.trimmed() : QString();
}

QString mainBody(const DomDocument& page) {
    const DomDocument* f = page.frame(kMain);
    const DomNode* b = f ? f->body() : nullptr;
    return b ? b->innerMarkup() : QString();
}

bool refusedSignIn(const QString& finishedUrl, const QString& account) {
    return finishedUrl.contains(QStringLiteral("Uname=") + account);
}

// Platform 0, first matching row wins.
RetrievalStep classifyFirst(const PlatformSite& site, const RetrievalInput& in,
                            const DomDocument& page, const QString& html) {
    RetrievalStep s;
    if (html.contains(QStringLiteral("保存密码"))) {
        s.kind = RetrievalStep::SignIn;
        s.actions.setValue(QStringLiteral("Uname"), in.account)
            .setValue(QStringLiteral("Passwd"), in.password)
            .click(QStringLiteral("btnLogin"));
        return s;
    }
    if (!html.contains(QStringLiteral("<FRAMESET id=top "))) return s;
    if (mainBody(page).contains(QStringLiteral("登入系统时间超时，请重新登录！"))) {
        // The home page loads again; its sign-in page starts the flow over. The frame
        // rows are not acted on, since the page they would act on is going away.
        s.kind = RetrievalStep::TimedOut;
        s.navigateTo = site.homeUrl();
        return s;
    }
    const QString title = mainTitle(page);
    if (title == QStringLiteral("今日.天下通 我的桌面")) {
        s.kind = RetrievalStep::Desktop;
        s.actions.click(QStringLiteral("reptMenu_ctl14_menuTitle"), {kLeft})
            .clickNth(QStringLiteral("a"), 13, {kLeft});
    } else if (title == QStringLiteral("今日.天下通 订单详细")) {
        s.kind = RetrievalStep::OrderDetail;
    } else if (title.isEmpty()) {
        const DomDocument* main = page.frame(kMain);
        const DomNode* total = main ? main->elementById(QStringLiteral("TolOrder")) : nullptr;
        if (!total) return s; // not a search page: no row matches
        const QString count = total->innerMarkup();
        if (count.isEmpty()) {
            s.kind = RetrievalStep::SearchPage;
            s.actions.setValue(QStringLiteral("SearchKey"), in.pnr, {kMain})
                .setChecked(QStringLiteral("SeaWay_0"), true, {kMain})
                .click(QStringLiteral("GeneralBut"), {kMain});
        } else if (count == u"0") {
            s.kind = RetrievalStep::NothingFound;
            s.messages << QStringLiteral(
                "没有查询到相符的信息，请检查此记录是不是在天下通平台出票？"
                "登陆帐号是否正确？");
            s.status = QStringLiteral("提取信息失败！PNR不存在");
            s.close = true;
        } else {
            s.kind = RetrievalStep::OrdersListed;
            s.actions.click(QStringLiteral("OrderRepeater_ctl00_OrderLink"), {kMain});
        }
    }
    return s;
}

// Platform 1: only framesets; the body is that of the main frame.
RetrievalStep classifySecond(const RetrievalInput& in, const DomDocument& page,
                             const QString& html) {
    RetrievalStep s;
    if (!html.contains(QStringLiteral("<FRAMESET"))) return s;
    const QString body = mainBody(page);
    const DomDocument* main = page.frame(kMain);
    if (body.contains(QStringLiteral("上次登录"))) {
        s.kind = RetrievalStep::Desktop;
        s.actions.clickNth(QStringLiteral("a"), 11, {kLeft});
    } else if (body.contains(QStringLiteral("一年前订单请到历史订单管理中查询"))) {
        const DomNode* pnr = main->elementById(QStringLiteral("txtPNR"));
        if (!pnr) return s;
        if (pnr->value != in.pnr) {
            s.kind = RetrievalStep::SearchPage;
            s.actions.setValue(QStringLiteral("txtPNR"), in.pnr, {kMain})
                .click(QStringLiteral("DetailbtnFind"), {kMain});
            return s;
        }
        const auto cells = main->elementsByTagName(QStringLiteral("td"));
        if (cells.size() <= 38) return s; // a changed page: nothing to act on
        if (cells[38]->innerMarkup().isEmpty()) {
            s.kind = RetrievalStep::NothingFound;
            s.messages << QStringLiteral(
                "没有查询到相符的信息，请检查此记录是不是在 羿天下 平台出票？"
                "登陆帐号是否正确？");
            s.status = QStringLiteral("提取信息失败！PNR不存在");
            s.close = true;
        } else {
            s.kind = RetrievalStep::OrdersListed;
            s.actions.click(QStringLiteral("repOrder_ctl00_linkOrderID"), {kMain});
        }
    } else if (body.contains(QStringLiteral("订单详细信息"))) {
        s.kind = RetrievalStep::OrderDetail;
    }
    return s;
}

} // namespace

PlatformSite::PlatformSite(int platform, const QString& baseUrl) : platform_(platform) {
    base_ = baseUrl.trimmed();
    while (base_.endsWith(u'/'))
        base_.chop(1);
}

QString PlatformSite::homeUrl() const {
    return base_ + u'/';
}

QString PlatformSite::startUrl() const {
    return base_ + (platform_ == 0 ? QStringLiteral("/Default.aspx")
                                   : QStringLiteral("/Distributor/DIS_Default.aspx"));
}

QString PlatformSite::signInUrl() const {
    return platform_ == 0 ? homeUrl() : signInPageUrl();
}

QString PlatformSite::signInPageUrl() const {
    return base_ + QStringLiteral("/Distributor/Dis_Login.aspx");
}

QString PlatformSite::pictureCodeUrl(const QDateTime& now) const {
    return base_ + QStringLiteral("/SPL_ValidateCode.aspx?") +
           now.toString(QStringLiteral("yyyyMMddHHmmss"));
}

PlatformAccount ReadPlatformAccount(const QString& pingTaiText, int platform) {
    const QStringList lines = pingTaiText.split(QStringLiteral("\r\n"));
    if (platform < 0 || platform >= lines.size()) return {};
    const QStringList f = lines.at(platform).split(u',');
    return {f.value(1), f.value(2), f.value(3)};
}

QString RewritePlatformAccount(const QString& pingTaiText, int platform, const QString& account,
                               const QString& password) {
    const QStringList lines = pingTaiText.split(QStringLiteral("\r\n"));
    QString out;
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (i == platform) {
            const QStringList f = line.split(u',');
            line = f.value(0) + u',' + f.value(1) + u',' + account + u',' + password;
        }
        if (!out.isEmpty()) out += QStringLiteral("\r\n");
        out += line;
    }
    return out;
}

QString PageHtml(const DomDocument& page) {
    return page.root.outerMarkup();
}

RetrievalStep ClassifyRetrievalPage(const PlatformSite& site, const RetrievalInput& in,
                                    const DomDocument& page) {
    const QString html = PageHtml(page);
    RetrievalStep s;
    if (html.size() > kMaxPageMarkup) {
        s.kind = RetrievalStep::TooLarge;
        s.messages << PageTooLargeMessage();
        s.status = StalledRetrievalStatus();
        s.close = true;
        return s;
    }
    bool codePage = false;
    QString message;
    if (site.platform() == 1 && in.finishedUrl == site.signInPageUrl()) {
        codePage = true;
        if (html.contains(QStringLiteral("验证码错误"))) message = QStringLiteral("验证码错误");
    }
    if (refusedSignIn(in.finishedUrl, in.account)) {
        s.kind = RetrievalStep::Refused;
        s.messages << QStringLiteral("密码错误");
        s.close = true; // nothing more can happen on this page; the print form is freed
    } else if (site.platform() == 0) {
        s = classifyFirst(site, in, page, html);
    } else {
        s = classifySecond(in, page, html);
    }
    s.pictureCodePage = codePage;
    if (!message.isEmpty()) s.messages.prepend(message);
    return s;
}

BrowserActions PictureCodeSignIn(const QString& account, const QString& password,
                                 const QString& code) {
    BrowserActions a;
    a.setValue(QStringLiteral("txtUserName"), account)
        .setValue(QStringLiteral("txtPassword"), password)
        .setValue(QStringLiteral("txtVcode"), code)
        .click(QStringLiteral("btLogin"));
    return a;
}

SignInStep ClassifySignInPage(const PlatformSite& site, const QString& finishedUrl,
                              const QString& account, const DomDocument& page,
                              const QDateTime& now) {
    SignInStep s;
    const QString html = PageHtml(page);
    if (html.size() > kMaxPageMarkup) {
        s.message = PageTooLargeMessage();
        return s;
    }
    if (site.platform() == 0) {
        if (refusedSignIn(finishedUrl, account)) s.message = QStringLiteral("用户名或者密码错误");
        if (html.contains(QStringLiteral("保存密码"))) {
            s.kind = SignInStep::SignInPage;
            s.showCode = displayed(page, QStringLiteral("checksource"));
            if (s.showCode)
                s.pictureUrl = FirstSrc(innerOf(&page, QStringLiteral("CodeLoading")).trimmed());
            return s;
        }
        if (html.contains(QStringLiteral("<FRAMESET id=top ")) &&
            mainTitle(page) == QStringLiteral("今日.天下通 我的桌面"))
            s.kind = SignInStep::SignedIn;
        return s;
    }
    s.kind = SignInStep::SignInPage;
    s.showCode = true;
    s.pictureUrl = site.pictureCodeUrl(now);
    static const struct {
        const char16_t* text;
        const char16_t* message;
    } kRefusals[] = {
        {u"验证码错误", u"验证码错误"},
        {u"密码输入错误", u"密码输入错误误"}, // the platform's message as it has always read
        {u"该用户名不存在", u"该用户名不存在"},
    };
    for (const auto& r : kRefusals) {
        if (html.contains(QString::fromUtf16(r.text))) {
            s.message = QString::fromUtf16(r.message);
            return s;
        }
    }
    if (html.contains(QStringLiteral("</FRAMESET>"))) s.kind = SignInStep::SignedIn;
    return s;
}

BrowserActions SignInActions(int platform, const DomDocument& page, const QString& account,
                             const QString& password, const QString& code) {
    BrowserActions a;
    if (platform == 1) return PictureCodeSignIn(account, password, code);
    a.setValue(QStringLiteral("Uname"), account).setValue(QStringLiteral("Passwd"), password);
    const QString loading = innerOf(&page, QStringLiteral("CheckCodeLoading"));
    if (!loading.isEmpty() && displayed(page, QStringLiteral("checksource"))) {
        const QString id = PictureCodeInputId(loading);
        if (!id.isEmpty()) a.setValue(id, code);
    }
    a.click(QStringLiteral("btnLogin"));
    return a;
}

QString PictureCodeInputId(const QString& markup) {
    const int at = markup.indexOf(QStringLiteral("id="));
    if (at < 0) return {};
    QString id = markup.mid(at + 3);
    const int space = id.indexOf(u' ');
    if (space >= 0) id.truncate(space);
    const int close = id.indexOf(u'>');
    if (close >= 0) id.truncate(close);
    if (id.endsWith(u'/')) id.chop(1);
    id.remove(u'"');
    id.remove(u'\'');
    return id;
}

QString FirstSrc(const QString& markup) {
    const int at = markup.indexOf(QStringLiteral("src="), 0, Qt::CaseInsensitive);
    if (at < 0) return {};
    const int start = at + 4;
    if (markup.mid(start, 1) == u"\"") {
        const int end = markup.indexOf(u'"', start + 1);
        return end < 0 ? QString()
                       : markup.mid(start + 1, end - start - 1)
                             .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    }
    int end = start;
    while (end < markup.size() && markup.at(end) != u' ' && markup.at(end) != u'>')
        ++end;
    return markup.mid(start, end - start);
}

} // namespace ximport
