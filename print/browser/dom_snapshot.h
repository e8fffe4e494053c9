#pragma once
// A page as one script collected it in a single round trip: every node of the top
// document and of its frames, with the live values of form controls. Page handlers
// decide from a snapshot without waiting on the engine again.
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

#include <memory>
#include <vector>

namespace browser {

struct DomDocument;

struct DomNode {
    enum Kind { Element, Text, Comment };
    Kind kind = Element;
    QString tag;                               // elements: upper case
    QList<QPair<QString, QString>> attributes; // in document order
    QString text;                              // text and comment nodes
    std::vector<DomNode> children;
    bool hasValue = false; // form controls: the live value below
    QString value;
    bool checked = false;
    QString display;                    // the element's style display, empty when unset
    std::shared_ptr<DomDocument> frame; // FRAME and IFRAME: the document inside

    QString attribute(const QString& name) const; // case-insensitive name; empty when absent
    bool hasAttribute(const QString& name) const;
    QString id() const { return attribute(QStringLiteral("id")); }

    // Markup in the dialect the callers cut (upper-case tags, bare plain attribute values).
    QString outerMarkup() const;
    QString innerMarkup() const;
    // The concatenated text of the node and its descendants.
    QString textContent() const;
};

struct DomDocument {
    QString name; // frame name; empty for the top document
    QString url;  // the document's address
    QString title;
    QString readyState;
    bool accessible = true; // false when the frame could not be read (another origin)
    DomNode root;           // the document element

    const DomNode* body() const;
    const DomNode* elementById(const QString& id) const;
    // Elements of one tag (case-insensitive) in document order, as getElementsByTagName.
    std::vector<const DomNode*> elementsByTagName(const QString& tag) const;
    // The document of the direct child frame with this name, or null.
    const DomDocument* frame(const QString& name) const;
    // Direct child frame documents in document order.
    std::vector<const DomDocument*> frames() const;
};

// Builds a document from the collector script's JSON; a malformed object gives an empty one.
DomDocument DocumentFromJson(const QJsonObject& object);
DomDocument DocumentFromJson(const QByteArray& json);

} // namespace browser

namespace browser {

// The document's markup followed by that of every frame, depth first, each frame
// introduced by a comment line naming the frame and its address.
QString MarkupWithFrames(const DomDocument& document);

} // namespace browser
