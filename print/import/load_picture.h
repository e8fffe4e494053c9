#pragma once
// LoadPictureFromURL: the picture-code fetch shared by the import windows.
//
// The picture is downloaded through the browsers' shared profile, so the site sees the
// same visitor and cookies as the page beside it, into a temporary folder of the program's
// own that is removed whatever happens. The call returns at once and the window keeps
// processing its events; the picture appears in target when complete. After timeoutMs
// the fetch is given up and target stays empty. Fetches for one target run one after
// another in call order (the site keeps the code of the last picture it served); a call
// made while one is under way replaces any call still waiting behind it. A target that
// closes meanwhile is left alone.
#include <QString>

#include <functional>

class QLabel;

namespace browser {
class BrowserProfile;
}

namespace ximport {

// A few seconds: a picture code that takes longer is fetched again by the agent.
constexpr int kPictureTimeoutMs = 5000;

// done(true) when the picture was shown, done(false) when it failed, timed out or was
// replaced by a later call before it started.
void LoadPictureFromURL(QLabel* target, const QString& url, browser::BrowserProfile& profile,
                        int timeoutMs = kPictureTimeoutMs, std::function<void(bool)> done = {});

} // namespace ximport
