#pragma once
// One sign-in path wired as the program wires it, but with recorded messages, a temporary
// program folder and a chosen service address.
#include "common/forms/held_input_wait.h"
#include "shell/vendor_session.h"
#include "shell/forms/reg1.h"
#include "shell/forms/reg2.h"
#include "shell/forms/reg3.h"
#include "shell/forms/sign_in_flow.h"
#include "shell/vendor_codec.h"

#include "common/clock.h"
#include "common/deploy_config.h"
#include "common/fso.h"
#include "common/messages.h"
#include "common/net/http_client.h"
#include "support/doubles.h"
#include "support/gui.h"

#include <QApplication>
#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrlQuery>

#include <memory>

struct FormsFixture {
    explicit FormsFixture(const QString& serviceUrl, int timeoutMs = 5000) {
        config.set(QStringLiteral("VendorServiceUrl"), serviceUrl);
        config.set(QStringLiteral("HttpTimeoutMs"), QString::number(timeoutMs));
        http = std::make_unique<net::HttpClient>(config, &hook);
        vendor = std::make_unique<shell::VendorSession>(config, keys, *http, messages, clock, random);
        flow = std::make_unique<shell::SignInFlow>(*vendor, messages, config, dir.path());
        QObject::connect(flow.get(), &shell::SignInFlow::signedIn, [this] { ++signedIn; });
    }

    template <typename T = QLineEdit> static T* child(QWidget* form, const char* name) {
        return form ? form->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    }
    static void click(QWidget* form, const char* name) { child<QPushButton>(form, name)->click(); }
    // Lets closed forms go away.
    static void settle() { support::Settle(); }
    QStringList messageTexts() const { return support::ShownTexts(messages); }
    QString upIni() const { return common::ReadTextFile(flow->upIniPath()); }

    // Test hooks of the local service.
    QString hook_get(const QString& path, const QList<QPair<QString, QString>>& query = {}) {
        QUrl url(config.value(QStringLiteral("VendorServiceUrl")));
        url.setPath(path);
        QUrlQuery q;
        for (const auto& kv : query)
            q.addQueryItem(kv.first, kv.second);
        url.setQuery(q);
        return QString::fromUtf8(http->get(url.toString()).body);
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

    QTemporaryDir dir;
    common::DeployConfig config;
    shell::CipherKeyTable keys = *shell::CipherKeyTable::parse(
        common::DeployConfig().value(QStringLiteral("CipherKeyTable")));
    forms::HeldInputWait hook;
    std::unique_ptr<net::HttpClient> http;
    common::RecordingMessages messages;
    common::SystemClock clock;
    shell::SystemRandom random;
    std::unique_ptr<shell::VendorSession> vendor;
    std::unique_ptr<shell::SignInFlow> flow;
    int signedIn = 0;
};

// A fresh account name for each use, so tests sharing a service do not meet.
inline QString FreshName(const char* stem) {
    static int n = 0;
    return QString::fromLatin1(stem) +
           QString::number(QDateTime::currentMSecsSinceEpoch() % 100000) + QString::number(++n);
}
