#include "widgets/uStatus.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

TfrmStatus::TfrmStatus(QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), t1(new QLabel(this))
{
    setObjectName(QStringLiteral("frmStatus"));
    setWindowTitle(QStringLiteral("Info"));
    setWindowModality(Qt::NonModal);
    t1->setObjectName(QStringLiteral("t1"));
    t1->setText(QStringLiteral("Čitam"));
    t1->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->addWidget(t1);
    setFixedSize(260, 70);
}

void TfrmStatus::showBusy(const QString &text)
{
    t1->setText(text);
    const QWidget *over = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect area = over ? over->frameGeometry() : QGuiApplication::primaryScreen()->availableGeometry();
    move(area.center() - rect().center());
    show();
    raise();
    repaint();
}
