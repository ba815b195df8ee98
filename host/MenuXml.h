#pragma once
// Reads the accessory's menu text: <menuitem label=".." id=".." /> items and
// <menuseparator /> marks, in order. Nothing else of XML is needed here.
#include <string>
#include <vector>

namespace host {

struct CMenuEntry {
    bool bSeparator = false;
    std::string strLabel;
    std::string strId;
    std::string strIcon;
};

std::vector<CMenuEntry> ParseMenuXml(const std::string& xml);

}  // namespace host
