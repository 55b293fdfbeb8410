#pragma once
// What the drive pickers offer on a system without drive letters: the file-system roots,
// "/" and the mounted volumes that hold real files.

#include <QComboBox>
#include <QStringList>

namespace kestrune::app {

QStringList FileSystemRoots();
// The root among them that holds `folder` (the longest that is a prefix of it).
QString RootOf(const QStringList& roots, const QString& folder);
// Fills a drive picker with the roots, the one holding `folder` chosen.
void FillDrivePicker(QComboBox* picker, const QString& folder);

}  // namespace kestrune::app
