#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The controller models and the touch contacts each one has. Names are compared exactly:
// the device table lays out a controller's memory by the same names.
namespace ControllerModels {

// In the order the type lists offer them.
QStringList names();

struct Contact
{
    QString number; // RBTouchKontakta
    int table;      // MerodavnaTabela: the controller table that governs the contact
};

// "TK71 2.1" and "TK71": both contacts on table 1; "TK71D": contact 2 on table 2;
// any other model has no touch contacts.
QList<Contact> contactsOf(const QString &type);

} // namespace ControllerModels
