#include "views/settings/kelvaraprojectsettingsdialog.h"

#include "core/applicationsettings.h"
#include "db/recordcounts.h"
#include "views/readerselection/kxhelptext.h"
#include "widgets/guimessages.h"
#include "widgets/kxdialogrun.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxsizing.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

KelvaraProjectSettingsDialog::Answerer &answerer()
{
    static KelvaraProjectSettingsDialog::Answerer instance;
    return instance;
}

bool isChecked(int state)
{
    return state != Qt::Unchecked;
}

// The technology's picture, 150 pixels high, beside the part's controls.
QLabel *technologyPicture(const QString &resource, const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    QPixmap picture(resource);
    if (!picture.isNull() && picture.height() != 150)
        picture = picture.scaledToHeight(150, Qt::SmoothTransformation);
    label->setPixmap(picture);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumHeight(150);
    return label;
}

} // namespace

KelvaraProjectSettingsDialog::KelvaraProjectSettingsDialog(ProjectParameters &params,
                                                           bool isNewProject, QWidget *parent)
    : QDialog(parent), m_params(params)
{
    if (isNewProject) {
        ProjectParameters defaults;
        defaults.projectPath = params.projectPath;
        defaults.databasePath = params.databasePath;
        m_params = defaults;
    }
    setWindowTitle(isNewProject ? tr("New Project Settings") : tr("Project Settings"));

    auto *shortRange = new QGroupBox(tr("Short Range"), this);
    m_hf = new QCheckBox(tr("Use Short Range Transponder / Reader"), shortRange);
    m_iso = new QCheckBox(tr("ISO15693 support"), shortRange);
    auto *hfRow = new QHBoxLayout(shortRange);
    hfRow->addWidget(technologyPicture(QStringLiteral(":/transponder-hf.png"),
                                       QStringLiteral("hfPicture"), shortRange));
    auto *hfLayout = new QVBoxLayout;
    hfLayout->addStretch();
    hfLayout->addWidget(m_hf);
    hfLayout->addWidget(m_iso);
    hfLayout->addStretch();
    hfRow->addLayout(hfLayout, 1);

    auto *longRange = new QGroupBox(tr("Long Range"), this);
    m_uhf = new QCheckBox(tr("Use Long Range Transponder / Reader"), longRange);
    m_filterLabel = new QLabel(tr("Transponder Filter"), longRange);
    m_filterLabel->setStyleSheet(QStringLiteral("background: rgb(0,170,240)"));
    m_filter[0] = new QCheckBox(tr("Filter 1"), longRange);
    m_korvex = new QCheckBox(tr("KORVEX Transponder"), longRange);
    m_filter[1] = new QCheckBox(tr("Filter 2"), longRange);
    m_filter[2] = new QCheckBox(tr("Filter 3"), longRange);
    auto *uhfRow = new QHBoxLayout(longRange);
    uhfRow->addWidget(technologyPicture(QStringLiteral(":/transponder-uhf.png"),
                                        QStringLiteral("uhfPicture"), longRange),
                      0, Qt::AlignTop);
    auto *grid = new QGridLayout;
    uhfRow->addLayout(grid, 1);
    grid->addWidget(m_uhf, 0, 0, 1, 2);
    grid->addWidget(m_filterLabel, 1, 0, 1, 2);
    for (int i = 0; i < 3; ++i) {
        m_mask[i] = new QLineEdit(longRange);
        m_mask[i]->setInputMask(QStringLiteral("hhhhhhhhhhhhhhhhhhhhhhhh"));
        m_mask[i]->setMinimumWidth(m_mask[i]->fontMetrics().horizontalAdvance(QLatin1Char('D')) *
                                   26);
        grid->addWidget(m_filter[i], 2 + i * 2, 0);
        grid->addWidget(m_mask[i], 2 + i * 2, 1);
    }
    grid->addWidget(m_korvex, 3, 1);

    m_ok = new QPushButton(tr("Ok"), this);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_cancel->setVisible(!isNewProject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);

    // The first item is this computer's zone, stored as no name.
    m_timeZone = new QComboBox(this);
    m_timeZone->setObjectName(QStringLiteral("siteTimeZone"));
    m_timeZone->addItem(
        tr("This computer's (%1)").arg(QString::fromUtf8(QTimeZone::systemTimeZoneId())),
        QString());
    for (const QByteArray &id : QTimeZone::availableTimeZoneIds())
        m_timeZone->addItem(QString::fromUtf8(id), QString::fromUtf8(id));
    m_timeZone->setCurrentIndex(qMax(0, m_timeZone->findData(m_params.siteTimeZone)));
    auto *site = new QHBoxLayout;
    site->addWidget(new QLabel(tr("Time zone of the site"), this));
    site->addWidget(m_timeZone, 1);

    m_keepEvents = new QSpinBox(this);
    m_keepEvents->setObjectName(QStringLiteral("keepEventsDays"));
    m_keepEvents->setRange(0, ProjectParameters::MaxKeepEventsDays);
    m_keepEvents->setSpecialValueText(tr("for ever"));
    m_keepEvents->setSuffix(tr(" days"));
    m_keepEvents->setValue(m_params.keepEventsDays);
    auto *keep = new QHBoxLayout;
    auto *keepLabel = new QLabel(tr("Keep events for"), this);
    keepLabel->setBuddy(m_keepEvents);
    keep->addWidget(keepLabel);
    keep->addWidget(m_keepEvents);
    keep->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(site);
    layout->addLayout(keep);
    layout->addWidget(shortRange);
    layout->addWidget(longRange);
    layout->addStretch();
    layout->addLayout(buttons);

    m_hf->setChecked(m_params.haveHfReader);
    m_iso->setChecked(m_params.supportIso15693);
    m_uhf->setChecked(m_params.haveUhfReader);
    const SelectionMask *masks[3] = {&m_params.uhfSelectionMask1, &m_params.uhfSelectionMask2,
                                     &m_params.uhfSelectionMask3};
    for (int i = 0; i < 3; ++i) {
        m_filter[i]->setChecked(!masks[i]->isEmpty());
        m_mask[i]->setText(maskToText(*masks[i]));
    }
    m_korvex->setChecked(m_params.uhfSelectionMask1 == korvexMask());
    m_iso->setVisible(m_hf->isChecked());

    // A technology the entries already use cannot be switched off.
    int entries = 0;
    if (!isNewProject && RecordCounts::read(m_params.databasePath, nullptr, &entries) &&
        entries > 0) {
        for (QCheckBox *box : {m_hf, m_iso, m_uhf})
            box->setEnabled(!box->isChecked());
    }

    connect(m_hf, &QCheckBox::stateChanged, this, &KelvaraProjectSettingsDialog::changedHaveHfRdr);
    connect(m_uhf, &QCheckBox::stateChanged, this,
            &KelvaraProjectSettingsDialog::changedHaveUhfRdr);
    for (QCheckBox *box : m_filter)
        connect(box, &QCheckBox::stateChanged, this,
                &KelvaraProjectSettingsDialog::enableSelectionMask);
    connect(m_korvex, &QCheckBox::stateChanged, this,
            &KelvaraProjectSettingsDialog::enableKorvexTagMask);
    connect(m_ok, &QPushButton::clicked, this, &KelvaraProjectSettingsDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    applyVisibility();
}

bool KelvaraProjectSettingsDialog::run(QWidget *parent, ApplicationSettings &settings,
                                       ProjectParameters &params, bool isNewProject)
{
    KelvaraProjectSettingsDialog dialog(params, isNewProject, parent);
    dialog.setHelp(settings.areToolTipsOn);
    kxPlaceDialog(&dialog, settings.projectSettingsDialogGeometry.size());
    const int answer = execOrAnswer(dialog, answerer());
    settings.projectSettingsDialogGeometry = dialog.geometry();
    return answer == QDialog::Accepted;
}

KelvaraProjectSettingsDialog::Answerer KelvaraProjectSettingsDialog::setAnswerer(Answerer next)
{
    Answerer previous = answerer();
    answerer() = std::move(next);
    return previous;
}

bool KelvaraProjectSettingsDialog::maskFromText(const QString &text, SelectionMask *mask)
{
    return SelectionMask::fromHex(text, mask);
}

QString KelvaraProjectSettingsDialog::maskToText(const SelectionMask &mask)
{
    return mask.toHex();
}

SelectionMask KelvaraProjectSettingsDialog::korvexMask()
{
    return SelectionMask::makerMask();
}

void KelvaraProjectSettingsDialog::setHelp(bool toolTips)
{
    kxSetHelpText(m_hf, tr("Use short range (HF) transponder and reader"), toolTips);
    kxSetHelpText(m_iso, tr("Support ISO 15693 transponder"), toolTips);
    kxSetHelpText(m_uhf, tr("Use long range (UHF) transponder and reader"), toolTips);
    for (QCheckBox *box : m_filter)
        kxSetHelpText(box, tr("Use transponder filter"), toolTips);
    kxSetHelpText(m_korvex, tr("Set filter for KORVEX transponder"), toolTips);
    kxSetHelpText(m_timeZone,
                  tr("The readers' clocks are set to this time zone, and every time shown or "
                     "entered is a time of the site. Choose it when this computer (a server, "
                     "say) runs in another zone than the doors."),
                  toolTips);
    for (QLineEdit *edit : m_mask)
        kxSetHelpText(edit, tr("Input transponder filter (hex. notation)"), toolTips);
    kxSetHelpText(m_keepEvents,
                  tr("Events read from the readers older than this are removed after each "
                     "read (0: kept for ever)."),
                  toolTips);
}

void KelvaraProjectSettingsDialog::changedHaveHfRdr(int state)
{
    m_iso->setVisible(isChecked(state));
    if (!isChecked(state)) {
        m_iso->setChecked(false);
        if (!m_uhf->isChecked())
            m_uhf->setChecked(true);
    }
    applyVisibility();
}

void KelvaraProjectSettingsDialog::changedHaveUhfRdr(int state)
{
    if (!isChecked(state) && !m_hf->isChecked())
        m_hf->setChecked(true);
    applyVisibility();
}

void KelvaraProjectSettingsDialog::enableSelectionMask(int)
{
    applyVisibility();
}

void KelvaraProjectSettingsDialog::enableKorvexTagMask(int state)
{
    m_mask[0]->setText(isChecked(state) ? korvexMask().toHex() : QString());
    applyVisibility();
}

void KelvaraProjectSettingsDialog::applyVisibility()
{
    const bool longRange = m_uhf->isChecked();
    const bool one = longRange && m_filter[0]->isChecked();
    const bool two = one && m_filter[1]->isChecked();
    const bool three = two && m_filter[2]->isChecked();
    m_filterLabel->setVisible(longRange);
    m_filter[0]->setVisible(longRange);
    m_korvex->setVisible(one);
    m_mask[0]->setVisible(one);
    m_mask[0]->setEnabled(!m_korvex->isChecked());
    m_filter[1]->setVisible(one);
    m_mask[1]->setVisible(two);
    m_filter[2]->setVisible(two);
    m_mask[2]->setVisible(three);
}

void KelvaraProjectSettingsDialog::accept()
{
    const QString title = windowTitle();
    SelectionMask masks[3];
    for (int i = 0; i < 3; ++i) {
        if (m_filter[i]->isChecked() && !maskFromText(m_mask[i]->text(), &masks[i])) {
            KxMessageBox::critical(this, title,
                                   tr("Filter %1 is no valid transponder filter.\nPlease enter "
                                      "up to 48 hexadecimal digits.")
                                       .arg(i + 1));
            return;
        }
    }
    ProjectParameters next = m_params;
    next.haveHfReader = m_hf->isChecked();
    next.supportIso15693 = m_iso->isChecked();
    next.haveUhfReader = m_uhf->isChecked();
    next.uhfSelectionMask1 = masks[0];
    next.uhfSelectionMask2 = masks[1];
    next.uhfSelectionMask3 = masks[2];
    next.siteTimeZone = m_timeZone->currentData().toString();
    next.keepEventsDays = m_keepEvents->value();

    int users = 0;
    int entries = 0;
    if (!RecordCounts::read(m_params.databasePath, &users, &entries) || users < 0 || entries < 0) {
        KxMessageBox::critical(this, title, tr("Cannot read the project database."));
        return;
    }
    m_iso15693Changed = entries > 0 && next.supportIso15693 != m_params.supportIso15693;
    m_selectionMaskChanged = entries > 0 && (next.uhfSelectionMask1 != m_params.uhfSelectionMask1 ||
                                             next.uhfSelectionMask2 != m_params.uhfSelectionMask2 ||
                                             next.uhfSelectionMask3 != m_params.uhfSelectionMask3);
    m_hfIddsWidened = false;

    const QString isoTitle = tr("Support ISO15693");
    const bool widens = users > 0 && next.supportIso15693 && next.hfIddLength < 8;
    if (widens && KxMessageBox::question(
                      this, isoTitle,
                      tr("For ISO15693 support your project database must be updated to 8 byte "
                         "UID's.\nSubsequent you have to configure all proximidy readers again "
                         "and\nupdate their access configuration!\n\nDo you want to continue?")) !=
                      QMessageBox::Yes)
        return;
    ProjectParameters::completeSettings(next);
    QSqlError error;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        // Widens the identifiers, marks the entries and writes the settings in
        // one transaction.
        error = m_params.saveSettings(next, &m_hfIddsWidened);
        QApplication::restoreOverrideCursor();
    }
    if (error.isValid()) {
        showDatabaseError(this, widens ? isoTitle : title, error);
        return;
    }
    emit settingsChanged();
    QDialog::accept();
}
