#pragma once
// The disk-preparing steps of the install sequence. Each reports a failure by throwing an
// InstallError and undoes nothing: what was written before the failure stays on the disk.
//   InstallFreeDos      - FAT12/16 check, FreeDOS system files, merged boot sector
//   UpdateStartupFiles  - ksstart.com, config.sys and autoexec.bat (old ones kept as *.zeb; both
//                         backups are made before either file is rewritten)
//   CopyPackageFile     - one package file from the current folder to the root of the disk (a
//                         package started from that root is there already)
// `drive` is the target drive letter; `file` is the sequence's spare WFile, closed on entry and
// closed again on return or throw.
class WFile;
class WProgressWindow;

void InstallFreeDos(WProgressWindow* progress, char drive, WFile* file);
void UpdateStartupFiles(WProgressWindow* progress, char drive, WFile* file);
// Returns nonzero when the copy was made.
int CopyPackageFile(WProgressWindow* progress, char drive, const char* source, const char* target);
