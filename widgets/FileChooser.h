#pragma once

#include <QString>

class QWidget;

// The one door to the file chooser. Tests switch it to scripted mode and give the name
// the operator would choose (an empty name: the chooser was cancelled); a chooser that
// opens with no scripted name is a fault of the test and ends it loudly.
class FileChooser
{
public:
    // A JPEG or BMP picture; empty when cancelled.
    static QString openImageFile(QWidget *parent, const QString &caption);

    static void setScripted(bool scripted);
    static void setNextFileName(const QString &fileName);
};
