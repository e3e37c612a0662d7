#pragma once
// MakeStickStartable: the step that lets a PC start the chosen volume of a partitioned stick.
// A volume that does not start at sector 0 of its disk (its hidden sectors are not 0) starts only
// when the disk's master boot record holds boot code and the volume's entry is the active one.
// On the NT family the step finds the disk (\\.\PhysicalDriveN), reads its sector 0 and, when the
// stick would not start the volume, asks before it marks the entry active and, where there is no
// boot code, writes the installer's own. Anything it cannot be sure of is left alone and said.
// The 95/98/Me family cannot open a whole disk this way; there the step does nothing.
// A failed write or read-back throws an InstallError (disk fault).
class WProgressWindow;

void MakeStickStartable(WProgressWindow* progress, char drive);
