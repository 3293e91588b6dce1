#pragma once

#include <QHostAddress>
#include <QString>
#include <QtGlobal>

// One report of the UDP discovery: only the fields whose validity bit is set hold data.
struct KxLanReaderRecord
{
    enum Kind { New = 1, Gone = 2, Changed = 3 };
    enum Valid {
        ValidDeviceId = 0x01,
        ValidMac = 0x02,
        ValidIp = 0x04,
        ValidNetmask = 0x08,
        ValidGateway = 0x10,
        ValidPort = 0x20,
        ValidText1 = 0x40,
        ValidText2 = 0x80,
    };
    enum NetFlag { Dhcp = 0x80, SecurityMode = 0x40, Dns = 0x20 };

    int eventKind = 0;
    quint32 readerType = 0;
    int marker = 0;
    quint32 networkFlags = 0;
    quint32 validFlags = 0;
    quint32 deviceId = 0;
    QString mac; // "00:11:22:33:44:55"
    QHostAddress ip;
    QHostAddress netmask;
    QHostAddress gateway;
    quint16 port = 0;
    QString text1;
    QString text2;
};

// One change on the USB bus.
struct KxUsbReaderRecord
{
    enum Kind { New = 1, Gone = 2 };
    int eventKind = 0;
    int readerType = 0;
    quint32 deviceId = 0;
};

// A reader's network configuration: read from it, or what a setup asks of it
// (null addresses and port -1 leave the reader's value as it is).
struct KxNetConfig
{
    int readerType = 0;
    quint32 deviceId = 0;
    QString mac; // six upper-case hex pairs separated by ":"
    QHostAddress ip;
    int port = -1;
    QHostAddress netmask;
    QHostAddress gateway;
    bool dhcp = false;
    bool flag = false;
    QString text;
};
