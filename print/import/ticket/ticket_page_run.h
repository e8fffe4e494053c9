#pragma once
// The result-page rule without the dialog: loads a page headless in the embedded browser
// and applies it to a record as a finished download in "票号导入" would. Behind
// "print --ticket-page PAGE"; needs a QApplication.
#include <QString>
#include <QUrl>

namespace itin {
class ItineraryRecord;
}

namespace ximport {

struct TicketPageRun {
    bool loaded = false; // false: error says why
    QString error;
    bool result = false; // the page carried the marker and was cut
};

// The address of page: an http(s) address as it is, a readable file (up to 8 MB) as a
// file address; empty with a one-line reason in *error otherwise.
QUrl TicketPageUrl(const QString& page, QString* error);

// page: a file path or an http(s) address. PNC.txt goes to programFolder.
TicketPageRun ApplyTicketPage(const QString& page, itin::ItineraryRecord& record,
                              const QString& programFolder, int timeoutMs);

} // namespace ximport
