#!/usr/bin/env python3
"""The registry generator on scripts the shipped ones do not exercise: the
grammar's corners, the escaping the installer's tables need, the removal rows,
and scripts it must refuse rather than mistranslate."""
import importlib.util
import os
import sys
import tempfile
import unittest

# The generator is loaded from the source tree, which gets no byte-code cache.
sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
spec = importlib.util.spec_from_file_location("rgs2wix", os.path.join(HERE, "..", "..", "installer", "rgs2wix.py"))
rgs2wix = importlib.util.module_from_spec(spec)
spec.loader.exec_module(rgs2wix)

REFS = ["[#WordPress.dll]", "[ProgramFiles64Folder]Word Press Output"]


def generate(script, replacements=None):
    roots = rgs2wix.parse(script, dict({"MODULE": REFS[0]}, **(replacements or {})), "test.rgs")
    return rgs2wix.emit(roots, REFS, "AccessoryModule")


class Grammar(unittest.TestCase):
    def test_quoted_names_values_and_replacements(self):
        lines, _ = generate("HKCR { 'Two words' = s 'It''s 100%% of %APPID%' { val 'A name' = s 'x' } }",
                            {"APPID": "{1A741FBB-8EBB-445B-8B75-0A9FA35200B8}"})
        text = "\n".join(lines)
        self.assertIn('Key="Two words"', text)
        self.assertIn('Value="It\'s 100% of {1A741FBB-8EBB-445B-8B75-0A9FA35200B8}"', text)
        self.assertIn('Name="A name" Type="string" Value="x"', text)

    def test_numbers_become_integer_values(self):
        lines, _ = generate("HKLM { Software { val Count = d '0x10' val Big = d '4294967295' } }")
        self.assertIn('Name="Count" Type="integer" Value="16"', "\n".join(lines))
        self.assertIn('Name="Big" Type="integer" Value="4294967295"', "\n".join(lines))

    def test_guid_names_are_not_blocks(self):
        roots = rgs2wix.parse("HKCR { NoRemove CLSID { {8EDC92CE-621C-444d-B363-4A494D7B6549} = s 'C' } }", {}, "t")
        clsid = roots[0][1][0]
        self.assertEqual(clsid.subkeys[0].name, "{8EDC92CE-621C-444d-B363-4A494D7B6549}")
        self.assertEqual(clsid.subkeys[0].default, ("s", "C"))

    def test_malformed_scripts_are_refused_with_the_place(self):
        for script, expected in [("HKCR { Key = s 'open", "unterminated quote"),
                                 ("HKXX { }", "HKCR, HKCU or HKLM"),
                                 ("HKCR { val Name = s 'x' }", "values belong inside a key"),
                                 ("HKCR { Key = q 'x' }", "a value type"),
                                 ("HKCR { Key = s '%NOPE%' }", "unknown %NOPE%"),
                                 ("HKCR { Key = d 'ten' }", "a number"),
                                 ("HKCR { Key { Sub }", "'}'")]:
            with self.assertRaises(rgs2wix.ScriptError) as caught:
                generate(script)
            self.assertIn(expected, str(caught.exception), script)

    def test_nesting_deeper_than_the_registrar_allows_is_refused(self):
        script = "HKCR { " + "K { " * 40 + "}" * 40 + " }"
        with self.assertRaises(rgs2wix.ScriptError):
            generate(script)


class InstallerTables(unittest.TestCase):
    def test_brackets_in_literal_text_are_escaped_references_are_kept(self):
        lines, sql = generate("HKCR { 'A[1]' = s 'x]y[z' { val Path = s '%MODULE%' } }")
        text = "\n".join(lines)
        self.assertIn('Key="A[\\[]1[\\]]"', text)
        self.assertIn('Value="x[\\]]y[\\[]z"', text)
        self.assertIn('Value="[#WordPress.dll]"', text)
        self.assertIn("'A[\\[]1[\\]]', '*'", sql[0])

    def test_the_first_removable_key_of_a_path_goes_whole(self):
        _, sql = generate("HKCR { NoRemove CLSID { {8EDC92CE-621C-444d-B363-4A494D7B6549} = s 'C' { InprocServer32 = s 'm' } }"
                          " Prog = s 'P' { CLSID = s 'c' } }")
        trees = [s for s in sql if "'*'" in s]
        self.assertEqual(len(trees), 2, trees)
        self.assertIn("'CLSID\\{8EDC92CE-621C-444d-B363-4A494D7B6549}'", trees[0])
        self.assertIn("'Prog'", trees[1])
        self.assertFalse(any("'CLSID'," in s for s in sql), "a NoRemove key must stay")

    def test_force_remove_clears_the_key_before_it_is_written(self):
        _, sql = generate("HKCR { NoRemove CLSID { ForceRemove {D08718E7-A06C-4ddf-9EB3-117569B94415} = s 'P' } }")
        self.assertTrue(sql[-2].startswith("CREATE TABLE `RemoveRegistry`"))
        self.assertIn("'CLSID\\{D08718E7-A06C-4ddf-9EB3-117569B94415}', '-', 'AccessoryModule'", sql[-1])

    def test_rows_have_stable_distinct_ids(self):
        _, first = generate("HKCR { A = s '1' B = s '2' }")
        _, again = generate("HKCR { A = s '1' B = s '2' }")
        self.assertEqual(first, again)
        ids = [s.split("VALUES ('")[1].split("'")[0] for s in first]
        self.assertEqual(len(set(ids)), len(ids))
        self.assertTrue(all(len(i) <= 72 for i in ids))

    def test_what_the_tables_cannot_hold_is_refused(self):
        for script in ["HKCR { Delete Old }", "HKCR { Key = s '#1' }", "HKCR { 'It''s' { val V = s 'x' } }"]:
            with self.assertRaises(rgs2wix.ScriptError, msg=script):
                generate(script)


class TwoBuilds(unittest.TestCase):
    """The x86 build's component leaves the keys both builds share to the x64 one."""

    def test_per_view_only_keeps_class_keys_and_drops_shared_ones(self):
        script = ("HKCR { Prog.Id = s 'P' { CLSID = s '{1A741FBB-8EBB-445B-8B75-0A9FA35200B8}' } "
                  "NoRemove CLSID { ForceRemove {1A741FBB-8EBB-445B-8B75-0A9FA35200B8} = s 'C' } "
                  "NoRemove AppID { X = s 'A' } NoRemove interface { Y = s 'I' } } "
                  "HKLM { Software { Z = s 'L' } }")
        roots = rgs2wix.per_view_only(rgs2wix.parse(script, {}, "test.rgs"))
        names = [(root, [k.name for k in keys]) for root, keys in roots]
        self.assertEqual(names, [("HKCR", ["CLSID", "interface"]), ("HKLM", ["Software"])])

    def test_both_components_get_rows_of_their_own(self):
        roots = rgs2wix.parse("HKCR { NoRemove CLSID { ForceRemove {1A741FBB-8EBB-445B-8B75-0A9FA35200B8} = s 'C' } }",
                              {}, "test.rgs")
        _, x64 = rgs2wix.emit(roots, REFS, "AccessoryModule")
        _, x86 = rgs2wix.emit(roots, REFS, "AccessoryModuleX86")
        ids = lambda sql: {s.split("VALUES ('")[1].split("'")[0] for s in sql if "VALUES ('" in s}
        self.assertTrue(ids(x64) and ids(x86))
        self.assertFalse(ids(x64) & ids(x86))

    def test_the_platform_entry_alone_goes_with_its_build(self):
        lib = {"libid": "{3EC0485E-2819-482A-A879-ED903FEB3078}", "major": 1, "minor": 0, "lcid": 0x409}
        key = rgs2wix.typelib_platform_key(lib, REFS[0], "win32")
        lines, sql = rgs2wix.emit([("HKCR", [key])], REFS, "AccessoryModuleX86")
        text = "\n".join(lines)
        self.assertIn('Key="TypeLib\\{3EC0485E-2819-482A-A879-ED903FEB3078}\\1.0\\409\\win32"', text)
        self.assertNotIn("HELPDIR", text)
        self.assertNotIn("FLAGS", text)
        # Uninstalling removes the platform's entry; the version key is the other component's.
        self.assertEqual(len(sql), 1)
        self.assertIn("'TypeLib\\{3EC0485E-2819-482A-A879-ED903FEB3078}\\1.0\\409\\win32', '*'", sql[0])


class TypeLibrary(unittest.TestCase):
    def test_the_keys_come_from_the_library_itself(self):
        library = os.environ.get("WP_TYPELIB")
        if not library:
            self.skipTest("WP_TYPELIB names no built type library")
        lib = rgs2wix.read_typelib(library)
        self.assertEqual(lib["libid"], "{3EC0485E-2819-482A-A879-ED903FEB3078}")
        self.assertEqual((lib["major"], lib["minor"], lib["lcid"]), (1, 0, 0x409))
        self.assertEqual(lib["doc"], "WordPress 1.0 Type Library")
        self.assertEqual(lib["syskind"], os.environ.get("WP_TYPELIB_SYSKIND", lib["syskind"]))
        key = rgs2wix.typelib_key(lib, REFS[0], REFS[1], "win64")
        _, sql = rgs2wix.emit([("HKCR", [key])], REFS, "AccessoryModule")
        lines, _ = rgs2wix.emit([("HKCR", [key])], REFS, "AccessoryModule")
        text = "\n".join(lines)
        self.assertIn('Key="TypeLib\\{3EC0485E-2819-482A-A879-ED903FEB3078}\\1.0\\409\\win64"', text)
        self.assertIn('Key="TypeLib\\{3EC0485E-2819-482A-A879-ED903FEB3078}\\1.0\\HELPDIR"', text)
        # This version goes whole; the library's key stays for other versions.
        self.assertEqual(len(sql), 1)
        self.assertIn("'TypeLib\\{3EC0485E-2819-482A-A879-ED903FEB3078}\\1.0', '*'", sql[0])

    def test_a_file_that_is_no_type_library_is_refused(self):
        with tempfile.NamedTemporaryFile(suffix=".tlb") as f:
            f.write(b"MZ not a type library")
            f.flush()
            with self.assertRaises(rgs2wix.ScriptError):
                rgs2wix.read_typelib(f.name)


if __name__ == "__main__":
    unittest.main(verbosity=1)
