#pragma once
// Starts the local vendor service (tests/sites/vendor_service.py) and reads the port it
// prints; stops it when destroyed.
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

class VendorServiceProcess {
public:
    explicit VendorServiceProcess(const QStringList& extraArgs = {}) {
        const QString script =
            qEnvironmentVariable("WS_SOURCE_DIR", QStringLiteral(WS_SOURCE_DIR)) +
            QStringLiteral("/tests/sites/vendor_service.py");
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStringLiteral(WS_PYTHON), QStringList{script} + extraArgs);
        if (!process_.waitForStarted(10000)) return;
        for (int tries = 0; tries < 100 && !process_.canReadLine(); ++tries)
            process_.waitForReadyRead(100);
        const QByteArray line = process_.readLine().trimmed();
        if (line.startsWith("PORT ")) port_ = line.mid(5).toInt();
    }
    ~VendorServiceProcess() {
        process_.kill();
        process_.waitForFinished(5000);
    }
    bool running() const { return port_ > 0; }
    QString url(const QString& path = QStringLiteral("/service.asp")) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path);
    }

private:
    QProcess process_;
    int port_ = 0;
};
