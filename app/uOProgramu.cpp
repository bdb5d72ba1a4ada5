#include "app/uOProgramu.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

TfrmOProgramu::TfrmOProgramu(QWidget *parent)
    : FixedDialog(QStringLiteral("frmOProgramu"), QStringLiteral("O programu"), parent)
{
    auto *logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setPixmap(Logo(96));

    auto *name = new QLabel(QStringLiteral("Dorvalen"), this);
    name->setObjectName(QStringLiteral("lblName"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    name->setFont(big);
    // The spaces after "Verzija:" are part of the line.
    auto *version = new QLabel(QStringLiteral("Verzija:    1.3.1"), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    version->setTextFormat(Qt::PlainText);

    auto *texts = new QVBoxLayout;
    texts->addStretch();
    texts->addWidget(name);
    texts->addWidget(version);
    texts->addStretch();
    auto *row = new QHBoxLayout;
    row->addWidget(logo);
    row->addSpacing(16);
    row->addLayout(texts);
    row->addSpacing(24);
    body()->addLayout(row);

    QPushButton *ok = addButton(QStringLiteral("btnOK"), QStringLiteral("U redu"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QPixmap TfrmOProgramu::Logo(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 100.0, size / 100.0);

    // Rounded blue tile.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1f, 0x4e, 0x8c));
    p.drawRoundedRect(QRectF(2, 2, 96, 96), 14, 14);

    // An open door: the frame, and the leaf turned towards the viewer.
    p.setBrush(QColor(0xe8, 0xee, 0xf6));
    p.drawRect(QRectF(26, 16, 40, 70));
    QPainterPath leaf;
    leaf.moveTo(26, 16);
    leaf.lineTo(52, 24);
    leaf.lineTo(52, 80);
    leaf.lineTo(26, 86);
    leaf.closeSubpath();
    p.setBrush(QColor(0xc8, 0x8a, 0x3a));
    p.drawPath(leaf);
    p.setBrush(QColor(0x1f, 0x4e, 0x8c));
    p.drawEllipse(QPointF(46, 53), 2.6, 2.6);

    // The touch key at the reader: a round button on a short fob.
    p.setBrush(QColor(0xf2, 0xc1, 0x2e));
    p.drawRoundedRect(QRectF(64, 58, 28, 12), 6, 6);
    p.setBrush(QColor(0xb0, 0xb6, 0xbe));
    p.drawEllipse(QPointF(72, 64), 11, 11);
    p.setBrush(QColor(0x7c, 0x84, 0x8e));
    p.drawEllipse(QPointF(72, 64), 6, 6);
    return pixmap;
}
