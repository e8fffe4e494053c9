#include "browser/dom_snapshot.h"

#include "browser/markup_dialect.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace browser {
namespace {

// Collector nodes: a JSON string is a text node, {"m": text} a comment, and
// {"t": tag, "a": [[name, value]...], "c": [...], "v", "k", "d", "f"} an element.
DomNode nodeFromJson(const QJsonValue& v, int depth);

std::shared_ptr<DomDocument> frameFromJson(const QJsonObject& o, int depth);

DomNode nodeFromJson(const QJsonValue& v, int depth) {
    DomNode n;
    if (v.isString()) {
        n.kind = DomNode::Text;
        n.text = v.toString();
        return n;
    }
    const QJsonObject o = v.toObject();
    if (o.contains(QLatin1String("m"))) {
        n.kind = DomNode::Comment;
        n.text = o.value(QLatin1String("m")).toString();
        return n;
    }
    n.tag = o.value(QLatin1String("t")).toString().toUpper();
    for (const QJsonValue& a : o.value(QLatin1String("a")).toArray()) {
        const QJsonArray pair = a.toArray();
        n.attributes.append({pair.at(0).toString(), pair.at(1).toString()});
    }
    if (o.contains(QLatin1String("v"))) {
        n.hasValue = true;
        n.value = o.value(QLatin1String("v")).toString();
    }
    n.checked = o.value(QLatin1String("k")).toBool();
    n.display = o.value(QLatin1String("d")).toString();
    // Pages nest deeply only when something is wrong; stop rather than overflow.
    if (depth > 400) return n;
    for (const QJsonValue& c : o.value(QLatin1String("c")).toArray())
        n.children.push_back(nodeFromJson(c, depth + 1));
    if (o.value(QLatin1String("f")).isObject())
        n.frame = frameFromJson(o.value(QLatin1String("f")).toObject(), depth + 1);
    return n;
}

std::shared_ptr<DomDocument> frameFromJson(const QJsonObject& o, int depth) {
    auto d = std::make_shared<DomDocument>();
    d->name = o.value(QLatin1String("name")).toString();
    d->url = o.value(QLatin1String("url")).toString();
    d->title = o.value(QLatin1String("title")).toString();
    d->readyState = o.value(QLatin1String("ready")).toString();
    const QJsonValue root = o.value(QLatin1String("root"));
    d->accessible = root.isObject();
    if (d->accessible) d->root = nodeFromJson(root, depth);
    return d;
}

const DomNode* findById(const DomNode& n, const QString& id) {
    if (n.kind != DomNode::Element) return nullptr;
    if (n.id() == id) return &n;
    for (const DomNode& c : n.children)
        if (const DomNode* hit = findById(c, id)) return hit;
    return nullptr;
}

void collectByTag(const DomNode& n, const QString& tag, std::vector<const DomNode*>& out) {
    if (n.kind != DomNode::Element) return;
    if (n.tag == tag) out.push_back(&n);
    for (const DomNode& c : n.children)
        collectByTag(c, tag, out);
}

void collectFrames(const DomNode& n, std::vector<const DomDocument*>& out) {
    if (n.kind != DomNode::Element) return;
    if (n.frame) out.push_back(n.frame.get());
    for (const DomNode& c : n.children)
        collectFrames(c, out);
}

void appendOuter(const DomNode& n, QString& out, bool rawParent);

void appendInner(const DomNode& n, QString& out) {
    const bool raw = IsRawTextElement(n.tag);
    for (const DomNode& c : n.children)
        appendOuter(c, out, raw);
}

void appendOuter(const DomNode& n, QString& out, bool rawParent) {
    switch (n.kind) {
    case DomNode::Text:
        out += rawParent ? n.text : EscapeText(n.text);
        return;
    case DomNode::Comment:
        out += QStringLiteral("<!--") + n.text + QStringLiteral("-->");
        return;
    case DomNode::Element:
        break;
    }
    out += u'<' + n.tag;
    for (const auto& [name, value] : n.attributes)
        out += AttributeMarkup(name, value);
    out += u'>';
    if (IsVoidElement(n.tag)) return;
    appendInner(n, out);
    out += QStringLiteral("</") + n.tag + u'>';
}

} // namespace

QString DomNode::attribute(const QString& name) const {
    for (const auto& [n, v] : attributes)
        if (n.compare(name, Qt::CaseInsensitive) == 0) return v;
    return {};
}

bool DomNode::hasAttribute(const QString& name) const {
    for (const auto& a : attributes)
        if (a.first.compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

QString DomNode::outerMarkup() const {
    QString out;
    appendOuter(*this, out, false);
    return out;
}

QString DomNode::innerMarkup() const {
    QString out;
    if (kind == Element) appendInner(*this, out);
    return out;
}

QString DomNode::textContent() const {
    if (kind == Text) return text;
    if (kind == Comment) return {};
    QString out;
    for (const DomNode& c : children)
        out += c.textContent();
    return out;
}

const DomNode* DomDocument::body() const {
    for (const DomNode& c : root.children)
        if (c.kind == DomNode::Element && (c.tag == u"BODY" || c.tag == u"FRAMESET")) return &c;
    return nullptr;
}

const DomNode* DomDocument::elementById(const QString& id) const {
    if (id.isEmpty()) return nullptr;
    return findById(root, id);
}

std::vector<const DomNode*> DomDocument::elementsByTagName(const QString& tag) const {
    std::vector<const DomNode*> out;
    collectByTag(root, tag.toUpper(), out);
    return out;
}

const DomDocument* DomDocument::frame(const QString& name) const {
    for (const DomDocument* f : frames())
        if (f->name == name) return f;
    return nullptr;
}

std::vector<const DomDocument*> DomDocument::frames() const {
    std::vector<const DomDocument*> out;
    collectFrames(root, out);
    return out;
}

DomDocument DocumentFromJson(const QJsonObject& object) {
    if (object.isEmpty()) return {};
    return *frameFromJson(object, 0);
}

DomDocument DocumentFromJson(const QByteArray& json) {
    return DocumentFromJson(QJsonDocument::fromJson(json).object());
}

} // namespace browser

namespace browser {
namespace {

void appendDocument(const DomDocument& d, QString& out) {
    if (d.accessible) out += d.root.outerMarkup();
    for (const DomDocument* f : d.frames()) {
        out += QStringLiteral("\n<!-- frame name=%1 url=%2%3 -->\n")
                   .arg(f->name, f->url,
                        f->accessible ? QString() : QStringLiteral(" (not readable)"));
        appendDocument(*f, out);
    }
}

} // namespace

QString MarkupWithFrames(const DomDocument& document) {
    QString out;
    appendDocument(document, out);
    return out;
}

} // namespace browser
