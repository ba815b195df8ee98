#pragma once
// Registry scripts, the text form in which a COM module describes the keys it
// writes. Parsing is done whole before anything touches the registry, so a
// malformed script fails without writing a thing.
//
//   HKCR
//   {
//       NoRemove CLSID
//       {
//           ForceRemove {guid} = s 'Class name'
//           {
//               InprocServer32 = s '%MODULE%'
//               {
//                   val ThreadingModel = s 'Apartment'
//               }
//           }
//       }
//   }
//
// Names are bare words or 'quoted'; '' inside quotes is one quote; %NAME% is
// replaced from the given table and %% is a per-cent sign. Values are strings
// (s) or 32-bit numbers (d).
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace module {

enum class KeyFlag { None, NoRemove, ForceRemove, Delete };

struct CRegValue {
    std::string strName;  // empty: the key's default value
    bool bNumber = false;
    std::string strText;
    unsigned long nNumber = 0;
};

struct CRegKey {
    std::string strName;
    KeyFlag flag = KeyFlag::None;
    bool bHasDefault = false;
    CRegValue defaultValue;
    std::vector<CRegValue> values;
    std::vector<CRegKey> subkeys;
};

struct CRegRoot {
    std::string strRoot;  // canonical: HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE
    std::vector<CRegKey> keys;
};

struct CParseResult {
    bool bOk = false;
    std::string strError;  // what was wrong and where
    std::vector<CRegRoot> roots;
};

using Replacements = std::map<std::string, std::string>;

CParseResult ParseRegistryScript(const std::string& script, const Replacements& replacements);

}  // namespace module
