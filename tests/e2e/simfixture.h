#pragma once

// Virtual readers in-process for the reader object tests: each listens on an
// ephemeral loopback port and can sit on a private simulated USB bus.
#include "access/accessdataset.h"
#include "reader/myrdrkelvara.h"
#include "reader/readerconnection.h"
#include "reader/readerfactory.h"
#include "reader/readersettings.h"
#include "reader/readertask.h"
#include "simreader.h"
#include "support/testsupport.h"
#include "virtualreader.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QtGlobal>

#include <memory>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// Waits until every reader command a window started has ended and its
// continuation has run; false after a minute.
inline bool readersDone()
{
    return QTest::qWaitFor([] { return ReaderTask::busyCount() == 0; }, 60000);
}

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

    // A long-range reader set to anti-passback that has let one user in
    // (Monday 2035-01-08 09:00, antenna 1): the user's EPC, or none when a
    // step failed.
    std::vector<uint8_t> admitWithAntiPassback(const ReaderSettings &settings, int type)
    {
        if (!ReaderFactory::writeAccessConfiguration(settings, type, tcp(),
                                                     QStringLiteral("AntiPassBack=1"), nullptr)
                 .ok())
            return {};
        EntryAccessRow r;
        r.modelTag = QStringLiteral("A");
        r.modelDefinition = QStringLiteral("mon-07:00-18:00");
        r.familyName = QStringLiteral("Roe");
        r.iddClass1Gen2 = QStringLiteral("3000e2003412b802011a2b3c4d5e-84");
        AccessDataSet set;
        if (!set.compile({r}, {}, type))
            return {};
        MyRdrKelvara update(settings, type);
        update.runUpdateAccessConfiguration(tcp(), set);
        const QByteArray epc = QByteArray::fromHex("e2003412b802011a2b3c4d5e");
        const std::vector<uint8_t> id(epc.begin(), epc.end());
        if (!update.result().ok() || !device->presentAt(id, mondayMorning(), 1).granted)
            return {};
        return id;
    }
    static kxsim::SimDateTime mondayMorning() { return kxsim::SimDateTime{2035, 1, 8, 9, 0, 0}; }

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
