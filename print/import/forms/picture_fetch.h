#pragma once
// Fetches a picture code into a picture control with the program's shared cookies, through
// a temporary file that is deleted afterwards. Nothing waits: the picture appears when the
// download is done, and a control that closed meanwhile is left alone. A failed download
// leaves the picture empty.
#include <QString>
#include <QUrl>

class QLabel;

namespace browser {
class BrowserProfile;
}

namespace ximport {

void FetchPicture(browser::BrowserProfile& profile, QLabel* target, const QUrl& url, int timeoutMs);

} // namespace ximport
