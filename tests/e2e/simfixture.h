#pragma once

// Virtual readers in-process for the reader object tests: each listens on an
// ephemeral loopback port and can sit on a private simulated USB bus.
#include "reader/readerconnection.h"
#include "support/testsupport.h"
#include "reader/readersettings.h"
#include "simreader.h"
#include "virtualreader.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

#include <memory>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

struct SimFixture
{
    std::shared_ptr<kxsim::VirtualReader> device;
    std::unique_ptr<kxsim::SimReader> sim;

    explicit SimFixture(const kxsim::VirtualReaderSetup &setup, bool onUsb = false)
        : device(std::make_shared<kxsim::VirtualReader>(setup)), sim(new kxsim::SimReader(device))
    {
        m_listening = sim->listenTcp("127.0.0.1", 0);
        if (onUsb)
            m_listening = m_listening && sim->plugUsb();
    }
    static kxsim::VirtualReaderSetup setupOf(int type, quint32 deviceId = 0x00C0FFEE)
    {
        kxsim::VirtualReaderSetup s;
        s.type = type;
        s.deviceId = deviceId;
        return s;
    }
    bool isValid() const { return m_listening; }

    ReaderConnection tcp(const QString &logKey = QStringLiteral("Door")) const
    {
        ReaderConnection c;
        c.logKey = logKey;
        c.host = QStringLiteral("127.0.0.1");
        c.portValue = sim->tcp().port();
        c.timeoutMs = 2000;
        return c;
    }
    ReaderConnection usb(const QString &logKey = QStringLiteral("Door")) const
    {
        ReaderConnection c;
        c.logKey = logKey;
        c.deviceId = device->deviceId();
        c.timeoutMs = 2000;
        return c;
    }

    // Writes a block straight into the reader, as if left from earlier work.
    void dirtyBlock(int number, quint8 fill)
    {
        std::vector<uint8_t> request(17, fill);
        request[0] = uint8_t(0x80 | number);
        uint8_t status = 0;
        std::vector<uint8_t> answer;
        device->handleFrame(255, 0x81, request, status, answer);
    }

private:
    bool m_listening = false;
};

// A loopback port nobody listens on.
inline int unusedPort()
{
    return TestSupport::unusedLoopbackPort();
}

// A project folder for the reader logs and a private USB bus for the test program.
struct ReaderTestEnvironment
{
    QTemporaryDir project;
    QTemporaryDir bus;
    ReaderSettings settings;

    ReaderTestEnvironment()
    {
        qputenv("KXUSB_BUS_DIR", QFile::encodeName(bus.path()));
        settings.project.projectPath = project.path();
    }
    ~ReaderTestEnvironment() { qunsetenv("KXUSB_BUS_DIR"); }

    QString readLog(const QString &logKey) const
    {
        QFile f(QDir(project.path()).filePath(QStringLiteral("log/log-%1").arg(logKey)) +
                QLatin1Char('/') +
                QStringLiteral("log-%1.log")
                    .arg(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));
        if (!f.open(QIODevice::ReadOnly))
            return QString();
        return QString::fromLocal8Bit(f.readAll());
    }
};
