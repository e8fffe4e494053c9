#include "shell/management/management_site.h"

namespace shell {

ManagementSite::ManagementSite(const QString& baseUrl) : base_(baseUrl.trimmed().toLower()) {
    while (base_.endsWith(u'/'))
        base_.chop(1);
}

QString ManagementSite::signInUrl() const {
    return base_ + QStringLiteral("/member/login.asp");
}

QString ManagementSite::printPagePrefix() const {
    return base_ + QStringLiteral("/member/main/print.asp?");
}

bool ManagementSite::isMemberArea(const QString& topUrl) {
    return topUrl.toLower().contains(QStringLiteral("member/index.asp"));
}

bool ManagementSite::isPrintPage(const QString& documentUrl) const {
    const QString prefix = printPagePrefix();
    return documentUrl.toLower().left(prefix.size()) == prefix;
}

CompletedDocument ClassifyCompletedDocument(const ManagementSite& site, const QString& topUrl,
                                            const QString& documentUrl) {
    return {ManagementSite::isMemberArea(topUrl), site.isPrintPage(documentUrl)};
}

QRect BrowserFormTwips() {
    return {0, 0, 18100, 10000};
}

QRect BrowserControlTwips() {
    return {0, 0, 18000, 9500};
}

} // namespace shell
