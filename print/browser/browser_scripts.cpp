#include "browser/browser_scripts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace browser {

QString CanonicalUrl(const QString& url) {
    return QUrl(url).toString();
}

QString DocumentCompleteMarker() {
    return QStringLiteral("\u0001ws-document-complete\u0001");
}

QString DocumentCompleteScript() {
    return QStringLiteral(R"JS((function () {
  var sent = false;
  function done() {
    if (sent) return;
    sent = true;
    console.log('\u0001ws-document-complete\u0001' + document.location.href);
  }
  if (document.readyState === 'complete') done();
  else window.addEventListener('load', done);
})();)JS");
}

QString CollectorScript() {
    return QStringLiteral(R"JS((function () {
  function node(n) {
    if (n.nodeType === 3) return n.nodeValue;
    if (n.nodeType === 8) return {m: n.nodeValue};
    if (n.nodeType !== 1) return null;
    var tag = String(n.tagName).toUpperCase();
    var o = {t: tag, a: [], c: []};
    for (var i = 0; i < n.attributes.length; i++)
      o.a.push([n.attributes[i].name, n.attributes[i].value]);
    if (tag === 'INPUT' || tag === 'SELECT' || tag === 'TEXTAREA' || tag === 'OPTION' ||
        tag === 'BUTTON')
      o.v = String(n.value);
    if (tag === 'INPUT') o.k = !!n.checked;
    if (n.style && n.style.display) o.d = n.style.display;
    if (tag === 'FRAME' || tag === 'IFRAME') o.f = frame(n);
    var kids = (tag === 'TEMPLATE' && n.content) ? n.content.childNodes : n.childNodes;
    for (var j = 0; j < kids.length; j++) {
      var k = node(kids[j]);
      if (k !== null) o.c.push(k);
    }
    return o;
  }
  function frame(el) {
    var w = el.contentWindow, name = el.getAttribute('name') || '', d = null;
    try { if (w) { d = w.document; name = w.name || name; } } catch (e) { d = null; }
    if (!d) return {name: name, url: el.src || '', title: '', ready: '', root: null};
    return doc(d, name);
  }
  function doc(d, name) {
    var url = '';
    try { url = d.location.href; } catch (e) {}
    return {name: name, url: url, title: d.title, ready: d.readyState,
            root: d.documentElement ? node(d.documentElement) : null};
  }
  return JSON.stringify(doc(document, ''));
})())JS");
}

BrowserActions& BrowserActions::click(const QString& id, const QStringList& frames) {
    actions_.append({BrowserAction::Click, frames, id, {}, false});
    return *this;
}

BrowserActions& BrowserActions::setValue(const QString& id, const QString& value,
                                         const QStringList& frames) {
    actions_.append({BrowserAction::SetValue, frames, id, value, false});
    return *this;
}

BrowserActions& BrowserActions::setChecked(const QString& id, bool on, const QStringList& frames) {
    actions_.append({BrowserAction::SetChecked, frames, id, {}, on});
    return *this;
}

BrowserActions& BrowserActions::clickNth(const QString& tag, int index, const QStringList& frames) {
    actions_.append({BrowserAction::ClickNth, frames, {}, tag, false, index});
    return *this;
}

BrowserActions& BrowserActions::runScript(const QString& code, const QStringList& frames) {
    actions_.append({BrowserAction::RunScript, frames, {}, code, false});
    return *this;
}

QString BrowserActions::script() const {
    // The actions travel as JSON data, so no text of theirs is ever read as code except
    // the scripts themselves.
    QJsonArray list;
    for (const BrowserAction& a : actions_) {
        static const char* const kKinds[] = {"click", "value", "checked", "script", "nth"};
        list.append(QJsonObject{{QStringLiteral("op"), QLatin1String(kKinds[a.kind])},
                                {QStringLiteral("frames"), QJsonArray::fromStringList(a.frames)},
                                {QStringLiteral("id"), a.id},
                                {QStringLiteral("text"), a.text},
                                {QStringLiteral("on"), a.on},
                                {QStringLiteral("index"), a.index}});
    }
    const QString data = QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact));
    return QStringLiteral(R"JS((function (list) {
  var out = [];
  for (var i = 0; i < list.length; i++) {
    var a = list[i], w = window, ok = true;
    try {
      for (var f = 0; f < a.frames.length && ok; f++) {
        w = w.frames[a.frames[f]];
        ok = !!w;
      }
      var d = ok ? w.document : null;
      if (!d) { out.push(false); continue; }
      if (a.op === 'script') {
        // The page's own world runs the code; this world only hands it over.
        var s = d.createElement('script');
        s.text = a.text;
        (d.head || d.documentElement).appendChild(s);
        s.parentNode.removeChild(s);
        out.push(true);
        continue;
      }
      var el = a.op === 'nth' ? d.getElementsByTagName(a.text)[a.index]
                              : d.getElementById(a.id) || (d.all ? d.all[a.id] : null);
      if (!el) { out.push(false); continue; }
      if (a.op === 'click' || a.op === 'nth') el.click();
      else if (a.op === 'value') el.value = a.text;
      else if (a.op === 'checked') el.checked = a.on;
      out.push(true);
    } catch (e) { out.push(false); }
  }
  return JSON.stringify(out);
})()JS") + data +
           QStringLiteral(")");
}

QList<bool> ActionResults(const QString& json, int count) {
    const QJsonArray a = QJsonDocument::fromJson(json.toUtf8()).array();
    QList<bool> out;
    for (int i = 0; i < count; ++i)
        out.append(a.at(i).toBool());
    return out;
}

} // namespace browser
