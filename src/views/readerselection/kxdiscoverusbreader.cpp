#include "views/readerselection/kxdiscoverusbreader.h"

#include "views/readerselection/kxdiscovernetworkreader.h"
#include "views/readerselection/kxtableusbreaders.h"

#include <QLabel>
#include <QVBoxLayout>

KxDiscoverUsbReader::KxDiscoverUsbReader(const QSet<int> &filter,
                                         const QMap<quint32, QString> *descriptions,
                                         QWidget *parent)
    : QWidget(parent), m_readers(new KxTableUsbReaders(filter, descriptions, this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(KxDiscoverNetworkReader::titleLabel(tr("Discovered Readers"), this));
    layout->addWidget(m_readers, 1);
    connect(m_readers, &KxTableUsbReaders::readerClicked, this,
            &KxDiscoverUsbReader::currentReaderClicked);
    connect(m_readers, &KxTableUsbReaders::readerDoubleClicked, this,
            &KxDiscoverUsbReader::currentReaderDoubleClicked);
}

void KxDiscoverUsbReader::setHelp(bool toolTips)
{
    m_readers->setHelp(toolTips);
}

void KxDiscoverUsbReader::currentReaderClicked()
{
    emit readerClicked();
}

void KxDiscoverUsbReader::currentReaderDoubleClicked()
{
    emit readerDoubleClicked();
}
