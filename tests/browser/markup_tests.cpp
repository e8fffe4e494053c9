// The markup dialect and page snapshots, from collector JSON without a browser.
#include "browser/browser_scripts.h"
#include "browser/dom_snapshot.h"
#include "browser/markup_dialect.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

using namespace browser;

namespace {

// Collector JSON written compactly: single quotes stand for double quotes.
DomDocument doc(const char* json) {
    QByteArray j(json);
    j.replace('\'', '"');
    return DocumentFromJson(j);
}

} // namespace

TEST(MarkupDialect, QuotesOnlyWhatIsNotOnePlainToken) {
    EXPECT_EQ(AttributeMarkup("id", "top"), " id=top");
    EXPECT_EQ(AttributeMarkup("bgcolor", "#ffffff"), " bgcolor=#ffffff");
    EXPECT_EQ(AttributeMarkup("name", "txt_1.a-b"), " name=txt_1.a-b");
    EXPECT_EQ(AttributeMarkup("value", QStringLiteral("登录")), QStringLiteral(" value=登录"));
    EXPECT_EQ(AttributeMarkup("style", "width: 40px"), " style=\"width: 40px\"");
    EXPECT_EQ(AttributeMarkup("width", "100%"), " width=\"100%\"");
    EXPECT_EQ(AttributeMarkup("rows", "30%,*"), " rows=\"30%,*\"");
    EXPECT_EQ(AttributeMarkup("href", "a.asp?x=1&y=2"), " href=\"a.asp?x=1&amp;y=2\"");
    EXPECT_EQ(AttributeMarkup("title", "say \"hi\""), " title=\"say &quot;hi&quot;\"");
    EXPECT_EQ(AttributeMarkup("onclick", "go('x')"), " onclick=\"go('x')\"");
    EXPECT_EQ(AttributeMarkup("checked", ""), " checked");
    EXPECT_FALSE(IsPlainToken("a\tb"));
    EXPECT_FALSE(IsPlainToken(QStringLiteral("a\u3000b"))); // ideographic space
}

TEST(MarkupDialect, TablesBreaksAndStyledCells) {
    const DomDocument d =
        doc("{'root': {'t': 'html', 'a': [], 'c': [{'t': 'body', 'a': [], 'c': ["
            "{'t': 'table', 'a': [['id', 'r'], ['width', '100%']], 'c': [{'t': 'tbody', 'a': [], "
            "'c': [{'t': 'tr', 'a': [], 'c': [{'t': 'td', 'a': [['style', 'width: 40px']], "
            "'c': ['A', {'t': 'br', 'a': [], 'c': []}, 'B & <C>']}, "
            "{'t': 'td', 'a': [], 'c': [{'t': 'div', 'a': [['class', 'x']], 'c': ['\u00a0']}]}"
            "]}]}]}]}]}}");
    const DomNode* table = d.elementById("r");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->outerMarkup(),
              "<TABLE id=r width=\"100%\"><TBODY><TR><TD style=\"width: 40px\">A<BR>B &amp; "
              "&lt;C&gt;</TD><TD><DIV class=x>&nbsp;</DIV></TD></TR></TBODY></TABLE>");
    EXPECT_EQ(d.body()->innerMarkup(), table->outerMarkup());
    const auto cells = d.elementsByTagName("td");
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[1]->innerMarkup(), "<DIV class=x>&nbsp;</DIV>");
    EXPECT_EQ(cells[0]->textContent(), "AB & <C>");
}

TEST(MarkupDialect, ScriptsCommentsAndVoidElementsAsWritten) {
    const DomDocument d =
        doc("{'root': {'t': 'html', 'a': [], 'c': [{'t': 'head', 'a': [], 'c': [{'t': 'script', "
            "'a': [], 'c': ['if (a < b && c) x();']}]}, {'t': 'body', 'a': [], 'c': [{'m': ' note "
            "'}, {'t': 'input', 'a': [['id', 'u'], ['type', 'text'], ['value', 'old']], 'c': [], "
            "'v': 'typed', 'k': false, 'd': 'none'}, {'t': 'img', 'a': [['src', 'a/b.gif']], "
            "'c': []}]}]}}");
    EXPECT_EQ(d.root.outerMarkup(),
              "<HTML><HEAD><SCRIPT>if (a < b && c) x();</SCRIPT></HEAD><BODY><!-- note --><INPUT "
              "id=u type=text value=old><IMG src=\"a/b.gif\"></BODY></HTML>");
    const DomNode* input = d.elementById("u");
    ASSERT_NE(input, nullptr);
    EXPECT_TRUE(input->hasValue);
    EXPECT_EQ(input->value, "typed"); // the live value, not the attribute
    EXPECT_EQ(input->display, "none");
    EXPECT_EQ(d.elementById("missing"), nullptr);
    EXPECT_EQ(d.elementById(""), nullptr);
}

TEST(PageSnapshot, FramesByNameWithTheirOwnDocuments) {
    const DomDocument d =
        doc("{'name': '', 'url': 'http://m/member/index.asp', 'title': 'T', 'ready': 'complete', "
            "'root': {'t': 'HTML', 'a': [], 'c': [{'t': 'FRAMESET', 'a': [['id', 'top'], ['rows', "
            "'30%,*']], 'c': [{'t': 'FRAME', 'a': [['name', 'leftFrame'], ['src', 'left.asp']], "
            "'c': [], 'f': {'name': 'leftFrame', 'url': 'http://m/member/left.asp', 'title': 'L', "
            "'ready': 'complete', 'root': {'t': 'HTML', 'a': [], 'c': [{'t': 'BODY', 'a': [], 'c': "
            "[{'t': 'A', 'a': [['id', '1_0']], 'c': ['x']}]}]}}}, {'t': 'FRAME', 'a': [['name', "
            "'middleFrame']], 'c': [], 'f': {'name': 'middleFrame', 'url': 'http://other/', "
            "'root': null}}]}]}}");
    EXPECT_EQ(d.url, "http://m/member/index.asp");
    EXPECT_EQ(d.root.outerMarkup(),
              "<HTML><FRAMESET id=top rows=\"30%,*\"><FRAME name=leftFrame src=left.asp><FRAME "
              "name=middleFrame></FRAMESET></HTML>");
    const DomDocument* left = d.frame("leftFrame");
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(left->title, "L");
    ASSERT_NE(left->elementById("1_0"), nullptr);
    EXPECT_EQ(d.elementById("1_0"), nullptr); // frames are separate documents
    const DomDocument* middle = d.frame("middleFrame");
    ASSERT_NE(middle, nullptr);
    EXPECT_FALSE(middle->accessible);
    EXPECT_EQ(middle->body(), nullptr);
    EXPECT_EQ(d.frame("mainFrame"), nullptr);
    const QString all = MarkupWithFrames(d);
    EXPECT_TRUE(all.contains("<!-- frame name=leftFrame url=http://m/member/left.asp -->\n<HTML>"
                             "<BODY><A id=1_0>x</A></BODY></HTML>"));
    EXPECT_TRUE(all.contains("name=middleFrame url=http://other/ (not readable)"));
}

TEST(PageSnapshot, MalformedJsonGivesAnEmptyDocument) {
    const DomDocument d = DocumentFromJson(QByteArray("not json"));
    EXPECT_TRUE(d.url.isEmpty());
    EXPECT_EQ(d.body(), nullptr);
    EXPECT_TRUE(d.frames().empty());
}

TEST(BrowserActions, ActionsTravelAsDataNotAsCode) {
    BrowserActions a;
    a.setValue("u", "x'); alert(1); ('", {"leftFrame"}).click("go");
    const QString script = a.script();
    // The value sits inside the JSON data given to the fixed function.
    EXPECT_TRUE(script.contains(R"("text":"x'); alert(1); ('")"));
    EXPECT_TRUE(script.endsWith(")"));
    EXPECT_EQ(ActionResults("[true,false]", 3), (QList<bool>{true, false, false}));
    EXPECT_EQ(ActionResults("garbage", 1), (QList<bool>{false}));
}
