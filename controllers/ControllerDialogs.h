#pragma once

#include <QObject>
#include <QString>

class NetworkComputers;
class QWidget;
class TdmGZ;
class TfrmController;

// The new-controller and edit-controller dialogs, for every window that edits the
// catalogue (the controllers window, the controller status window). Create one set once
// and keep it. Each call works on qControllers of TdmGZ: it opens the query when it is
// closed and leaves it open, positioned on the saved controller after a save; the caller
// re-reads or closes it afterwards. Saving writes the controller with its touch contacts
// in one transaction and reports its own errors; the device table is the caller's.
class ControllerDialogs : public QObject
{
    Q_OBJECT

public:
    // computers lists the network for the "..." button; it must outlive the dialogs.
    ControllerDialogs(TdmGZ &gz, NetworkComputers &computers, QWidget *parent);

    // "Nov kontroler": true when a new controller was saved.
    bool newController();
    // "Izmena podataka o kontroleru" for the controller with this IDKontrolera: true when
    // it was saved. When no controller has the ID, a warning is shown, no dialog opens and
    // the result is false.
    bool editController(const QString &id);
    // The edit dialog for the focused controller of qControllers; on an empty catalogue it
    // edits a new, empty record and saving adds a controller.
    bool editFocused();

    // The IDKontrolera saved by the last call that returned true.
    QString savedId() const;

    void setComputers(NetworkComputers &computers);

private:
    TfrmController *const frmNewController;
    TfrmController *const frmEditController;
    TdmGZ &m_gz;
    QWidget *const m_parent;
    TfrmController *m_last = nullptr;
};

inline QString controllerMissingText(const QString &id)
{
    return QStringLiteral("Kontroler sa ID %1 ne postoji u bazi.").arg(id);
}
