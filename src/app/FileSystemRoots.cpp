#include "FileSystemRoots.h"

#include <QFileInfo>
#include <QStorageInfo>

namespace kestrune::app {

QStringList FileSystemRoots() {
    QStringList roots{"/"};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        // Kernel and memory file systems hold no music: only volumes backed by a device.
        if (!volume.isValid() || !volume.isReady()) continue;
        if (!volume.device().startsWith("/dev/")) continue;
        const QString path = volume.rootPath();
        // Containers mount single files (/etc/hosts...) from devices too: folders only.
        if (!QFileInfo(path).isDir()) continue;
        if (!roots.contains(path)) roots << path;
    }
    return roots;
}

QString RootOf(const QStringList& roots, const QString& folder) {
    QString best = roots.isEmpty() ? QString("/") : roots.first();
    for (const QString& root : roots) {
        const bool holds = folder == root || folder.startsWith(root.endsWith('/') ? root : root + '/');
        if (holds && root.size() > best.size()) best = root;
    }
    return best;
}

void FillDrivePicker(QComboBox* picker, const QString& folder) {
    const QStringList roots = FileSystemRoots();
    picker->clear();
    picker->addItems(roots);
    picker->setCurrentText(RootOf(roots, folder));
}

}  // namespace kestrune::app
