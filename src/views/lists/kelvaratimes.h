#pragma once

#include <QString>
#include <QWidget>

class ApplicationSettings;
class QLabel;
class QTableWidget;
class QToolButton;

// The time model view: the project's time models by tag, with the editor
// for one model and the holiday editor. The built-in model "***" ("Always")
// is put back whenever the list is built and can be neither edited nor
// removed.
class KelvaraTimes : public QWidget
{
    Q_OBJECT

public:
    enum Column { TagColumn = 0, NameColumn = 1, DefinitionColumn = 2 };

    static const QString AlwaysTag;
    static const QString AlwaysDefinition;

    explicit KelvaraTimes(ApplicationSettings &settings, QWidget *parent = nullptr);

    void setDatabasePath(const QString &databasePath);
    // Empty: models and holidays may be changed; else the buttons are off
    // and say why (the operator's role may not).
    void setChangesRefused(const QString &why);
    QString databasePath() const { return m_databasePath; }

    QTableWidget *table() const { return m_table; }
    QToolButton *addButton() const { return m_add; }
    QToolButton *editButton() const { return m_edit; }
    QToolButton *removeButton() const { return m_remove; }
    QToolButton *holidaysButton() const { return m_holidays; }

    // The row showing the tag, or -1.
    int rowOfTag(const QString &tag) const;

signals:
    // Models or holidays changed: the board shows tags and pending marks.
    void changed();

public slots:
    void buildList();
    void setHelp(bool isToolTips);
    void editHolidays();
    void addModel();
    void editModel();
    void removeModel();
    void cellDoubleClicked(int row, int column);

protected:
    // However the view is shown (its show() slot is QWidget's), it shows a
    // fresh list: built now unless it was built while the view was hidden.
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    static QString helpText();
    void runEditor(int pkTimes, const QString &tag, const QString &name, const QString &definition);
    void selectTag(const QString &tag);
    void updateButtons();
    // The tag of the current row, or an empty text.
    QString currentTag() const;
    void storeColumnWidths();

    ApplicationSettings &m_settings;
    QString m_databasePath;
    // Built since the view was last hidden or given another database.
    bool m_listFresh = false;
    bool m_toolTips = false;
    QString m_refused;
    QLabel *m_picture = nullptr;
    QLabel *m_help = nullptr;
    QToolButton *m_add = nullptr;
    QToolButton *m_edit = nullptr;
    QToolButton *m_remove = nullptr;
    QToolButton *m_holidays = nullptr;
    QTableWidget *m_table = nullptr;
};
