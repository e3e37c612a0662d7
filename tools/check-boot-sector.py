#!/usr/bin/env python3
"""Checks sector 0 of a disk image against the boot sector the installer writes.

    check-boot-sector.py IMAGE ORIGINAL-SECTOR-0 BOOT.DAT

The installer's boot sector is boot.dat's bytes 0-10 and 62-511 around the disk's own parameter
block, bytes 11-61 of the sector 0 the disk had before. Prints the first differing offsets and
exits 1 when the image's sector 0 is anything else.
"""
import sys

image, original, boot = (open(path, "rb").read(512) for path in sys.argv[1:4])
want = boot[:11] + original[11:62] + boot[62:512]
bad = [i for i in range(512) if i >= len(image) or image[i] != want[i]]
if bad:
    more = " ..." if len(bad) > 16 else ""
    print("    sector 0 differs from the merged sector at bytes", bad[:16], more)
sys.exit(1 if bad else 0)
