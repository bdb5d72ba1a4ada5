#pragma once

#include "controllers/uLinkTouchContact_AccessPoint.h"

#include <QDialog>

#include <functional>
#include <optional>

class ControllerDialogs;
class DataGrid;
class NamedQueryModel;
class QLabel;
class QPushButton;
class TdmGZ;

// "Kontroleri i registraciona mesta": the controllers catalogue above, the touch contacts
// of the focused controller with their access points below. Each time it opens or becomes
// active again it reads both lists afresh, keeping the focus, and after every command the
// lists show what is stored; closing it closes both queries (the device table is rebuilt
// by whoever opened it). The queries stay open while its own dialogs are up, since those
// hold the pending record of the shared qControllers.
class TfrmControllers : public QDialog
{
    Q_OBJECT

public:
    TfrmControllers(TdmGZ &gz, ControllerDialogs &dialogs, QWidget *parent);

    void btnNewClick();
    void btnEditClick();
    void btnDeleteClick();
    void Button1Click();
    void Button2Click();

    DataGrid *const gridControllers;
    DataGrid *const gridContacts;

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void done(int result) override;

private:
    void reopenControllers(const QString &focusId);
    void reopenContacts(int focusId);
    void focusContact(int id);
    // Runs a read of the lists, reporting a failure.
    void reading(const std::function<void()> &read);
    QString focusedControllerId() const;
    // The focused row of the contact list, if there is one.
    std::optional<TouchContact> focusedContact() const;
    void showCount();
    void showReadError();

    TdmGZ &m_gz;
    ControllerDialogs &m_dialogs;
    TfrmLinkTouchContact_AccessPoint *const frmLink;
    NamedQueryModel *const m_controllersModel;
    NamedQueryModel *const m_contactsModel;
    QLabel *const lblCount;
    bool m_readFailed = false;
};
