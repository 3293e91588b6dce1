#pragma once

// The set-up the GUI tests of the administration views share: a fresh
// project for each test, message boxes answered and recorded, the edit dialog
// of the next exec() driven, and screenshots for a person to look at.

#include "core/applicationsettings.h"
#include "db/projectdatabase.h"
#include "db/projectparameters.h"
#include "support/testsupport.h"
#include "widgets/kxmessagebox.h"

#include <QApplication>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QSqlQuery>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

class ViewTestFixture : public QObject
{
protected:
    struct Box
    {
        QMessageBox::Icon icon;
        QString title;
        QString text;
    };

    // Every message box is recorded; a question is answered with m_answer.
    void answerMessageBoxes()
    {
        KxMessageBox::setAnswerer(
            [this](QMessageBox::Icon icon, const QString &title, const QString &text) {
                m_boxes.append({icon, title, text});
                return icon == QMessageBox::Question ? m_answer : QMessageBox::Ok;
            });
    }

    // A fresh project with default settings; false when it could not be made.
    bool newProject()
    {
        m_boxes.clear();
        m_answer = QMessageBox::Yes;
        m_project = std::make_unique<TestSupport::TempProject>();
        if (!m_project->isValid())
            return false;
        m_settings = ApplicationSettings();
        m_params = ProjectParameters();
        m_params.projectPath = m_project->folder();
        m_params.databasePath = m_project->databasePath();
        return m_params.loadProjectParameters();
    }

    QString db() const { return m_project->databasePath(); }

    // Settings that open the project in a main window of 1400 x 800, not maximised.
    bool saveMainWindowSettings() const
    {
        ApplicationSettings s;
        s.currentProjectPath = m_project->folder();
        s.isMaximized = false;
        s.mainWindowGeometry = QRect(0, 0, 1400, 800);
        return s.saveSettings();
    }

    QStringList titles() const
    {
        QStringList list;
        for (const Box &b : m_boxes)
            list << b.title;
        return list;
    }

    // The view at the given size with its list built, shown.
    template<class View> std::unique_ptr<View> shown(std::unique_ptr<View> view, const QSize &size)
    {
        view->resize(size);
        view->buildList();
        view->show();
        return view;
    }

    // Runs the dialog the next exec() opens through the given steps.
    template<class Dialog> void onNextDialog(std::function<void(Dialog *)> steps)
    {
        QTimer::singleShot(0, this, [steps] {
            auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            steps(dialog);
            // Whatever the steps left open is cancelled, so no test hangs.
            if (dialog->isVisible())
                dialog->reject();
        });
    }

    static void screenshot(QWidget *w, const QString &name)
    {
        QApplication::processEvents();
        w->grab().save(QStringLiteral(KX_SCREENSHOT_DIR "/%1.png").arg(name));
    }

    // The first value the statement yields; -1 for none, -2 when the database does not open.
    static int scalar(const QString &db, const QString &statement)
    {
        ProjectDatabase d(db);
        if (!d.open())
            return -2;
        QSqlQuery q = d.query();
        if (!q.exec(statement) || !q.next())
            return -1;
        return q.value(0).toInt();
    }

    std::unique_ptr<TestSupport::TempProject> m_project;
    ApplicationSettings m_settings;
    ProjectParameters m_params;
    QList<Box> m_boxes;
    QMessageBox::StandardButton m_answer = QMessageBox::Yes;
};
