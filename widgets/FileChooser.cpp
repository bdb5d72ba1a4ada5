#include "widgets/FileChooser.h"

#include <QFileDialog>
#include <QQueue>

namespace {

struct Script
{
    bool on = false;
    QQueue<QString> fileNames;
};

Script &script()
{
    static Script s;
    return s;
}

} // namespace

QString FileChooser::openImageFile(QWidget *parent, const QString &caption)
{
    Script &s = script();
    if (s.on) {
        if (s.fileNames.isEmpty())
            qFatal("FileChooser: no scripted file name for \"%s\"", qPrintable(caption));
        return s.fileNames.dequeue();
    }
    return QFileDialog::getOpenFileName(parent, caption, QString(),
                                        QStringLiteral("JPEG Image File (*.jpg);;BMP Image File (*.bmp)"));
}

void FileChooser::setScripted(bool scripted)
{
    script().on = scripted;
    script().fileNames.clear();
}

void FileChooser::setNextFileName(const QString &fileName)
{
    script().fileNames.enqueue(fileName);
}
