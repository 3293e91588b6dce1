#pragma once

#include "discovery/kxdiscoveryrecords.h"
#include "discovery/kxnetsetupcheck.h"

#include <QDialog>

#include <functional>

class KxWidgetNetSetup;
class QPushButton;

// The dialog around the network setup form. accept() turns the form into the
// setup record: null addresses and port -1 for what is not to change.
class KxDialogNetSetup : public QDialog
{
    Q_OBJECT
public:
    explicit KxDialogNetSetup(const KxNetConfig &config, QWidget *parent = nullptr);

    void setHelp(bool toolTips);
    const KxNetConfig &config() const { return m_config; }
    KxWidgetNetSetup *form() const { return m_form; }
    QPushButton *okButton() const { return m_ok; }

    // Shows the dialog for config and, when accepted, puts the setup into it.
    static bool edit(QWidget *parent, KxNetConfig *config, bool toolTips);
    // Refuses (critical message) or asks (question) about the findings of the
    // setup check; true when the setup may be sent.
    static bool confirm(QWidget *parent, const QList<KxNetSetupCheck::Finding> &findings);

    // Tests answer the dialog instead of a person: the answerer gets the
    // dialog, may change its form and returns Accepted or Rejected (calling
    // accept() itself counts as well).
    using Answerer = std::function<int(KxDialogNetSetup *dialog)>;
    static Answerer setAnswerer(Answerer answerer);

public slots:
    void accept() override;

private:
    KxNetConfig m_config;
    KxWidgetNetSetup *m_form;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
