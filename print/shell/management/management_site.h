#pragma once
// Addresses of the web management system and what a completed document means for the
// browser window: whether the agent is signed in, and whether a print job was handed over.
#include <QRect>
#include <QString>

namespace shell {

class ManagementSite {
public:
    // The base address; it is lower-cased and loses any trailing "/".
    explicit ManagementSite(const QString& baseUrl);

    QString baseUrl() const { return base_; }
    QString signInUrl() const;       // base + "/member/login.asp"
    QString printPagePrefix() const; // base + "/member/main/print.asp?"

    // The top-level address, in any case, lies in the member area.
    static bool isMemberArea(const QString& topUrl);
    // The completed document is the print page.
    bool isPrintPage(const QString& documentUrl) const;

private:
    QString base_;
};

struct CompletedDocument {
    bool signedIn = false;  // the new value of webSignedIn
    bool printPage = false; // run the print hand-off
};

// What the browser window does on every completed document.
CompletedDocument ClassifyCompletedDocument(const ManagementSite& site, const QString& topUrl,
                                            const QString& documentUrl);

// The window and browser places set when the browser window loads, in twips.
QRect BrowserFormTwips();
QRect BrowserControlTwips();

constexpr int kTwipsPerPixel = 15;

} // namespace shell
