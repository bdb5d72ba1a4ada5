#pragma once

#include <QByteArray>
#include <QLabel>

// A person's photo: the stored bytes, whatever picture format they hold (JPEG, BMP),
// scaled into the box. Bytes that are no picture leave the box empty.
class PhotoBox : public QLabel
{
    Q_OBJECT

public:
    explicit PhotoBox(QWidget *parent = nullptr);

    void setBytes(const QByteArray &bytes);
    QByteArray bytes() const { return m_bytes; }
    bool showsPicture() const { return !pixmap().isNull(); }

private:
    QByteArray m_bytes;
};
