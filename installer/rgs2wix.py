#!/usr/bin/env python3
"""Turns the module's registry scripts and its type library into the
installer's registry elements (a WiX include) and the table rows that WiX
elements cannot say in wixl (SQL for finish-msi.py), so that the MSI writes
what regsvr32 writes from the very same sources.

  rgs2wix.py --out Registration.wxi --sql Registration.sql --component AccessoryModule
             --module '[#WordPress.dll]' --module-folder '[ProgramFiles64Folder]Word Press Output'
             --replace APPID={...} --typelib WordPress.tlb
             script.rgs...

Run once per component: the x64 and the x86 module each register from their
own component, which the installer writes into its own registry view. The
type library says which platform it is for (win32 or win64). Row names
carry the component, so the two sets of rows never collide. The keys both
builds share (ProgIDs, AppID, the type library's version key) are written by
one component only; the other is given --per-view-only and writes its class
keys and its type library's platform entry alone. Which keys are per view
follows the module's registrar (module/RegistryViews.cpp).

The scripts are read with the grammar the module's own registrar reads
(module/RegistryScript.cpp): bare or 'quoted' names, NoRemove, ForceRemove,
Delete, "= s 'text'" and "= d 'number'", "val name = ...", %NAME%
replacements and %% for a per-cent sign. Removal follows the registrar too:
a key not marked NoRemove goes with everything under it on uninstall, a
NoRemove key stays, and a ForceRemove key is cleared before it is written.
"""
import argparse
import hashlib
import re
import struct
import sys
import uuid
from xml.sax.saxutils import quoteattr

ROOTS = {"HKCR": "HKCR", "HKEY_CLASSES_ROOT": "HKCR", "HKCU": "HKCU", "HKEY_CURRENT_USER": "HKCU",
         "HKLM": "HKLM", "HKEY_LOCAL_MACHINE": "HKLM"}
MAX_DEPTH = 32


class ScriptError(Exception):
    pass


class Key:
    def __init__(self, name, flag):
        self.name = name
        self.flag = flag  # None, NoRemove, ForceRemove, Delete
        self.default = None  # (kind, text) or None
        self.values = []  # (name, kind, text)
        self.subkeys = []


GUID_NAME = re.compile(r"\{[0-9A-Fa-f-]{36}\}")


def tokens(script, replacements, where):
    """Yields (kind, text, offset): word, quoted, open, close, equals."""
    pos, n = 0, len(script)

    def replace(raw, offset):
        out, i = [], 0
        while i < len(raw):
            if raw[i] != "%":
                out.append(raw[i])
                i += 1
                continue
            end = raw.find("%", i + 1)
            if end < 0:
                raise ScriptError(f"{where}: unterminated %NAME% at offset {offset}")
            name = raw[i + 1:end]
            if not name:
                out.append("%")
            elif name in replacements:
                out.append(replacements[name])
            else:
                raise ScriptError(f"{where}: unknown %{name}% at offset {offset}")
            i = end + 1
        return "".join(out)

    while True:
        while pos < n and script[pos].isspace():
            pos += 1
        if pos >= n:
            return
        c, start = script[pos], pos
        if c == "{" and not GUID_NAME.match(script, pos):
            pos += 1
            yield "open", "{", start
        elif c == "}":
            pos += 1
            yield "close", "}", start
        elif c == "=":
            pos += 1
            yield "equals", "=", start
        elif c == "'":
            pos += 1
            raw = []
            while True:
                if pos >= n:
                    raise ScriptError(f"{where}: unterminated quote at offset {start}")
                if script[pos] == "'":
                    if pos + 1 < n and script[pos + 1] == "'":
                        raw.append("'")
                        pos += 2
                        continue
                    pos += 1
                    break
                raw.append(script[pos])
                pos += 1
            yield "quoted", replace("".join(raw), start), start
        else:
            if c == "{":
                raw, pos = script[pos:pos + 38], pos + 38
            else:
                end = pos
                while end < n and not script[end].isspace() and script[end] not in "{}='":
                    end += 1
                raw, pos = script[pos:end], end
            yield "word", replace(raw, start), start


def parse(script, replacements, where):
    """The script's roots: a list of (root name, [Key])."""
    toks = list(tokens(script, replacements, where)) + [("end", "", len(script))]
    i = 0

    def fail(expected):
        kind, text, offset = toks[i]
        found = "the end of the script" if kind == "end" else repr(text)
        raise ScriptError(f"{where}: expected {expected} at offset {offset}, found {found}")

    def value():
        nonlocal i
        kind, text, _ = toks[i]
        if kind != "word" or text not in ("s", "d"):
            fail("a value type, s or d")
        i += 1
        if toks[i][0] != "quoted":
            fail("a quoted value")
        data = toks[i][1]
        if text == "d":
            try:
                number = int(data, 0)
            except ValueError:
                fail("a number")
            data = str(number & 0xFFFFFFFF)
        i += 1
        return text, data

    def key(depth):
        nonlocal i
        if depth > MAX_DEPTH:
            fail("less deeply nested keys")
        flag = None
        if toks[i][0] == "word" and toks[i][1] in ("NoRemove", "ForceRemove", "Delete"):
            flag = toks[i][1]
            i += 1
        kind, name, _ = toks[i]
        if kind not in ("word", "quoted") or not name or "\\" in name:
            fail("a key name without backslashes")
        i += 1
        k = Key(name, flag)
        if toks[i][0] == "equals":
            i += 1
            k.default = value()
        if toks[i][0] == "open":
            i += 1
            while toks[i][0] != "close":
                if toks[i][0] == "end":
                    fail("'}'")
                if toks[i][0] == "word" and toks[i][1] == "val":
                    i += 1
                    if toks[i][0] not in ("word", "quoted"):
                        fail("a value name after 'val'")
                    vname = toks[i][1]
                    i += 1
                    if toks[i][0] != "equals":
                        fail("'=' after the value name")
                    i += 1
                    k.values.append((vname,) + value())
                else:
                    k.subkeys.append(key(depth + 1))
            i += 1
        return k

    roots = []
    while toks[i][0] != "end":
        if toks[i][0] != "word":
            fail("a root key name")
        root = ROOTS.get(toks[i][1])
        if not root:
            fail("HKCR, HKCU or HKLM")
        i += 1
        if toks[i][0] != "open":
            fail("'{' after the root key")
        i += 1
        keys = []
        while toks[i][0] != "close":
            if toks[i][0] == "end":
                fail("'}'")
            if toks[i][0] == "word" and toks[i][1] == "val":
                fail("a key (values belong inside a key)")
            keys.append(key(1))
        i += 1
        roots.append((root, keys))
    return roots


def read_typelib(path):
    """Library id, version, locale, flags and help string of an MSFT type library."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"MSFT":
        raise ScriptError(f"{path}: not an MSFT type library")
    (posguid, lcid, _lcid2, varflags, version, flags, ntypeinfos, helpstring) = struct.unpack_from("<8i", data, 8)
    syskind = {1: "win32", 3: "win64"}.get(varflags & 0xF)
    if not syskind:
        raise ScriptError(f"{path}: a type library for neither 32-bit nor 64-bit Windows ({varflags & 0xF})")
    offset = 0x54 + (4 if varflags & 0x100 else 0) + 4 * ntypeinfos
    # The segment directory: fifteen (offset, length, reserved, reserved) entries.
    segments = [struct.unpack_from("<2i", data, offset + 16 * s) for s in range(15)]
    guid_table, string_table = segments[5][0], segments[8][0]
    libid = uuid.UUID(bytes_le=data[guid_table + posguid:guid_table + posguid + 16])
    doc = ""
    if helpstring >= 0:
        (length,) = struct.unpack_from("<H", data, string_table + helpstring)
        doc = data[string_table + helpstring + 2:string_table + helpstring + 2 + length].decode("latin-1")
    return {"libid": "{" + str(libid).upper() + "}", "major": version & 0xFFFF, "minor": version >> 16,
            "lcid": lcid, "flags": flags & 0xFFFF, "doc": doc, "syskind": syskind}


# Subtrees of HKCR that each registry view has a copy of; the rest is shared.
PER_VIEW = {"clsid", "interface", "directshow", "media type", "mediafoundation"}


def per_view_only(roots):
    """Only the keys that each build has its own copy of."""
    kept = []
    for root, keys in roots:
        mine = [k for k in keys if root != "HKCR" or k.name.lower() in PER_VIEW]
        if mine:
            kept.append((root, mine))
    return kept


def typelib_platform_key(lib, module, syskind):
    """This build's entry alone under the library's version key, which the other build's component writes."""
    top = Key(lib["libid"], "NoRemove")
    ver = Key("%x.%x" % (lib["major"], lib["minor"]), "NoRemove")
    locale = Key("%x" % lib["lcid"], "NoRemove")
    platform = Key(syskind, None)
    platform.default = ("s", module)
    locale.subkeys.append(platform)
    ver.subkeys.append(locale)
    top.subkeys.append(ver)
    tl = Key("TypeLib", "NoRemove")
    tl.subkeys.append(top)
    return tl


def typelib_key(lib, module, module_folder, syskind):
    """The keys the platform's type library registration writes for this library.
    Its removal deletes this version's key whole and the library's key only
    when no other version is left in it, which the installer does with keys it
    emptied."""
    top = Key(lib["libid"], "NoRemove")
    ver = Key("%x.%x" % (lib["major"], lib["minor"]), None)
    ver.default = ("s", lib["doc"])
    locale = Key("%x" % lib["lcid"], None)
    platform = Key(syskind, None)
    platform.default = ("s", module)
    locale.subkeys.append(platform)
    flags = Key("FLAGS", None)
    # A library loaded from its file for registration reports that it has a
    # disk image (LIBFLAG_FHASDISKIMAGE), and that is what the registry keeps.
    flags.default = ("s", "%u" % (lib["flags"] | 0x8))
    helpdir = Key("HELPDIR", None)
    helpdir.default = ("s", module_folder)
    ver.subkeys += [locale, flags, helpdir]
    top.subkeys.append(ver)
    tl = Key("TypeLib", "NoRemove")
    tl.subkeys.append(top)
    return tl


def brackets(text):
    """Literal text in a formatted field of the MSI's tables: brackets escaped."""
    return text.replace("[", "\x00").replace("]", "[\\]]").replace("\x00", "[\\[]")


def formatted(text, what):
    """A literal string as a value of the MSI's Registry table."""
    if text.startswith("#"):
        raise ScriptError(f"{what}: a string value starting with '#' is not written by this generator")
    return brackets(text)


def literal_or_formatted(text, what, formatted_inputs):
    # Replacement texts that are installer references (the module's path,
    # its folder) are already formatted; everything else is escaped.
    out, i = [], 0
    while i < len(text):
        for ref in formatted_inputs:
            if ref and text.startswith(ref, i):
                out.append(ref)
                i += len(ref)
                break
        else:
            out.append(formatted(text[i], what))
            i += 1
    return "".join(out)


ROOT_CODES = {"HKCR": 0, "HKCU": 1, "HKLM": 2}


def row_id(kind, root, path, component):
    return kind + hashlib.md5(f"{component}:{root}\\{path}".lower().encode()).hexdigest()[:24].upper()


def emit(roots, refs, component):
    """The WiX elements of the values, and the table rows WiX elements cannot
    say: keys removed whole on uninstall, keys deleted before they are written."""
    lines, sql, removals = [], [], []

    def value_xml(name, kind, text, path):
        wix_type = "integer" if kind == "d" else "string"
        attrs = f"Type=\"{wix_type}\" Value={quoteattr(literal_or_formatted(text, path, refs))}"
        if name:
            attrs = f"Name={quoteattr(name)} " + attrs
        return f"<RegistryValue {attrs} />"

    def walk(root, key, parent, removed_above):
        if key.flag == "Delete":
            raise ScriptError(f"{parent}\\{key.name}: Delete keys are not written by this generator")
        path = f"{parent}\\{key.name}" if parent else key.name
        if "'" in path:
            raise ScriptError(f"{path}: a key name with a quote is not written by this generator")
        if key.default is not None or key.values:
            lines.append(f"      <RegistryKey Root=\"{root}\" Key={quoteattr(brackets(path))}>")
            if key.default is not None:
                lines.append("        " + value_xml("", key.default[0], key.default[1], path))
            for name, kind, text in key.values:
                lines.append("        " + value_xml(name, kind, text, path))
            lines.append("      </RegistryKey>")
        # The registrar deletes a key not marked NoRemove whole, so the first
        # such key on a path goes with everything beneath it on uninstall
        # ("*": made on install, deleted whole on removal).
        if key.flag != "NoRemove" and not removed_above:
            sql.append("INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Component_`) VALUES "
                       f"('{row_id('tree', root, path, component)}', {ROOT_CODES[root]}, '{brackets(path)}', '*', '{component}')")
        # ForceRemove: whatever stood there before is deleted before the key is written.
        if key.flag == "ForceRemove":
            removals.append("INSERT INTO `RemoveRegistry` (`RemoveRegistry`, `Root`, `Key`, `Name`, `Component_`) "
                            f"VALUES ('{row_id('force', root, path, component)}', {ROOT_CODES[root]}, '{brackets(path)}', '-', '{component}')")
        for sub in key.subkeys:
            walk(root, sub, path, removed_above or key.flag != "NoRemove")

    for root, keys in roots:
        for key in keys:
            walk(root, key, "", False)
    if removals:
        sql.append("CREATE TABLE `RemoveRegistry` (`RemoveRegistry` CHAR(72) NOT NULL, `Root` SHORT NOT NULL, "
                   "`Key` CHAR(255) NOT NULL LOCALIZABLE, `Name` CHAR(255) LOCALIZABLE, `Component_` CHAR(72) NOT NULL "
                   "PRIMARY KEY `RemoveRegistry`)")
        sql += removals
    return lines, sql


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", required=True, help="the WiX include with the registry values")
    ap.add_argument("--sql", required=True, help="the table rows to add to the built package, one per line")
    ap.add_argument("--component", required=True, help="the component the registration belongs to")
    ap.add_argument("--module", required=True, help="what %%MODULE%% stands for, an installer reference")
    ap.add_argument("--module-folder", required=True, help="the module's folder as the type library records it")
    ap.add_argument("--replace", action="append", default=[], help="NAME=value")
    ap.add_argument("--typelib")
    ap.add_argument("--per-view-only", action="store_true",
                    help="leave the keys both builds share to the other build's component")
    ap.add_argument("scripts", nargs="+")
    args = ap.parse_args()

    replacements = {"MODULE": args.module}
    for item in args.replace:
        name, _, text = item.partition("=")
        replacements[name] = text
    try:
        roots = []
        for path in args.scripts:
            roots += parse(open(path, encoding="latin-1").read(), replacements, path)
        if args.per_view_only:
            roots = per_view_only(roots)
        if args.typelib:
            lib = read_typelib(args.typelib)
            key = (typelib_platform_key(lib, args.module, lib["syskind"]) if args.per_view_only
                   else typelib_key(lib, args.module, args.module_folder, lib["syskind"]))
            roots.append(("HKCR", [key]))
        lines, sql = emit(roots, [args.module, args.module_folder], args.component)
    except (ScriptError, OSError) as error:
        print(f"rgs2wix: {error}", file=sys.stderr)
        return 1
    with open(args.out, "w", encoding="utf-8") as out:
        out.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n")
        out.write("<!-- Written by installer/rgs2wix.py from the registry scripts and the type library. -->\n")
        out.write("<Include>\n" + "\n".join(lines) + "\n</Include>\n")
    with open(args.sql, "w", encoding="utf-8") as out:
        out.write("".join(statement + "\n" for statement in sql))
    return 0


if __name__ == "__main__":
    sys.exit(main())
