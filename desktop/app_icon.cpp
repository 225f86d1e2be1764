// The program's icon from the embedded renderings.
#include "desktop/app_icon.h"

#include <QImageReader>

QIcon QuendraIcon() {
    // The resources sit in a static library: nothing would pull them into the program otherwise.
    Q_INIT_RESOURCE(icons);
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/quendra-%1.png").arg(size), QSize(size, size));
    if (QImageReader::supportedImageFormats().contains("svg")) icon.addFile(QStringLiteral(":/icons/quendra.svg"));
    return icon;
}
