// The readers of the two settings files on arbitrary text, and the way back:
// whatever the four log-in values hold, composing and reading the stored
// log-in gives them back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/PasswordScrambler.h"
#include "settings/QTVXmlString.h"
#include "settings/SettingsText.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);

    QTVXmlString prefs(input);
    int alwaysUse = 7;
    int warning = 7;
    if (settings::ParsePreferences(prefs, alwaysUse, warning)) {
        Check(alwaysUse == 0 || alwaysUse == 1);
        Check(warning == 0 || warning == 1);
    } else {
        Check(alwaysUse == 7 && warning == 7);
    }

    QTVXmlString stored(input);
    std::string password = "p", user = "u", server = "s", endpoint = "e";
    if (!settings::ParseStoredLogin(stored, password, user, server, endpoint))
        Check(password == "p" && user == "u" && server == "s" && endpoint == "e");

    // The input split at zero bytes gives the values to store.
    std::string values[4];
    std::size_t field = 0;
    for (char c : input) {
        if (c == '\0') {
            if (++field == 4)
                break;
        } else {
            values[field] += c;
        }
    }
    Check(settings::UnscramblePassword(settings::ScramblePassword(values[0])) == values[0]);
    QTVXmlString composed(settings::ComposeStoredLogin(values[0], values[1], values[2], values[3]));
    std::string back[4];
    Check(settings::ParseStoredLogin(composed, back[0], back[1], back[2], back[3]));
    for (int i = 0; i < 4; ++i)
        Check(back[i] == values[i]);
    return 0;
}
