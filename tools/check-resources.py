#!/usr/bin/python3
"""check-resources.py VERSION PROGRAM.exe...: what a Windows disk tool carries, read with pefile.

Each program must hold the application manifest (administrator rights, Windows Vista to 11, no DPI
awareness, no common-controls 6), the version resource of VERSION, an icon group with 16, 32 and
48 pixel images, and keep ASLR and DEP on.
"""
import sys
import xml.etree.ElementTree as ET

import pefile

ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
ASM_V3 = "urn:schemas-microsoft-com:asm.v3"
COMPAT = "urn:schemas-microsoft-com:compatibility.v1"
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  # Vista
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # 10 and 11
}
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24


def resources(pe, rtype):
    """{(name id, language): bytes} of one resource type."""
    found = {}
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return found
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id != rtype:
            continue
        for name in entry.directory.entries:
            for lang in name.directory.entries:
                d = lang.data.struct
                found[(name.id, lang.id)] = pe.get_data(d.OffsetToData, d.Size)
    return found


def check_manifest(pe, problems):
    manifests = resources(pe, RT_MANIFEST)
    if [key[0] for key in manifests] != [1]:
        problems.append("manifest: want one RT_MANIFEST resource of id 1, found %s" % sorted(manifests))
        return
    root = ET.fromstring(next(iter(manifests.values())))
    levels = [e.get("level") for e in root.iter("{%s}requestedExecutionLevel" % ASM_V3)]
    if levels != ["requireAdministrator"]:
        problems.append("manifest: execution level %s, want requireAdministrator" % levels)
    ids = {e.get("Id").lower() for e in root.iter("{%s}supportedOS" % COMPAT)}
    if ids != SUPPORTED_OS:
        problems.append("manifest: supportedOS %s, want Vista to 10/11" % sorted(ids))
    for element in root.iter():
        tag = element.tag.split("}")[-1]
        if tag in ("dpiAware", "dpiAwareness"):
            problems.append("manifest: claims DPI awareness (%s)" % tag)
        if tag == "assemblyIdentity" and element.get("name") == "Microsoft.Windows.Common-Controls":
            problems.append("manifest: opts into the common controls version %s" % element.get("version"))


def check_version(pe, version, problems):
    strings = {}
    for info in getattr(pe, "FileInfo", []):
        for block in info:
            for table in getattr(block, "StringTable", []):
                strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
    want = {
        "FileDescription": "KESTRAND boot-disk installer",
        "OriginalFilename": "kesinst.exe",
        "ProductName": "KESTRAND",
        "FileVersion": version,
        "ProductVersion": version,
    }
    for key, value in want.items():
        if strings.get(key) != value:
            problems.append("version: %s is %r, want %r" % (key, strings.get(key), value))
    numbers = [int(n) for n in version.split(".")] + [0] * (4 - len(version.split(".")))
    fixed = getattr(pe, "VS_FIXEDFILEINFO", None)
    if not fixed:
        problems.append("version: no fixed file information")
        return
    f = fixed[0]
    for name, ms, ls in (("file", f.FileVersionMS, f.FileVersionLS), ("product", f.ProductVersionMS, f.ProductVersionLS)):
        got = [ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF]
        if got != numbers:
            problems.append("version: fixed %s version %s, want %s" % (name, got, numbers))


def check_icon(pe, problems):
    groups = resources(pe, RT_GROUP_ICON)
    icons = resources(pe, RT_ICON)
    if not groups:
        problems.append("icon: no icon group")
        return
    data = next(iter(groups.values()))
    count = int.from_bytes(data[4:6], "little")
    sizes = set()
    for i in range(count):
        entry = data[6 + 14 * i: 20 + 14 * i]
        width = entry[0] or 256
        icon_id = int.from_bytes(entry[12:14], "little")
        if not any(key[0] == icon_id for key in icons):
            problems.append("icon: image %d of the group is missing" % icon_id)
        sizes.add(width)
    if not {16, 32, 48} <= sizes:
        problems.append("icon: sizes %s, want 16, 32 and 48" % sorted(sizes))


def main():
    version, programs = sys.argv[1], sys.argv[2:]
    failed = False
    for path in programs:
        pe = pefile.PE(path)
        problems = []
        check_manifest(pe, problems)
        check_version(pe, version, problems)
        check_icon(pe, problems)
        dll = pe.OPTIONAL_HEADER.DllCharacteristics
        if not dll & 0x40 or not dll & 0x100:
            problems.append("DllCharacteristics 0x%x: want DYNAMIC_BASE and NX_COMPAT" % dll)
        arch = "i686" if pe.FILE_HEADER.Machine == 0x14C else "x86-64"
        if problems:
            failed = True
            for p in problems:
                print("FAILED %s (%s): %s" % (path, arch, p))
        else:
            print("%s (%s): manifest, version %s and icon present" % (path, arch, version))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
