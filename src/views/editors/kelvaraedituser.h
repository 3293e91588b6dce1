#pragma once

#include "db/recordrows.h"
#include "db/transponderidd.h"

#include <QDialog>
#include <QPointer>

class ApplicationSettings;
class KelvaraReadTag;
struct ProjectParameters;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

// Adds a user (negative key) or edits one: names, group, comment and the
// short- and long-range transponders, typed in or read on the desk reader.
class KelvaraEditUser : public QDialog
{
    Q_OBJECT

public:
    KelvaraEditUser(int userKey, ApplicationSettings &settings, const ProjectParameters &params,
                    QWidget *parent = nullptr);
    ~KelvaraEditUser() override;

    // Fills the fields from a stored user; its identifiers are also kept as
    // loaded, to see what changed.
    void setUser(const UserRow &user);

    // The action that opens the general settings; without one (or while it is
    // disabled) "Configure Programmer" is disabled.
    void setGeneralSettingsAction(QAction *action);

    QString familyName() const;
    QString firstName() const;
    TransponderIdd iddIso14443() const { return m_iddIso14443; }
    TransponderIdd iddClass1Gen2() const { return m_iddClass1Gen2; }
    // A tag is being read; the dialog is disabled and does not close meanwhile.
    bool isReadingTag() const;

public slots:
    void accept() override;
    void done(int result) override;
    void selectGroup(QAction *action);
    void readIddIso14443();
    void readIddClass1Gen2();
    void editIddIso14443();
    void editIddClass1Gen2();
    void generalSettings();
    void setHelp(bool isToolTips);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct TransponderFrame
    {
        QGroupBox *box = nullptr;
        QLineEdit *idd = nullptr;
        QLabel *sent = nullptr;
        QPushButton *edit = nullptr;
        QPushButton *read = nullptr;
        QLineEdit *comment = nullptr;
    };
    TransponderFrame createFrame(const QString &title, bool longRange);
    void editIdd(bool longRange);
    void readIdd(bool longRange);
    void showIdd(bool longRange);
    UserRow collectRow() const;

    int m_userKey;
    ApplicationSettings &m_settings;
    const ProjectParameters &m_params;
    TransponderIdd m_iddIso14443;
    TransponderIdd m_iddClass1Gen2;
    TransponderIdd m_loadedIso14443;
    TransponderIdd m_loadedClass1Gen2;
    QPointer<QAction> m_settingsAction;

    QLineEdit *m_familyName = nullptr;
    QLineEdit *m_firstName = nullptr;
    QLineEdit *m_groupName = nullptr;
    QPushButton *m_groupButton = nullptr;
    QMenu *m_groupMenu = nullptr;
    QLineEdit *m_comment = nullptr;
    TransponderFrame m_hf;
    TransponderFrame m_uhf;
    QPushButton *m_save = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_configure = nullptr;
    KelvaraReadTag *m_readTag = nullptr;
};
