#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

// A find bar in the manner of an editor's: a text, previous and next, the
// number of matches and a switch that shows only the matches. Escape closes
// it; the owner does the finding.
class KxFindBar : public QWidget
{
    Q_OBJECT

public:
    explicit KxFindBar(QWidget *parent = nullptr);

    QString text() const;
    bool isFilterOn() const;
    QLineEdit *lineEdit() const { return m_edit; }
    QCheckBox *filterBox() const { return m_filter; }
    QString matchText() const;
    void setMatchText(const QString &text, bool found);

public slots:
    // Shows the bar with its text selected and the keyboard in it.
    void activate();
    // Hides the bar and switches the filter off.
    void dismiss();

signals:
    void textChanged(const QString &text);
    void findNext();
    void findPrevious();
    void filterToggled(bool on);
    void dismissed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_edit = nullptr;
    QToolButton *m_previous = nullptr;
    QToolButton *m_next = nullptr;
    QLabel *m_matches = nullptr;
    QCheckBox *m_filter = nullptr;
    QToolButton *m_close = nullptr;
};
