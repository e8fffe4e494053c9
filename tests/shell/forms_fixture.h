#pragma once
// The sign-in path as the program builds it (the station's composition root), with recorded
// messages, a temporary program folder and a chosen vendor service address.
#include "app/web_pages.h"
#include "common/fso.h"
#include "common/net/http_client.h"
#include "shell/forms/reg1.h"
#include "shell/forms/reg2.h"
#include "shell/forms/reg3.h"
#include "shell/forms/sign_in_flow.h"
#include "shell/vendor_codec.h"
#include "shell/vendor_session.h"
#include "support/gui.h"
#include "support/station.h"

#include <QApplication>
#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrlQuery>

struct FormsFixture : support::Station {
    explicit FormsFixture(const QString& serviceUrl, int timeoutMs = 5000)
        : Station(&app::LinkedWebModule()) {
        deploy.insert(QStringLiteral("VendorServiceUrl"), serviceUrl);
        deploy.insert(QStringLiteral("HttpTimeoutMs"), QString::number(timeoutMs));
        deploy.insert(QStringLiteral("SmsGatewayHost"), QStringLiteral("127.0.0.1:1"));
    }
    // The company sign-in form: the one the program opens as it starts, then a fresh one.
    shell::Reg1* start() {
        if (flow) return flow->start();
        EXPECT_TRUE(root().start());
        flow = root().signIn();
        vendor = root().vendor();
        QObject::connect(flow, &shell::SignInFlow::signedIn, [this] { ++signedIn; });
        return flow->reg1();
    }

    template <typename T = QLineEdit> static T* child(QWidget* form, const char* name) {
        return form ? form->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    }
    static void click(QWidget* form, const char* name) { child<QPushButton>(form, name)->click(); }
    // Lets closed forms go away.
    static void settle() { support::Settle(); }
    QStringList messageTexts() const { return support::ShownTexts(messages); }
    QString upIniPath() const { return dir.filePath(QStringLiteral("UP.ini")); }
    QString upIni() const { return common::ReadTextFile(upIniPath()); }

    // Test hooks of the local service.
    QString hook_get(const QString& path, const QList<QPair<QString, QString>>& query = {}) {
        QUrl url(deploy.value(QStringLiteral("VendorServiceUrl")));
        url.setPath(path);
        QUrlQuery q;
        for (const auto& kv : query)
            q.addQueryItem(kv.first, kv.second);
        url.setQuery(q);
        return QString::fromUtf8(root().http().get(url.toString()).body);
    }
    void queueReply(const QString& s, const QString& reply) {
        hook_get(QStringLiteral("/__queue"),
                 {{QStringLiteral("s"), s}, {QStringLiteral("reply"), reply}});
    }
    QJsonArray requests() {
        return QJsonDocument::fromJson(hook_get(QStringLiteral("/__requests")).toUtf8()).array();
    }
    QJsonObject company(const QString& user) {
        return QJsonDocument::fromJson(
                   hook_get(QStringLiteral("/__company"), {{QStringLiteral("u"), user}}).toUtf8())
            .object();
    }

    shell::SignInFlow* flow = nullptr;      // after start()
    shell::VendorSession* vendor = nullptr; // after start()
    int signedIn = 0;
};

// A fresh account name for each use, so tests sharing a service do not meet.
inline QString FreshName(const char* stem) {
    static int n = 0;
    return QString::fromLatin1(stem) +
           QString::number(QDateTime::currentMSecsSinceEpoch() % 100000) + QString::number(++n);
}
