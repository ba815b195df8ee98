#!/usr/bin/env python3
"""Installs, repairs, upgrades and removes WordPressOutput.msi in Wine prefixes
of their own and checks what each step leaves on the disk and in the registry.

  install_test.py registration|upgrade|runtime|side_by_side --build DIR --x86-build DIR --msi FILE [options]

The package holds both builds: the x64 one for 64-bit hosts under Program
Files, the x86 one for 32-bit hosts under Program Files (x86). Each case
starts from a copy of one pristine (WoW64) prefix made once per build tree,
so nothing here touches the prefix the other Windows tests run in. The
registry is read from the prefix's own files once its wineserver has written
them and exited.
"""
import argparse
import fcntl
import os
import re
import shutil
import subprocess
import sys

WINE = "/usr/lib/wine/wine64"
FOLDER = "Word Press Output"
# Where each build goes, as the prefix's drive C holds it and as Windows names it.
PROGRAM_FILES = {"x64": "Program Files", "x86": "Program Files (x86)"}
# The regsvr32 of each bitness: a 32-bit module registers from the 32-bit one.
REGSVR32 = {"x64": "C:\\windows\\system32\\regsvr32.exe", "x86": "C:\\windows\\syswow64\\regsvr32.exe"}
OUTPUT_CLSID = "{8EDC92CE-621C-444D-B363-4A494D7B6549}"
PRODUCT_NAME = "Send to Word Press"
FILES = ["QTVPublish.dll", "WordPress.dll", "WordPress.ico", "WordPressOutput.chm"]
OUR_MARKERS = ["{8EDC92CE-621C-444D-B363-4A494D7B6549}", "{D08718E7-A06C-4DDF-9EB3-117569B94415}",
               "{1A741FBB-8EBB-445B-8B75-0A9FA35200B8}", "{3EC0485E-2819-482A-A879-ED903FEB3078}",
               "WordPress.WordPressOutput", "WordPress.Package", "WordPress.DLL", FOLDER, PRODUCT_NAME]
# Rewritten by Wine itself whenever a prefix starts: device enumeration, the
# network cards it finds, its own settings and font cache.
VOLATILE = ["HKLM\\System\\CurrentControlSet\\Control\\Class\\", "HKLM\\System\\CurrentControlSet\\Control\\DeviceClasses\\",
            "HKLM\\System\\CurrentControlSet\\Enum\\", "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards",
            "HKLM\\Software\\Wine\\", "HKCU\\Software\\Wine\\"]
# Where the installer service keeps its record of installed products.
INSTALLER_RECORDS = ["HKLM\\Software\\Classes\\Installer\\", "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\",
                     "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"]
# Temporary files come and go with every program run.
TEMP_DIRS = re.compile(r"^(windows/temp/|users/[^/]+/(appdata/local/)?temp/)", re.IGNORECASE)

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAILED: " + message, flush=True)
    return condition


def packed_guid(guid):
    """A GUID as the installer service writes it in its registry keys."""
    g = guid.strip("{}").replace("-", "").upper()
    swap = lambda s: "".join(s[i + 1] + s[i] for i in range(0, len(s), 2))
    return g[7::-1] + g[11:7:-1] + g[15:11:-1] + swap(g[16:])


def msi_property(msi, name):
    out = subprocess.run(["msiinfo", "export", msi, "Property"], capture_output=True, text=True, check=True).stdout
    for line in out.splitlines():
        key, _, value = line.partition("\t")
        if key == name:
            return value
    raise SystemExit(f"{msi}: no property {name}")


# ---- the registry as the prefix stores it ---------------------------------

def split_value(line):
    if line.startswith("@="):
        return "@", line[2:]
    i = 1
    while i < len(line) and line[i] != '"':
        i += 2 if line[i] == "\\" else 1
    return line[1:i], line[i + 2:]


def read_hive(path, root):
    keys, current, pending = {}, None, ""
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        for line in f:
            line = line.rstrip("\n")
            if pending:
                line, pending = pending + line.lstrip(), ""
            if line.endswith(",\\"):
                pending = line[:-1]
                continue
            if line.startswith("["):
                name = re.match(r"^\[(.*)\](?: \d+)?$", line).group(1).replace("\\\\", "\\")
                current = keys.setdefault(root + "\\" + name, {})
            elif current is not None and (line.startswith('"') or line.startswith("@=")):
                name, value = split_value(line)
                current[name] = value
    # A key that has subkeys and no values of its own is not written out.
    for key in list(keys):
        parts = key.split("\\")
        for n in range(2, len(parts)):
            keys.setdefault("\\".join(parts[:n]), {})
    return keys


def snapshot_registry(prefix):
    wait_for_server(prefix)
    keys = read_hive(os.path.join(prefix, "system.reg"), "HKLM")
    keys.update(read_hive(os.path.join(prefix, "user.reg"), "HKCU"))
    return {k: v for k, v in keys.items() if not under(k, VOLATILE)}


def under(key, prefixes):
    return any(key.startswith(p) or key + "\\" == p for p in prefixes)


def changes(before, after, leave_out=()):
    """Keys added or changed by a step, with all their values, and what it removed."""
    kept = lambda k: not under(k, leave_out)
    added = {k: v for k, v in after.items() if kept(k) and (k not in before or before[k] != v)}
    removed = {k: {n: x for n, x in v.items() if n not in after.get(k, {})} for k, v in before.items()
               if kept(k) and (k not in after or any(n not in after[k] for n in v))}
    return added, removed


def show(keys):
    return "\n".join(f"  [{k}] " + " ".join(f"{n}={v}" for n, v in sorted(keys[k].items())) for k in sorted(keys))


# ---- files ----------------------------------------------------------------

def snapshot_files(prefix):
    drive = os.path.join(prefix, "drive_c")
    found = set()
    for top, dirs, names in os.walk(drive):
        rel = os.path.relpath(top, drive).replace(os.sep, "/")
        rel = "" if rel == "." else rel + "/"
        if TEMP_DIRS.match(rel):
            continue
        for d in dirs:
            found.add(rel + d + "/")
        for n in names:
            found.add(rel + n)
    return found


def installed_folder(prefix, arch="x64"):
    return os.path.join(prefix, "drive_c", PROGRAM_FILES[arch], FOLDER)


def windows_module(arch):
    """The installed accessory's path as Windows programs see it."""
    return f"C:\\{PROGRAM_FILES[arch]}\\{FOLDER}\\WordPress.dll"


# ---- Wine -------------------------------------------------------------------

def wine_env(prefix):
    env = dict(os.environ)
    env.update(WINEPREFIX=prefix, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    return env


def wine(prefix, *args, timeout=180):
    result = subprocess.run([WINE] + list(args), env=wine_env(prefix), capture_output=True, text=True,
                            timeout=timeout, stdin=subprocess.DEVNULL)
    return result.returncode, result.stdout + result.stderr


def wait_for_server(prefix):
    subprocess.run(["wineserver", "-w"], env=wine_env(prefix), timeout=120)


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def msiexec(prefix, action, msi):
    rc, out = wine(prefix, "msiexec", action, windows_path(msi), "/qn")
    print(f"msiexec {action} {os.path.basename(msi)}: {rc}", flush=True)
    return rc


def fresh_prefix(work, name, source_root):
    """A copy of the pristine prefix of this build tree, made on first use."""
    template = os.path.join(work, "template")
    with open(os.path.join(work, "template.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not os.path.isfile(os.path.join(template, ".ready")):
            shutil.rmtree(template, ignore_errors=True)
            subprocess.run([os.path.join(source_root, "scripts", "wine-prefix.sh"), template],
                           env=wine_env(template), check=True)
    prefix = os.path.join(work, name)
    shutil.rmtree(prefix, ignore_errors=True)
    subprocess.run(["cp", "-a", template, prefix], check=True)
    return prefix


def drop_prefix(prefix):
    subprocess.run(["wineserver", "-k"], env=wine_env(prefix), capture_output=True)
    if not failures:
        shutil.rmtree(prefix, ignore_errors=True)


# ---- what the checks share ---------------------------------------------------

def product_entries(registry, upgrade_code):
    """Products the installer service lists for our upgrade code, and the
    programs list's entries of that name."""
    codes = registry.get(f"HKLM\\Software\\Classes\\Installer\\UpgradeCodes\\{packed_guid(upgrade_code)}", {})
    uninstall = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
    entries = [k for k, v in registry.items() if k.startswith(uninstall) and k.count("\\") == uninstall.count("\\")
               and v.get("DisplayName") == f'"{PRODUCT_NAME}"']
    return sorted(codes), entries


def expect_one_product(registry, msi, step):
    upgrade_code, version = msi_property(msi, "UpgradeCode"), msi_property(msi, "ProductVersion")
    codes, entries = product_entries(registry, upgrade_code)
    check(codes == [packed_guid(msi_property(msi, "ProductCode"))],
          f"{step}: the installer service lists {codes} for us, not the product of {os.path.basename(msi)}")
    check(len(entries) == 1, f"{step}: the programs list has {len(entries)} entries named {PRODUCT_NAME}: {entries}")
    if len(entries) == 1:
        shown = registry[entries[0]].get("DisplayVersion")
        check(shown == f'"{version}"', f"{step}: the programs list shows version {shown}, not {version}")


def expect_installed_files(prefix, builds, step):
    """Each build's folder holds that build's files, byte for byte."""
    shipped = {"WordPress.dll": "accessory/WordPress.dll", "WordPress.ico": "accessory/WordPress.ico",
               "WordPressOutput.chm": "accessory/WordPressOutput.chm",
               # The real publishing library, as the build made it.
               "QTVPublish.dll": "publish-real/QTVPublish.dll"}
    for arch, build in builds.items():
        folder = installed_folder(prefix, arch)
        present = sorted(os.listdir(folder)) if os.path.isdir(folder) else []
        if not check(present == FILES, f"{step}: the {arch} folder holds {present}, not {FILES}"):
            continue
        for name, built in shipped.items():
            same = open(os.path.join(folder, name), "rb").read() == open(os.path.join(build, built), "rb").read()
            check(same, f"{step}: the installed {arch} {name} is not the {arch} build's {built}")


def reg_query(prefix, key, view):
    """The default value of an HKCR key in one registry view (reg /reg:32 or /reg:64), or None."""
    rc, out = wine(prefix, "reg", "query", key, "/ve", f"/reg:{view}")
    if rc != 0:
        return None
    for line in out.splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) == 3 and parts[1].startswith("REG_"):
            return parts[2]
    return None


def expect_views(prefix, step, present=("x64", "x86")):
    """Each view's class key names its own build's module, or none where that build is absent."""
    for arch, view in (("x64", "64"), ("x86", "32")):
        found = reg_query(prefix, f"HKCR\\CLSID\\{OUTPUT_CLSID}\\InprocServer32", view)
        wanted = windows_module(arch) if arch in present else None
        matches = found is not None and wanted is not None and found.lower() == wanted.lower() or found == wanted
        if not matches:
            # What both views and the shared ProgID hold, so a failure that does
            # not come again can still be read afterwards.
            for key, v in ((f"HKCR\\CLSID\\{OUTPUT_CLSID}", "64"), (f"HKCR\\CLSID\\{OUTPUT_CLSID}", "32"),
                           ("HKCR\\WordPress.WordPressOutput", "64")):
                print(f"  reg query {key} /s /reg:{v}:\n{wine(prefix, 'reg', 'query', key, '/s', f'/reg:{v}')[1]}")
        check(matches, f"{step}: the {view}-bit view's class names {found}, not {wanted}")


def expect_nothing_left(prefix, files_before, registry_before, codes, step):
    files_after = snapshot_files(prefix)
    registry_after = snapshot_registry(prefix)
    new_files = sorted(files_after - files_before)
    # The installer service's package cache stays as an empty folder once made.
    new_files = [f for f in new_files if f != "windows/Installer/"]
    check(not new_files, f"{step}: left behind {new_files}")
    check(not (files_before - files_after), f"{step}: removed {sorted(files_before - files_after)}")
    added, removed = changes(registry_before, registry_after)
    # The installer service keeps the containers of its records, empty.
    added = {k: v for k, v in added.items() if v or not under(k, INSTALLER_RECORDS)}
    check(not added, f"{step}: keys left or changed:\n{show(added)}")
    check(not removed, f"{step}: keys or values removed that were there before:\n{show(removed)}")
    markers = [m.lower() for m in OUR_MARKERS + codes]
    ours = {k: v for k, v in registry_after.items()
            if any(m in (k + " " + " ".join(f"{n}={x}" for n, x in v.items())).lower() for m in markers)}
    check(not ours, f"{step}: the registry still names us:\n{show(ours)}")


def codes_of(msi):
    product, upgrade = msi_property(msi, "ProductCode"), msi_property(msi, "UpgradeCode")
    return [product, packed_guid(product), upgrade, packed_guid(upgrade)]


# ---- the cases ----------------------------------------------------------------

def case_registration(args):
    """Installs: the four files of each build and exactly the keys the two regsvr32s write, each build's
    class in its own view; removes: nothing left in either."""
    prefix = fresh_prefix(args.work, "registration", args.source)
    files0, registry0 = snapshot_files(prefix), snapshot_registry(prefix)
    check(msiexec(prefix, "/i", args.msi) == 0, "install failed")
    expect_installed_files(prefix, args.builds, "install")
    expect_views(prefix, "install")
    registry1 = snapshot_registry(prefix)
    by_msi, removed = changes(registry0, registry1, leave_out=INSTALLER_RECORDS)
    check(not removed, f"install removed keys or values:\n{show(removed)}")
    expect_one_product(registry1, args.msi, "install")

    # The same files at the same places in a prefix of their own, each build
    # registered by itself through the regsvr32 of its bitness.
    other = fresh_prefix(args.work, "regsvr32", args.source)
    registry_other0 = snapshot_registry(other)
    # The x64 build last: the keys both share (the type library's help folder) then name its folder, as the
    # package's x64 component, which writes them, does.
    for arch in ("x86", "x64"):
        shutil.copytree(installed_folder(prefix, arch), installed_folder(other, arch))
        rc, out = wine(other, REGSVR32[arch], "/s", windows_module(arch))
        check(rc == 0, f"{arch} regsvr32 failed with {rc}: {out}")
    by_module, removed = changes(registry_other0, snapshot_registry(other))
    check(not removed, f"regsvr32 removed keys or values:\n{show(removed)}")
    check(any("\\Typelib\\" in k or "\\TypeLib\\" in k for k in by_module), "regsvr32 wrote no type library keys")
    check(any(k.endswith("\\InprocServer32") for k in by_module), "regsvr32 wrote no class keys")
    only_msi = {k: v for k, v in by_msi.items() if by_module.get(k) != v}
    only_module = {k: v for k, v in by_module.items() if by_msi.get(k) != v}
    if check(not only_msi and not only_module, "the installer's keys differ from regsvr32's.\n"
             f"Installer only:\n{show(only_msi)}\nregsvr32 only:\n{show(only_module)}"):
        print(f"{len(by_msi)} keys written, the same as regsvr32's", flush=True)
    drop_prefix(other)

    # Removal takes a key of ours whole, with what others put beneath it, as
    # regsvr32 /u does; another version of the type library is not ours.
    other_version = "HKCR\\TypeLib\\{3EC0485E-2819-482A-A879-ED903FEB3078}\\2.0"
    for key in ("HKCR\\WordPress.WordPressOutput\\Added", other_version):
        rc, out = wine(prefix, "reg", "add", key, "/ve", "/d", "someone else's", "/f")
        check(rc == 0, f"could not add {key}: {out}")
    # A settings file the user put beside the library is the user's.
    settings = os.path.join(installed_folder(prefix), "QTVPublish.ini")
    with open(settings, "w") as f:
        f.write("[WordPress]\r\nXmlRpcUrl=https://blog.example.com/xmlrpc.php\r\n")
    check(msiexec(prefix, "/x", args.msi) == 0, "uninstall failed")
    left = sorted(os.listdir(installed_folder(prefix))) if os.path.isdir(installed_folder(prefix)) else []
    check(left == ["QTVPublish.ini"], f"uninstall left {left} in the folder, not the user's settings file alone")
    check(not os.path.exists(installed_folder(prefix, "x86")), "uninstall left the x86 folder")
    expect_views(prefix, "uninstall", present=())
    shutil.rmtree(installed_folder(prefix), ignore_errors=True)
    kept = snapshot_registry(prefix).get("HKLM\\Software\\Classes\\Typelib\\{3EC0485E-2819-482A-A879-ED903FEB3078}\\2.0")
    check(kept == {"@": '"someone else\'s"'}, f"uninstall took another version of the type library along: {kept}")
    wine(prefix, "reg", "delete", "HKCR\\TypeLib\\{3EC0485E-2819-482A-A879-ED903FEB3078}", "/f")
    expect_nothing_left(prefix, files0, registry0, codes_of(args.msi), "uninstall")
    drop_prefix(prefix)


def case_upgrade(args):
    """Same package twice repairs; a rebuild or a newer version replaces it; an older one is refused; one entry
    throughout."""
    prefix = fresh_prefix(args.work, "upgrade", args.source)
    files0, registry0 = snapshot_files(prefix), snapshot_registry(prefix)

    check(msiexec(prefix, "/i", args.msi) == 0, "install failed")
    # Damage the installation: a file and a class registration gone, and
    # strays in keys of ours, as another registration might leave them.
    os.remove(os.path.join(installed_folder(prefix), "WordPress.ico"))
    class_key = "HKCR\\CLSID\\{8EDC92CE-621C-444d-B363-4A494D7B6549}"
    for command in (["delete", "HKCR\\WordPress.Package", "/f"], ["add", class_key, "/v", "Stray", "/d", "x", "/f"],
                    ["add", class_key + "\\StraySub", "/f"],
                    ["add", "HKCR\\WordPress.WordPressOutput\\Added", "/v", "Extra", "/d", "y", "/f"]):
        rc, out = wine(prefix, "reg", *command)
        check(rc == 0, f"reg {' '.join(command)} failed: {out}")
    check(msiexec(prefix, "/i", args.msi) == 0, "second install of the same package failed")
    expect_installed_files(prefix, args.builds, "repair")
    registry = snapshot_registry(prefix)
    check(registry.get("HKLM\\Software\\Classes\\WordPress.Package", {}).get("@") == '"Package Class"',
          "repair did not write the deleted key again")
    # The class key is written from scratch, as the registry script says.
    classes = "HKLM\\Software\\Classes\\CLSID\\{8EDC92CE-621C-444d-B363-4A494D7B6549}"
    check("Stray" not in registry.get(classes, {}) and classes + "\\StraySub" not in registry,
          "repair kept what stood in the class key before")
    check(registry.get(classes, {}).get("@") == '"WordPressOutput Class"', "repair did not write the class key")
    expect_one_product(registry, args.msi, "repair")

    # Another build of the same version is another product with the same upgrade code.
    check(msi_property(args.rebuilt_msi, "ProductCode") != msi_property(args.msi, "ProductCode"),
          "the rebuilt package has the same product code")
    check(msiexec(prefix, "/i", args.rebuilt_msi) == 0, "installing a rebuild of the same version failed")
    expect_one_product(snapshot_registry(prefix), args.rebuilt_msi, "rebuild")

    check(msiexec(prefix, "/i", args.next_msi) == 0, "installing the newer package failed")
    expect_installed_files(prefix, args.builds, "upgrade")
    expect_one_product(snapshot_registry(prefix), args.next_msi, "upgrade")

    check(msiexec(prefix, "/i", args.msi) != 0, "the older package installed over the newer one")
    expect_installed_files(prefix, args.builds, "refused downgrade")
    expect_one_product(snapshot_registry(prefix), args.next_msi, "refused downgrade")

    check(msiexec(prefix, "/x", args.next_msi) == 0, "uninstalling the newer package failed")
    expect_nothing_left(prefix, files0, registry0,
                        codes_of(args.msi) + codes_of(args.rebuilt_msi) + codes_of(args.next_msi), "uninstall")
    drop_prefix(prefix)


def case_runtime(args):
    """The installed accessory at work: each build's Windows test program runs in the prefix, a 32-bit and a
    64-bit host, each getting its own build."""
    prefix = fresh_prefix(args.work, "runtime", args.source)
    check(msiexec(prefix, "/i", args.msi) == 0, "install failed")
    for arch, program in (("x64", args.program), ("x86", args.x86_program)):
        result = subprocess.run([WINE, windows_path(program)], env=wine_env(prefix), timeout=600,
                                stdin=subprocess.DEVNULL)
        check(result.returncode == 0, f"the installed {arch} accessory's tests failed ({result.returncode})")
    drop_prefix(prefix)


def probe(prefix, program):
    """What COM hands a host of the probe's bitness: (module path, bits), or None."""
    rc, out = wine(prefix, windows_path(program))
    found = dict(line.split(": ", 1) for line in out.replace("\r", "").splitlines() if ": " in line)
    print(f"  {os.path.basename(os.path.dirname(os.path.dirname(os.path.dirname(program))))}: {out.strip()}", flush=True)
    return (found.get("module"), found.get("bits")) if rc == 0 else None


def case_side_by_side(args):
    """Both builds registered at once by regsvr32: a 32-bit and a 64-bit host each create the accessory by ProgID
    and get their own build; unregistering either leaves the other creatable; nothing is left after both."""
    prefix = fresh_prefix(args.work, "side-by-side", args.source)
    registry0 = snapshot_registry(prefix)
    for arch, build in args.builds.items():
        folder = installed_folder(prefix, arch)
        os.makedirs(folder)
        for built in ("accessory/WordPress.dll", "accessory/WordPress.ico", "publish-real/QTVPublish.dll"):
            shutil.copy(os.path.join(build, built), folder)
    probes = {"x64": args.probe, "x86": args.x86_probe}
    bits = {"x64": "64", "x86": "32"}

    def register(arch, unregister=False):
        flags = ["/s", "/u"] if unregister else ["/s"]
        rc, out = wine(prefix, REGSVR32[arch], *flags, windows_module(arch))
        check(rc == 0, f"{arch} regsvr32 {' '.join(flags)} failed with {rc}: {out}")

    def expect(step, present):
        for arch in ("x64", "x86"):
            got = probe(prefix, probes[arch])
            if arch in present:
                check(got is not None and got[0].lower() == windows_module(arch).lower() and got[1] == bits[arch],
                      f"{step}: a {bits[arch]}-bit host got {got}, not {windows_module(arch)}")
            else:
                check(got is None, f"{step}: a {bits[arch]}-bit host still created the accessory: {got}")
        expect_views(prefix, step, present)

    register("x64")
    register("x86")
    expect("both registered", ("x64", "x86"))
    register("x86", unregister=True)
    expect("x86 unregistered", ("x64",))
    register("x86")
    register("x64", unregister=True)
    expect("x64 unregistered", ("x86",))
    register("x86", unregister=True)
    added, removed = changes(registry0, snapshot_registry(prefix))
    # The settings files are the same for both: a log-in stored, its password sealed, by either build opens in
    # the other.
    settings = {"x64": args.settings_probe, "x86": args.x86_settings_probe}
    for writer, reader in (("x86", "x64"), ("x64", "x86")):
        password = f"Pass <&> 'word' of {writer}"
        data = os.path.join(prefix, "drive_c", "users", "Public", f"data-{writer}")
        os.makedirs(data)
        rc, out = wine(prefix, windows_path(settings[writer]), "write", f"C:\\users\\Public\\data-{writer}\\",
                       "someone", password)
        check(rc == 0, f"the {writer} build could not store a log-in: {out}")
        stored = open(os.path.join(data, "UserSettings.xml"), encoding="latin-1").read()
        check("word' of" not in stored and "someone" in stored, f"the {writer} build stored the password in clear")
        rc, out = wine(prefix, windows_path(settings[reader]), "read", f"C:\\users\\Public\\data-{writer}\\")
        lines = out.replace("\r", "").splitlines()
        check(rc == 0 and "always: 1" in lines and "user: someone" in lines,
              f"the {reader} build could not read the {writer} build's settings: {out}")
        check(f"password: {password}" in lines, f"the {reader} build did not open the {writer} build's password: {out}")
    added = {k: v for k, v in added.items() if any(m.lower() in k.lower() for m in OUR_MARKERS)}
    check(not added, f"both unregistered: keys of ours left:\n{show(added)}")
    check(not removed, f"both unregistered: keys or values removed that were there before:\n{show(removed)}")
    drop_prefix(prefix)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("case", choices=["registration", "upgrade", "runtime", "side_by_side"])
    ap.add_argument("--build", required=True, help="the x64 Windows build tree")
    ap.add_argument("--x86-build", required=True, help="the x86 Windows build tree")
    ap.add_argument("--source", required=True)
    ap.add_argument("--msi", required=True)
    ap.add_argument("--next-msi", help="a newer version")
    ap.add_argument("--rebuilt-msi", help="another build of the same version")
    ap.add_argument("--program", help="the x64 Windows test program of the runtime case")
    ap.add_argument("--x86-program", help="the x86 Windows test program of the runtime case")
    ap.add_argument("--probe", help="the x64 probe of the side-by-side case")
    ap.add_argument("--x86-probe", help="the x86 probe of the side-by-side case")
    ap.add_argument("--settings-probe", help="the x64 settings probe of the side-by-side case")
    ap.add_argument("--x86-settings-probe", help="the x86 settings probe of the side-by-side case")
    args = ap.parse_args()
    args.build = os.path.abspath(args.build)
    args.builds = {"x64": args.build, "x86": os.path.abspath(args.x86_build)}
    args.work = os.path.join(args.build, "install-tests")
    os.makedirs(args.work, exist_ok=True)

    xvfb = None
    if not os.environ.get("DISPLAY"):
        read, write = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        os.environ["DISPLAY"] = ":" + os.read(read, 16).decode().strip()
    try:
        globals()["case_" + args.case](args)
    finally:
        if xvfb:
            xvfb.terminate()
    print(f"{args.case}: {'FAILED' if failures else 'passed'}", flush=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
