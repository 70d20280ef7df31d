#include "equipment.h"

#include "camerabutton.h"
#include "handpiecelibrary.h"

#include <QCoreApplication>
#include <QDir>

std::unique_ptr<Equipment> openEquipment()
{
    const QString chosen = qEnvironmentVariable("QB_HANDPIECE_LIBRARY");
    // QLibrary tries the "lib" prefix and the platform's suffixes itself.
    QStringList candidates{chosen};
    if (QCoreApplication::instance())
        candidates << QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("DLLs"));
    candidates << QStringLiteral("DLLs");
    for (const QString& name : candidates) {
        if (auto library = HandpieceLibrary::load(name))
            return library;
    }
    return std::make_unique<CameraButton>();
}
