#pragma once

#include <QDialog>

class QBoxLayout;
class QHBoxLayout;
class QLineEdit;
class QPushButton;

// The common frame of the program's small dialogs: fixed size (the layout decides it),
// modal, centred over the window that opens it, with the contents above a row of
// buttons on the right.
class FixedDialog : public QDialog
{
    Q_OBJECT

protected:
    FixedDialog(const QString &objectName, const QString &caption, QWidget *parent);

    // Where a dialog puts its fields.
    QBoxLayout *body() const { return m_body; }
    // A button at the end of the bottom row.
    QPushButton *addButton(const QString &objectName, const QString &text);
    // "U redu" (btnOK, the default button) and "Otkaži" (btnCancel, also Escape and the
    // close button: it rejects). The caller connects btnOK.
    QPushButton *addOkCancel();

    // Each time the dialog is opened (not when the window system merely shows it again):
    // where a dialog resets or reloads its fields.
    virtual void opened() {}
    void showEvent(QShowEvent *event) override;

private:
    QBoxLayout *m_body;
    QHBoxLayout *m_buttons;
};

// Typed characters of a password box show as "*".
void makePasswordBox(QLineEdit *edit);
