#pragma once

#include <QStringList>

class QComboBox;
class QWidget;

// The access mode of a person-zone or group-zone link: the index of its entry, 0 without
// PIN code, 1 with it, 2 both ways.
namespace AccessMode {

// "0 - bez PIN koda", "1 - sa PIN kodom", "2 - i sa i bez PIN koda".
QStringList entries();

// The selector cmbAccess with the first entry chosen. Nothing can be typed into it, so
// the index it gives is always one of the three modes.
QComboBox *newBox(QWidget *parent);

} // namespace AccessMode
