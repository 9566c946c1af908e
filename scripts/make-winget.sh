#!/usr/bin/env bash
# Makes the winget manifests of a release (schema 1.12.0, multi-file): the setup as a nullsoft
# installer with its silent switch and exit codes, the portable archive as a portable package.
#
#   make-winget.sh --version V --url BASE --setup SETUP.exe --zip PORTABLE.zip --out DIR [--arch x86|x64]
#
# BASE is where the release's files are published (the files' own names are appended); the hashes
# are taken from the files given. The manifests land in DIR/Torvex.Clutterix/V/. Nothing in them
# depends on the time or the machine, so the same files always give the same manifests.
set -euo pipefail

die() {
  echo "make-winget: $*" >&2
  exit 1
}

version= url= setup= zip= out= arch=x86
while [ $# -gt 0 ]; do
  case "$1" in
    --version) version=$2 ;;
    --url) url=$2 ;;
    --setup) setup=$2 ;;
    --zip) zip=$2 ;;
    --out) out=$2 ;;
    --arch) arch=$2 ;;
    *) die "unknown argument $1" ;;
  esac
  shift 2 || die "$1 needs a value"
done
[[ "$version" =~ ^[0-9]+(\.[0-9]+)*$ ]] || die "--version must be digits and dots"
[[ "$url" =~ ^https:// ]] || die "--url must be an https address (winget refuses others)"
[ -f "$setup" ] || die "no setup at '$setup'"
[ -f "$zip" ] || die "no archive at '$zip'"
case "$arch" in x86 | x64) ;; *) die "--arch must be x86 or x64" ;; esac
[ -n "$out" ] || die "no --out"

id=Torvex.Clutterix
schema=1.12.0
dir=$out/$id/$version
mkdir -p "$dir"
sha() { sha256sum "$1" | cut -d' ' -f1 | tr 'a-f' 'A-F'; }
url=${url%/}

cat >"$dir/$id.yaml" <<EOF
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.version.$schema.schema.json
PackageIdentifier: $id
PackageVersion: $version
DefaultLocale: en-US
ManifestType: version
ManifestVersion: $schema
EOF

cat >"$dir/$id.locale.en-US.yaml" <<EOF
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.defaultLocale.$schema.schema.json
PackageIdentifier: $id
PackageVersion: $version
PackageLocale: en-US
Publisher: Torvex
PackageName: Clutterix
License: Proprietary
ShortDescription: Disk cleaner for Windows that removes the caches, logs and leftovers of Windows and of the programs people run.
Description: >-
  Clutterix searches the chosen disks for recycle bins, temp folders, browser and app caches, old
  logs and crash reports, old thumbnails and Windows Update leftovers, lists what it finds with its
  size, and cleans all of it or the ticked objects. What users keep beside the caches (logins,
  settings, documents) is never listed. It also runs unattended (/auto, /scan, /report, /json).
Moniker: clutterix
Tags:
- cleaner
- disk-cleanup
- cache
- temp-files
ManifestType: defaultLocale
ManifestVersion: $schema
EOF

cat >"$dir/$id.installer.yaml" <<EOF
# yaml-language-server: \$schema=https://aka.ms/winget-manifest.installer.$schema.schema.json
PackageIdentifier: $id
PackageVersion: $version
UpgradeBehavior: install
Installers:
- Architecture: $arch
  InstallerType: nullsoft
  Scope: machine
  InstallerUrl: $url/$(basename "$setup")
  InstallerSha256: $(sha "$setup")
  InstallerSwitches:
    Silent: /S
    SilentWithProgress: /S
  ExpectedReturnCodes:
  - InstallerReturnCode: 2
    ReturnResponse: packageInUse
  ElevationRequirement: elevatesSelf
- Architecture: $arch
  InstallerType: zip
  NestedInstallerType: portable
  NestedInstallerFiles:
  - RelativeFilePath: Clutterix\\clutterix.exe
    PortableCommandAlias: clutterix
  InstallerUrl: $url/$(basename "$zip")
  InstallerSha256: $(sha "$zip")
ManifestType: installer
ManifestVersion: $schema
EOF
echo "$dir"
