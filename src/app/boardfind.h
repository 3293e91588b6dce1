#pragma once

#include <QHash>
#include <QObject>
#include <QPoint>
#include <QStringList>
#include <QVector>

class BoardPresenter;
class KxFindBar;
class QVBoxLayout;
struct WindowContext;

// Finds users, groups, entries and areas on the board by name or
// identifier: the find bar above the board, its matches, stepping through
// them and the "Show only matches" filter.
class BoardFind : public QObject
{
    Q_OBJECT

public:
    // The find bar goes first into the board frame's layout.
    BoardFind(WindowContext &context, BoardPresenter &presenter, QVBoxLayout *frameLayout);

    KxFindBar *bar() const { return m_bar; }
    // The heads the find text matches, as board cells (row, 0) and (0, column).
    QVector<QPoint> matches() const { return m_matches; }

    // Opens the find bar (the board is in sight already) with its matches.
    void activate();
    void findNext();
    void findPrevious();
    // Closes the bar and shows the whole board.
    void dismiss();

    // Makes the cell current, opening its collapsed group and area.
    void revealCell(int row, int column);

signals:
    // Next or previous was asked for while the bar is closed.
    void barWanted();

private:
    void boardRebuilt();
    void loadIdentifiers();
    void update();
    void applyFilter();
    void goToMatch(int step);

    WindowContext &m_context;
    BoardPresenter &m_presenter;
    KxFindBar *m_bar = nullptr;
    QVector<QPoint> m_matches;
    int m_matchIndex = -1;
    bool m_identifiersLoaded = false;
    QHash<int, QStringList> m_userIdentifiers;
    QHash<int, QString> m_entryIdentifiers;
};
