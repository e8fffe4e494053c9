#include "support/station.h"

#include "common/fso.h"
#include "itinerary/forms/p_guonei.h"
#include "itinerary/forms/print_form_host.h"
#include "sms/sms_account.h"
#include "support/gui.h"
#include "support/local_gateway.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace support {

LocalGateway& SharedGateway() {
    // Kept for the whole test program; the gateway ends with it (its input closes).
    static LocalGateway* const gateway = new LocalGateway;
    return *gateway;
}

Station::Station(browser::WebModule* pages) : pages_(pages) {
    // Nothing leaves the machine: a service a test does not start is a closed port.
    const QString closed = QStringLiteral("http://127.0.0.1:1/");
    for (const char* key :
         {"ManagementSiteUrl", "VerificationSiteUrl", "PlatformSite1Url", "PlatformSite2Url"})
        deploy.insert(QString::fromLatin1(key), closed);
    deploy.insert(QStringLiteral("VendorServiceUrl"), closed + QStringLiteral("service.asp"));
    deploy.insert(QStringLiteral("ContactUrl"), closed + QStringLiteral("contact.html"));
    deploy.insert(QStringLiteral("FontDownloadUrl"), closed + QStringLiteral("fonts.html"));
    deploy.insert(QStringLiteral("HttpTimeoutMs"), QStringLiteral("3000"));
}

Station::~Station() {
    root_.reset(); // the windows go before the seams they use
    Settle();
}

app::Workstation& Station::root() {
    if (root_) return *root_;
    if (!deploy.contains(QStringLiteral("SmsGatewayHost"))) {
        deploy.insert(QStringLiteral("SmsGatewayHost"), SharedGateway().host());
        if (!common::FileExists(sms::SmsSetupPath(dir.path())))
            common::WriteTextFile(sms::SmsSetupPath(dir.path()),
                                  QStringLiteral("demo\r\ndemo123\r\n1"));
    }
    QString ini = QStringLiteral("[deploy]\n");
    for (auto it = deploy.cbegin(); it != deploy.cend(); ++it)
        ini += it.key() + u'=' + it.value() + u'\n';
    EXPECT_TRUE(common::WriteTextFile(dir.filePath(QStringLiteral("deploy.ini")), ini));
    app::Seams seams{&messages,
                     &fileDialogs,
                     &desktop,
                     &clock,
                     [this]() -> std::unique_ptr<itin::PrintSurface> {
                         if (printerMissing) return nullptr;
                         return std::make_unique<RecordingSurface>(&printed);
                     },
                     pages_};
    root_ = std::make_unique<app::Workstation>(dir.path(), std::move(seams));
    return *root_;
}

itin::P_GuoNei* Station::openForm() {
    itin::P_GuoNei* form = root().printForms().show();
    form->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form));
    return form;
}

void StationTest::type(QWidget* box, const QString& text) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Delete);
    else
        QTest::keyClicks(box, text);
}

void StationTest::leave(itin::P_GuoNei* form) {
    Child<QPushButton>(form, "cmdprint")->setFocus();
}

void StationTest::tick(itin::P_GuoNei* form) {
    QMetaObject::invokeMethod(Child<QTimer>(form, "Timer1"), "timeout");
}

} // namespace support
