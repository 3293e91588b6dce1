#include "views/readerselection/kxdiscovernetworkreader.h"

#include "discovery/kxdiscoverudp.h"
#include "views/readerselection/kxtablenetinterfaces.h"
#include "views/readerselection/kxtablenetreaders.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

KxDiscoverNetworkReader::KxDiscoverNetworkReader(const QSet<int> &filter,
                                                 const QMap<quint32, QString> *descriptions,
                                                 QWidget *parent)
    : QWidget(parent), m_interfaces(new KxTableNetInterfaces(this)),
      m_readers(new KxTableNetReaders(filter, descriptions, this)), m_status(new QLabel(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(titleLabel(tr("Network Interfaces"), this));
    m_interfaces->setFixedHeight(100);
    layout->addWidget(m_interfaces);
    layout->addWidget(titleLabel(
        tr("Discovered Readers   ( UDP must not be blocked by your firewall ! )"), this));
    m_status->setObjectName(QStringLiteral("discoveryStatus"));
    m_status->setWordWrap(true);
    m_status->setStyleSheet(QStringLiteral("color: rgb(170,0,0); padding: 4px"));
    m_status->setVisible(false);
    layout->addWidget(m_status);
    layout->addWidget(m_readers, 1);

    connect(m_interfaces, &KxTableNetInterfaces::currentInterfaceChanged, this,
            &KxDiscoverNetworkReader::currentInterfaceChanged);
    connect(m_readers, &KxTableNetReaders::readerClicked, this,
            &KxDiscoverNetworkReader::currentReaderClicked);
    connect(m_readers, &KxTableNetReaders::readerDoubleClicked, this,
            &KxDiscoverNetworkReader::currentReaderDoubleClicked);
    m_interfaces->listInterfaces();
    if (m_interfaces->currentAddress().isEmpty())
        showStatus(tr("No LAN interface available: the discovery cannot run."));
}

QLabel *KxDiscoverNetworkReader::titleLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont font = label->font();
    font.setWeight(75);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("background: rgb(255,255,188)"));
    label->setFixedHeight(30);
    return label;
}

QString KxDiscoverNetworkReader::statusText() const
{
    return m_status->isHidden() ? QString() : m_status->text();
}

void KxDiscoverNetworkReader::showStatus(const QString &text)
{
    m_status->setText(text);
    m_status->setHidden(text.isEmpty());
}

void KxDiscoverNetworkReader::setHelp(bool toolTips)
{
    m_interfaces->setHelp(toolTips);
    m_readers->setHelp(toolTips);
}

void KxDiscoverNetworkReader::currentInterfaceChanged()
{
    KxDiscoverUdp *discovery = m_readers->discovery();
    discovery->stop();
    discovery->clearPending();
    m_readers->setRowCount(0);
    showStatus(QString());
    // The previous discovery's readers get time to fall silent; a newer change wins.
    const int generation = ++m_generation;
    QTimer::singleShot(500, this, [this, generation] { startDiscovery(generation); });
}

void KxDiscoverNetworkReader::startDiscovery(int generation)
{
    if (generation != m_generation)
        return;
    const QString address = m_interfaces->currentAddress();
    if (address.isEmpty())
        return;
    m_readers->setInterface(address, m_interfaces->currentNetMask());
    KxDiscoverUdp *discovery = m_readers->discovery();
    if (discovery->isRunning())
        return;
    if (discovery->start(address) != 0) {
        const ErrorInfo e = discovery->error();
        showStatus(tr("The discovery on %1 did not start (error %2): %3")
                       .arg(address)
                       .arg(e.code)
                       .arg(e.detail));
    }
}

void KxDiscoverNetworkReader::currentReaderClicked()
{
    emit readerClicked();
}

void KxDiscoverNetworkReader::currentReaderDoubleClicked()
{
    emit readerDoubleClicked();
}
