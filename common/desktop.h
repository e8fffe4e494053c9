#pragma once
// Starting the system web browser on an address. Forms install a desktop-backed
// implementation; tests record the addresses instead.
#include <QList>
#include <QString>

class DesktopBrowser {
public:
    virtual ~DesktopBrowser() = default;
    virtual void open(const QString& url) = 0;
};

class RecordingDesktopBrowser : public DesktopBrowser {
public:
    QList<QString> opened;
    void open(const QString& url) override { opened.append(url); }
};
