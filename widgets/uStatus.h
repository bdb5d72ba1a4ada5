// Holds TfrmStatus, the busy notice.
#pragma once

#include <QWidget>

class QLabel;

// The busy notice: a small fixed-size, non-modal window "Info" with one line of text,
// shown around a slow operation.
class TfrmStatus : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmStatus(QWidget *parent = nullptr);

    QLabel *const t1;

    // Sets the text, shows the notice centred over its parent (or the screen) and paints
    // it at once, since the caller keeps the event loop busy until it closes it.
    void showBusy(const QString &text);
};
