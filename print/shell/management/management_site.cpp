#include "management_site.h"

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

QRect BrowserGeometryTwips(int formWidth, int formHeight, const QRect& current) {
    QRect r(0, 0, current.width(), current.height());
    if (formWidth > 100) r.setWidth(formWidth - 100);
    if (formHeight > 500) r.setHeight(formHeight - 500);
    return r;
}

QRect BrowserFormTwips() {
    return {0, 0, 18100, 10000};
}

QRect BrowserControlTwips() {
    return {0, 0, 18000, 9500};
}

} // namespace shell
