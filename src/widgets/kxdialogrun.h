#pragma once

#include <QDialog>

#include <functional>

// Runs a dialog, or hands it to the answerer a test installed: the answerer's
// code counts, unless it accepted the dialog itself.
template<typename Dialog>
int execOrAnswer(Dialog &dialog, const std::function<int(Dialog *)> &answerer)
{
    if (!answerer)
        return dialog.exec();
    const int answer = answerer(&dialog);
    return dialog.result() == QDialog::Accepted ? int(QDialog::Accepted) : answer;
}
