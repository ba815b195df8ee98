#!/usr/bin/env python3
"""Gives the package built by wixl the table rows its WiX source means but
wixl cannot write, with msibuild from msitools.

  finish-msi.py PACKAGE --upgrade-code GUID --version X.Y.Z --sql Registration.sql [--sql ...]

- The set-property actions (repair on a second install) as immediate actions:
  wixl writes them as deferred ones, which cannot set a property.
- The upgrade row that finds older builds including this very version: wixl
  leaves out "maximum inclusive", and a rebuild of the installed version would
  then be a second product beside it.
- The registry rows of rgs2wix.py that WiX elements cannot say in wixl: keys
  removed whole on uninstall, and keys deleted before they are written; one
  file per registering component, a statement they share (the table's
  creation) run once.
"""
import argparse
import subprocess
import sys

INCLUDE_MINIMUM, INCLUDE_MAXIMUM = 0x100, 0x200


def query(package, statement):
    result = subprocess.run(["msibuild", package, "-q", statement], capture_output=True, text=True)
    # msibuild answers a failed query on its output and still exits 0 at times.
    if result.returncode != 0 or "fail" in (result.stdout + result.stderr).lower():
        sys.stderr.write(f"finish-msi: {statement}\n{result.stdout}{result.stderr}")
        raise SystemExit(1)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("package")
    ap.add_argument("--upgrade-code", required=True)
    ap.add_argument("--version", required=True)
    ap.add_argument("--sql", required=True, action="append")
    args = ap.parse_args()
    query(args.package, "UPDATE `CustomAction` SET `Type` = 51 WHERE `Type` = 2099")
    query(args.package, "DELETE FROM `Upgrade` WHERE `ActionProperty` = 'OLDERFOUND'")
    query(args.package, "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMin`, `VersionMax`, `Attributes`, "
                        f"`ActionProperty`) VALUES ('{{{args.upgrade_code}}}', '0.0.0', '{args.version}', "
                        f"{INCLUDE_MINIMUM | INCLUDE_MAXIMUM}, 'OLDERFOUND')")
    done = set()
    for sql in args.sql:
        for statement in open(sql, encoding="utf-8").read().splitlines():
            if statement.strip() and statement not in done:
                done.add(statement)
                query(args.package, statement)
    return 0


if __name__ == "__main__":
    sys.exit(main())
