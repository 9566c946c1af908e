#!/usr/bin/env bash
# Makes the MSI package of one Windows build from the files make-setup.sh laid out (wixl, from a
# WiX 3 source written here), for deployment tools and Group Policy software installation:
#
#   make-msi.sh --arch x86|x64 --stage DIR --out PACKAGE.msi [--version V]
#
# DIR is the staged "Clutterix" folder (clutterix.exe, config\, images\, lang\). Per machine, into the
# Program Files folder of the build's width, with a Start-menu shortcut; a newer package replaces
# an older one (one UpgradeCode per width, kept for good); each version has its own ProductCode.
# Every code is derived from fixed names (UUID version 5), never drawn at random, and the package
# is dated by SOURCE_DATE_EPOCH, so the same files always give the same package.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

die() {
  echo "make-msi: $*" >&2
  exit 1
}

arch= stage= out= version=
while [ $# -gt 0 ]; do
  case "$1" in
    --arch) arch=$2 ;;
    --stage) stage=$2 ;;
    --out) out=$2 ;;
    --version) version=$2 ;;
    *) die "unknown argument $1" ;;
  esac
  shift 2 || die "$1 needs a value"
done
case "$arch" in x86 | x64) ;; *) die "--arch must be x86 or x64" ;; esac
[ -f "$stage/clutterix.exe" ] && [ -d "$stage/config" ] && [ -d "$stage/images" ] || die "no staged files in '$stage'"
[ -n "$out" ] || die "no --out"
command -v wixl >/dev/null || die "wixl is missing: run scripts/setup.sh"
[ -n "$version" ] || version=$("$here/scripts/version.sh")
[[ "$version" =~ ^[0-9]+\.[0-9]+$ ]] || die "--version must be MAJOR.MINOR"
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$here" log -1 --format=%ct 2>/dev/null || echo 946684800)}

out=$(realpath -m "$out")
stage=$(realpath "$stage")
mkdir -p "$(dirname "$out")"
wxs=${out%.msi}.wxs
python3 - "$arch" "$version" "$stage" >"$wxs" <<'WXS'
import hashlib, os, sys, uuid
from xml.sax.saxutils import quoteattr

arch, version, stage = sys.argv[1:4]
namespace = uuid.UUID("6f1c2a8e-3d4b-5c6d-8e9f-0a1b2c3d4e5f")  # Clutterix's own, for every code below
def code(name):
    return "{" + str(uuid.uuid5(namespace, name)).upper() + "}"

files = {}
content = hashlib.sha256()
for folder in ("", "config", "images", "lang"):
    names = sorted(n for n in os.listdir(os.path.join(stage, folder)) if os.path.isfile(os.path.join(stage, folder, n)))
    if folder == "":
        names = [n for n in names if n == "clutterix.exe"]
    files[folder] = names
    for n in names:
        content.update((folder + "/" + n).encode())
        with open(os.path.join(stage, folder, n), "rb") as f:
            content.update(f.read())

win64 = ' Win64="yes"' if arch == "x64" else ""
def component(folder, name):
    ident = ("f_" + folder + "_" + name).replace(".", "_").replace("-", "_").replace("@", "_")[:70]
    source = os.path.join(folder, name)  # wixl takes sources relative to the folder it runs in
    return (f'<Component Id="{ident}" Guid="{code(arch + "/" + folder + "/" + name)}"{win64}>'
            f'<File Id="{ident}" Name={quoteattr(name)} Source={quoteattr(source)} KeyPath="yes"/></Component>')

print('<?xml version="1.0" encoding="utf-8"?>')
print('<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">')
print(f'<Product Id="{code("product " + arch + " " + version)}" Name="Clutterix" Language="1033" '
      f'Version="{version}.0" Manufacturer="Torvex" UpgradeCode="{code("upgrade " + arch)}">')
print(f'<Package Id="{code("package " + arch + " " + content.hexdigest())}" InstallerVersion="200" '
      f'Compressed="yes" InstallScope="perMachine" Platform="{arch}" Manufacturer="Torvex" '
      f'Description="Clutterix {version} disk cleaner" Comments="Clutterix {version}"/>')
print('<MajorUpgrade DowngradeErrorMessage="A newer version of Clutterix is already installed."/>')
print('<MediaTemplate EmbedCab="yes"/>')
print('<Property Id="ARPNOMODIFY" Value="1"/>')
print('<Property Id="ARPURLINFOABOUT" Value="http://www.clutterix.com/"/>')
program_files = "ProgramFiles64Folder" if arch == "x64" else "ProgramFilesFolder"
print('<Directory Id="TARGETDIR" Name="SourceDir">')
print(f'<Directory Id="{program_files}"><Directory Id="INSTALLDIR" Name="Clutterix">')
exe = component("", "clutterix.exe").replace(
    'KeyPath="yes"/>',
    'KeyPath="yes"><Shortcut Id="StartMenuShortcut" Directory="ProgramMenuFolder" Name="Clutterix" '
    'WorkingDirectory="INSTALLDIR" Advertise="no"/></File>')
print(exe)
# The event source of unattended runs, with the message table inside the program.
print(f'<Component Id="event_source" Guid="{code(arch + "/event source")}"{win64}>'
      '<RegistryKey Root="HKLM" Key="SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Clutterix">'
      '<RegistryValue Name="EventMessageFile" Type="expandable" Value="[INSTALLDIR]clutterix.exe" KeyPath="yes"/>'
      '<RegistryValue Name="TypesSupported" Type="integer" Value="7"/></RegistryKey></Component>')
for folder in ("config", "images", "lang"):
    print(f'<Directory Id="dir_{folder}" Name="{folder}">')
    for name in files[folder]:
        print(component(folder, name))
    print('</Directory>')
print('</Directory></Directory>')
print('<Directory Id="ProgramMenuFolder"/>')
print('</Directory>')
print('<Feature Id="Main" Level="1">')
print('<ComponentRef Id="event_source"/>')
for folder in ("", "config", "images", "lang"):
    for name in files[folder]:
        ident = ("f_" + folder + "_" + name).replace(".", "_").replace("-", "_").replace("@", "_")[:70]
        print(f'<ComponentRef Id="{ident}"/>')
print('</Feature>')
print('</Product></Wix>')
WXS
rm -f "$out"
(cd "$stage" && wixl --arch "$arch" -o "$out" "$wxs" 2>&1 | grep -v "no property named 'Platform'\|unimplemented\|^$" || true) >&2
[ -s "$out" ] || die "wixl made no package"
# wixl draws the package code at random and dates the package by the clock: both are set here, in
# the summary information, to the code of the package's content and to SOURCE_DATE_EPOCH.
package_code=$(sed -n 's/.*<Package Id="\({[0-9A-F-]*}\)".*/\1/p' "$wxs")
python3 - "$out" "$package_code" "$SOURCE_DATE_EPOCH" <<'PATCH'
import re, struct, sys
path, code, epoch = sys.argv[1], sys.argv[2].encode(), int(sys.argv[3])
data = bytearray(open(path, "rb").read())
filetime = struct.pack("<Q", (epoch + 11644473600) * 10000000)
pattern = re.compile(rb"\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}\x00\x00@\x00\x00\x00(.{8})@\x00\x00\x00(.{8})", re.S)
found = list(pattern.finditer(bytes(data)))
if len(found) != 1:
    sys.exit("make-msi: the summary information was not found once but %d times" % len(found))
m = found[0]
data[m.start():m.start() + 38] = code
data[m.start(1):m.end(1)] = filetime
data[m.start(2):m.end(2)] = filetime
open(path, "wb").write(data)
PATCH
touch -d "@$SOURCE_DATE_EPOCH" "$out"
echo "$out"
