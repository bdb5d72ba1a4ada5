#include "admin/PhotoBox.h"

#include <QPixmap>

PhotoBox::PhotoBox(QWidget *parent) : QLabel(parent)
{
    setFixedSize(120, 150);
    setFrameShape(QFrame::StyledPanel);
    setAlignment(Qt::AlignCenter);
}

void PhotoBox::setBytes(const QByteArray &bytes)
{
    m_bytes = bytes;
    QPixmap picture;
    // The format is read from the bytes themselves, not assumed.
    if (!bytes.isEmpty() && picture.loadFromData(bytes))
        setPixmap(picture.scaled(contentsRect().size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    else
        setPixmap(QPixmap());
}
