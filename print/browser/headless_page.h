#pragma once
// One page loaded offscreen and read once: what the headless page options share. Needs a
// QApplication.
#include "browser/dom_snapshot.h"

#include <QString>
#include <QUrl>

namespace browser {

struct HeadlessPage {
    enum Outcome { Read, NotLoaded, NotRead };
    Outcome outcome = NotLoaded;
    DomDocument document; // when Read
    // One line for standard error when the page was not read.
    QString why(const QString& page) const;
};

// Page files are at most this big.
constexpr qint64 kMaxPageFileBytes = 8 * 1024 * 1024;

// The address of a page named on the command line: an http(s) or data address as it is;
// a file path or file address only when the file passes the capped reader (a regular
// file of at most kMaxPageFileBytes). Empty with a one-line reason in *error otherwise.
QUrl HeadlessPageUrl(const QString& page, QString* error);

// Loads url and snapshots it. The load has timeoutMs; the reading has a time-out of its
// own, so a page whose script stays busy after loading is still read. A page that never
// says it finished loading is read too once its document is there (interactive or
// complete). A page that fails to load or cannot be read within the time is not read.
HeadlessPage LoadHeadlessPage(const QUrl& url, int timeoutMs);

} // namespace browser
